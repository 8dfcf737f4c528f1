#pragma once

#include <QString>

class QWidget;

// Templates: named sets of a window's options, kept by the form-state store (ConfigForm) under
// the key "<window>@<window name>@<template name>" and shared by all users. The window shows the
// name in its editable combo box "CboPlantilla" and offers the template button beside it; every
// operation finds the box by that name and does nothing to it when the window has none.
//
// Failures are not reported: a save that fails leaves the template as it was, and the list is
// refilled whatever happened.
namespace Plantillas {

// The text the name box shows after every refill; it names no template unless one was saved so.
inline const QString General = QStringLiteral("General");

// Saves the window's state as the template named in the box (as typed), refills the list and
// shows the name again. False when the save failed.
bool GrabaPlantillaForm(const QString& nombreVentana, QWidget* ventana);

// Applies the template named in the box (as typed). A name with no template changes nothing.
void AplicaPlantillaForm(const QString& nombreVentana, QWidget* ventana);

// Deletes the template named in the box (trimmed) and refills the list.
void BorraPlantillaForm(const QString& nombreVentana, QWidget* ventana);

// Fills the box with the window's template names and shows "General" (the only entry when the
// window has no template).
void CargaComboPlantillas(const QString& nombreVentana, QWidget* ventana);

// The template button's face: applies the named template; a blank name does nothing. True when
// a template was applied, so the window can bring its layouts in line.
bool BotonPlantilla(const QString& nombreVentana, QWidget* ventana);

// An entry of the template button's menu by key ("Aplicar", "Grabar", "Eliminar", any case). A
// blank name is refused with a message; "Eliminar" asks first. True when a template was applied.
bool MenuPlantilla(const QString& clave, const QString& nombreVentana, QWidget* ventana);

// The suffix of the template's key, and the statements of the list and of the delete.
QString sufijo(const QString& nombreVentana, const QString& plantilla);
QString sentenciaLista(const QString& nombreVentana);
QString sentenciaBorrado(
    const QString& nombreFormulario, const QString& nombreVentana, const QString& plantilla);

} // namespace Plantillas
