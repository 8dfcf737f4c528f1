// The sender's uploads to the document server.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "sending/SubidaDocumento.h"
#include "services/Configuracion.h"
#include "services/FechaServidor.h"
#include "services/ManejoErrores.h"
#include "services/ModArchivos.h"

namespace {

const QString Aviso = QStringLiteral("Aviso");

} // namespace

void FrmEnviar::uploadAdjuntoWeb(const QString& archivoOriginal, const QString& NombreArchivo,
    const QString& Ext, bool MantenerNombre, bool EsContrato, bool EsPresupuesto)
{
    controles();
    const QString codigo = Configuracion::CfgKZQ(QStringLiteral("FTP_CODIGOCTA"));
    if (EsContrato)
        MantenerNombre = true;
    if (codigo.trimmed().isEmpty()) {
        aviso(QStringLiteral("Debe configurar el codigo de cliente!") + QStringLiteral("\r\n")
                + QStringLiteral("Comuniquese con Orba Lis Plus."),
            Msg::Information, Aviso);
        return;
    }
    const QString host
        = m_servidorDocumentos.isEmpty() ? m_envio.servidorDocumentos : m_servidorDocumentos;
    if (host.trimmed().isEmpty()) {
        aviso(QStringLiteral("No está configurado el servidor de documentos (Envio.ini)"),
            Msg::Information, Aviso);
        return;
    }

    const QString nombre
        = NombreArchivo.isEmpty() ? QStringLiteral("DOCUMENTO_TMP") : NombreArchivo;
    QString extension = Ext;
    extension.remove(u'.');
    const QString subida = SubidaDocumento::nombreSubida(
        archivoOriginal, nombre, extension, MantenerNombre, FechaServidor());
    // The name becomes a file of the data folder, a line of the command file and a server path:
    // one that leaves the folder or breaks the line is never used for any of them.
    if (!SubidaDocumento::nombreValido(subida)) {
        avisoSubida(
            QStringLiteral("Se produjo un error: El nombre del archivo no es válido: ") + subida);
        LinkDocumento = QStringLiteral("** Error al subir el archivo ") + subida;
        return;
    }

    // The working copy under the server's name is what the suite's FTP client would pick up. A
    // file that already lies there under that name is not ours: it is neither replaced nor
    // removed, and the copy is skipped.
    QDir().mkpath(dataFolder());
    const QString copia = dataFolder() + u'/' + subida;
    const QFileInfo original(FileNames::resolve(archivoOriginal));
    bool copiaPropia = false;
    const QFileInfo previa(copia);
    if (original.isFile() && !previa.exists() && !previa.isSymLink()) {
        // A large document takes a while to copy: the window keeps painting meanwhile.
        const QString desde = original.filePath();
        const bool habilitado = ui->cmdSend->isEnabled();
        enSegundoPlano([&] {
            copiaPropia = QFile::copy(desde, copia);
            return copiaPropia;
        });
        ui->cmdSend->setEnabled(habilitado);
    }

    const QString comandos = SubidaDocumento::archivoComandos();
    QFile::remove(comandos);
    SubidaDocumento::crearArchivo(comandos, subida);

    const SubidaDocumento::Destino d
        = SubidaDocumento::destino(host, codigo, subida, EsContrato, EsPresupuesto, Today());
    LinkDocumento = d.link;
    if (!SubirArchivoHTTPS(
            QStringLiteral("https://") + host.trimmed() + QStringLiteral("/uploadvb6.aspx"),
            archivoOriginal, d.ruta))
        LinkDocumento = QStringLiteral("** Error al subir el archivo ") + subida;
    if (copiaPropia)
        QFile::remove(copia);
}

bool FrmEnviar::SubirArchivoHTTPS(
    const QString& sURL, const QString& sRutaArchivo, const QString& sRutaDestino)
{
    controles();
    const bool habilitado = ui->cmdSend->isEnabled();
    const QString fallo = SubidaDocumento::sube(sURL, sRutaArchivo, sRutaDestino,
        m_envio.seguridadHttp(), m_segundosSubida, [&](const std::function<void()>& transferencia) {
            enSegundoPlano([&] {
                transferencia();
                return true;
            });
            ui->cmdSend->setEnabled(habilitado);
        });
    if (fallo.isEmpty())
        return true;
    avisoSubida(fallo);
    return false;
}

void FrmEnviar::avisoSubida(const QString& texto)
{
    // An unattended send must never stop at a box: the log keeps what the box would have said.
    if (pSilencioso) {
        ErrorLog::append(archivoErroresPrograma(),
            ErrorLog::line(Now(), QStringLiteral("SubirArchivoHTTPS"), texto, 0));
        return;
    }
    MsgBox(texto, Msg::Critical, QStringLiteral("Error"));
}

QString FrmEnviar::URLEncode(const QString& str)
{
    return SubidaDocumento::URLEncode(str);
}

void FrmEnviar::crearArchivo(const QString& ruta, const QString& dato, bool NoAgrega)
{
    SubidaDocumento::crearArchivo(ruta, dato, NoAgrega);
}
