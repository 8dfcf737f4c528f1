#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// QR symbols of texts (voucher QR data, links), for the report engine's QR items and the voucher
// QR component: the symbol's modules, which each user draws at its own size.
namespace QrCode {

struct Simbolo
{
    int ancho = 0; // modules per side
    QByteArray modulos; // ancho * ancho bytes, row by row: 1 dark, 0 light

    bool oscuro(int x, int y) const { return modulos.at(y * ancho + x) != 0; }
};

// Modules around a symbol that must stay light for a reader to find it.
inline constexpr int ZonaSilencio = 4;

// The symbol of `text` (UTF-8, error correction M); nothing when it cannot be encoded (empty, or
// too long for any symbol).
std::optional<Simbolo> simbolo(const QString& text);

} // namespace QrCode
