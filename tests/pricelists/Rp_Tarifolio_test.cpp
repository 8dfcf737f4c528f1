#include "pricelists/Rp_Tarifolio.h"

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <gtest/gtest.h>

#include "formhelpers/Dll_DisplayQt.h"
#include "formhelpers/EstadoFormulario.h"
#include "lookup/ColumnWidthFile.h"
#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "platform/LectorIni.h"
#include "platform/MessageDialog.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "pricelists/TBarRep.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "reports/ReportEngineControl.h"
#include "services/Globales.h"
#include "services/MascarasConsulta.h"
#include "startup/Inicio.h"
#include "startup/LBM_Common.h"
#include "support/TestFiles.h"
#include "support/ToolProcess.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

#include "VentanaDemoTest.h"

namespace {

// The window on a demo database: the start-up only opens the database; the hooks of the printing
// and the lookup are counted.
class VentanaPrueba final : public Rp_Tarifolio
{
public:
    explicit VentanaPrueba(QString archivo)
        : m_archivo(std::move(archivo))
    {
    }

    int impresiones = 0;
    QList<Destino> destinos;
    QList<bool> porMail;
    int consultas = 0;
    int inicios = 0;

protected:
    void IniciaAplicacion() override
    {
        ++inicios;
        testsupport::abreBaseDemo(m_archivo);
    }
    void ImprimirReportePrecios() override
    {
        ++impresiones;
        destinos << DestinoImpresion();
        porMail << EnviarPorMail();
    }
    void ConsultarCampo() override { ++consultas; }

private:
    QString m_archivo;
};

class Rp_TarifolioTest : public testsupport::VentanaDemoTest
{
protected:
    void SetUp() override
    {
        VentanaDemoTest::SetUp();
        if (HasFatalFailure())
            return;
        // The workstation's default look, so the window is measured as the operator sees it.
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("Styles/iTunes")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(RP_SHARE_DIR "/styles/iTunes/Normalitunes.ini"),
            m_dir.filePath(QStringLiteral("Styles/iTunes/Normalitunes.ini"))));
    }

    // A window loaded in the mode of `parametro` ("@ParametroAdicional").
    std::unique_ptr<VentanaPrueba> carga(const QString& parametro = QString())
    {
        m_inicio.gParametroAdicional = parametro;
        auto ventana = std::make_unique<VentanaPrueba>(m_file);
        ventana->Form_Load();
        EXPECT_TRUE(m_objects.gDB.gOpenFlag);
        return ventana;
    }

    // Runs a statement on a connection of its own, before the window opens the database.
    void prepara(const QString& sql)
    {
        DB_Dll db;
        ASSERT_NO_FATAL_FAILURE(abre(db, m_file));
        QString statement = sql;
        db.EjecutaConsultaSQL(statement);
        ASSERT_EQ(db.gCnn().Errors().Count(), 0) << sql.toStdString();
        db.gCnn().Close();
    }

    template <typename T> static T* control(const QWidget& ventana, const char* nombre)
    {
        T* encontrado = ventana.findChild<T*>(QLatin1String(nombre));
        EXPECT_NE(encontrado, nullptr) << nombre;
        return encontrado;
    }
    static bool visible(const QWidget& ventana, const char* nombre)
    {
        return control<QWidget>(ventana, nombre)->isVisibleTo(&ventana);
    }
    static QStringList items(const QListWidget* lista)
    {
        QStringList textos;
        for (int i = 0; i < lista->count(); ++i)
            textos << lista->item(i)->text();
        return textos;
    }
    static QStringList items(const QComboBox* combo)
    {
        QStringList textos;
        for (int i = 0; i < combo->count(); ++i)
            textos << combo->itemText(i);
        return textos;
    }
    // The template toolbar: its menu entry `clave`, or its button face when `clave` is null.
    static void plantilla(const QWidget& ventana, const char* nombre, const char* clave = nullptr)
    {
        control<QComboBox>(ventana, "CboPlantilla")->setEditText(QString::fromUtf8(nombre));
        auto* boton = control<QToolButton>(ventana, "TbarPlantilla");
        if (!clave) {
            boton->click();
            return;
        }
        auto* accion = boton->menu()->findChild<QAction*>(QLatin1String(clave));
        ASSERT_NE(accion, nullptr) << clave;
        accion->trigger();
    }
    static void tilda(QListWidget* lista, int fila, bool tildada = true)
    {
        lista->item(fila)->setCheckState(tildada ? Qt::Checked : Qt::Unchecked);
    }
    static QString condicion(const char* descripcion, const char* recargo)
    {
        return QString::fromUtf8(descripcion) + QStringLiteral(" (") + QLatin1String(recargo)
            + QStringLiteral("%)") + QString(60, u' ') + QLatin1String(recargo);
    }

    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
};

} // namespace

