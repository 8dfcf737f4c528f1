#include "formhelpers/Dll_DisplayQt.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "formhelpers/Lbf_CtrlDisplay.h"

namespace {

QString nuloATexto(const Value& valor)
{
    return valor.isNull() ? QString() : valor.toString();
}

} // namespace

Dll_DisplayQt::Dll_DisplayQt() = default;
Dll_DisplayQt::~Dll_DisplayQt() = default;

Lbf_CtrlDisplay& Dll_DisplayQt::form()
{
    if (!m_form)
        m_form = std::make_unique<Lbf_CtrlDisplay>();
    return *m_form;
}

void Dll_DisplayQt::CartelInicio(const QString& Titulo, int PermiteCancelar)
{
    Lbf_CtrlDisplay& cartel = form();
    cartel.ponTitulo(Titulo);
    cartel.CmdDisplayCancelar()->setVisible(PermiteCancelar != 0);
    cartel.show();
    cartel.raise();
}

bool Dll_DisplayQt::CartelMostrar(
    const std::optional<Value>& L1, const std::optional<Value>& l2, const std::optional<Value>& l3)
{
    Lbf_CtrlDisplay& cartel = form();
    const std::optional<Value>* lineas[] = { &L1, &l2, &l3 };
    for (int i = 0; i < 3; ++i) {
        if (*lineas[i])
            cartel.LblCtrol(i)->setText(nuloATexto(**lineas[i]));
    }
    cartel.repaint();
    // The button's caption is the cancel request: nothing else records it.
    const bool cancelado = cartel.CmdDisplayCancelar()->text() == QStringLiteral("Abortado");
    QCoreApplication::processEvents();
    return cancelado;
}

void Dll_DisplayQt::CartelCerrar()
{
    if (m_form)
        m_form->hide();
    m_form.reset();
}

void Dll_DisplayQt::Siempre_Visible(bool valor)
{
    Lbf_CtrlDisplay& cartel = form();
    const bool visible = cartel.isVisible();
    const QRect lugar = cartel.geometry();
    // Changing a window flag hides the window; show it again where it was.
    cartel.setWindowFlag(Qt::WindowStaysOnTopHint, valor);
    if (visible) {
        cartel.setGeometry(lugar);
        cartel.show();
    }
}
