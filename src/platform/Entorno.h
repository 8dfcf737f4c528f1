#pragma once

#include <QString>

#include "platform/Service.h"

// The utility library's machine services. One program-wide instance, reached through gEntorno();
// it asks the installed Environment and Launcher, so tests pin what it answers.
class Entorno
{
public:
    // Show modes of AbrirArchivo, as the shell's open call numbers them.
    enum ShowMode : int
    {
        Hidden = 0,
        Normal = 1,
        Minimized = 2,
        MinimizedNoActivate = 6,
    };

    // The machine's name; the first half of the workstation key.
    QString NombrePC() const;
    // The login name; the second half of the workstation key.
    QString UsuarioWindows() const;
    // The system's temporary folder, for when the environment names none.
    QString CarpetaTemporal() const;

    // Opens a document or address with its associated program (window handle and verb are
    // accepted and not used; a verb other than blank or "open" is treated as "open"). With
    // `parameters` the file is started as a program with them. Surrounding double quotes around
    // `file` are dropped. `outcome` follows the shell's convention: above 32 when it opened, 2 when
    // nothing could open it. Nothing is shown on failure.
    void AbrirArchivo(qintptr window, const QString& verb, const QString& file,
        const QString& parameters, const QString& folder, int showMode, int& outcome) const;
};

inline Entorno& gEntorno()
{
    return Service<Entorno>::get();
}