TEST_F(Rp_TarifolioTest, sales_mode_offers_the_conditions_and_is_7150_twips_high)
{
    const auto ventana = carga();

    EXPECT_EQ(ventana->inicios, 1);
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Listas de Precios de Ventas"));
    EXPECT_FALSE(ventana->ModoCompras());
    EXPECT_EQ(ventana->TipoLista(), QStringLiteral("V"));
    EXPECT_EQ(ventana->TablaPrecios(), QStringLiteral("V_MA_PRECIOS"));
    EXPECT_EQ(ventana->height(), Twips::toPixels(7150));
    EXPECT_TRUE(visible(*ventana, "FrmCpra_Vta"));
    EXPECT_TRUE(visible(*ventana, "CmbCpra_Vta"));
    EXPECT_FALSE(visible(*ventana, "lstCondiciones"));
    EXPECT_TRUE(visible(*ventana, "ChkSelectivo"));
    EXPECT_FALSE(control<QCheckBox>(*ventana, "ChkSelectivo")->isChecked());
    EXPECT_FALSE(visible(*ventana, "chkAnalisisCostos"));
    const QStringList condiciones {
        condicion("Contado efectivo", "-5"),
        condicion("Contado", "0"),
        condicion("Cuenta corriente 30 días", "4"),
        condicion("Cuenta corriente 60 días", "8"),
        condicion("Tarjeta de crédito 1 pago", "6"),
        condicion("Tarjeta de crédito 3 cuotas", "12.5"),
        condicion("Tarjeta de crédito 6 cuotas", "22"),
        condicion("Cheque diferido 30 días", "5"),
    };
    EXPECT_EQ(items(control<QComboBox>(*ventana, "CmbCpra_Vta")),
        QStringList { QString() } + condiciones);
    EXPECT_EQ(items(control<QListWidget>(*ventana, "lstCondiciones")), condiciones);
    // The operator reads the description and its percentage, not the surcharge kept at the end.
    for (const QAbstractItemView* vista :
        { static_cast<QAbstractItemView*>(control<QListWidget>(*ventana, "lstCondiciones")),
            control<QComboBox>(*ventana, "CmbCpra_Vta")->view() }) {
        const auto* delegado = qobject_cast<QStyledItemDelegate*>(vista->itemDelegate());
        ASSERT_NE(delegado, nullptr);
        EXPECT_EQ(delegado->displayText(condiciones.at(5), QLocale()),
            QStringLiteral("Tarjeta de crédito 3 cuotas (12.5%)"));
    }
    EXPECT_EQ(control<QListWidget>(*ventana, "LstListas")->count(), 0);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(Rp_TarifolioTest, purchase_mode_offers_the_analysis_with_the_sales_lists)
{
    const auto ventana = carga(QStringLiteral("c"));

    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Listas de Precios de Compras"));
    EXPECT_TRUE(ventana->ModoCompras());
    EXPECT_EQ(ventana->TipoLista(), QStringLiteral("C"));
    EXPECT_EQ(ventana->height(), Twips::toPixels(6495));
    EXPECT_FALSE(visible(*ventana, "FrmCpra_Vta"));
    EXPECT_FALSE(visible(*ventana, "ChkSelectivo"));
    EXPECT_TRUE(visible(*ventana, "chkAnalisisCostos"));
    // Groups of sales lists first, then the sales lists in no group; purchase lists never.
    auto* listas = control<QListWidget>(*ventana, "LstListas");
    EXPECT_EQ(items(listas),
        (QStringList {
            "Mayoristas", "Mostrador", QStringLiteral("   4"), QStringLiteral("   6") }));
    EXPECT_EQ(listas->currentRow(), 0);
    EXPECT_EQ(control<QComboBox>(*ventana, "CmbCpra_Vta")->count(), 0);
    EXPECT_EQ(control<QListWidget>(*ventana, "lstCondiciones")->count(), 0);
}

TEST_F(Rp_TarifolioTest, both_modes_open_in_the_normal_layout_with_todays_offer_date)
{
    for (const QString& parametro : { QString(), QStringLiteral("C") }) {
        const auto ventana = carga(parametro);

        EXPECT_TRUE(visible(*ventana, "Frame1"));
        EXPECT_TRUE(visible(*ventana, "Frame2"));
        EXPECT_TRUE(visible(*ventana, "Frame5"));
        EXPECT_FALSE(visible(*ventana, "Frame9"));
        EXPECT_TRUE(control<QRadioButton>(*ventana, "OptGROUP_3")->isChecked());
        EXPECT_TRUE(control<QRadioButton>(*ventana, "OptOrden_0")->isChecked());
        EXPECT_EQ(
            control<QLineEdit>(*ventana, "txtfields_11")->text(), QStringLiteral("15/03/2024"));
        EXPECT_EQ(control<QLineEdit>(*ventana, "txtfields_12")->text(), QString());
        EXPECT_FALSE(control<TBarRep>(*ventana, "TBarRep1")->ConsultaHabilitada());
        EXPECT_EQ(
            control<QComboBox>(*ventana, "CboPlantilla")->currentText(), QStringLiteral("General"));
        EXPECT_EQ(items(control<QComboBox>(*ventana, "CboPlantilla")), QStringList { "General" });
    }
}

TEST_F(Rp_TarifolioTest, criteria_fields_carry_their_data_fields_tags_and_lengths)
{
    const auto ventana = carga();
    const struct
    {
        const char* dataField;
        const char* tag;
        int largo;
    } campos[] = {
        { "ListaDesde", "V_MA_PRECIOS", 4 },
        { "ListaHasta", "V_MA_PRECIOS", 4 },
        { "NombreDesde", "V_MA_PRECIOS_NOMBRE", 50 },
        { "NombreHasta", "V_MA_PRECIOS_NOMBRE", 50 },
        { "RubroDesde", "V_ta_rubros", 50 },
        { "RubroHasta", "v_ta_rubros", 50 },
        { "ProveedorHasta", "vt_proveedores", 50 },
        { "ProveedorDesde", "vt_proveedores", 50 },
        { "FamiliaDesde", "v_ta_familias", 50 },
        { "FamiliaHasta", "v_ta_familias", 50 },
        { "Deposito", "v_ta_deposito", 50 },
        { "OfDesde", "FECHA", 10 },
        { "OfHasta", "FECHA", 10 },
    };
    ASSERT_EQ(ventana->txtfields().size(), 13);
    for (int i = 0; i < 13; ++i) {
        const QLineEdit* campo = ventana->txtfields()[i];
        EXPECT_EQ(campo->objectName(), QStringLiteral("txtfields_%1").arg(i));
        EXPECT_EQ(campo->property("DataField").toString(), QLatin1String(campos[i].dataField));
        EXPECT_EQ(campo->property("Tag").toString(), QLatin1String(campos[i].tag));
        EXPECT_EQ(campo->property("Index").toInt(), i);
        EXPECT_EQ(campo->maxLength(), campos[i].largo);
    }
    QStringList orden;
    for (const QRadioButton* opcion : ventana->OptOrden())
        orden << opcion->property("Tag").toString();
    EXPECT_EQ(orden,
        (QStringList { "{v_ma_articulos.idarticulo}", "{v_ma_articulos.Descripcion}",
            "{v_ma_articulos.idrubro}", "{v_ma_articulos.idtipo}",
            "{v_ma_articulos.cuentaProveedor}", "{v_ma_articulos.idfamilia}" }));
    EXPECT_EQ(ventana->OptGROUP().size(), 4);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ventana->ChkFiltro()[i]->property("Tag").toString(), QString::number(i));
}

