#include "pricelists/Rp_Tarifolio.h"

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "formhelpers/EstadoFormulario.h"
#include "formhelpers/FormularioModalGuionado.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "pricelists/CamposCriterio.h"
#include "pricelists/EnlacesPrograma.h"
#include "pricelists/TBarRep.h"
#include "reports/DLL_Print.h"
#include "services/Globales.h"
#include "services/MascarasConsulta.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

#include "VentanaDemoTest.h"

namespace {

// The window on a demo database with the program's real lookups: its start-up opens the database
// and hands the connection and the query masks to the lookup object as the program's start-up
// does. Prints are only counted, with the warehouse description they would read.
class VentanaCriterios final : public Rp_Tarifolio
{
public:
    VentanaCriterios(QString archivo, QString carpeta)
        : m_archivo(std::move(archivo))
        , m_carpeta(std::move(carpeta))
    {
    }

    QStringList depositosImpresos;

protected:
    void IniciaAplicacion() override
    {
        testsupport::abreBaseDemo(m_archivo);
        const QString mascaras = m_carpeta + QStringLiteral("/consultas.qzk");
        MascarasConsulta::GeneraMascarasConsultaDefault(mascaras);
        EnlacesPrograma().PreparaConsultas(gDB().gConnString, true, mascaras);
    }
    void ImprimirReportePrecios() override
    {
        depositosImpresos << findChild<QLabel*>(QStringLiteral("lblDescDep"))->text();
    }
    void CargaComboPlantillas() override { }

private:
    QString m_archivo;
    QString m_carpeta;
};

// How the operator opens a field's lookup.
enum class Via
{
    ClicDerecho, // right click, with the focus in another field
    Boton, // the toolbar's lookup button, with the focus in the field
    TeclaF3, // the toolbar's hot key typed in the field
};

const char* nombre(Via via)
{
    switch (via) {
    case Via::ClicDerecho:
        return "right click";
    case Via::Boton:
        return "toolbar button";
    case Via::TeclaF3:
        return "F3";
    }
    return "";
}

class Rp_TarifolioCampos : public testsupport::VentanaDemoTest
{
protected:
    void SetUp() override
    {
        VentanaDemoTest::SetUp();
        if (HasFatalFailure())
            return;
        m_globales.gColorFondo = 0xFFFF00; // cyan
        m_globales.gColorLetra = 0x0000FF; // red
    }

    void TearDown() override
    {
        EXPECT_TRUE(m_modal.pasos.empty()) << "a scripted lookup was never shown";
        if (m_ventana)
            m_ventana->hide();
    }

    // The window loaded in the mode of `parametro`, shown and active, with nothing focused yet.
    VentanaCriterios& carga(const QString& parametro = QString())
    {
        m_inicio.gParametroAdicional = parametro;
        m_ventana = std::make_unique<VentanaCriterios>(m_file, m_dir.path());
        m_ventana->Form_Load();
        EXPECT_TRUE(gDB().gOpenFlag);
        m_ventana->show();
        QApplication::setActiveWindow(m_ventana.get());
        return *m_ventana;
    }

