#include "platform/QrCode.h"

#include <qrencode.h>

namespace QrCode {

std::optional<Simbolo> simbolo(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    QRcode* code = QRcode_encodeData(int(utf8.size()),
        reinterpret_cast<const unsigned char*>(utf8.constData()), 0, QR_ECLEVEL_M);
    if (!code)
        return std::nullopt;
    Simbolo s;
    s.ancho = code->width;
    s.modulos.resize(qsizetype(code->width) * code->width);
    for (qsizetype i = 0; i < s.modulos.size(); ++i)
        s.modulos[i] = char(code->data[i] & 1);
    QRcode_free(code);
    return s;
}

} // namespace QrCode
