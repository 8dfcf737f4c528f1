#pragma once

#include <QString>
#include <QStringList>

// What the program writes about its own doings to the main database (gDB()): the voucher-action
// log, error rows, and statement lists run as one transaction.

// Appends a row to V_MV_CPTEACCIONES: who (gUsuarioLogeado, the computer, this program and its
// additional parameter) did what to which voucher, stamped with FechaServidor(). The action is
// "ER" with `Error`, else "A" with `Alta`, else "M" with `Modificacion`, else "B". An empty
// `IdComplemento` becomes "0", the caller's variable too. `Otro` is not used. Failures are skipped
// without a word.
void RegistraAccionCpte(const QString& TC, const QString& IdComprobante, QString& IdComplemento,
    bool Alta, bool Modificacion, bool Otro, const QString& Texto, const QString& Cuenta,
    bool Error);

// Appends a row to AUX_ERR: the process (this program when `Proceso` is empty, the caller's
// variable too), the time, the error number and description (250 characters) and the statement.
// Failures are skipped without a word.
void RegistraErrorAux(
    const QString& Sql, QString& Proceso, qint32 NumeroError, const QString& Descripcion);

// Runs the non-blank statements of `Sentencias` as one batch inside a transaction: committed when
// the server reports no error; otherwise rolled back, an AUX_ERR row written and, with
// `MostrarMensaje`, the errors shown ("<native> : <description>", critical, "Aviso al
// Operador!"). A duplicate key (2627) with `ToleraDuplicado`, or a reference conflict (547) with
// `ToleraRestriccion`, is still rolled back and logged but not shown. Outputs: `HayError`,
// `NumeroError` (the first error's native number, 0 without one), `Script` (the batch as sent),
// `Descripcion` (the error texts). With nothing to run nothing is sent and `NumeroError` is left
// alone. A batch that waited out the time-out of a database another process holds writes no
// AUX_ERR row (it would wait as long again) and tells the lock in the user's words. Other failures
// go to ManejoErrores ("GActualizarDatoScript").
void GActualizarDatoScript(const QStringList& Sentencias, bool& HayError, qint32& NumeroError,
    bool ToleraDuplicado, bool ToleraRestriccion, QString& Script, QString& Descripcion,
    bool MostrarMensaje);
