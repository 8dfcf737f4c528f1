#include "lookup/Lib_FrmCons3.h"

#include <algorithm>

#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QStyle>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "lookup/ColumnWidthFile.h"
#include "lookup/LookupGridRules.h"
#include "platform/Clock.h"
#include "platform/InputDialog.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/ManejoErrores.h"
#include "services/ModEjecutar.h"
#include "ui_Lib_FrmCons3.h"

namespace {

// Search-box backgrounds: the box being typed in stands out.
const QColor FocusColor(0, 255, 255);
const QColor PlainColor(255, 255, 255);

// Each search box is this much narrower than its column, so the boxes never touch.
constexpr int BoxGapTwips = 50;

// Rows read when the query opens; the rest follow as the list scrolls to them or a search looks
// for them, so a lookup over a whole article file opens as fast as a small one.
constexpr qint64 PrimerasFilas = 256;
// Rows read per turn of a search that looks past the rows read, and the longest turn: the window
// answers keys between turns.
constexpr qint64 FilasPorTurno = 512;
constexpr qint64 TurnoMs = 15;

QChar workstationDecimalPoint()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

} // namespace

Lib_FrmCons3::Lib_FrmCons3(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Lib_FrmCons3>())
    , m_model(new LookupGridModel(this))
{
    ui->setupUi(this);
    ui->ListView1->setModel(m_model);
    QHeaderView* header = ui->ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    ui->picFields->setFixedHeight(ui->CmbSearch_0->sizeHint().height());
    ui->CmbSearch_0->setProperty("Index", 0);
    m_cmbSearch.append(ui->CmbSearch_0);

    // The chosen row stands out the same whether the list or a search box has the focus.
    QPalette paleta = ui->ListView1->palette();
    for (const QPalette::ColorRole rol : { QPalette::Highlight, QPalette::HighlightedText })
        paleta.setColor(QPalette::Inactive, rol, paleta.color(QPalette::Active, rol));
    ui->ListView1->setPalette(paleta);
    m_continuaBusqueda.setSingleShot(true);
    m_continuaBusqueda.setInterval(0);

    ui->ListView1->installEventFilter(this);
    ui->ListView1->viewport()->installEventFilter(this);
    ui->CmbSearch_0->installEventFilter(this);
    // F12 is the dialog's wherever the focus is: the buttons pass their keys by here as well.
    for (QPushButton* boton :
        { ui->CmdAceptar, ui->CmdCancelar, ui->CmdNueva, ui->CmdNuevo, ui->CmdTodos })
        boton->installEventFilter(this);
    conectar();
}

Lib_FrmCons3::~Lib_FrmCons3() = default;

void Lib_FrmCons3::conectar()
{
    QScrollBar* listBar = ui->ListView1->horizontalScrollBar();
    connect(ui->CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3::CmdAceptar_Click);
    connect(ui->CmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3::CmdCancelar_Click);
    connect(ui->ListView1->header(), &QHeaderView::sectionClicked, this,
        &Lib_FrmCons3::ListView1_ColumnClick);
    connect(ui->ListView1->header(), &QHeaderView::sectionResized, this,
        [this](int, int, int) { ubicarCajas(); });
    connect(ui->HScroll1, &QScrollBar::valueChanged, this, [this](int) { HScroll1_Change(); });
    // The grid's own horizontal bar is hidden; HScroll1 stands for it, so the search strip and
    // the columns always scroll together, whoever moves them.
    connect(listBar, &QScrollBar::rangeChanged, this, [this, listBar](int min, int max) {
        ui->HScroll1->setRange(min, max);
        ui->HScroll1->setPageStep(listBar->pageStep());
        ui->HScroll1->setSingleStep(listBar->singleStep());
    });
    connect(listBar, &QScrollBar::valueChanged, this, [this](int value) {
        ui->HScroll1->setValue(value);
        ubicarCajas();
    });
    connect(ui->CmbSearch_0, &QComboBox::editTextChanged, this,
        [this](const QString&) { CmbSearch_Change(0); });
    connect(ui->CmbSearch_0, &QComboBox::activated, this, [this](int) { CmbSearch_Click(0); });
    connect(ui->CmdNueva, &QPushButton::clicked, this, &Lib_FrmCons3::CmdNueva_Click);
    connect(ui->CmdNuevo, &QPushButton::clicked, this, &Lib_FrmCons3::CmdNuevo_Click);
    connect(ui->CmdTodos, &QPushButton::clicked, this, &Lib_FrmCons3::CmdTodos_Click);
    connect(m_model, &LookupGridModel::lecturaTerminada, this, &Lib_FrmCons3::cierraConsulta);
    connect(m_model, &LookupGridModel::lecturaFallida, this, &Lib_FrmCons3::lecturaFallida);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { ++m_orden; });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { ++m_orden; });
    connect(&m_continuaBusqueda, &QTimer::timeout, this, &Lib_FrmCons3::continuaBusqueda);
}

