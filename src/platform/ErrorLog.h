#pragma once

#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QString>

class RuntimeError;

// What the program's two error reporters (the program-wide one and the data layer's) share: the
// message text, the title, the answer words and the line they append to the error log.
namespace ErrorLog {

inline constexpr char FileName[] = "KZQERR.LOG";

// "Ha ocurrido el Siguiente Error (<number>) <description, trimmed>".
QString messageText(const RuntimeError& error);

// Source, " - <routine>" when a routine was given, then " Aviso al operador!!! - <mark> ". The
// program-wide reporter marks its boxes 2, the data layer's 5.
QString title(const RuntimeError& error, const std::optional<QString>& routine, int mark);

// The word an answer is logged with: "Reintentar", "Ignorar", "Abortar", "Cancelar", "Sí", "No";
// empty for OK and anything else.
QString answerWord(int answer);

// One log line in Windows-1252, ended with CR LF:
// "mm-dd-yyyy hh:mm:ss Rutina: - <routine> Mensaje <message> Respondió : <word>".
// Without a routine the label " Rutina: " is followed directly by " Mensaje ".
QByteArray line(const QDateTime& when, const std::optional<QString>& routine,
    const QString& message, int answer);

// Appends `line` to the file, creating it for this account only when missing (see AppendFile: a
// link, a FIFO or another user's file at the name is not used). Where that file cannot be used the
// line goes to "KZQERR.LOG" in the data folder instead. False when neither can be written; the
// reporters ignore that, a lost log line must not stop the dialog.
bool append(const QString& filePath, const QByteArray& line);

} // namespace ErrorLog
