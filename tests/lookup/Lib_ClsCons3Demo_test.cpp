#include "lookup/Lib_ClsCons3.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "formhelpers/FormularioModalGuionado.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Globales.h"
#include "services/MascarasConsulta.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

// The lookup object on a demo database file, with the dialogs worked by scripted modal steps.
class Lib_ClsCons3Demo : public testsupport::DemoDatabaseTest
{
protected:
    Lib_ClsCons3Demo()
        : DemoDatabaseTest(120)
    {
    }

    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_objects.gDB.gUsuario = QStringLiteral("demo");
        m_mascaras = m_dir.filePath(QStringLiteral("consultas.qzk"));
        MascarasConsulta::GeneraMascarasConsultaDefault(m_mascaras);
        m_consultas = std::make_unique<Lib_ClsCons3>();
        m_consultas->gUsarMascarasConsultas = true;
        m_consultas->gRutaMascaraConsultas = m_mascaras;
    }

    // The next modal show runs `paso` on the dialog of type D.
    template <typename D> void alMostrar(std::function<void(D&)> paso)
    {
        m_modal.pasos.push_back([paso](QDialog& form) {
            auto* dlg = qobject_cast<D*>(&form);
            ASSERT_NE(dlg, nullptr);
            paso(*dlg);
        });
    }

    QStringList consulta(const QString& sql)
    {
        QStringList filas;
        AdoRecordset rs;
        m_objects.gDB.AbrirRecordset(QString(sql), rs);
        while (rs.State() == adStateOpen && !rs.Eof()) {
            QStringList celdas;
            for (int i = 0; i < rs.FieldCount(); ++i)
                celdas.append(rs.Fields(i).Value().toString());
            filas.append(celdas.join(u'|'));
            rs.MoveNext();
        }
        return filas;
    }

    FormularioModalGuionado m_modal;
    ScopedService<FormularioModal> m_modalService { m_modal };
    QString m_mascaras;
    std::unique_ptr<Lib_ClsCons3> m_consultas;
};

} // namespace

TEST_F(Lib_ClsCons3Demo, article_mask_lookup_returns_the_chosen_code)
{
    Lib_ClsCons3& c = *m_consultas;
    c.CampoDevuelto = QStringLiteral("IDARTICULO");
    QString campo;
    QString sql;
    QString elegido;
    alMostrar<Lib_FrmCons3>([&](Lib_FrmCons3& dlg) {
        sql = dlg.Sql;
        EXPECT_FALSE(dlg.OrdenarPorLwv);
        EXPECT_TRUE(dlg.CfgUsaConsultaLIKE);
        ASSERT_GT(dlg.modelo().rowCount(), 10);
        dlg.seleccionarFila(3);
        elegido = dlg.modelo().texto(3, 1);
        dlg.CmdAceptar_Click();
    });

    c.ConsultaSearch(QStringLiteral("v_ma_articulos"), nullptr, QString(), &campo);

    EXPECT_EQ(sql,
        QStringLiteral("SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  "
                       "with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY DESCRIPCION "));
    EXPECT_EQ(campo, QStringLiteral("DESCRIPCION"));
    EXPECT_EQ(c.ValorDevuelto, Value(elegido));
    EXPECT_FALSE(elegido.isEmpty());
    EXPECT_EQ(c.CampoDevuelto, QString());
    EXPECT_EQ(m_modal.mostrados, 1);
}

TEST_F(Lib_ClsCons3Demo, row_limit_where_and_probe_shape_the_statement)
{
    Configuracion::GrabaDfg(QStringLiteral("TopConsArt"), Value(QStringLiteral("250")));
    m_consultas->gUsarMascarasConsultas = false;
    QString sql;
    alMostrar<Lib_FrmCons3>([&](Lib_FrmCons3& dlg) {
        sql = dlg.Sql;
        EXPECT_GT(dlg.modelo().rowCount(), 0);
        dlg.CmdCancelar_Click();
    });
    QString campo = QStringLiteral("idrubro"); // the probe chooses its own
    QString where = QStringLiteral("Descripcion <> ''");

    m_consultas->ConsultaSearch(QStringLiteral("V_TA_RUBROS"), nullptr, QString(), &campo, &where);

    EXPECT_EQ(sql,
        QStringLiteral("SELECT TOP 250 Descripcion,idrubro FROM V_TA_RUBROS WHERE   "
                       "(Descripcion <> '')  ORDER BY Descripcion "));
    EXPECT_EQ(campo, QStringLiteral("Descripcion"));
    EXPECT_EQ(where, QStringLiteral(" (Descripcion <> '') "));
}

