#include <gtest/gtest.h>

#include "FormulaTestContext.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/SelectionPlanner.h"

namespace {

// Columns of a price-list statement as the engine would resolve them.
std::optional<SqlColumn> priceListColumn(const QString& table, const QString& field)
{
    static const QHash<QString, SqlColumn> columns = {
        { "v_ma_precios.tipolista", { "P.TIPOLISTA", ColumnKind::Text } },
        { "v_ma_precios.idlista", { "P.IDLISTA", ColumnKind::Text } },
        { "v_ma_precios.nombre", { "P.NOMBRE", ColumnKind::Text } },
        { "v_ma_precios.costo", { "P.COSTO", ColumnKind::Number } },
        { "v_ma_precios.precio1", { "P.PRECIO1", ColumnKind::Number } },
        { "v_ma_precios.fhofertadesde", { "P.FHOFERTADESDE", ColumnKind::Date } },
        { "v_ma_precios.fhofertahasta", { "P.FHOFERTAHASTA", ColumnKind::Date } },
        { "v_ma_articulos.suspendido", { "A.SUSPENDIDO", ColumnKind::Boolean } },
        { "v_ma_articulos.idrubro", { "A.IDRUBRO", ColumnKind::Text } },
        { "v_ma_articulos.idfamilia", { "A.IDFAMILIA", ColumnKind::Text } },
        { "v_ma_articulos.idarticulo", { "A.IDARTICULO", ColumnKind::Text } },
        { "v_ma_articulos.peso", { "A.PESO", ColumnKind::Number } },
        { "v_ma_articulos.obs", { "A.OBS", ColumnKind::Unknown } },
        { "stk_ma_articulos.deposito", { "S.DEPOSITO", ColumnKind::Text } },
    };
    const auto it = columns.constFind((table + u'.' + field).toLower());
    if (it == columns.constEnd())
        return std::nullopt;
    return *it;
}

QString parameterText(const QList<Value>& parameters)
{
    QStringList out;
    for (const Value& v : parameters)
        out << FormulaNode::constant(v, 0)->toText();
    return out.join(QStringLiteral(", "));
}

struct PlanCase
{
    const char* formula;
    const char* sqlite; // WHERE text; "-" when nothing is pushed
    const char* sqlServer;
    const char* oracle;
    const char* parameters; // SQLite's, written back in the formula language
    const char* residual; // SQLite's; "-" when none
};

class SelectionPlannerSql : public ::testing::TestWithParam<PlanCase>
{
};

TEST_P(SelectionPlannerSql, writes_the_where_clause_per_dialect)
{
    const PlanCase& c = GetParam();
    const FormulaParseResult parsed
        = FormulaParser::parse(QStringLiteral("Seleccion"), QString::fromUtf8(c.formula));
    ASSERT_TRUE(parsed.ok()) << parsed.error.message().toStdString();
    const FormulaTestContext clock;
    auto where = [&](SqlDialect d) {
        const SelectionPlan p = SelectionPlanner::plan(parsed.tree, d, priceListColumn, &clock);
        return p.where.isEmpty() ? std::string("-") : p.where.toStdString();
    };

    const SelectionPlan sqlite
        = SelectionPlanner::plan(parsed.tree, SqlDialect::SQLite, priceListColumn, &clock);

    EXPECT_EQ(where(SqlDialect::SQLite), c.sqlite);
    EXPECT_EQ(where(SqlDialect::SqlServer), c.sqlServer);
    EXPECT_EQ(where(SqlDialect::Oracle), c.oracle);
    EXPECT_EQ(parameterText(sqlite.parameters).toStdString(), c.parameters);
    EXPECT_EQ(
        sqlite.residual ? sqlite.residual->toText().toStdString() : std::string("-"), c.residual);
}

INSTANTIATE_TEST_SUITE_P(SelectionPlanner, SelectionPlannerSql,
    ::testing::Values(
        // The worked example of the price list.
        PlanCase { " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False AND "
                   "({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 ) ",
            "P.TIPOLISTA COLLATE TEXTO = ? AND A.SUSPENDIDO = 0 AND (P.COSTO <> ? OR P.PRECIO1 <> "
            "?)",
            "P.TIPOLISTA = ? AND A.SUSPENDIDO = 0 AND (P.COSTO <> ? OR P.PRECIO1 <> ?)",
            "UPPER(RTRIM(P.TIPOLISTA)) = UPPER(?) AND A.SUSPENDIDO = 0 AND (P.COSTO <> ? OR "
            "P.PRECIO1 <> ?)",
            "'V', 0, 0", "-" },
        // The warehouse condition: a row without stock row passes.
        PlanCase { "{V_MA_PRECIOS.TIPOLISTA} = 'V' AND  ({STK_MA_ARTICULOS.DEPOSITO} = '0001' OR "
                   "{STK_MA_ARTICULOS.DEPOSITO}='' OR ISNULL({STK_MA_ARTICULOS.DEPOSITO}))",
            "P.TIPOLISTA COLLATE TEXTO = ? AND (S.DEPOSITO COLLATE TEXTO = ? OR S.DEPOSITO "
            "COLLATE TEXTO = ? OR S.DEPOSITO IS NULL)",
            "P.TIPOLISTA = ? AND (S.DEPOSITO = ? OR S.DEPOSITO = ? OR S.DEPOSITO IS NULL)",
            "UPPER(RTRIM(P.TIPOLISTA)) = UPPER(?)", "'V', '0001', ''", "-" },
        // Criteria rows: ranges, patterns, the trim wrapper, the number wrapper.
        PlanCase { "{V_MA_PRECIOS.IdLista} >= '0001'  AND {V_MA_PRECIOS.IdLista} <= '0003' ",
            "P.IDLISTA COLLATE TEXTO >= ? AND P.IDLISTA COLLATE TEXTO <= ?",
            "P.IDLISTA >= ? AND P.IDLISTA <= ?", "-", "'0001', '0003'", "-" },
        PlanCase { " ({v_ma_articulos.idfamilia} LIKE 'CAF*'  OR {v_ma_articulos.idfamilia} LIKE "
                   "'B*' )",
            "(A.IDFAMILIA LIKE ? ESCAPE '\\' OR A.IDFAMILIA LIKE ? ESCAPE '\\')",
            "(A.IDFAMILIA LIKE ? ESCAPE '\\' OR A.IDFAMILIA LIKE ? ESCAPE '\\')", "-",
            "'CAF%', 'B%'", "-" },
        PlanCase { "{v_ma_articulos.idfamilia} like '10%_A?*[x]'", "A.IDFAMILIA LIKE ? ESCAPE '\\'",
            "A.IDFAMILIA LIKE ? ESCAPE '\\'", "-", "'10\\%\\_A_%[x]'", "-" },
        PlanCase { "TrimLeft(TrimRight({v_ma_articulos.idrubro})) >= 'A' ",
            "trim(A.IDRUBRO) COLLATE TEXTO >= ?", "LTRIM(RTRIM(A.IDRUBRO)) >= ?", "-", "'A'", "-" },
        PlanCase { "TrimLeft(TrimRight({v_ma_articulos.idrubro})) = 'A' ",
            "trim(A.IDRUBRO) COLLATE TEXTO = ?", "LTRIM(RTRIM(A.IDRUBRO)) = ?",
            "UPPER(TRIM(A.IDRUBRO)) = UPPER(?)", "'A'", "-" },
        PlanCase {
            "tonumber({v_ma_articulos.PESO}) >= 10  AND tonumber({v_ma_articulos.PESO}) <= 20.5 ",
            "A.PESO >= ? AND A.PESO <= ?", "A.PESO >= ? AND A.PESO <= ?",
            "A.PESO >= ? AND A.PESO <= ?", "10, 20.5", "-" },
        // The accounting entries write the numeric period between apostrophes.
        PlanCase {
            "{v_ma_articulos.PESO} = ' 10'", "A.PESO = ?", "A.PESO = ?", "A.PESO = ?", "10", "-" },
        PlanCase {
            "{v_ma_articulos.PESO} = '1e3'", "-", "-", "-", "", "({v_ma_articulos.PESO} = '1e3')" },
        // ToNumber of a text column fails on the row where the database would say 0.
        PlanCase { "tonumber({V_MA_PRECIOS.Nombre}) >= 10", "-", "-", "-", "",
            "(ToNumber({V_MA_PRECIOS.Nombre}) >= 10)" },
        // Offers: the date literal.
        PlanCase { "({v_ma_precios.FhOfertaDesde} >= Date(2024,01,05) AND "
                   "{v_ma_precios.FhOfertaHasta} <= Date(2024,01,31))",
            "julianday(P.FHOFERTADESDE) >= julianday(?) AND julianday(P.FHOFERTAHASTA) <= "
            "julianday(?)",
            "P.FHOFERTADESDE >= ? AND P.FHOFERTAHASTA <= ?",
            "P.FHOFERTADESDE >= ? AND P.FHOFERTAHASTA <= ?", "Date(2024,1,5), Date(2024,1,31)",
            "-" },
        // Blank offer dates make no date: nothing is selected, and the rows say so themselves.
        PlanCase { "{v_ma_precios.FhOfertaDesde} = Date(0,0,0)", "-", "-", "-", "",
            "({v_ma_precios.FhOfertaDesde} = Null)" },
        PlanCase { "{v_ma_precios.FhOfertaHasta} >= CurrentDate - 30",
            "julianday(P.FHOFERTAHASTA) >= julianday(?)", "P.FHOFERTAHASTA >= ?",
            "P.FHOFERTAHASTA >= ?", "Date(2026,11,9)", "-" },
        PlanCase { "{v_ma_articulos.idrubro} in ['0001','0002']",
            "A.IDRUBRO COLLATE TEXTO IN (?, ?)", "A.IDRUBRO IN (?, ?)",
            "UPPER(RTRIM(A.IDRUBRO)) IN (UPPER(?), UPPER(?))", "'0001', '0002'", "-" },
        PlanCase { "{V_MA_PRECIOS.COSTO} in 10 to_ 20", "(P.COSTO >= ? AND P.COSTO < ?)",
            "(P.COSTO >= ? AND P.COSTO < ?)", "(P.COSTO >= ? AND P.COSTO < ?)", "10, 20", "-" },
        PlanCase { "{v_ma_articulos.idrubro} in 'A' to 'C'",
            "(A.IDRUBRO COLLATE TEXTO >= ? AND A.IDRUBRO COLLATE TEXTO <= ?)",
            "(A.IDRUBRO >= ? AND A.IDRUBRO <= ?)", "-", "'A', 'C'", "-" },
        PlanCase { "not {v_ma_articulos.SUSPENDIDO}", "NOT (A.SUSPENDIDO <> 0)",
            "NOT (A.SUSPENDIDO <> 0)", "NOT (A.SUSPENDIDO <> 0)", "", "-" },
        PlanCase { "{V_MA_PRECIOS.Nombre} = 'D''Angelo'", "P.NOMBRE COLLATE TEXTO = ?",
            "P.NOMBRE = ?", "UPPER(RTRIM(P.NOMBRE)) = UPPER(?)", "'D''Angelo'", "-" },
        PlanCase { "{v_ma_articulos.idfamilia} startswith 'A_B'", "A.IDFAMILIA LIKE ? ESCAPE '\\'",
            "A.IDFAMILIA LIKE ? ESCAPE '\\'", "-", "'A\\_B%'", "-" },
        // A column of unknown kind, a formula, a flag against a number: kept for the rows.
        PlanCase { "{v_ma_articulos.OBS} = 'x' AND {V_MA_PRECIOS.TIPOLISTA} = 'V'",
            "P.TIPOLISTA COLLATE TEXTO = ?", "P.TIPOLISTA = ?",
            "UPPER(RTRIM(P.TIPOLISTA)) = UPPER(?)", "'V'", "({v_ma_articulos.OBS} = 'x')" },
        PlanCase { "{V_MA_PRECIOS.TIPOLISTA} = 'V' OR {v_ma_articulos.OBS} = 'x'", "-", "-", "-",
            "", "(({V_MA_PRECIOS.TIPOLISTA} = 'V') Or ({v_ma_articulos.OBS} = 'x'))" },
        PlanCase { "{v_ma_articulos.SUSPENDIDO} = 1", "-", "-", "-", "",
            "({v_ma_articulos.SUSPENDIDO} = 1)" },
        PlanCase { "{@Filtro} = 1 and {x.desconocido} = 2", "-", "-", "-", "",
            "(({@Filtro} = 1) And ({x.desconocido} = 2))" },
        PlanCase { "'V' = {V_MA_PRECIOS.TIPOLISTA} and 5 < {V_MA_PRECIOS.COSTO}",
            "P.TIPOLISTA COLLATE TEXTO = ? AND P.COSTO > ?", "P.TIPOLISTA = ? AND P.COSTO > ?",
            "UPPER(RTRIM(P.TIPOLISTA)) = UPPER(?) AND P.COSTO > ?", "'V', 5", "-" }));

// Oracle's TRIM of blanks is Null: IsNull(Trim(x)) is true there for a blank x, where the
// engine says false.
TEST(SelectionPlanner, oracle_keeps_blank_text_and_patterns_for_the_rows)
{
    const FormulaParseResult parsed = FormulaParser::parse(QStringLiteral("Seleccion"),
        QStringLiteral("{STK_MA_ARTICULOS.DEPOSITO}='' AND {v_ma_articulos.idfamilia} LIKE 'A*' "
                       "AND IsNull(Trim({v_ma_articulos.idrubro}))"));

    const SelectionPlan p
        = SelectionPlanner::plan(parsed.tree, SqlDialect::Oracle, priceListColumn);

    EXPECT_TRUE(p.where.isEmpty()) << p.where.toStdString();
    ASSERT_TRUE(p.residual);
    EXPECT_EQ(p.residual->toText(),
        QStringLiteral("((({STK_MA_ARTICULOS.DEPOSITO} = '') And ({v_ma_articulos.idfamilia} Like "
                       "'A*')) And IsNull(Trim({v_ma_articulos.idrubro})))"));
}

TEST(SelectionPlanner, current_date_needs_the_engine_clock)
{
    const FormulaParseResult parsed = FormulaParser::parse(
        QStringLiteral("Seleccion"), QStringLiteral("{v_ma_precios.FhOfertaHasta} >= CurrentDate"));

    const SelectionPlan p
        = SelectionPlanner::plan(parsed.tree, SqlDialect::SqlServer, priceListColumn);

    EXPECT_TRUE(p.where.isEmpty());
    EXPECT_TRUE(p.residual);
}

struct OrderCase
{
    SqlDialect dialect;
    const char* clause;
};

class SelectionPlannerOrder : public ::testing::TestWithParam<OrderCase>
{
};

TEST_P(SelectionPlannerOrder, orders_by_groups_then_sort_fields)
{
    const QStringList groups = { QStringLiteral("{v_ma_articulos.idrubro}") };
    const QStringList sorts = { QStringLiteral("+{v_ma_articulos.idarticulo}"), QString(),
        QStringLiteral("  "), QStringLiteral("-{V_MA_PRECIOS.COSTO}"),
        QStringLiteral("+{V_MA_ARTICULOS.IDRUBRO}") };

    const OrderPlan order
        = SelectionPlanner::orderBy(groups, sorts, GetParam().dialect, priceListColumn);

    EXPECT_EQ(order.clause.toStdString(), GetParam().clause);
    EXPECT_TRUE(order.unresolved.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(SelectionPlanner, SelectionPlannerOrder,
    ::testing::Values(OrderCase { SqlDialect::SQLite,
                          "A.IDRUBRO COLLATE TEXTO, A.IDARTICULO COLLATE TEXTO, P.COSTO DESC" },
        OrderCase { SqlDialect::SqlServer, "A.IDRUBRO, A.IDARTICULO, P.COSTO DESC" },
        OrderCase { SqlDialect::Oracle,
            "A.IDRUBRO NULLS FIRST, A.IDARTICULO NULLS FIRST, P.COSTO DESC NULLS LAST" }));

TEST(SelectionPlanner, order_stops_at_a_key_the_statement_cannot_order_by)
{
    const OrderPlan order
        = SelectionPlanner::orderBy({ QStringLiteral("{v_ma_articulos.idrubro}") },
            { QStringLiteral("+{@Descripcion}"), QStringLiteral("-{V_MA_PRECIOS.COSTO}") },
            SqlDialect::SqlServer, priceListColumn);

    EXPECT_EQ(order.clause, QStringLiteral("A.IDRUBRO"));
    EXPECT_EQ(order.unresolved,
        QStringList(
            { QStringLiteral("+{@Descripcion}"), QStringLiteral("-{V_MA_PRECIOS.COSTO}") }));
}

TEST(SelectionPlanner, log_line_shows_the_statement_with_its_values)
{
    const QString sql = QStringLiteral(
        "SELECT * FROM T WHERE A = ? AND B LIKE ? ESCAPE '\\' AND C >= ? AND D = ? AND E = '?'");
    const QList<Value> values = { Value(QStringLiteral("D'Angelo")), Value(QStringLiteral("x%")),
        Value(QDate(2024, 1, 5)), Value(qint64(3)) };

    EXPECT_EQ(SelectionPlanner::sqlLogLine(sql, values, SqlDialect::SQLite),
        QStringLiteral("SQL: SELECT * FROM T WHERE A = 'D''Angelo' AND B LIKE 'x%' ESCAPE '\\' AND "
                       "C >= '2024-01-05 00:00:00' AND D = 3 AND E = '?'"));
    EXPECT_EQ(SelectionPlanner::sqlLogLine(
                  QStringLiteral("C >= ?"), { Value(QDate(2024, 1, 5)) }, SqlDialect::Oracle),
        QStringLiteral("SQL: C >= TIMESTAMP '2024-01-05 00:00:00'"));
}

} // namespace

// A join condition of a definition is written into the statement as it is: an apostrophe in a
// comment or in a quoted name must not be taken for the start of a text, or the values after it
// stay unreplaced and the report prints no rows.
TEST(SelectionPlanner, values_go_in_after_apostrophes_in_comments_and_quoted_names)
{
    const struct
    {
        const char* sql;
        const char* expected;
    } cases[] = {
        { "SELECT 1 FROM A JOIN B ON A.K = B.K -- it's the key\nWHERE A.X = ?",
            "SELECT 1 FROM A JOIN B ON A.K = B.K -- it's the key\nWHERE A.X = 'v'" },
        { "SELECT 1 FROM A /* D'Angelo's */ WHERE A.X = ?",
            "SELECT 1 FROM A /* D'Angelo's */ WHERE A.X = 'v'" },
        { "SELECT \"O'Neil?\".X FROM A \"O'Neil?\" WHERE A.X = ?",
            "SELECT \"O'Neil?\".X FROM A \"O'Neil?\" WHERE A.X = 'v'" },
        { "SELECT [it's?] FROM A WHERE [it's?] = ? AND B = 'x''?'",
            "SELECT [it's?] FROM A WHERE [it's?] = 'v' AND B = 'x''?'" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectionPlanner::withLiterals(
                      QString::fromUtf8(c.sql), { Value(QStringLiteral("v")) }, SqlDialect::SQLite)
                      .toStdString(),
            c.expected);
    }
}
