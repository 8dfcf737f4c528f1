#include <gtest/gtest.h>

#include "FormulaTestContext.h"
#include "platform/RuntimeError.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaFolding.h"
#include "reportengine/FormulaParser.h"

namespace {

FormulaTestContext record()
{
    FormulaTestContext c;
    c.set(QStringLiteral("t.nulo"), Value::null());
    c.set(QStringLiteral("t.codigo"), Value(QStringLiteral("ABC  ")));
    c.set(QStringLiteral("t.precio"), Value(Currency::fromRaw(100050)));
    c.set(QStringLiteral("t.costo"), Value(Currency::fromRaw(12345)));
    c.set(QStringLiteral("t.milesimo"), Value(Currency::fromRaw(3)));
    c.set(QStringLiteral("t.mitad"), Value(Currency::fromRaw(5000)));
    c.set(QStringLiteral("t.tope"), Value(*Currency::fromString(u"922337203685477.5807")));
    c.set(QStringLiteral("t.flag"), Value(qint32(-1)));
    c.set(QStringLiteral("t.apagado"), Value(false));
    c.set(QStringLiteral("t.fecha"), Value(QStringLiteral("2024-01-05 00:00:00")));
    c.setFormula(QStringLiteral("Recargo"), Value(qint64(3)));
    return c;
}

Value evaluate(const char* formula, const FormulaContext& context)
{
    const FormulaParseResult r
        = FormulaParser::parse(QStringLiteral("Prueba"), QString::fromUtf8(formula));
    if (!r.ok())
        throw RuntimeError(0, r.error.message());
    return FormulaEvaluator(context, QStringLiteral("Prueba")).evaluateScalar(*r.tree);
}

struct EvalCase
{
    const char* formula;
    const char* result; // the value written back in the language
};

class FormulaEvaluatorResults : public ::testing::TestWithParam<EvalCase>
{
};

TEST_P(FormulaEvaluatorResults, gives_the_expected_value)
{
    const FormulaTestContext context = record();

    const Value v = evaluate(GetParam().formula, context);

    EXPECT_EQ(FormulaNode::constant(v, 0)->toText().toStdString(), GetParam().result)
        << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(FormulaEvaluator, FormulaEvaluatorResults,
    ::testing::Values(
        // Text compares as the suite's server does: no case, no trailing blanks, accents count.
        EvalCase { "{t.codigo} = 'abc'", "True" }, EvalCase { "'Ñandú' = 'ñANDÚ'", "True" },
        EvalCase { "'a' = 'á'", "False" }, EvalCase { "'n' < 'ñ' And 'ñ' < 'o'", "True" },
        EvalCase { "'á' < 'b'", "True" }, EvalCase { "'ÑANDU' like 'ñ*'", "True" },
        EvalCase { "{t.codigo} like 'abc'", "True" }, EvalCase { "'abc' like 'abc '", "False" },
        EvalCase { "'abc' like 'a?c'", "True" }, EvalCase { "'abc' like 'a?'", "False" },
        EvalCase { "'abc' like ['x*', '*C']", "True" },
        EvalCase { "{t.codigo} startswith 'ab'", "True" },
        EvalCase { "'a*c' startswith 'a*'", "True" }, EvalCase { "'abc' startswith 'a*'", "False" },
        // Three-valued logic.
        EvalCase { "{t.nulo} = 'x'", "Null" }, EvalCase { "{t.nulo} = 'x' Or True", "True" },
        EvalCase { "{t.nulo} = 'x' And False", "False" },
        EvalCase { "{t.nulo} = 'x' And True", "Null" }, EvalCase { "Not ({t.nulo} = 'x')", "Null" },
        EvalCase { "IsNull({t.nulo})", "True" }, EvalCase { "{t.nulo} like 'a*'", "Null" },
        EvalCase { "{t.nulo} in ['a']", "Null" }, EvalCase { "{t.nulo} + 1", "Null" },
        EvalCase { "If {t.nulo} = 1 Then 'a' Else 'b'", "'b'" },
        EvalCase { "If False Then 'a'", "''" },
        // Flags stored as -1 are true.
        EvalCase { "{t.flag} = True", "True" }, EvalCase { "{t.flag} = False", "False" },
        EvalCase { "{t.apagado} = False", "True" }, EvalCase { "Not {t.apagado}", "True" },
        // Numbers: whole numbers stay whole, money stays exact.
        EvalCase { "1 + 2 * 3", "7" }, EvalCase { "7 / 2", "3.5" }, EvalCase { "8 / 2", "4" },
        EvalCase { "7 \\ 2", "3" },
        EvalCase { "(-9223372036854775807 - 1) \\ -1", "9223372036854775808" },
        EvalCase { "7 mod 2", "1" }, EvalCase { "2 ^ 10", "1024" },
        EvalCase { "{t.precio} * 2", "20.01" }, EvalCase { "{t.precio} + 0.1", "10.105" },
        EvalCase { "{t.precio} > 10", "True" }, EvalCase { "Round(2.345, 2)", "2.35" },
        EvalCase { "Round(-2.5)", "-3" }, EvalCase { "Truncate(2.789, 1)", "2.7" },
        EvalCase { "Round({t.precio}, 2)", "10.01" },
        // Money rounds to any count of decimals, half away from zero; a product of amounts is
        // rounded at the fourth decimal, not cut.
        EvalCase { "Round({t.costo}, 1)", "1.2" }, EvalCase { "Round({t.costo}, 3)", "1.235" },
        EvalCase { "{t.milesimo} * {t.mitad}", "0.0002" }, EvalCase { "Abs(-3)", "3" },
        // Too large to hold a cent: kept as it is, not moved by the scaling.
        EvalCase { "Round(922337203685470.0, 2)", "922337203685470" },
        EvalCase { "Remainder(7, 3)", "1" }, EvalCase { "{@Recargo} * 2", "6" },
        EvalCase { "ToNumber(' 12.5 ') + 1", "13.5" }, EvalCase { "Val('12abc')", "12" },
        // A quoted number against a number reads as that number, as on the server.
        EvalCase { "2026 = ' 2026 '", "True" }, EvalCase { "'12.5' > 3", "True" },
        // Dates, also from a text column of the embedded database.
        EvalCase { "Date(2024,1,31) + 1", "Date(2024,2,1)" },
        EvalCase { "Date(2024,3,1) - Date(2024,2,1)", "29" },
        EvalCase { "{t.fecha} = Date(2024,1,5)", "True" }, EvalCase { "Year({t.fecha})", "2024" },
        EvalCase { "Month(Date(2024,5,6)) * 100 + Day(Date(2024,5,6))", "506" },
        EvalCase { "CurrentDate", "Date(2026,12,9)" },
        EvalCase { "CurrentDateTime", "DateTime(2026,12,9,10,30,0)" },
        EvalCase { "Date(0, 0, 0)", "Null" },
        // Text functions.
        EvalCase { "Left('abcdef', 2) & Mid('abcdef', 3, 2) & Right('abcdef', 1)", "'abcdf'" },
        // A count past every text's length takes the rest, however large it is written.
        EvalCase { "Mid('abc', 2, 9223372036854775807)", "'bc'" },
        EvalCase { "Mid('abc', 2, 2 ^ 70)", "'bc'" }, EvalCase { "Mid('abcdef', 3)", "'cdef'" },
        EvalCase { "InStr('abcabc', 'C')", "3" }, EvalCase { "InStr(4, 'abcabc', 'a')", "4" },
        EvalCase { "Length(TrimLeft(TrimRight('  ab  ')))", "2" },
        EvalCase { "'[' & Trim('  a b  ') & ']'", "'[a b]'" },
        EvalCase { "UpperCase('ñandú')", "'ÑANDÚ'" }, EvalCase { "LowerCase('ÁB')", "'áb'" },
        EvalCase { "'abc'[2]", "'b'" }, EvalCase { "'abcdef'[2 to 4]", "'bcd'" },
        EvalCase { "Replace('a-b-c', '-', '/')", "'a/b/c'" },
        EvalCase { R"(RtfToText("{\rtf1\ansi Ca\'f1o\par}"))", "'Caño'" },
        EvalCase { "ReplicateString('ab', 2) & Space(1) & Chr(65)", "'abab A'" },
        EvalCase { "'a' + 'b'", "'ab'" }, EvalCase { "'Total: ' & 1234.5", "'Total: 1.234,50'" },
        EvalCase { "ToText(1234.5)", "'1.234,50'" }, EvalCase { "ToText(3, 0)", "'3'" },
        EvalCase { "ToText(3)", "'3'" }, EvalCase { "ToText(3.0)", "'3,00'" },
        EvalCase { "'Hoja ' & 2", "'Hoja 2'" },
        EvalCase { "ToText(1234.5, 1, '', '.')", "'1234.5'" },
        EvalCase { "ToText(Date(2024,1,5))", "'05/01/2024'" },
        EvalCase { "ToText(Date(2024,1,5), 'yyyy-MM')", "'2024-01'" },
        EvalCase { "IIf(1 > 2, 'a', 'b')", "'b'" },
        // Membership.
        EvalCase { "'B' in ['a','b']", "True" }, EvalCase { "5 in 1 to 5", "True" },
        EvalCase { "5 in 1 to_ 5", "False" }, EvalCase { "1 in 1 _to 5", "False" },
        EvalCase { "'m' in 'A' to 'Z'", "True" }, EvalCase { "7 in UpFrom 5", "True" },
        EvalCase { "'b' in 'ABC'", "True" }));

struct FailureCase
{
    const char* formula;
    int number;
    const char* description;
};

class FormulaEvaluatorFailures : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(FormulaEvaluatorFailures, raise_a_runtime_error_naming_the_formula)
{
    const FormulaTestContext context = record();

    try {
        evaluate(GetParam().formula, context);
        FAIL() << "no error for " << GetParam().formula;
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), GetParam().number);
        EXPECT_EQ(e.description().toStdString(), GetParam().description);
        EXPECT_EQ(e.source(), QStringLiteral("Fórmula Prueba"));
    }
}

INSTANTIATE_TEST_SUITE_P(FormulaEvaluator, FormulaEvaluatorFailures,
    ::testing::Values(FailureCase { "1 / 0", 11, "División por cero" },
        FailureCase { "'a' = 1", 13, "no se puede comparar texto con número" },
        FailureCase { "ToNumber('x1')", 13, "ToNumber: «x1» no es un número" },
        FailureCase { "'a' - 1", 13, "no se puede operar texto con número" },
        FailureCase { "Left(1, 2)", 13, "Left necesita un texto en el argumento 1" },
        // An argument read straight from a field is told with the field and what it holds.
        FailureCase { "Round({t.codigo}, 2)", 13,
            "Round necesita un número en el argumento 1: t.codigo vale 'ABC  '" },
        FailureCase { "'abc'[4]", 9, "índice fuera del texto" },
        FailureCase { "Space(2000000)", 5, "Space: texto demasiado largo" },
        FailureCase {
            "ReplicateString('ab', 1000000)", 5, "ReplicateString: texto demasiado largo" },
        FailureCase { "'a' And True", 13, "And, Or y Xor necesitan Verdadero o Falso" },
        // Worked out on the record, an impossible date is told as it is, not taken for a blank.
        FailureCase {
            "Date(2024, 2, 29 + {@Recargo} - 2)", 5, "Date: la fecha 2024-2-30 no existe" }));

// The smallest whole number has no counterpart by -1: Remainder answers as Mod does, with no
// arithmetic trap.
TEST(FormulaEvaluator, remainder_of_the_smallest_whole_number_by_minus_one_is_zero)
{
    const FormulaTestContext context = record();

    EXPECT_EQ(evaluate("Remainder(-9223372036854775807 - 1, -1)", context).toLongLong(), 0);
    EXPECT_EQ(evaluate("(-9223372036854775807 - 1) Mod -1", context).toLongLong(), 0);
}

// The largest amount goes through a price's own formula exactly; a result past it is refused,
// whichever way it was worked out.
TEST(FormulaEvaluator, money_stays_exact_up_to_its_largest_amount_and_is_refused_beyond)
{
    const FormulaTestContext context = record();

    EXPECT_EQ(evaluate("({t.tope} - {t.precio}) * 1", context).toCurrency().toString(),
        QStringLiteral("922337203685467.5757"));
    EXPECT_EQ(evaluate("Round({t.tope} * (1 + 0 / 100), 2)", context).toCurrency().toString(),
        QStringLiteral("922337203685477.58"));
    for (const char* beyond : { "{t.tope} + {t.tope}", "{t.tope} * 1.5", "{t.tope} / 0.5" }) {
        try {
            const Value v = evaluate(beyond, context);
            ADD_FAILURE() << beyond << " gave " << v.toString().toStdString();
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), RuntimeError::Overflow) << beyond;
        }
    }
}

