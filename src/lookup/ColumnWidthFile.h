#pragma once

#include <optional>

#include <QList>
#include <QString>

// The lookup grid's remembered column widths: "CONSULTASLEN.qzk" in the data folder (else the
// program folder's, only read), one line per table, two fields in double quotes separated by a
// comma: the table name and the widths in twips, each followed by "|"
// ("VT_MA_ARTICULOS","1440|4500|1200|"). Windows-1252 text, lines ended by CR LF. Table names
// compare ignoring case; when several lines name a table, each is applied in turn, so the last one
// wins.
namespace ColumnWidthFile {

// "CONSULTASLEN.qzk" to read: the data folder's, else the program folder's (an existing file in
// another case is found).
QString ruta();

// "CONSULTASLEN.qzk" to write, in the data folder; the first one written there starts with the
// program folder's lines.
QString rutaParaGrabar();

// The widths saved for `tabla`, one entry per column of a list of `columnCount` columns: a width
// in twips, or nothing where no line gave one. A line with fewer widths than columns applies the
// ones it has; a width that is no number, a line that is not two fields, or a file that cannot be
// read ends the reading, keeping what was read before. No file: every entry is nothing.
QList<std::optional<double>> leer(const QString& path, const QString& tabla, int columnCount);

// Rewrites the file through "CONSULTASLEN.AUX" beside it: every line of another table kept in its
// place, then one line for `tabla` with `anchos` (twips). The file is created when missing.
// Raises RuntimeError (with the file's name) when a file cannot be written or replaced; the old
// file is kept unless the failure came after it was removed.
void grabar(const QString& path, const QString& tabla, const QList<int>& anchos);

} // namespace ColumnWidthFile
