#pragma once

#include <QImage>
#include <QString>

// QR symbols for report items (voucher QR data, links). One pixel per module with a four-module
// quiet zone; outputs scale it without smoothing. A null image when the text cannot be encoded
// (empty, or too long for any symbol).
namespace QrCode {

QImage image(const QString& text);

} // namespace QrCode
