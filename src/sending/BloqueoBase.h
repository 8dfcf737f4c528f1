#pragma once

#include <QString>

#include "platform/EsperasBloqueo.h"
#include "platform/Steps.h"

// A database another process holds locked, as the sender lives with it: the first command of a
// routine that waits out the connection's time-out stops the routine without asking anyone, since
// every command after it would wait as long again. Counts the waits of gDB() from its making.
class BloqueoBase
{
public:
    BloqueoBase();

    // Steps reporting to ManejoErrores under `rutina`, except a failure after such a wait: that
    // one leaves the routine at once. The object must outlive them.
    Steps pasos(const QString& rutina);
    // The lock's message in the user's words once a command has waited the time-out out; empty
    // before.
    QString mensaje() const;

private:
    EsperasBloqueo m_esperas;
};
