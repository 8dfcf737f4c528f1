#include "lookup/Lib_FrmCons3.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "lookup/ColumnWidthFile.h"
#include "lookup/MemoryConnection.h"
#include "platform/AdoProvider.h"
#include "platform/MessageDialog.h"
#include "platform/Twips.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

using testsupport::FakeAdoConnection;

const QString ArticulosSql = QStringLiteral(
    "SELECT IDARTICULO, DESCRIPCION, PUNTOPEDIDO, Stock, FechaAlta FROM VT_MA_ARTICULOS");

FakeAdoConnection::Result articulos()
{
    return { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                 { QStringLiteral("DESCRIPCION"), adVarChar, 100 },
                 { QStringLiteral("PUNTOPEDIDO"), adDouble, 8 },
                 { QStringLiteral("Stock"), adDouble, 0 },
                 { QStringLiteral("FechaAlta"), adDBTimeStamp, 0 } },
        {
            { QStringLiteral("A1"), QStringLiteral("TORNILLO"), 0.0, 5.0, QDate(2024, 1, 5) },
            { QStringLiteral("B2"), QStringLiteral("Tuerca"), 10.0, 15.0, QDate(2023, 2, 1) },
            { QStringLiteral("C3"), QStringLiteral("Arandela"), 10.0, 5.0, QDate(2024, 3, 9) },
            { QStringLiteral("D4"), QStringLiteral("Clavo"), 10.0, 10.0, QDate(2022, 7, 7) },
        } };
}

FakeAdoConnection::Result conCantidad()
{
    return { { { QStringLiteral("IDARTICULO"), adVarChar, 25 },
                 { QStringLiteral("DESCRIPCION"), adVarChar, 100 },
                 { QStringLiteral("**Cantidad**"), adVarChar, 12 } },
        {
            { QStringLiteral("A1"), QStringLiteral("TORNILLO"), QStringLiteral("2.0") },
            { QStringLiteral("B2"), QStringLiteral("Tuerca"), QStringLiteral("1.0") },
            { QStringLiteral("C3"), QStringLiteral("Arandela"), QStringLiteral("0.00") },
        } };
}

class Lib_FrmCons3Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(
            QStringLiteral("RP_TARIFOLIO_HOME"), m_folder.path());
        m_objects.gDB.gEsAdmin = true;
        cnn().scriptStatement(ArticulosSql, articulos());
    }
    void TearDown() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), QString());
    }

    FakeAdoConnection& cnn() { return static_cast<FakeAdoConnection&>(m_objects.gDB.gCnn()); }
    void show()
    {
        dlg.show();
        QApplication::setActiveWindow(&dlg);
    }
    QTreeView* list() { return dlg.findChild<QTreeView*>(QStringLiteral("ListView1")); }
    QComboBox* box(int i)
    {
        return dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_%1").arg(i));
    }
    QPushButton* button(const char* name)
    {
        return dlg.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString widthsFile() const { return m_folder.filePath(QStringLiteral("CONSULTASLEN.qzk")); }
    int xWidth(int chars) const
    {
        return Twips::fromPixels(dlg.fontMetrics().horizontalAdvance(QString(chars, u'X')));
    }
    void clickRow(int row)
    {
        const QRect rect = list()->visualRect(dlg.modelo().index(row, 1));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QTemporaryDir m_folder;
    testsupport::FakeAdoProvider m_provider { lookuptest::memoryDatabase };
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
    Lib_FrmCons3 dlg;
};

} // namespace

