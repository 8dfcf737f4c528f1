#include "services/ManejoErrores.h"

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"

namespace {

constexpr int DefaultButtons = Msg::AbortRetryIgnore + Msg::Critical; // 18
constexpr int TitleMark = 2;

} // namespace

QString archivoErroresPrograma()
{
    // One folder for every temporary file of the program: this account's own, under TEMP, else
    // TMP, else the system's folder.
    return gUtilidades().RutaConBarra(temporaryFolder()) + QString::fromLatin1(ErrorLog::FileName);
}

int ManejoErrores(
    const RuntimeError& error, std::optional<int> buttons, const std::optional<QString>& routine)
{
    if (error.number() == 0)
        return 0;
    const QString message = ErrorLog::messageText(error);
    const int answer = MsgBox(
        message, buttons.value_or(DefaultButtons), ErrorLog::title(error, routine, TitleMark));
    ErrorLog::append(archivoErroresPrograma(), ErrorLog::line(Now(), routine, message, answer));
    return answer;
}

int ManejoErrores(const RuntimeError& error, const QString& routine)
{
    return ManejoErrores(error, std::nullopt, routine);
}

Steps reportAs(const QString& routine)
{
    return Steps([routine](const RuntimeError& error) { return ManejoErrores(error, routine); });
}
