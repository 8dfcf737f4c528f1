#pragma once

#include <optional>

#include <QLocale>
#include <QString>

#include "platform/Value.h"

// Turns field values into printed text. Number patterns are written with "," for grouping and
// "." for decimals ("#,##0.00", "0.000", "$ #,##0.00", "0 %"); the printed separators are the
// locale's, so es_AR prints "1.234,50". Date patterns use Qt's letters ("dd/MM/yyyy", "HH:mm").
// Money is formatted from its fixed-point value, never through a double.
namespace ValueFormat {

QString format(const Value& value, const QString& pattern, const QLocale& locale = QLocale());

// The decimals a number pattern prints: at least `least` (up to its last '0'), at most `most`;
// nullopt for a pattern that is no number pattern (a date's, or none).
struct Decimals
{
    int least = 0;
    int most = 0;
};
std::optional<Decimals> decimals(const QString& pattern);

// A number as a data file carries it: rounded to the pattern's decimals like the printed one,
// without grouping and without the pattern's text around it ("1234,50" for "$ #,##0.00").
QString plainNumber(const Value& value, const QString& pattern, const QLocale& locale);

} // namespace ValueFormat
