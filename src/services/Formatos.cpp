#include "services/Formatos.h"

#include <cmath>

#include <QLocale>

#include "platform/LeadingNumber.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"

namespace {

constexpr int AnchoMaximo = 25;

// The regional settings' number of currency decimals (2 for the peso).
int decimalesRegionales()
{
    const QLocale locale;
    const QString uno = locale.toCurrencyString(1.0, QStringLiteral(" "));
    const qsizetype separador = uno.lastIndexOf(locale.decimalPoint());
    if (separador < 0)
        return 0;
    int digitos = 0;
    for (qsizetype i = separador + locale.decimalPoint().size(); i < uno.size(); ++i) {
        if (!uno.at(i).isDigit())
            break;
        ++digitos;
    }
    return digitos;
}

// The amount rounded to `decimales` decimals, half to even, as whole units of 10^-decimales.
qint64 redondeaPar(Currency importe, int decimales)
{
    qint64 crudo = importe.raw();
    if (decimales >= 4) {
        for (int i = 4; i < decimales; ++i)
            crudo *= 10;
        return crudo;
    }
    qint64 divisor = 1;
    for (int i = decimales; i < 4; ++i)
        divisor *= 10;
    qint64 cociente = crudo / divisor;
    const qint64 resto = std::llabs(crudo % divisor);
    const int signo = crudo < 0 ? -1 : 1;
    if (resto * 2 > divisor || (resto * 2 == divisor && (cociente % 2) != 0))
        cociente += signo;
    return cociente;
}

QString agrupaMiles(const QString& entero, const QString& separador)
{
    QString agrupado;
    const qsizetype largo = entero.size();
    for (qsizetype i = 0; i < largo; ++i) {
        if (i > 0 && (largo - i) % 3 == 0)
            agrupado += separador;
        agrupado += entero.at(i);
    }
    return agrupado;
}

QString formatea(Currency importe, int decimales, bool miles)
{
    const QLocale locale;
    const qint64 unidades = redondeaPar(importe, decimales);
    QString digitos = QString::number(std::llabs(unidades));
    if (digitos.size() <= decimales)
        digitos = QString(decimales + 1 - digitos.size(), u'0') + digitos;
    QString entero = digitos.left(digitos.size() - decimales);
    if (miles)
        entero = agrupaMiles(entero, locale.groupSeparator());
    QString texto = unidades < 0 ? u'-' + entero : entero;
    if (decimales > 0)
        texto += locale.decimalPoint() + digitos.right(decimales);
    return texto;
}

} // namespace

QString FmtFechaHora()
{
    return QStringLiteral("dd/mm/yy hh:mm");
}

QString FmtFecha()
{
    return QStringLiteral("dd/mm/yy");
}

QString FmtHora()
{
    return QStringLiteral("hh:mm");
}

QString FormateaMomento(const QDateTime& momento, const QString& patron)
{
    const QDate fecha = momento.date();
    const QTime hora = momento.time();
    QString texto;
    bool despuesDeHora = false;
    for (qsizetype i = 0; i < patron.size();) {
        const QChar letra = patron.at(i).toLower();
        qsizetype largo = 1;
        while (i + largo < patron.size() && patron.at(i + largo).toLower() == letra)
            ++largo;
        const auto dosDigitos
            = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
        const auto numero = [&](int n) { return largo >= 2 ? dosDigitos(n) : QString::number(n); };
        if (letra == u'd') {
            texto += numero(fecha.day());
        } else if (letra == u'm' && !despuesDeHora) {
            texto += numero(fecha.month());
        } else if (letra == u'm' || letra == u'n') {
            texto += numero(hora.minute());
        } else if (letra == u'y') {
            texto += largo >= 4 ? QString::number(fecha.year()) : dosDigitos(fecha.year() % 100);
        } else if (letra == u'h') {
            texto += numero(hora.hour());
        } else if (letra == u's') {
            texto += numero(hora.second());
        } else {
            texto += patron.mid(i, largo);
        }
        if (letra.isLetter())
            despuesDeHora = letra == u'h';
        i += largo;
    }
    return texto;
}

QString FmtMoneda(const QString& Importe, int Decimales, bool Miles, int& Ancho)
{
    if (Decimales == DecimalesMoneda::SinFormato)
        return Importe;
    int decimales = Decimales;
    if (Decimales == DecimalesMoneda::Configurados)
        decimales = int(std::lround(leadingNumber(gGlobales().gCantidadDecimales)));
    // A configured 0 also means "as the regional settings say"; no decimals is asked for with -2.
    if (decimales == DecimalesMoneda::Regionales)
        decimales = decimalesRegionales();
    if (decimales < 0)
        decimales = 0;

    Currency importe;
    Steps pasos = reportAs(QStringLiteral("FmtMoneda"));
    if (!pasos.run([&] { importe = gUtilidades().ValorMoneda(Importe); }))
        return QString();
    QString texto = formatea(importe, decimales, Miles);
    if (Ancho > 0) {
        if (Ancho > AnchoMaximo)
            Ancho = AnchoMaximo;
        texto = gUtilidades().RellenaIzquierda(texto, Ancho);
    }
    return texto;
}

QString FmtMoneda(const QString& Importe, int Decimales, bool Miles)
{
    int ancho = 0;
    return FmtMoneda(Importe, Decimales, Miles, ancho);
}

QString FmtHoraDecimal(
    const Value& Minutos, qint32& Horas, qint32& MinutosResto, bool ForzarDosPuntos)
{
    QString separador = Configuracion::Cfg(QStringLiteral("SeparadorHora"));
    if (ForzarDosPuntos || separador.trimmed().isEmpty())
        separador = QStringLiteral(":");
    const double minutos = Minutos.toDouble();
    if (separador != QStringLiteral(".")) {
        // Whole minutes: the integer division and remainder round the minutes half to even first.
        const qint64 enteros = qint64(std::nearbyint(minutos));
        Horas = qint32(enteros / 60);
        MinutosResto = qint32(enteros % 60);
        const auto dosDigitos = [](qint64 n) {
            return n < 0 ? u'-' + QStringLiteral("%1").arg(-n, 2, 10, QChar(u'0'))
                         : QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
        };
        return dosDigitos(Horas) + separador + dosDigitos(MinutosResto);
    }
    // Decimal hours always carry a point, whatever the regional settings; the whole hours have no
    // fixed digit, so half an hour reads ".50".
    QString texto = QString::number(minutos / 60.0, 'f', 2);
    if (texto.startsWith(QStringLiteral("0.")))
        texto.remove(0, 1);
    else if (texto.startsWith(QStringLiteral("-0.")))
        texto.remove(1, 1);
    return texto;
}

QString SeparadorDecimal()
{
    return QLocale().toString(10.0 / 3.0).contains(u',') ? QStringLiteral(",")
                                                         : QStringLiteral(".");
}