TEST_F(Lib_FrmCons3Test, shows_the_statement_as_columns_rows_and_search_boxes)
{
    dlg.Sql = ArticulosSql;

    show();

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Consulta..."));
    EXPECT_EQ(cnn().statements(), QStringList { ArticulosSql + u' ' });
    EXPECT_EQ(dlg.Sql, ArticulosSql + u' ');
    EXPECT_EQ(dlg.tablaConsulta(), QStringLiteral("VT_MA_ARTICULOS"));
    EXPECT_EQ(list()->model()->rowCount(), 4);
    EXPECT_EQ(
        list()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("DESCRIPCION"));
    EXPECT_TRUE(list()->font().bold());
    // Sized fields by their size (the description capped at 60), the others by caption or value.
    EXPECT_EQ(dlg.anchoColumna(0), xWidth(25));
    EXPECT_EQ(dlg.anchoColumna(1), xWidth(60));
    // Short fields are widened to their whole caption.
    EXPECT_GT(dlg.anchoColumna(2), xWidth(8));
    EXPECT_GT(dlg.anchoColumna(3), xWidth(5));
    EXPECT_GT(dlg.anchoColumna(4), xWidth(10));
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(box(i), nullptr) << i;
        EXPECT_EQ(box(i)->toolTip(), QStringLiteral("F5 realiza nueva busqueda"));
        EXPECT_EQ(box(i)->property("DataField").toString(), dlg.modelo().columna(i).campo);
        // Each box stands over its column, a little narrower.
        const QPoint columnLeft(list()->header()->sectionViewportPosition(i), 0);
        const int left = list()->viewport()->mapTo(&dlg, columnLeft).x();
        EXPECT_EQ(box(i)->mapTo(&dlg, QPoint(0, 0)).x(), left) << i;
        EXPECT_EQ(box(i)->width(), list()->header()->sectionSize(i) - Twips::toPixels(50));
    }
    EXPECT_EQ(button("CmdAceptar")->text(), QStringLiteral("&Aceptar"));
    EXPECT_EQ(button("CmdCancelar")->text(), QStringLiteral("&Cancelar"));
    EXPECT_EQ(button("CmdNueva")->text(), QStringLiteral("&Nueva Busqueda"));
    EXPECT_EQ(button("CmdNuevo")->text(), QStringLiteral("N&uevo"));
    EXPECT_EQ(button("CmdTodos")->text(), QStringLiteral("&Marcar"));
}

TEST_F(Lib_FrmCons3Test, an_empty_statement_shows_an_empty_grid)
{
    dlg.Sql = QStringLiteral("   ");

    dlg.Form_Load();

    EXPECT_TRUE(cnn().statements().isEmpty());
    EXPECT_EQ(dlg.modelo().columnCount(), 0);
    EXPECT_EQ(dlg.Valores, QStringList());
    EXPECT_EQ(dlg.Cantidades, QStringList());
}

TEST_F(Lib_FrmCons3Test, a_refused_statement_is_reported_once_and_leaves_the_grid_empty)
{
    dlg.Sql = QStringLiteral("SELECT X FROM NO_EXISTE");
    testsupport::messages().answer(Msg::Ignore);

    dlg.Form_Load();

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const QString title = testsupport::messages().shown().at(0).title;
    EXPECT_TRUE(title.contains(QStringLiteral("AbrirRecordset")));
    EXPECT_EQ(dlg.modelo().columnCount(), 0);
}

TEST_F(Lib_FrmCons3Test, article_rows_take_the_stock_colours)
{
    dlg.Sql = ArticulosSql;
    dlg.MuestraStock = QStringLiteral("Si");
    dlg.StkNivel1 = Value(qint32(0x0000FF));
    dlg.StkNivel2 = Value(QStringLiteral("32768"));
    dlg.StkNivel3 = Value(qint32(0xFF0000));
    dlg.StkNivel4 = Value(QStringLiteral(" "));

    dlg.Form_Load();

    EXPECT_EQ(dlg.modelo().color(0), QColor(255, 0, 0));
    EXPECT_EQ(dlg.modelo().color(1), QColor(0, 128, 0));
    EXPECT_EQ(dlg.modelo().color(2), QColor(0, 0, 255));
    // Level 4 has no colour configured: the row keeps the list's own look.
    EXPECT_EQ(dlg.modelo().color(3), std::nullopt);
}

