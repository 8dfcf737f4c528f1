#pragma once

#include <QString>
#include <QStringList>

// What a run of the receipt print buffer went through, for callers that want to know (the
// document sender ignores it).
struct InformeRecibo
{
    // The receipt has neither applied documents nor journal lines: nothing was written.
    bool sinMovimientos = false;
    // Errors passed over, without asking (a statement the server rejected) or by the operator's
    // Ignore, as "(number) description", in order.
    QStringList erroresOmitidos;
    // Not empty when the run stopped because another process held the database past the
    // connection's time-out: the lock's message. No row of the receipt is kept; a print must not
    // go on with the buffer.
    QString bloqueo;
    // Not empty when the run stopped on a value read that is not what its column holds (an
    // applied amount of 1e15, infinite, or a text such as "abc" in an amount or a date): the
    // message names the receipt, the field and the value. No row of the receipt is kept; a print
    // must not go on.
    QString importeInvalido;
};

// Fills this workstation's rows of the print buffer AUX_MV_CPTE with one collection receipt
// (CB, CBFP, CBCT) or payment order (PG, PGFP, OPG) and puts its twelve report formulas at
// entries 1 to 12 of `Formulas` (entry 0 is kept, anything past 12 dropped).
//
// The workstation's earlier rows (of any voucher) are cleared first; other workstations' rows are
// never touched. The body pairs the applied documents (left) with the journal lines printed as
// payment media (right), the longer list leading; then come the other vouchers printed under the
// receipt, blank rows up to `CantidadItems` (-1: none), and copies 2..`CopiasPorPagina` of the
// first copy's rows, each with its copy number in TIPO.
//
// Failures are reported through the program-wide error reporter under the routine's name: Retry
// runs the step again, Ignore goes on, Abort leaves (the row being built is dropped; rows stored
// so far stay). A statement the server rejects is passed over without asking, with a line in the
// error log. A database another process holds locked stops the run at the first statement that
// waited out the time-out, without asking (see InformeRecibo::bloqueo). Returns false when the
// operator left the run or the lock stopped it, true otherwise.
bool GeneraAuxiliarRecibo_PagoCobranza(const QString& TC, const QString& Sucursal,
    const QString& Numero, const QString& Letra, const QString& Cuenta, QStringList& Formulas,
    int CopiasPorPagina, int CantidadItems, InformeRecibo* informe = nullptr);
