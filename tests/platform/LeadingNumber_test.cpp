#include "platform/LeadingNumber.h"

#include <limits>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"

TEST(LeadingNumber, reads_the_number_a_text_starts_with)
{
    struct Row
    {
        const char16_t* text;
        double number;
    };
    const Row rows[] = {
        { u"12", 12 },
        { u"12abc", 12 },
        { u"1 2", 12 }, // blanks are skipped wherever they stand
        { u"\t-3\n.5", -3.5 },
        { u"1.5.2", 1.5 }, // a second point ends the number
        { u"1,5", 1 }, // "," is never a decimal separator here
        { u"2.6", 2.6 },
        { u"1e3", 1000 },
        { u"1D2", 100 },
        { u"12E", 12 }, // an exponent without digits is left out
        { u"+7", 7 },
        { u"abc", 0 },
        { u"", 0 },
        { u"-", 0 },
        { u".", 0 },
        { u"E5", 0 },
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf16(row.text)), row.number)
            << QString::fromUtf16(row.text).toStdString();
}

TEST(LeadingNumber, numbers_are_written_back_for_statements)
{
    EXPECT_EQ(numberText(12), QStringLiteral("12"));
    EXPECT_EQ(numberText(-3.5), QStringLiteral("-3.5"));
    EXPECT_EQ(numberText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(numberText(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(numberText(0.1 + 0.2), QStringLiteral("0.3"));
}

TEST(LeadingNumber, whole_numbers_drop_their_fraction_and_refuse_what_no_integer_holds)
{
    EXPECT_EQ(leadingWholeNumber(u"12.9"), 12);
    EXPECT_EQ(leadingWholeNumber(u"-1.5"), -1);
    EXPECT_EQ(leadingWholeNumber(u"0002"), 2);
    EXPECT_EQ(leadingWholeNumber(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    // Converted, these would stand for another number (or be undefined).
    for (const char16_t* text : { u"9223372036854775808", u"1e300", u"-1e19" }) {
        try {
            leadingWholeNumber(text);
            ADD_FAILURE() << QString::fromUtf16(text).toStdString();
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), 6);
            EXPECT_EQ(
                error.description(), QStringLiteral("Desbordamiento: ") + QString::fromUtf16(text));
        }
    }
}
