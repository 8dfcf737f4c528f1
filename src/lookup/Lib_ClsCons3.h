#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

#include "platform/Service.h"
#include "platform/Value.h"

class Lib_FrmCons3;

// The one entry to the lookup dialogs. A field that needs the operator to choose a row of a table
// sets CampoDevuelto (and Checks for a multiple choice), calls ConsultaSearch with a table or view
// name or a whole SELECT, and reads ValorDevuelto (empty text: cancelled) or Valores. A bare name
// becomes a bounded SELECT from the query masks ("consultas.qzk"), a fixed column set or a probe of
// the table's columns. The dialog is shown modally through MuestraModal and discarded afterwards,
// so every lookup starts from a fresh dialog.
//
// Creating it reads the lookup settings of the configuration table (main connection open).
class Lib_ClsCons3
{
public:
    Lib_ClsCons3();
    ~Lib_ClsCons3();
    Lib_ClsCons3(const Lib_ClsCons3&) = delete;
    Lib_ClsCons3& operator=(const Lib_ClsCons3&) = delete;

    // --- Public members, in the order the suite declares them ---

    // Stock-level colours handed to the grid (the settings Stk_Nivel1..4; 0 when blank).
    Value StkNivel1;
    Value StkNivel2;
    Value StkNivel3;
    Value StkNivel4;
    // The setting MostrarStockenConsultas ("SI" shows the stock colours of article lookups).
    QString MuestraStock;
    // Kept for the suite's callers; the lookups use the parameter of the same name.
    std::optional<QStringList> CmpsDevueltos;
    // After a lookup: one value per checked row (multiple choice), or the values of the further
    // columns asked for (single choice). Nothing at all after a cancelled lookup.
    std::optional<QStringList> Valores;
    // After a grid lookup: the dialog's quantities collection.
    std::optional<QStringList> Cantidades;
    // The next lookup is a multiple choice; back to false after every lookup that showed a dialog.
    bool Checks = false;
    // The chosen row's value in the column CampoDevuelto; empty text when cancelled.
    Value ValorDevuelto;
    // Handed to the grid; filled from gDB() when empty at a grid lookup.
    QString gConnString;
    // Full path of the query-mask file, and whether bare names are looked up in it (start-up
    // sets both).
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    // Rows carry a quantity column the keyboard edits.
    bool UsaCantidades = false;
    // Caption of the returned column; back to empty after every lookup that showed a dialog.
    QString CampoDevuelto;

    // --- Methods ---

    // A check list of `Opc` in the grid dialog: each option's first character is a flag ("1"
    // starts checked), the rest is shown. The checked texts are left in Valores (nothing after a
    // cancel); returns empty text. `CmpsDevueltos` is not used.
    QString CheckOpciones(
        const QString& Titulo, std::optional<QStringList>* CmpsDevueltos, const QStringList& Opc);
    // A menu of `Opc` in the grid dialog; the chosen option, empty text when cancelled.
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);

    // The lookup. `Sql`: a name or a whole statement (it holds "SELECT"). `CmpsDevueltos`: captions
    // of further columns returned in Valores; emptied and set to nothing when the lookup ends.
    // `Clave`: initial search text. `CampoBusqueda` (in/out): search and order column, chosen by
    // the mask or defaults when empty. `Where` (in/out): an extra condition, normalised in place.
    // `SentenciaOpcional`: the statement for a name no mask covers. `TreeView`: the tree dialog
    // instead of the grid. `ValoresDefault`: rows starting checked (grid only).
    void ConsultaSearch(const QString& Sql, std::optional<QStringList>* CmpsDevueltos = nullptr,
        const QString& Clave = QString(), QString* CampoBusqueda = nullptr,
        QString* Where = nullptr, const QString& SentenciaOpcional = QString(),
        bool TreeView = false, const QString& ValoresDefault = QString());

    // Takes nothing and does nothing; kept for the suite's callers.
    void GrabaConsultaDefault();

    // The lines of the text file `QueArchivo` in the grid dialog; the chosen line, empty text when
    // cancelled or when the file does not exist (the operator is told). `Separador` is not used.
    QString ConsultaDesdeArchivo(
        const QString& Titulo, const QString& QueArchivo, const QString& Separador = QString());

    // The statement the last ConsultaSearch built (or was given), as handed to the dialog.
    const QString& ultimaSentencia() const { return m_ultimaSentencia; }

private:
    enum class Picker
    {
        Checks,
        Menu,
        Archivo
    };
    QString muestraOpciones(Picker tipo, const QString& Titulo, const QStringList& filas);
    QStringList sondeaCampos(const QString& nombre);
    void muestraGrilla(const QString& sentencia, std::optional<QStringList>* CmpsDevueltos,
        const QString& Clave, const QString& CampoBusqueda, const QString& ValoresDefault);
    void muestraArbol(const QString& sentencia);

    bool m_usaConsultaLike = false;
    QString m_ultimaSentencia;
};

// The program-wide lookup object, made on first use. src/app installs one holder
// (Service<ConsultasPrograma>) after the main connection is open; a test installs its own.
class ConsultasPrograma
{
public:
    ConsultasPrograma();
    ~ConsultasPrograma();
    Lib_ClsCons3& objeto();
    // Discards the object (program end): the next use makes a new one.
    void reinicia();

private:
    std::unique_ptr<Lib_ClsCons3> m_objeto;
};

Lib_ClsCons3& gConsultas();