// Each comparison operator on whole numbers, money, texts and dates, at, below and above.
TEST(FormulaEvaluator, comparison_operators_answer_at_each_side_of_equality)
{
    const FormulaTestContext context = record();
    const char* pairs[][2] = { { "1", "2" }, { "{t.precio}", "10.01" }, { "'abc'", "'ABD'" },
        { "Date(2024,1,5)", "Date(2024,1,6)" } };
    // For each operator: low op high, equal op equal, high op low.
    const struct
    {
        const char* op;
        bool below, equal, above;
    } ops[] = { { "=", false, true, false }, { "<>", true, false, true },
        { "<", true, false, false }, { "<=", true, true, false }, { ">", false, false, true },
        { ">=", false, true, true } };
    for (const auto& pair : pairs) {
        for (const auto& o : ops) {
            auto check = [&](const char* a, const char* b, bool expected) {
                const QString f = QStringLiteral("%1 %2 %3")
                                      .arg(QLatin1String(a), QLatin1String(o.op), QLatin1String(b));
                EXPECT_EQ(evaluate(f.toUtf8().constData(), context).toBool(), expected)
                    << f.toStdString();
            };
            check(pair[0], pair[1], o.below);
            check(pair[0], pair[0], o.equal);
            check(pair[1], pair[0], o.above);
        }
    }
}

