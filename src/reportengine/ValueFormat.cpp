#include "reportengine/ValueFormat.h"

namespace {

struct NumberPattern
{
    QString prefix;
    QString suffix;
    int decimals = 0;
    int requiredDecimals = 0; // up to the last '0' of the fraction; '#' after it are optional
    bool grouping = false;
    bool valid = false;
};

NumberPattern parseNumberPattern(const QString& pattern)
{
    NumberPattern p;
    int first = -1;
    int last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'#' || c == u'0') {
            if (first < 0)
                first = i;
            last = i;
        } else if ((c == u',' || c == u'.') && first >= 0 && i + 1 < pattern.size()
            && (pattern[i + 1] == u'#' || pattern[i + 1] == u'0')) {
            last = i;
        }
    }
    if (first < 0)
        return p;
    const QString core = pattern.mid(first, last - first + 1);
    p.prefix = pattern.left(first);
    p.suffix = pattern.mid(last + 1);
    const int dot = core.indexOf(u'.');
    p.decimals = dot < 0 ? 0 : int(core.size() - dot - 1);
    p.requiredDecimals = dot < 0 ? 0 : int(core.lastIndexOf(u'0') - dot);
    if (p.requiredDecimals < 0)
        p.requiredDecimals = 0;
    p.grouping = core.left(dot < 0 ? core.size() : dot).contains(u',');
    p.valid = true;
    return p;
}

// Drops the trailing zeros of the optional decimals ("#" in the pattern) from an unsigned
// "1234.50", and the point when no decimal is left.
QString trimOptional(QString digits, const NumberPattern& p)
{
    const int dot = digits.indexOf(u'.');
    if (dot < 0)
        return digits;
    while (digits.size() - dot - 1 > p.requiredDecimals && digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.endsWith(u'.'))
        digits.chop(1);
    return digits;
}

// `digits` is an unsigned "1234.50" with '.' as decimal point.
QString localize(const QString& digits, bool negative, bool grouping, const QLocale& locale)
{
    const int dot = digits.indexOf(u'.');
    QString whole = dot < 0 ? digits : digits.left(dot);
    const QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
    if (grouping) {
        const QString sep = locale.groupSeparator();
        for (int i = int(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(i, sep);
    }
    QString text = negative ? locale.negativeSign() + whole : whole;
    if (!fraction.isEmpty())
        text += locale.decimalPoint() + fraction;
    return text;
}

QString formatCurrency(Currency amount, const NumberPattern& p, const QLocale& locale)
{
    const Currency r = amount.rounded(std::min(p.decimals, 4));
    qint64 raw = r.raw();
    const bool negative = raw < 0;
    if (negative)
        raw = -raw;
    QString digits = QString::number(raw / Currency::Scale);
    if (p.decimals > 0) {
        QString fraction = QStringLiteral("%1").arg(raw % Currency::Scale, 4, 10, QLatin1Char('0'));
        if (p.decimals < 4)
            fraction.truncate(p.decimals);
        else
            fraction += QString(p.decimals - 4, u'0');
        digits += u'.' + fraction;
    }
    return localize(trimOptional(digits, p), negative && raw != 0, p.grouping, locale);
}

QString formatDouble(double v, const NumberPattern& p, const QLocale& locale)
{
    const QString digits = trimOptional(QString::number(std::abs(v), 'f', p.decimals), p);
    const bool zero = digits.count(u'0') + digits.count(u'.') == digits.size();
    return localize(digits, v < 0 && !zero, p.grouping, locale);
}

} // namespace

namespace ValueFormat {

QString format(const Value& value, const QString& pattern, const QLocale& locale)
{
    switch (value.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QString();
    case ValueType::Boolean:
    case ValueType::Text:
    case ValueType::Bytes:
        return value.toString();
    case ValueType::Date: {
        const QDateTime dt = value.toDateTime();
        if (!pattern.isEmpty())
            return locale.toString(dt, pattern);
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    }
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64: {
        NumberPattern p = parseNumberPattern(pattern);
        if (!p.valid)
            return value.toString();
        // A whole number gets its decimals as zeros: any 64-bit value prints exactly.
        const qint64 v = value.toLongLong();
        QString digits = QString::number(v < 0 ? 0 - quint64(v) : quint64(v));
        if (p.decimals > 0)
            digits += u'.' + QString(p.decimals, u'0');
        return p.prefix + localize(trimOptional(digits, p), v < 0, p.grouping, locale) + p.suffix;
    }
    case ValueType::Currency: {
        NumberPattern p
            = parseNumberPattern(pattern.isEmpty() ? QStringLiteral("#,##0.00") : pattern);
        if (!p.valid)
            return value.toString();
        return p.prefix + formatCurrency(value.toCurrency(), p, locale) + p.suffix;
    }
    case ValueType::Double:
    case ValueType::Single: {
        NumberPattern p
            = parseNumberPattern(pattern.isEmpty() ? QStringLiteral("#,##0.00") : pattern);
        if (!p.valid)
            return value.toString();
        return p.prefix + formatDouble(value.toDouble(), p, locale) + p.suffix;
    }
    }
    return value.toString();
}

} // namespace ValueFormat

namespace ValueFormat {

std::optional<Decimals> decimals(const QString& pattern)
{
    const NumberPattern p = parseNumberPattern(pattern);
    if (!p.valid)
        return std::nullopt;
    return Decimals { p.requiredDecimals, p.decimals };
}

QString plainNumber(const Value& value, const QString& pattern, const QLocale& locale)
{
    NumberPattern p = parseNumberPattern(pattern);
    if (!p.valid || !value.isNumeric())
        return format(value, pattern, locale);
    p.grouping = false;
    if (value.type() == ValueType::Double || value.type() == ValueType::Single)
        return formatDouble(value.toDouble(), p, locale);
    const Currency amount = value.type() == ValueType::Currency
        ? value.toCurrency()
        : Currency::fromInteger(value.toLongLong());
    return formatCurrency(amount, p, locale);
}

} // namespace ValueFormat
