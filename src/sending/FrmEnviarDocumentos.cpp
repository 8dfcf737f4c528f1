// The sender's public operations that mail a document by itself: by the voucher type's mail rule
// (or forced), rendered into files first, and a text file to an account.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <optional>

#include <QFile>
#include <QStringDecoder>

#include "formhelpers/FormularioModal.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "platform/Twips.h"
#include "platform/Utilidades.h"
#include "platform/Windows1252.h"
#include "sending/ContactosEnvio.h"
#include "sending/DocumentoEnvio.h"
#include "sending/ReglaCorreo.h"
#include "sending/eMailAux.h"
#include "services/Configuracion.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"

namespace {

// A text file as the suite writes them (Windows-1252), or UTF-8 when it reads as such; the lines
// joined with nothing between them.
QString lineasUnidas(const QString& ruta)
{
    QFile f(FileNames::resolve(ruta));
    if (!f.open(QIODevice::ReadOnly))
        throw RuntimeError(
            RuntimeError::FileNotFound, QStringLiteral("No se encontró el archivo: ") + ruta);
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString texto = utf8(bytes);
    if (utf8.hasError())
        texto = Windows1252::decode(bytes);
    texto.remove(u'\r');
    return texto.split(u'\n').join(QString());
}

} // namespace

void FrmEnviar::VerificaeMail(QString& Cuenta, const QString& TC, const QString& IdComprobante,
    bool PorPantalla, bool ForzarEnvio, const QString& eMailFijo)
{
    Steps pasos = reportAs(QStringLiteral("VerificaeMail"));
    if (!pasos.run([&] {
            if (controles().ChkAutomatico->isChecked())
                ForzarEnvio = true;
        }))
        return;

    bool sinConfirmacion = false;
    std::optional<ReglaCorreo> regla;
    if (ForzarEnvio) {
        sinConfirmacion = eMailAux::gResultadoEnvio == 1;
        PorPantalla = false;
    } else {
        if (!pasos.run([&] { regla = ReglaCorreo::lee(TC); }))
            return;
        if (!regla) {
            Unload();
            return;
        }
        if (regla->SinConfirmacion)
            sinConfirmacion = *regla->SinConfirmacion;
    }

    DocumentoEnvio documento(pasos);
    if (!ForzarEnvio || !TC.isEmpty()) {
        const DocumentoEnvio::Resultado resultado
            = documento.genera(Cuenta, TC, IdComprobante, PorPantalla);
        m_carpetaDocumento = documento.carpeta();
        switch (resultado) {
        case DocumentoEnvio::Resultado::Abandonado:
            return;
        case DocumentoEnvio::Resultado::SinComprobante:
            aviso(DocumentoEnvio::textoSinComprobante(TC, IdComprobante), Msg::Information,
                QStringLiteral("Aviso al Operador"));
            Unload();
            return;
        case DocumentoEnvio::Resultado::Hecho:
            break;
        }
        // The preview of the document on the screen is the operator's: nothing else happens.
        if (PorPantalla)
            return;
        if (!pasos.run([&] { muestraPiePagina(); }))
            return;
    }

    if (!CompletaFormularioEnvio(
            pasos, regla, sinConfirmacion, Cuenta, TC, IdComprobante, eMailFijo, documento))
        return;
    Unload();
}

void FrmEnviar::muestraPiePagina()
{
    QTextBrowser* vista = controles().WebBrowser1;
    vista->setVisible(true);
    vista->move(Twips::toPixels(10), vista->y());
    vista->setFixedWidth(qMax(0, width() - Twips::toPixels(260)));
    QString pie;
    eMailAux::GeneraArchivoPie(pie);
    navegaVistaPrevia(pie);
}

