#pragma once

#include <QString>
#include <QStringList>

// Reading back a printed price list: the text of a PDF, the article codes of its detail lines,
// and rows of an independent query to compare them with.
namespace listaimpresa {

// pdftotext -layout; empty text when it fails.
QString pdfText(const QString& pdf);

// The six-digit article codes that start the lines, in the order printed.
QStringList codes(const QString& text);

// The rows of `sql` on the named Qt SQL connection, each row's columns joined by "|".
QStringList rows(const QString& connectionName, const QString& sql);

} // namespace listaimpresa
