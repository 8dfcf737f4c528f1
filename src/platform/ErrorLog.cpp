#include "platform/ErrorLog.h"

#include <QFileInfo>

#include "platform/AppendFile.h"
#include "platform/FileNames.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"

namespace ErrorLog {

QString messageText(const RuntimeError& error)
{
    return QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(error.number())
        + QStringLiteral(") ") + error.description().trimmed();
}

QString title(const RuntimeError& error, const std::optional<QString>& routine, int mark)
{
    const QString routinePart = routine ? QStringLiteral(" - ") + *routine : QString();
    return error.source() + routinePart + QStringLiteral(" Aviso al operador!!! - ")
        + QString::number(mark) + u' ';
}

QString answerWord(int answer)
{
    switch (answer) {
    case Msg::Retry:
        return QStringLiteral("Reintentar");
    case Msg::Ignore:
        return QStringLiteral("Ignorar");
    case Msg::Abort:
        return QStringLiteral("Abortar");
    case Msg::Cancel:
        return QStringLiteral("Cancelar");
    case Msg::Yes:
        return QStringLiteral("Sí");
    case Msg::No:
        return QStringLiteral("No");
    default:
        return QString();
    }
}

QByteArray line(const QDateTime& when, const std::optional<QString>& routine,
    const QString& message, int answer)
{
    // Month first whatever the workstation's settings: the suite's other programs read these logs.
    const QString routinePart = routine ? (QStringLiteral(" - ") + *routine).trimmed() : QString();
    const QString text = when.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss"))
        + QStringLiteral(" Rutina: ") + routinePart + QStringLiteral(" Mensaje ")
        + message.trimmed() + QStringLiteral(" Respondió : ") + answerWord(answer)
        + QStringLiteral("\r\n");
    return Windows1252::encode(text);
}

bool append(const QString& filePath, const QByteArray& line)
{
    // The log holds the operator's errors: only this account reads it.
    constexpr int OwnerOnly = 0600;
    if (AppendFile::append(filePath, line, nullptr, OwnerOnly))
        return true;
    // A log in a folder others write (the temporary one) may be taken by something planted
    // there: the line then goes to the data folder's log rather than being lost.
    const QString inData = FileNames::helperFileToWrite(QString::fromLatin1(FileName));
    if (QFileInfo(inData).absoluteFilePath() == QFileInfo(filePath).absoluteFilePath())
        return false;
    return AppendFile::append(inData, line, nullptr, OwnerOnly);
}

} // namespace ErrorLog
