#pragma once

#include <QString>
#include <QStringList>

#include "platform/Value.h"

// The criteria fields the cost analysis narrows the articles by, as the window's text fields hold
// them (trimmed here).
struct CriteriosAnalisis
{
    QString RubroDesde;
    QString RubroHasta;
    QString ProveedorDesde;
    QString ProveedorHasta;
    QString FamiliaDesde;
    QString FamiliaHasta;
};

// The cost analysis across up to four sales lists: fills the per-user work table
// AUX_ANALISISCOSTOS with one row per article, for each analysed list its code (or group name),
// its class-4 sale price, the utility over cost and the price's offer period. The report
// "RP_LISTAPRECIOSAC" then prints the rows of the same user key. Runs its statements on gDB() and
// shows the banner gDisplay() while it works.
class AnalisisCostos
{
public:
    // The user key of the rows: the logged user, "/", the computer name (not cut).
    static QString claveUsuario(const QString& usuario, const QString& nombrePC);

    // The article conditions of the criteria, each starting with " and ", in the order section
    // from/to, supplier from/to, family from/to. A family holding "*" becomes a LIKE pattern.
    static QString filtroArticulos(const CriteriosAnalisis& criterios);

    // Utility over cost in percent of a sale price: with VAT included the price is taken without
    // it at `tasa` percent. A cost that is not above zero (or Null) gives 100.
    static double utilidad(const Value& precio, const Value& costo, bool conIva, double tasa);

    // The price rows of one sales list, joined with their articles (suspended ones left out).
    static QString sentenciaPrecios(const QString& lista, const QString& filtro);

    // A date of an offer as it is written into the statements: an ISO literal between
    // apostrophes, or NULL when the value is Null or blank.
    static QString fechaSql(const Value& fecha);

    // The insert and the update of column group `n` (1 to 4) of an article's row.
    static QString sentenciaInsercion(int n, const QString& articulo, const QString& lista,
        const QString& utilidad, const QString& precio, const QString& desde, const QString& hasta,
        const QString& clave);
    static QString sentenciaActualizacion(int n, const QString& articulo, const QString& lista,
        const QString& utilidad, const QString& precio, const QString& desde, const QString& hasta,
        const QString& clave);

    // Deletes the rows of `clave` and fills them again from `listas` (the chosen entries of the
    // list picker in order, each a list code or a list group's name; column n is the entry's
    // position, at most four are used). A failing step (an insert or update the database refused
    // among them) asks the library's error dialog: Retry runs it again, Ignore goes on, anything
    // else stops. Rows of the key that cannot be deleted are told in a plain box and stop the run.
    // The banner is closed on every way out, and a run that stops leaves no rows for the key.
    // Returns false when it stopped. The rows are made in memory and written in one transaction,
    // many to an insert; an insert that writes none of the rows it carries (refused, or cleared
    // as a truncation by the data layer) is written again article by article with the insert and
    // updates of each, and only a statement of those that writes no row is asked about, after the
    // transaction was rolled back; Retry and Ignore write the run again. An insert that writes
    // only some of its rows makes the run start again with those articles one by one. A count of
    // -1 (a server that reports none) is no refusal. A key (article code or user key) longer
    // than its column in the work table is told in a plain box and stops the run before anything
    // is written.
    bool ArmarAnalisisCostos(
        const CriteriosAnalisis& criterios, const QStringList& listas, const QString& clave);
};
