#include "reportengine/ReportRenderer.h"

#include <gtest/gtest.h>

#include "reportengine/DefinitionLoader.h"

namespace {

// A database whose every column is text: the planner may push any comparison.
class TextColumns final : public ReportDataSource
{
public:
    explicit TextColumns(SqlDialect dialect)
        : m_dialect(dialect)
    {
    }
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
        { "definition's sort", SqlDialect::SqlServer, {},
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.[MARCA ANTIGUA] "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista DESC, art.IDARTICULO" },
        // A left join equates nothing: a stock row may be missing.
        { "left join", SqlDialect::SQLite, { QStringLiteral("+{STK_MA_ARTICULOS.IDARTICULO}") },
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.\"MARCA ANTIGUA\" "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA COLLATE TEXTO = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista COLLATE TEXTO DESC, "
            "STK_MA_ARTICULOS.IDARTICULO COLLATE TEXTO" },
        // The caller's sort list replaces the definition's; blank entries are skipped.
        { "caller's sort", SqlDialect::SQLite, { QStringLiteral("-{art.Descripcion}") },
            "SELECT V_MA_PRECIOS.TIPOLISTA, V_MA_PRECIOS.IdLista, art.Descripcion, "
            "STK_MA_ARTICULOS.DEPOSITO, art.\"MARCA ANTIGUA\" "
            "FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS art ON art.IDARTICULO = "
            "V_MA_PRECIOS.IdArticulo LEFT JOIN STK_MA_ARTICULOS ON STK_MA_ARTICULOS.IDARTICULO = "
            "art.IDARTICULO WHERE (V_MA_PRECIOS.TIPOLISTA COLLATE TEXTO = ?) "
            "ORDER BY V_MA_PRECIOS.IdLista COLLATE TEXTO DESC, art.Descripcion COLLATE TEXTO "
            "DESC" },
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

namespace {

// Columns of known kinds; any other column does not exist.
class TypedColumns final : public ReportDataSource
{
public:
    SqlDialect dialect() const override { return SqlDialect::SQLite; }
    ColumnKind columnKind(const QString&, const QString& field) override
    {
        const QString f = field.toUpper();
        if (f == u"PRECIO1" || f == u"IDLISTA")
            return f == u"PRECIO1" ? ColumnKind::Number : ColumnKind::Text;
        return f == u"SUSPENDIDO" ? ColumnKind::Boolean : ColumnKind::Text;
    }
    bool hasColumn(const QString&, const QString& field) override
    {
        return field.compare(u"NOEXISTE", Qt::CaseInsensitive) != 0;
    }
    std::unique_ptr<RowSource> open(const DataQuery&) override { return nullptr; }
};

} // namespace

// Mistakes no data can make right are told when the report is prepared, whatever the rows, with
// the formula's name and column; nothing is sent to the database.
TEST(ReportRenderer, refuses_type_mistakes_unknown_columns_and_deep_formulas_when_prepared)
{
    QString chain;
    for (int i = 0; i < 5000; ++i)
        chain += QStringLiteral("<formula name=\"F%1\">{@F%2} + 1</formula>").arg(i).arg(i + 1);
    const struct
    {
        const char* selection;
        QString formulas;
        const char* message;
    } rows[] = {
        { "{V_MA_PRECIOS.TIPOLISTA} = 7", {},
            "Error en la fórmula «Seleccion», columna 26: no se puede comparar un texto con un "
            "número" },
        { "{V_MA_PRECIOS.PRECIO1} >= 'caro'", {}, "columna 24: no se puede comparar un texto" },
        { "'1' in ['1', 2]", {}, "columna 8: la lista mezcla textos y números" },
        { "{V_MA_PRECIOS.PRECIO1}", {}, "columna 1: la selección no da Verdadero o Falso" },
        { "1", {}, "columna 1: la selección no da Verdadero o Falso" },
        { "{V_MA_PRECIOS.NoExiste} = 'x'", {},
            "columna 1: la tabla V_MA_PRECIOS no tiene el campo {V_MA_PRECIOS.NoExiste}" },
        { "{@F0} > 0", chain, "Fórmula demasiado compleja" },
    };
    for (const auto& row : rows) {
        const QByteArray xml
            = QStringLiteral("<report version=\"1\" name=\"R\"><data><table "
                             "name=\"V_MA_PRECIOS\"/></data><formulas>%1"
                             "</formulas><selection>%2</selection></report>")
                  .arg(row.formulas, QString::fromUtf8(row.selection).toHtmlEscaped())
                  .toUtf8();
        DefinitionError error;
        const auto def = DefinitionLoader::loadData(xml, QStringLiteral("t.rpt"), &error);
        ASSERT_TRUE(def.has_value()) << error.toString().toStdString();
        ReportRenderer renderer(*def, RenderOptions());
        TypedColumns data;

        EXPECT_FALSE(renderer.prepare(data)) << row.selection;

        EXPECT_TRUE(renderer.errorString().contains(QString::fromUtf8(row.message)))
            << renderer.errorString().toStdString();
    }
    // A quoted number against a number column reads as a number, as the server does.
    const auto def = DefinitionLoader::loadData(
        "<report version=\"1\" name=\"R\"><data><table "
        "name=\"V_MA_PRECIOS\"/></data><selection>{V_MA_PRECIOS.PRECIO1} = '2026' and "
        "{V_MA_PRECIOS.SUSPENDIDO}</selection></report>",
        QStringLiteral("t.rpt"), nullptr);
    ASSERT_TRUE(def.has_value());
    ReportRenderer renderer(*def, RenderOptions());
    TypedColumns data;
    EXPECT_TRUE(renderer.prepare(data)) << renderer.errorString().toStdString();
}
