#include "pricelists/Rp_Tarifolio.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QToolButton>

#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "formhelpers/EstadoFormulario.h"
#include "formhelpers/EstiloFormulario.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/MessageDialog.h"
#include "platform/ProgramEnd.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "pricelists/ImpresionPrecios.h"
#include "pricelists/Plantillas.h"
#include "pricelists/TarifolioReglas.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "services/Configuracion.h"
#include "services/VariablesInicio.h"
#include "startup/Inicio.h"

#include "ui_Rp_Tarifolio.h"

namespace {

// The window as designed, in twips; sales mode recomputes the height (TarifolioReglas).
constexpr int AnchoDiseno = 7830;
constexpr int AltoDiseno = 6495;

template <typename Control>
QList<Control*> arreglo(const QWidget* form, const QString& nombre, int cantidad)
{
    QList<Control*> controles;
    for (int i = 0; i < cantidad; ++i) {
        auto* control = form->findChild<Control*>(nombre + u'_' + QString::number(i));
        Q_ASSERT(control);
        controles.append(control);
    }
    return controles;
}

// A check box's Value as the program reads it: 0 unticked, 1 ticked, 2 greyed.
int valor(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// A condition's item carries its surcharge once more after sixty blanks, for the printing to
// read; the operator sees its description and percentage only.
class VistaCondicion final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale&) const override
    {
        return TarifolioReglas::textoVisibleCondicion(value.toString());
    }
};

QListWidgetItem* itemTildable(const QString& texto)
{
    auto* item = new QListWidgetItem(texto);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

} // namespace

Rp_Tarifolio::Rp_Tarifolio(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::Rp_Tarifolio>())
    , m_reglas(std::make_unique<TarifolioReglas>(false, false))
{
    ui->setupUi(this);
    m_txtfields = arreglo<QLineEdit>(this, QStringLiteral("txtfields"), 13);
    m_optOrden = arreglo<QRadioButton>(this, QStringLiteral("OptOrden"), 6);
    m_optGroup = arreglo<QRadioButton>(this, QStringLiteral("OptGROUP"), 4);
    m_chkFiltro = arreglo<QCheckBox>(this, QStringLiteral("ChkFiltro"), 9);

    ui->CboPlantilla->setEditText(QStringLiteral("General"));
    // The template button's menu; what its entries do belongs to the template operations.
    auto* menu = new QMenu(ui->TbarPlantilla);
    for (const QString& entrada :
        { QStringLiteral("Aplicar"), QStringLiteral("Grabar"), QStringLiteral("Eliminar") }) {
        QAction* accion = menu->addAction(entrada);
        accion->setObjectName(entrada);
    }
    ui->TbarPlantilla->setMenu(menu);
    ui->TbarPlantilla->setProperty("Key", QStringLiteral("Plantilla"));
    ui->lstCondiciones->setItemDelegate(new VistaCondicion(ui->lstCondiciones));
    ui->CmbCpra_Vta->setItemDelegate(new VistaCondicion(ui->CmbCpra_Vta));
    // The height the mode gives the window beyond what its controls need is shared by the
    // criteria frames, so no empty band is left at its foot; a list shown (the selective
    // conditions, the analysis lists) takes it all, lists being the controls that grow.

    ajustaTamano(AltoDiseno);
    conectar();
}

Rp_Tarifolio::~Rp_Tarifolio() = default;

void Rp_Tarifolio::conectar()
{
    // Layout handlers follow the boxes' values, also when code changes them (a restored state,
    // the load).
    connect(ui->chkAnalisisCostos, &QCheckBox::stateChanged, this,
        [this](int) { chkAnalisisCostos_Click(); });
    connect(ui->ChkArticulosEnOferta, &QCheckBox::stateChanged, this,
        [this](int) { ChkArticulosEnOferta_Click(); });
    connect(ui->chkIncluirMargen, &QCheckBox::stateChanged, this,
        [this](int) { chkIncluirMargen_Click(); });
    connect(
        ui->ChkSelectivo, &QCheckBox::stateChanged, this, [this](int) { ChkSelectivo_Click(); });
    connect(ui->LstListas, &QListWidget::itemChanged, this,
        [this](QListWidgetItem* item) { LstListas_ItemCheck(ui->LstListas->row(item)); });
    connect(ui->TBarRep1, &TBarRep::BotonClick, this, &Rp_Tarifolio::TBarRep1_BotonClick);
    connect(
        ui->TbarPlantilla, &QToolButton::clicked, this, [this] { TbarPlantilla_ButtonClick(); });
    // A template picked from the list is read from its first letter, however long its name.
    connect(ui->CboPlantilla, &QComboBox::currentIndexChanged, this,
        [this](int) { ui->CboPlantilla->lineEdit()->setCursorPosition(0); });
    for (QAction* accion : ui->TbarPlantilla->menu()->actions()) {
        connect(accion, &QAction::triggered, this,
            [this, clave = accion->objectName()] { TbarPlantilla_ButtonMenuClick(clave); });
    }
    conectarCampos();
}

