#include "platform/ComponenteQR.h"

#include <cmath>

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/LeadingNumber.h"

namespace {

// Numbers travel as text or numbers; a text that is no number counts as 0.
double numero(const Value& valor)
{
    if (valor.isNumeric())
        return valor.toDouble();
    return leadingNumber(valor.toString());
}

// A fixed digit field ("000000001234550") with its last `decimales` digits as decimals.
double campoFijo(const Value& valor, int decimales)
{
    if (valor.isNumeric())
        return valor.toDouble();
    // One division: dividing by ten again and again drifts off the amount ("124086.23999999999"
    // where the voucher says 124086.24).
    return leadingNumber(valor.toString()) / std::pow(10.0, decimales);
}

} // namespace

QString textoQRFactura(const QList<Value>& valores, const QString& prefijo)
{
    static const char* const nombres[] = { "ver", "fecha", "cuit", "ptoVta", "tipoCmp", "nroCmp",
        "importe", "moneda", "ctz", "tipoDocRec", "nroDocRec", "tipoCodAut", "codAut" };
    QJsonObject datos;
    for (int k = 0; k < 13; ++k) {
        const Value v = k < valores.size() ? valores.at(k) : Value();
        const QString nombre = QLatin1String(nombres[k]);
        switch (k) {
        case 1:
        case 7:
        case 11:
            datos.insert(nombre, v.toString());
            break;
        case 6:
            datos.insert(nombre, campoFijo(v, 2));
            break;
        case 8:
            datos.insert(nombre, campoFijo(v, 6));
            break;
        default:
            datos.insert(nombre, numero(v));
            break;
        }
    }
    return prefijo
        + QString::fromLatin1(QJsonDocument(datos).toJson(QJsonDocument::Compact).toBase64());
}
