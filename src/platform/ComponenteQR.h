#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/Value.h"

// The QR image of a voucher's electronic-invoice data, drawn in memory for the voucher print
// buffer to store (no file in between: a run of hundreds of vouchers would write and delete one
// each). Reached through Service<FabricaComponenteQR>: a new component per voucher.
class ComponenteQR
{
public:
    virtual ~ComponenteQR() = default;

    // Draws the symbol of the thirteen values (version, date, issuer's tax number, point of sale,
    // voucher-type code, number, amount, currency, rate, recipient's document type and number,
    // authorisation kind and code, in this order). Returns the text encoded; empty when no image
    // was drawn.
    virtual QString GenerarImagen(const QList<Value>& valores) = 0;

    // The PNG of the last drawing; empty before one, or when it failed.
    virtual QByteArray imagen() const = 0;
};

class FabricaComponenteQR
{
public:
    virtual ~FabricaComponenteQR() = default;
    // `prefijo` goes in front of the encoded data (the authority's link; may be empty).
    virtual std::unique_ptr<ComponenteQR> crea(const QString& prefijo) = 0;
};

// The text of the symbol: the thirteen values as a JSON object under the tax authority's names
// (numbers as numbers: the amount and the rate read back from their fixed digit fields, with two
// and six decimals), encoded in base64, after `prefijo`.
QString textoQRFactura(const QList<Value>& valores, const QString& prefijo);