bool Rp_Tarifolio::ModoCompras() const
{
    return m_reglas->ModoCompras();
}

bool Rp_Tarifolio::UsaRetail() const
{
    return m_reglas->UsaRetail();
}

QString Rp_Tarifolio::TipoLista() const
{
    return m_reglas->TipoLista();
}

QLineEdit* Rp_Tarifolio::campo(const QString& dataField) const
{
    const int indice = gControles().IndiceControl(dataField, m_txtfields);
    return indice >= 0 && indice < m_txtfields.size() ? m_txtfields[indice] : nullptr;
}

void Rp_Tarifolio::ajustaTamano(int alturaTwips)
{
    // The window has the mode's size unless its controls need more: fonts and skins differ
    // between workstations, and a control cut off would be worse than a larger window.
    ensurePolished();
    layout()->activate();
    const QSize minimo = minimumSizeHint();
    setFixedSize(qMax(Twips::toPixels(AnchoDiseno), minimo.width()),
        qMax(Twips::toPixels(alturaTwips), minimo.height()));
}

void Rp_Tarifolio::IniciaAplicacion()
{
    // The parameter string comes from the command line; the connection text is built from it;
    // client-side cursors. No fallback to the connection stored in the INI file.
    QString cadenaConexion;
    ::IniciaAplicacion(false, QString(), cadenaConexion, adUseClient);
}

void Rp_Tarifolio::ImprimirReportePrecios()
{
    EstadoImpresion e;
    e.TablaPrecios = m_tablaPrecios;
    e.ModoCompras = ModoCompras();
    e.TipoLista = TipoLista();
    e.UsaRetail = UsaRetail();
    const auto texto = [this](const char* dataField) {
        const QLineEdit* control = campo(QString::fromLatin1(dataField));
        return control ? control->text() : QString();
    };
    e.ListaDesde = texto("ListaDesde");
    e.ListaHasta = texto("ListaHasta");
    e.NombreDesde = texto("NombreDesde");
    e.NombreHasta = texto("NombreHasta");
    e.RubroDesde = texto("RubroDesde");
    e.RubroHasta = texto("RubroHasta");
    e.ProveedorDesde = texto("ProveedorDesde");
    e.ProveedorHasta = texto("ProveedorHasta");
    e.FamiliaDesde = texto("FamiliaDesde");
    e.FamiliaHasta = texto("FamiliaHasta");
    e.OfDesde = texto("OfDesde");
    e.OfHasta = texto("OfHasta");
    e.Deposito = texto("Deposito");
    e.lblDescDep = ui->lblDescDep->text();
    e.chkAnalisisCostos = valor(ui->chkAnalisisCostos);
    e.ChkArticulosEnOferta = valor(ui->ChkArticulosEnOferta);
    e.ChkListaPPagina = valor(ui->ChkListaPPagina);
    e.ChkSelectivo = valor(ui->ChkSelectivo);
    e.chkIncluirEnCero = valor(ui->chkIncluirEnCero);
    e.chkIncluirMargen = valor(ui->chkIncluirMargen);
    e.chkMargenResumido = valor(ui->chkMargenResumido);
    e.ChkEtiquetas = valor(ui->ChkEtiquetas);
    for (const QCheckBox* box : std::as_const(m_chkFiltro))
        e.ChkFiltro << CasillaPrecio { valor(box), box->property("Tag").toString(), box->text() };
    for (const QRadioButton* opcion : std::as_const(m_optOrden))
        e.OptOrden << OpcionOrden { opcion->isChecked(), opcion->property("Tag").toString() };
    for (const QRadioButton* opcion : std::as_const(m_optGroup))
        e.OptGROUP << opcion->isChecked();
    e.CmbCpra_Vta = ui->CmbCpra_Vta->currentText();
    e.PorcentajeCpra_Vta = ImpresionPrecios::PorcentajeCondicion(e.CmbCpra_Vta);
    for (int i = 0; i < ui->lstCondiciones->count(); ++i) {
        const QListWidgetItem* item = ui->lstCondiciones->item(i);
        e.lstCondiciones << CondicionCpraVta { item->text(),
            ImpresionPrecios::PorcentajeCondicion(item->text()),
            item->checkState() == Qt::Checked };
    }
    for (int i = 0; i < ui->LstListas->count(); ++i) {
        if (ui->LstListas->item(i)->checkState() == Qt::Checked)
            e.ListasAnalisis << ui->LstListas->item(i)->text();
    }

    // The toolbar's choice goes with the job to the report object and the driver.
    switch (m_destino) {
    case Destino::Pantalla:
        e.Destino = DLL_Print::DestinoPantalla;
        break;
    case Destino::Impresora:
        e.Destino = DLL_Print::DestinoImpresora;
        break;
    case Destino::Archivo:
        e.Destino = DLL_Print::DestinoArchivo;
        break;
    }
    e.EnviarPorMail = m_enviarPorMail;
    ImpresionPrecios impresion;
    impresion.ImprimirReportePrecios(e);
}

