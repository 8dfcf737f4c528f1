#pragma once

#include "platform/ComponenteQR.h"

// The voucher QR component: the symbol drawn with libqrencode, four pixels a module with its
// quiet zone, kept as PNG bytes.
class ComponenteQRImagen final : public ComponenteQR
{
public:
    explicit ComponenteQRImagen(QString prefijo);
    QString GenerarImagen(const QList<Value>& valores) override;
    QByteArray imagen() const override { return m_png; }

private:
    QString m_prefijo;
    QByteArray m_png;
};

class FabricaComponenteQRImagen final : public FabricaComponenteQR
{
public:
    std::unique_ptr<ComponenteQR> crea(const QString& prefijo) override;
};
