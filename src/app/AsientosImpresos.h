#pragma once

#include "vouchers/ImpresionAsiento.h"

// An accounting voucher's journal entries printed by the receipts' entry print.
class AsientosImpresos final : public ImpresionAsiento
{
public:
    void ImprimeAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
        const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
        const QString& Periodo, bool ConCentroCosto) override;
};
