#include "platform/qt/QtLauncher.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

qint64 QtLauncher::startProgram(const QString& commandLine)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return 0;
    const QString program = arguments.takeFirst();
    qint64 pid = 0;
    if (!QProcess::startDetached(program, arguments, QString(), &pid))
        return 0;
    return pid;
}

bool QtLauncher::runAndWait(const QString& commandLine)
{
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return false;
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(arguments.takeFirst(), arguments);
    if (!process.waitForStarted(-1))
        return false;
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return true;
}

bool QtLauncher::openDocument(const QString& target, bool minimized)
{
    // The desktop decides how the associated program's window opens.
    Q_UNUSED(minimized);
    if (target.isEmpty())
        return false;
    // An address goes as it is: re-encoding it would change what the other side reads.
    const QString argumento
        = QFileInfo::exists(target) ? QFileInfo(target).absoluteFilePath() : target;
    return QProcess::startDetached(QStringLiteral("xdg-open"), { argumento });
}
