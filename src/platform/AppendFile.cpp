#include "platform/AppendFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace AppendFile {

namespace {

QString reasonFor(int error)
{
    switch (error) {
    case ELOOP:
        return QStringLiteral("Es un enlace, no un archivo común");
    case ENXIO:
    case EISDIR:
        return QStringLiteral("No es un archivo común");
    case EACCES:
    case EPERM:
        return QStringLiteral("No tiene permiso para escribir allí");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("No queda espacio en el disco");
    case ENOENT:
        return QStringLiteral("La carpeta no existe");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool fail(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return false;
}

} // namespace

bool append(const QString& path, const QByteArray& bytes, QString* why, int createMode)
{
    // O_NONBLOCK: a FIFO without a reader fails at once (ENXIO) instead of holding the run.
    const int fd = ::open(QFile::encodeName(path).constData(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode_t(createMode));
    if (fd < 0)
        return fail(why, reasonFor(errno));
    struct stat st
    {
    };
    QString refused;
    if (::fstat(fd, &st) != 0)
        refused = reasonFor(errno);
    else if (!S_ISREG(st.st_mode))
        refused = QStringLiteral("No es un archivo común");
    else if (st.st_uid != ::geteuid())
        refused = QStringLiteral("El archivo es de otro usuario");
    for (qsizetype done = 0; refused.isEmpty() && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            refused = reasonFor(written < 0 ? errno : ENOSPC);
        else
            done += written;
    }
    ::close(fd);
    return refused.isEmpty() || fail(why, refused);
}

} // namespace AppendFile
