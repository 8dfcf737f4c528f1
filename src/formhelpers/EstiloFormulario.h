#pragma once

class QWidget;

// How a form is dressed when it loads: its skin, its icon and the style of its toolbars. The main
// window calls AplicaSkinFormulario and then AplicaIconoYBarras from its load handler. Neither
// reports anything: a step that fails (a missing style file, a toolbar the form does not have) is
// skipped and the next one runs.
namespace EstiloFormulario {

// Reads the skin the Windows user chose for the open database (file "ZR417px.INI", section
// "<USER>_<DATABASE>Styles", key "Styles", default "4"; the number is kept in gEstiloSkin), loads
// that look into the form's skin control "SkinFramework1" (created as a child of the form when it
// has none) and applies it to the form.
//
//   1 "Styles/Vista.cjstyles"   2 "Styles/WinXP.Luna.cjstyles"   3 "Styles/WinXP.Royale.cjstyles"
//   4 "Styles/iTunes" (colour scheme "Normalitunes.ini")   any other "Styles/Office2007.cjstyles"
//
// Paths are inside the program folder and matched ignoring case. Needs gDB() and gGlobales();
// AplicaIconoYBarras needs gInicio() and gControles().
void AplicaSkinFormulario(QWidget* form);

// Gives the form the program's icon (its own built-in one, else "corvane.ico" of the program
// folder when the form is left without any icon). Unless the form is the MDI frame (type name
// "FrmMDI" in any case) it then prepares the window (Controles::PreparaVentana), sets StyleBar to
// gFlatToolbars on the toolbars "UtilKzq1", "TBarRep1" and "Util0011" it has, and lets pending
// window events run once. A QToolBar without a StyleBar property of its own shows style 0 as
// standard buttons and any other style as flat buttons.
void AplicaIconoYBarras(QWidget* form);

} // namespace EstiloFormulario
