#include "platform/ArchivoImagen.h"

#include <algorithm>
#include <cerrno>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ArchivoImagen {

std::optional<QByteArray> lee(const QString& ruta, QString* porque)
{
    const auto rechaza = [&](const QString& motivo) -> std::optional<QByteArray> {
        if (porque)
            *porque = motivo;
        return std::nullopt;
    };
    // Opened without waiting: a FIFO with no writer would otherwise hold the open for ever. What
    // was opened is then told by the descriptor itself, not by an earlier look at the name.
    const int descriptor
        = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return rechaza(errno == ENOENT ? QStringLiteral("el archivo no existe")
                : errno == EACCES      ? QStringLiteral("no se tiene permiso para leer el archivo")
                                       : QStringLiteral("no se puede abrir el archivo"));
    const struct Cierre
    {
        int descriptor;
        ~Cierre() { ::close(descriptor); }
    } cierre { descriptor };
    struct stat datos
    {
    };
    if (::fstat(descriptor, &datos) != 0)
        return rechaza(QStringLiteral("no se puede abrir el archivo"));
    if (S_ISDIR(datos.st_mode))
        return rechaza(QStringLiteral("es una carpeta, no un archivo"));
    if (!S_ISREG(datos.st_mode))
        return rechaza(QStringLiteral("no es un archivo común"));
    const QString demasiado = QStringLiteral("pesa más de %1 MiB").arg(TamanoMaximo >> 20);
    if (datos.st_size > TamanoMaximo)
        return rechaza(demasiado);
    // Room for the size told and one byte more, grown when the file grows while it is read, up to
    // one byte past the limit: a file that keeps growing is still bounded.
    QByteArray bytes(qsizetype(datos.st_size) + 1, Qt::Uninitialized);
    qsizetype leidos = 0;
    for (;;) {
        if (leidos == bytes.size()) {
            if (leidos > TamanoMaximo)
                break;
            bytes.resize(std::min(bytes.size() * 2, qsizetype(TamanoMaximo) + 1));
        }
        const ssize_t n = ::read(descriptor, bytes.data() + leidos, size_t(bytes.size() - leidos));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return rechaza(QStringLiteral("no se pudo leer el archivo"));
        if (n == 0)
            break;
        leidos += n;
    }
    if (leidos > TamanoMaximo)
        return rechaza(demasiado);
    bytes.truncate(leidos);
    return bytes;
}

} // namespace ArchivoImagen
