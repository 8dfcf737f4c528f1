#pragma once

#include <QString>

namespace ImpresionCpte {

// The print settings of voucher type `TC` and letter `Letra` from TA_CONFIG_IMP_CPTE: the row of
// user key `Usuario` (compared ignoring case), else the general row (no user). A blank `Usuario`
// becomes this machine's "computer|login" key and is handed back. With no row the printer is empty
// and the copies 0, while `CantLineas` and `DestinoDefault` keep what they came with. Copies and
// lines are the number their text starts with, rounded half to even. A failure is reported through
// ManejoErrores ("ObtieneImpresoraComprobante"): Retry reads again, Ignore goes on, anything else
// leaves with the outputs as far as they were set.
void ObtieneImpresoraComprobante(const QString& TC, const QString& Letra, QString& Impresora,
    int& CantCopias, int& CantLineas, QString& DestinoDefault, QString& Usuario);

} // namespace ImpresionCpte
