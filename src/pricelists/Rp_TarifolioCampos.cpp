// The criteria fields of the price-list window: focus colours, keys, lookups and the warehouse
// check. Every member of txtfields shares these handlers; the window's event filter turns the
// fields' Qt events into them.

#include "pricelists/Rp_Tarifolio.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "lookup/Lib_ClsCons3.h"
#include "platform/AdoRecordset.h"
#include "platform/MessageDialog.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "pricelists/CamposCriterio.h"
#include "services/Globales.h"

#include "ui_Rp_Tarifolio.h"

namespace {

// Colour values as the suite stores them.
constexpr qint32 Blanco = 0xFFFFFF;
constexpr qint32 Negro = 0;

void colores(QLineEdit* campo, qint32 fondo, qint32 letra)
{
    QPalette paleta = campo->palette();
    paleta.setColor(QPalette::Base, CamposCriterio::color(fondo));
    paleta.setColor(QPalette::Text, CamposCriterio::color(letra));
    campo->setPalette(paleta);
}

QString dataField(const QLineEdit* campo)
{
    return campo->property("DataField").toString();
}

} // namespace

void Rp_Tarifolio::conectarCampos()
{
    for (QLineEdit* campo : std::as_const(m_txtfields)) {
        campo->installEventFilter(this);
        // The right button opens the field's lookup instead of the edit menu.
        campo->setContextMenuPolicy(Qt::PreventContextMenu);
    }
}

bool Rp_Tarifolio::eventFilter(QObject* watched, QEvent* event)
{
    const int indice = m_txtfields.indexOf(qobject_cast<QLineEdit*>(watched));
    if (indice < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        m_campoConFoco = indice;
        txtfields_GotFocus(indice);
        return false;
    case QEvent::FocusOut: {
        // A lookup, a message or another program taking over for a while is no leaving: the
        // field gets the focus back when the window does.
        const Qt::FocusReason razon = static_cast<QFocusEvent*>(event)->reason();
        if (razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason
            || m_campoConFoco != indice)
            return false;
        m_campoConFoco = -1;
        bool cancelar = false;
        txtfields_Validate(indice, cancelar);
        txtfields_LostFocus(indice);
        return false;
    }
    case QEvent::KeyPress: {
        auto* tecla = static_cast<QKeyEvent*>(event);
        int keyCode = VbKey::fromQt(tecla->key());
        if (keyCode != 0) {
            txtfields_KeyDown(indice, keyCode, VbKey::shiftFromQt(tecla->modifiers()));
            // A key the rules used (Enter moved on, a hot key pressed a button) goes no further.
            if (keyCode == 0)
                return true;
        }
        const QString texto = tecla->text();
        if (texto.size() != 1)
            return false;
        const int original = texto.at(0).unicode();
        int keyAscii = original;
        txtfields_KeyPress(indice, keyAscii);
        if (keyAscii == original)
            return false;
        if (keyAscii != 0)
            m_txtfields[indice]->insert(QString(QChar(keyAscii)));
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* raton = static_cast<QMouseEvent*>(event);
        const int pulsado = VbKey::buttonFromQt(raton->button());
        const QPoint punto = raton->position().toPoint();
        txtfields_MouseDown(indice, pulsado, VbKey::shiftFromQt(raton->modifiers()),
            Twips::fromPixels(punto.x()), Twips::fromPixels(punto.y()));
        return pulsado == 2;
    }
    default:
        return false;
    }
}

void Rp_Tarifolio::txtfields_GotFocus(int Index)
{
    m_campoActual = Index;
    QLineEdit* campo = m_txtfields[Index];
    ui->TBarRep1->setConsultaHabilitada(!campo->property("Tag").toString().trimmed().isEmpty());
    colores(campo, gGlobales().gColorFondo, gGlobales().gColorLetra);
}

void Rp_Tarifolio::txtfields_LostFocus(int Index)
{
    colores(m_txtfields[Index], Blanco, Negro);
}

void Rp_Tarifolio::txtfields_KeyDown(int Index, int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    QLineEdit* campo = m_txtfields[Index];
    if (KeyCode == VbKey::Return && CamposCriterio::esFamilia(dataField(campo))) {
        const QString patron = CamposCriterio::patronFamilia(campo->text());
        if (patron != campo->text())
            campo->setText(patron);
    }
    gControles().TeclaAbajo(KeyCode);
    ui->TBarRep1->ProcesaTecla(KeyCode);
}

