#include "platform/qt/ComponenteQRImagen.h"

#include <cstring>

#include <QBuffer>
#include <QImage>

#include "platform/QrCode.h"

namespace {

constexpr int PixelesPorModulo = 4;

} // namespace

ComponenteQRImagen::ComponenteQRImagen(QString prefijo)
    : m_prefijo(std::move(prefijo))
{
}

QString ComponenteQRImagen::GenerarImagen(const QList<Value>& valores)
{
    m_png.clear();
    const QString texto = textoQRFactura(valores, m_prefijo);
    const std::optional<QrCode::Simbolo> s = QrCode::simbolo(texto);
    if (!s)
        return QString();
    const int lado = (s->ancho + 2 * QrCode::ZonaSilencio) * PixelesPorModulo;
    // One bit a pixel: a small image to encode and to store.
    QImage imagen(lado, lado, QImage::Format_Mono);
    imagen.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    imagen.fill(0);
    for (int y = 0; y < s->ancho; ++y) {
        uchar* linea = imagen.scanLine((y + QrCode::ZonaSilencio) * PixelesPorModulo);
        for (int x = 0; x < s->ancho; ++x)
            if (s->oscuro(x, y))
                for (int dx = 0; dx < PixelesPorModulo; ++dx) {
                    const int px = (x + QrCode::ZonaSilencio) * PixelesPorModulo + dx;
                    linea[px >> 3] |= uchar(0x80 >> (px & 7));
                }
        for (int dy = 1; dy < PixelesPorModulo; ++dy)
            memcpy(imagen.scanLine((y + QrCode::ZonaSilencio) * PixelesPorModulo + dy), linea,
                imagen.bytesPerLine());
    }
    QBuffer png(&m_png);
    if (!png.open(QIODevice::WriteOnly) || !imagen.save(&png, "PNG")) {
        m_png.clear();
        return QString();
    }
    return texto;
}

std::unique_ptr<ComponenteQR> FabricaComponenteQRImagen::crea(const QString& prefijo)
{
    return std::make_unique<ComponenteQRImagen>(prefijo);
}
