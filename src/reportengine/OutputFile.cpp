#include "reportengine/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryFile>

#include "platform/Environment.h"

namespace {

constexpr qint64 BufferSize = 256 * 1024;

constexpr int KnownErrors[] = { ENOSPC, EDQUOT, EACCES, EPERM, EROFS, EFBIG, ENOENT, EISDIR, EIO };

} // namespace

OutputFile::OutputFile(const QString& target)
    : m_target(target)
{
}

OutputFile::~OutputFile()
{
    cancelWriting();
}

QString OutputFile::refusal(const QString& target)
{
    // The name itself, not what a link there points at: the link is what gets replaced.
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(target).constData(), &st) != 0)
        return QString();
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return QStringLiteral("No es un archivo común");
    return QString();
}

QString OutputFile::reasonFor(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("No queda espacio en el disco");
    case EACCES:
    case EPERM:
        return QStringLiteral("No tiene permiso para escribir allí");
    case EROFS:
        return QStringLiteral("El disco es de sólo lectura");
    case EFBIG:
        return QStringLiteral("El archivo es demasiado grande");
    case ENOENT:
        return QStringLiteral("La carpeta no existe");
    case EISDIR:
        return QStringLiteral("Es una carpeta");
    case EIO:
        return QStringLiteral("Error de lectura o escritura en el disco");
    case 0:
        return QStringLiteral("Error de escritura");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString OutputFile::reasonFor(const QFileDevice& file)
{
    // Qt keeps the system's text of the error, not its number: find the number back.
    const QString text = file.errorString();
    for (const int error : KnownErrors) {
        if (text == QString::fromLocal8Bit(std::strerror(error)))
            return reasonFor(error);
    }
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    // A short write has no error number: a full disk is the usual cause.
    const QStorageInfo storage(QFileInfo(file.fileName()).absolutePath());
    return reasonFor(storage.isValid() && storage.bytesAvailable() == 0 ? ENOSPC : 0);
}

bool OutputFile::writeAll(QFileDevice& file, const QByteArray& data, QString* why)
{
    // The system writes less than asked when the disk fills; asking for the rest gives the reason.
    for (qint64 done = 0; done < data.size();) {
        errno = 0;
        const qint64 written = file.write(data.constData() + done, data.size() - done);
        if (written <= 0) {
            if (why)
                *why = errno != 0 ? reasonFor(errno) : reasonFor(file);
            return false;
        }
        done += written;
    }
    return true;
}

bool OutputFile::replace(const QString& temporary, const QString& target, QString* why)
{
    // rename() replaces the target in one step; QFile::rename would need it removed first.
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData())
        == 0)
        return true;
    if (why)
        *why = reasonFor(errno);
    return false;
}

bool OutputFile::create()
{
    m_reason = refusal(m_target);
    if (!m_reason.isEmpty())
        return false;
    m_buffer.reserve(BufferSize);
    // A file of our own beside the target, no link followed: unnamed while written where the
    // file system allows (nothing of it shows in the folder until it is whole), else under a new
    // name (O_EXCL). It gets the usual permissions; a file being replaced passes its own on.
    const QByteArray target = QFile::encodeName(m_target);
    struct stat old
    {
    };
    const bool replacesFile = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacesFile ? 0600 : 0666;
    const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    m_unnamed = fd >= 0;
    QByteArray name = target;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        name = target + '.'
            + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 36);
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        m_reason = reasonFor(errno);
        return false;
    }
    if (replacesFile)
        ::fchmod(fd, old.st_mode & 07777);
    m_temporary = QFile::decodeName(name);
    setFileName(m_temporary);
    if (open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    m_reason = reasonFor(*this);
    ::close(fd);
    if (!m_unnamed)
        ::unlink(name.constData());
    m_temporary.clear();
    return false;
}

void OutputFile::cancelWriting()
{
    if (m_temporary.isEmpty())
        return;
    close();
    if (!m_unnamed)
        QFile::remove(m_temporary);
    m_temporary.clear();
}