QComboBox* Lib_FrmCons3::cajaBusqueda(int index)
{
    while (m_cmbSearch.size() <= index) {
        const int i = int(m_cmbSearch.size());
        auto* box = new QComboBox(ui->picFields);
        box->setObjectName(QStringLiteral("CmbSearch_%1").arg(i));
        box->setProperty("Index", i);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setToolTip(ui->CmbSearch_0->toolTip());
        box->installEventFilter(this);
        connect(box, &QComboBox::editTextChanged, this,
            [this, i](const QString&) { CmbSearch_Change(i); });
        connect(box, &QComboBox::activated, this, [this, i](int) { CmbSearch_Click(i); });
        setTabOrder(m_cmbSearch.constLast(), box);
        m_cmbSearch.append(box);
    }
    return m_cmbSearch.at(index);
}

LookupGridModel::Carga Lib_FrmCons3::carga() const
{
    LookupGridModel::Carga c;
    c.sql = Sql;
    c.checkBoxes = CheckBoxes;
    c.campoDevuelto = CampoDevuelto;
    c.valoresDefault = ValoresDefault;
    c.muestraStock = MuestraStock;
    c.stkNivel[0] = StkNivel1;
    c.stkNivel[1] = StkNivel2;
    c.stkNivel[2] = StkNivel3;
    c.stkNivel[3] = StkNivel4;
    c.cfg = [](const QString& clave) { return Configuracion::Cfg(clave); };
    return c;
}

