#pragma once

#include <QString>

// The print of one journal entry, as the receipts make it, that an accounting voucher's print
// hands on. Vouchers and receipts sit beside each other: src/app installs the implementation
// (Service<ImpresionAsiento>); while none is installed the entries are not printed.
class ImpresionAsiento
{
public:
    virtual ~ImpresionAsiento() = default;

    // Entry `NumeroAsiento` of voucher `TC` `Sucursal` `Numero` `Letra` in month `MesOperativo`
    // of `Periodo`, previewed on the screen on the full-page form (with cost centres when
    // `ConCentroCosto`).
    virtual void ImprimeAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
        const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
        const QString& Periodo, bool ConCentroCosto)
        = 0;
};
