#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The voucher print buffer: the printable lines of one or more sales vouchers written into
// AUX_MV_CPTE (and their QR row into AUX_MV_CPTEQR) under this workstation's key, for the voucher
// report files to print. Every row, delete, update and read of the buffer carries the key
// ClaveEstacion(), so workstations filling the buffer at once never touch each other's rows.

// What a run did.
struct ResultadoAuxiliar
{
    // Not empty when the selection was refused before anything ran (a list that is not what the
    // parameter holds): no row was deleted or written. Also when the run stopped because another
    // process held the database past the connection's time-out: the voucher being written left
    // no row, the ones before it stay; a print must not go on with the buffer.
    QString error;
    // Vouchers the selection matched and the run walked.
    int comprobantes = 0;
    // One entry per statement or step that failed and was skipped ("<step>: <error>"); the run
    // went on without that row or value. Each is also a line of the error log.
    QStringList omitidas;

    bool rechazada() const { return !error.isEmpty(); }
};

// Fills the buffer for the vouchers of type `TC` chosen by, first match wins: `ListaComprobantes`
// (quoted voucher ids joined by ","), `ListaIds` (row ids joined by ","; with `TC` "todo" the type
// of the first id), or the range from `SucDesde`+`NroDesde`+`LetraDesde` (complement
// `ComplementoDesde`) to `SucHasta`+`NroHasta`+`LetraHasta` (complement `ComplementoHasta`; all
// three empty: the first voucher alone). `TC` comes back fitted to its code width (the type of the
// first id for "todo"). `LineasTitulo` is the number of rows of a section title block (callers
// pass 3). With `IdTarea` only that task is printed: no notes, items or other concepts. Unless
// `NoBorrar` is true the workstation's earlier rows are deleted first, also when nothing matches.
// Failing statements are skipped (the item insert also shows its error); only a database locked
// past the time-out stops the run (see ResultadoAuxiliar::error). Each voucher is written in a
// transaction of its own, the first one also deleting the earlier rows.
ResultadoAuxiliar GeneraAuxiliarComprobantes(QString& TC, const QString& SucDesde,
    const QString& NroDesde, const QString& LetraDesde, const QString& ComplementoDesde,
    qint16 LineasTitulo, const QString& SucHasta, const QString& NroHasta,
    const QString& LetraHasta, const QString& ComplementoHasta, const QString& ListaIds,
    const QString& ListaComprobantes, const QString& IdTarea,
    std::optional<bool> NoBorrar = std::nullopt);
