// The sender's messaging method (WhatsApp Web), its attachments line and the opener.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTimer>

#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/Launcher.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "platform/Twips.h"
#include "sending/EnvioWhatsapp.h"
#include "texttools/ModGlobal.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The form's height in either method, in twips.
constexpr int AltoFormulario = 10635;

} // namespace

// Choosing a method by its picture runs the option's handling once: selecting an option that
// was not selected already runs it through the option's own signal.
void FrmEnviar::Image1_Click()
{
    if (m_enviando)
        return;
    if (ui->optMetodoEnvio_1->isChecked())
        optMetodoEnvio_Click(1);
    else
        ui->optMetodoEnvio_1->setChecked(true);
}

void FrmEnviar::Image2_Click()
{
    if (m_enviando)
        return;
    if (ui->optMetodoEnvio_0->isChecked())
        optMetodoEnvio_Click(0);
    else
        ui->optMetodoEnvio_0->setChecked(true);
}

void FrmEnviar::optMetodoEnvio_Click(int Index)
{
    controles();
    if (m_enviando)
        return;
    ++m_enviando;
    const auto libre = qScopeGuard([this] { --m_enviando; });
    const bool whatsapp = Index == 1;
    if (whatsapp)
        LinkDocumento.clear();
    // The panels of the method left are hidden before the others are shown: for a moment both
    // at once would stretch the form past the foot of a laptop's screen, and it would stay so.
    const QList<QWidget*> correo { ui->Frame5_0, ui->Frame3, ui->Frame4 };
    for (QWidget* panel : whatsapp ? correo : QList<QWidget*> { ui->frameWhatsapp })
        panel->setVisible(false);
    for (QWidget* panel : whatsapp ? QList<QWidget*> { ui->frameWhatsapp } : correo)
        panel->setVisible(true);
    // Both methods keep the form's one height.
    layout()->activate();
    resize(width(), qMax(minimumSizeHint().height(), Twips::toPixels(AltoFormulario)));
    setWindowTitle(whatsapp ? QStringLiteral("Formulario Envio de Whatsapp")
                            : QStringLiteral("Formulario Envio de eMail"));
    if (!whatsapp)
        return;

    ui->frmEspera->show();
    ui->frmEspera->raise();
    if (archAdjunto.isEmpty())
        archAdjunto = ui->txtAttach->text();
    if (!archAdjunto.trimmed().isEmpty()) {
        const QStringList rutas = archAdjunto.split(u';');
        const QString hoy = Today().toString(QStringLiteral("yyyyMMdd"));
        if (rutas.size() == 1) {
            const QString& ruta = rutas.first();
            if (!TC.isEmpty())
                uploadAdjuntoWeb(ruta, TC + IdComprobante, QStringLiteral("PDF"));
            else
                uploadAdjuntoWeb(ruta, hoy,
                    ruta.trimmed().contains(QLatin1String(".pdf"), Qt::CaseInsensitive)
                        ? QStringLiteral("PDF")
                        : QStringLiteral("HTML"));
        } else {
            // Each link goes in front of the ones before it: the last attachment is read first.
            QString links;
            for (qsizetype i = 0; i < rutas.size(); ++i) {
                LinkDocumento.clear();
                uploadAdjuntoWeb(
                    rutas.at(i), hoy + u'_' + QString::number(i), QStringLiteral("PDF"));
                if (!LinkDocumento.contains(QLatin1String(".css"), Qt::CaseInsensitive))
                    links = LinkDocumento + CrLf + links;
            }
            LinkDocumento = CrLf + links + CrLf;
        }
    }
    ui->frmEspera->hide();
    ui->txtMensajeWhatsapp->setPlainText(
        EnvioWhatsapp::componeMensaje(mensaje(), texto(QStringLiteral("Asunto")), LinkDocumento)
            .replace(CrLf, QStringLiteral("\n")));
}

