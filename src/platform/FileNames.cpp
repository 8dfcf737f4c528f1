#include "platform/FileNames.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include <grp.h>
#include <pwd.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include "platform/Environment.h"
#include "platform/RuntimeError.h"

namespace FileNames {

QString normalized(const QString& path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

namespace {

// A folder's entries. A listing is kept while the folder stays as it was (making, removing or
// renaming an entry moves its modification time): a print run looks for the same report names
// in the same folder for every voucher. A folder changed less than two seconds before it was
// listed is listed again next time, since its time is only as fine as the file system's clock
// and a change in that same tick would not move it.
QStringList entriesOf(const QDir& dir)
{
    struct Listing
    {
        timespec changed;
        dev_t device;
        ino_t inode;
        QStringList entries;
    };
    static QMutex lock;
    static QHash<QString, Listing> listings;
    constexpr qsizetype MaxListings = 256;

    const QString folder = dir.absolutePath();
    struct stat info = {};
    const bool known = ::stat(QFile::encodeName(folder).constData(), &info) == 0;
    const auto same = [&](const Listing& l) {
        return l.changed.tv_sec == info.st_mtim.tv_sec && l.changed.tv_nsec == info.st_mtim.tv_nsec
            && l.device == info.st_dev && l.inode == info.st_ino;
    };
    if (known) {
        const QMutexLocker locked(&lock);
        const auto kept = listings.constFind(folder);
        if (kept != listings.constEnd() && same(*kept))
            return kept->entries;
    }
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    const QStringList entries
        = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (known && now.tv_sec - info.st_mtim.tv_sec > 2) {
        const QMutexLocker locked(&lock);
        if (listings.size() >= MaxListings)
            listings.clear();
        listings.insert(folder, { info.st_mtim, info.st_dev, info.st_ino, entries });
    }
    return entries;
}

// The entry of `folder` named `name` ignoring case; `name` itself when there is none.
QString matchInFolder(const QString& folder, const QString& name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return name;
    for (const QString& entry : entriesOf(dir)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

} // namespace

QString resolve(const QString& path)
{
    const QString normal = normalized(path);
    if (normal.isEmpty() || QFileInfo::exists(normal))
        return normal;

    const bool absolute = normal.startsWith(u'/');
    const QStringList parts = normal.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool found = true;
    for (const QString& part : parts) {
        QString name = part;
        if (found && part != u"." && part != u"..") {
            name = matchInFolder(current, part);
            const QString candidate = current.isEmpty() ? name : QDir(current).filePath(name);
            found = QFileInfo::exists(candidate);
        }
        if (current.isEmpty())
            current = name;
        else if (current.endsWith(u'/'))
            current += name;
        else
            current += u'/' + name;
    }
    if (normal.endsWith(u'/') && !current.endsWith(u'/'))
        current += u'/';
    return current;
}

QString inFolder(const QString& folder, const QString& name)
{
    const QString normalName = normalized(name);
    if (normalName.startsWith(u'/'))
        return resolve(normalName);
    QString base = normalized(folder);
    if (!base.isEmpty() && !base.endsWith(u'/'))
        base += u'/';
    return resolve(base + normalName);
}

QString inProgramFolder(const QString& name)
{
    return inFolder(programFolder(), name);
}

QString helperFileToRead(const QString& name)
{
    const QString inData = inFolder(dataFolder(), name);
    if (QFileInfo::exists(inData))
        return inData;
    const QString inProgram = inProgramFolder(name);
    return QFileInfo::exists(inProgram) ? inProgram : inData;
}

namespace {

// The program folder's file as the first copy in the data folder. An installation's files may
// be read-only (0444) for everyone, its owner too: the copy is the account's own file, which it
// reads and writes, and others read only where the installation let them.
void copyOfProgramFolder(const QString& inProgram, const QString& inData)
{
    // A copy made by another run at the same moment is as good: QFile::copy never replaces.
    if (!QFile::copy(inProgram, inData))
        return;
    constexpr QFile::Permissions readers
        = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(inData,
        (QFileInfo(inProgram).permissions() & readers) | QFile::ReadOwner | QFile::WriteOwner
            | QFile::ReadUser | QFile::WriteUser);
}

} // namespace

QString helperFileToWrite(const QString& name, FirstWrite firstWrite)
{
    const QString inData = inFolder(dataFolder(), name);
    if (normalized(name).startsWith(u'/') || QFileInfo::exists(inData))
        return inData;
    QDir().mkpath(dataFolder());
    if (firstWrite == FirstWrite::CopyOfProgramFolder) {
        const QString inProgram = inProgramFolder(name);
        if (QFileInfo(inProgram).isFile())
            copyOfProgramFolder(inProgram, inData);
    }
    return inData;
}

QString checkedHelperFileToWrite(const QString& name, FirstWrite firstWrite)
{
    const QString path = helperFileToWrite(name, firstWrite);
    if (normalized(name).startsWith(u'/'))
        return path;
    const QString folder = dataFolder();
    QString why;
    if (!QFileInfo(folder).isDir())
        why = QStringLiteral("no existe y este usuario no puede crearla");
    else if (!QFileInfo::exists(path)
        && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        why = QStringLiteral("este usuario no puede escribir en ella");
    if (!why.isEmpty())
        throw RuntimeError(75,
            QStringLiteral("No se puede escribir en la carpeta de datos %1: %2.").arg(folder, why),
            QStringLiteral("FileNames"));
    return path;
}

bool mayWriteFileAndFolder(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK | X_OK) == 0;
}

namespace {

// Whether `account` belongs to `group`, as the system's lists of accounts and groups tell it.
bool inGroup(uid_t account, gid_t group)
{
    passwd entry = {};
    passwd* found = nullptr;
    std::vector<char> room(16384);
    if (::getpwuid_r(account, &entry, room.data(), room.size(), &found) != 0 || !found)
        return false;
    std::vector<gid_t> groups(64);
    int count = int(groups.size());
    if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0) {
        // Too many for the room given: `count` now says how many there are.
        groups.resize(std::size_t(count));
        if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(std::size_t(count));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

} // namespace

bool accountMayWrite(uid_t account, const struct stat& file)
{
    if (account == 0 || account == file.st_uid || (file.st_mode & S_IWOTH))
        return true;
    return (file.st_mode & S_IWGRP) && inGroup(account, file.st_gid);
}

} // namespace FileNames
