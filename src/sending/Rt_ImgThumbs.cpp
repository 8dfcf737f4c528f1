#include "sending/Rt_ImgThumbs.h"

#include <cmath>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/ArchivoImagen.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "services/ModArchivos.h"

namespace Rt_ImgThumbs {

namespace {

QString datos()
{
    return dataFolder() + u'/';
}

// A metafile as a PNG through wmf2gd, read back. The converter is given a copy of the bytes
// already read, never the name: whatever stands there now is not what was checked.
QImage cargaMetarchivo(const QByteArray& metarchivo)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return QImage();
    const QString wmf = dir.filePath(QStringLiteral("metarchivo.wmf"));
    const QString png = dir.filePath(QStringLiteral("metarchivo.png"));
    QFile copia(wmf);
    if (!copia.open(QIODevice::WriteOnly) || copia.write(metarchivo) != metarchivo.size())
        return QImage();
    copia.close();
    QProcess p;
    p.start(QStringLiteral("wmf2gd"),
        { QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("-o"), png, wmf });
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QImage();
    const std::optional<QByteArray> bytes = ArchivoImagen::lee(png);
    return bytes ? QImage::fromData(*bytes) : QImage();
}

} // namespace

void ReducirProporcionalMiniatura(float& lado, float& otro, float delta)
{
    const float porcentaje = lado <= 0 ? 0.0f : otro * 100.0f / lado;
    lado = lado - delta;
    otro = lado * porcentaje / 100.0f;
}

void AjustarMedidasMiniatura(
    float ancho, float alto, float maxAncho, float maxAlto, float& nuevoAncho, float& nuevoAlto)
{
    const auto porAncho = [&] { ReducirProporcionalMiniatura(ancho, alto, ancho - maxAncho); };
    const auto porAlto = [&] { ReducirProporcionalMiniatura(alto, ancho, alto - maxAlto); };
    for (;;) {
        if (ancho > maxAncho && alto > maxAlto) {
            if (ancho < alto)
                porAlto();
            else
                porAncho();
        } else if (ancho > maxAncho) {
            porAncho();
        } else if (alto > maxAlto) {
            porAlto();
        } else {
            break;
        }
    }
    nuevoAncho = ancho;
    nuevoAlto = alto;
}

int aPixeles(float medida)
{
    return int(std::nearbyint(medida));
}

QString RutaAbsoluta(const QString& ruta)
{
    if (ruta.size() <= 2)
        return QString();
    const QString r = FileNames::normalized(ruta);
    const bool absoluta = r.startsWith(u'/') || ruta.at(1) == u':';
    const qsizetype punto = r.indexOf(u'.');
    if (punto <= 0) {
        if (absoluta)
            return r.endsWith(u'/') ? r : r + u'/';
        return gUtilidades().RutaConBarra(datos() + r);
    }
    return absoluta ? r : datos() + r;
}

bool ExisteCarpeta(const QString& carpeta)
{
    return QFileInfo(FileNames::resolve(carpeta)).isDir();
}

bool CrearCarpeta(const QString& carpeta)
{
    return QDir().mkdir(FileNames::resolve(carpeta));
}

QImage cargaImagen(const QString& ruta)
{
    const QString archivo = FileNames::resolve(ruta);
    std::optional<QByteArray> bytes = ArchivoImagen::lee(archivo);
    if (!bytes)
        return QImage();
    // The name's ending is the first guess of the format, as when the file was read by its name.
    QBuffer contenido(&*bytes);
    QImageReader lector(&contenido, QFileInfo(archivo).suffix().toLatin1());
    QImage imagen = lector.read();
    if (imagen.isNull()
        && QFileInfo(archivo).suffix().compare(QLatin1String("wmf"), Qt::CaseInsensitive) == 0)
        imagen = cargaMetarchivo(*bytes);
    return imagen;
}

bool GenerarMiniatura(const QString& carpeta, const QString& origen, const QString& identificador,
    int numero, QString& nuevoNombre, int maxAncho, int maxAlto)
{
    QString carpetaOrigen, nombre, extension, base;
    gUtilidades().DescomponeRuta(origen, carpetaOrigen, nombre, extension, base);
    const QString carpetaRel = gUtilidades().RutaConBarra(FileNames::normalized(carpeta));
    nuevoNombre = carpetaRel + identificador.trimmed()
        + (numero != 0 ? u'_' + QString::number(numero) : QString()) + u'.' + extension;
    const bool mismo = nuevoNombre == origen || datos() + nuevoNombre == origen;

    QDir().mkpath(datos() + carpetaRel + QStringLiteral("thumbs5"));
    if (!mismo && !ModArchivos::CopiaArchivo(origen, datos() + nuevoNombre)) {
        MsgBox(QStringLiteral("No se pudo cargar la imagen ") + origen + QStringLiteral("\r\n")
                + QStringLiteral("en ") + nuevoNombre,
            Msg::OkOnly);
        return false;
    }

    const QImage imagen = cargaImagen(datos() + nuevoNombre);
    if (imagen.isNull())
        return true;
    float ancho = 0;
    float alto = 0;
    AjustarMedidasMiniatura(float(imagen.width()), float(imagen.height()), float(maxAncho),
        float(maxAlto), ancho, alto);
    const QImage miniatura = imagen.convertToFormat(QImage::Format_RGB888)
                                 .scaled(qMax(1, aPixeles(ancho)), qMax(1, aPixeles(alto)),
                                     Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString destino = datos() + carpetaRel + QStringLiteral("thumbs5/") + identificador
        + QStringLiteral(".bmp");
    if (miniatura.save(destino, "BMP"))
        gArchivoMiniatura = destino;
    return true;
}

void Escalar_Imagen(const QImage& imagen, QLabel* destino)
{
    if (imagen.isNull() || !destino)
        return;
    float ancho = 0;
    float alto = 0;
    AjustarMedidasMiniatura(float(imagen.width()), float(imagen.height()), float(destino->width()),
        float(destino->height()), ancho, alto);
    destino->setAlignment(Qt::AlignCenter);
    destino->setPixmap(QPixmap::fromImage(imagen.scaled(qMax(1, aPixeles(ancho)),
        qMax(1, aPixeles(alto)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

} // namespace Rt_ImgThumbs
