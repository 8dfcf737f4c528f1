#include "sending/modHelpDeskWeb.h"

#include <QRandomGenerator>
#include <QUrl>

#include "services/Configuracion.h"

namespace modHelpDeskWeb {

namespace {

int digitoAlAzar()
{
    return int(QRandomGenerator::global()->bounded(1, 10));
}

GeneradorDigitos& generador()
{
    static GeneradorDigitos g = digitoAlAzar;
    return g;
}

} // namespace

GeneradorDigitos setGeneradorDigitos(GeneradorDigitos nuevo)
{
    GeneradorDigitos anterior = generador();
    generador() = nuevo ? std::move(nuevo) : GeneradorDigitos(digitoAlAzar);
    return anterior;
}

QString EnmascararId(const QString& id)
{
    QString resultado;
    resultado.reserve(id.size() * 3);
    for (qsizetype i = 0; i < id.size(); ++i) {
        const QChar a = QChar(u'0' + generador()());
        const QChar b = QChar(u'0' + generador()());
        switch (i % 3) {
        case 0:
            resultado += id.at(i);
            resultado += a;
            resultado += b;
            break;
        case 1:
            resultado += a;
            resultado += id.at(i);
            resultado += b;
            break;
        default:
            resultado += a;
            resultado += b;
            resultado += id.at(i);
            break;
        }
    }
    return resultado;
}

QString LinkPresupuestoWeb(const QString& id, const QString& idc, const QString& sitio)
{
    QString base = Configuracion::Cfg(QStringLiteral("DATABASE_ID_WEB")).trimmed();
    if (base.isEmpty())
        base = QStringLiteral("106");
    // An account code is the suite's free text: percent-encoded, an "&" in it cannot cut the query.
    const auto pieza
        = [](const QString& texto) { return QString::fromLatin1(QUrl::toPercentEncoding(texto)); };
    return QStringLiteral("https://") + sitio.trimmed() + QStringLiteral("/ac/budget_file?id=")
        + pieza(EnmascararId(id)) + QStringLiteral("&ib=") + pieza(base) + QStringLiteral("&idc=")
        + pieza(idc.trimmed());
}

} // namespace modHelpDeskWeb
