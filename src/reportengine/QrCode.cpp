#include "reportengine/QrCode.h"

#include <qrencode.h>

namespace QrCode {

QImage image(const QString& text)
{
    if (text.isEmpty())
        return QImage();
    const QByteArray utf8 = text.toUtf8();
    QRcode* code = QRcode_encodeData(int(utf8.size()),
        reinterpret_cast<const unsigned char*>(utf8.constData()), 0, QR_ECLEVEL_M);
    if (!code)
        return QImage();
    constexpr int Quiet = 4;
    const int size = code->width + 2 * Quiet;
    QImage img(size, size, QImage::Format_Mono);
    img.setColor(0, qRgb(255, 255, 255));
    img.setColor(1, qRgb(0, 0, 0));
    img.fill(0);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1)
                img.setPixel(x + Quiet, y + Quiet, 1);
        }
    }
    QRcode_free(code);
    return img;
}

} // namespace QrCode
