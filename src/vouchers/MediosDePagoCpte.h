#pragma once

#include <QString>

#include "platform/Value.h"

namespace ImpresionCpte {

// How an invoice was paid, for its payment footer: the journal lines of the first receipt applied
// to it ("CBFP" for an "FP", "CBCT" for any other type) added up by the account's payment medium:
// cash "EF", card "TJ", cheque "CH" and the rest. A medium's label is its account's description
// while all its lines share one description, else the medium's word ("EFECTIVO", "TARJETA",
// "CHEQUE", "OTROS"). Debit lines add, the others subtract. No receipt: totals 0, labels empty.
// A Null amount reads 0, a Null description "". Failures reach the caller as RuntimeError.
struct MediosDePago
{
    Currency TotalEfectivo;
    Currency TotalTarjeta;
    Currency TotalOtros;
    Currency TotalCheque;
    QString DescEfectivo;
    QString DescTarjeta;
    QString DescOtros;
    QString DescCheque;
};

MediosDePago ObtieneMediosDePagoCpte(const QString& TC, const QString& IdComprobante);

} // namespace ImpresionCpte