void Lib_FrmCons3::showEvent(QShowEvent* event)
{
    if (!m_cargado)
        Form_Load();
    // Without "&Nueva Busqueda" (the option pickers hide it), "&Cancelar" takes its place at the
    // right end of the strip.
    const bool sinNueva = ui->CmdNueva->isHidden();
    ui->espacioDerecho->changeSize(
        sinNueva ? 0 : 40, 20, sinNueva ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    ui->layoutBotones->invalidate();
    QDialog::showEvent(event);
    // The keys work from the start: the list has the focus and a current row, so the arrows move
    // it, Enter takes it and typing goes to the search box.
    if (filaSeleccionada() < 0 && m_model->rowCount() > 0)
        seleccionarFila(0);
    ui->ListView1->setFocus(Qt::ActiveWindowFocusReason);
}

void Lib_FrmCons3::Form_Load()
{
    m_cargado = true;
    m_esConsultaArticulos = LookupGridRules::esConsultaArticulos(Sql);
    Valores = QStringList();
    Cantidades = QStringList();
    m_model->clear();
    QFont font = ui->ListView1->font();
    font.setBold(true);
    font.setPointSize(10);
    ui->ListView1->setFont(font);

    if (Sql.trimmed().isEmpty())
        return;

    Sql += u' ';
    m_tablaConsulta = LookupGridRules::tablaConsulta(Sql);
    if (m_sqlInicial.isEmpty())
        m_sqlInicial = Sql;

    Steps steps(reportAs(QStringLiteral("FORM_LOAD")));
    cierraConsulta();
    DB_Dll& db = UsarUDBC ? gUDBC() : gDB();
    m_dbConsulta = &db;
    if (!steps.run([&] { db.AbrirRecordset(Sql, m_rsConsulta); }))
        return;
    m_model->setCheckBoxes(CheckBoxes);
    // A statement the database refused has been reported by the data layer already; the grid
    // stays empty rather than adding a box per step about a query that is not there.
    if (m_rsConsulta.State() == adStateOpen) {
        Encolumnar();
        Leer(1, 0);
    }
    aplicarAnchosIniciales();
    m_model->setSorting(OrdenarPorLwv, m_model->sortKey(), m_model->sortOrder());
    actualizarIndicadorOrden();
    if (!FiltroInicial.trimmed().isEmpty())
        m_cmbSearch.at(0)->setEditText(FiltroInicial);
    // A query read to its end is closed now; one with rows still to come stays open for them
    // until its end, the next load or the unload.
    if (!m_model->quedanFilas())
        cierraConsulta();
    leerAnchosGuardados();
    CalcularAncho();
}

void Lib_FrmCons3::Encolumnar()
{
    try {
        m_model->Encolumnar(m_rsConsulta, carga());
    } catch (const RuntimeError& error) {
        MsgBox(error.description());
    }
    const int count = m_model->columnCount();
    for (int j = 0; j < count; ++j) {
        QComboBox* box = cajaBusqueda(j);
        box->setProperty("DataField", m_model->columna(j).campo);
        box->setVisible(true);
    }
    // Boxes of an earlier load with more columns have no column to stand over.
    for (int j = count; j < m_cmbSearch.size(); ++j) {
        if (j > 0)
            m_cmbSearch.at(j)->setVisible(false);
    }
}

void Lib_FrmCons3::Leer(qint32 Cdesde, qint16 Cuantas)
{
    Q_UNUSED(Cdesde);
    Q_UNUSED(Cuantas);
    Steps steps(reportAs(QStringLiteral("FORM_LOAD")));
    // A list that sorts itself needs every row at once; one in the query's order shows the first
    // rows and reads the others when they are wanted.
    const qint64 primeras = OrdenarPorLwv || m_model->sorted() ? 0 : PrimerasFilas;
    steps.run([&] { m_model->Leer(m_rsConsulta, carga(), primeras); });
}

void Lib_FrmCons3::leerTodoReportando()
{
    try {
        m_model->leerTodo();
    } catch (const RuntimeError& error) {
        lecturaFallida(error);
    }
}

void Lib_FrmCons3::cierraConsulta()
{
    m_continuaBusqueda.stop();
    if (m_rsConsulta.State() == adStateClosed)
        return;
    Steps steps(reportAs(QStringLiteral("FORM_LOAD")));
    DB_Dll& db = m_dbConsulta ? *m_dbConsulta : gDB();
    steps.run([&] { db.CierraRecordset(m_rsConsulta); });
}

void Lib_FrmCons3::lecturaFallida(const RuntimeError& error)
{
    ManejoErrores(error, QStringLiteral("FORM_LOAD"));
    cierraConsulta();
}

void Lib_FrmCons3::aplicarAnchosIniciales()
{
    // Column widths are measured as a run of capital X in the dialog's own font, so a column
    // of n characters holds n characters of any text.
    // of n characters holds n characters of any text; never narrower than its caption.
    const QFontMetrics metrics(font());
    QHeaderView* header = ui->ListView1->header();
    for (int i = 0; i < m_model->columnCount(); ++i) {
        const QString muestra(m_model->anchoCaracteres(i), u'X');
        header->resizeSection(i, std::max(metrics.horizontalAdvance(muestra), anchoTitulo(i)));
    }
}

int Lib_FrmCons3::anchoTitulo(int column) const
{
    const QHeaderView* header = ui->ListView1->header();
    const QString titulo = m_model->headerData(column, Qt::Horizontal).toString();
    // The caption's margins on both sides and room for the sort arrow.
    const int margen = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int flecha = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    return header->fontMetrics().horizontalAdvance(titulo) + 4 * margen + flecha;
}

void Lib_FrmCons3::leerAnchosGuardados()
{
    const QString path = ColumnWidthFile::ruta();
    if (!QFile::exists(path))
        return;
    // The stock table's lookups share the widths saved for the article view.
    if (m_tablaConsulta.compare(QLatin1String("Stk_ma_articulos"), Qt::CaseInsensitive) == 0)
        m_tablaConsulta = QStringLiteral("VT_MA_ARTICULOS");
    const auto anchos = ColumnWidthFile::leer(path, m_tablaConsulta, m_model->columnCount());
    QHeaderView* header = ui->ListView1->header();
    for (int i = 0; i < anchos.size(); ++i) {
        if (anchos.at(i))
            header->resizeSection(i, Twips::toPixels(*anchos.at(i)));
    }
}

void Lib_FrmCons3::grabarAnchos()
{
    QList<int> anchos;
    for (int i = 0; i < m_model->columnCount(); ++i)
        anchos.append(anchoColumna(i));
    ColumnWidthFile::grabar(ColumnWidthFile::rutaParaGrabar(), m_tablaConsulta, anchos);
}

int Lib_FrmCons3::anchoColumna(int column) const
{
    return Twips::fromPixels(ui->ListView1->header()->sectionSize(column));
}

void Lib_FrmCons3::ubicarCajas()
{
    const QHeaderView* header = ui->ListView1->header();
    const int offset = ui->ListView1->viewport()->mapTo(this, QPoint(0, 0)).x()
        - ui->picFields->mapTo(this, QPoint(0, 0)).x();
    const int gap = Twips::toPixels(BoxGapTwips);
    for (int i = 0; i < m_model->columnCount() && i < m_cmbSearch.size(); ++i) {
        m_cmbSearch.at(i)->setGeometry(offset + header->sectionViewportPosition(i), 0,
            qMax(header->sectionSize(i) - gap, 0), ui->picFields->height());
    }
}

void Lib_FrmCons3::CalcularAncho()
{
    ubicarCajas();
    int total = 0;
    for (int i = 0; i < m_model->columnCount(); ++i)
        total += anchoColumna(i);
    const int anchoLista = total + 360;
    const QScreen* pantalla = screen();
    const int anchoPantalla
        = Twips::fromPixels(pantalla ? pantalla->availableGeometry().width() : 1024);
    const int anchoVentana
        = anchoLista + 360 >= anchoPantalla ? anchoPantalla - 480 : anchoLista + 280;
    resize(Twips::toPixels(anchoVentana), height());
    ubicarCajas();
}

void Lib_FrmCons3::Form_Unload()
{
    cierraConsulta();
    UsarUDBC = false;
    if (GrabarCfg) {
        try {
            grabarAnchos();
        } catch (const RuntimeError& error) {
            MsgBox(error.description(), Msg::Critical, QStringLiteral("Aviso al Operador"));
        }
    }
    m_model->clear();
}

int Lib_FrmCons3::filaSeleccionada() const
{
    const QModelIndexList rows = ui->ListView1->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row();
    // The row the keys stand on is the chosen one, selected or not.
    const QModelIndex current = ui->ListView1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Lib_FrmCons3::seleccionarFila(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid())
        return;
    ui->ListView1->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ui->ListView1->scrollTo(index);
}

qint32 Lib_FrmCons3::Busqueda(qint32 Clave, const QString& QueValor) const
{
    return m_model->Busqueda(Clave, QueValor);
}

qint16 Lib_FrmCons3::IndiceColumna(const QString& Columna) const
{
    return qint16(m_model->IndiceColumna(Columna));
}

void Lib_FrmCons3::CmbSearch_Change(int Index)
{
    Steps steps = Steps::silent();
    qint32 clave = 0;
    if (!steps.run([&] { clave = gUtilidades().ValorEntero(QString::number(Index)); }))
        return;
    const QString texto
        = (Index < m_cmbSearch.size() ? m_cmbSearch.at(Index)->currentText() : QString()).trimmed();
    UltimaBusqueda& b = m_busqueda;
    const bool sigue
        = b.clave == clave && b.orden == m_orden && texto.startsWith(b.texto, Qt::CaseInsensitive);
    b = { clave, texto, sigue ? b.desde : 0, m_orden };
    // No match leaves the selection on the last row that matched.
    if (!buscaEnLeidas() && m_model->quedanFilas())
        m_continuaBusqueda.start();
}

bool Lib_FrmCons3::buscaEnLeidas()
{
    UltimaBusqueda& b = m_busqueda;
    const qint32 fila = m_model->Busqueda(b.clave, b.texto, b.desde);
    if (fila == 0) {
        b.desde = m_model->rowCount();
        return false;
    }
    m_continuaBusqueda.stop();
    b.desde = fila - 1;
    seleccionarFila(fila - 1);
    return true;
}

void Lib_FrmCons3::continuaBusqueda()
{
    QElapsedTimer turno;
    turno.start();
    while (m_model->quedanFilas() && turno.elapsed() < TurnoMs) {
        try {
            m_model->leerMas(FilasPorTurno);
        } catch (const RuntimeError& error) {
            lecturaFallida(error);
            return;
        }
        if (buscaEnLeidas())
            return;
    }
    if (m_model->quedanFilas())
        m_continuaBusqueda.start();
}

void Lib_FrmCons3::CmbSearch_Click(int Index)
{
    CmbSearch_Change(Index);
}

void Lib_FrmCons3::CmbSearch_GotFocus(int Index)
{
    m_indiceBusquedaActual = Index;
    if (QLineEdit* edit = m_cmbSearch.value(Index) ? m_cmbSearch.at(Index)->lineEdit() : nullptr) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, FocusColor);
        edit->setPalette(palette);
    }
}