void Rp_Tarifolio::CargaComboPlantillas()
{
    Plantillas::CargaComboPlantillas(objectName(), this);
}

void Rp_Tarifolio::Form_Load()
{
    IniciaAplicacion();
    EstiloFormulario::AplicaSkinFormulario(this);
    gEstadoFormulario().PreparaFormulario(this, false);
    EstiloFormulario::AplicaIconoYBarras(this);
    ui->TBarRep1->setConsultaHabilitada(false);
    m_tablaPrecios = QStringLiteral("V_MA_PRECIOS");

    // Each mode keeps the criteria it was left with: purchase lists mean nothing in sales mode.
    // The mode is fixed by the start-up alone, so it is known before the state comes back.
    setProperty("VarianteEstado",
        TarifolioReglas::esModoCompras(gInicio().gParametroAdicional) ? QStringLiteral("C")
                                                                      : QStringLiteral("V"));
    gEstadoFormulario().RecuperaEstadoFormulario(this, QString());
    // A warehouse is never carried over into a new run.
    if (QLineEdit* deposito = campo(QStringLiteral("DEPOSITO")))
        deposito->clear();

    QString aux;
    const bool usaRetail = TarifolioReglas::esRetail(
        Configuracion::Cfg(QStringLiteral("RETAIL"), aux, QStringLiteral("DATOS")));
    m_reglas = std::make_unique<TarifolioReglas>(
        TarifolioReglas::esModoCompras(gInicio().gParametroAdicional), usaRetail);
    aplicaModo();

    if (QLineEdit* desde = campo(QStringLiteral("ofdesde")))
        desde->setText(TarifolioReglas::fechaCorta(Today()));
    // A box restored unticked sends no change, so the start date is set from it here.
    ChkArticulosEnOferta_Click();
    CargarChecks();
    m_optGroup[3]->setChecked(true);
    // The window always opens in the normal layout, whatever state came back.
    ui->chkAnalisisCostos->setChecked(false);
    chkAnalisisCostos_Click();
    CargaComboPlantillas();
}

void Rp_Tarifolio::aplicaModo()
{
    setWindowTitle(m_reglas->titulo());
    // The box of the other mode is cleared as well as hidden: a state stored in one mode must not
    // change the report the other mode prints.
    ui->FrmCpra_Vta->setVisible(m_reglas->muestraCondiciones());
    if (m_reglas->ModoCompras()) {
        ui->ChkSelectivo->setChecked(false);
        ui->ChkSelectivo->setVisible(false);
        ui->chkAnalisisCostos->setVisible(true);
        ajustaTamano(AltoDiseno);
        CargarListasAnalisis();
    } else {
        ajustaTamano(TarifolioReglas::alturaVentas());
        CargarCondicionesCpraVta();
        ui->ChkSelectivo->setChecked(false);
        ChkSelectivo_Click();
        ui->ChkSelectivo->setVisible(true);
        ui->chkAnalisisCostos->setChecked(false);
        ui->chkAnalisisCostos->setVisible(false);
    }
}

