#include "lookup/LookupGridRules.h"

#include <gtest/gtest.h>

#include "platform/AdoTypes.h"

using namespace LookupGridRules;

TEST(LookupGridRules, table_is_the_word_after_the_first_from)
{
    const struct
    {
        const char* sql;
        const char* table;
    } cases[] = {
        { "SELECT A, B FROM V_MA_ARTICULOS WHERE X = 1 ", "V_MA_ARTICULOS" },
        { "select a from vt_clientes  with(nolock) ", "vt_clientes" },
        { "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock) ",
            "VT_MA_ARTICULOS" },
        // The first "from" wins, even inside a column name.
        { "SELECT fromage FROM T ", "age" },
        { "SELECT 1 ", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(tablaConsulta(QString::fromLatin1(c.sql)), QString::fromLatin1(c.table)) << c.sql;
}

TEST(LookupGridRules, column_widths_follow_type_size_and_data)
{
    const struct
    {
        int type;
        qint64 size;
        int caption;
        int longest;
        bool widen;
        int chars;
    } cases[] = {
        { adVarChar, 255, 11, 40, false, 60 }, // capped at 60, not 59
        { adVarChar, 60, 11, 40, false, 60 },
        { adVarChar, 59, 11, 40, false, 59 },
        { adVarChar, 25, 10, 40, false, 25 }, // the field's size, whatever the values
        { adCurrency, 8, 7, 3, false, 12 },
        { adNumeric, 19, 7, 30, false, 12 },
        { adVarChar, 255, 11, 40, true, 70 },
        { adCurrency, 8, 7, 3, true, 22 },
        { adInteger, 4, 10, 9, false, 4 },
        // No size from the database: the caption or the longest value, capped too.
        { adVarWChar, 0, 5, 17, false, 17 },
        { adVarWChar, -1, 12, 3, false, 12 },
        { adVarWChar, 0, 5, 300, false, 60 },
        { adVarWChar, 0, 5, 300, true, 70 },
        { adLongVarChar, 2147483647, 5, 17, false, 17 },
        { adVarWChar, 2147483647, 5, 20, false, 20 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(anchoCaracteres(c.type, c.size, c.caption, c.longest, c.widen), c.chars)
            << c.type << " " << c.size << " " << c.longest;
}

TEST(LookupGridRules, price_columns_take_class_keys_in_article_tables)
{
    EXPECT_EQ(clavePrecio(QStringLiteral("PRECIO3")), QStringLiteral("NOM_PCLASE3"));
    EXPECT_EQ(clavePrecio(QStringLiteral("precio8")), QStringLiteral("NOM_PCLASE8"));
    EXPECT_EQ(clavePrecio(QStringLiteral("PRECIO9")), QString());
    EXPECT_EQ(clavePrecio(QStringLiteral("PRECIO10")), QString());
    EXPECT_EQ(clavePrecio(QStringLiteral("PRECIO")), QString());
    EXPECT_TRUE(usaNombresDeListas(QStringLiteral("select * from v_ma_articulos ")));
    EXPECT_TRUE(usaNombresDeListas(QStringLiteral("select * from Stk_Ma_Articulos ")));
    // The lookup view is spelled VT_: no "V_MA_ARTICULOS" in it.
    EXPECT_FALSE(usaNombresDeListas(QStringLiteral("select * from VT_MA_ARTICULOS ")));
    EXPECT_TRUE(esConsultaArticulos(QStringLiteral("select * from VT_MA_ARTICULOS ")));
}

TEST(LookupGridRules, stock_levels)
{
    const struct
    {
        Value p;
        Value s;
        std::optional<int> level;
    } cases[] = {
        { 0.0, 5.0, 1 },
        { 10.0, 15.0, 2 },
        { 10.0, 5.0, 3 },
        { 10.0, 10.0, 4 }, // at the reorder point: level 4, not 3
        { 0.0, 0.0, 4 },
        { 0.0, -2.0, 4 },
        { -1.0, 5.0, 4 },
        { QStringLiteral("10"), QStringLiteral("5"), 3 },
        { Value::null(), 5.0, std::nullopt },
        { 10.0, QStringLiteral(" "), std::nullopt },
        { QStringLiteral("abc"), 5.0, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(nivelStock(c.p, c.s), c.level)
            << c.p.toString().toStdString() << " " << c.s.toString().toStdString();
}

TEST(LookupGridRules, colour_numbers_are_blue_green_red)
{
    EXPECT_EQ(colorDeNivel(Value(qint32(0x0000FF))), QColor(255, 0, 0));
    EXPECT_EQ(colorDeNivel(Value(QStringLiteral("65280"))), QColor(0, 255, 0));
    EXPECT_EQ(colorDeNivel(Value(16711680.0)), QColor(0, 0, 255));
    EXPECT_EQ(colorDeNivel(Value(qint32(0))), QColor(0, 0, 0));
    EXPECT_EQ(colorDeNivel(Value(QStringLiteral("  "))), std::nullopt);
    EXPECT_EQ(colorDeNivel(Value()), std::nullopt);
    EXPECT_EQ(colorDeNivel(Value(QStringLiteral("rojo"))), std::nullopt);
}

TEST(LookupGridRules, quantities_read_either_separator_and_write_the_workstations)
{
    EXPECT_DOUBLE_EQ(leeCantidad(QStringLiteral("2,5"), u','), 2.5);
    EXPECT_DOUBLE_EQ(leeCantidad(QStringLiteral("2.5"), u','), 2.5);
    EXPECT_DOUBLE_EQ(leeCantidad(QStringLiteral("3.0 u"), u'.'), 3.0);
    EXPECT_DOUBLE_EQ(leeCantidad(QStringLiteral("-1"), u','), -1.0);
    EXPECT_DOUBLE_EQ(leeCantidad(QStringLiteral("x2"), u','), 0.0);
    EXPECT_DOUBLE_EQ(leeCantidad(QString(), u','), 0.0);
    EXPECT_EQ(formatoCantidad(3, 1, u','), QStringLiteral("3,0"));
    EXPECT_EQ(formatoCantidad(1234567.5, 2, u'.'), QStringLiteral("1234567.50"));
    EXPECT_EQ(formatoCantidad(-0.0, 1, u'.'), QStringLiteral("0.0"));
}