bool FrmEnviar::CompletaFormularioEnvio(Steps& pasos, const std::optional<ReglaCorreo>& regla,
    bool sinConfirmacion, const QString& Cuenta, const QString& TCDoc,
    const QString& IdComprobanteDoc, const QString& eMailFijo, const DocumentoEnvio& documento)
{
    QString pie;
    if (!pasos.run([&] { eMailAux::GeneraArchivoPie(pie); }))
        return false;
    MostrarAntes = !sinConfirmacion;
    ArchivoWeb = pie;
    TC = TCDoc;
    IdComprobante = IdComprobanteDoc;
    this->Cuenta = Cuenta;
    controles().txtAttach->setText(documento.adjuntos());
    archAdjunto = documento.adjuntos();

    const bool conCuenta = !Cuenta.trimmed().isEmpty();
    if (conCuenta && !pasos.run([&] {
            ui->txtParaWhatsapp->setText(ContactosEnvio::numeroWhatsapp(Cuenta));
            if (auto* etiqueta = findChild<QLabel*>(QStringLiteral("LblMailWSapp")))
                etiqueta->setText(ui->txtParaWhatsapp->text());
        }))
        return false;

    const auto nombreCuenta = [&] { return ContactosEnvio::nombreCuenta(Cuenta); };
    const auto contactos = [&] {
        return eMailFijo.isEmpty() ? eMailAux::ObtieneMailsContactos(TCDoc, Cuenta) : eMailFijo;
    };
    const auto vacio = [&](const char* nombre) {
        return texto(QString::fromLatin1(nombre)).trimmed().isEmpty();
    };
    const QString numero = TCDoc + u' ' + IdComprobanteDoc;
    bool sigue = true;
    if (!regla) {
        // Forced: what the caller already wrote stays.
        sigue = pasos.runAll({ [&] {
                                  if (vacio("De"))
                                      setTexto(QStringLiteral("De"),
                                          Configuracion::Cfg(QStringLiteral("email_de")).trimmed());
                              },
            [&] {
                if (vacio("Para") && conCuenta)
                    setTexto(QStringLiteral("Para"), contactos());
            },
            [&] {
                if (vacio("Asunto"))
                    setTexto(QStringLiteral("Asunto"),
                        ReglaCorreo::asuntoSinRegla(numero, nombreCuenta()));
            } });
    } else {
        sigue = pasos.runAll({ [&] { setTexto(QStringLiteral("De"), regla->De); },
            [&] { setTexto(QStringLiteral("Para"), regla->para(contactos())); },
            [&] { setTexto(QStringLiteral("Asunto"), regla->asunto(numero, nombreCuenta())); },
            [&] { setTexto(QStringLiteral("Mensaje"), regla->Mensaje); } });
    }
    if (!sigue)
        return false;

    // A budget carries the link through which the customer views and signs it.
    if (conLinkPresupuesto() && !pasos.run([&] {
            ObtenerLink(IdComprobanteDoc.mid(0, 4), IdComprobanteDoc.mid(4, 8),
                IdComprobanteDoc.mid(12, 1), true);
        }))
        return false;

    if (!pasos.runAll({ [&] {
                           ui->WebBrowser1->setVisible(false);
                           ui->txtfields_3->setFixedHeight(Twips::toPixels(5460));
                       },
            [&] { CargaMensaje(); } }))
        return false;
    MostrarAntes = false;

    if (sinConfirmacion) {
        if (!pasos.run([&] { cmdSend_Click(); }))
            return false;
        Unload();
    } else {
        pSalir = false;
        MostrarAntes = true;
        if (!pasos.run([&] { MuestraModal(*this); }))
            return false;
    }

    // The body file only served the rendering; a document that printed none leaves nothing.
    const QString cuerpo = documento.cuerpoHtml();
    return pasos.run([&] {
        if (!cuerpo.isEmpty() && QFile::exists(FileNames::resolve(cuerpo))
            && !QFile::remove(FileNames::resolve(cuerpo)))
            throw RuntimeError(
                75, QStringLiteral("Error de acceso a la ruta o el archivo: ") + cuerpo);
    });
}

void FrmEnviar::EnviarMail_Especial(const QString& Cuenta, const QString& Arch)
{
    const QString carpeta = gUtilidades().RutaConBarra(temporaryFolder());
    MostrarAntes = true;
    ArchivoWeb = Arch;

    const QString para = ContactosEnvio::direccionAdicional(Cuenta);
    const VariablesInicio* inicio = Service<VariablesInicio>::tryGet();
    const std::optional<QString> de
        = ContactosEnvio::direccionUsuario(inicio ? inicio->gUsuarioLogeado : QString());
    if (de)
        setTexto(QStringLiteral("De"), *de);

    if (Arch.isEmpty())
        return;
    const QString mensaje = lineasUnidas(Arch);
    eMailAux::GenerarEstiloCtrlDiff(carpeta);
    controles().txtAttach->setText(Arch + u';');
    setTexto(QStringLiteral("Mensaje"), mensaje);
    setTexto(QStringLiteral("Para"), para);
    show();
}
