#include "platform/Entorno.h"

#include "platform/Environment.h"
#include "platform/Launcher.h"

QString Entorno::NombrePC() const
{
    return Service<Environment>::get().computerName();
}

QString Entorno::UsuarioWindows() const
{
    return Service<Environment>::get().userName();
}

QString Entorno::CarpetaTemporal() const
{
    return Service<Environment>::get().systemTempFolder();
}

void Entorno::AbrirArchivo(qintptr window, const QString& verb, const QString& file,
    const QString& parameters, const QString& folder, int showMode, int& outcome) const
{
    Q_UNUSED(window);
    Q_UNUSED(verb);
    Q_UNUSED(folder);
    // Callers quote a path holding blanks for the shell; the opener takes the path itself.
    QString target = file.trimmed();
    if (target.size() >= 2 && target.startsWith(u'"') && target.endsWith(u'"'))
        target = target.mid(1, target.size() - 2);

    Launcher& launcher = Service<Launcher>::get();
    bool opened = false;
    if (!parameters.trimmed().isEmpty()) {
        const QString program = target.contains(u' ') ? u'"' + target + u'"' : target;
        opened = launcher.startProgram(program + u' ' + parameters.trimmed()) != 0;
    } else {
        const bool minimized = showMode == Minimized || showMode == MinimizedNoActivate;
        opened = launcher.openDocument(target, minimized);
    }
    // The shell's convention: above 32 means it opened, 2 "file not found".
    outcome = opened ? 33 : 2;
}
