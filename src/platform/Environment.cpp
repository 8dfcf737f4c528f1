#include "platform/Environment.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>

#include "platform/Service.h"

QString executableName()
{
    return QStringLiteral("Rp_Tarifolio");
}

QString programFolder()
{
    const Environment& env = Service<Environment>::get();
    QString folder = env.variable(QString::fromLatin1(ProgramHomeVariable)).trimmed();
    if (folder.isEmpty())
        folder = env.executableFolder();
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder;
}

QString dataFolder()
{
    const Environment& env = Service<Environment>::get();
    QString base = env.variable(QStringLiteral("XDG_DATA_HOME")).trimmed();
    // A relative path there is invalid and ignored, as the freedesktop base directory rule says:
    // the data folder would otherwise follow the working folder, whoever may write there.
    if (!base.startsWith(u'/'))
        base.clear();
    if (base.isEmpty()) {
        QString home = env.variable(QStringLiteral("HOME")).trimmed();
        if (home.isEmpty())
            home = QDir::homePath();
        base = home + QStringLiteral("/.local/share");
    }
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    return base + u'/' + executableName();
}

QString temporaryFolder()
{
    const Environment& env = Service<Environment>::get();
    QString folder = env.variable(QStringLiteral("TEMP")).trimmed();
    if (folder.isEmpty())
        folder = env.variable(QStringLiteral("TMP")).trimmed();
    if (folder.isEmpty())
        folder = env.systemTempFolder();
    return privateFolderIn(folder);
}

namespace {

// The name itself (lstat: a link is not what it points at) is a folder of this account whose
// mode has none of `othersBits`.
bool ownFolder(const QByteArray& path, mode_t othersBits)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & othersBits) == 0;
}

} // namespace

QString privateFolderIn(const QString& base)
{
    QString folder = base;
    // "dir/" would be looked at through a link at "dir".
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    if (folder.isEmpty() || ownFolder(QFile::encodeName(folder), S_IWGRP | S_IWOTH))
        return folder;

    // Another account may have made the name first, as a folder open to all, a link, a FIFO or a
    // file; and a folder of ours that others could enter may hold what they put there. Such a
    // name is passed over, never followed or opened.
    const QByteArray own
        = QFile::encodeName(folder + u'/' + executableName() + u'-' + QString::number(::geteuid()));
    ::mkdir(own.constData(), 0700);
    if (ownFolder(own, S_IRWXG | S_IRWXO))
        return QFile::decodeName(own);

    static QMutex guard;
    static QHash<QString, QString> madeByThisProcess;
    const QMutexLocker lock(&guard);
    QString& fresh = madeByThisProcess[folder];
    if (fresh.isEmpty() || !ownFolder(QFile::encodeName(fresh), S_IRWXG | S_IRWXO)) {
        QByteArray name = own + "-XXXXXX";
        fresh = ::mkdtemp(name.data()) ? QFile::decodeName(name) : QString();
    }
    if (!fresh.isEmpty())
        return fresh;
    // Nothing could be made here (the base is missing or may not be written): a name nothing holds
    // is given as it is, for what is written there fails or makes it; one another account holds
    // becomes a name under /dev/null, where nothing can ever be made.
    struct stat st
    {
    };
    return ::lstat(own.constData(), &st) != 0 && errno == ENOENT
        ? QFile::decodeName(own)
        : QStringLiteral("/dev/null/") + QFile::decodeName(own).section(u'/', -1);
}