TEST_F(Rp_TarifolioTest, class_captions_come_from_the_configuration_and_retail_hides_some)
{
    prepara(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'NOM_PCLASE3'"));
    prepara(
        QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '   ' WHERE CLAVE = 'NOM_PCLASE5'"));
    const struct
    {
        const char* retail;
        const char* parametro;
        const char* visibles; // ChkFiltro 0..8, 'v' shown
    } filas[] = {
        { "NO", "", "vvvvvvvvv" }, { "si", "", "v...vvvvv" }, { "SI", "C", "vvvv....." },
        { "SI ", "C", "vvvvvvvvv" }, // not trimmed: no retail
    };
    for (const auto& fila : filas) {
        prepara(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = 'RETAIL'")
                    .arg(QLatin1String(fila.retail)));
        // A stored state with every column ticked: the hidden ones still come back unticked.
        const auto primera = carga(QLatin1String(fila.parametro));
        for (QCheckBox* columna : primera->ChkFiltro())
            columna->setChecked(true);
        m_estado.GuardaEstadoFormulario(primera.get());

        const auto ventana = carga(QLatin1String(fila.parametro));

        QString visibles;
        QString tildes;
        for (const QCheckBox* columna : ventana->ChkFiltro()) {
            visibles += columna->isVisibleTo(ventana.get()) ? u'v' : u'.';
            tildes += columna->isChecked() ? u'x' : u'.';
        }
        EXPECT_EQ(visibles, QLatin1String(fila.visibles)) << fila.retail << fila.parametro;
        EXPECT_EQ(tildes, QString(visibles).replace(u'v', u'x')) << fila.retail;
        EXPECT_EQ(ventana->UsaRetail(), QByteArray(fila.retail).toUpper() == "SI");
        QStringList titulos;
        for (const QCheckBox* columna : ventana->ChkFiltro())
            titulos << columna->text();
        EXPECT_EQ(titulos,
            (QStringList { "Costo", "Contado", "Cuenta Corriente", "CLASE 3", "Mayorista",
                "CLASE 5", "Distribuidor", "Tarjeta 3 cuotas", "Especial" }));
    }
}

TEST_F(Rp_TarifolioTest, each_mode_gets_back_its_own_criteria_but_never_the_other_modes_boxes)
{
    {
        const auto ventas = carga();
        control<QLineEdit>(*ventas, "txtfields_0")->setText(QStringLiteral("1"));
        control<QLineEdit>(*ventas, "txtfields_2")->setText(QStringLiteral("Tornillos"));
        control<QLineEdit>(*ventas, "txtfields_10")->setText(QStringLiteral("   1"));
        control<QLineEdit>(*ventas, "txtfields_11")->setText(QStringLiteral("01/01/2020"));
        control<QLineEdit>(*ventas, "txtfields_12")->setText(QStringLiteral("31/12/2020"));
        control<QRadioButton>(*ventas, "OptOrden_4")->setChecked(true);
        control<QRadioButton>(*ventas, "OptGROUP_1")->setChecked(true);
        control<QCheckBox>(*ventas, "ChkSelectivo")->setChecked(true);
        control<QCheckBox>(*ventas, "ChkEtiquetas")->setChecked(true);
        m_estado.GuardaEstadoFormulario(ventas.get());
    }
    {
        const auto compras = carga(QStringLiteral("C"));

        EXPECT_EQ(control<QLineEdit>(*compras, "txtfields_0")->text(), QString());
        EXPECT_EQ(control<QLineEdit>(*compras, "txtfields_2")->text(), QString());
        EXPECT_EQ(control<QLineEdit>(*compras, "txtfields_12")->text(), QString());
        EXPECT_TRUE(control<QRadioButton>(*compras, "OptOrden_0")->isChecked());
        EXPECT_FALSE(control<QCheckBox>(*compras, "ChkEtiquetas")->isChecked());
        control<QLineEdit>(*compras, "txtfields_0")->setText(QStringLiteral("20"));
        control<QLineEdit>(*compras, "txtfields_1")->setText(QStringLiteral("22"));
        control<QCheckBox>(*compras, "chkAnalisisCostos")->setChecked(true);
        m_estado.GuardaEstadoFormulario(compras.get());
    }

    const auto ventas = carga();

    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_0")->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_1")->text(), QString());
    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_2")->text(), QStringLiteral("Tornillos"));
    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_10")->text(), QString());
    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_11")->text(), QStringLiteral("15/03/2024"));
    EXPECT_EQ(control<QLineEdit>(*ventas, "txtfields_12")->text(), QStringLiteral("31/12/2020"));
    EXPECT_TRUE(control<QRadioButton>(*ventas, "OptOrden_4")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*ventas, "OptGROUP_3")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(*ventas, "ChkEtiquetas")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(*ventas, "ChkSelectivo")->isChecked());

    const auto compras = carga(QStringLiteral("C"));

    EXPECT_EQ(control<QLineEdit>(*compras, "txtfields_0")->text(), QStringLiteral("20"));
    EXPECT_EQ(control<QLineEdit>(*compras, "txtfields_1")->text(), QStringLiteral("22"));
    EXPECT_FALSE(control<QCheckBox>(*compras, "chkAnalisisCostos")->isChecked());
    EXPECT_FALSE(visible(*compras, "Frame9"));
    // A state stored before the modes were kept apart serves either mode, less what that mode
    // neither shows nor lets the operator clear.
    ASSERT_TRUE(QFile::remove(m_estado.archivo()));
    compras->setProperty("VarianteEstado", QVariant());
    control<QCheckBox>(*compras, "chkAnalisisCostos")->setChecked(true);
    m_estado.GuardaEstadoFormulario(compras.get());

    const auto anterior = carga();

    EXPECT_EQ(control<QLineEdit>(*anterior, "txtfields_0")->text(), QStringLiteral("20"));
    EXPECT_FALSE(control<QCheckBox>(*anterior, "chkAnalisisCostos")->isChecked());
    EXPECT_FALSE(visible(*anterior, "Frame9"));
    EXPECT_TRUE(visible(*anterior, "CmbCpra_Vta"));
    EXPECT_TRUE(control<QGroupBox>(*anterior, "FrmPrecios")->isEnabled());
}