void Rp_Tarifolio::CargarListasAnalisis()
{
    Steps pasos = Steps::silent();
    ui->LstListas->clear();
    const QStringList sentencias = TarifolioReglas::sentenciasListasAnalisis();
    const QStringList campos = TarifolioReglas::camposListasAnalisis();
    for (qsizetype i = 0; i < sentencias.size(); ++i) {
        AdoRecordset rs;
        QString sql = sentencias[i];
        pasos.run([&] { gDB().AbrirRecordset(sql, rs); });
        pasos.run([&] {
            if (rs.Bof() && rs.Eof())
                return;
            for (; !rs.Eof(); rs.MoveNext())
                ui->LstListas->addItem(
                    itemTildable(gUtilidades().ValorCampo(rs.Fields(campos[i]).Value())));
        });
        pasos.run([&] { gDB().CierraRecordset(rs); });
    }
    ui->LstListas->setCurrentRow(0);
}

void Rp_Tarifolio::CargarCondicionesCpraVta()
{
    Steps pasos = Steps::silent();
    AdoRecordset rs;
    QString sql = TarifolioReglas::sentenciaCondiciones();
    pasos.run([&] { gDB().AbrirRecordset(sql, rs); });
    ui->CmbCpra_Vta->clear();
    ui->CmbCpra_Vta->addItem(QString());
    // The selective list is not emptied: the load fills it once per run.
    pasos.run([&] {
        if (rs.Bof() && rs.Eof())
            return;
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString texto
                = TarifolioReglas::textoCondicion(rs.Fields(QStringLiteral("Descripcion")).Value(),
                    rs.Fields(QStringLiteral("PORCRECARGO")).Value());
            ui->CmbCpra_Vta->addItem(texto);
            ui->lstCondiciones->addItem(itemTildable(texto));
        }
    });
    pasos.run([&] { gDB().CierraRecordset(rs); });
}

void Rp_Tarifolio::CargarChecks()
{
    for (int i = 1; i <= 8; ++i) {
        QString aux;
        const QString valor = Configuracion::Cfg(
            TarifolioReglas::claveTituloClase(i), aux, QStringLiteral("DATOS"));
        m_chkFiltro[i]->setText(TarifolioReglas::tituloClase(i, valor));
    }
    ocultaClasesRetail();
}

void Rp_Tarifolio::ocultaClasesRetail()
{
    for (int i = 1; i <= 8; ++i) {
        if (!m_reglas->claseOculta(i))
            continue;
        m_chkFiltro[i]->setChecked(false);
        m_chkFiltro[i]->setVisible(false);
    }
}

void Rp_Tarifolio::chkAnalisisCostos_Click()
{
    const bool analisis = ui->chkAnalisisCostos->checkState() == Qt::Checked;
    ui->Frame1->setVisible(!analisis);
    ui->Frame2->setVisible(!analisis);
    ui->Frame5->setVisible(!analisis);
    ui->Frame9->setVisible(analisis);
}

void Rp_Tarifolio::ChkArticulosEnOferta_Click()
{
    const Qt::CheckState valor = ui->ChkArticulosEnOferta->checkState();
    // Only the start date follows the box; the end date stays editable whatever it holds.
    QLineEdit* desde = campo(QStringLiteral("ofdesde"));
    if (!desde)
        return;
    desde->setEnabled(valor != Qt::Unchecked);
    // A window that cannot take the focus yet (hidden while it loads) simply does not move it.
    if (valor == Qt::Checked)
        desde->setFocus();
}

void Rp_Tarifolio::chkIncluirMargen_Click()
{
    if (ui->chkIncluirMargen->checkState() != Qt::Unchecked) {
        ui->chkMargenResumido->setEnabled(true);
        return;
    }
    ui->chkMargenResumido->setChecked(false);
    ui->chkMargenResumido->setEnabled(false);
}

void Rp_Tarifolio::ChkSelectivo_Click()
{
    // With several conditions chosen the printing decides the columns itself: the price columns
    // cannot be chosen, though they keep their ticks.
    const bool selectivo = ui->ChkSelectivo->checkState() != Qt::Unchecked;
    ui->CmbCpra_Vta->setVisible(!selectivo);
    ui->lstCondiciones->setVisible(selectivo);
    ui->FrmPrecios->setEnabled(!selectivo);
    for (QCheckBox* columna : std::as_const(m_chkFiltro))
        columna->setEnabled(!selectivo);
}

void Rp_Tarifolio::LstListas_ItemCheck(int item)
{
    QListWidgetItem* elegido = ui->LstListas->item(item);
    if (!elegido || elegido->checkState() != Qt::Checked)
        return;
    int tildadas = 0;
    for (int i = 0; i < ui->LstListas->count(); ++i) {
        if (ui->LstListas->item(i)->checkState() == Qt::Checked)
            ++tildadas;
    }
    if (!TarifolioReglas::excedeListas(tildadas))
        return;
    elegido->setCheckState(Qt::Unchecked);
    MsgBox(TarifolioReglas::avisoMaximoListas(), Msg::Information + Msg::OkOnly,
        QStringLiteral("Aviso al Usuario"));
}

