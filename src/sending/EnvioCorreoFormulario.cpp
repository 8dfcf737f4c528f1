#include "sending/EnvioCorreoFormulario.h"
#include "ui_FrmEnviar.h"

#include <QApplication>

#include "formhelpers/FormularioModal.h"
#include "platform/Twips.h"
#include "sending/FrmEnviar.h"
#include "sending/eMailAux.h"

EnvioCorreoFormulario::EnvioCorreoFormulario() = default;

EnvioCorreoFormulario::~EnvioCorreoFormulario() = default;

void EnvioCorreoFormulario::entregar(const Entrega& entrega)
{
    m_form = std::make_unique<FrmEnviar>(QApplication::activeWindow());
    FrmEnviar& f = *m_form;
    if (alCrear)
        alCrear(f);
    f.MostrarAntes = true;
    f.ArchivoWeb.clear();
    f.TC.clear();
    f.IdComprobante.clear();
    f.Cuenta.clear();

    // The first touch loads the form: it sees the five values above, not yet the attachment.
    f.setTexto(QStringLiteral("Mensaje"), entrega.mensaje);
    f.setTexto(QStringLiteral("De"), entrega.de);
    if (!entrega.nombreUsuario.isEmpty())
        f.setTexto(QStringLiteral("De"), entrega.nombreUsuario);
    f.setTexto(QStringLiteral("Para"), entrega.para);
    f.setTexto(QStringLiteral("Asunto"), entrega.asunto);
    Ui::FrmEnviar& c = f.controles();
    c.txtAttach->setText(entrega.adjunto);
    c.WebBrowser1->setVisible(false);
    f.archAdjunto = entrega.adjunto;
    f.setWindowTitle(entrega.titulo);
    c.txtfields_3->setFixedHeight(Twips::toPixels(5460));
    if (antesDeEnviar)
        antesDeEnviar(f);

    if (eMailAux::gResultadoEnvio == 1) {
        c.ChkAutomatico->setChecked(true);
        f.MostrarAntes = false;
        f.show();
        f.cmdSend_Click();
    } else {
        c.ChkAutomatico->setChecked(false);
        f.MostrarAntes = true;
        MuestraModal(f);
    }
}

QString EnvioCorreoFormulario::emailPara() const
{
    return eMailAux::gEmailPara;
}

QString EnvioCorreoFormulario::emailAsunto() const
{
    return eMailAux::gEmailAsunto;
}

QString EnvioCorreoFormulario::emailMensaje() const
{
    return eMailAux::gEmailMensaje;
}

void EnvioCorreoFormulario::descargar()
{
    if (m_form)
        m_form->Unload();
    m_form.reset();
}