TEST_F(Rp_TarifolioTest, the_analysis_box_swaps_the_list_frames_for_the_list_picker)
{
    const auto ventana = carga(QStringLiteral("C"));
    auto* analisis = control<QCheckBox>(*ventana, "chkAnalisisCostos");
    auto* desde = control<QLineEdit>(*ventana, "txtfields_0");
    desde->setText(QStringLiteral("   1"));

    analisis->setChecked(true);

    EXPECT_FALSE(visible(*ventana, "Frame1"));
    EXPECT_FALSE(visible(*ventana, "Frame2"));
    EXPECT_FALSE(visible(*ventana, "Frame5"));
    EXPECT_TRUE(visible(*ventana, "Frame9"));
    EXPECT_EQ(desde->text(), QStringLiteral("   1"));

    analisis->setChecked(false);

    EXPECT_TRUE(visible(*ventana, "Frame1"));
    EXPECT_TRUE(visible(*ventana, "Frame5"));
    EXPECT_FALSE(visible(*ventana, "Frame9"));
}

TEST_F(Rp_TarifolioTest, the_list_picker_refuses_a_fifth_tick_with_a_message)
{
    prepara(QStringLiteral("INSERT INTO V_MA_PRECIOSCAB (IDLISTA, NOMBRE, TIPOLISTA) "
                           "VALUES ('   9', 'Lista Feria', 'V')"));
    const auto ventana = carga(QStringLiteral("C"));
    auto* listas = control<QListWidget>(*ventana, "LstListas");
    ASSERT_EQ(listas->count(), 5);
    for (int i = 0; i < 4; ++i)
        tilda(listas, i);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    testsupport::messages().answer(Msg::Ok);

    tilda(listas, 4);

    EXPECT_EQ(listas->item(4)->checkState(), Qt::Unchecked);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const testsupport::ShownBox caja = testsupport::messages().shown().first();
    EXPECT_EQ(caja.title, QStringLiteral("Aviso al Usuario"));
    EXPECT_EQ(caja.style, Msg::Information + Msg::OkOnly);
    EXPECT_EQ(caja.text,
        QStringLiteral("Solo puede seleccionar un máximo de 4 listas o grupos para el análisis "
                       "de precios."));

    tilda(listas, 0, false);
    tilda(listas, 4);

    EXPECT_EQ(listas->item(4)->checkState(), Qt::Checked);
    EXPECT_EQ(testsupport::messages().shown().size(), 1);
}