void Rp_Tarifolio::TBarRep1_BotonClick(const QString& clave)
{
    m_enviarPorMail = false;
    const TarifolioReglas::Accion accion = TarifolioReglas::accionBarra(clave);
    // The toolbar takes no focus: the field being edited is checked first, as leaving it would,
    // so a warehouse just typed reaches the print.
    if (accion == TarifolioReglas::Accion::Pantalla || accion == TarifolioReglas::Accion::Impresora
        || accion == TarifolioReglas::Accion::Mensaje)
        validaCampoActivo();
    switch (accion) {
    case TarifolioReglas::Accion::Pantalla:
        m_destino = Destino::Pantalla;
        ImprimirReportePrecios();
        break;
    case TarifolioReglas::Accion::Impresora:
        m_destino = Destino::Impresora;
        ImprimirReportePrecios();
        break;
    case TarifolioReglas::Accion::Mensaje: {
        // The report goes to a new temporary file in the engine's own format (7, ".RPT"), which
        // the report driver hands to the document sender.
        m_destino = Destino::Archivo;
        gReporte().DestinoImpresion(DLL_Print::DestinoArchivo);
        QString extension = QStringLiteral(".RPT");
        RT_Crystal2::gArchivoRptTemporal = RT_Crystal2::ArchivoTemporal(QString(), extension);
        gReporte().AsignaPropiedad(
            QStringLiteral("PrintFileName"), Value(RT_Crystal2::gArchivoRptTemporal));
        gReporte().AsignaPropiedad(QStringLiteral("PrintFileType"), Value(qint32(7)));
        m_enviarPorMail = true;
        ImprimirReportePrecios();
        break;
    }
    case TarifolioReglas::Accion::Consultar:
        ConsultarCampo();
        break;
    case TarifolioReglas::Accion::Cerrar:
        Form_Unload();
        break;
    case TarifolioReglas::Accion::Ninguna:
        break;
    }
}

void Rp_Tarifolio::Form_Unload()
{
    m_descargando = true;
    Steps pasos = Steps::silent();
    pasos.run([&] { gEstadoFormulario().GuardaEstadoFormulario(this, QString()); });
    pasos.run([&] { hide(); });
    // Nothing else is saved; the end of the program closes the connections, the rest goes with
    // the process.
    endProgram(0);
}

void Rp_Tarifolio::keyPressEvent(QKeyEvent* event)
{
    int keyCode = VbKey::fromQt(event->key());
    if (keyCode != 0 && event->modifiers() == Qt::NoModifier && ui->TBarRep1->ProcesaTecla(keyCode))
        return;
    QWidget::keyPressEvent(event);
}

void Rp_Tarifolio::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_descargando)
        Form_Unload();
}

void Rp_Tarifolio::TbarPlantilla_ButtonClick()
{
    if (Plantillas::BotonPlantilla(objectName(), this))
        plantillaAplicada();
}

void Rp_Tarifolio::TbarPlantilla_ButtonMenuClick(const QString& clave)
{
    if (Plantillas::MenuPlantilla(clave, objectName(), this))
        plantillaAplicada();
}

void Rp_Tarifolio::plantillaAplicada()
{
    // Templates are shared by both modes: one saved in the other mode may tick that mode's box,
    // which this mode neither shows nor lets the operator clear, and which would change the
    // report. The box is cleared as the load clears it; the layouts follow the click handlers.
    if (ModoCompras()) {
        ui->ChkSelectivo->setChecked(false);
        ui->ChkSelectivo->setVisible(false);
        ChkSelectivo_Click();
    } else {
        ui->chkAnalisisCostos->setChecked(false);
        ui->chkAnalisisCostos->setVisible(false);
        chkAnalisisCostos_Click();
    }
    ocultaClasesRetail();
    // The printing takes the stock and the warehouse condition from the description label, so it
    // must describe the code the template brought, not the one typed before.
    refrescaDeposito();
}

void Rp_Tarifolio::refrescaDeposito()
{
    const QLineEdit* deposito = campo(QStringLiteral("deposito"));
    const auto descripcion = deposito ? descripcionDeposito(deposito->text()) : std::nullopt;
    ui->lblDescDep->setText(descripcion.value_or(QStringLiteral("...")));
}