void FrmEnviar::cmdEnviarWhatsapp_Click()
{
    controles();
    if (m_enviando)
        return;
    ++m_enviando;
    const auto libre = qScopeGuard([this] { --m_enviando; });
    const QString numero = ui->txtParaWhatsapp->text();
    const QString texto = ui->txtMensajeWhatsapp->toPlainText();
    if (numero.trimmed().isEmpty()) {
        aviso(QStringLiteral("Debe informar el número de contacto"), Msg::Information,
            QStringLiteral("Aviso"));
        return;
    }
    if (texto.trimmed().isEmpty()) {
        aviso(QStringLiteral("Debe informar el mensaje a enviar"), Msg::Information,
            QStringLiteral("Aviso"));
        return;
    }
    const QString host = m_envio.servidorWhatsapp.isEmpty() ? ConfiguracionEnvio().servidorWhatsapp
                                                            : m_envio.servidorWhatsapp;
    const QString direccion = EnvioWhatsapp::direccion(host, EnvioWhatsapp::numero(numero), texto);
    Launcher* lanzador = Service<Launcher>::tryGet();
    // The client is never confirmed; but when nothing could even be started, nothing was sent.
    if (!lanzador || !lanzador->openDocument(direccion, false)) {
        aviso(QStringLiteral("No se pudo abrir WhatsApp Web"), Msg::Critical,
            QStringLiteral("Aviso"));
        return;
    }
    RegistrarEnvio(false, QString(), QString(), true);
    pSalir = true;
}

void FrmEnviar::CmdCopiar_Click()
{
    controles();
    QClipboard* portapapeles = QGuiApplication::clipboard();
    portapapeles->clear();
    portapapeles->setText(ui->txtMensajeWhatsapp->toPlainText());
    ui->lblAviso->show();
    // The notice goes by itself; the form is not held for that second.
    QTimer::singleShot(1000, ui->lblAviso, &QWidget::hide);
}

void FrmEnviar::cmdBrowse_Click()
{
    controles();
    FileDialog* dialogo = Service<FileDialog>::tryGet();
    OpenFileRequest pedido;
    pedido.title = QStringLiteral("Select File Attachment(s)");
    pedido.filter = QStringLiteral("All Files (*.*)|*.*|HTML Files (*.htm;*.html;*.shtml)|"
                                   "*.htm;*.html;*.shtml|Images (*.bmp;*.jpg;*.gif)|"
                                   "*.bmp;*.jpg;*.gif");
    pedido.filterIndex = 1;
    const std::optional<QStringList> elegidos
        = dialogo ? dialogo->getOpenFileNames(pedido) : std::nullopt;
    if (!elegidos || elegidos->isEmpty()) {
        aviso(QStringLiteral("Se canceló la selección de archivos."), Msg::Critical,
            QStringLiteral("Error"));
        return;
    }
    QString lista = ui->txtAttach->text();
    for (const QString& ruta : *elegidos)
        lista += (lista.isEmpty() ? QString() : QStringLiteral(";")) + ruta;
    ui->txtAttach->setText(lista);
}

void FrmEnviar::CmdAbrir_Click()
{
    controles();
    AbrirAdjunto(ui->txtAttach->text(), true);
}

void FrmEnviar::AbrirAdjunto(const QString& QueArchivo, bool MostrarVentana)
{
    // Each attachment of the list opens on its own; paths go to the opener as they are, so
    // blanks need no quotes.
    Launcher* lanzador = Service<Launcher>::tryGet();
    if (!lanzador)
        return;
    for (const QString& ruta : QueArchivo.split(u';', Qt::SkipEmptyParts)) {
        if (!ruta.trimmed().isEmpty())
            lanzador->openDocument(ruta.trimmed(), !MostrarVentana);
    }
}

QString FrmEnviar::ColorARGB(const QString& Color)
{
    return ModGlobal::ColorAHtml(Color);
}