TEST_F(Rp_TarifolioTest, margin_offer_and_selective_boxes_switch_their_controls)
{
    const auto ventana = carga();
    auto* margen = control<QCheckBox>(*ventana, "chkIncluirMargen");
    auto* resumido = control<QCheckBox>(*ventana, "chkMargenResumido");
    auto* ofertas = control<QCheckBox>(*ventana, "ChkArticulosEnOferta");
    auto* desde = control<QLineEdit>(*ventana, "txtfields_11");
    auto* hasta = control<QLineEdit>(*ventana, "txtfields_12");
    auto* selectivo = control<QCheckBox>(*ventana, "ChkSelectivo");
    EXPECT_TRUE(resumido->isEnabled()); // the load does not couple them
    EXPECT_FALSE(desde->isEnabled()); // the box opens unticked
    EXPECT_TRUE(hasta->isEnabled());

    margen->setChecked(true);
    resumido->setChecked(true);
    margen->setChecked(false);
    EXPECT_FALSE(resumido->isChecked());
    EXPECT_FALSE(resumido->isEnabled());
    margen->setChecked(true);
    EXPECT_TRUE(resumido->isEnabled());
    EXPECT_FALSE(resumido->isChecked());

    ventana->show();
    QApplication::setActiveWindow(ventana.get());
    ofertas->setChecked(true);
    EXPECT_TRUE(desde->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), desde);
    EXPECT_TRUE(hasta->isEnabled());
    ofertas->setChecked(false);
    EXPECT_FALSE(desde->isEnabled());
    EXPECT_TRUE(hasta->isEnabled());

    ventana->ChkFiltro()[2]->setChecked(true);
    selectivo->setChecked(true);
    EXPECT_FALSE(visible(*ventana, "CmbCpra_Vta"));
    EXPECT_TRUE(visible(*ventana, "lstCondiciones"));
    EXPECT_FALSE(control<QGroupBox>(*ventana, "FrmPrecios")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(*ventana, "chkIncluirEnCero")->isEnabled());
    EXPECT_TRUE(ventana->ChkFiltro()[2]->isChecked());
    selectivo->setChecked(false);
    EXPECT_TRUE(visible(*ventana, "CmbCpra_Vta"));
    EXPECT_FALSE(visible(*ventana, "lstCondiciones"));
    for (const QCheckBox* columna : ventana->ChkFiltro())
        EXPECT_TRUE(columna->isEnabled());
    ventana->hide();

    ofertas->setChecked(true);
    m_estado.GuardaEstadoFormulario(ventana.get());
    const auto otra = carga();
    EXPECT_TRUE(control<QLineEdit>(*otra, "txtfields_11")->isEnabled());
}

TEST_F(Rp_TarifolioTest, toolbar_keys_set_the_destination_and_print)
{
    const auto ventana = carga();
    auto* barra = control<TBarRep>(*ventana, "TBarRep1");
    using D = Rp_Tarifolio::Destino;

    testsupport::environment().setVariable(QStringLiteral("TEMP"), m_dir.path());
    RT_Crystal2::gArchivoRptTemporal.clear();
    for (const char* clave : { "pantalla", "IMPRESORA", "Mensaje", "PANTALLA", "nada" })
        Q_EMIT barra->BotonClick(QLatin1String(clave));

    // The e-mail key asked for a new report file in the temporary folder (named by the time).
    EXPECT_EQ(RT_Crystal2::gArchivoRptTemporal, m_dir.path() + QStringLiteral("/103045.RPT"));
    EXPECT_EQ(ventana->impresiones, 4);
    EXPECT_EQ(ventana->destinos, (QList<D> { D::Pantalla, D::Impresora, D::Archivo, D::Pantalla }));
    EXPECT_EQ(ventana->porMail, (QList<bool> { false, false, true, false }));
    EXPECT_FALSE(ventana->EnviarPorMail());

    Q_EMIT barra->BotonClick(QStringLiteral("Consultar"));
    control<QToolButton>(*barra, "botonIMPRESORA")->click();

    EXPECT_EQ(ventana->consultas, 1);
    EXPECT_EQ(ventana->impresiones, 5);
    EXPECT_EQ(ventana->destinos.last(), D::Impresora);
}

