#pragma once

#include <functional>
#include <memory>

#include "reports/EnvioCorreo.h"

class FrmEnviar;

// The report output's hand-off through the sender form: one form per hand-off, loaded at the
// first touch of its fields. src/app installs it as Service<EnvioCorreo>.
class EnvioCorreoFormulario final : public EnvioCorreo
{
public:
    EnvioCorreoFormulario();
    ~EnvioCorreoFormulario() override;

    void entregar(const Entrega& entrega) override;
    QString emailPara() const override;
    QString emailAsunto() const override;
    QString emailMensaje() const override;
    void descargar() override;

    // The form of the hand-off in course (null once unloaded); for tools and tests.
    FrmEnviar* formulario() const { return m_form.get(); }
    // Called with each new form before its first touch (a tool points it at its server).
    std::function<void(FrmEnviar&)> alCrear;
    // Called once the texts and the attachment are in, before the send or the modal show (a
    // tool gives the recipients the program would have remembered).
    std::function<void(FrmEnviar&)> antesDeEnviar;

private:
    std::unique_ptr<FrmEnviar> m_form;
};