void Lib_FrmCons3::CmbSearch_LostFocus(int Index)
{
    if (QLineEdit* edit = m_cmbSearch.value(Index) ? m_cmbSearch.at(Index)->lineEdit() : nullptr) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, PlainColor);
        edit->setPalette(palette);
    }
}

bool Lib_FrmCons3::CmbSearch_KeyDown(int Index, int KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    switch (KeyCode) {
    case VbKey::F5:
        filtraPorColumna(Index);
        return true;
    case VbKey::Down:
    case VbKey::Up:
    case VbKey::PageDown:
    case VbKey::PageUp:
        // The key only takes the focus to the list, which stands on the row the search found;
        // the next key moves it or takes it.
        ListView1_KeyDown(KeyCode, 0);
        ui->ListView1->setFocus();
        return true;
    case VbKey::Return:
        // The search has already put the list on its row: Return takes it, as in the list. Left
        // to the box, its editor and completer would keep the key and the dialog stay open.
        CmdAceptar_Click();
        return true;
    default:
        return false;
    }
}

void Lib_FrmCons3::HScroll1_Change()
{
    ui->ListView1->horizontalScrollBar()->setValue(ui->HScroll1->value());
    ubicarCajas();
}

void Lib_FrmCons3::ListView1_ColumnClick(int column)
{
    // The order is one setting of the list: every header click turns it round, whichever
    // column is clicked.
    const Qt::SortOrder order
        = m_model->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_model->setSorting(true, column, order);
    actualizarIndicadorOrden();
    const QString titulo = m_model->columna(column).titulo;
    // Dates shown as text do not sort by date in the list: the server orders them instead.
    if (titulo.contains(QLatin1String("fecha"), Qt::CaseInsensitive)
        || titulo.contains(QLatin1String("VENCIMIENTO"), Qt::CaseInsensitive))
        OrdenarPorFecha(titulo);
}

