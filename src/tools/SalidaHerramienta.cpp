// Linked into every tool as an object of its own, so that it is in place before main() and the
// Qt application start: a tool's output holds only its own lines. On a machine without a
// runtime folder (a container, a service account, ssh without a login session) Qt tells that it
// takes one in /tmp, at the start of every run, which reads as a fault of the tool; nothing the
// tools do needs that folder. The tools that build the program's windows off screen (the sender's
// documents) get the off-screen platform's notice that it does not size windows by their hints,
// on every run, although nobody sees those windows. Every other message of Qt still goes out as Qt
// writes it.
#include <QLatin1String>
#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler anterior = nullptr;

void sinAvisoDeRuntime(QtMsgType tipo, const QMessageLogContext& contexto, const QString& texto)
{
    if (tipo == QtWarningMsg
        && (texto.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))
            || texto == QLatin1String("This plugin does not support propagateSizeHints()")))
        return;
    anterior(tipo, contexto, texto);
}

[[maybe_unused]] const bool instalado = [] {
    anterior = qInstallMessageHandler(sinAvisoDeRuntime);
    return true;
}();

} // namespace
