#include "platform/qt/ComponenteQRImagen.h"

#include <cstring>

#include <QDir>
#include <QImage>
#include <QTemporaryFile>

#include "platform/Environment.h"
#include "platform/QrCode.h"

namespace {

constexpr int PixelesPorModulo = 4;

} // namespace

ComponenteQRImagen::ComponenteQRImagen(QString prefijo)
    : m_prefijo(std::move(prefijo))
{
}

QString ComponenteQRImagen::crearArchivo()
{
    // A name of our own that nobody else holds: the file is created empty and kept.
    QTemporaryFile archivo(QDir(temporaryFolder()).filePath(QStringLiteral("QR_XXXXXX.png")));
    archivo.setAutoRemove(false);
    if (!archivo.open())
        return QString();
    m_archivo = archivo.fileName();
    return m_archivo;
}

QString ComponenteQRImagen::GenerarImagen(const QList<Value>& valores)
{
    const QString texto = textoQRFactura(valores, m_prefijo);
    const std::optional<QrCode::Simbolo> s = QrCode::simbolo(texto);
    if (!s || m_archivo.isEmpty())
        return QString();
    const int lado = (s->ancho + 2 * QrCode::ZonaSilencio) * PixelesPorModulo;
    // One bit a pixel: a small image to encode and to store.
    QImage imagen(lado, lado, QImage::Format_Mono);
    imagen.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    imagen.fill(0);
    for (int y = 0; y < s->ancho; ++y)
    {
        uchar* linea = imagen.scanLine((y + QrCode::ZonaSilencio) * PixelesPorModulo);
        for (int x = 0; x < s->ancho; ++x)
            if (s->oscuro(x, y))
                for (int dx = 0; dx < PixelesPorModulo; ++dx)
                {
                    const int px = (x + QrCode::ZonaSilencio) * PixelesPorModulo + dx;
                    linea[px >> 3] |= uchar(0x80 >> (px & 7));
                }
        for (int dy = 1; dy < PixelesPorModulo; ++dy)
            memcpy(imagen.scanLine((y + QrCode::ZonaSilencio) * PixelesPorModulo + dy), linea,
                imagen.bytesPerLine());
    }
    if (!imagen.save(m_archivo, "PNG"))
        return QString();
    return texto;
}

std::unique_ptr<ComponenteQR> FabricaComponenteQRImagen::crea(const QString& prefijo)
{
    return std::make_unique<ComponenteQRImagen>(prefijo);
}