qint64 OutputFile::writeData(const char* data, qint64 length)
{
    if (!m_reason.isEmpty())
        return -1;
    if (m_buffer.size() + length > BufferSize && !flushBuffer())
        return -1;
    if (length >= BufferSize)
        return writeThrough(data, length) ? length : -1;
    m_buffer.append(data, length);
    return length;
}

bool OutputFile::writeThrough(const char* data, qint64 length)
{
    // The system writes less than asked when the disk fills; asking for the rest gives the reason.
    for (qint64 done = 0; done < length;) {
        errno = 0;
        const qint64 written = QFile::writeData(data + done, length - done);
        if (written <= 0) {
            m_reason = errno != 0 ? reasonFor(errno) : reasonFor(*this);
            return false;
        }
        done += written;
    }
    return true;
}

bool OutputFile::flushBuffer()
{
    const bool ok = writeThrough(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
    return ok;
}

bool OutputFile::finish()
{
    if (!m_reason.isEmpty() || !flushBuffer()) {
        cancelWriting();
        return false;
    }
    // On the disk before it takes the old file's place, so a crash leaves one or the other.
    if (error() != QFileDevice::NoError || ::fsync(handle()) != 0) {
        m_reason = error() != QFileDevice::NoError ? reasonFor(*this) : reasonFor(errno);
        cancelWriting();
        return false;
    }
    if (m_unnamed && !linkUnnamed()) {
        cancelWriting();
        return false;
    }
    close();
    QString why;
    if (replace(m_temporary, m_target, &why)) {
        m_temporary.clear();
        return true;
    }
    m_reason = why;
    cancelWriting();
    return false;
}

bool OutputFile::linkUnnamed()
{
    // Linked under a new name of its own, then renamed over the target in one step.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle());
    const QByteArray target = QFile::encodeName(m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = target + '.'
            + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 36);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW)
            == 0) {
            m_temporary = QFile::decodeName(name);
            m_unnamed = false;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    m_reason = reasonFor(errno);
    return false;
}

QString OutputFile::reason() const
{
    return m_reason.isEmpty() ? reasonFor(*this) : m_reason;
}

bool OutputFile::createScratch(
    const QString& kind, QFile& file, QFile* readBack, QString* why, QIODevice::OpenMode mode)
{
    QTemporaryFile name(scratchTemplate(kind));
    name.setAutoRemove(false);
    if (!name.open()) {
        if (why)
            *why = reasonFor(name);
        return false;
    }
    name.close();
    file.setFileName(name.fileName());
    bool opened = file.open(QIODevice::ReadWrite | mode);
    if (opened && readBack) {
        readBack->setFileName(name.fileName());
        opened = readBack->open(QIODevice::ReadOnly);
    }
    if (!opened && why)
        *why = reasonFor(file);
    QFile::remove(name.fileName());
    return opened;
}

QString OutputFile::scratchTemplate(const QString& kind)
{
    static std::once_flag swept;
    static QString folder;
    std::call_once(swept, [] {
        // In a folder no other account may enter, so the name of a scratch file, between its
        // making and its opening, is never theirs to swap.
        QDir dir(privateFolderIn(QDir::tempPath()));
        const QString name = QStringLiteral("Rp_Tarifolio");
        if (!dir.mkpath(name)) {
            folder = dir.path();
            return;
        }
        folder = dir.filePath(name);
        // "<kind>-<pid>-XXXXXX": a spool of a process that is gone is left over from a crash.
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
        for (const QFileInfo& f : files) {
            const QStringList parts = f.fileName().split(u'-');
            bool number = false;
            const qint64 pid = parts.size() == 3 ? parts[1].toLongLong(&number) : 0;
            if (number && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
                QFile::remove(f.filePath());
        }
    });
    return QStringLiteral("%1/%2-%3-XXXXXX")
        .arg(folder, kind)
        .arg(QCoreApplication::applicationPid());
}
