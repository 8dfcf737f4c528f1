#pragma once

#include <QList>
#include <QString>

class QWidget;

// One row of TA_CONFIG_FORM as the store writes it, without the key columns.
struct FilaConfigForm
{
    QString TipoObjeto;
    QString Nombre;
    QString Propiedad;
    QString DataField;
    QString Valor;

    bool operator==(const FilaConfigForm&) const = default;
};

// The form-state store: the state of a window's controls kept as rows of TA_CONFIG_FORM (one row
// per property value), and put back into the window. The suite's other programs read and write
// the same rows, so control kinds, property names and values are the ones they use:
//
//   QLineEdit, QPlainTextEdit  "TextBox"       "Text"                      DataField
//   QCheckBox                  "CheckBox"      "Value" 0/1/2               DataField, or Index
//   QRadioButton               "OptionButton"  "Value" True/False          name, or Index
//   QComboBox                  "ComboBox"      "ListIndex"                 DataField
//   QListWidget                "ListBox"       "List", "Selected" per item DataField
//   QTreeView                  "ListView"      "ColWidth", "ColPosition"   column caption
//   QTableView                 "KzqDBGrid"     "PageSize", "CamposSel", "ColWidth" per column
//
// A control is a widget with an objectName (Qt's own "qt_" widgets are not); a control-array
// member is named "<name>_<index>" (or carries an "Index" property), DataField is its "DataField"
// property. Widths and positions are in twips. The walk goes depth first through the window's
// widgets in creation order and does not enter controls or other windows.
//
// Keys: FORMULARIO is the window's objectName plus a suffix: empty for the plain state kept per
// application user (gInicio().gUsuarioLogeado in USUARIO), "@<window>@<template>" for a template
// shared by all users (empty USUARIO). Key columns are cut to their widths (100 and 50) and not
// padded: the suite's server ignores trailing blanks either way.
//
// Statements run on gDB(); every value inside a literal has its apostrophes doubled.
class ConfigForm
{
public:
    // Saves the window's state under the suffix: the old rows of the key (of `filtro` only, when
    // given: a control name or kind) are replaced by the current ones in one transaction. List-box
    // contents are saved only with `guardaListas`. False when anything failed: the transaction is
    // rolled back and the state saved before is left whole.
    static bool GuardaConfigForm(QWidget* form, const QString& sufijo,
        const QString& filtro = QString(), bool guardaListas = false);

    // Puts the state saved under the suffix back into the window (only the control named `filtro`,
    // when given). Properties without a saved row are left alone; a control whose value cannot be
    // applied is passed over. List boxes and the template box CboPlantilla are never restored; a
    // plain state also brings back the window's place (and size, when the window is sizable) and
    // keeps it on the screen. False when the rows could not be read.
    static bool RecuperaConfigForm(
        QWidget* form, const QString& sufijo, const QString& filtro = QString());

    // The rows the window's state is made of, in the order they are written (the window's own
    // four rows at the end for a plain state).
    static QList<FilaConfigForm> filas(QWidget* form, const QString& sufijo, bool guardaListas);

    // The store's kind of a control ("TextBox", ...); empty for widgets it does not keep.
    static QString tipoObjeto(const QWidget* control);
    // The control's name without its array index ("txtfields" for "txtfields_3").
    static QString nombreControl(const QWidget* control);
    // The index of a control-array member; -1 for a single control.
    static int indiceControl(const QWidget* control);

    // The key columns for a window and a suffix, cut to their widths.
    static QString claveFormulario(const QWidget* form, const QString& sufijo);
    static QString claveUsuario(const QString& sufijo);

    // Statement texts.
    static QString sentenciaBorrado(
        const QString& formulario, const QString& usuario, const QString& filtro);
    static QString sentenciaInsercion(
        const QString& formulario, const QString& usuario, const FilaConfigForm& fila);
    static QString sentenciaLectura(const QString& formulario, const QString& usuario);
};
