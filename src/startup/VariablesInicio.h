#pragma once

#include <QString>

#include "platform/Service.h"

// The start-up values the whole program shares: the logged application user and what the start-up
// parameter string handed over. One program-wide instance, installed by src/app and reached through
// gInicio(); a test installs its own. Everything starts empty.
struct VariablesInicio
{
    // The application user.
    QString gUsuarioLogeado;
    // That user's password; ClaveGuardada means "use the password stored for the user".
    QString gClaveUsuario;
    // "@ParametroAdicional": the program's own option ("C" puts the price lists in purchase mode).
    QString gParametroAdicional;
    // "@Menu": kept and handed on, read nowhere else.
    QString gMenu;
    // "@Caja": the cash desk handed on to sibling programs.
    QString gCaja;

    // The value of gClaveUsuario that stands for "no password given".
    static inline const QString ClaveGuardada = QStringLiteral("* *");
};

inline VariablesInicio& gInicio()
{
    return Service<VariablesInicio>::get();
}
