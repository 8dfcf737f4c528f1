#include "receipts/TextosRecibo.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using namespace TextosRecibo;

TEST(TextosRecibo, media_amounts_round_half_away_from_zero_with_two_decimals)
{
    struct Caso
    {
        qint64 raw;
        const char* coma;
    };
    const Caso casos[] = {
        { 0, "0,00" },
        { 12345, "1,23" }, // 1.2345
        { 12350, "1,24" }, // 1.2350: half goes up
        { -12350, "-1,24" }, // and away from zero below it
        { 12345678900000, "1234567890,00" }, // no grouping
        { -50, "-0,01" },
    };
    for (const QLocale& locale : { QLocale(QLocale::Spanish, QLocale::Argentina),
             QLocale(QLocale::English, QLocale::UnitedStates) }) {
        QLocale::setDefault(locale);
        for (const Caso& caso : casos) {
            QString esperado = QLatin1String(caso.coma);
            if (locale.decimalPoint() == QLatin1String("."))
                esperado.replace(u',', u'.');
            EXPECT_EQ(importeMedio(Currency::fromRaw(caso.raw)), esperado) << caso.raw;
        }
    }
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
}

TEST(TextosRecibo, rates_keep_fifteen_significant_digits_and_never_an_exponent)
{
    EXPECT_EQ(numeroTexto(1.0 / 3), QStringLiteral("0,333333333333333"));
    EXPECT_EQ(numeroTexto(1e-7), QStringLiteral("0,0000001"));
    EXPECT_EQ(numeroTexto(2e20), QStringLiteral("200000000000000000000"));
    EXPECT_EQ(numeroTexto(Value::null()), QString());
}
