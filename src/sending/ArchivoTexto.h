#pragma once

#include <QString>
#include <QStringList>

// The text files the mail helpers write for the suite's other programs: Windows-1252, every
// line ended by CR LF, an existing file overwritten.
namespace ArchivoTexto {

// Writes the lines; a file that cannot be written raises run-time error 75 naming the path.
void escribe(const QString& ruta, const QStringList& lineas);

} // namespace ArchivoTexto
