#include "reportengine/ValueFormat.h"

#include <gtest/gtest.h>

TEST(ValueFormat, prints_numbers_dates_and_money_with_the_locale)
{
    const QLocale ar(QLocale::Spanish, QLocale::Argentina);
    struct Row
    {
        Value value;
        const char* pattern;
        const char* text;
    };
    const Row rows[] = {
        { Value(*Currency::fromString(u"1234.5")), "#,##0.00", "1.234,50" },
        { Value(*Currency::fromString(u"-0.005")), "#,##0.00", "-0,01" }, // half away from zero
        { Value(*Currency::fromString(u"-0.004")), "#,##0.00", "0,00" }, // no "-0,00"
        { Value(*Currency::fromString(u"1234567.8912")), "$ #,##0.000", "$ 1.234.567,891" },
        { Value(*Currency::fromString(u"12.5")), "", "12,50" },
        { Value(1234567.0), "0.0", "1234567,0" },
        { Value(qint32(42)), "", "42" },
        { Value(qint64(-1234567)), "#,##0", "-1.234.567" },
        { Value(qint32(7)), "0.00 %", "7,00 %" },
        // A whole number too big for money still prints exactly with decimals.
        { Value(qint64(-1000000000000000)), "#,##0.00", "-1.000.000.000.000.000,00" },
        // "#" decimals are shown only when they are not zero.
        { Value(123.0), "#,##0.##", "123" },
        { Value(1234.5), "#,##0.##", "1.234,5" },
        { Value(-0.004), "#,##0.##", "0" },
        { Value(*Currency::fromString(u"12.2501")), "0.0#", "12,25" },
        { Value(*Currency::fromString(u"12.3")), "0.0#", "12,3" },
        { Value(qint32(5)), "0.##", "5" },
        { Value(QDate(2024, 3, 9)), "", "09/03/2024" },
        { Value(QDateTime(QDate(2024, 3, 9), QTime(14, 5))), "dd/MM/yy HH:mm", "09/03/24 14:05" },
        { Value::null(), "#,##0.00", "" },
        { Value(QStringLiteral("D'Angelo")), "#,##0.00", "D'Angelo" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(ValueFormat::format(row.value, QString::fromLatin1(row.pattern), ar),
            QString::fromUtf8(row.text))
            << row.text;
}
