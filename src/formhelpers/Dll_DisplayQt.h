#pragma once

#include <memory>

#include "services/Dll_Display.h"

class Lbf_CtrlDisplay;

// The banner as a window of its own (Lbf_CtrlDisplay), created on first use.
class Dll_DisplayQt final : public Dll_Display
{
public:
    Dll_DisplayQt();
    ~Dll_DisplayQt() override;
    Dll_DisplayQt(const Dll_DisplayQt&) = delete;
    Dll_DisplayQt& operator=(const Dll_DisplayQt&) = delete;

    void CartelInicio(const QString& Titulo, int PermiteCancelar) override;
    bool CartelMostrar(const std::optional<Value>& L1 = std::nullopt,
        const std::optional<Value>& l2 = std::nullopt,
        const std::optional<Value>& l3 = std::nullopt) override;
    void CartelCerrar() override;
    void Siempre_Visible(bool valor) override;

    // The current banner window, or null when none is open (for tests and the program's layout).
    Lbf_CtrlDisplay* formulario() const { return m_form.get(); }

private:
    Lbf_CtrlDisplay& form();

    std::unique_ptr<Lbf_CtrlDisplay> m_form;
};