TEST_F(Rp_TarifolioTest, closing_stores_the_state_and_ends_the_program)
{
    for (const char* como : { "CERRAR", "cerrar", "ventana" }) {
        testsupport::programEnd() = testsupport::FakeProgramEnd();
        const auto ventana = carga();
        control<QLineEdit>(*ventana, "txtfields_3")->setText(QLatin1String(como));
        ventana->show();

        if (QByteArray(como) == "ventana")
            EXPECT_THROW(ventana->close(), testsupport::ProgramEnded);
        else
            EXPECT_THROW(
                Q_EMIT control<TBarRep>(*ventana, "TBarRep1")->BotonClick(QLatin1String(como)),
                testsupport::ProgramEnded);

        EXPECT_EQ(testsupport::programEnd().calls(), 1) << como;
        EXPECT_FALSE(ventana->isVisible());
        IniFile ini;
        ASSERT_TRUE(ini.load(m_estado.archivo()));
        EXPECT_EQ(
            ini.value(QStringLiteral("Rp_Tarifolio#V|ADMIN"), QStringLiteral("txtfields_3.Text")),
            QLatin1String(como));
    }
}

TEST_F(Rp_TarifolioTest, templates_are_saved_listed_applied_and_deleted_from_the_template_toolbar)
{
    const auto ventana = carga();
    auto* caja = control<QComboBox>(*ventana, "CboPlantilla");
    auto* nombre = control<QLineEdit>(*ventana, "txtfields_2");
    auto* deposito = control<QLineEdit>(*ventana, "txtfields_10");
    auto* descripcion = control<QLabel>(*ventana, "lblDescDep");
    auto* etiquetas = control<QCheckBox>(*ventana, "ChkEtiquetas");
    auto* porNombre = control<QRadioButton>(*ventana, "OptOrden_1");
    nombre->setText(QStringLiteral("Ferretería O'Higgins"));
    deposito->setText(QStringLiteral("   2"));
    etiquetas->setChecked(true);
    porNombre->setChecked(true);
    ventana->ChkFiltro()[3]->setChecked(true);

    plantilla(*ventana, "D'Angelo", "Grabar");
    deposito->setText(QStringLiteral("   7")); // no such warehouse
    plantilla(*ventana, "Depósito 7", "Grabar");

    EXPECT_EQ(items(caja), (QStringList { "D'Angelo", "Depósito 7" }));
    EXPECT_EQ(caja->currentText(), QStringLiteral("Depósito 7"));

    nombre->setText(QStringLiteral("Otro"));
    deposito->setText(QStringLiteral("   1"));
    etiquetas->setChecked(false);
    control<QRadioButton>(*ventana, "OptOrden_4")->setChecked(true);
    ventana->ChkFiltro()[3]->setChecked(false);

    plantilla(*ventana, "D'Angelo"); // the button face applies

    EXPECT_EQ(nombre->text(), QStringLiteral("Ferretería O'Higgins"));
    EXPECT_EQ(deposito->text().trimmed(), QStringLiteral("2"));
    // The description follows the applied code, so the stock column printed is that warehouse's.
    EXPECT_EQ(descripcion->text(), QStringLiteral("Salón de Ventas"));
    EXPECT_TRUE(etiquetas->isChecked());
    EXPECT_TRUE(porNombre->isChecked());
    EXPECT_TRUE(ventana->ChkFiltro()[3]->isChecked());
    EXPECT_EQ(caja->currentText(), QStringLiteral("D'Angelo"));

    plantilla(*ventana, "Depósito 7", "Aplicar");

    EXPECT_EQ(deposito->text().trimmed(), QStringLiteral("7"));
    EXPECT_EQ(descripcion->text(), QStringLiteral("..."));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());

    // A name with no template changes nothing.
    nombre->setText(QStringLiteral("Sin cambios"));
    plantilla(*ventana, "Inexistente");
    EXPECT_EQ(nombre->text(), QStringLiteral("Sin cambios"));

    testsupport::messages().answer(Msg::No);
    plantilla(*ventana, "D'Angelo", "Eliminar");
    EXPECT_EQ(items(caja), (QStringList { "D'Angelo", "Depósito 7" }));
    testsupport::messages().answer(Msg::Yes);
    plantilla(*ventana, "D'Angelo", "Eliminar");

    ASSERT_EQ(testsupport::messages().shown().size(), 2);
    EXPECT_EQ(testsupport::messages().shown().last().text,
        QStringLiteral("Seguro desea borrar la plantilla D'Angelo"));
    EXPECT_EQ(items(caja), QStringList { "Depósito 7" });
    EXPECT_EQ(caja->currentText(), QStringLiteral("General"));

    testsupport::messages().answer(Msg::Yes);
    plantilla(*ventana, "Depósito 7", "Eliminar");
    EXPECT_EQ(items(caja), QStringList { "General" });
}

TEST_F(Rp_TarifolioTest, a_blank_template_name_is_ignored_by_the_button_and_refused_by_the_menu)
{
    const auto ventana = carga();
    auto* nombre = control<QLineEdit>(*ventana, "txtfields_2");
    nombre->setText(QStringLiteral("Tornillos"));

    plantilla(*ventana, "   ");
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    testsupport::messages().answer(Msg::Ok);
    plantilla(*ventana, "", "Grabar");

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().first().text,
        QStringLiteral("Debe seleccionar una plantilla"));
    EXPECT_EQ(testsupport::messages().shown().first().title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(items(control<QComboBox>(*ventana, "CboPlantilla")), QStringList { "General" });
    EXPECT_EQ(nombre->text(), QStringLiteral("Tornillos"));
}

