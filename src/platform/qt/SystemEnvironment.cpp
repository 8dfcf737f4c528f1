#include "platform/qt/SystemEnvironment.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>
#include <QSysInfo>

QString SystemEnvironment::computerName() const
{
    // The short host name, as the suite's workstation keys were written with the machine name.
    QString name = QSysInfo::machineHostName();
    const qsizetype dot = name.indexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name;
}

QString SystemEnvironment::userName() const
{
    QString name = variable(QStringLiteral("USER"));
    if (name.isEmpty())
        name = variable(QStringLiteral("LOGNAME"));
    if (name.isEmpty())
        name = variable(QStringLiteral("USERNAME"));
    // A session started without a login (a service, a cron job, env -i) has none of them; the
    // workstation key must still tell two accounts of one machine apart.
    if (name.isEmpty()) {
        if (const passwd* account = getpwuid(getuid()))
            name = QString::fromLocal8Bit(account->pw_name);
    }
    return name;
}

QString SystemEnvironment::variable(const QString& name) const
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.contains(name))
        return env.value(name);
    const QStringList keys = env.keys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return env.value(key);
    }
    return QString();
}

QString SystemEnvironment::systemTempFolder() const
{
    return QDir::tempPath();
}

QString SystemEnvironment::executableFolder() const
{
    return QCoreApplication::applicationDirPath();
}