void Lib_FrmCons3::actualizarIndicadorOrden()
{
    QHeaderView* header = ui->ListView1->header();
    header->setSortIndicatorShown(m_model->sorted());
    if (m_model->sorted())
        header->setSortIndicator(m_model->sortKey(), m_model->sortOrder());
}

void Lib_FrmCons3::OrdenarPorFecha(const QString& Cual)
{
    const QString copia = Sql;
    if (!Sql.contains(QLatin1String("order"), Qt::CaseInsensitive)) {
        m_model->setSorting(false, 0, m_model->sortOrder());
        OrdenarPorLwv = false;
        Sql += QStringLiteral(" order by ") + Cual;
        if (Cual.compare(QLatin1String("fechahorafinromaneo"), Qt::CaseInsensitive) == 0)
            Sql += QStringLiteral(" desc ");
    }
    Form_Load();
    // The order by is for this one run: the next reload starts from the statement as it was.
    Sql = copia;
}

bool Lib_FrmCons3::ListView1_KeyDown(int KeyCode, int Shift)
{
    if (KeyCode == VbKey::Space && CheckBoxes) {
        // The list's own use of the space bar: the focused row's check mark turns round.
        const QModelIndex current = ui->ListView1->currentIndex();
        if (current.isValid())
            m_model->setChecked(current.row(), !m_model->checked(current.row()));
        return true;
    }
    if (KeyCode == VbKey::Return) {
        CmdAceptar_Click();
        return true;
    }
    if ((KeyCode == VbKey::Insert && (Shift == 1 || Shift == 0) && UsaCantidades)
        || (KeyCode == VbKey::Delete && Shift == 0 && UsaCantidades)) {
        cambiarCantidad(KeyCode, Shift);
        return true;
    }
    if ((KeyCode >= 47 && KeyCode <= 93) || (KeyCode == VbKey::Space && !CheckBoxes)) {
        // Typing in the list types into the search box last used, which then searches.
        QComboBox* box = m_cmbSearch.value(m_indiceBusquedaActual);
        if (!box)
            return true;
        box->setEditText(box->currentText() + QChar(KeyCode));
        box->setFocus();
        return true;
    }
    if (KeyCode == VbKey::Back) {
        QComboBox* box = m_cmbSearch.value(m_indiceBusquedaActual);
        if (!box)
            return true;
        box->setEditText(box->currentText().chopped(box->currentText().isEmpty() ? 0 : 1));
        box->setFocus();
        return true;
    }
    return false;
}

