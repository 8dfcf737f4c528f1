#pragma once

#include <optional>

#include <QString>

#include "platform/Value.h"

// Amounts in Spanish words, as printed on vouchers and receipts: "mil doscientos pesos con 50/100".
namespace NumerosEnLetras {

// The amount `Numero` (text with the workstation's decimal separator; blanks are ignored) in
// words, followed by the currency word and the cents as a fraction of 100. Without `Moneda` a
// single blank stands in its place. An amount written without decimals ends in " con 00/100"; one
// written with zero cents ends after the currency word. Cents past the second digit are cut, not
// rounded. `Ancho` other than 0 fits the words to exactly that many characters (padded or cut at
// the right); " con 00/100" of an amount without decimals still follows them. `Centavos` is
// accepted for the callers' sake and not used. Never fails: text that is not a number reads as
// zero.
QString NumeroEnLetras(const QString& Numero, int Ancho = 0,
    const std::optional<QString>& Moneda = std::nullopt,
    const std::optional<QString>& Centavos = std::nullopt);

// The same for an amount held as money, written as the workstation writes it ("1234,5"; a whole
// amount has no decimals and so ends in " con 00/100").
QString NumeroEnLetras(Currency Importe, int Ancho = 0,
    const std::optional<QString>& Moneda = std::nullopt,
    const std::optional<QString>& Centavos = std::nullopt);

// The whole number `Numero` (text, possibly negative, decimals ignored) in words: "cero" below 1,
// "menos " in front of a negative number. Every digit of any amount money holds is said ("un
// billón", "dos billones ..."); a number of more than 24 digits, past every scale word, is given
// in its digits. Text that is not a number gives "cero".
QString EnteroEnLetras(const QString& Numero);

} // namespace NumerosEnLetras
