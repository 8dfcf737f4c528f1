// The picture of a WhatsApp message: chosen or pasted, reduced to a thumbnail, uploaded, linked
// and shown in the viewer.
#include "sending/FrmEnviar.h"
#include "ui_FrmEnviar.h"

#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>

#include "formhelpers/FormularioModal.h"
#include "platform/DialogoArchivo.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "sending/FrmImgNew.h"
#include "sending/Rt_ImgThumbs.h"
#include "sending/SubidaDocumento.h"
#include "services/FechaServidor.h"
#include "services/ModArchivos.h"

namespace {

QString carpetaImagenes()
{
    return dataFolder() + QStringLiteral("/IMAGENES/");
}

} // namespace

void FrmEnviar::AsignarFoto(const QString& Imagen)
{
    controles();
    if (ModArchivos::PuedeAbrirArchivo(Imagen)) {
        m_imagen = Rt_ImgThumbs::cargaImagen(Imagen);
        ui->imglogo->setToolTip(Imagen);
        Rt_ImgThumbs::Escalar_Imagen(m_imagen, ui->PicLogo);
    } else {
        ui->imglogo->setToolTip(QStringLiteral("No existe el archivo..."));
    }
    ui->imglogo->update();
}

void FrmEnviar::GeneraThumb(QString& Tmp, const QString& ID)
{
    controles();
    ui->frmEspera->show();
    ui->frmEspera->raise();
    QString nuevoNombre;
    const bool copiada = Rt_ImgThumbs::GenerarMiniatura(
        QStringLiteral("IMAGENES/"), Tmp, ID, 0, nuevoNombre, 1100, 950);
    if (copiada) {
        LinkDocumento.clear();
        Tmp = carpetaImagenes() + QStringLiteral("thumbs5/") + ID + QStringLiteral(".bmp");
        if (QFile::exists(Tmp)) {
            uploadAdjuntoWeb(Tmp, QStringLiteral("DOCUMENTO_IMAGEN"), QStringLiteral("bmp"));
            setTexto(QStringLiteral("RutaImagen"), Tmp);
            QFile::remove(carpetaImagenes() + QStringLiteral("TMP_") + ID + QStringLiteral(".jpg"));
            ui->frmEspera->hide();
            return;
        }
    }
    ui->frmEspera->hide();
    aviso(QStringLiteral("Error al subir la imagen. Intente nuevamente."), Msg::Information,
        QStringLiteral("Aviso"));
}

bool FrmEnviar::adjuntaImagen(const QImage& imagen)
{
    if (imagen.isNull()) {
        aviso(QStringLiteral("Imagen no válida"), Msg::Critical, QStringLiteral("Aviso"));
        return false;
    }
    const QString sello = SubidaDocumento::sello(FechaServidor());
    // The folders exist before the first picture is saved into them.
    QDir().mkpath(carpetaImagenes() + QStringLiteral("thumbs5"));
    QString temporal = carpetaImagenes() + QStringLiteral("TMP_") + sello + QStringLiteral(".jpg");
    if (!imagen.save(temporal, "JPEG")) {
        aviso(QStringLiteral("No se pudo guardar la imagen en ") + temporal, Msg::Critical,
            QStringLiteral("Aviso"));
        return false;
    }
    m_imagen = Rt_ImgThumbs::cargaImagen(temporal);
    Rt_ImgThumbs::Escalar_Imagen(m_imagen, ui->PicLogo);
    GeneraThumb(temporal, sello);
    if (!LinkDocumento.isEmpty())
        ui->txtMensajeWhatsapp->setPlainText(ui->txtMensajeWhatsapp->toPlainText() + u'\n'
            + QStringLiteral("Link del documento : ") + LinkDocumento);
    return true;
}

void FrmEnviar::CmdBuscar_Click()
{
    controles();
    if (m_enviando)
        return;
    ++m_enviando;
    const auto libre = qScopeGuard([this] { --m_enviando; });
    DialogoArchivo dialogo;
    dialogo.Filtro = QStringLiteral("Archivos de Imagenes|*.Bmp;*.Wmf;*.Jpg;*.Gif;*.ico");
    dialogo.TituloDialogo = QStringLiteral("Buscar Archivos");
    dialogo.MostrarAbrir();
    const QString ruta = dialogo.ArchivoElegido().trimmed();
    if (ruta.isEmpty())
        return;
    setTexto(QStringLiteral("RutaImagen"), ruta);
    // A file that holds no picture stops here: nothing is saved or uploaded.
    if (!adjuntaImagen(Rt_ImgThumbs::cargaImagen(ruta)))
        return;
    AsignarFoto(ruta);
}

void FrmEnviar::cmdPegar_Click()
{
    controles();
    if (m_enviando)
        return;
    ++m_enviando;
    const auto libre = qScopeGuard([this] { --m_enviando; });
    ui->frmEspera->show();
    ui->frmEspera->raise();
    const QImage imagen = QGuiApplication::clipboard()->image();
    if (imagen.isNull())
        ui->frmEspera->hide();
    adjuntaImagen(imagen);
    ui->frmEspera->hide();
}

void FrmEnviar::imglogo_DblClick()
{
    controles();
    const QString ruta = texto(QStringLiteral("RutaImagen"));
    if (ruta.isEmpty())
        return;
    FrmImgNew visor(this);
    visor.pImagen = ruta;
    visor.Form_Load();
    MuestraModal(visor);
}

void FrmEnviar::cmdAbrirImg_Click()
{
    imglogo_DblClick();
}

bool FrmEnviar::filtroImagenes(QObject* objeto, QEvent* evento)
{
    if ((objeto == ui->imglogo || objeto == ui->PicLogo)
        && evento->type() == QEvent::MouseButtonDblClick) {
        imglogo_DblClick();
        return true;
    }
    return false;
}