void Lib_FrmCons3::cambiarCantidad(int KeyCode, int Shift)
{
    const int fila = filaSeleccionada();
    const int posicion = IndiceColumna(LookupGridRules::QuantityCaption);
    if (fila < 0 || posicion == 0)
        return;
    const int columna = posicion - 1;
    const QChar punto = workstationDecimalPoint();
    const QString celda = m_model->texto(fila, columna);
    if (KeyCode == VbKey::Insert && Shift == 1) {
        const QString respuesta = InputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
            QStringLiteral("Carga de Datos"), celda);
        // An answer that reads as nothing (blank, cancelled, not a number) keeps the quantity.
        const double cantidad = LookupGridRules::leeCantidad(respuesta, punto);
        if (cantidad != 0)
            m_model->setTexto(fila, columna, LookupGridRules::formatoCantidad(cantidad, 2, punto));
        m_model->setChecked(fila, true);
    } else if (KeyCode == VbKey::Insert) {
        const double cantidad = LookupGridRules::leeCantidad(celda, punto) + 1;
        m_model->setTexto(fila, columna, LookupGridRules::formatoCantidad(cantidad, 1, punto));
        m_model->setChecked(fila, true);
    } else {
        const double cantidad = LookupGridRules::leeCantidad(celda, punto) - 1;
        m_model->setTexto(fila, columna, LookupGridRules::formatoCantidad(cantidad, 1, punto));
        if (!(cantidad > 0)) {
            m_model->setChecked(fila, false);
            m_model->setTexto(fila, columna, QStringLiteral("0.00"));
        }
    }
}

void Lib_FrmCons3::ListView1_DblClick()
{
    CmdAceptar_Click();
}

