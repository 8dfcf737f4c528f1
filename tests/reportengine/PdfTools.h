#pragma once

#include <QString>

// poppler-utils, to check PDFs by what they say rather than by their bytes.
namespace PdfTools {

QString text(const QString& pdf); // pdftotext -layout
int pageCount(const QString& pdf); // from pdfinfo; -1 when pdfinfo fails
QString info(const QString& pdf); // pdfinfo's whole output
QString fonts(const QString& pdf); // pdffonts' whole output
// What is wrong in the file, one line each: what pdftotext and "qpdf --check" say, and references
// to objects the file does not hold. Empty when nothing.
QString faults(const QString& pdf);

} // namespace PdfTools
