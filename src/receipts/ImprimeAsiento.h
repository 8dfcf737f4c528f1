#pragma once

#include <QString>

namespace ImpresionAsientos {

// Prints (or previews, with `EnPantalla`) the journal lines of one voucher's accounting entry
// through gReporte(): the layout "AsientoCCosto" (with its sub-report "AsientoSueldosCC") when
// `ConCentroCosto`, else "Asientos_80mm" when `Formato80mm`, else "Asientos". A `Periodo` of 0
// (or blank) selects every entry of the voucher; any other also names the period, the operating
// month (as given) and the entry number. The report gets the company name ("EMPRESA") and the
// currency ("ENQUEMONEDA"). Ends the run with FinalizaImpresion(10). Traps nothing: failures reach
// the caller as RuntimeError.
void ImprimeAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
    const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
    const QString& Periodo, bool ConCentroCosto, bool EnPantalla, bool Formato80mm);

// The selection formula of that entry (see ImprimeAsiento).
QString SeleccionAsiento(const QString& TC, const QString& Sucursal, const QString& Numero,
    const QString& Letra, const QString& MesOperativo, const QString& NumeroAsiento,
    const QString& Periodo);

} // namespace ImpresionAsientos
