#pragma once

#include <QString>
#include <QStringList>

#include "platform/Value.h"

// What the sender needs of voucher and receipt printing to render a document for mail. The sender
// sits beside vouchers and receipts, not on top of them: src/app installs the implementation
// (Service<ComprobantesEnvio>).
class ComprobantesEnvio
{
public:
    virtual ~ComprobantesEnvio() = default;

    // Fills the voucher print buffer with voucher `tc` `suc` `nro` `letra` (complement "0"); `tc`
    // comes back fitted to its code width. Empty when the fill ran; otherwise why it stopped (the
    // database held past the time-out), the earlier rows left behind.
    virtual QString llenaComprobante(
        QString& tc, const QString& suc, const QString& nro, const QString& letra)
        = 0;

    // Fills the receipt buffer of receipt or payment `tc` `suc` `nro` `letra` (of `cuenta` for a
    // payment), `copias` per page and `items` rows; `formulas` receives the report's formulas.
    // False when the operator left the run; throws the lock's message when another process held
    // the database past the time-out.
    virtual bool llenaRecibo(const QString& tc, const QString& suc, const QString& nro,
        const QString& letra, const QString& cuenta, QStringList& formulas, int copias, int items)
        = 0;

    // Prints voucher `tc` `id` once, through the report object, with the caller's report,
    // selection, formulas, destination and form; they come back as the print resolved them.
    virtual void imprime(const QString& tc, const QString& id, QString& reporte, QStringList& orden,
        QString& seleccion, const QStringList& formulas, int& destino, QString& formulario,
        bool& esContable)
        = 0;

    // An amount in words as the receipts write it ("Pesos"), each word capitalised.
    virtual QString importeEnLetras(const Currency& importe) = 0;
};
