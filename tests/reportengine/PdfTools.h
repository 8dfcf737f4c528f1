#pragma once

#include <QString>

// poppler-utils, to check PDFs by what they say rather than by their bytes.
namespace PdfTools {

QString text(const QString& pdf);    // pdftotext -layout
int pageCount(const QString& pdf);   // from pdfinfo; -1 when pdfinfo fails
QString info(const QString& pdf);    // pdfinfo's whole output
QString fonts(const QString& pdf);   // pdffonts' whole output
QString faults(const QString& pdf);  // what pdftotext says is wrong in the file; empty when nothing

} // namespace PdfTools
