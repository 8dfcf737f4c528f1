#include "reportengine/SummaryAccumulator.h"

#include <gtest/gtest.h>

TEST(SummaryAccumulator, gives_each_function_in_the_type_its_values_call_for)
{
    const struct
    {
        const char* name;
        QList<Value> values;
        SummaryFunction function;
        Value expected;
    } rows[] = {
        // Whole numbers stay whole: a count of articles prints with no decimals.
        { "whole sum", { qint32(2), qint64(3), Value::null(), Value() }, SummaryFunction::Sum,
            Value(qint64(5)) },
        { "money sum", { qint32(2), Currency::fromRaw(15000) }, SummaryFunction::Sum,
            Value(Currency::fromRaw(35000)) },
        { "double sum", { Currency::fromRaw(10000), 0.5 }, SummaryFunction::Sum, Value(1.5) },
        { "texts sum", { QStringLiteral("a") }, SummaryFunction::Sum, Value(qint64(0)) },
        // Null and unassigned values are not counted; an empty text is.
        { "count", { QStringLiteral(""), Value::null(), Value(), qint32(0) },
            SummaryFunction::Count, Value(qint64(2)) },
        { "average", { qint32(1), qint32(2) }, SummaryFunction::Average, Value(1.5) },
        { "average of nothing", {}, SummaryFunction::Average, Value::null() },
        // Texts in the suite's order: case does not count.
        { "minimum text", { QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c") },
            SummaryFunction::Minimum, Value(QStringLiteral("A")) },
        // A flag orders False before True, however it is stored.
        { "minimum flag", { true, false, true }, SummaryFunction::Minimum, Value(false) },
        { "maximum flag", { false, true, false }, SummaryFunction::Maximum, Value(true) },
        { "maximum number", { qint32(9), 10.5, qint32(10) }, SummaryFunction::Maximum,
            Value(10.5) },
    };
    for (const auto& row : rows) {
        SummaryAccumulator acc;
        acc.add(QStringLiteral("dropped by reset"));
        acc.reset();
        for (const Value& v : row.values)
            acc.add(v);

        EXPECT_EQ(acc.value(row.function), row.expected) << row.name;
    }
}

TEST(SummaryAccumulator, group_keys_break_where_the_database_order_does)
{
    const struct
    {
        Value a;
        Value b;
        bool same;
    } rows[] = {
        { QStringLiteral("Rubro A"), QStringLiteral("RUBRO a  "), true },
        { QStringLiteral("Rubro A"), QStringLiteral("Rubro B"), false },
        { Value::null(), Value(), true },
        { Value::null(), QStringLiteral(""), false },
        { Value::null(), QStringLiteral("x"), false },
        { qint32(1), Currency::fromRaw(10000), true },
        { qint32(1), 1.25, false },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(sameKey(row.a, row.b), row.same)
            << row.a.toString().toStdString() << " / " << row.b.toString().toStdString();
    }
}
