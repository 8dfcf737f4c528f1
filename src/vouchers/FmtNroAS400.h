#pragma once

#include <QString>

// Fixed-width digit fields of the electronic-invoice data.
namespace FmtNroAS400 {

// `Numero` (written with the workstation's decimal separator) as digits only: the integer part
// zero-padded to at least `Ancho` digits, then exactly `Decimales` decimal digits (further ones
// cut, not rounded), no separator. A negative value has "-" in front, also when its integer part
// is 0. Text that is no number reads as 0.
QString FormateaNroAS400(const QString& Numero, int Ancho, int Decimales);

} // namespace FmtNroAS400