void Rp_Tarifolio::txtfields_KeyPress(int Index, int& KeyAscii)
{
    gControles().FiltraTecla(m_txtfields[Index], KeyAscii);
}

void Rp_Tarifolio::txtfields_MouseDown(int Index, int Button, int Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    m_campoActual = Index;
    if (Button == 2)
        ConsultarCampo();
}

void Rp_Tarifolio::txtfields_Validate(int Index, bool& Cancel)
{
    // The focus always moves on: a code that is not found stays in the field.
    Q_UNUSED(Cancel);
    QLineEdit* campo = m_txtfields[Index];
    if (!CamposCriterio::esDeposito(dataField(campo)))
        return;
    // No warehouse chosen: no stock, and nothing to tell the operator.
    if (gUtilidades().FormateaCodigo(campo->text(), 4).isEmpty()) {
        ui->lblDescDep->setText(QLatin1String(CamposCriterio::SinDeposito));
        return;
    }
    if (const auto descripcion = descripcionDeposito(campo->text())) {
        ui->lblDescDep->setText(*descripcion);
        return;
    }
    MsgBox(QStringLiteral("Depósito inexistente."), Msg::Information + Msg::OkOnly,
        QStringLiteral("Aviso al usuario"));
    ui->lblDescDep->setText(QLatin1String(CamposCriterio::SinDeposito));
}

std::optional<QString> Rp_Tarifolio::descripcionDeposito(const QString& codigo) const
{
    const QString ajustado = gUtilidades().FormateaCodigo(codigo, 4);
    if (ajustado.isEmpty())
        return std::nullopt;
    std::optional<QString> descripcion;
    AdoRecordset registro;
    Steps pasos = Steps::silent();
    pasos.run([&] {
        if (gDB().ExisteEnTabla(QStringLiteral("V_TA_DEPOSITO"), ajustado,
                QStringLiteral("IDDEPOSITO"), &registro, Value(qint32(adBSTR)), QString(), true))
            descripcion
                = gUtilidades().ValorCampo(registro.Fields(QStringLiteral("Descripcion")).Value());
    });
    pasos.run([&] { gDB().CierraRecordset(registro); });
    return descripcion;
}

void Rp_Tarifolio::validaCampoActivo()
{
    if (m_campoConFoco < 0)
        return;
    bool cancelar = false;
    txtfields_Validate(m_campoConFoco, cancelar);
}

void Rp_Tarifolio::ConsultarCampo()
{
    if (m_campoActual < 0 || m_campoActual >= m_txtfields.size())
        return;
    const int indice = m_campoActual;
    QLineEdit* campo = m_txtfields[indice];
    const QString tag = campo->property("Tag").toString();
    if (tag.trimmed().isEmpty())
        return;

    const CamposCriterio::Consulta consulta = CamposCriterio::consultaDe(tag, TipoLista());
    QString resultado;
    switch (consulta.clase) {
    case CamposCriterio::Consulta::Clase::Ninguna:
        return;
    case CamposCriterio::Consulta::Clase::Fecha: {
        QString fecha = campo->text();
        resultado = gUtilidades().SeleccionaFecha(fecha);
        break;
    }
    case CamposCriterio::Consulta::Clase::Tabla: {
        Lib_ClsCons3& consultas = gConsultas();
        consultas.CampoDevuelto = consulta.campoDevuelto;
        consultas.ConsultaSearch(consulta.origen, nullptr, QString(), nullptr, nullptr, QString(),
            consulta.arbol, QString());
        resultado = gUtilidades().ValorCampo(consultas.ValorDevuelto);
        break;
    }
    }
    campo->setText(resultado.trimmed());

    // Enter is handled as if typed in the field, so the field gets the focus back from the dialog
    // first: the focus then moves on from it, and leaving it runs its check.
    if (isVisible() && campo->isEnabled() && QApplication::focusWidget() != campo) {
        if (!isActiveWindow())
            QApplication::setActiveWindow(this);
        campo->setFocus(Qt::OtherFocusReason);
    }
    int tecla = VbKey::Return;
    txtfields_KeyDown(indice, tecla, 0);
}
