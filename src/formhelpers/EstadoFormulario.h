#pragma once

#include <QString>

#include "platform/Service.h"

class IniFile;
class QWidget;

// The utility library's window-state store: what the operator left in a window (texts, ticks,
// option choices, combo choices, the window's place) comes back the next time the window loads.
// States are kept per application user in the program's own state file (INI format, in the
// user's configuration folder), one section per window, name and user; the suite's shared INI
// file is never touched. A window shown in more than one variant (the price-list window's sales
// and purchase modes) names its variant in the dynamic property "VarianteEstado" before its state
// comes back, and each variant keeps a state of its own.
//
// Text fields marked as dates (the property "Tag" is "FECHA") are stored as yyyy-MM-dd and come
// back in the workstation's short date; a date stored as typed by an earlier run is read too.
//
// Controls are found by objectName; unnamed controls and Qt's own inner controls are left out.
// A state file that cannot be read or written loses the state silently: nothing the operator
// does depends on it.
class EstadoFormulario
{
public:
    // `archivo` is the state file's path.
    explicit EstadoFormulario(QString archivo);

    // The state file of the person running the program: "EstadoFormularios.ini" in the program's
    // folder inside the user's configuration folder.
    static QString archivoPorDefecto();

    const QString& archivo() const { return m_archivo; }

    // Readies a window once before its state comes back: it keeps its designed place when no
    // state exists. `modal` is accepted for the callers' sake and changes nothing.
    void PreparaFormulario(QWidget* form, bool modal = false);

    // Puts back the state stored under `nombre` ("" the window's plain state) for the logged
    // user. A control no longer in the window, or a choice out of range, is passed over; the
    // window comes back wholly on the screen it is on now, smaller when it does not fit there.
    void RecuperaEstadoFormulario(QWidget* form, const QString& nombre = QString());

    // Stores the window's state under `nombre` for the logged user, replacing the one there.
    void GuardaEstadoFormulario(QWidget* form, const QString& nombre = QString());

    // The section of the state file for the window, its variant, the name and the logged user.
    static QString seccion(const QWidget* form, const QString& nombre);

private:
    static QString seccionSinVariante(const QWidget* form, const QString& nombre);

    QString m_archivo;
};

inline EstadoFormulario& gEstadoFormulario()
{
    return Service<EstadoFormulario>::get();
}
