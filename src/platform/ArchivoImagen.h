#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// Every picture the program takes from a file (a logo, a product picture, a report's image) is
// read here: only from a regular file, without waiting, and up to a size no picture reaches, so
// that a FIFO, a device or a huge file at the name never stops or swells a run.
namespace ArchivoImagen {

// Larger than any logo or product picture; a file above it is left out.
constexpr qint64 TamanoMaximo = 32 * 1024 * 1024;

// The file's bytes, or none with `porque` (when given) telling in words why it is left out:
// missing, a folder, not a regular file, not readable, or too large.
std::optional<QByteArray> lee(const QString& ruta, QString* porque = nullptr);

} // namespace ArchivoImagen