    QLineEdit* campo(const char* dataField) const
    {
        for (QLineEdit* c : m_ventana->txtfields()) {
            if (c->property("DataField").toString() == QLatin1String(dataField))
                return c;
        }
        ADD_FAILURE() << dataField;
        return nullptr;
    }
    TBarRep* barra() const { return m_ventana->findChild<TBarRep*>(QStringLiteral("TBarRep1")); }
    QString deposito() const
    {
        return m_ventana->findChild<QLabel*>(QStringLiteral("lblDescDep"))->text();
    }
    static void enfoca(QLineEdit* c)
    {
        c->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), c);
    }

    // Opens the lookup of `c` the way `via` says.
    void abre(QLineEdit* c, Via via)
    {
        switch (via) {
        case Via::ClicDerecho: {
            QLineEdit* otro = m_ventana->txtfields().constLast() == c
                ? m_ventana->txtfields().constFirst()
                : m_ventana->txtfields().constLast();
            enfoca(otro);
            QTest::mouseClick(c, Qt::RightButton);
            break;
        }
        case Via::Boton:
            enfoca(c);
            barra()->findChild<QToolButton*>(QStringLiteral("botonCONSULTAR"))->click();
            break;
        case Via::TeclaF3:
            enfoca(c);
            QTest::keyClick(c, Qt::Key_F3);
            break;
        }
    }

    // The next lookup shown must be a dialog of type D; `paso` works it.
    template <typename D> void alMostrar(std::function<void(D&)> paso)
    {
        m_modal.pasos.push_back([paso](QDialog& form) {
            auto* dlg = qobject_cast<D*>(&form);
            ASSERT_NE(dlg, nullptr) << "another lookup dialog was shown";
            paso(*dlg);
        });
    }

    // The grid: keeps its statement and confirms the row `fila`, keeping that row's value in
    // `columna`.
    void eligeEnGrilla(const QString& columna, int fila, QString& sql, QString& valor)
    {
        alMostrar<Lib_FrmCons3>([&sql, &valor, columna, fila](Lib_FrmCons3& dlg) {
            sql = dlg.Sql;
            const int col = dlg.modelo().IndiceColumna(columna) - 1;
            ASSERT_GE(col, 0) << columna.toStdString();
            ASSERT_GT(dlg.modelo().rowCount(), fila);
            dlg.seleccionarFila(fila);
            valor = dlg.modelo().texto(fila, col);
            dlg.CmdAceptar_Click();
        });
    }

    QStringList consulta(const QString& sql) const
    {
        QStringList filas;
        AdoRecordset rs;
        QString sentencia = sql;
        gDB().AbrirRecordset(sentencia, rs);
        for (; rs.State() == adStateOpen && !rs.Eof(); rs.MoveNext())
            filas << rs.Fields(0).Value().toString();
        gDB().CierraRecordset(rs);
        return filas;
    }

    ConsultasPrograma m_consultas;
    ScopedService<ConsultasPrograma> m_consultasService { m_consultas };
    FormularioModalGuionado m_modal;
    ScopedService<FormularioModal> m_modalService { m_modal };
    std::unique_ptr<VentanaCriterios> m_ventana;
};

} // namespace

TEST_F(Rp_TarifolioCampos, the_start_up_prepares_the_lookup_object_and_the_report_folder)
{
    carga();
    const Lib_ClsCons3& consultas = gConsultas();
    EXPECT_EQ(consultas.gConnString, gDB().gConnString);
    EXPECT_FALSE(consultas.gConnString.isEmpty());
    EXPECT_TRUE(consultas.gUsarMascarasConsultas);
    EXPECT_EQ(consultas.gRutaMascaraConsultas, m_dir.filePath(QStringLiteral("consultas.qzk")));

    DLL_Print reporte;
    ScopedService<DLL_Print> reporteService(reporte);
    EnlacesPrograma().CarpetaSistemaInformes(QStringLiteral("/opt/programa/"));
    EXPECT_EQ(reporte.pPathSistema, QStringLiteral("/opt/programa/"));
}

