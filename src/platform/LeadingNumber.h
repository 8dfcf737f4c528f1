#pragma once

#include <QString>
#include <QStringView>

// The number a text starts with, read the way the suite's code has always read keys and settings:
// blanks, tabs and line feeds are skipped wherever they stand ("1 2" reads 12); then an optional
// sign, digits, at most one "." (the only decimal separator, whatever the workstation uses) and an
// optional exponent ("E" or "D"). Reading stops at the first other character; a text that does not
// start with a number reads 0.
double leadingNumber(QStringView text);

// A number written back as a statement needs it: "." as decimal separator, no exponent for
// ordinary magnitudes, no trailing zeros ("12", "1.5", "-0.25").
QString numberText(double value);
