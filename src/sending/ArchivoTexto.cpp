#include "sending/ArchivoTexto.h"

#include <QSaveFile>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"

namespace ArchivoTexto {

void escribe(const QString& ruta, const QStringList& lineas)
{
    QSaveFile archivo(FileNames::resolve(ruta));
    QByteArray bytes;
    for (const QString& linea : lineas)
        bytes += Windows1252::encode(linea) + "\r\n";
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(bytes) != bytes.size()
        || !archivo.commit())
        throw RuntimeError(75, QStringLiteral("Error de acceso a la ruta o el archivo: ") + ruta);
}

} // namespace ArchivoTexto