TEST_F(Rp_TarifolioTest, a_template_of_the_other_mode_leaves_out_what_this_mode_hides)
{
    // Both modes with RETAIL: purchases show the classes 1 to 3, sales the classes 4 to 8.
    prepara(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'RETAIL'"));
    const struct
    {
        const char* nombre;
        const char* guardaEn;
        const char* aplicaEn;
        const char* caja; // the other mode's box, ticked when saved
        int clases[2]; // classes ticked when saved, hidden where applied
        const char* visibles;
    } filas[] = {
        { "Compras", "C", "", "chkAnalisisCostos", { 1, 2 }, "v...vvvvv" },
        { "Ventas", "", "C", "ChkSelectivo", { 5, 6 }, "vvvv....." },
    };
    for (const auto& fila : filas) {
        const QString nombre = QLatin1String(fila.nombre);
        {
            const auto origen = carga(QLatin1String(fila.guardaEn));
            control<QCheckBox>(*origen, fila.caja)->setChecked(true);
            for (int clase : fila.clases)
                origen->ChkFiltro()[clase]->setChecked(true);
            origen->ChkFiltro()[0]->setChecked(false);
            control<QCheckBox>(*origen, "ChkEtiquetas")->setChecked(true);
            plantilla(*origen, fila.nombre, "Grabar");
        }
        const auto ventana = carga(QLatin1String(fila.aplicaEn));
        EXPECT_TRUE(items(control<QComboBox>(*ventana, "CboPlantilla")).contains(nombre));

        plantilla(*ventana, fila.nombre, "Aplicar");

        EXPECT_TRUE(control<QCheckBox>(*ventana, "ChkEtiquetas")->isChecked()) << fila.caja;
        EXPECT_FALSE(control<QCheckBox>(*ventana, fila.caja)->isChecked()) << fila.caja;
        EXPECT_FALSE(visible(*ventana, fila.caja)) << fila.caja;
        // The normal and single-condition layouts, price columns usable.
        EXPECT_TRUE(visible(*ventana, "Frame1"));
        EXPECT_TRUE(visible(*ventana, "Frame5"));
        EXPECT_FALSE(visible(*ventana, "Frame9"));
        EXPECT_TRUE(control<QGroupBox>(*ventana, "FrmPrecios")->isEnabled());
        QString visibles;
        QString tildes;
        for (const QCheckBox* columna : ventana->ChkFiltro()) {
            visibles += columna->isVisibleTo(ventana.get()) ? u'v' : u'.';
            tildes += columna->isChecked() ? u'x' : u'.';
            EXPECT_TRUE(columna->isEnabled());
        }
        EXPECT_EQ(visibles, QLatin1String(fila.visibles)) << fila.caja;
        EXPECT_EQ(tildes, QStringLiteral(".........")) << fila.caja;
    }
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

namespace {

// The window with the program's own start-up, on a parameter string of its own in place of the
// command line.
class VentanaConInicio final : public Rp_Tarifolio
{
public:
    explicit VentanaConInicio(QString parametros)
        : m_parametros(std::move(parametros))
    {
    }

protected:
    void IniciaAplicacion() override
    {
        QString cadenaConexion;
        ::IniciaAplicacion(false, m_parametros, cadenaConexion, adUseClient);
    }

private:
    QString m_parametros;
};

// Every entry under `carpeta` with its size and time: what a run must leave as it was.
QStringList contenido(const QString& carpeta)
{
    QStringList entradas;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entradas << info.filePath() + u' ' + QString::number(info.size()) + u' '
                + info.lastModified().toString(Qt::ISODateWithMs);
    }
    entradas.sort();
    return entradas;
}

// Takes write permission from `carpeta` and everything in it, as an installation has it, or
// gives it back to its owner.
void soloLectura(const QString& carpeta, bool si)
{
    QStringList rutas { carpeta };
    QDirIterator it(carpeta, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        rutas << it.next();
    constexpr QFile::Permissions escritura
        = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    for (const QString& ruta : std::as_const(rutas)) {
        const QFile::Permissions permisos = QFileInfo(ruta).permissions();
        QFile::setPermissions(
            ruta, si ? permisos & ~escritura : permisos | QFile::WriteOwner | QFile::WriteUser);
    }
}

} // namespace

// An installation's program folder is read-only: the program starts from it, with the database
// elsewhere, reaches its window and writes nothing there. Root writes anywhere, so as root the
// same test is run once more as another account, for whom the folder is read-only indeed.
TEST_F(Rp_TarifolioTest, starts_from_a_read_only_program_folder)
{
    QTemporaryDir programa;
    ASSERT_TRUE(QDir(programa.path()).mkpath(QStringLiteral("Styles/iTunes")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(RP_SHARE_DIR "/styles/iTunes/Normalitunes.ini"),
        programa.filePath(QStringLiteral("Styles/iTunes/Normalitunes.ini"))));
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), programa.path());
    const QStringList antes = contenido(programa.path());
    Dll_DisplayQt cartel;
    const ScopedService<Dll_Display> cartelServicio(cartel);
    VentanaConInicio ventana(QStringLiteral("@server=SQLITE;@dbname=") + m_file
        + QStringLiteral(";@usuario=ADMIN;@Password=admin;@ParametroAdicional=;@Caja=1"));

    soloLectura(programa.path(), true);
    {
        const auto devuelve = qScopeGuard([&] { soloLectura(programa.path(), false); });
        ASSERT_NO_THROW(ventana.Form_Load());
    }

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_TRUE(m_objects.gDB.gOpenFlag);
    EXPECT_EQ(ventana.windowTitle(), QStringLiteral("Listas de Precios de Ventas"));
    EXPECT_EQ(control<QComboBox>(ventana, "CmbCpra_Vta")->count(), 9);
    EXPECT_EQ(contenido(programa.path()), antes);
    // The lookups' masks, which the program could not write beside itself, are in the data
    // folder, every record whole and naming the table its lookup reads.
    QFile mascaras(dataFolder() + QStringLiteral("/consultas.qzk"));
    ASSERT_TRUE(mascaras.open(QIODevice::ReadOnly));
    const QByteArray registros = mascaras.readAll();
    EXPECT_EQ(registros.size() % MascarasConsulta::LongitudRegistro, 0);
    QStringList tablas;
    for (qsizetype at = 0; at < registros.size(); at += MascarasConsulta::LongitudRegistro)
        tablas << MascarasConsulta::Decodifica(
            registros.mid(at, MascarasConsulta::LongitudRegistro))
                      .Tabla.trimmed();
    EXPECT_EQ(tablas,
        QStringList({ "V_MA_ARTICULOS", "VT_CLIENTES", "VT_PROVEEDORES", "MA_CONTACTOS",
            "V_TA_VENDEDORES", "V_TA_TECNICOS", "V_MA_MANTENIMIENTOS", "MA_CUENTAS", "V_TA_Tareas",
            "V_TA_UnidadNegocio", "V_TA_DEPOSITO" }));

    if (geteuid() == 0)
        testsupport::expectPassAsAnotherAccount("the program folder was read-only for nobody here");
}

