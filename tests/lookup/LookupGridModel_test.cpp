#include "lookup/LookupGridModel.h"

#include <gtest/gtest.h>

#include "lookup/MemoryConnection.h"
#include "platform/AdoRecordset.h"

namespace {

using testsupport::FakeAdoConnection;

const QString ArticulosSql
    = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, PUNTOPEDIDO, Stock FROM VT_MA_ARTICULOS ");

FakeAdoConnection::Result articulos()
{
    return { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                 { QStringLiteral("DESCRIPCION"), adVarChar, 100 },
                 { QStringLiteral("PUNTOPEDIDO"), adDouble, 8 },
                 { QStringLiteral("Stock"), adDouble, 0 } },
        {
            { QStringLiteral("A1 "), QStringLiteral(" TORNILLO"), 0.0, 5.0 },
            { QStringLiteral("B2"), QStringLiteral("tuerca"), 10.0, 15.0 },
            { QStringLiteral("C3"), QStringLiteral("Arandela"), 10.0, 5.0 },
            { QStringLiteral("1"), QStringLiteral("clavo"), 10.0, 10.0 },
            { QStringLiteral("D4"), QStringLiteral("Bulon"), Value::null(), 3.0 },
        } };
}

class LookupGridModelTest : public ::testing::Test
{
protected:
    LookupGridModelTest() { lookuptest::memoryDatabase(db); }

    void load(const QString& sql, const FakeAdoConnection::Result& result)
    {
        db.scriptStatement(sql, result);
        AdoRecordset rs;
        ASSERT_TRUE(rs.Open(sql, &db));
        carga.sql = sql;
        model.setCheckBoxes(carga.checkBoxes);
        model.Encolumnar(rs, carga);
        model.Leer(rs, carga);
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < model.rowCount(); ++r)
            texts.append(model.texto(r, c));
        return texts;
    }

    FakeAdoConnection db;
    LookupGridModel model;
    LookupGridModel::Carga carga;
};

} // namespace

TEST_F(LookupGridModelTest, cells_are_trimmed_texts_in_query_order)
{
    load(ArticulosSql, articulos());

    ASSERT_EQ(model.rowCount(), 5);
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(column(0), (QStringList { "A1", "B2", "C3", "1", "D4" }));
    EXPECT_EQ(model.texto(0, 1), QStringLiteral("TORNILLO"));
    EXPECT_EQ(model.texto(1, 2), QStringLiteral("10"));
    EXPECT_EQ(model.texto(4, 2), QString());
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Stock"));
}

TEST_F(LookupGridModelTest, widths_in_characters_from_sizes_and_data)
{
    load(ArticulosSql, articulos());

    EXPECT_EQ(model.anchoCaracteres(0), 25);
    EXPECT_EQ(model.anchoCaracteres(1), 60);
    EXPECT_EQ(model.anchoCaracteres(2), 8);
    // No size from the database: the caption "Stock" is longer than any value.
    EXPECT_EQ(model.anchoCaracteres(3), 5);
}

TEST_F(LookupGridModelTest, widening_at10_applies_outside_article_tables)
{
    const QString sql = QStringLiteral("SELECT Descripcion, Importe FROM V_TA_DEPOSITO ");
    carga.valoresDefault = QStringLiteral("@10");

    load(sql,
        { { { QStringLiteral("Descripcion"), adVarChar, 255 },
              { QStringLiteral("Importe"), adCurrency, 8 } },
            {} });

    EXPECT_EQ(model.anchoCaracteres(0), 70);
    EXPECT_EQ(model.anchoCaracteres(1), 22);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(LookupGridModelTest, price_captions_come_from_configuration_in_article_tables)
{
    QStringList keys;
    carga.cfg = [&](const QString& key) {
        keys.append(key);
        return QStringLiteral("Mayorista");
    };
    const FakeAdoConnection::Result result { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                                                 { QStringLiteral("PRECIO3"), adCurrency, 8 } },
        {} };

    load(QStringLiteral("SELECT IDARTICULO, PRECIO3 FROM V_MA_ARTICULOS "), result);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mayorista"));
    EXPECT_EQ(keys, QStringList { QStringLiteral("NOM_PCLASE3") });

    load(QStringLiteral("SELECT IDARTICULO, PRECIO3 FROM V_LISTAS "), result);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("PRECIO3"));
}

TEST_F(LookupGridModelTest, stock_colours_only_when_shown_in_article_lookups)
{
    carga.stkNivel[0] = Value(qint32(0x0000FF));
    carga.stkNivel[1] = Value(QStringLiteral("65280"));
    carga.stkNivel[2] = Value(qint32(0xFF0000));
    carga.stkNivel[3] = Value(qint32(0x808080));

    carga.muestraStock = QStringLiteral("si");
    load(ArticulosSql, articulos());
    EXPECT_EQ(model.color(0), QColor(255, 0, 0));
    EXPECT_EQ(model.color(1), QColor(0, 255, 0));
    EXPECT_EQ(model.color(2), QColor(0, 0, 255));
    EXPECT_EQ(model.color(3), QColor(128, 128, 128));
    // An empty reorder point gives no colour, and no message.
    EXPECT_EQ(model.color(4), std::nullopt);
    EXPECT_EQ(model.data(model.index(1, 3), Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));

    carga.muestraStock = QStringLiteral("NO");
    load(ArticulosSql, articulos());
    EXPECT_EQ(model.color(0), std::nullopt);
}

