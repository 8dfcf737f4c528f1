#include "sending/ArchivoTexto.h"

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"
#include "reportengine/OutputFile.h"

namespace ArchivoTexto {

void escribe(const QString& ruta, const QStringList& lineas)
{
    // Often in the temporary folder: a link planted at the name is replaced, never written through.
    OutputFile archivo(FileNames::resolve(ruta));
    QByteArray bytes;
    for (const QString& linea : lineas)
        bytes += Windows1252::encode(linea) + "\r\n";
    if (!archivo.create() || archivo.write(bytes) != bytes.size() || !archivo.finish())
        throw RuntimeError(75, QStringLiteral("Error de acceso a la ruta o el archivo: ") + ruta);
}

} // namespace ArchivoTexto
