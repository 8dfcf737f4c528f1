#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "platform/Service.h"
#include "platform/Value.h"

class Lbf_CtrlDisplay;

// The please-wait banner long operations show: open it with CartelInicio, refresh its lines and
// poll the cancel request with CartelMostrar while working, close it with CartelCerrar. One
// program-wide instance, reached through gDisplay(). The banner runs no event loop of its own:
// its animation and cancel button are served while the caller is inside CartelMostrar.
class Dll_Display
{
public:
    Dll_Display();
    ~Dll_Display();
    Dll_Display(const Dll_Display&) = delete;
    Dll_Display& operator=(const Dll_Display&) = delete;

    // Shows the banner with the caption `Titulo`; a non-zero `PermiteCancelar` shows the cancel
    // button. Modeless, centred on the screen.
    void CartelInicio(const QString& Titulo, int PermiteCancelar);

    // Sets the lines that are given (a Null value shows as empty; an omitted line stays), repaints,
    // serves pending events once and returns true when the operator asked to cancel since the
    // banner was opened.
    bool CartelMostrar(const std::optional<Value>& L1 = std::nullopt,
                       const std::optional<Value>& l2 = std::nullopt,
                       const std::optional<Value>& l3 = std::nullopt);

    // Hides and releases the banner; the next use starts a fresh one, without a cancel request.
    void CartelCerrar();

    // True keeps the banner above every window (its default); false returns it to the normal order.
    // Place and size are kept.
    void Siempre_Visible(bool valor);

    // The current banner window, or null when none is open (for tests and the program's layout).
    Lbf_CtrlDisplay* formulario() const { return m_form.get(); }

private:
    Lbf_CtrlDisplay& form();

    std::unique_ptr<Lbf_CtrlDisplay> m_form;
};

inline Dll_Display& gDisplay()
{
    return Service<Dll_Display>::get();
}
