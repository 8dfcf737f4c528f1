#include "platform/Value.h"

#include <cmath>
#include <limits>

#include <QLocale>

#include "platform/RuntimeError.h"

namespace {

__extension__ typedef __int128 Wide;

constexpr int InvalidUseOfNull = 94;

[[noreturn]] void typeMismatch()
{
    throw RuntimeError(RuntimeError::TypeMismatch, QStringLiteral("No coinciden los tipos"));
}

[[noreturn]] void invalidNull()
{
    throw RuntimeError(InvalidUseOfNull, QStringLiteral("Uso no válido de Null"));
}

// Rounds a quotient half away from zero; used where four decimals must be kept exactly.
Wide divideRounded(Wide numerator, qint64 denominator)
{
    const Wide half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : (numerator - half) / denominator;
}

QString numberText(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(static_cast<qint64>(v));
    // Shortest text that reads back as the same double, without an exponent. The shortest
    // form's count of decimals is the one to try first: 'f' at that count rounds a tie as the
    // search below does, where the shortest form may round it the other way.
    const QString shortest = QString::number(v, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = shortest.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : shortest.size() - point - 1;
    if (decimals >= 1 && decimals <= 17) {
        QString text = QString::number(v, 'f', int(decimals));
        if (text.toDouble() == v) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
            return text;
        }
    }
    QString text = QString::number(v, 'f', 15);
    for (int precision = 1; precision <= 17; ++precision) {
        const QString candidate = QString::number(v, 'f', precision);
        if (candidate.toDouble() == v) {
            text = candidate;
            break;
        }
    }
    while (text.contains(u'.') && text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// The amount in words a person reads, for a result that cannot be held.
[[noreturn]] void overflow(const QString& amount)
{
    throw RuntimeError(RuntimeError::Overflow,
        QStringLiteral("Desbordamiento: el importe %1 excede el rango de la moneda").arg(amount));
}

QString rawText(Wide raw)
{
    const bool negative = raw < 0;
    Wide magnitude = negative ? -raw : raw;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    while (digits.size() < 5)
        digits.prepend(u'0');
    QString text = digits.left(digits.size() - 4);
    QString fraction = digits.right(4);
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return negative ? u'-' + text : text;
}

Currency checkedRaw(Wide raw)
{
    if (raw > std::numeric_limits<qint64>::max() || raw < -std::numeric_limits<qint64>::max())
        overflow(rawText(raw));
    return Currency::fromRaw(static_cast<qint64>(raw));
}

} // namespace

Currency Currency::fromInteger(qint64 units)
{
    return checkedRaw(static_cast<Wide>(units) * Scale);
}

Currency Currency::operator+(Currency other) const
{
    return checkedRaw(static_cast<Wide>(m_raw) + other.m_raw);
}

Currency Currency::operator-(Currency other) const
{
    return checkedRaw(static_cast<Wide>(m_raw) - other.m_raw);
}

Currency Currency::operator-() const
{
    return checkedRaw(-static_cast<Wide>(m_raw));
}

Currency& Currency::operator+=(Currency other)
{
    return *this = *this + other;
}

std::optional<Currency> Currency::fromDouble(double value)
{
    // The largest amount has no double of its own: its nearest one, 922337203685477.625, is
    // that amount as a double column stores it. Anything beyond is out of range.
    constexpr qint64 Largest = std::numeric_limits<qint64>::max();
    constexpr double Top = double(Largest) / Scale;
    if (!std::isfinite(value) || std::fabs(value) > Top)
        return std::nullopt;
    // Scaled as a whole, a large amount would lose its last decimals; its whole part is exact
    // in a double and so is the rest.
    const double whole = std::trunc(value);
    const Wide raw = static_cast<Wide>(whole) * Scale + std::llround((value - whole) * Scale);
    if (raw > Largest)
        return fromRaw(Largest);
    if (raw < -Largest)
        return fromRaw(-Largest);
    return fromRaw(static_cast<qint64>(raw));
}

std::optional<Currency> Currency::fromString(QStringView text, QChar decimalSeparator)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (text.front() == u'-' || text.front() == u'+') {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    Wide integral = 0;
    Wide fraction = 0;
    int fractionDigits = 0;
    int roundDigit = -1;
    bool seenSeparator = false;
    bool seenDigit = false;
    for (const QChar c : text) {
        if (c == decimalSeparator && !seenSeparator) {
            seenSeparator = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
        seenDigit = true;
        const int digit = c.unicode() - u'0';
        if (!seenSeparator) {
            integral = integral * 10 + digit;
            if (integral > std::numeric_limits<qint64>::max() / Scale)
                return std::nullopt;
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (roundDigit < 0) {
            roundDigit = digit;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    while (fractionDigits < 4) {
        fraction *= 10;
        ++fractionDigits;
    }
    Wide raw = integral * Scale + fraction;
    if (roundDigit >= 5)
        ++raw;
    if (raw > std::numeric_limits<qint64>::max())
        return std::nullopt;
    return fromRaw(static_cast<qint64>(negative ? -raw : raw));
}

double Currency::toDouble() const
{
    return static_cast<double>(m_raw) / Scale;
}

QString Currency::toString(QChar decimalSeparator) const
{
    const qint64 magnitude = m_raw < 0 ? -m_raw : m_raw;
    QString text = QString::number(magnitude / Scale);
    qint64 fraction = magnitude % Scale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += decimalSeparator + digits;
    }
    return m_raw < 0 ? u'-' + text : text;
}

Currency Currency::rounded(int decimals) const
{
    if (decimals >= 4 || decimals < 0)
        return *this;
    qint64 step = 1;
    for (int i = decimals; i < 4; ++i)
        step *= 10;
    return checkedRaw(divideRounded(m_raw, step) * step);
}

Currency Currency::operator*(Currency other) const
{
    return checkedRaw(divideRounded(static_cast<Wide>(m_raw) * other.m_raw, Scale));
}

Value Value::null()
{
    return Value(NullTag {});
}

ValueType Value::type() const
{
    return static_cast<ValueType>(m_data.index());
}

bool Value::isNumeric() const
{
    switch (type()) {
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
    case ValueType::Currency:
    case ValueType::Double:
    case ValueType::Single:
        return true;
    default:
        return false;
    }
}

QString Value::toString() const
{
    switch (type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QString();
    case ValueType::Boolean:
        return std::get<bool>(m_data) ? QStringLiteral("True") : QStringLiteral("False");
    case ValueType::Int16:
        return QString::number(std::get<qint16>(m_data));
    case ValueType::Int32:
        return QString::number(std::get<qint32>(m_data));
    case ValueType::Int64:
        return QString::number(std::get<qint64>(m_data));
    case ValueType::Currency:
        return std::get<Currency>(m_data).toString();
    case ValueType::Double:
        return numberText(std::get<double>(m_data));
    case ValueType::Single:
        return numberText(static_cast<double>(std::get<float>(m_data)));
    case ValueType::Date: {
        const QDateTime& d = std::get<QDateTime>(m_data);
        if (d.time() == QTime(0, 0))
            return d.date().toString(QStringLiteral("yyyy-MM-dd"));
        return d.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    case ValueType::Text:
        return std::get<QString>(m_data);
    case ValueType::Bytes:
        return QString::fromLatin1(std::get<QByteArray>(m_data));
    }
    return QString();
}

double Value::toDouble() const
{
    switch (type()) {
    case ValueType::Empty:
        return 0.0;
    case ValueType::Null:
        invalidNull();
    case ValueType::Boolean:
        return std::get<bool>(m_data) ? -1.0 : 0.0;
    case ValueType::Int16:
        return std::get<qint16>(m_data);
    case ValueType::Int32:
        return std::get<qint32>(m_data);
    case ValueType::Int64:
        return static_cast<double>(std::get<qint64>(m_data));
    case ValueType::Currency:
        return std::get<Currency>(m_data).toDouble();
    case ValueType::Double:
        return std::get<double>(m_data);
    case ValueType::Single:
        return std::get<float>(m_data);
    case ValueType::Text: {
        bool ok = false;
        const double v = std::get<QString>(m_data).trimmed().toDouble(&ok);
        if (!ok)
            typeMismatch();
        return v;
    }
    case ValueType::Date:
    case ValueType::Bytes:
        break;
    }
    typeMismatch();
}

qint64 Value::toLongLong() const
{
    switch (type()) {
    case ValueType::Int16:
        return std::get<qint16>(m_data);
    case ValueType::Int32:
        return std::get<qint32>(m_data);
    case ValueType::Int64:
        return std::get<qint64>(m_data);
    case ValueType::Currency:
        return std::get<Currency>(m_data).rounded(0).raw() / Currency::Scale;
    default: {
        // The original rounds half to even when a fraction becomes a whole number.
        const double v = toDouble();
        if (!std::isfinite(v) || std::fabs(v) > 9.2e18)
            throw RuntimeError(6, QStringLiteral("Desbordamiento"));
        return static_cast<qint64>(std::nearbyint(v));
    }
    }
}

Currency Value::toCurrency() const
{
    switch (type()) {
    case ValueType::Currency:
        return std::get<Currency>(m_data);
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
        return Currency::fromInteger(toLongLong());
    case ValueType::Text: {
        const auto c = Currency::fromString(std::get<QString>(m_data));
        if (!c)
            typeMismatch();
        return *c;
    }
    default: {
        const double v = toDouble();
        const auto c = Currency::fromDouble(v);
        if (!c)
            overflow(numberText(v));
        return *c;
    }
    }
}

bool Value::toBool() const
{
    switch (type()) {
    case ValueType::Boolean:
        return std::get<bool>(m_data);
    case ValueType::Text: {
        const QString text = std::get<QString>(m_data).trimmed();
        if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
            return false;
        return toDouble() != 0.0;
    }
    default:
        return toDouble() != 0.0;
    }
}

QDateTime Value::toDateTime() const
{
    switch (type()) {
    case ValueType::Date:
        return std::get<QDateTime>(m_data);
    case ValueType::Null:
        invalidNull();
    case ValueType::Text: {
        const QString text = std::get<QString>(m_data).trimmed();
        for (const QString& format :
            { QStringLiteral("yyyy-MM-dd hh:mm:ss"), QStringLiteral("yyyy-MM-ddThh:mm:ss"),
                QStringLiteral("yyyy-MM-dd"), QStringLiteral("dd/MM/yyyy hh:mm:ss"),
                QStringLiteral("dd/MM/yyyy hh:mm"), QStringLiteral("dd/MM/yyyy") }) {
            const QDateTime d = QDateTime::fromString(text, format);
            if (d.isValid())
                return d;
        }
        typeMismatch();
    }
    default:
        typeMismatch();
    }
}

QByteArray Value::toBytes() const
{
    switch (type()) {
    case ValueType::Bytes:
        return std::get<QByteArray>(m_data);
    case ValueType::Null:
        invalidNull();
    case ValueType::Empty:
        return QByteArray();
    default:
        return toString().toUtf8();
    }
}
