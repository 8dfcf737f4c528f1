#pragma once

// How report formulas compare and match text. These are the suite's database rules, so that a
// condition gives the same answer whether the server evaluates it or the engine does on a
// returned row (the embedded database gets the same rules from its "TEXTO" collation and its
// like()):
//   - case never counts, beyond ASCII too ("Ñ" = "ñ");
//   - blanks at the end never count ("ABC  " = "abc");
//   - accents count ("a" <> "á"), but order is dictionary order: an accented letter sorts beside
//     its base letter, "ñ" after "n", and letters that differ only by accent are ordered by the
//     accent after the whole texts compared equal without accents;
//   - Like: * any run of characters, ? exactly one; case ignored as above; blanks at the end of
//     the matched text do not count, those of the pattern do.

#include <optional>

#include <QString>
#include <QStringView>

#include "platform/Value.h"

namespace FormulaText {

// Negative, zero or positive.
int compare(QStringView a, QStringView b);
inline bool equals(QStringView a, QStringView b)
{
    return compare(a, b) == 0;
}

// Pattern with * and ? (no escape character: a formula has no way to write a literal * or ?).
bool like(QStringView text, QStringView pattern);
// Whether `text` starts with `prefix` under the same rules (Like with prefix followed by *).
bool startsWith(QStringView text, QStringView prefix);

// A text compared with a number reads as a number, as the suite's server converts it: blanks
// around allowed, a point for decimals, nothing else. nullopt when it is no number.
std::optional<Value> numberFromText(QStringView text);

// Without the blanks (plain spaces only, as the database trims) at the start or the end.
QString trimmedLeft(QStringView text);
QString trimmedRight(QStringView text);

// Between apostrophes with those inside doubled: a text literal of the formula language and of
// SQL alike ("D'Angelo" -> 'D''Angelo').
QString quoted(QStringView text);

// The text a rich-text description shows: control words, hidden groups (font and colour tables,
// "{\*..." destinations) and braces left out, "\par" and "\line" as line breaks, "\tab" as a
// tab, "\'xx" as the Windows-1252 character, "\uN" as that character. A text that does not
// start with "{\rtf" comes back unchanged; one left unterminated is read to its end.
QString plainFromRtf(QStringView text);

} // namespace FormulaText