TEST(FormulaEvaluator, page_values_are_refused_where_the_context_has_none)
{
    const FormulaTestContext context = record();

    try {
        evaluate("PageNumber", context);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("PageNumber no se puede usar en esta fórmula"));
    }
}

TEST(FormulaEvaluator, selects_only_on_true)
{
    const FormulaTestContext context = record();
    const FormulaEvaluator evaluator(context, QStringLiteral("Seleccion"));
    auto tree = [](const char* text) {
        return FormulaParser::parse(QStringLiteral("Seleccion"), QString::fromUtf8(text)).tree;
    };

    EXPECT_TRUE(evaluator.selects(*tree("{t.codigo} = 'ABC'")));
    EXPECT_FALSE(evaluator.selects(*tree("{t.codigo} = 'ABD'")));
    EXPECT_FALSE(evaluator.selects(*tree("{t.nulo} = 'x'")));
    EXPECT_FALSE(evaluator.selects(*tree("Not ({t.nulo} = 'x')")));
    EXPECT_TRUE(evaluator.selects(*tree("{t.nulo} = 'x' Or IsNull({t.nulo})")));
}

} // namespace

// A chain of operators is worked out in a loop, in the order written: a total of any length
// neither recurses (each walk would need tens of megabytes of stack for this one) nor is
// regrouped (1 - 1 - 1 is -1, not 1).
TEST(FormulaEvaluator, a_long_chain_is_worked_out_in_its_order_without_recursion)
{
    const FormulaTestContext c = record();
    const FormulaParseResult parsed = FormulaParser::parse(QStringLiteral("Prueba"),
        QStringLiteral("{t.flag}") + QStringLiteral(" - 1").repeated(199999));
    ASSERT_TRUE(parsed.ok()) << parsed.error.message().toStdString();
    FormulaFolding::Known nothingFixed;
    nothingFixed.fixedFormula = [](int) { return false; };
    nothingFixed.value = [](const FormulaNode&) { return std::optional<Value>(); };

    const FormulaNodePtr folded = FormulaFolding::fold(parsed.tree, nothingFixed);
    const Value value = FormulaEvaluator(c, QStringLiteral("Prueba")).evaluateScalar(*folded);
    const QString text = parsed.tree->toText();

    EXPECT_EQ(value.toLongLong(), -200000);
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("((({t.flag} - 1) - 1) - 1)").prepend(QString(199999 - 3, u'('))));
}
