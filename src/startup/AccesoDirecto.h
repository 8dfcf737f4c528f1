#pragma once

#include <QByteArray>
#include <QString>

// The desktop shortcut the login dialog writes: a freedesktop ".desktop" launcher that starts this
// program with a start-up parameter string.
namespace AccesoDirecto {

// The user's desktop folder: XDG_DESKTOP_DIR, else the one user-dirs.dirs names (under
// XDG_CONFIG_HOME, else HOME/.config), else HOME/Desktop or HOME/Escritorio, whichever exists
// (HOME/Desktop when neither does). It may not exist.
QString CarpetaEscritorio();

// The shortcut file for `nombre` (trimmed) in `carpeta`: "<carpeta>/<nombre>.desktop".
QString ArchivoAccesoDirecto(const QString& carpeta, const QString& nombre);

// The launcher's text: it runs `programa` with `argumentos` as one argument; when the program
// folder is not the executable's own, the launcher sets RP_TARIFOLIO_HOME to it (`carpetaPrograma`
// empty: nothing set), so the shortcut opens on the same helper files.
QByteArray Contenido(const QString& nombre, const QString& programa, const QString& argumentos,
    const QString& carpetaPrograma);

// Writes the launcher to `archivo` and marks it executable (desktops refuse to run it otherwise).
// Raises RuntimeError when it cannot be written.
void Escribe(const QString& archivo, const QByteArray& contenido);

} // namespace AccesoDirecto