TEST_F(Rp_TarifolioCampos, grid_lookups_fill_the_field_and_move_on)
{
    const QString listas = QStringLiteral(
        "SELECT DISTINCT IDLISTA, NOMBRE FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = '%1'");
    const struct
    {
        const char* dataField;
        Via via;
        const char* modo; // "@ParametroAdicional"
        QString sql; // the statement, or the table it reads
        const char* columna; // the column whose value comes back
        int fila;
    } casos[] = {
        { "ListaDesde", Via::ClicDerecho, "", listas.arg(QStringLiteral("V")), "IDLISTA", 1 },
        { "ListaHasta", Via::TeclaF3, "C", listas.arg(QStringLiteral("C")), "IDLISTA", 0 },
        { "NombreDesde", Via::Boton, "", listas.arg(QStringLiteral("V")), "NOMBRE", 0 },
        { "NombreHasta", Via::ClicDerecho, "C", listas.arg(QStringLiteral("C")), "NOMBRE", 0 },
        { "RubroDesde", Via::Boton, "", QStringLiteral("FROM v_ta_rubros"), "idrubro", 2 },
        { "RubroHasta", Via::ClicDerecho, "", QStringLiteral("FROM v_ta_rubros"), "idrubro", 0 },
        { "ProveedorDesde", Via::TeclaF3, "C", QStringLiteral("FROM VT_PROVEEDORES"), "codigo", 1 },
        { "ProveedorHasta", Via::ClicDerecho, "", QStringLiteral("FROM VT_PROVEEDORES"), "codigo",
            0 },
        { "Deposito", Via::Boton, "", QStringLiteral("FROM V_TA_DEPOSITO"), "iddeposito", 1 },
        { "Deposito", Via::ClicDerecho, "C", QStringLiteral("FROM V_TA_DEPOSITO"), "iddeposito",
            2 },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(std::string(caso.dataField) + " by " + nombre(caso.via) + " " + caso.modo);
        carga(QLatin1String(caso.modo));
        QLineEdit* c = campo(caso.dataField);
        c->setText(QStringLiteral("viejo"));
        QString sql;
        QString valor;
        eligeEnGrilla(QLatin1String(caso.columna), caso.fila, sql, valor);

        abre(c, caso.via);

        EXPECT_EQ(m_modal.mostrados, 1);
        m_modal.mostrados = 0;
        if (caso.sql.startsWith(QLatin1String("SELECT")))
            EXPECT_EQ(sql.trimmed().toStdString(), caso.sql.toStdString());
        else
            EXPECT_TRUE(sql.contains(caso.sql, Qt::CaseInsensitive)) << sql.toStdString();
        EXPECT_FALSE(valor.trimmed().isEmpty());
        EXPECT_EQ(c->text(), valor.trimmed());
        // Enter after the lookup: the focus went on to the next field, which the lookup button
        // now works on.
        const qsizetype siguiente = m_ventana->txtfields().indexOf(QApplication::focusWidget());
        EXPECT_GE(siguiente, 0);
        EXPECT_NE(QApplication::focusWidget(), c);
        EXPECT_EQ(m_ventana->CampoActual(), siguiente);
        if (CamposCriterio::esDeposito(QLatin1String(caso.dataField))) {
            const QStringList descripcion
                = consulta(QStringLiteral("SELECT Descripcion FROM V_TA_DEPOSITO "
                                          "WHERE LTRIM(RTRIM(IdDeposito)) = '%1'")
                               .arg(valor.trimmed()));
            ASSERT_EQ(descripcion.size(), 1);
            EXPECT_EQ(deposito(), descripcion.first());
        }
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

TEST_F(Rp_TarifolioCampos, a_lookup_opened_with_f3_is_worked_from_the_keyboard)
{
    carga();
    // What the operator sees and types in the dialog, shown as the modal loop would show it.
    const auto teclado = [this](std::function<QString(Lib_FrmCons3&)> teclas, QString& elegida) {
        alMostrar<Lib_FrmCons3>([teclas, &elegida](Lib_FrmCons3& dlg) {
            dlg.show();
            QApplication::setActiveWindow(&dlg);
            elegida = teclas(dlg);
        });
    };
    QString tercera;
    teclado(
        [](Lib_FrmCons3& dlg) {
            // The arrows move the current row from the first one, Enter takes it.
            for (const Qt::Key tecla : { Qt::Key_Down, Qt::Key_Down, Qt::Key_Return })
                QTest::keyClick(QApplication::focusWidget(), tecla);
            return dlg.modelo().texto(2, 0).trimmed();
        },
        tercera);
    QString tecleada;
    teclado(
        [](Lib_FrmCons3& dlg) {
            // Typing searches from the first key; Down takes the focus back to the list, which
            // stands on the row found, and Enter takes it.
            const QString ultima = dlg.modelo().texto(dlg.modelo().rowCount() - 1, 0).trimmed();
            QTest::keyClicks(QApplication::focusWidget(), ultima);
            for (const Qt::Key tecla : { Qt::Key_Down, Qt::Key_Return })
                QTest::keyClick(QApplication::focusWidget(), tecla);
            return ultima;
        },
        tecleada);

    abre(campo("ListaDesde"), Via::TeclaF3);
    abre(campo("ListaHasta"), Via::TeclaF3);

    EXPECT_EQ(m_modal.mostrados, 2);
    EXPECT_FALSE(tercera.isEmpty());
    EXPECT_EQ(campo("ListaDesde")->text(), tercera);
    EXPECT_NE(tecleada, tercera);
    EXPECT_EQ(campo("ListaHasta")->text(), tecleada);
}

TEST_F(Rp_TarifolioCampos, list_lookups_offer_only_the_lists_of_the_windows_mode)
{
    for (const char* modo : { "", "C" }) {
        SCOPED_TRACE(modo);
        carga(QLatin1String(modo));
        const QString tipo = m_ventana->TipoLista();
        QStringList ofrecidas;
        alMostrar<Lib_FrmCons3>([&ofrecidas](Lib_FrmCons3& dlg) {
            const int col = dlg.modelo().IndiceColumna(QStringLiteral("IDLISTA")) - 1;
            for (int fila = 0; fila < dlg.modelo().rowCount(); ++fila)
                ofrecidas << dlg.modelo().texto(fila, col).trimmed();
            dlg.CmdCancelar_Click();
        });

        QTest::mouseClick(campo("ListaDesde"), Qt::RightButton);

        QStringList esperadas = consulta(QStringLiteral("SELECT DISTINCT LTRIM(IDLISTA) FROM "
                                                        "V_MA_PRECIOSCAB WHERE TIPOLISTA = '%1'")
                                             .arg(tipo));
        ASSERT_FALSE(esperadas.isEmpty());
        ofrecidas.sort();
        esperadas.sort();
        EXPECT_EQ(ofrecidas, esperadas);
    }
}

TEST_F(Rp_TarifolioCampos, a_cancelled_lookup_empties_the_field)
{
    const struct
    {
        const char* dataField;
        Via via;
    } casos[] = {
        { "ListaDesde", Via::ClicDerecho },
        { "Deposito", Via::Boton },
        { "ProveedorHasta", Via::TeclaF3 },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.dataField);
        carga();
        QLineEdit* c = campo(caso.dataField);
        c->setText(QStringLiteral("   1"));
        alMostrar<Lib_FrmCons3>([](Lib_FrmCons3& dlg) { dlg.CmdCancelar_Click(); });

        abre(c, caso.via);

        EXPECT_EQ(c->text(), QString());
        // An empty warehouse is no warehouse, and nothing to tell.
        EXPECT_EQ(deposito(), QStringLiteral("..."));
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

TEST_F(Rp_TarifolioCampos, families_are_picked_in_the_tree_and_become_patterns)
{
    carga();
    const QStringList familias
        = consulta(QStringLiteral("SELECT IdFamilia FROM V_TA_FAMILIAS WHERE "
                                  "LEN(LTRIM(RTRIM(IdFamilia))) > 2 ORDER BY IdFamilia"));
    ASSERT_GE(familias.size(), 2);
    const struct
    {
        const char* dataField;
        Via via;
        QString codigo; // empty: cancelled
        const char* esperado;
    } casos[] = {
        { "FamiliaDesde", Via::ClicDerecho, familias.at(0), "*" },
        { "FamiliaHasta", Via::TeclaF3, familias.at(1), "*" },
        { "FamiliaHasta", Via::Boton, QString(), "" },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.dataField);
        carga();
        QLineEdit* c = campo(caso.dataField);
        c->setText(QStringLiteral("01"));
        QString sql;
        alMostrar<Lib_FrmCons3Tree>([&sql, &caso](Lib_FrmCons3Tree& dlg) {
            sql = dlg.Sql;
            if (caso.codigo.isEmpty()) {
                dlg.CmdCancelar_Click();
                return;
            }
            for (int nodo = 0; nodo < dlg.modelo().count(); ++nodo) {
                if (dlg.modelo().key(nodo) == u'A' + caso.codigo)
                    dlg.seleccionarNodo(nodo);
            }
            dlg.CmdAceptar_Click();
        });

        abre(c, caso.via);

        EXPECT_TRUE(sql.contains(QLatin1String("V_TA_FAMILIAS"), Qt::CaseInsensitive));
        EXPECT_EQ(c->text(), caso.codigo.trimmed() + QLatin1String(caso.esperado));
    }
}

TEST_F(Rp_TarifolioCampos, date_fields_take_the_picked_date)
{
    const struct
    {
        const char* dataField;
        std::optional<QDate> elegida;
        const char* esperado;
    } casos[] = {
        { "OfHasta", QDate(2024, 4, 20), "20/04/2024" },
        { "OfHasta", std::nullopt, "01/02/2024" }, // cancelled: the date stays
        { "OfDesde", QDate(2024, 3, 1), "01/03/2024" },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.dataField);
        carga();
        QLineEdit* c = campo(caso.dataField);
        c->setText(QStringLiteral("01/02/2024"));
        testsupport::datePickers() = testsupport::FakeDatePicker();
        testsupport::datePickers().answer(caso.elegida);

        QTest::mouseClick(c, Qt::RightButton);

        EXPECT_EQ(c->text(), QLatin1String(caso.esperado));
        EXPECT_EQ(testsupport::datePickers().initialDates(), QList<QDate> { QDate(2024, 2, 1) });
        EXPECT_EQ(m_modal.mostrados, 0);
    }
}

TEST_F(Rp_TarifolioCampos, the_focused_field_shows_the_focus_colours)
{
    carga();
    const QColor cian(0, 255, 255);
    const QColor rojo(255, 0, 0);
    EXPECT_FALSE(barra()->ConsultaHabilitada());

    QLineEdit* anterior = nullptr;
    for (int i = 0; i < m_ventana->txtfields().size(); ++i) {
        QLineEdit* c = m_ventana->txtfields().at(i);
        if (!c->isEnabled())
            continue;
        enfoca(c);

        EXPECT_EQ(c->palette().color(QPalette::Base), cian) << i;
        EXPECT_EQ(c->palette().color(QPalette::Text), rojo) << i;
        EXPECT_EQ(m_ventana->CampoActual(), i);
        EXPECT_TRUE(barra()->ConsultaHabilitada());
        if (anterior) {
            EXPECT_EQ(anterior->palette().color(QPalette::Base), QColor(Qt::white)) << i;
            EXPECT_EQ(anterior->palette().color(QPalette::Text), QColor(Qt::black)) << i;
        }
        anterior = c;
    }

    // Another window taking over for a while is no leaving: the colours stay and the warehouse
    // is not checked.
    QLineEdit* c = campo("Deposito");
    enfoca(c);
    c->setText(QStringLiteral("9"));
    QFocusEvent salida(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(c, &salida);
    EXPECT_EQ(c->palette().color(QPalette::Base), cian);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(Rp_TarifolioCampos, enter_moves_on_and_makes_a_family_code_a_pattern)
{
    const struct
    {
        const char* dataField;
        const char* texto;
        const char* esperado;
    } casos[] = {
        { "FamiliaDesde", "12", "12*" },
        { "FamiliaHasta", "0101", "0101*" },
        { "FamiliaDesde", " 12 ", " 12 *" },
        { "FamiliaDesde", "12*", "12*" },
        { "FamiliaHasta", "1*2", "1*2" },
        { "FamiliaDesde", "   ", "   " },
        { "FamiliaDesde", "", "" },
        { "RubroDesde", "12", "12" },
        { "ListaDesde", "1", "1" },
        { "Deposito", "1", "1" },
    };
    carga();
    for (const auto& caso : casos) {
        SCOPED_TRACE(std::string(caso.dataField) + " '" + caso.texto + "'");
        QLineEdit* c = campo(caso.dataField);
        enfoca(c);
        c->setText(QLatin1String(caso.texto));

        QTest::keyClick(c, Qt::Key_Return);

        EXPECT_EQ(c->text(), QLatin1String(caso.esperado));
        EXPECT_NE(QApplication::focusWidget(), c);
    }
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_EQ(deposito(), QStringLiteral("Depósito Central"));
}

TEST_F(Rp_TarifolioCampos, keys_pass_the_entry_rules_and_the_toolbar_hot_keys)
{
    carga();
    QLineEdit* rubro = campo("RubroDesde");
    const QList<QLineEdit*>& campos = m_ventana->txtfields();
    const int i = int(campos.indexOf(rubro));

    enfoca(rubro);
    QTest::keyClicks(rubro, QStringLiteral("Ab1"));
    EXPECT_EQ(rubro->text(), QStringLiteral("Ab1"));
    QTest::keyClick(rubro, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), campos.at(i + 1));
    QTest::keyClick(campos.at(i + 1), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), rubro);
    EXPECT_EQ(rubro->text(), QStringLiteral("Ab1"));

    // F5 prints to the screen from inside a field; the field keeps the focus.
    QTest::keyClick(rubro, Qt::Key_F5);
    EXPECT_EQ(m_ventana->depositosImpresos.size(), 1);
    EXPECT_EQ(m_ventana->DestinoImpresion(), Rp_Tarifolio::Destino::Pantalla);
    QTest::keyClick(rubro, Qt::Key_F6);
    EXPECT_EQ(m_ventana->depositosImpresos.size(), 2);
    EXPECT_EQ(m_ventana->DestinoImpresion(), Rp_Tarifolio::Destino::Impresora);
    EXPECT_EQ(QApplication::focusWidget(), rubro);
    EXPECT_EQ(rubro->text(), QStringLiteral("Ab1"));
}

TEST_F(Rp_TarifolioCampos, hot_keys_work_from_any_control_and_tab_reaches_the_toolbar)
{
    carga();
    QCheckBox* casilla = m_ventana->ChkFiltro().at(1);
    casilla->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), casilla);

    QTest::keyClick(casilla, Qt::Key_F5);

    EXPECT_EQ(m_ventana->depositosImpresos.size(), 1);
    EXPECT_EQ(m_ventana->DestinoImpresion(), Rp_Tarifolio::Destino::Pantalla);
    // Tab goes round the window's controls and passes through the report toolbar.
    QWidget* pantalla = barra()->findChild<QWidget*>(QStringLiteral("botonPANTALLA"));
    ASSERT_NE(pantalla, nullptr);
    bool alcanzado = false;
    for (int i = 0; i < 200 && !alcanzado; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        alcanzado = QApplication::focusWidget() == pantalla;
    }
    EXPECT_TRUE(alcanzado);
}