TEST_F(Lib_ClsCons3Demo, multiple_choice_starts_unchecked_and_returns_the_checked_values)
{
    Lib_ClsCons3& c = *m_consultas;
    c.Checks = true;
    c.CampoDevuelto = QStringLiteral("IdDeposito");
    QStringList esperados;
    alMostrar<Lib_FrmCons3>([&](Lib_FrmCons3& dlg) {
        LookupGridModel& m = dlg.modelo();
        ASSERT_GE(m.rowCount(), 2);
        for (int fila = 0; fila < m.rowCount(); ++fila)
            EXPECT_FALSE(m.checked(fila)) << fila;
        const int id = m.IndiceColumna(QStringLiteral("IdDeposito")) - 1;
        m.setChecked(0, true);
        m.setChecked(1, true);
        esperados = { m.texto(0, id), m.texto(1, id) };
        dlg.CmdAceptar_Click();
    });
    const QStringList todos = consulta(QStringLiteral("SELECT IdDeposito FROM V_TA_DEPOSITO"));

    c.ConsultaSearch(QStringLiteral("V_TA_DEPOSITO"), nullptr, QString(), nullptr, nullptr,
        QString(), false, todos.join(u','));

    ASSERT_TRUE(c.Valores.has_value());
    EXPECT_EQ(*c.Valores, esperados);
    EXPECT_FALSE(c.Checks);
    EXPECT_EQ(c.CampoDevuelto, QString());
}

TEST_F(Lib_ClsCons3Demo, cancel_leaves_no_collections_and_empty_value)
{
    Lib_ClsCons3& c = *m_consultas;
    c.CampoDevuelto = QStringLiteral("IDARTICULO");
    c.Checks = true;
    alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) { dlg.CmdCancelar_Click(); });
    std::optional<QStringList> columnas = QStringList { QStringLiteral("DESCRIPCION") };

    c.ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), &columnas);

    EXPECT_EQ(c.ValorDevuelto, Value(QString()));
    EXPECT_FALSE(c.Valores.has_value());
    EXPECT_FALSE(columnas.has_value());
    EXPECT_FALSE(c.Checks);
}

TEST_F(Lib_ClsCons3Demo, a_mask_with_one_column_asks_to_be_configured)
{
    QFile archivo(m_mascaras);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write(MascarasConsulta::Codifica({ QStringLiteral("R"), QStringLiteral("V_TA_RUBROS"),
        QStringLiteral("|Descripcion|"), QString() }));
    archivo.close();
    m_consultas->CampoDevuelto = QStringLiteral("idrubro");
    m_consultas->Checks = true;
    testsupport::messages().answer(Msg::Ok);

    m_consultas->ConsultaSearch(QStringLiteral("V_TA_RUBROS"));

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().at(0).text,
        QStringLiteral("Debe configurar la consulta para esta tabla"));
    EXPECT_EQ(testsupport::messages().shown().at(0).title, QStringLiteral("Aviso al operador"));
    EXPECT_EQ(testsupport::messages().shown().at(0).style, Msg::Information);
    EXPECT_EQ(m_modal.mostrados, 0);
    EXPECT_EQ(m_consultas->CampoDevuelto, QStringLiteral("idrubro"));
    EXPECT_TRUE(m_consultas->Checks);
}

TEST_F(Lib_ClsCons3Demo, families_tree_hangs_each_family_under_the_code_it_extends)
{
    Lib_ClsCons3& c = *m_consultas;
    c.CampoDevuelto = QStringLiteral("IDFAMILIA");
    const QStringList familias
        = consulta(QStringLiteral("SELECT IdFamilia FROM V_TA_FAMILIAS ORDER BY IdFamilia"));
    QString elegida;
    alMostrar<Lib_FrmCons3Tree>([&](Lib_FrmCons3Tree& dlg) {
        LookupTreeModel& m = dlg.modelo();
        ASSERT_EQ(m.count(), familias.size() + 1);
        EXPECT_EQ(m.text(0), QStringLiteral("Consulta..."));
        EXPECT_TRUE(dlg.expandido(0));
        for (int node = 1; node < m.count(); ++node) {
            const QString codigo = m.key(node).mid(1);
            // Demo family codes grow three letters per level.
            const QString padre
                = codigo.size() > 3 ? u'A' + codigo.left(codigo.size() - 3) : QStringLiteral("A");
            EXPECT_EQ(m.key(m.padre(node)), padre) << codigo.toStdString();
            EXPECT_FALSE(dlg.expandido(node) && node > 0 && !m.hijos(node).empty());
        }
        const int nodo = m.buscar(QStringLiteral("AHERMAN"));
        ASSERT_GT(nodo, 0);
        EXPECT_EQ(m.text(nodo), QStringLiteral("HERMAN - Herramientas manuales"));
        dlg.seleccionarNodo(nodo);
        elegida = m.key(nodo).mid(1);
        dlg.CmdAceptar_Click();
    });

    c.ConsultaSearch(QStringLiteral("SELECT IDFAMILIA, DESCRIPCION FROM V_TA_FAMILIAS"), nullptr,
        QString(), nullptr, nullptr, QString(), true);

    EXPECT_EQ(c.ValorDevuelto, Value(QStringLiteral("HERMAN")));
    EXPECT_FALSE(c.Checks);
    EXPECT_EQ(c.CampoDevuelto, QString());
}

