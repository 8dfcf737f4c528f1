// The budget-file link: a budget rendered, put on the document server and recorded against the
// account, and the link through which the customer views and signs it written into the message.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QFile>

#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Steps.h"
#include "sending/DocumentoEnvio.h"
#include "sending/modHelpDeskWeb.h"

namespace {

const QString InicioAncla = QStringLiteral("<a href='");
const QString FinAncla = QStringLiteral("' </a>.");

} // namespace

bool FrmEnviar::conLinkPresupuesto() const
{
    return TC.compare(QLatin1String("PR"), Qt::CaseInsensitive) == 0
        && m_generaLinkPresupuesto.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

QString FrmEnviar::anclaPresupuesto(const QString& idContacto) const
{
    const QString leyenda = conLinkPresupuesto()
        ? QStringLiteral("LINK PARA VISUALIZAR Y FIRMAR NUESTRA PROPUESTA, AQUI")
        : QString();
    return InicioAncla
        + modHelpDeskWeb::LinkPresupuestoWeb(Cuenta, idContacto, m_envio.sitioPresupuestos)
        + QStringLiteral("'> '") + leyenda + FinAncla;
}

void FrmEnviar::ObtenerLink(const QString& Suc, const QString& Nro, const QString& Letra,
    bool CambiarLink, QString Archivo, QString ArchivoAdjunto)
{
    controles();
    const bool haySitio = !m_envio.sitioPresupuestos.trimmed().isEmpty();
    const auto sinSitio = [&] {
        aviso(QStringLiteral("No está configurado el sitio de presupuestos (Envio.ini)"),
            Msg::Information, QStringLiteral("Aviso"));
    };

    if (CambiarLink) {
        if (!conLinkPresupuesto())
            return;
        if (!haySitio) {
            sinSitio();
            return;
        }
        const QString idContacto = QString::number(ObtenerIdContacto());
        // The budget's earlier link gives way to the one of the present recipient.
        QString texto = mensaje();
        const qsizetype inicio = texto.indexOf(InicioAncla);
        const qsizetype fin = inicio < 0 ? -1 : texto.indexOf(FinAncla, inicio);
        if (fin >= 0)
            texto = texto.left(inicio) + QStringLiteral("\r\n") + texto.mid(fin + FinAncla.size());
        setTexto(QStringLiteral("Mensaje"),
            texto + QStringLiteral("\r\n") + anclaPresupuesto(idContacto));
        return;
    }

    if (!haySitio) {
        sinSitio();
        return;
    }
    const QString idContacto = QString::number(ObtenerIdContacto());
    // Failures reach the caller: nothing here decides what a failed budget link means.
    Steps pasos([](const RuntimeError& error) -> int { throw error; });
    QString pdf = ArchivoAdjunto;
    if (Archivo.isEmpty()) {
        DocumentoEnvio documento(pasos);
        if (documento.presupuesto(Cuenta, TC, IdComprobante, Suc, Nro, Letra)
            == DocumentoEnvio::Resultado::SinComprobante)
            throw RuntimeError(
                RuntimeError::FileNotFound, DocumentoEnvio::textoSinComprobante(TC, IdComprobante));
        Archivo = documento.cuerpoHtml();
        ArchivoAdjunto = documento.adjuntos();
        pdf = documento.pdf();
        m_carpetaDocumento = documento.carpeta();
    }

    const QString numero = IdComprobante.trimmed();
    uploadAdjuntoWeb(pdf, numero, QStringLiteral("PDF"), true, false, true);

    DocumentoEnvio::registraPresupuesto(Cuenta.trimmed(), numero, conLinkPresupuesto());

    ui->WebBrowser1->setVisible(false);
    setTexto(QStringLiteral("Mensaje"), anclaPresupuesto(idContacto));
    ui->txtAttach->setText(ArchivoAdjunto);
    MostrarAntes = true;
    if (!Archivo.isEmpty() && QFile::exists(FileNames::resolve(Archivo)))
        QFile::remove(FileNames::resolve(Archivo));
}
