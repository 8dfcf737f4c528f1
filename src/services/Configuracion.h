#pragma once

#include <QString>

#include "platform/Value.h"

// The suite's settings table TA_CONFIGURACION (columns GRUPO, CLAVE, VALOR, valoraux,
// PoliticaNegocio): the program's only way into it, on the main database (gDB()) and on the
// statistics database (gDBEstadisticas()). Every call is one query; nothing is cached. Keys are
// stored trimmed and upper-cased and found by the database's own comparison, which ignores case.
//
// Readers answer " " (one blank) for a missing key and the value as stored (not trimmed, Null as
// "") for a found one; callers trim where they compare. A failure goes to ManejoErrores under the
// reader's name: Retry reads again, Ignore goes on, anything else gives "".
namespace Configuracion {

// The value of `clave`. Group "DATOS" (any case) finds the key in any group; another group must
// match too. `aux` receives valoraux ("" when the key is missing). "" without a query while the
// main connection is not open. Key "THEME" with a blank value reads "1". Keys "[FECHA DESDE]" and
// "[FECHA HASTA]" are sent upper-cased with the whole statement.
QString Cfg(const QString& clave, QString& aux, const QString& grupo = QStringLiteral("DATOS"));
QString Cfg(const QString& clave);

// valoraux of `clave` (and of `valor`, when given, in VALOR).
QString CfgAux(const QString& clave, const QString& valor = QString());

// Adds or replaces the row of `clave` (in `grupo`; "DATOS" finds it in any group and moves it to
// "DATOS"); with `borrar` deletes it instead (and stores nothing when there is none). VALOR gets
// `valor` as text (trimmed with `recortar`); valoraux changes only when `aux` is not empty.
// Failures are skipped silently: the caller cannot tell whether the row was stored.
void GrabaDfg(const QString& clave, const Value& valor, const QString& aux = QString(),
    bool politicaNegocio = false, const QString& grupo = QStringLiteral("DATOS"),
    bool recortar = true, bool borrar = false);

// The value of `clave` on the statistics database, any group; "" without a query while that
// database is not connected. `aux` receives valoraux.
QString CfgKZQ(const QString& clave, QString& aux);
QString CfgKZQ(const QString& clave);

// Adds or replaces the row of `clave` on the statistics database: found in any group, written with
// `grupo`. valoraux, when given, is stored trimmed.
void GrabaCfgKZQ(const QString& clave, const Value& valor, const QString& aux = QString(),
    bool politicaNegocio = false, const QString& grupo = QStringLiteral("BaseDeDatos"),
    bool recortar = true);

} // namespace Configuracion
