#include <gtest/gtest.h>

#include "reportengine/FormulaParser.h"

namespace {

struct ParseCase
{
    const char* formula;
    const char* tree; // FormulaNode::toText of the result
};

class FormulaParserShapes : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(FormulaParserShapes, parses_into_the_expected_tree)
{
    const ParseCase& c = GetParam();

    const FormulaParseResult r
        = FormulaParser::parse(QStringLiteral("Prueba"), QString::fromUtf8(c.formula));

    ASSERT_TRUE(r.ok()) << r.error.message().toStdString();
    ASSERT_TRUE(r.tree);
    EXPECT_EQ(r.tree->toText().toStdString(), c.tree);
}

INSTANTIATE_TEST_SUITE_P(FormulaParser, FormulaParserShapes,
    ::testing::Values(
        // The price list's worked example, blanks as the program writes them.
        ParseCase { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False AND "
                    "({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 ) ",
            "((({V_MA_PRECIOS.TIPOLISTA} = 'V') And ({v_ma_articulos.SUSPENDIDO} = False)) And "
            "(({V_MA_PRECIOS.COSTO} <> 0) Or ({V_MA_PRECIOS.PRECIO1} <> 0)))" },
        // Field names of the accounting entries hold a blank.
        ParseCase { "{MV_ASIENTOS.NUMERO ASIENTO} = 12", "({MV_ASIENTOS.NUMERO ASIENTO} = 12)" },
        ParseCase { "{dbo.V_MV_CPTE.TC} = 'FC  '", "({dbo.V_MV_CPTE.TC} = 'FC  ')" },
        ParseCase { "{x.nombre} = 'D''Angelo'", "({x.nombre} = 'D''Angelo')" },
        ParseCase { "\"dice \"\"hola\"\" \"", "'dice \"hola\" '" },
        // The date literal the utility library writes, with leading zeros.
        ParseCase {
            "{p.FhOfertaDesde} >= Date(2024,01,05)", "({p.FhOfertaDesde} >= Date(2024,1,5))" },
        ParseCase { "DateTime(2024,1,5,13,4,0)", "DateTime(2024,1,5,13,4,0)" },
        // A blank date field gives a date that does not exist: no date at all.
        ParseCase { "Date(0,0,0)", "Null" },
        ParseCase { " ({v.idfamilia} LIKE 'CAF*'  OR {v.idfamilia} LIKE 'B*' )",
            "(({v.idfamilia} Like 'CAF*') Or ({v.idfamilia} Like 'B*'))" },
        ParseCase { "TrimLeft(TrimRight({v.idrubro})) >= 'A' ",
            "(TrimLeft(TrimRight({v.idrubro})) >= 'A')" },
        ParseCase { "tonumber({x.peso}) >= 10  AND tonumber({x.peso}) <= 20 ",
            "((ToNumber({x.peso}) >= 10) And (ToNumber({x.peso}) <= 20))" },
        ParseCase { "ISNULL({STK_MA_ARTICULOS.DEPOSITO})", "IsNull({STK_MA_ARTICULOS.DEPOSITO})" },
        ParseCase { "{x.a} in ['1', '2']", "({x.a} In ['1', '2'])" },
        ParseCase { "{x.a} in 1 to 5", "({x.a} In 1 to 5)" },
        ParseCase { "{x.a} in 1 _to_ 5", "({x.a} In 1 _to_ 5)" },
        ParseCase { "{x.a} in UpTo 5", "({x.a} In UpTo 5)" },
        ParseCase { "{x.a} startswith 'AB'", "({x.a} StartsWith 'AB')" },
        ParseCase { "not {x.a} = 1 and {x.b}", "(Not (({x.a} = 1)) And {x.b})" },
        ParseCase { "1 + 2 * 3 - -4", "((1 + (2 * 3)) - -4)" },
        // Mod, \ and * bind tighter than + and - also when they come second.
        ParseCase { "1 + 5 Mod 3", "(1 + (5 Mod 3))" },
        ParseCase { "1 - 7 \\ 2", "(1 - (7 \\ 2))" }, ParseCase { "1 - 2 * 3", "(1 - (2 * 3))" },
        ParseCase { "'a' & 'b' + 'c'", "('a' & ('b' + 'c'))" },
        ParseCase {
            "2 ^ 3 ^ 2 * 4 \\ 3 Mod 2 - 1 to 9", "(((((2 ^ (3 ^ 2)) * 4) \\ 3) Mod 2) - 1) to 9" },
        ParseCase { "If {x.a} > 1 Then 'uno' Else If {x.a} = 0 Then 'cero' Else 'otro'",
            "If ({x.a} > 1) Then 'uno' Else If ({x.a} = 0) Then 'cero' Else 'otro'" },
        ParseCase { "CurrentDate // hoy", "CurrentDate()" },
        ParseCase { "ucase({@Titulo})[1 to 3]", "UpperCase({@Titulo})[1 to 3]" },
        ParseCase { "PageNumber & ' de ' & TotalPageCount",
            "((PageNumber() & ' de ') & TotalPageCount())" },
        ParseCase { "Sum({x.precio}, {x.rubro})", "Sum({x.precio}, {x.rubro})" }));

TEST(FormulaParser, empty_formula_is_no_tree_and_no_error)
{
    const FormulaParseResult r
        = FormulaParser::parse(QStringLiteral("Seleccion"), QStringLiteral("   "));

    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(r.tree);
}

struct ErrorCase
{
    const char* formula;
    int line;
    int column;
    const char* text;
};

class FormulaParserErrors : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(FormulaParserErrors, names_the_column_of_the_fault)
{
    const ErrorCase& c = GetParam();

