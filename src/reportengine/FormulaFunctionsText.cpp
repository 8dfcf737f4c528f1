#include <algorithm>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaFunctions.h"
#include "reportengine/FormulaText.h"

namespace FormulaFunctions {

namespace {

// A text a formula builds has a sane size; a wild count is a mistake, not a request for
// gigabytes.
constexpr qint64 LongestText = 1 << 20;

qsizetype clampLength(qint64 n)
{
    return qsizetype(std::max<qint64>(0, n));
}

} // namespace

Value trimLeft(const Arguments& a)
{
    return Value(FormulaText::trimmedLeft(a.text(0)));
}

Value trimRight(const Arguments& a)
{
    return Value(FormulaText::trimmedRight(a.text(0)));
}

Value trim(const Arguments& a)
{
    return Value(FormulaText::trimmedLeft(FormulaText::trimmedRight(a.text(0))));
}

Value inStr(const Arguments& a)
{
    const bool withStart = a.size() == 3;
    const qint64 start = withStart ? a.whole(0) : 1;
    const QString s = a.text(withStart ? 1 : 0);
    const QString find = a.text(withStart ? 2 : 1);
    if (start < 1)
        a.fail(RuntimeError::InvalidCall, QStringLiteral("InStr: el inicio debe ser 1 o más"));
    const qsizetype at = s.indexOf(find, start - 1, Qt::CaseInsensitive);
    return Value(qint64(at + 1));
}

Value left(const Arguments& a)
{
    return Value(a.text(0).left(clampLength(a.whole(1))));
}

Value right(const Arguments& a)
{
    return Value(a.text(0).right(clampLength(a.whole(1))));
}

Value mid(const Arguments& a)
{
    const qint64 start = a.whole(1);
    if (start < 1)
        a.fail(RuntimeError::InvalidCall, QStringLiteral("Mid: el inicio debe ser 1 o más"));
    if (a.size() == 3)
        return Value(a.text(0).mid(start - 1, clampLength(a.whole(2))));
    return Value(a.text(0).mid(start - 1));
}

Value length(const Arguments& a)
{
    return Value(qint64(a.text(0).size()));
}

Value upperCase(const Arguments& a)
{
    return Value(a.text(0).toUpper());
}

Value lowerCase(const Arguments& a)
{
    return Value(a.text(0).toLower());
}

Value rtfToText(const Arguments& a)
{
    return Value(FormulaText::plainFromRtf(a.text(0)));
}

Value replace(const Arguments& a)
{
    return Value(QString(a.text(0)).replace(a.text(1), a.text(2)));
}

Value space(const Arguments& a)
{
    const qint64 n = a.whole(0);
    if (n > LongestText)
        a.fail(RuntimeError::InvalidCall, a.name() + QStringLiteral(": texto demasiado largo"));
    return Value(QString(clampLength(n), u' '));
}

Value replicateString(const Arguments& a)
{
    const QString unit = a.text(0);
    const qint64 count = std::max<qint64>(0, a.whole(1));
    if (!unit.isEmpty() && count > LongestText / unit.size())
        a.fail(RuntimeError::InvalidCall, a.name() + QStringLiteral(": texto demasiado largo"));
    return Value(unit.repeated(qsizetype(count)));
}

Value chr(const Arguments& a)
{
    const qint64 code = a.whole(0);
    if (code < 0 || code > 0x10FFFF)
        a.fail(RuntimeError::InvalidCall, QStringLiteral("Chr: código fuera de rango"));
    const char32_t c = char32_t(code);
    return Value(QString::fromUcs4(&c, 1));
}

} // namespace FormulaFunctions
