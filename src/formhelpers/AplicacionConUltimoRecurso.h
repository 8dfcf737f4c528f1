#pragma once

#include <QApplication>

// The last handler of the window and of the tools' event loops. An exception thrown by an event
// handler must not pass through Qt's event dispatch, which does not support it: inside a modal
// dialog's loop it ends the process with a signal, elsewhere it comes out of the code that ran
// the loop, which may take it for an error of its own. notify() catches it, writes "Error no
// previsto: <what>" on the error output, shows it in a critical box when asked to and a message
// box is installed, and ends the process at once with status 3 (through the installed
// ProgramEnd, which closes the connections, when there is one). The rest of the handler and of
// the code that ran the loop does not run.
class AplicacionConUltimoRecurso final : public QApplication
{
public:
    enum class Aviso
    {
        // The window: the line and the critical box, through Service<MessageDialog>.
        ConCaja,
        // The tools: the line alone, as their other unforeseen errors are told.
        SoloLinea,
    };

    AplicacionConUltimoRecurso(int& argc, char** argv, Aviso aviso);

    bool notify(QObject* receptor, QEvent* evento) override;

    // The status the process ends with.
    static constexpr int Salida = 3;

private:
    // Returns only while the first error's box is up.
    void termina(const QString& texto);

    Aviso m_aviso;
    bool m_terminando = false;
};
