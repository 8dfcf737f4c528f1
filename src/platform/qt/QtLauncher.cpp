#include "platform/qt/QtLauncher.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

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
    const QUrl url = QFileInfo::exists(target)
        ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
        : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}
