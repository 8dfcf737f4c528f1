#include "platform/qt/SystemEnvironment.h"

#include <cstring>

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
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
    // Asked several times for every voucher printed: the variable is read where it stands, and
    // the list of them is only gone through when the name's case may differ.
    const QByteArray exact = name.toLocal8Bit();
    if (qEnvironmentVariableIsSet(exact.constData()))
        return qEnvironmentVariable(exact.constData());
    for (char** entry = environ; entry && *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (!equals)
            continue;
        const QString key = QString::fromLocal8Bit(*entry, equals - *entry);
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return QString::fromLocal8Bit(equals + 1);
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