    const FormulaParseResult r
        = FormulaParser::parse(QStringLiteral("Seleccion"), QString::fromUtf8(c.formula));

    ASSERT_FALSE(r.ok());
    EXPECT_FALSE(r.tree);
    EXPECT_EQ(r.error.formulaName, QStringLiteral("Seleccion"));
    EXPECT_EQ(r.error.line, c.line);
    EXPECT_EQ(r.error.column, c.column);
    EXPECT_EQ(r.error.text.toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(FormulaParser, FormulaParserErrors,
    ::testing::Values(ErrorCase { "{a.b} = ", 1, 9, "falta un valor al final" },
        ErrorCase { "{a.b} = 'x", 1, 9, "falta cerrar el texto" },
        ErrorCase { "Foo({a.b})", 1, 1, "función desconocida «Foo»" },
        ErrorCase { "({a.b} = 1", 1, 11, "se esperaba «)»" },
        ErrorCase { "{a.b} = 1 2", 1, 11, "sobra texto desde aquí" },
        ErrorCase { "1 = 1 = 1", 1, 7, "sobra texto desde aquí" },
        ErrorCase { "Left('abc')", 1, 1, "«Left» lleva 2 argumento(s), no 1" },
        ErrorCase { "{ab} = 1", 1, 1, "se esperaba {tabla.campo} en «{ab}»" },
        ErrorCase { "{a.b = 1", 1, 1, "falta cerrar la llave «}»" },
        ErrorCase { "1 = #", 1, 5, "carácter inesperado «#»" },
        ErrorCase { "{a.b} = 1 AND AND {a.c} = 2", 1, 15, "falta un valor antes de «AND»" },
        ErrorCase { "{a.b} = 'x'\n  AND {a.c} = )", 2, 15, "falta un valor antes de «)»" },
        // Only Date(0,0,0) stands for "no date"; any other impossible date is a slip.
        ErrorCase { "{a.b} = Date(2024,2,30)", 1, 9, "la fecha «2024-2-30» no existe" },
        ErrorCase { "DateTime(2024,13,1,0,0,0)", 1, 1, "la fecha «2024-13-1» no existe" }));

// Every walk over a tree recurses into what is nested: a hostile formula gets an error, never
// a crash. A chain of operators is no nesting, whatever its length.
TEST(FormulaParser, refuses_nesting_beyond_the_limit_and_keeps_long_chains)
{
    auto repeated
        = [](const char* unit, int count) { return QString::fromLatin1(unit).repeated(count); };
    const struct
    {
        const char* what;
        QString text;
    } hostile[] = {
        { "10,000 parentheses", repeated("(", 10000) + u'1' + repeated(")", 10000) },
        { "100,000 Not", repeated("Not ", 100000) + QStringLiteral("True") },
        { "10,000 signs", repeated("-", 10000) + QStringLiteral("{a.b}") },
        { "nested lists", repeated("[", 5000) + u'1' + repeated("]", 5000) },
        { "powers", repeated("2 ^ ", 5000) + u'2' },
    };
    for (const auto& h : hostile) {
        const FormulaParseResult r = FormulaParser::parse(QStringLiteral("Seleccion"), h.text);

        EXPECT_FALSE(r.ok()) << h.what;
        EXPECT_EQ(r.error.text, QStringLiteral("Fórmula demasiado compleja")) << h.what;
    }

    // A printing rule joins one term per item with Or, a total adds hundreds of amounts, and
    // nesting just under the limit is still a formula. A chain stays shallow whatever its length.
    const struct
    {
        const char* what;
        QString text;
        int depth; // at most
    } ordinary[] = {
        { "20,000 Or", QStringLiteral("{a.b} = 'x'") + repeated(" Or {a.b} = 'x'", 20000), 64 },
        { "200,000-term sum", QStringLiteral("1") + repeated(" + 1", 199999), 2 },
        { "mixed chain", QStringLiteral("1") + repeated(" * 2 - 3 & 'a' + 'b'", 20000), 4 },
        { "199 parentheses", repeated("(", 199) + u'1' + repeated(")", 199), 1 },
        { "199 levels of Or", repeated("{a.b} = 1 Or (", 199) + u'1' + repeated(")", 199),
            MaxFormulaDepth },
    };
    for (const auto& o : ordinary) {
        const FormulaParseResult r = FormulaParser::parse(QStringLiteral("Seleccion"), o.text);

        ASSERT_TRUE(r.ok()) << o.what << ": " << r.error.message().toStdString();
        EXPECT_LE(r.tree->depth(), o.depth) << o.what;
    }

    // Only the left operand of an operator is on its level: one nested on the right is deeper.
    const FormulaParseResult right = FormulaParser::parse(
        QStringLiteral("Seleccion"), QStringLiteral("{a.b} + ({a.c} + ({a.d} + {a.e}))"));
    ASSERT_TRUE(right.ok());
    EXPECT_EQ(right.tree->depth(), 4);
}

TEST(FormulaParser, error_message_names_formula_line_and_column)
{
    const FormulaParseResult first
        = FormulaParser::parse(QStringLiteral("Seleccion"), QStringLiteral("{a.b} = "));
    const FormulaParseResult second
        = FormulaParser::parse(QStringLiteral("Pie"), QStringLiteral("'a'\n & )"));

    EXPECT_EQ(first.error.message(),
        QStringLiteral("Error en la fórmula «Seleccion», columna 9: falta un valor al final"));
    EXPECT_EQ(second.error.message(),
        QStringLiteral(
            "Error en la fórmula «Pie», línea 2, columna 4: falta un valor antes de «)»"));
}

TEST(FormulaParser, collects_fields_formulas_and_summaries)
{
    const FormulaParseResult r = FormulaParser::parse(QStringLiteral("Total"),
        QStringLiteral("Sum({x.precio}, {x.rubro}) + {@Recargo} * {x.cantidad}"));
    std::vector<const FormulaNode*> fields;
    std::vector<const FormulaNode*> refs;
    std::vector<const FormulaNode*> summaries;

    collectFields(*r.tree, fields);
    collectFormulaRefs(*r.tree, refs);
    collectSummaries(*r.tree, summaries);

    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0]->name(), QStringLiteral("{x.precio}"));
    EXPECT_EQ(fields[2]->field(), QStringLiteral("cantidad"));
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0]->name(), QStringLiteral("Recargo"));
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries[0]->function(), FormulaFunction::Sum);
}

} // namespace
