#pragma once

#include <QDateTime>
#include <QString>

#include "platform/Value.h"

// The program's shared formats for amounts, hours, dates and times. Separators follow the
// workstation's regional settings (the default QLocale) at the moment of the call.

// Date and time patterns, in the suite's pattern letters ("mm" after "hh" is minutes).
QString FmtFechaHora(); // "dd/mm/yy hh:mm"
QString FmtFecha(); // "dd/mm/yy"
QString FmtHora(); // "hh:mm"

// `momento` written with one of the patterns above (letters d, m, y, h, n, s; "mm" right after
// an hour is minutes, elsewhere the month; anything else is copied).
QString FormateaMomento(const QDateTime& momento, const QString& patron);

// Codes of FmtMoneda's `Decimales` besides a plain number of decimals.
namespace DecimalesMoneda {
inline constexpr int SinFormato = -3; // the amount comes back untouched
inline constexpr int Configurados = -1; // gCantidadDecimales
inline constexpr int Regionales = 0; // the regional settings' currency decimals
inline constexpr int Ninguno = -2; // no decimals at all
} // namespace DecimalesMoneda

// An amount held as text, formatted with `Decimales` decimals (or one of the codes above), the
// thousands grouped when `Miles`, right-aligned in `Ancho` characters when that is above 0 (at
// most 25: a larger `Ancho` is set to 25, the caller's variable too). Rounded half to even. Text
// that is no amount is reported through ManejoErrores ("FmtMoneda"): Retry reads it again, Ignore
// formats 0, anything else returns "".
QString FmtMoneda(const QString& Importe, int Decimales, bool Miles, int& Ancho);
QString FmtMoneda(
    const QString& Importe, int Decimales = DecimalesMoneda::Configurados, bool Miles = false);

// A number of minutes as hours. With the setting "SeparadorHora" other than "." (a blank setting
// and `ForzarDosPuntos` mean ":"): hours and remaining minutes, two digits at least, joined by the
// separator ("02:05"), also left in `Horas` and `MinutosResto`. With ".": decimal hours with two
// decimals and always a point (90 gives "1.50", 30 gives ".50"); `Horas` and `MinutosResto` are
// left alone. Minutes that are no number raise RuntimeError 13.
QString FmtHoraDecimal(
    const Value& Minutos, qint32& Horas, qint32& MinutosResto, bool ForzarDosPuntos = false);

// The regional decimal separator: "," or ".".
QString SeparadorDecimal();
