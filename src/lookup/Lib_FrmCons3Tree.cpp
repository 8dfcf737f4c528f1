#include "lookup/Lib_FrmCons3Tree.h"

#include <functional>

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/ManejoErrores.h"
#include "ui_Lib_FrmCons3Tree.h"

namespace {

constexpr auto CI = Qt::CaseInsensitive;

const QString RaizClave = QStringLiteral("A");
const QString RaizTexto = QStringLiteral("Consulta...");

// A family's parent is the greatest family code that sorts before its own and is shorter once
// trimmed: with codes that grow by levels ("01", "0101", "010101") that is the family above.
// The correlated TOP 1 keeps the server doing the work in one pass, parents before children.
const QString SentenciaFamilias = QStringLiteral(
    "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, "
    "(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  "
    " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < "
    "Len(LTrim(RTrim(b.IdFamilia)))) "
    " ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' "
    "ORDER BY IdFamilia");

// The checks reach this many generations below the node the operator clicked.
constexpr int GeneracionesMarcadas = 6;

// "Object variable or With block variable not set": what confirming without a node or without a
// results collection has always reported.
RuntimeError sinObjeto()
{
    return RuntimeError(91, QStringLiteral("Object variable or With block variable not set"),
        QStringLiteral("Lib_FrmCons3Tree"));
}

} // namespace

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Lib_FrmCons3Tree>())
    , m_model(new LookupTreeModel(this))
{
    ui->setupUi(this);
    ui->TreeV->setModel(m_model);
    ui->CmbSearch_0->setProperty("Index", 0);
    ui->CmbSearch_0->setProperty("DataField", QStringLiteral("Descripcion"));
    ui->CmbSearch_0->installEventFilter(this);
    ui->TreeV->viewport()->installEventFilter(this);
    conectar();
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

void Lib_FrmCons3Tree::conectar()
{
    connect(ui->CmdAceptar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::CmdAceptar_Click);
    connect(ui->CmdCancelar, &QPushButton::clicked, this, &Lib_FrmCons3Tree::CmdCancelar_Click);
    connect(ui->CmdNueva, &QPushButton::clicked, this, &Lib_FrmCons3Tree::CmdNueva_Click);
    connect(ui->CmbSearch_0, &QComboBox::editTextChanged, this,
        [this](const QString&) { CmbSearch_Change(0); });
    connect(ui->CmbSearch_0, &QComboBox::activated, this, [this](int) { CmbSearch_Click(0); });
    connect(m_model, &LookupTreeModel::nodeChecked, this, &Lib_FrmCons3Tree::TreeV_NodeCheck);
}

void Lib_FrmCons3Tree::showEvent(QShowEvent* event)
{
    if (!m_cargado)
        Form_Load();
    QDialog::showEvent(event);
}

void Lib_FrmCons3Tree::Form_Load()
{
    m_cargado = true;
    Valores = QStringList();
    m_model->clear();
    m_model->setCheckBoxes(CheckBoxes);
    armar();
}

void Lib_FrmCons3Tree::armar()
{
    Steps steps(reportAs(QStringLiteral("FORM_LOAD")));
    if (Sql.contains(QLatin1String("v_ta_familias"), CI))
        steps.run([&] { ArmarTreeVFamilias(); });
    else
        steps.run([&] { ArmarTreeVAutomatico(); });
}

bool Lib_FrmCons3Tree::comienzoArmado(const QString& rutina, QList<QList<Value>>& filas)
{
    Steps steps(reportAs(rutina));
    m_model->clear();
    if (!steps.run([&] { m_model->agregar(QString(), RaizClave, RaizTexto); }))
        return false;
    ui->TreeV->expand(m_model->indexOf(0));

    DB_Dll& db = gDB();
    AdoRecordset rs;
    if (!steps.run([&] { db.AbrirRecordset(Sql, rs, &db.gCnn(), 0, 1, -1, true); }))
        return false;
    // The whole result in one block read before any node is added.
    const bool leido = steps.run([&] {
        if (rs.State() == adStateOpen && !(rs.Bof() && rs.Eof()))
            filas = rs.GetRows();
    });
    db.CierraRecordset(rs);
    ui->TreeV->expand(m_model->indexOf(0));
    return leido;
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias()
{
    Sql = SentenciaFamilias;
    const QString rutina = QStringLiteral("ArmarTreeVFamilias");
    QList<QList<Value>> filas;
    if (!comienzoArmado(rutina, filas))
        return;
    Steps steps(reportAs(rutina));
    for (const QList<Value>& fila : std::as_const(filas)) {
        const QString codigo = fila.value(0).toString();
        const Value relativo = fila.value(2);
        const QString padre
            = relativo.isNull() || relativo.isEmpty() ? RaizClave : RaizClave + relativo.toString();
        if (!steps.run([&] {
                m_model->agregar(padre, RaizClave + codigo,
                    codigo + QStringLiteral(" - ") + fila.value(1).toString());
            }))
            return;
    }
    ui->TreeV->expand(m_model->indexOf(0));
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico()
{
    const QString rutina = QStringLiteral("ArmarTreeVAutomatico");
    QList<QList<Value>> filas;
    if (!comienzoArmado(rutina, filas))
        return;
    Steps steps(reportAs(rutina));
    for (const QList<Value>& fila : std::as_const(filas)) {
        if (!steps.run([&] {
                const Value codigo = fila.value(0);
                // A row without a code has no key to hang by.
                if (codigo.isNull())
                    throw RuntimeError(94, QStringLiteral("Invalid use of Null"), rutina);
                const QString clave = RaizClave + codigo.toString();
                const int padre = m_model->prefijoMasLargo(clave);
                m_model->agregar(m_model->key(padre), clave,
                    codigo.toString() + QStringLiteral(" - ") + fila.value(1).toString());
            }))
            return;
    }
    ui->TreeV->expand(m_model->indexOf(0));
}

void Lib_FrmCons3Tree::Form_Unload()
{
    try {
        m_model->clear();
    } catch (const RuntimeError& error) {
        MsgBox(error.description(), Msg::Critical, QStringLiteral("Aviso al Operador"));
    }
}

bool Lib_FrmCons3Tree::CmbSearch_KeyDown(int Index, int KeyCode, int Shift)
{
    Q_UNUSED(Index);
    Q_UNUSED(Shift);
    switch (KeyCode) {
    case VbKey::F5: {
        // The tree always filters by description, whatever box the operator typed in.
        ui->CmbSearch_0->setProperty("DataField", QStringLiteral("Descripcion"));
        // The statement is taken apart once, before anything typed is in it; each search adds
        // one condition, and typed text stands inside a quoted literal, so it can only search.
        if (Sql.trimmed() != m_sentencia.texto().trimmed() || m_sentencia.original().isEmpty())
            m_sentencia = SentenciaConsulta(Sql);
        m_sentencia.agregaCondicion(QStringLiteral("Descripcion like ")
            + ConsultasDatos::literal(u'%' + ui->CmbSearch_0->currentText() + u'%'));
        Sql = m_sentencia.texto();
        ui->CmbSearch_0->setEditText(QString());
        Form_Load();
        return true;
    }
    case VbKey::Down:
    case VbKey::Up:
    case VbKey::PageDown:
    case VbKey::PageUp:
        ui->TreeV->setFocus();
        return true;
    default:
        return false;
    }
}

void Lib_FrmCons3Tree::CmdNueva_Click()
{
    Steps steps = Steps::silent();
    steps.run([&] {
        if (Sql.contains(QLatin1String("v_ta_familias"), CI))
            ArmarTreeVFamilias();
        else
            ArmarTreeVAutomatico();
    });
}

void Lib_FrmCons3Tree::CmbSearch_Change(int Index)
{
    Q_UNUSED(Index);
    const QString texto = ui->CmbSearch_0->currentText();
    for (int node = 0; node < m_model->count(); ++node) {
        const QString text = m_model->text(node);
        const qsizetype guion = text.indexOf(u'-');
        const QString codigo = guion < 0 ? QString() : text.left(guion).trimmed();
        const QString descripcion = guion < 0 ? text.trimmed() : text.mid(guion + 1).trimmed();
        if (codigo.startsWith(texto, CI) || descripcion.startsWith(texto, CI)) {
            seleccionarNodo(node);
            return;
        }
    }
}

void Lib_FrmCons3Tree::CmbSearch_Click(int Index)
{
    CmbSearch_Change(Index);
}

void Lib_FrmCons3Tree::CmbSearch_GotFocus(int Index)
{
    m_indiceBusqueda = Index;
}

void Lib_FrmCons3Tree::TreeV_NodeCheck(int node)
{
    const bool marca = m_model->checked(node);
    // Breadth of the walk is the whole branch; depth stops at six generations.
    std::function<void(int, int)> baja = [&](int padre, int generacion) {
        if (generacion > GeneracionesMarcadas)
            return;
        for (int hijo : m_model->hijos(padre)) {
            m_model->setChecked(hijo, marca);
            baja(hijo, generacion + 1);
        }
    };
    baja(node, 1);
}

void Lib_FrmCons3Tree::TreeV_DblClick()
{
    CmdAceptar_Click();
}

std::optional<QString> Lib_FrmCons3Tree::valorGuardado(const QString& tabla, const QString& codigo)
{
    AdoRecordset rs;
    DB_Dll& db = gDB();
    const QString campo = CampoDevuelto.trimmed();
    std::optional<QString> valor;
    if (db.ExisteEnTabla(tabla, codigo, campo, &rs, Value(qint32(8)), QString(), true))
        valor = gUtilidades().ValorCampo(rs.Fields(campo).Value());
    db.CierraRecordset(rs);
    return valor;
}

void Lib_FrmCons3Tree::CmdAceptar_Click()
{
    Steps steps(reportAs(QStringLiteral("CmdAceptar_Click")));
    const QString tipo = CampoDevuelto.trimmed().toUpper();
    // Families are confirmed in the families view as the user may see it: an administrator's
    // reads unrestricted, anyone else's through the restricted view, so a family the user may not
    // use never comes back from the tree.
    const QString tablaFamilias = QStringLiteral("V_TA_FAMILIAS");
    const bool esAdmin = gDB().gEsAdmin;

    if (CheckBoxes) {
        for (int node = 0; node < m_model->count(); ++node) {
            if (!m_model->checked(node))
                continue;
            const QString codigo = m_model->key(node).mid(1);
            const bool seguir = steps.run([&] {
                if (!Valores)
                    throw sinObjeto();
                if (tipo == QLatin1String("IDFAMILIA")) {
                    if (esAdmin || valorGuardado(tablaFamilias, codigo))
                        Valores->append(codigo.trimmed());
                } else if (tipo == QLatin1String("CODIGO")) {
                    Valores->append(codigo.trimmed());
                } else if (tipo == QLatin1String("IDPOSICION")) {
                    if (const auto valor = valorGuardado(QStringLiteral("MA_POSICIONES"), codigo))
                        Valores->append(*valor);
                }
            });
            if (!seguir)
                return;
        }
        QDialog::accept();
        return;
    }

    const int node = nodoSeleccionado();
    QString codigo;
    if (!steps.run([&] {
            if (node < 0)
                throw sinObjeto();
            codigo = m_model->key(node).mid(1);
        }))
        return;
    const bool seguir = steps.run([&] {
        std::optional<QString> valor;
        if (tipo == QLatin1String("IDFAMILIA")) {
            valor = valorGuardado(tablaFamilias, codigo);
        } else if (tipo == QLatin1String("IDPOSICION")) {
            valor = valorGuardado(QStringLiteral("MA_POSICIONES"), codigo);
        } else if (tipo == QLatin1String("CODIGO")) {
            valor = valorGuardado(QStringLiteral("TA_CCOSTO"), codigo);
            if (!valor)
                valor = valorGuardado(QStringLiteral("MA_CUENTAS"), codigo);
        } else {
            return;
        }
        ValorDevuelto = valor.value_or(QString());
    });
    if (!seguir)
        return;
    QDialog::accept();
}

void Lib_FrmCons3Tree::CmdCancelar_Click()
{
    ValorDevuelto = QString();
    CmpsDevueltos.reset();
    Valores.reset();
    QDialog::reject();
}

void Lib_FrmCons3Tree::reject()
{
    CmdCancelar_Click();
}

int Lib_FrmCons3Tree::nodoSeleccionado() const
{
    const QModelIndexList seleccion = ui->TreeV->selectionModel()->selectedIndexes();
    return seleccion.isEmpty() ? -1 : m_model->nodeOf(seleccion.first());
}

void Lib_FrmCons3Tree::seleccionarNodo(int node)
{
    const QModelIndex index = m_model->indexOf(node);
    if (!index.isValid())
        return;
    ui->TreeV->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    ui->TreeV->scrollTo(index);
}

bool Lib_FrmCons3Tree::expandido(int node) const
{
    return ui->TreeV->isExpanded(m_model->indexOf(node));
}

// Return works as in the grid lookups: it takes the highlighted node from the search box or the
// tree, and presses a focused button as Space does.
void Lib_FrmCons3Tree::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* boton = qobject_cast<QPushButton*>(focusWidget()))
        boton->click();
    else
        CmdAceptar_Click();
}

bool Lib_FrmCons3Tree::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->CmbSearch_0) {
        if (event->type() == QEvent::FocusIn) {
            CmbSearch_GotFocus(0);
        } else if (event->type() == QEvent::KeyPress) {
            auto* tecla = static_cast<QKeyEvent*>(event);
            // The search box's own editor would keep Return to itself.
            if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
                keyPressEvent(tecla);
                return true;
            }
            const int code = VbKey::fromQt(tecla->key());
            if (code != 0 && CmbSearch_KeyDown(0, code, 0))
                return true;
        }
    } else if (watched == ui->TreeV->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The double click selects the node under the pointer first, then confirms with it.
        const QModelIndex under
            = ui->TreeV->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (under.isValid())
            seleccionarNodo(m_model->nodeOf(under));
        TreeV_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
