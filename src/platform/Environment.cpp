#include "platform/Environment.h"

#include <QDir>

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
    return folder;
}
