#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QVariant>

#include "platform/Mail.h"
#include "sending/ConfiguracionEnvio.h"
#include "sending/CuentaCorreo.h"

namespace Ui {
class FrmEnviar;
}
class DocumentoEnvio;
struct ReglaCorreo;
class Steps;

// The document sender: a caller sets the public variables, touches the controls (the first touch
// loads the form, so the load sees only the variables set before it), then shows it modally for
// the operator to send with "[F2] Enviar Email", or modeless and calls cmdSend_Click itself. The
// outcome and the last texts stay in eMailAux's variables once the form unloads.
//
// The transfer runs on a worker thread; the form waits in a local event loop (it repaints, the
// send button is disabled, Esc and closing are ignored) and cmdSend_Click returns after the send.
class FrmEnviar final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmEnviar(QWidget* parent = nullptr);
    ~FrmEnviar() override;

    // Public variables, as callers set them.
    QString IdEvento; // a successful send hides the form without a notice
    bool desdeTablero = false;
    QString NroOT;
    bool seEnvio = false;
    bool MostrarAntes = false; // interactive: preview, failure reasons, keep "De" as default
    QString ArchivoWeb; // HTML shown in the preview
    QString TC;
    QString IdComprobante;
    QString Cuenta;
    bool EnvioManual = false; // hides the preview
    QString archAdjunto; // a ".RPT" attachment becomes a PDF at load
    QString pTC;
    QString pIDCPTE;
    bool pSalir = false;
    bool pSilencioso = false; // minimised, no message boxes but the two the sender always shows
    QVariant pAutomatico;

    // The controls; the first call loads the form.
    Ui::FrmEnviar& controles();
    // A control by its name (objectName); the first call loads the form.
    template <typename T> T* control(const char* nombre)
    {
        controles();
        return findChild<T*>(QLatin1String(nombre));
    }
    // The member of txtfields by index (0 De, 1 Para, 2 Asunto, 3 Mensaje, 4 RutaImagen).
    QWidget* txtfields(int index);
    // Text of the member whose DataField is `campo` (ignoring case); the message with CR LF line
    // ends, as the suite stores it.
    QString texto(const QString& campo);
    void setTexto(const QString& campo, const QString& valor);
    bool cargado() const { return m_cargado; }

    void cmdSend_Click();
    void cmdExit_Click();
    void cmdSalir_Click();
    void CargaMensaje();
    bool EnviarPyMail();
    std::unique_ptr<Mail> getPyMail();
    void RegistrarEnvio(bool HayError, const QString& TextoError = QString(),
        const QString& CodigoActivador = QString(), bool esWhatsapp = false);
    void ActualizaContestado(
        const QString& Usuario, const QString& UIDL, const QString& CuentaEmail);
    void Rtf_Html_EliminarTemp(const QString& ruta);
    // A URL piece as a file name (decoded, "/" as "\", blanks as "_"); `Value` keeps its blanks.
    QString GetStringFile(QString& Value, bool Force = true);
    // --- Contacts (FrmEnviarContactos.cpp) ---
    // Name, position and mobile of the recipient from vt_e_mail beside "Para" (grey placeholders
    // where empty); the test texts when started with "Email_Prueba".
    void VerificarContacto();
    // Keeps the recipient (or `EMail`) as a contact of MA_CONTACTOS with the contact fields, linked
    // to `Cuenta` when given. A known address is only updated when `NombreCuenta` is given;
    // "Seleccion Multiple" and anything that is not one address keep nothing. Failures go to
    // ManejoErrores.
    void GrabarContacto(const QString& EMail = QString(), const QString& Cuenta = QString(),
        const QString& NombreCuenta = QString());
    // IdContacto of the contact with the recipient's (or `EMail`'s) address; 0 when none.
    long ObtenerIdContacto(const QString& EMail = QString());
    // F5 lookups: recipients among the known addresses (several give "Seleccion Multiple" and
    // gDestinatarios), or the WhatsApp number among the account's contacts.
    void CmdConsultar_Click();
    void cmdConsultarContacto_Click();
    // "Para" left: the contact of the recipient, and the budget link. An unknown recipient moves
    // the focus to the name when `motivo` is the keyboard's (Tab, Shift+Tab).
    void txtfields_LostFocus(int Index, Qt::FocusReason motivo = Qt::OtherFocusReason);
    // --- Uploads to the document server (FrmEnviarSubida.cpp) ---
    // Uploads `archivoOriginal` to the customer's folder of the document server (Envio.ini
    // [Documentos]) and leaves the link in LinkDocumento, or "** Error al subir el archivo " and
    // the server name when the upload failed. An empty `NombreArchivo` is "DOCUMENTO_TMP", the dots
    // of `Ext` are dropped, a contract keeps its name. Without the customer code (FTP_CODIGOCTA)
    // or the server's host it shows an "Aviso" box (not when silent) and changes nothing. The
    // transfer runs on a worker thread while the window keeps painting.
    void uploadAdjuntoWeb(const QString& archivoOriginal, const QString& NombreArchivo = QString(),
        const QString& Ext = QStringLiteral("pdf"), bool MantenerNombre = false,
        bool EsContrato = false, bool EsPresupuesto = false);
    // Posts the file to `sURL` to be stored as `sRutaDestino`; true on status 200. Failures show a
    // critical "Error" box (when silent, its text goes to the error log instead).
    bool SubirArchivoHTTPS(
        const QString& sURL, const QString& sRutaArchivo, const QString& sRutaDestino);
    QString URLEncode(const QString& str);
    void crearArchivo(const QString& ruta, const QString& dato, bool NoAgrega = false);
    // The document server a tool uploads to instead of Envio.ini's (host[:port]); empty: none.
    void setServidorDocumentos(const QString& servidor) { m_servidorDocumentos = servidor; }
    // The longest an upload may take, in seconds, instead of the one its size gives; 0: by size.
    void setSegundosSubida(int segundos) { m_segundosSubida = segundos; }

    // --- Messaging method and attachments (FrmEnviarWhatsapp.cpp) ---
    // 0 "Email", 1 "Whatsapp": switches the layout; WhatsApp uploads the attachments (links in
    // LinkDocumento, the last attachment's first) and composes txtMensajeWhatsapp.
    void optMetodoEnvio_Click(int Index);
    // The pictures beside the two methods choose them too.
    void Image1_Click();
    void Image2_Click();
    // Opens the messaging web client (Envio.ini [Whatsapp]) with the number and the text and logs
    // the send ("Whatsapp"); a missing number or text, or an opener that cannot start, stops
    // with an "Aviso" box and nothing logged.
    void cmdEnviarWhatsapp_Click();
    // The WhatsApp text to the clipboard; "COPIADO" shows for a second.
    void CmdCopiar_Click();
    // "Agregar": the files chosen are appended to txtAttach (";"-separated).
    void cmdBrowse_Click();
    // "Abrir": each attachment with its associated program.
    void CmdAbrir_Click();
    void AbrirAdjunto(const QString& QueArchivo, bool MostrarVentana);
    QString ColorARGB(const QString& Color);

    // --- The picture of a WhatsApp message (FrmEnviarImagenes.cpp) ---
    // Shows the picture of the file fitted in PicLogo, its path as imglogo's tooltip; a file that
    // cannot be opened only changes the tooltip.
    void AsignarFoto(const QString& Imagen);
    // Writes the thumbnail of `Tmp` (IMAGENES/thumbs5/<ID>.bmp in the data folder), uploads it
    // and leaves its path in `Tmp` and "RutaImagen"; "Error al subir la imagen..." when none was
    // written.
    void GeneraThumb(QString& Tmp, const QString& ID);
    // "Buscar" and "Pegar imagen": the picture saved, reduced, uploaded and its link appended to
    // the WhatsApp text; a file or clipboard with no picture: "Imagen no válida", nothing kept.
    void CmdBuscar_Click();
    void cmdPegar_Click();
    // Double click on the picture, or "Abrir": the viewer on "RutaImagen" (nothing when empty).
    void imglogo_DblClick();
    void cmdAbrirImg_Click();

    // Runs the form's unload step and hides it (a modal show returns). Later touches of the
    // controls do not load it again.
    void Unload();

    // The server a tool sends through instead of the account's (host and port); empty: none.
    void setServidorForzado(const QString& host, int puerto);
    // The site settings file read at load instead of the program folder's "Envio.ini".
    void setConfiguracion(const QString& ruta) { m_rutaConfiguracion = ruta; }
    // The account chosen at load.
    const CuentaCorreo& cuenta() const { return m_cuenta; }
    // Link of the last upload, or the upload's failure text.
    QString LinkDocumento;

    // --- A document mailed on its own (FrmEnviarDocumentos.cpp) ---

    // Mails voucher `TC` `IdComprobante` of `Cuenta`: by the first active rule of v_ma_email
    // whose codigoactivador holds the type, or without one when `ForzarEnvio` (or "ENVIO
    // AUTOMATICO" is ticked). The document is rendered into a fresh work folder (DocumentoEnvio),
    // the fields are filled (a rule overwrites them; forced mode fills only empty ones; "Para" is
    // `eMailFijo`, else the account's contacts for the type, else the rule's), and the mail goes
    // at once when the rule (forced: the last send) says so, else the form is shown modally. A
    // blank `Cuenta` becomes the voucher id. With `PorPantalla` (rule mode) the document is only
    // previewed and the form stays loaded; every other path unloads it. A voucher that is not in
    // the database is told and nothing is rendered. Failures go to ManejoErrores
    // ("VerificaeMail"): Retry, Ignore, anything else leaves at once.
    void VerificaeMail(QString& Cuenta, const QString& TC, const QString& IdComprobante,
        bool PorPantalla = false, bool ForzarEnvio = false, const QString& eMailFijo = QString());

    // Shows the form modeless with the text file `Arch` as message (its lines joined) and as
    // attachment, to the account's additional address, from the logged user's address; the style
    // sheet is written into the temporary folder. A blank `Arch` prepares the form without showing
    // it. A file that cannot be read raises RuntimeError 53.
    void EnviarMail_Especial(const QString& Cuenta, const QString& Arch);
    // The budget link (FrmEnviarPresupuesto.cpp), of the budget `TC` `IdComprobante` of `Cuenta`
    // (`Suc`, `Nro`, `Letra` its point of sale, number and letter). With `CambiarLink`, for a
    // budget when "GeneralinkPrespuesto" reads SI, the message's earlier anchor gives way to a new
    // one at its end; anything else leaves the message. Without it the budget is rendered (unless
    // `Archivo` names its HTML rendering and `ArchivoAdjunto` its PDF), uploaded to the account's
    // "/PRESUPUESTOS/" folder as "<IdComprobante>.PDF", recorded once in
    // MA_CUENTAS_ARCHIVOS_RELACIONADOS, and the message becomes the anchor alone; the attachment
    // box shows the rendered attachment and `Archivo` is deleted. The link's site is Envio.ini's
    // "SitioPresupuestos": unset, an "Aviso" box tells it and nothing changes. Failures reach the
    // caller as RuntimeError.
    void ObtenerLink(const QString& Suc, const QString& Nro, const QString& Letra,
        bool CambiarLink = false, QString Archivo = QString(), QString ArchivoAdjunto = QString());

    // The work folder of the last document VerificaeMail rendered; empty before.
    const QString& carpetaDocumento() const { return m_carpetaDocumento; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void Form_Unload();
    void CargarCuentaCorreo();
    void muestraVistaPrevia();
    // Builds and sends the message; `guardaContactos` keeps the checked recipients as contacts.
    bool secuenciaMensaje(Mail& mail, bool guardaContactos);
    void InformarEnvioCorrecto();
    void InformarEnvioFallido(const QString& respuesta);
    void MostrarErrorEnvio(const QString& texto);
    void MostrarProgreso(long valor);
    void MostrarUltimoEstado(const QString& texto);
    void errorDeEnvio(qint64 numero, const QString& descripcion);
    int aviso(
        const QString& texto, int estilo, const QString& titulo, bool tambienSilencioso = false);
    bool enSegundoPlano(const std::function<bool()>& trabajo);
    void ocupado(bool si);
    void pasoEnlace();
    QString mensaje();

    void muestraPiePagina();
    void navegaVistaPrevia(const QString& ruta);
    bool CompletaFormularioEnvio(Steps& pasos, const std::optional<ReglaCorreo>& regla,
        bool sinConfirmacion, const QString& Cuenta, const QString& TCDoc,
        const QString& IdComprobanteDoc, const QString& eMailFijo, const DocumentoEnvio& documento);

    QString m_carpetaDocumento;
    bool conLinkPresupuesto() const;
    QString anclaPresupuesto(const QString& idContacto) const;

    std::unique_ptr<Ui::FrmEnviar> ui;
    QList<QWidget*> m_txtfields;
    bool m_cargado = false;
    bool m_descargado = false;
    // Transfers under way; uploads run inside a send, so a flag would be cleared by the inner
    // one while the outer still runs. Nothing that sends or uploads starts while it is above 0.
    int m_enviando = 0;
    bool m_cursorOcupado = false;
    bool SalirSinLimpiar = false;
    CuentaCorreo m_cuenta;
    ConfiguracionEnvio m_envio;
    QString m_generaLinkPresupuesto;
    QString m_hostForzado;
    int m_puertoForzado = 0;
    QString m_rutaConfiguracion;

    // Contacts.
    // GrabarContacto; without `conDatos` the contact fields are left out (several recipients
    // share the fields of one).
    void grabaContacto(
        const QString& EMail, const QString& Cuenta, const QString& NombreCuenta, bool conDatos);
    QLineEdit* campoContacto(int indice) const;
    static QString marcaContacto(int indice);
    void muestraContacto(int indice, const QString& valor);
    bool muestraMarca(int indice) const;
    // The contact fields of no known contact; `focoANombre` moves the focus to the name.
    void contactoVacio(bool focoANombre);
    void verificaContacto(bool focoANombre);

    // Pictures.
    bool adjuntaImagen(const QImage& imagen);
    bool filtroImagenes(QObject* objeto, QEvent* evento);
    QImage m_imagen;

    // Uploads.
    void avisoSubida(const QString& texto);
    QString m_servidorDocumentos;
    int m_segundosSubida = 0;
};
