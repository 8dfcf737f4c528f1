#pragma once

#include <QString>
#include <QStringView>

// The number a text starts with, read the way the suite's code has always read keys and settings:
// blanks, tabs and line feeds are skipped wherever they stand ("1 2" reads 12); then an optional
// sign, digits, at most one "." (the only decimal separator, whatever the workstation uses) and an
// optional exponent ("E" or "D"). Reading stops at the first other character; a text that does not
// start with a number reads 0.
double leadingNumber(QStringView text);

// The whole number a text starts with, read as leadingNumber() reads it and its fraction dropped
// ("12.9" reads 12, "-1.5" reads -1). One no 64-bit integer holds ("1e300") raises run-time error 6
// "Desbordamiento: <text>": converted, it would stand for another number.
qint64 leadingWholeNumber(QStringView text);

// A number written back as a statement needs it: "." as decimal separator, no exponent for
// ordinary magnitudes, no trailing zeros ("12", "1.5", "-0.25").
QString numberText(double value);