TEST_F(Lib_FrmCons3Test, typing_in_a_search_box_moves_the_selection)
{
    dlg.Sql = ArticulosSql;
    show();

    QTest::keyClicks(box(1), QStringLiteral("ar"));
    EXPECT_EQ(dlg.filaSeleccionada(), 2);
    QTest::keyClicks(box(1), QStringLiteral("x"));
    EXPECT_EQ(dlg.filaSeleccionada(), 2);
    box(1)->setEditText(QString());
    EXPECT_EQ(dlg.filaSeleccionada(), 0);
    QTest::keyClicks(box(0), QStringLiteral("d"));
    EXPECT_EQ(dlg.filaSeleccionada(), 3);
}

TEST_F(Lib_FrmCons3Test, the_initial_filter_selects_its_row)
{
    dlg.Sql = ArticulosSql;
    dlg.FiltroInicial = QStringLiteral("c");

    dlg.Form_Load();

    EXPECT_EQ(box(0)->currentText(), QStringLiteral("c"));
    EXPECT_EQ(dlg.filaSeleccionada(), 2);
}

TEST_F(Lib_FrmCons3Test, letters_typed_in_the_grid_go_to_the_last_search_box)
{
    dlg.Sql = ArticulosSql;
    show();
    box(1)->setFocus();
    list()->setFocus();

    QTest::keyClick(list(), Qt::Key_T);

    EXPECT_EQ(dlg.indiceBusquedaActual(), 1);
    EXPECT_EQ(box(1)->currentText(), QStringLiteral("T"));
    EXPECT_EQ(dlg.filaSeleccionada(), 0);
    EXPECT_TRUE(box(1)->hasFocus());
    EXPECT_EQ(box(1)->lineEdit()->palette().color(QPalette::Base), QColor(0, 255, 255));
}

