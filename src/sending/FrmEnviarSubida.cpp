// The sender's uploads to the document server.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "sending/SubidaDocumento.h"
#include "startup/Configuracion.h"
#include "startup/FechaServidor.h"
#include "startup/ManejoErrores.h"
#include "startup/ModArchivos.h"

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
    const QString host = m_servidorDocumentos.isEmpty() ? m_envio.servidorDocumentos
                                                        : m_servidorDocumentos;
    if (host.trimmed().isEmpty()) {
        aviso(QStringLiteral("No está configurado el servidor de documentos (Envio.ini)"),
            Msg::Information, Aviso);
        return;
    }

    const QString nombre = NombreArchivo.isEmpty() ? QStringLiteral("DOCUMENTO_TMP") : NombreArchivo;
    QString extension = Ext;
    extension.remove(u'.');
    const QString subida = SubidaDocumento::nombreSubida(
        archivoOriginal, nombre, extension, MantenerNombre, FechaServidor());
    // The name becomes a file of the data folder, a line of the command file and a server path:
    // one that leaves the folder or breaks the line is never used for any of them.
    if (!SubidaDocumento::nombreValido(subida)) {
        avisoSubida(QStringLiteral("Se produjo un error: El nombre del archivo no es válido: ")
            + subida);
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

    const SubidaDocumento::Destino d = SubidaDocumento::destino(
        host, codigo, subida, EsContrato, EsPresupuesto, Today());
    LinkDocumento = d.link;
    if (!SubirArchivoHTTPS(QStringLiteral("https://") + host.trimmed()
                + QStringLiteral("/uploadvb6.aspx"),
            archivoOriginal, d.ruta))
        LinkDocumento = QStringLiteral("** Error al subir el archivo ") + subida;
    if (copiaPropia)
        QFile::remove(copia);
}

bool FrmEnviar::SubirArchivoHTTPS(
    const QString& sURL, const QString& sRutaArchivo, const QString& sRutaDestino)
{
    controles();
    const QFileInfo archivo(FileNames::resolve(sRutaArchivo));
    if (!archivo.isFile()) {
        avisoSubida(QStringLiteral("Error: El archivo especificado no existe: ") + sRutaArchivo);
        return false;
    }
    const QString error = QStringLiteral("Se produjo un error: ");
    if (archivo.size() == 0) {
        avisoSubida(error + QStringLiteral("El archivo está vacío: ") + sRutaArchivo);
        return false;
    }
    HttpFactory* fabrica = Service<HttpFactory>::tryGet();
    HttpSeguridad seguridad = m_envio.seguridadHttp();
    seguridad.segundosTotal = m_segundosSubida > 0
        ? m_segundosSubida
        : SubidaDocumento::segundosMaximos(archivo.size());
    std::unique_ptr<Http> http = fabrica ? fabrica->crear(seguridad) : nullptr;
    if (!http) {
        avisoSubida(error + QStringLiteral("No se pueden hacer envíos por HTTPS en este equipo"));
        return false;
    }
    const HttpPeticion peticion = SubidaDocumento::peticion(sURL, archivo.filePath(), sRutaDestino,
        SubidaDocumento::limite(QTime::currentTime().msecsSinceStartOfDay()));

    HttpRespuesta respuesta;
    const bool habilitado = ui->cmdSend->isEnabled();
    enSegundoPlano([&] {
        respuesta = http->post(peticion);
        return true;
    });
    ui->cmdSend->setEnabled(habilitado);

    if (!respuesta.respondio()) {
        avisoSubida(error + respuesta.descripcion);
        return false;
    }
    if (respuesta.status != 200) {
        avisoSubida(QStringLiteral("Error en la subida: ") + QString::number(respuesta.status)
            + QStringLiteral(" - ") + respuesta.texto);
        return false;
    }
    return true;
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