TEST_F(Lib_ClsCons3Demo, tree_search_checks_and_multiple_choice)
{
    Lib_FrmCons3Tree dlg;
    dlg.Sql = QStringLiteral("v_ta_familias");
    dlg.CheckBoxes = true;
    dlg.CampoDevuelto = QStringLiteral("idfamilia");
    dlg.Form_Load();
    LookupTreeModel& m = dlg.modelo();
    auto* caja = dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_0"));

    caja->setEditText(QStringLiteral("herr"));
    EXPECT_EQ(m.key(dlg.nodoSeleccionado()), QStringLiteral("AHER"));
    caja->setEditText(QStringLiteral("hermanXX"));
    EXPECT_EQ(m.key(dlg.nodoSeleccionado()), QStringLiteral("AHER")); // no match: stays
    caja->setEditText(QStringLiteral("Con"));
    EXPECT_EQ(dlg.nodoSeleccionado(), 0);

    const int her = m.buscar(QStringLiteral("AHER"));
    ASSERT_TRUE(m.setData(m.indexOf(her), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(m.checked(m.buscar(QStringLiteral("AHERMAN"))));
    EXPECT_FALSE(m.checked(m.buscar(QStringLiteral("AFER"))));
    QStringList marcados;
    for (int node = 0; node < m.count(); ++node) {
        if (m.checked(node))
            marcados.append(m.key(node).mid(1));
    }
    dlg.CmdAceptar_Click();

    ASSERT_TRUE(dlg.Valores.has_value());
    EXPECT_EQ(*dlg.Valores, marcados);
    EXPECT_GE(marcados.size(), 2);
    EXPECT_EQ(marcados.first(), QStringLiteral("HER"));

    dlg.CmdCancelar_Click();
    EXPECT_FALSE(dlg.Valores.has_value());
    EXPECT_EQ(dlg.ValorDevuelto, Value(QString()));
}

// Return takes the highlighted family wherever the focus stands, as in the grid lookups; on a
// focused button it presses that button.
TEST_F(Lib_ClsCons3Demo, return_in_the_tree_dialog_takes_the_highlighted_family)
{
    const struct
    {
        const char* foco;
        const char* devuelto;
    } casos[] = {
        { "CmbSearch_0", "HERMAN" },
        { "TreeV", "HERMAN" },
        { "CmdAceptar", "HERMAN" },
        { "CmdCancelar", "" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.foco);
        Lib_FrmCons3Tree dlg;
        dlg.Sql = QStringLiteral("v_ta_familias");
        dlg.CampoDevuelto = QStringLiteral("IDFAMILIA");
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        auto* caja = dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_0"));
        caja->setFocus();
        QTest::keyClicks(caja, QStringLiteral("herman"));
        ASSERT_EQ(dlg.modelo().key(dlg.nodoSeleccionado()), QStringLiteral("AHERMAN"));
        dlg.findChild<QWidget*>(QString::fromLatin1(c.foco))->setFocus();
        ASSERT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.foco));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.ValorDevuelto, Value(QString::fromLatin1(c.devuelto)));
    }
}