void Lib_FrmCons3::CmdAceptar_Click()
{
    if (!Valores)
        Valores = QStringList();
    // One current value for the whole run: a cell read replaces it, a caption that finds no
    // column leaves it as it was.
    QString actual;
    auto leerCelda = [&](int fila, const QString& titulo) {
        const int posicion = IndiceColumna(titulo);
        if (posicion > 0)
            actual = m_model->texto(fila, posicion - 1);
    };

    if (CheckBoxes) {
        // Rows not read yet may be checked by ValoresDefault.
        leerTodoReportando();
        if (CampoDevuelto.isEmpty() && m_model->columnCount() > 0)
            CampoDevuelto = m_model->columna(0).titulo;
        const int filas = m_model->rowCount();
        for (int fila = 0; fila < filas; ++fila) {
            if (!m_model->checked(fila))
                continue;
            leerCelda(fila, CampoDevuelto);
            Valores->append(actual);
        }
        accept();
        return;
    }

    const int fila = filaSeleccionada();
    if (fila < 0) {
        accept();
        return;
    }
    if (CmpsDevueltos) {
        for (const QString& titulo : std::as_const(*CmpsDevueltos)) {
            // A caption of no column gives an empty entry, so each entry stays with its caption.
            if (IndiceColumna(titulo) == 0)
                actual.clear();
            leerCelda(fila, titulo);
            Valores->append(actual);
        }
    }
    if (!CampoDevuelto.trimmed().isEmpty())
        leerCelda(fila, CampoDevuelto);
    ValorDevuelto = actual;
    accept();
}

