#pragma once

#include <compare>
#include <optional>
#include <variant>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

// A money amount: 64-bit fixed point with four decimals, as the suite stores prices and costs.
// Never a double in between: conversions from text are exact, from double are rounded once. An
// amount or a result beyond the type's range (about 922 billion either way) raises run-time error
// 6 naming the value, never a wrapped amount.
class Currency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(qint64 raw)
    {
        Currency c;
        c.m_raw = raw;
        return c;
    }
    static Currency fromInteger(qint64 units);
    // The nearest amount, half away from zero at the fourth decimal; nullopt when not finite or
    // beyond the double nearest to the largest amount.
    static std::optional<Currency> fromDouble(double value);
    // Reads an optional sign, digits and at most one `decimalSeparator` ("1234,5" with ','). More
    // than four decimals are rounded half away from zero. Blanks around are allowed; anything else
    // fails.
    static std::optional<Currency> fromString(QStringView text, QChar decimalSeparator = u'.');

    constexpr qint64 raw() const { return m_raw; }
    double toDouble() const;
    // Shortest text without exponent: "1234.5", "-0.0025", "12" (separator given).
    QString toString(QChar decimalSeparator = u'.') const;
    // Rounded half away from zero to `decimals` (0..4).
    Currency rounded(int decimals) const;

    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency operator-() const;
    // Product rounded half away from zero to four decimals.
    Currency operator*(Currency other) const;
    Currency& operator+=(Currency other);
    auto operator<=>(const Currency&) const = default;

private:
    qint64 m_raw = 0;
};

enum class ValueType
{
    Empty,
    Null,
    Boolean,
    Int16,
    Int32,
    Int64,
    Currency,
    Double,
    Single,
    Date,
    Text,
    Bytes,
};

// The variant value the data layer and the program pass around. Empty (never assigned), Null (the
// database's NULL) and "" (empty text) are three different things and stay apart.
class Value
{
public:
    Value() = default;
    static Value null();
    Value(bool v)
        : m_data(v)
    {
    }
    Value(qint16 v)
        : m_data(v)
    {
    }
    Value(qint32 v)
        : m_data(v)
    {
    }
    Value(qint64 v)
        : m_data(v)
    {
    }
    Value(Currency v)
        : m_data(v)
    {
    }
    Value(double v)
        : m_data(v)
    {
    }
    Value(float v)
        : m_data(v)
    {
    }
    Value(const QDateTime& v)
        : m_data(v)
    {
    }
    Value(const QDate& v)
        : m_data(v.startOfDay())
    {
    }
    Value(const QString& v)
        : m_data(v)
    {
    }
    Value(const char16_t* v)
        : m_data(QString::fromUtf16(v))
    {
    }
    Value(const QByteArray& v)
        : m_data(v)
    {
    }

    ValueType type() const;
    bool isEmpty() const { return type() == ValueType::Empty; }
    bool isNull() const { return type() == ValueType::Null; }
    bool isNumeric() const;
    bool isText() const { return type() == ValueType::Text; }

    // Text form: Empty and Null give "", Boolean "True"/"False", numbers with "." and no
    // exponent, dates "yyyy-MM-dd" (plus " hh:mm:ss" when there is a time), bytes as Latin-1.
    QString toString() const;
    // Conversions in the original's spirit: numbers convert between each other, numeric text
    // (with ".") converts to numbers, "True"/"False" and numbers to Boolean. Null raises run-time
    // error 94, anything else that does not convert raises 13.
    double toDouble() const;
    qint64 toLongLong() const;
    Currency toCurrency() const;
    bool toBool() const;
    QDateTime toDateTime() const;
    QByteArray toBytes() const;

    // Same type and same content (Empty == Empty, Null == Null).
    bool operator==(const Value& other) const { return m_data == other.m_data; }

private:
    struct NullTag
    {
        bool operator==(const NullTag&) const { return true; }
    };
    using Data = std::variant<std::monostate, NullTag, bool, qint16, qint32, qint64, Currency,
        double, float, QDateTime, QString, QByteArray>;
    explicit Value(NullTag tag)
        : m_data(tag)
    {
    }

    Data m_data;
};