TEST_F(Lib_FrmCons3Test, enter_returns_the_selected_rows_value)
{
    dlg.Sql = ArticulosSql;
    dlg.CampoDevuelto = QStringLiteral(" descripcion ");
    show();
    dlg.seleccionarFila(1);

    QTest::keyClick(list(), Qt::Key_Return);

    EXPECT_EQ(dlg.ValorDevuelto, Value(QStringLiteral("Tuerca")));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(Lib_FrmCons3Test, return_in_a_search_box_returns_the_row_the_search_found)
{
    dlg.Sql = ArticulosSql;
    dlg.CampoDevuelto = QStringLiteral("DESCRIPCION");
    show();
    box(1)->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("tu"));
    ASSERT_EQ(dlg.filaSeleccionada(), 1);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    EXPECT_EQ(dlg.ValorDevuelto, Value(QStringLiteral("Tuerca")));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(Lib_FrmCons3Test, double_click_returns_the_clicked_rows_value)
{
    dlg.Sql = ArticulosSql;
    dlg.CampoDevuelto = QStringLiteral("IDARTICULO");
    show();
    const QRect rect = list()->visualRect(dlg.modelo().index(2, 1));

    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());

    EXPECT_EQ(dlg.ValorDevuelto, Value(QStringLiteral("C3")));
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(Lib_FrmCons3Test, single_choice_returns_further_columns_in_order)
{
    dlg.Sql = ArticulosSql;
    dlg.CampoDevuelto = QStringLiteral("  ");
    dlg.CmpsDevueltos = QStringList { QStringLiteral("IDARTICULO"), QStringLiteral("NoEsta"),
        QStringLiteral("Descripcion") };
    dlg.Form_Load();
    dlg.seleccionarFila(0);

    dlg.CmdAceptar_Click();

    // A caption of no column gives an empty entry; the value returned is the last cell read.
    EXPECT_EQ(
        dlg.Valores, (QStringList { QStringLiteral("A1"), QString(), QStringLiteral("TORNILLO") }));
    EXPECT_EQ(dlg.ValorDevuelto, Value(QStringLiteral("TORNILLO")));
}

TEST_F(Lib_FrmCons3Test, accepting_with_no_row_selected_returns_nothing)
{
    dlg.Sql = ArticulosSql;
    dlg.CampoDevuelto = QStringLiteral("IDARTICULO");
    dlg.Form_Load();

    dlg.CmdAceptar_Click();

    EXPECT_TRUE(dlg.ValorDevuelto.isEmpty());
    EXPECT_EQ(dlg.Valores, QStringList());
}

TEST_F(Lib_FrmCons3Test, multiple_choice_returns_checked_rows_with_quantities_kept_in_the_grid)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, [**Cantidad**] FROM T");
    cnn().scriptStatement(sql, conCantidad());
    dlg.Sql = sql;
    dlg.CheckBoxes = true;
    dlg.UsaCantidades = true;
    dlg.ValoresDefault = QStringLiteral("C3");
    dlg.CampoDevuelto = QStringLiteral("IDARTICULO");
    show();
    EXPECT_TRUE(dlg.modelo().checked(2));

    dlg.seleccionarFila(0);
    QTest::keyClick(list(), Qt::Key_Insert);
    EXPECT_EQ(dlg.modelo().texto(0, 2), QStringLiteral("3,0"));
    dlg.seleccionarFila(1);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(dlg.modelo().texto(1, 2), QStringLiteral("0.00"));
    EXPECT_FALSE(dlg.modelo().checked(1));
    testsupport::inputs().answer(QStringLiteral("5"));
    QTest::keyClick(list(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(testsupport::inputs().shown().at(0).text,
        QStringLiteral("Ingrese la Cantidad del Articulo..."));
    EXPECT_EQ(testsupport::inputs().shown().at(0).title, QStringLiteral("Carga de Datos"));
    EXPECT_EQ(testsupport::inputs().defaults().at(0), QStringLiteral("0.00"));
    EXPECT_EQ(dlg.modelo().texto(1, 2), QStringLiteral("5,00"));
    dlg.seleccionarFila(2);
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_FALSE(dlg.modelo().checked(2));

    QTest::mouseClick(button("CmdAceptar"), Qt::LeftButton);

    EXPECT_EQ(dlg.Valores, (QStringList { QStringLiteral("A1"), QStringLiteral("B2") }));
    EXPECT_EQ(dlg.Cantidades, QStringList());
    EXPECT_TRUE(dlg.ValorDevuelto.isEmpty());
}

TEST_F(Lib_FrmCons3Test, a_quantity_cell_reads_back_with_the_separator_it_was_written_with)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, [**Cantidad**] FROM T");
    cnn().scriptStatement(sql, conCantidad());
    dlg.Sql = sql;
    dlg.UsaCantidades = true;
    dlg.Form_Load();
    dlg.seleccionarFila(0);

    dlg.ListView1_KeyDown(45, 0);
    dlg.ListView1_KeyDown(45, 0);

    // "3,0" is read as three, not as the three before its comma... and then four.
    EXPECT_EQ(dlg.modelo().texto(0, 2), QStringLiteral("4,0"));
}

TEST_F(Lib_FrmCons3Test, multiple_choice_without_returned_field_uses_the_first_column)
{
    dlg.Sql = ArticulosSql;
    dlg.CheckBoxes = true;
    dlg.Form_Load();
    dlg.modelo().setChecked(1, true);
    dlg.modelo().setChecked(3, true);

    dlg.CmdAceptar_Click();

    EXPECT_EQ(dlg.CampoDevuelto, QStringLiteral("IDARTICULO"));
    EXPECT_EQ(dlg.Valores, (QStringList { QStringLiteral("B2"), QStringLiteral("D4") }));
}

TEST_F(Lib_FrmCons3Test, escape_and_cancel_return_nothing)
{
    for (const bool escape : { true, false }) {
        Lib_FrmCons3 d;
        d.Sql = ArticulosSql;
        d.CmpsDevueltos = QStringList { QStringLiteral("IDARTICULO") };
        d.show();
        QApplication::setActiveWindow(&d);
        d.seleccionarFila(1);

        if (escape)
            QTest::keyClick(&d, Qt::Key_Escape);
        else
            d.findChild<QPushButton*>(QStringLiteral("CmdCancelar"))->click();

        EXPECT_EQ(d.ValorDevuelto, Value(QString())) << escape;
        EXPECT_FALSE(d.Valores.has_value());
        EXPECT_FALSE(d.CmpsDevueltos.has_value());
        EXPECT_EQ(d.Cantidades, QStringList());
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
}

TEST_F(Lib_FrmCons3Test, header_clicks_toggle_the_order_and_date_columns_query_again)
{
    dlg.Sql = ArticulosSql;
    dlg.OrdenarPorLwv = true;
    dlg.Form_Load();
    auto first = [&] { return dlg.modelo().texto(0, 1); };
    EXPECT_EQ(first(), QStringLiteral("TORNILLO"));

    dlg.ListView1_ColumnClick(1);
    EXPECT_EQ(first(), QStringLiteral("Tuerca"));
    dlg.ListView1_ColumnClick(1);
    EXPECT_EQ(first(), QStringLiteral("Arandela"));
    dlg.ListView1_ColumnClick(0);
    EXPECT_EQ(dlg.modelo().texto(0, 0), QStringLiteral("D4"));

    const QString dated = ArticulosSql + QStringLiteral("  order by FechaAlta");
    cnn().scriptStatement(dated, articulos());
    dlg.ListView1_ColumnClick(4);

    EXPECT_EQ(cnn().statements().constLast(), dated + u' ');
    EXPECT_EQ(dlg.Sql, ArticulosSql + u' ');
    EXPECT_FALSE(dlg.OrdenarPorLwv);
    EXPECT_FALSE(dlg.modelo().sorted());
}

TEST_F(Lib_FrmCons3Test, a_date_click_on_an_ordered_statement_runs_it_as_it_is)
{
    const QString ordered = ArticulosSql + QStringLiteral(" ORDER BY Descripcion");
    cnn().scriptStatement(ordered, articulos());
    dlg.Sql = ordered;
    dlg.Form_Load();

    dlg.OrdenarPorFecha(QStringLiteral("FECHAHORAFINROMANEO"));

    EXPECT_EQ(cnn().statements().size(), 2);
    EXPECT_EQ(cnn().statements().constLast(), ordered + QStringLiteral("  "));
}

TEST_F(Lib_FrmCons3Test, saved_widths_apply_to_the_stock_table_under_the_article_view)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION FROM Stk_Ma_Articulos");
    cnn().scriptStatement(sql, articulos());
    QFile file(widthsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"VT_MA_ARTICULOS\",\"1440|4500|1200|15|15|\"\r\n");
    file.close();
    dlg.Sql = sql;

    dlg.Form_Load();

    EXPECT_EQ(dlg.tablaConsulta(), QStringLiteral("VT_MA_ARTICULOS"));
    EXPECT_EQ(dlg.anchoColumna(0), 1440);
    EXPECT_EQ(dlg.anchoColumna(1), 4500);
    EXPECT_EQ(dlg.anchoColumna(2), 1200);
}

TEST_F(Lib_FrmCons3Test, widths_are_written_at_unload_only_when_asked)
{
    dlg.Sql = ArticulosSql;
    dlg.Form_Load();
    list()->header()->resizeSection(0, 100);

    dlg.Form_Unload();
    EXPECT_FALSE(QFile::exists(ColumnWidthFile::ruta()));

    Lib_FrmCons3 other;
    other.Sql = ArticulosSql;
    other.GrabarCfg = true;
    other.UsarUDBC = false;
    other.Form_Load();
    other.findChild<QTreeView*>(QStringLiteral("ListView1"))->header()->resizeSection(0, 100);
    other.Form_Unload();

    // Written where the program writes its files, never in the program folder.
    EXPECT_FALSE(QFile::exists(widthsFile()));
    QFile file(ColumnWidthFile::ruta());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray line = file.readAll();
    EXPECT_TRUE(line.startsWith("\"VT_MA_ARTICULOS\",\"1500|")) << line.constData();
    EXPECT_TRUE(line.endsWith("|\"\r\n"));
    EXPECT_EQ(line.count('|'), 5);
}

TEST_F(Lib_FrmCons3Test, cancel_moves_to_the_right_end_when_new_search_is_hidden)
{
    dlg.Sql = ArticulosSql;
    button("CmdNueva")->hide();

    show();
    QApplication::processEvents();

    const QWidget* frame = dlg.findChild<QWidget*>(QStringLiteral("Frame1"));
    EXPECT_EQ(button("CmdCancelar")->geometry().right(), frame->contentsRect().right());
}

TEST_F(Lib_FrmCons3Test, date_clicks_append_their_order_for_one_run)
{
    const struct
    {
        const char* caption;
        const char* appended;
    } cases[] = {
        { "FechaAlta", "  order by FechaAlta" },
        // The end of a dispatch sorts newest first.
        { "FECHAHORAFINROMANEO", "  order by FECHAHORAFINROMANEO desc " },
    };
    for (const auto& c : cases) {
        Lib_FrmCons3 d;
        d.Sql = ArticulosSql;
        d.Form_Load();
        const QString expected = ArticulosSql + QString::fromLatin1(c.appended) + u' ';
        cnn().scriptStatement(expected, articulos());

        d.OrdenarPorFecha(QString::fromLatin1(c.caption));

        EXPECT_EQ(cnn().statements().constLast(), expected);
        EXPECT_EQ(d.Sql, ArticulosSql + u' ');
        EXPECT_EQ(d.sqlInicial(), ArticulosSql + u' ');
        EXPECT_EQ(d.modelo().rowCount(), 4);
    }
}

TEST_F(Lib_FrmCons3Test, insert_and_delete_do_nothing_without_quantities)
{
    const QString sql = QStringLiteral("SELECT IDARTICULO, DESCRIPCION, [**Cantidad**] FROM T");
    cnn().scriptStatement(sql, conCantidad());
    dlg.Sql = sql;
    dlg.CheckBoxes = true;
    dlg.Form_Load();
    dlg.seleccionarFila(0);

    EXPECT_FALSE(dlg.ListView1_KeyDown(45, 0));
    EXPECT_FALSE(dlg.ListView1_KeyDown(46, 0));

    EXPECT_EQ(dlg.modelo().texto(0, 2), QStringLiteral("2.0"));
    EXPECT_FALSE(dlg.modelo().checked(0));
}

TEST_F(Lib_FrmCons3Test, the_scroll_bar_moves_the_search_boxes_with_the_columns)
{
    dlg.Sql = ArticulosSql;
    show();
    dlg.resize(300, dlg.height());
    QApplication::processEvents();
    auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    ASSERT_GT(bar->maximum(), 100);
    const int before = box(2)->x();

    bar->setValue(100);

    EXPECT_EQ(list()->horizontalScrollBar()->value(), 100);
    EXPECT_EQ(box(2)->x(), before - 100);
    list()->horizontalScrollBar()->setValue(40);
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(box(2)->x(), before - 40);
}

TEST_F(Lib_FrmCons3Test, a_width_file_that_cannot_be_written_is_reported_and_unload_goes_on)
{
    // A data folder that cannot be made: a file stands where one of its folders should be.
    QFile estorbo(m_folder.filePath(QStringLiteral("estorbo")));
    ASSERT_TRUE(estorbo.open(QIODevice::WriteOnly));
    estorbo.close();
    testsupport::environment().setVariable(
        QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("estorbo/datos")));
    m_objects.gUDBC.gEsAdmin = true;
    auto& second = static_cast<FakeAdoConnection&>(m_objects.gUDBC.gCnn());
    second.scriptStatement(ArticulosSql, articulos());
    dlg.Sql = ArticulosSql;
    dlg.GrabarCfg = true;
    dlg.UsarUDBC = true;
    dlg.Form_Load();
    testsupport::messages().answer(Msg::Ok);
    // The second data object ran the statement, not the main one.
    EXPECT_EQ(second.statements().size(), 1);
    EXPECT_TRUE(cnn().statements().isEmpty());

    dlg.Form_Unload();

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().at(0).title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(testsupport::messages().shown().at(0).style, Msg::Critical);
    EXPECT_TRUE(
        testsupport::messages().shown().at(0).text.contains(QStringLiteral("CONSULTASLEN.AUX")));
    EXPECT_FALSE(dlg.UsarUDBC);
    EXPECT_EQ(dlg.modelo().rowCount(), 0);
}
