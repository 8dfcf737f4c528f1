#include "reportengine/ReportRenderer.h"

#include <gtest/gtest.h>

#include "reportengine/DefinitionLoader.h"

namespace {

// A database whose every column is text: the planner may push any comparison.
class TextColumns final : public ReportDataSource
{
public:
    explicit TextColumns(SqlDialect dialect) : m_dialect(dialect) { }
    SqlDialect dialect() const override { return m_dialect; }
    ColumnKind columnKind(const QString&, const QString&) override { return ColumnKind::Text; }
    std::unique_ptr<RowSource> open(const DataQuery&) override { return nullptr; }

private:
    SqlDialect m_dialect;
};

const char* const Joined = R"RPT(<report version="1" name="RP_Join">
  <data>
    <table name="V_MA_PRECIOS"/>
    <table name="V_MA_ARTICULOS" alias="art" on="art.IDARTICULO = V_MA_PRECIOS.IdArticulo"/>
    <table name="STK_MA_ARTICULOS" join="left" on="STK_MA_ARTICULOS.IDARTICULO = art.IDARTICULO"/>
  </data>
  <selection>{V_MA_PRECIOS.TIPOLISTA} = 'V'</selection>
  <sort><by field="{art.IDARTICULO}"/></sort>
  <group name="Lista" by="{V_MA_PRECIOS.IdLista}" order="desc"/>
  <detail height="5">
    <field x="0" y="0" width="30" height="5" expr="{art.Descripcion}"/>
    <field x="40" y="0" width="30" height="5" expr="{STK_MA_ARTICULOS.DEPOSITO}"/>
    <field x="80" y="0" width="30" height="5" expr="{art.MARCA ANTIGUA}"/>
  </detail>
</report>)RPT";

} // namespace

TEST(ReportRenderer, writes_the_statement_from_the_data_description)
{
    struct Row
    {
        const char* name;
        SqlDialect dialect;
        QStringList sort;
        const char* sql;
    };
    const Row rows[] = {
        // The article code is sorted as written, on the articles: their indexes give the order
        // of every grouping and sort inside a list.
        {"definition's sort", SqlDialect::SqlServer, {},
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.[MARCA ANTIGUA] "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista DESC, art.IDARTICULO"},
        // A left join equates nothing: a stock row may be missing.
        {"left join", SqlDialect::SQLite, {QStringLiteral("+{STK_MA_ARTICULOS.IDARTICULO}")},
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.\"MARCA ANTIGUA\" "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA COLLATE TEXTO = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista COLLATE TEXTO DESC, "
            "STK_MA_ARTICULOS.IDARTICULO COLLATE TEXTO"},
        // The caller's sort list replaces the definition's; blank entries are skipped.
        {"caller's sort", SqlDialect::SQLite, {QStringLiteral("-{art.Descripcion}")},
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.\"MARCA ANTIGUA\" "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA COLLATE TEXTO = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista COLLATE TEXTO DESC, art.Descripcion COLLATE TEXTO DESC"},
    };
    for (const Row& row : rows) {
        DefinitionError error;
        const auto def = DefinitionLoader::loadData(Joined, QStringLiteral("j.rpt"), &error);
        ASSERT_TRUE(def.has_value()) << error.toString().toStdString();
        RenderOptions options;
        options.sortFields = row.sort;
        ReportRenderer renderer(*def, options);
        TextColumns data(row.dialect);

        ASSERT_TRUE(renderer.prepare(data)) << renderer.errorString().toStdString();

        EXPECT_EQ(renderer.query().sql.toStdString(), std::string(row.sql)) << row.name;
        ASSERT_EQ(renderer.query().parameters.size(), 1) << row.name;
        EXPECT_EQ(renderer.query().parameters[0].toString(), QStringLiteral("V"));
    }
}

TEST(ReportRenderer, refuses_a_field_of_a_table_the_data_lacks)
{
    QByteArray xml(Joined);
    xml.replace("{STK_MA_ARTICULOS.DEPOSITO}", "{STOCK.DEPOSITO}");
    const auto def = DefinitionLoader::loadData(xml, QStringLiteral("j.rpt"), nullptr);
    ASSERT_TRUE(def.has_value());
    ReportRenderer renderer(*def, RenderOptions());
    TextColumns data(SqlDialect::SQLite);

    EXPECT_FALSE(renderer.prepare(data));

    EXPECT_EQ(renderer.errorString(),
        QStringLiteral("La fórmula «Detalle/2» usa el campo {STOCK.DEPOSITO}, y el informe "
                       "RP_Join no tiene la tabla STOCK"));
}
