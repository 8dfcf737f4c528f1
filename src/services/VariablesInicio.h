#pragma once

#include <QString>

#include "platform/Service.h"
#include "platform/Value.h"

// The start-up values the whole program shares: the logged application user and what the start-up
// parameter string handed over. One program-wide instance, installed by src/app and reached through
// gInicio(); a test installs its own. Everything starts empty but gFlatToolbars.
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
    // The workstation key (ClaveEstacion()): selects this workstation's INI section, its kitchen
    // printer and its report variants.
    QString gPuesto;
    // Style of the forms' toolbars from the workstation's INI section ("FlatToolbars", "1" when
    // missing): 0 standard buttons, 1 flat buttons. Handed unchanged to each toolbar's StyleBar.
    Value gFlatToolbars = Value(QStringLiteral("1"));

    // The value of gClaveUsuario that stands for "no password given".
    static inline const QString ClaveGuardada = QStringLiteral("* *");
};

inline VariablesInicio& gInicio()
{
    return Service<VariablesInicio>::get();
}

// The workstation key: the machine name and the login name, upper-cased, joined with "|", cut to
// 50 characters.
QString ClaveEstacion();