TEST_F(LookupGridModelTest, default_values_check_rows_by_substring)
{
    carga.checkBoxes = true;
    carga.campoDevuelto = QStringLiteral("idarticulo");
    carga.valoresDefault = QStringLiteral("A1,B2");

    load(ArticulosSql, articulos());

    // "1" occurs in "A1,B2", so that row starts checked too.
    EXPECT_TRUE(model.checked(0));
    EXPECT_TRUE(model.checked(1));
    EXPECT_FALSE(model.checked(2));
    EXPECT_TRUE(model.checked(3));
    EXPECT_FALSE(model.checked(4));
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
}

TEST_F(LookupGridModelTest, search_finds_the_first_row_starting_with_the_text)
{
    load(ArticulosSql, articulos());

    const struct
    {
        int clave;
        const char* text;
        int row;
    } cases[] = {
        { 0, "b", 2 },
        { 0, " c3 ", 3 },
        { 1, "TU", 2 },
        { 1, "ar", 3 },
        { 1, "arx", 0 },
        { 1, "", 1 }, // a blank text matches the first row
        { -3, "d", 5 }, // below 1 searches the first column
        { 9, "a", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.Busqueda(c.clave, QString::fromLatin1(c.text)), c.row) << c.text;
}

TEST_F(LookupGridModelTest, header_sorting_orders_text_ignoring_case_and_numbers_by_value)
{
    load(ArticulosSql, articulos());

    model.setSorting(true, 1, Qt::AscendingOrder);
    EXPECT_EQ(column(1), (QStringList { "Arandela", "Bulon", "clavo", "TORNILLO", "tuerca" }));
    EXPECT_EQ(model.Busqueda(1, QStringLiteral("t")), 4);

    model.setSorting(true, 3, Qt::DescendingOrder);
    EXPECT_EQ(column(3), (QStringList { "15", "10", "5", "5", "3" }));

    // Switching sorting off leaves the rows where they stand.
    model.setSorting(false, 0, Qt::AscendingOrder);
    EXPECT_EQ(column(3), (QStringList { "15", "10", "5", "5", "3" }));
}

TEST_F(LookupGridModelTest, column_positions_by_caption)
{
    load(ArticulosSql, articulos());

    EXPECT_EQ(model.IndiceColumna(QStringLiteral(" idarticulo ")), 1);
    EXPECT_EQ(model.IndiceColumna(QStringLiteral("STOCK")), 4);
    EXPECT_EQ(model.IndiceColumna(QStringLiteral("Precio")), 0);
}

TEST_F(LookupGridModelTest, a_closed_recordset_fails_with_no_columns)
{
    AdoRecordset rs;

    EXPECT_THROW(model.Encolumnar(rs, carga), RuntimeError);
    EXPECT_EQ(model.columnCount(), 0);
}

TEST_F(LookupGridModelTest, rows_left_unread_come_when_asked_for_and_the_end_is_told)
{
    db.scriptStatement(ArticulosSql, articulos());
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(ArticulosSql, &db));
    carga.sql = ArticulosSql;
    carga.checkBoxes = true;
    carga.campoDevuelto = QStringLiteral("IDARTICULO");
    carga.valoresDefault = QStringLiteral("C3,D4");
    model.setCheckBoxes(true);
    model.Encolumnar(rs, carga);
    int terminadas = 0;
    QObject::connect(&model, &LookupGridModel::lecturaTerminada, [&terminadas] { ++terminadas; });

    model.Leer(rs, carga, 2);

    EXPECT_EQ(column(0), (QStringList { "A1", "B2" }));
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    // A search looks at the rows read; the dialog reads on when it finds nothing.
    EXPECT_EQ(model.Busqueda(1, QStringLiteral("bu")), 0);
    model.leerMas(1);
    EXPECT_EQ(column(0), (QStringList { "A1", "B2", "C3" }));
    EXPECT_TRUE(model.checked(2));
    // A multiple choice that starts with nothing checked: the rows still to come too.
    model.desmarcarTodo();
    // The list sorts every row of the query.
    model.setSorting(true, 1, Qt::AscendingOrder);
    EXPECT_EQ(column(1), (QStringList { "Arandela", "Bulon", "clavo", "TORNILLO", "tuerca" }));
    EXPECT_FALSE(model.checked(0));
    EXPECT_FALSE(model.checked(1));
    EXPECT_FALSE(model.quedanFilas());
    EXPECT_EQ(terminadas, 1);
}
