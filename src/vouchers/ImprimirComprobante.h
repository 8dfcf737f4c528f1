#pragma once

#include <QString>
#include <QStringList>

namespace ImpresionCpte {

// Prints one voucher of the suite through the report object gReporte(): it decides by the voucher
// type whether only the accounting entry is printed, builds the company header, VAT and tax-number
// formulas, the caller's formulas and the payment footer, reads the type's printer, copies and
// default destination, chooses the report, the selection and the sort, and prints: one given
// `Formulario`, or ("Todos" or blank) one form per copy with its caption; the kitchen-ticket,
// "Selectivo" and fiscal-printer destinations print no form. The print buffer must be filled for
// the voucher first (AUX_MV_CPTE under ClaveEstacion()).
//
// `Reporte` is the caller's report key (the trimmed type, or "LiqOPG", "RETIBR", "RETIGAN",
// "RETIVA") and comes back as the report resolved. `OrdenReporte`, `FormulaSeleccion` and
// `Destino` (-1: the type's default destination) come back as used. `IdComplemento` goes
// unquoted into the selection. `EsContable` is set (never cleared) for an accounting type, whose
// journal entries are printed instead; `Formulario` "Asientos con Centro de Costo" asks for them
// with cost centres. `Fecha` is read for accounting types only. `UnaCopia` forces one copy.
//
// Every failure goes to ManejoErrores ("ImprimirComprobante"): Retry runs the failed step again,
// Ignore goes on with the next one, anything else leaves at once. A run that is not left ends with
// gReporte().FinalizaImpresion(30).
void ImprimirComprobante(const QString& TC, const QString& IdComprobante,
    const QString& IdComplemento, QString& Reporte, QStringList& OrdenReporte,
    QString& FormulaSeleccion, const QStringList& FormulasAdicionales, int& Destino,
    bool OmitirFiltroComprobante, const QString& Fecha, QString& Formulario, bool& EsContable,
    bool UnaCopia);

// How many forms the prints of this process looked for and did not find (each told as "No se
// encuentra el Formulario <file>"): a caller compares it before and after a print to know that a
// document it asked for was not produced.
int FormulariosNoEncontrados();

// The values that stopped the prints of this process, in order, each as its box told it
// ("TABLE.FIELD: 'abc' no es un importe"): a figure a print reads from the voucher's data that is
// not what its column holds stops that print whatever the operator answers, for printed it would
// be wrong. A caller compares the count before and after a print.
const QStringList& DatosInvalidos();

// A printer setting "name|complement" set on the report object: name (NombreImpresora and
// SeleccionaImpresora) and complement, in that order, each trimmed. A setting without "|" is the
// printer name with an empty complement; a blank one clears both.
void ConfiguraImpresora(const QString& Configuracion);

} // namespace ImpresionCpte
