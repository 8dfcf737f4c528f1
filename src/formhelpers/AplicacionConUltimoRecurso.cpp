#include "formhelpers/AplicacionConUltimoRecurso.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/MessageDialog.h"
#include "platform/ProgramEnd.h"
#include "platform/Service.h"

AplicacionConUltimoRecurso::AplicacionConUltimoRecurso(int& argc, char** argv, Aviso aviso)
    : QApplication(argc, argv)
    , m_aviso(aviso)
{
}

bool AplicacionConUltimoRecurso::notify(QObject* receptor, QEvent* evento)
{
    try {
        return QApplication::notify(receptor, evento);
    } catch (const std::exception& error) {
        termina(QString::fromUtf8(error.what()));
    } catch (...) {
        termina(QString());
    }
    return false;
}

void AplicacionConUltimoRecurso::termina(const QString& texto)
{
    // The box runs a loop of its own: an error of an event it dispatches is not told over the
    // first one, whose end is on its way.
    if (m_terminando)
        return;
    m_terminando = true;
    const QString mensaje = QStringLiteral("Error no previsto")
        + (texto.isEmpty() ? QString() : QStringLiteral(": ") + texto);
    std::fprintf(stderr, "%s\n", mensaje.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_aviso == Aviso::ConCaja && Service<MessageDialog>::installed())
        MsgBox(mensaje, Msg::Critical, QStringLiteral("Rp_Tarifolio"));
    // Not QApplication::exit(): it only leaves the running loops, and the code after a nested
    // one (a dialog's, the wait of a transfer) would go on with the error's work half done; the
    // main loop, not yet running while the window loads, would not end at all.
    if (Service<ProgramEnd>::installed())
        endProgram(Salida);
    std::fflush(nullptr);
    std::exit(Salida);
}