TEST_F(Lib_ClsCons3Demo, non_administrators_get_families_confirmed_in_the_restricted_view)
{
    m_objects.gDB.EjecutaConsultaSQL(QStringLiteral("DROP VIEW SS_V_TA_FAMILIAS"));
    m_objects.gDB.EjecutaConsultaSQL(QStringLiteral(
        "CREATE VIEW SS_V_TA_FAMILIAS AS SELECT * FROM V_TA_FAMILIAS WHERE IdFamilia <> 'FER'"));
    m_objects.gDB.gEsAdmin = false;
    Lib_FrmCons3Tree dlg;
    dlg.Sql = QStringLiteral("v_ta_familias");
    dlg.CheckBoxes = true;
    dlg.CampoDevuelto = QStringLiteral("IDFAMILIA");
    dlg.Form_Load();
    LookupTreeModel& m = dlg.modelo();
    m.setChecked(m.buscar(QStringLiteral("AFER")), true);
    m.setChecked(m.buscar(QStringLiteral("AHER")), true);

    dlg.CmdAceptar_Click();

    ASSERT_TRUE(dlg.Valores.has_value());
    EXPECT_EQ(*dlg.Valores, QStringList { QStringLiteral("HER") });

    Lib_FrmCons3Tree simple;
    simple.Sql = QStringLiteral("v_ta_familias");
    simple.CampoDevuelto = QStringLiteral("IDFAMILIA");
    simple.Form_Load();
    simple.seleccionarNodo(simple.modelo().buscar(QStringLiteral("AFER")));
    simple.CmdAceptar_Click();
    EXPECT_EQ(simple.ValorDevuelto, Value(QString()));
}

TEST_F(Lib_ClsCons3Demo, automatic_tree_hangs_by_prefix_and_f5_filters_by_description)
{
    m_objects.gDB.EjecutaConsultaSQL(QStringLiteral(
        "CREATE TABLE T_CODIGOS (Codigo varchar(10), Descripcion varchar(50), X int)"));
    m_objects.gDB.EjecutaConsultaSQL(QStringLiteral(
        "INSERT INTO T_CODIGOS VALUES ('01','Herramientas',1), ('0101','Manuales',1), "
        "('0102','Electricas',1), ('02','Pinturas',1), ('0305','Barnices',1), ('03','Otros',0)"));
    Lib_FrmCons3Tree dlg;
    dlg.Sql = QStringLiteral("SELECT Codigo, Descripcion FROM T_CODIGOS WHERE X=1 "
                             "ORDER BY Codigo");
    dlg.Form_Load();
    LookupTreeModel& m = dlg.modelo();
    const QStringList esperados = { "A|", "A01|A", "A0101|A01", "A0102|A01", "A02|A", "A0305|A" };
    QStringList arbol;
    for (int node = 0; node < m.count(); ++node)
        arbol.append(m.key(node) + u'|' + m.key(m.padre(node)));
    EXPECT_EQ(arbol, esperados);
    EXPECT_EQ(m.text(2), QStringLiteral("0101 - Manuales"));
    auto* caja = dlg.findChild<QComboBox*>(QStringLiteral("CmbSearch_0"));

    caja->setEditText(QStringLiteral("manu'ales"));
    dlg.CmbSearch_KeyDown(0, 116, 0);

    EXPECT_EQ(dlg.Sql,
        QStringLiteral("SELECT Codigo, Descripcion FROM T_CODIGOS WHERE (X=1)  and "
                       "Descripcion like '%manu''ales%' ORDER BY Codigo"));
    EXPECT_EQ(m.count(), 1); // nothing matches: only the root
    EXPECT_EQ(caja->currentText(), QString());

    dlg.Sql = QStringLiteral("SELECT Codigo, Descripcion FROM T_CODIGOS");
    caja->setEditText(QStringLiteral("manuales"));
    dlg.CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(dlg.Sql,
        QStringLiteral("SELECT Codigo, Descripcion FROM T_CODIGOS where "
                       "Descripcion like '%manuales%' "));
    ASSERT_EQ(m.count(), 2);
    EXPECT_EQ(m.key(1), QStringLiteral("A0101"));
    // The families tree keeps its own statement: F5 leaves it unfiltered.
    Lib_FrmCons3Tree familias;
    familias.Sql = QStringLiteral("V_TA_FAMILIAS");
    familias.Form_Load();
    const int todas = familias.modelo().count();
    familias.findChild<QComboBox*>(QStringLiteral("CmbSearch_0"))->setEditText(QStringLiteral("x"));
    familias.CmbSearch_KeyDown(0, 116, 0);
    EXPECT_EQ(familias.modelo().count(), todas);
}

