#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "services/MascarasConsulta.h"

// How the lookup object turns what a caller asks for (a table or view name, or a whole SELECT)
// into the statement its dialog runs: the query masks of "consultas.qzk", the fixed column sets,
// the column probe and the row limit. Statements are written in the server's dialect (TOP n,
// with(nolock)); the data layer adapts them to other engines.
namespace ArmadoConsulta {

// The caller's extra condition as the lookup uses it: one of two or more characters (trimmed)
// that does not start with "(" is wrapped as " (" + where + ") "; anything else is kept as is.
QString normalizaWhere(const QString& where);

// The row limit from the TopConsArt setting: its leading number rounded to a whole number; 1000
// when that is 0 or less (also a blank or non-numeric setting).
int limiteFilas(const QString& topConsArt);

// A whole statement rather than a name: the text holds "SELECT" in any case.
bool esSentencia(const QString& sql);

// A whole statement as given: the article view is read through "VT_MA_ARTICULOS", and a
// non-blank `where` is appended (after " WHERE " when it holds no "WHERE"); `where` receives the
// text appended. No limit, hint or order is added.
QString sentenciaDada(const QString& sql, QString& where);

// The first record of the mask file at `ruta` whose table (NUL and character 255 removed,
// trimmed) equals the trimmed `tabla`, ignoring case; nothing when none does or the file cannot
// be read.
std::optional<MascarasConsulta::RegistroMascaraConsulta> buscaMascara(
    const QString& ruta, const QString& tabla);

// The statement of a mask, limited to `filas` rows. `campoBusqueda` (the search and order
// column) is taken from the first column when empty; nothing when it is empty and the mask has
// fewer than two columns (the lookup is not configured). `where` is the caller's normalised
// condition, used only when the mask has none.
std::optional<QString> sentenciaDeMascara(const MascarasConsulta::RegistroMascaraConsulta& mascara,
    int filas, QString& campoBusqueda, const QString& where);

// The statement of a name without a mask, limited to `filas` rows: `sentenciaOpcional` when given
// (unchanged), else a fixed column set or the columns `camposDeTabla` reports for the name (the
// probe, asked only then). The fixed sets and the probe set `campoBusqueda`.
QString sentenciaPorDefecto(const QString& nombre, int filas, QString& campoBusqueda,
    const QString& where, const QString& sentenciaOpcional,
    const std::function<QStringList(const QString&)>& camposDeTabla);

// The column list ("A,B,C", possibly empty) of the probed fields `campos` of `nombre`, in reverse
// order; `campoBusqueda` receives the last description-like field, else the first field taken.
QString columnasSondeo(const QString& nombre, const QStringList& campos, QString& campoBusqueda);

} // namespace ArmadoConsulta
