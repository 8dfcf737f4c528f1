#pragma once

#include <QString>

#include "platform/Value.h"

// Text forms of the receipt print rows: amounts of payment media, rates, dates, and the pieces
// the buffer statements are built from.
namespace TextosRecibo {

// An amount as the media columns print it ("########0.00"): no grouping, at least one digit
// before the workstation's decimal separator, two decimals rounded half away from zero, a leading
// minus sign when negative.
QString importeMedio(Currency importe);

// A rate or a quotient: up to 15 significant digits, no trailing zeros, the workstation's
// decimal separator, never an exponent. "" for a value that is no number (Null, empty text).
QString numeroTexto(const Value& valor);
QString numeroTexto(double valor);

// A date column as people read it (dd/MM/yyyy); a value that is no date comes back as its text
// and Null as "".
QString fechaTexto(const Value& valor);

// The first letter of every word upper case, the other letters lower case (words are separated
// by blanks, tabs and line breaks).
QString primeraMayuscula(const QString& texto);

} // namespace TextosRecibo