// The files the program adds to start in the data folder as copies of an installation's, whose
// files are read-only for everyone, their owner too: each copy is its account's to write. Root
// writes any file, so as root the copies' mode tells it, and the test then runs as another
// account, for whom a read-only copy would refuse the first addition.
TEST(Rp_TarifolioInstalacion, adds_to_the_files_of_a_read_only_installation)
{
    QTemporaryDir programa;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), programa.path());
    const struct
    {
        const char* nombre;
        QByteArray antes;
        QByteArray despues;
    } archivos[] = {
        { "BASES.TXT", "A / B,A,A,X,B\r\n",
            "A / B,A,A,X,B\r\nC / D,C,C," + gUtilidades().Encripta(QStringLiteral("C")).toLatin1()
                + ",srv\r\n" },
        { "CONSULTASLEN.qzk", "\"MA_CUENTAS\",\"1000|\"\r\n",
            "\"MA_CUENTAS\",\"1000|\"\r\n\"VT_MA_ARTICULOS\",\"1440|4500|\"\r\n" },
        { "ZR417px.INI", "[General]\r\nClave=1\r\n", "[General]\r\nClave=1\r\nOtra=2\r\n" },
    };
    for (const auto& archivo : archivos)
        testsupport::writeFile(programa.filePath(QLatin1String(archivo.nombre)), archivo.antes);
    soloLectura(programa.path(), true);
    const auto devuelve = qScopeGuard([&] { soloLectura(programa.path(), false); });
    LBM_Common::gArchivoBases.clear();

    ASSERT_NO_THROW(LBM_Common::GrabarConexionBases(QStringLiteral("C / D"), QStringLiteral("C"),
        QStringLiteral("C"), QStringLiteral("C"), QStringLiteral("srv"), QString(), false));
    ASSERT_NO_THROW(ColumnWidthFile::grabar(
        ColumnWidthFile::rutaParaGrabar(), QStringLiteral("VT_MA_ARTICULOS"), { 1440, 4500 }));
    EXPECT_TRUE(LectorIni().EscribeIni(QStringLiteral("ZR417px.INI"), QStringLiteral("General"),
        QStringLiteral("Otra"), QStringLiteral("2")));

    LBM_Common::gArchivoBases.clear();
    for (const auto& archivo : archivos) {
        const QString copia = dataFolder() + u'/' + QLatin1String(archivo.nombre);
        EXPECT_EQ(testsupport::readFile(copia), archivo.despues) << archivo.nombre;
        EXPECT_EQ(QFileInfo(copia).permissions() & 0x0777,
            QFile::WriteUser | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther)
            << archivo.nombre;
    }
    if (geteuid() == 0)
        testsupport::expectPassAsAnotherAccount("the installation was read-only for nobody here");
}