TEST_F(Rp_TarifolioCampos, leaving_the_warehouse_field_checks_its_code)
{
    const struct
    {
        const char* texto;
        const char* descripcion;
        bool aviso; // "Depósito inexistente."
    } casos[] = {
        { "1", "Depósito Central", false },
        { "   2", "Salón de Ventas", false },
        { "3 ", "Playa de Materiales", false },
        { "9", "...", true },
        { "X1", "...", true },
        { "1'", "...", true }, // an apostrophe is only a character of the code
        { "", "...", false },
        { "   ", "...", false },
    };
    carga();
    QLineEdit* c = campo("Deposito");
    QLineEdit* otro = campo("FamiliaHasta");
    for (const auto& caso : casos) {
        SCOPED_TRACE(std::string("'") + caso.texto + "'");
        m_ventana->findChild<QLabel*>(QStringLiteral("lblDescDep"))
            ->setText(QStringLiteral("previo"));
        testsupport::messages().clear();
        if (caso.aviso)
            testsupport::messages().answer(Msg::Ok);
        enfoca(c);
        c->setText(QLatin1String(caso.texto));

        enfoca(otro);

        EXPECT_EQ(deposito(), QString::fromUtf8(caso.descripcion));
        EXPECT_EQ(c->text(), QLatin1String(caso.texto));
        if (caso.aviso) {
            ASSERT_EQ(testsupport::messages().shown().size(), 1);
            const testsupport::ShownBox caja = testsupport::messages().shown().first();
            EXPECT_EQ(caja.text, QStringLiteral("Depósito inexistente."));
            EXPECT_EQ(caja.title, QStringLiteral("Aviso al usuario"));
            EXPECT_EQ(caja.style, Msg::Information + Msg::OkOnly);
        } else {
            EXPECT_TRUE(testsupport::messages().shown().isEmpty());
        }
    }
}

TEST_F(Rp_TarifolioCampos, a_print_from_the_warehouse_field_carries_the_typed_warehouse)
{
    carga();
    QLineEdit* c = campo("Deposito");
    auto* pantalla = barra()->findChild<QToolButton*>(QStringLiteral("botonPANTALLA"));

    enfoca(c);
    c->setText(QStringLiteral("2"));
    QTest::keyClick(c, Qt::Key_F5);
    c->setText(QStringLiteral("3"));
    pantalla->click();
    c->clear();
    pantalla->click();

    EXPECT_EQ(m_ventana->depositosImpresos,
        (QStringList { "Salón de Ventas", "Playa de Materiales", "..." }));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}
