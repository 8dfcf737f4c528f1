#pragma once

#include "platform/ComponenteQR.h"

// The voucher QR component: the symbol drawn with libqrencode, four pixels a module with its
// quiet zone, written as PNG into a fresh file of the temporary folder.
class ComponenteQRImagen final : public ComponenteQR
{
public:
    explicit ComponenteQRImagen(QString prefijo);
    QString crearArchivo() override;
    QString GenerarImagen(const QList<Value>& valores) override;

private:
    QString m_prefijo;
    QString m_archivo;
};

class FabricaComponenteQRImagen final : public FabricaComponenteQR
{
public:
    std::unique_ptr<ComponenteQR> crea(const QString& prefijo) override;
};
