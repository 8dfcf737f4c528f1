#pragma once

#include <QLocale>
#include <QString>

#include "platform/Value.h"

// Turns field values into printed text. Number patterns are written with "," for grouping and
// "." for decimals ("#,##0.00", "0.000", "$ #,##0.00", "0 %"); the printed separators are the
// locale's, so es_AR prints "1.234,50". Date patterns use Qt's letters ("dd/MM/yyyy", "HH:mm").
// Money is formatted from its fixed-point value, never through a double.
namespace ValueFormat {

QString format(const Value& value, const QString& pattern, const QLocale& locale = QLocale());

} // namespace ValueFormat
