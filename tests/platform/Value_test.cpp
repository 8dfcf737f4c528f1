#include "platform/RuntimeError.h"
#include "platform/Value.h"

#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

TEST(Currency, reads_text_exactly_and_rounds_past_four_decimals)
{
    struct Row
    {
        const char16_t* text;
        QChar separator;
        qint64 raw;
    };
    const Row rows[] = {
        { u"1234,5", u',', 12345000 },
        { u" -0,0025 ", u',', -25 },
        { u"12", u',', 120000 },
        { u"0.00005", u'.', 1 }, // the fifth decimal rounds half away from zero
        { u"-0.00005", u'.', -1 },
        { u"1.23456", u'.', 12346 },
    };
    for (const Row& row : rows) {
        const auto value = Currency::fromString(QString::fromUtf16(row.text), row.separator);
        ASSERT_TRUE(value.has_value()) << QString::fromUtf16(row.text).toStdString();
        EXPECT_EQ(value->raw(), row.raw) << QString::fromUtf16(row.text).toStdString();
    }
}

TEST(Currency, refuses_text_that_is_not_an_amount)
{
    for (const char16_t* text : { u"", u"abc", u"1,2,3", u"1.5", u"-", u"1e5" })
        EXPECT_FALSE(Currency::fromString(QString::fromUtf16(text), u',').has_value())
            << QString::fromUtf16(text).toStdString();
}

// A double column holds each amount as its nearest double: read back, it is the nearest amount,
// up to the largest, whose double lies a little beyond it; past that double nothing is money.
TEST(Currency, reads_a_double_as_its_nearest_amount_up_to_the_largest)
{
    const double top = 922337203685477.625;
    const struct
    {
        double value;
        const char* amount; // nullptr: out of range
    } rows[] = {
        { top, "922337203685477.5807" },
        { -top, "-922337203685477.5807" },
        { 921000000000000.5, "921000000000000.5" },
        { 900000000000000.375, "900000000000000.375" },
        { 48629.39, "48629.39" },
        { std::nextafter(top, 1e300), nullptr },
        { 1e15, nullptr },
        { -1e15, nullptr },
        { 1e308, nullptr },
        { std::numeric_limits<double>::infinity(), nullptr },
        { std::numeric_limits<double>::quiet_NaN(), nullptr },
    };
    for (const auto& row : rows) {
        const std::optional<Currency> c = Currency::fromDouble(row.value);
        if (row.amount == nullptr) {
            EXPECT_FALSE(c.has_value()) << row.value;
            continue;
        }
        ASSERT_TRUE(c.has_value()) << row.value;
        EXPECT_EQ(c->toString(), QLatin1String(row.amount)) << row.value;
    }
}

TEST(Currency, multiplies_and_rounds_without_doubles)
{
    const Currency price = *Currency::fromString(u"10.0001");
    const Currency rate = *Currency::fromString(u"0.21");

    EXPECT_EQ((price * rate).toString(), QStringLiteral("2.1"));
    // Past the fourth decimal the product rounds half away from zero, never cut.
    EXPECT_EQ((*Currency::fromString(u"1.2345") * *Currency::fromString(u"0.5")).toString(),
        QStringLiteral("0.6173"));
    EXPECT_EQ(Currency::fromString(u"2.345")->rounded(2).toString(u','), QStringLiteral("2,35"));
    EXPECT_EQ(Currency::fromString(u"-2.345")->rounded(2).toString(), QStringLiteral("-2.35"));
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2)->toString(), QStringLiteral("0.3"));
}

// Beyond about 922 billion the amount cannot be held: an error naming it, never a wrapped amount.
TEST(Currency, raises_overflow_naming_an_amount_beyond_its_range)
{
    const Currency top = *Currency::fromString(u"922337203685477");
    const struct
    {
        std::function<Currency()> operation;
        const char* amount;
    } rows[] = {
        { [] { return Currency::fromInteger(1000000000000000); }, "1000000000000000" },
        { [] { return Value(qint64(1000000000000000)).toCurrency(); }, "1000000000000000" },
        { [] { return Value(1e15).toCurrency(); }, "1000000000000000" },
        { [&] { return top + top; }, "1844674407370954" },
        { [&] { return -top - top; }, "-1844674407370954" },
        { [&] { return top * *Currency::fromString(u"10"); }, "9223372036854770" },
        { [&] {
             Currency sum = top;
             sum += Currency::fromInteger(1);
             return sum;
         },
            "922337203685478" },
    };
    for (const auto& row : rows) {
        try {
            const Currency wrapped = row.operation();
            ADD_FAILURE() << row.amount << " gave " << wrapped.toString().toStdString();
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), RuntimeError::Overflow);
            EXPECT_EQ(e.description(),
                QStringLiteral("Desbordamiento: el importe %1 excede el rango de la moneda")
                    .arg(QLatin1String(row.amount)));
        }
    }
    EXPECT_FALSE(Currency::fromString(u"922337203685477.9999").has_value());
}

TEST(Value, keeps_empty_null_and_empty_text_apart)
{
    const Value empty;
    const Value null = Value::null();
    const Value text(QString {});

    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(null.isNull());
    EXPECT_TRUE(text.isText());
    EXPECT_FALSE(empty == null);
    EXPECT_FALSE(null == text);
    EXPECT_EQ(null.toString(), QString());
}

TEST(Value, converts_like_the_original_and_raises_its_errors)
{
    EXPECT_EQ(Value(u"  42 ").toLongLong(), 42);
    EXPECT_EQ(Value(2.5).toLongLong(), 2); // rounds half to even
    EXPECT_EQ(Value(true).toDouble(), -1.0);
    EXPECT_EQ(Value(qint32(7)).toCurrency().toString(), QStringLiteral("7"));
    EXPECT_EQ(Value(0.1).toString(), QStringLiteral("0.1"));
    EXPECT_EQ(Value(QDate(2026, 3, 1)).toString(), QStringLiteral("2026-03-01"));

    try {
        (void)Value::null().toDouble();
        FAIL() << "Null converted to a number";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 94);
    }
    try {
        (void)Value(u"abc").toDouble();
        FAIL() << "text converted to a number";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), RuntimeError::TypeMismatch);
    }
}