TEST_F(Lib_ClsCons3Demo, f12_reports_the_selected_article_as_a_stock_shortage)
{
    Lib_FrmCons3 dlg;
    dlg.Sql = QStringLiteral("SELECT TOP 5 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS "
                             "ORDER BY IDARTICULO");
    dlg.Form_Load();
    dlg.seleccionarFila(1);
    const QString id = dlg.modelo().texto(1, 1);
    const QString descripcion = dlg.modelo().texto(1, 0);
    testsupport::messages().answer(Msg::No);
    testsupport::messages().answer(Msg::Yes);

    int tecla = 123;
    dlg.Form_KeyDown(tecla, 0);
    EXPECT_EQ(tecla, 0);
    EXPECT_TRUE(consulta(QStringLiteral("SELECT * FROM V_MV_FALTANTES")).isEmpty());
    tecla = 123;
    dlg.Form_KeyDown(tecla, 0);

    ASSERT_EQ(testsupport::messages().shown().size(), 2);
    const testsupport::ShownBox& caja = testsupport::messages().shown().at(1);
    EXPECT_EQ(caja.title, QStringLiteral("Atención!"));
    EXPECT_EQ(caja.style, Msg::YesNo + Msg::Question);
    EXPECT_EQ(caja.text,
        QStringLiteral("Desea informar el articulo ") + id + u' ' + descripcion
            + QStringLiteral("\r\ncomo un faltante de stock?"));
    const QStringList filas = consulta(
        QStringLiteral("SELECT FechaHora, IdArticulo, Descripcion, Usuario FROM V_MV_FALTANTES"));
    ASSERT_EQ(filas.size(), 1);
    EXPECT_EQ(filas.at(0),
        testsupport::pinnedNow().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + u'|'
            + gUtilidades().FormateaCodigo(id, 25) + u'|' + descripcion + QStringLiteral("|demo"));
}

TEST_F(Lib_ClsCons3Demo, f12_outside_an_article_lookup_does_nothing)
{
    Lib_FrmCons3 dlg;
    dlg.Sql = QStringLiteral("SELECT Descripcion, idrubro FROM V_TA_RUBROS");
    dlg.Form_Load();
    dlg.seleccionarFila(0);

    int tecla = 123;
    dlg.Form_KeyDown(tecla, 0);

    EXPECT_EQ(tecla, 123);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(Lib_ClsCons3Demo, option_pickers_list_their_options_and_return_the_choice)
{
    Lib_ClsCons3& c = *m_consultas;
    alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Opciones"));
        LookupGridModel& m = dlg.modelo();
        ASSERT_EQ(m.rowCount(), 3);
        EXPECT_EQ(m.texto(0, 0), QStringLiteral("Uno"));
        EXPECT_EQ(m.texto(1, 0), QStringLiteral("Dos"));
        EXPECT_TRUE(m.checked(0));
        EXPECT_FALSE(m.checked(1));
        EXPECT_TRUE(m.checked(2));
        dlg.CmdAceptar_Click();
    });
    c.ValorDevuelto = Value(QStringLiteral("previo"));

    const QString r = c.CheckOpciones(QStringLiteral("Opciones"), nullptr,
        { QStringLiteral("1Uno"), QStringLiteral("0Dos"), QStringLiteral("1Tres") });

    EXPECT_EQ(r, QString());
    ASSERT_TRUE(c.Valores.has_value());
    EXPECT_EQ(*c.Valores, (QStringList { QStringLiteral("Uno"), QStringLiteral("Tres") }));
    EXPECT_EQ(c.ValorDevuelto, Value(QStringLiteral("previo")));

    alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) {
        EXPECT_FALSE(dlg.CheckBoxes);
        dlg.seleccionarFila(1);
        dlg.CmdAceptar_Click();
    });
    EXPECT_EQ(c.MenuOpciones(QStringLiteral("Menu"), { QStringLiteral("a"), QStringLiteral("b") }),
        QStringLiteral("b"));

    alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) { dlg.CmdCancelar_Click(); });
    c.CheckOpciones(QStringLiteral("Opciones"), nullptr, { QStringLiteral("1Uno") });
    EXPECT_FALSE(c.Valores.has_value());
}

TEST_F(Lib_ClsCons3Demo, text_file_lookup_shows_its_lines_or_says_it_is_missing)
{
    const QString ruta = m_dir.filePath(QStringLiteral("lineas.txt"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("primera\r\n\r\ntercera\r\n");
    archivo.close();
    alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) {
        LookupGridModel& m = dlg.modelo();
        ASSERT_EQ(m.rowCount(), 3);
        EXPECT_EQ(m.texto(1, 0), QString());
        dlg.seleccionarFila(2);
        dlg.CmdAceptar_Click();
    });

    EXPECT_EQ(m_consultas->ConsultaDesdeArchivo(QStringLiteral("Lineas"), ruta),
        QStringLiteral("tercera"));

    testsupport::messages().answer(Msg::Ok);
    const QString falta = m_dir.filePath(QStringLiteral("no.txt"));
    EXPECT_EQ(m_consultas->ConsultaDesdeArchivo(QStringLiteral("Lineas"), falta), QString());
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().at(0).text,
        QStringLiteral("No existe el archivo ") + falta
            + QStringLiteral(" que desea consultar consulta "));
    EXPECT_EQ(testsupport::messages().shown().at(0).style, Msg::OkOnly);
}
