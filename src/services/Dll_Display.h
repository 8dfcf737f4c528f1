#pragma once

#include <optional>

#include <QString>

#include "platform/Service.h"
#include "platform/Value.h"

// The please-wait banner long operations show: open it with CartelInicio, refresh its lines and
// poll the cancel request with CartelMostrar while working, close it with CartelCerrar. One
// program-wide instance, installed by src/app (the banner window, Dll_DisplayQt) and reached
// through gDisplay(). The banner runs no event loop of its own: its animation and cancel button
// are served while the caller is inside CartelMostrar.
class Dll_Display
{
public:
    virtual ~Dll_Display() = default;

    // Shows the banner with the caption `Titulo`; a non-zero `PermiteCancelar` shows the cancel
    // button. Modeless, centred on the screen.
    virtual void CartelInicio(const QString& Titulo, int PermiteCancelar) = 0;

    // Sets the lines that are given (a Null value shows as empty; an omitted line stays), repaints,
    // serves pending events once and returns true when the operator asked to cancel since the
    // banner was opened.
    virtual bool CartelMostrar(const std::optional<Value>& L1 = std::nullopt,
        const std::optional<Value>& l2 = std::nullopt,
        const std::optional<Value>& l3 = std::nullopt)
        = 0;

    // Hides and releases the banner; the next use starts a fresh one, without a cancel request.
    virtual void CartelCerrar() = 0;

    // True keeps the banner above every window (its default); false returns it to the normal order.
    // Place and size are kept.
    virtual void Siempre_Visible(bool valor) = 0;
};

inline Dll_Display& gDisplay()
{
    return Service<Dll_Display>::get();
}
