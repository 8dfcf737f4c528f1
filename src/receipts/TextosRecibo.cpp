#include "receipts/TextosRecibo.h"

#include <cmath>

#include <QLocale>

#include "platform/Utilidades.h"
#include "services/Formatos.h"

namespace TextosRecibo {

QString importeMedio(Currency importe)
{
    const qint64 centavos = importe.rounded(2).raw() / (Currency::Scale / 100);
    const qint64 absoluto = centavos < 0 ? -centavos : centavos;
    QString texto = QString::number(absoluto / 100) + SeparadorDecimal()
        + QStringLiteral("%1").arg(absoluto % 100, 2, 10, QLatin1Char('0'));
    if (centavos < 0)
        texto.prepend(u'-');
    return texto;
}

QString numeroTexto(double valor)
{
    if (!std::isfinite(valor))
        return QString();
    QString texto = QString::number(valor, 'g', 15);
    if (texto.contains(u'e')) {
        // Far from 1 the short form turns to an exponent; the columns want plain digits.
        const int digitosEnteros
            = valor == 0 ? 1 : int(std::floor(std::log10(std::fabs(valor)))) + 1;
        texto = QString::number(valor, 'f', qBound(0, 15 - digitosEnteros, 30));
        if (texto.contains(u'.')) {
            while (texto.endsWith(u'0'))
                texto.chop(1);
            if (texto.endsWith(u'.'))
                texto.chop(1);
        }
    }
    if (texto == QLatin1String("-0"))
        texto = QStringLiteral("0");
    return texto.replace(u'.', SeparadorDecimal());
}

QString numeroTexto(const Value& valor)
{
    if (valor.isNull() || valor.isEmpty())
        return QString();
    if (valor.isNumeric())
        return numeroTexto(valor.toDouble());
    bool ok = false;
    const double numero = valor.toString().trimmed().toDouble(&ok);
    return ok ? numeroTexto(numero) : valor.toString();
}

QString fechaTexto(const Value& valor)
{
    if (valor.isNull() || valor.isEmpty())
        return QString();
    if (valor.type() == ValueType::Date)
        return valor.toDateTime().date().toString(QStringLiteral("dd/MM/yyyy"));
    const QString texto = valor.toString();
    const QDate fecha = gUtilidades().LeeFecha(texto);
    return fecha.isValid() ? fecha.toString(QStringLiteral("dd/MM/yyyy")) : texto;
}

QString primeraMayuscula(const QString& texto)
{
    QString resultado = texto.toLower();
    bool inicio = true;
    for (QChar& c : resultado) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            inicio = true;
        } else if (inicio) {
            c = c.toUpper();
            inicio = false;
        }
    }
    return resultado;
}

} // namespace TextosRecibo
