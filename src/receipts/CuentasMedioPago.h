#pragma once

#include <QString>

// Which payment medium a ledger account stands for, read from its row of MA_CUENTAS
// (MedioDePago: EF cash, CH cheque, TJ card, DC and DB debit media, RI/RG/RB/RO withholdings;
// TipoVista "BC" with CH is a bank account), and the withholding and discount accounts of the
// suite's tax setting. Codes are compared ignoring case.
//
// The account checks and withholding tests trap no error: a failing lookup is the data layer's
// to report, and what it leaves reaches the caller. A missing account is no error.
namespace CuentasMedioPago {

// Cash-type accounts (EF and the four withholding media). Found by `Codigo`, or, when that is
// empty, by the trimmed `CodigoOpcional` (falling back to Codigo). `Descripcion` is emptied first
// and receives the found account's description even when the medium does not match.
bool ValidaCuentaEfectivo(
    const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo);
// Cheque (CH) and card (TJ) accounts: found by `CodigoOpcional` only when `Codigo` is empty,
// with no fallback. `Descripcion` is written only when the account is found.
bool ValidaCuentaCheque(const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo);
bool ValidaCuentaTarjeta(
    const QString& CodigoOpcional, QString& Descripcion, const QString& Codigo);

// Bank accounts (TipoVista BC and medium CH) and the DC and DB media. A non-empty
// `CodigoOpcional` is the key, else `Codigo`. When found, `Codigo` becomes the account's code
// (untrimmed for the bank check, trimmed for DC and DB) and `Descripcion` its description.
// `Auxiliar` is not read. DC with both codes empty still looks up the empty code; DB and the bank
// check answer false without a lookup.
bool ValidaCuentaBancaria(
    const QString& CodigoOpcional, QString& Codigo, const QString& Auxiliar, QString& Descripcion);
bool ValidaCuentaMedioDC(
    const QString& CodigoOpcional, QString& Codigo, const QString& Auxiliar, QString& Descripcion);
bool ValidaCuentaMedioDB(
    const QString& CodigoOpcional, QString& Codigo, const QString& Auxiliar, QString& Descripcion);

// The code as given when the account has that withholding medium (RI, RG, RB, RO), else "".
// An empty code gives "" without a lookup, so a caller comparing the answer with its code sees a
// match for an empty code.
QString CuentaRetencionIVA(const QString& Codigo);
QString CuentaRetencionGanancias(const QString& Codigo);
QString CuentaRetencionIBrutos(const QString& Codigo);
QString CuentaRetencionOtras(const QString& Codigo);

// The withholding accounts (IVA, Ingresos Brutos, Ganancias) and the discount account of a
// collection (`EsCobranza`) or a payment, from the first row of TA_CUENTASIVA: the direction's
// column (CB_ or PG_), else the common CFI_ column, trimmed. A blank discount column falls back to
// the setting "CuentaDesCuentosOtorgados" (collections) or "CuentaDesCuentosObtenidos"
// (payments), as Cfg gives it; with an empty table the withholding accounts are empty and the
// discount account is that setting. Failures go to the data layer's error reporter: Retry reads
// again, Ignore goes on, anything else leaves with what was assigned so far.
void CuentaIVADF(QString& CtaRetIVA, QString& CtaRetIIBB, QString& CtaRetGanancias,
    QString& CtaDescuento, bool EsCobranza);

} // namespace CuentasMedioPago
