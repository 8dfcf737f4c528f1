#include <cstdio>

#include <QDialog>
#include <QTimer>

#include "formhelpers/AplicacionConUltimoRecurso.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"

// The window's application in a process of its own, for AplicacionConUltimoRecurso's tests (a
// test executable has its QApplication already). Every box is written on the output, and one
// event handler does what the argument says:
//   nada      ends the loop well;
//   runtime   throws the program's RuntimeError;
//   ajena     throws something that is no std::exception;
//   dialogo   throws in a modal dialog's loop before the main loop runs, as the window's load
//             shows its dialogs; the line after the dialog tells that the process went on.
namespace {

class CajaEnSalida final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override
    {
        std::printf(
            "Caja: %s | %s | %d\n", title.toUtf8().constData(), text.toUtf8().constData(), style);
        std::fflush(stdout);
        return Msg::Ok;
    }
};

[[noreturn]] void lanzaRuntime()
{
    throw RuntimeError(RuntimeError::InvalidCall, QStringLiteral("Falla de prueba"));
}

} // namespace

int main(int argc, char* argv[])
{
    AplicacionConUltimoRecurso app(argc, argv, AplicacionConUltimoRecurso::Aviso::ConCaja);
    CajaEnSalida caja;
    const ScopedService<MessageDialog> cajaServicio(caja);
    const QString caso = QApplication::arguments().value(1);

    if (caso == u"dialogo") {
        QDialog dialogo;
        QTimer::singleShot(0, &dialogo, lanzaRuntime);
        dialogo.exec();
        std::printf("Siguió tras el diálogo\n");
        return 0;
    }
    if (caso == u"runtime")
        QTimer::singleShot(0, &app, lanzaRuntime);
    else if (caso == u"ajena")
        QTimer::singleShot(0, &app, [] { throw 7; });
    else
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