void Lib_FrmCons3::CmdCancelar_Click()
{
    ValorDevuelto = QString();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void Lib_FrmCons3::reject()
{
    CmdCancelar_Click();
}

bool Lib_FrmCons3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int code = VbKey::fromQt(key->key());
        if (code == VbKey::F12) {
            Form_KeyDown(code, VbKey::shiftFromQt(key->modifiers()));
            if (code == 0)
                return true;
        }
    }
    if (watched == ui->ListView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = VbKey::fromQt(key->key());
        if (code != 0 && ListView1_KeyDown(code, VbKey::shiftFromQt(key->modifiers())))
            return true;
    } else if (watched == ui->ListView1->viewport()
        && event->type() == QEvent::MouseButtonDblClick) {
        ListView1_DblClick();
        return true;
    } else if (auto* box = qobject_cast<QComboBox*>(watched)) {
        const int index = int(m_cmbSearch.indexOf(box));
        if (index >= 0) {
            if (event->type() == QEvent::FocusIn) {
                CmbSearch_GotFocus(index);
            } else if (event->type() == QEvent::FocusOut) {
                CmbSearch_LostFocus(index);
            } else if (event->type() == QEvent::KeyPress) {
                const auto* key = static_cast<QKeyEvent*>(event);
                const int code = VbKey::fromQt(key->key());
                if (code != 0
                    && CmbSearch_KeyDown(index, code, VbKey::shiftFromQt(key->modifiers())))
                    return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Lib_FrmCons3::filtraPorColumna(int Index)
{
    constexpr auto CI = Qt::CaseInsensitive;
    QComboBox* box = m_cmbSearch.value(Index);
    if (!box)
        return;
    // Each F5 adds one condition to the statement the lookup was given, kept in its parts; only
    // "&Nueva Busqueda" takes the conditions away again. The statement is taken apart once, before
    // anything typed is in it: a statement changed from outside since starts a new one.
    if (Sql.trimmed() != m_sentencia.texto().trimmed() || m_sentencia.original().isEmpty())
        m_sentencia = SentenciaConsulta(Sql);
    QString prefijo;
    // Article queries that join tables name the field by its table.
    const QString& original = m_sentencia.original();
    if (original.contains(QLatin1String("stk_ma_articulos."), CI))
        prefijo = QStringLiteral("stk_ma_articulos.");
    if (original.contains(QLatin1String("v_ma_articulos."), CI))
        prefijo = QStringLiteral("v_ma_articulos.");
    const QString campo = box->property("DataField").toString();
    QString texto = box->currentText();
    QString patron;
    if (CfgUsaConsultaLIKE) {
        // The typed words in the typed order, anywhere in the value: "casa blanca" finds
        // "CASA DE LA BLANCA".
        patron = QStringLiteral("%") + QString(texto).replace(u' ', u'%') + QStringLiteral("%");
    } else {
        texto = gUtilidades().Reemplaza(texto, QStringLiteral("*"), QStringLiteral("%"));
        box->setEditText(texto);
        patron = texto + QStringLiteral("%");
    }
    // The typed text stands inside a quoted literal: apostrophes are doubled, so a search box can
    // only ever search.
    m_sentencia.agregaCondicion(
        prefijo + campo + QStringLiteral(" like ") + ConsultasDatos::literal(patron));
    Sql = m_sentencia.texto();
    box->setEditText(QString());
    Form_Load();
}

void Lib_FrmCons3::CmdNueva_Click()
{
    Sql = m_sqlInicial;
    Form_Load();
    if (!m_cmbSearch.isEmpty())
        m_cmbSearch.at(0)->setFocus();
}

void Lib_FrmCons3::CmdNuevo_Click()
{
    const QString tabla = m_tablaConsulta.trimmed();
    auto es = [&](const char* nombre) {
        return tabla.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
    };
    QString programa = QStringLiteral("SHELL:V_TA_TABLAS");
    QString parametro = tabla;
    if (es("VT_CLIENTES") || es("VT_PROVEEDORES")) {
        programa = QStringLiteral("SHELL:V_MA_CLIENTES");
        parametro = es("VT_CLIENTES") ? QStringLiteral("1") : QStringLiteral("0");
    } else if (es("V_TA_Tecnicos")) {
        programa = QStringLiteral("SHELL:V_TA_Tecnicos");
        parametro.clear();
    } else if (es("V_TA_VENDEDORES")) {
        programa = QStringLiteral("SHELL:V_TA_VENDEDORES");
        parametro.clear();
    } else if (es("V_MA_ARTICULOS") || es("VT_MA_ARTICULOS")) {
        programa = QStringLiteral("SHELL:V_MA_ARTICULOS");
        parametro.clear();
    }
    qint64 tarea = 0;
    Steps steps = Steps::silent();
    steps.run([&] { ModEjecutar::MenuExes(programa, parametro, tarea); });
}

void Lib_FrmCons3::CmdTodos_Click()
{
    leerTodoReportando();
    for (int fila = 0; fila < m_model->rowCount(); ++fila)
        m_model->setChecked(fila, !m_model->checked(fila));
}

void Lib_FrmCons3::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode != VbKey::F12 || !m_esConsultaArticulos)
        return;
    KeyCode = 0;
    informaFaltante();
}

void Lib_FrmCons3::informaFaltante()
{
    const int fila = filaSeleccionada();
    // Nothing to report without an article to report.
    if (fila < 0)
        return;
    auto celda = [&](const QString& titulo) {
        const int posicion = IndiceColumna(titulo);
        return posicion > 0 ? m_model->texto(fila, posicion - 1) : QString();
    };
    const QString id = celda(QStringLiteral("idarticulo"));
    const QString descripcion = celda(QStringLiteral("Descripcion")).trimmed();
    const int respuesta = MsgBox(QStringLiteral("Desea informar el articulo ") + id.trimmed() + u' '
            + descripcion + QStringLiteral("\r\n") + QStringLiteral("como un faltante de stock?"),
        Msg::YesNo + Msg::Question, QStringLiteral("Atención!"));
    if (respuesta != Msg::Yes)
        return;
    DB_Dll& db = gDB();
    const Utilidades& util = gUtilidades();
    // The moment goes in ISO form, which every server reads the same whatever its date settings.
    const QString momento = Now().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    qint64 afectados = 0;
    db.EjecutaConsultaSQL(
        QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                       "values(")
            + db.SQLValue(momento) + u',' + db.SQLValue(util.FormateaCodigo(id, 25)) + u','
            + db.SQLValue(descripcion) + u',' + db.SQLValue(db.gUsuario) + u')',
        &afectados);
}

void Lib_FrmCons3::ajustarListaUnica(int ancho)
{
    resize(ancho, height());
    if (layout())
        layout()->activate();
    if (m_model->columnCount() > 0)
        ui->ListView1->header()->resizeSection(0, ui->ListView1->viewport()->width());
    ubicarCajas();
}
