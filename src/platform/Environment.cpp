#include "platform/Environment.h"

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
