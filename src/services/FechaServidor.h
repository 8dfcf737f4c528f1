#pragma once

#include <QDateTime>
#include <QString>

class AdoRecordset;

// The database server's date and time, in whole seconds. When the server gives none (no row, or
// the statement failed): with the setting UTILIZARFECHADIA the operating date FECHAOPERHASTA at
// midnight when it holds a valid date, otherwise the workstation's clock. Never fails.
QDateTime FechaServidor();

// Finds an account of MA_CUENTAS by its code or its optional second code: CodigoOpcional first
// when `OpcionalPrimero`, else Codigo first, then the other. On success `Codigo` becomes the
// account's Codigo; `OpcionalPrimero` becomes true when the account was found by CodigoOpcional
// after Codigo failed (found by Codigo after CodigoOpcional failed, both are left as they were).
// `Registro`, when given, is left open on the last statement run (on the account found), read-only
// and forward-only with `SoloLectura`, else dynamic and optimistic. Errors reach the caller.
bool ExisteCuenta(QString& Codigo, AdoRecordset* Registro, bool SoloLectura, bool& OpcionalPrimero);
