#include "lookup/Lib_FrmCons3.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "lookup/LookupGridRules.h"
#include "platform/Twips.h"
#include "services/Configuracion.h"
#include "services/Globales.h"
#include "support/DemoDatabaseTest.h"

namespace {

const QString ArticleLookup = QStringLiteral(
    "SELECT TOP 1000 DESCRIPCION,IDARTICULO,PUNTOPEDIDO,Stock FROM VT_MA_ARTICULOS  with(nolock) "
    " WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION");

// The lookup grid on a demo database file, through the real provider, as the program runs it.
class Lib_FrmCons3Demo : public testsupport::DemoDatabaseTest
{
protected:
    Lib_FrmCons3Demo()
        : DemoDatabaseTest(300)
    {
    }

    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
    }
};

} // namespace

TEST_F(Lib_FrmCons3Demo, article_lookup_shows_sized_columns_and_stock_colours)
{
    Lib_FrmCons3 dlg;
    dlg.Sql = ArticleLookup;
    dlg.MuestraStock = QStringLiteral("SI");
    dlg.StkNivel1 = Value(qint32(0x0000FF));
    dlg.StkNivel2 = Value(qint32(0x008000));
    dlg.StkNivel3 = Value(qint32(0xFF0000));
    dlg.StkNivel4 = Value(qint32(0x808080));

    dlg.Form_Load();

    const LookupGridModel& model = dlg.modelo();
    ASSERT_GT(model.rowCount(), 100);
    ASSERT_EQ(model.columnCount(), 4);
    const QFontMetrics metrics = dlg.fontMetrics();
    const QHeaderView* header = dlg.findChild<QTreeView*>(QStringLiteral("ListView1"))->header();
    const int widths[] = { 60, 25, 8, 8 };
    for (int i = 0; i < 4; ++i) {
        // n characters of any text, and never narrower than the whole caption.
        const int texto = metrics.horizontalAdvance(QString(widths[i], u'X'));
        const int titulo = header->fontMetrics().horizontalAdvance(
            model.headerData(i, Qt::Horizontal).toString());
        EXPECT_GE(header->sectionSize(i), std::max(texto, titulo)) << i;
        if (texto > titulo + 40) {
            EXPECT_EQ(dlg.anchoColumna(i), Twips::fromPixels(texto)) << i;
        }
    }
    const QColor levels[]
        = { QColor(255, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 128, 128) };
    QSet<int> seen;
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto level
            = LookupGridRules::nivelStock(Value(model.texto(row, 2)), Value(model.texto(row, 3)));
        ASSERT_TRUE(level.has_value()) << row;
        seen.insert(*level);
        EXPECT_EQ(model.color(row), levels[*level - 1]) << row;
    }
    EXPECT_GE(seen.size(), 2);
}

TEST_F(Lib_FrmCons3Demo, typing_a_description_selects_it_and_enter_returns_its_code)
{
    Lib_FrmCons3 dlg;
    dlg.Sql = ArticleLookup;
    dlg.CampoDevuelto = QStringLiteral("IDARTICULO");
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    const LookupGridModel& model = dlg.modelo();
    // A row from the middle whose description starts with plain letters (keyClicks types ASCII).
    int target = model.rowCount() / 2;
    auto ascii = [](const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    };
    while (target < model.rowCount() && !ascii(model.texto(target, 0).left(6)))
        ++target;
    ASSERT_LT(target, model.rowCount());
    const QString prefix = model.texto(target, 0).left(6);
    const int first = model.Busqueda(0, prefix) - 1;

    QTest::keyClicks(dlg.cajasBusqueda().at(0), prefix.toLower());
    QTest::keyClick(dlg.findChild<QTreeView*>(QStringLiteral("ListView1")), Qt::Key_Return);

    EXPECT_LE(first, target);
    EXPECT_EQ(dlg.filaSeleccionada(), first);
    EXPECT_EQ(dlg.ValorDevuelto, Value(model.texto(first, 1)));
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(Lib_FrmCons3Demo, price_columns_of_the_article_table_take_the_configured_class_names)
{
    Lib_FrmCons3 dlg;
    dlg.Sql = QStringLiteral("SELECT IDARTICULO, PRECIO1, PRECIO3 FROM V_MA_ARTICULOS");

    dlg.Form_Load();

    const LookupGridModel& model = dlg.modelo();
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.columna(1).titulo, Configuracion::Cfg(QStringLiteral("NOM_PCLASE1")));
    EXPECT_EQ(model.columna(2).titulo, Configuracion::Cfg(QStringLiteral("NOM_PCLASE3")));
    EXPECT_NE(model.columna(2).titulo.trimmed(), QString());
    EXPECT_NE(model.columna(2).titulo, QStringLiteral("PRECIO3"));
    EXPECT_EQ(model.anchoCaracteres(2), 12);
}

TEST_F(Lib_FrmCons3Demo, searches_only_narrow_the_statement_whatever_is_typed)
{
    // Its own filter holds an OR: the searches must stay inside it.
    const QString sql = QStringLiteral(
        "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock) "
        " WHERE IDARTICULO LIKE '0000%' OR IDARTICULO LIKE '0001%' ORDER BY DESCRIPCION");
    Lib_FrmCons3 todos;
    todos.Sql = sql;
    todos.Form_Load();
    ASSERT_GT(todos.modelo().rowCount(), 2);
    const QString palabra = todos.modelo().texto(0, 0).section(u' ', 0, 0);
    const struct
    {
        QStringList busquedas;
        bool conFilas;
    } casos[] = {
        // A search that looks like the statement's tail, then one that would widen it.
        { { QStringLiteral("zz order by"), QStringLiteral(" OR 1=1 --") }, false },
        { { QStringLiteral("order by") }, false },
        { { QStringLiteral("x'; DELETE FROM MA_ARTICULOS; --") }, false },
        { { QStringLiteral("/* group by") }, false },
        { { palabra, QStringLiteral("' OR ''='") }, false },
        { { palabra }, true },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.busquedas.join(u'|').toStdString());
        Lib_FrmCons3 dlg;
        dlg.Sql = sql;
        dlg.CfgUsaConsultaLIKE = true;
        dlg.Form_Load();
        auto* caja = dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_0"));
        ASSERT_NE(caja, nullptr);

        for (const QString& busqueda : caso.busquedas) {
            caja->setEditText(busqueda);
            EXPECT_TRUE(dlg.CmbSearch_KeyDown(0, 116, 0));
        }

        EXPECT_EQ(dlg.modelo().rowCount() > 0, caso.conFilas);
        for (int fila = 0; fila < dlg.modelo().rowCount(); ++fila) {
            const QString codigo = dlg.modelo().texto(fila, 1);
            EXPECT_TRUE(codigo.startsWith(QStringLiteral("0000"))
                || codigo.startsWith(QStringLiteral("0001")))
                << codigo.toStdString();
        }
    }
}
