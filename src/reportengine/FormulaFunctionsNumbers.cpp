#include <cmath>
#include <limits>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaFunctions.h"

namespace FormulaFunctions {

namespace {

// Past 2^52 a double holds no fraction: a value that large at the scale asked for has no digit
// to round away, and scaling it would only change its last digits.
constexpr double WholeDoubles = 4503599627370496.0;

// Half away from zero on the decimal value that was written: 2.345 is stored as 2.34499...,
// and must still round to 2.35.
double roundHalfAway(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double y = x * scale;
    if (std::abs(y) >= WholeDoubles)
        return x;
    const double whole = std::trunc(y);
    if (std::abs(std::abs(y - whole) - 0.5) < 1e-9)
        return (whole + (y < 0 ? -1 : 1)) / scale;
    return std::round(y) / scale;
}

double truncateTo(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    if (std::abs(x * scale) >= WholeDoubles)
        return x;
    return std::trunc(x * scale) / scale;
}

} // namespace

Value roundOrTruncate(const Arguments& a)
{
    const bool round = a.function() == FormulaFunction::Round;
    const int decimals = a.size() > 1 ? int(a.whole(1)) : 0;
    const Value& v = a[0];
    if (numKind(v) == NumKind::Cur && round && decimals >= 0)
        return Value(v.toCurrency().rounded(std::min(decimals, 4)));
    const double x = a.number(0);
    const double out = round ? roundHalfAway(x, decimals) : truncateTo(x, decimals);
    if (numKind(v) == NumKind::Cur)
        return currencyFromDouble(out);
    if (numKind(v) == NumKind::Int || decimals <= 0)
        return std::abs(out) < 9e18 ? Value(qint64(out)) : Value(out);
    return Value(out);
}

Value abs(const Arguments& a)
{
    const Value& v = a[0];
    switch (numKind(v)) {
    case NumKind::Int:
        if (v.toLongLong() == std::numeric_limits<qint64>::min())
            return Value(-v.toDouble());
        return Value(qint64(std::llabs(v.toLongLong())));
    case NumKind::Cur:
        return Value(v.toCurrency() < Currency() ? -v.toCurrency() : v.toCurrency());
    default:
        return Value(std::abs(a.number(0)));
    }
}

Value remainder(const Arguments& a)
{
    if (a.number(1) == 0)
        a.fail(DivisionByZero, QStringLiteral("División por cero"));
    // As Mod: the smallest whole number by -1 has no quotient that fits, and its remainder is 0
    // anyway.
    if (numKind(a[0]) == NumKind::Int && numKind(a[1]) == NumKind::Int)
        return Value(a[1].toLongLong() == -1 ? qint64(0) : a[0].toLongLong() % a[1].toLongLong());
    return Value(std::fmod(a.number(0), a.number(1)));
}

} // namespace FormulaFunctions
