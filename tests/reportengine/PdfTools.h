#pragma once

#include <vector>

#include <QString>

// poppler-utils, to check PDFs by what they say rather than by their bytes.
namespace PdfTools {

QString text(const QString& pdf); // pdftotext -layout
int pageCount(const QString& pdf); // from pdfinfo; -1 when pdfinfo fails
QString info(const QString& pdf); // pdfinfo's whole output
QString fonts(const QString& pdf); // pdffonts' whole output

// A word as pdftotext -bbox finds it: its page (from 0) and its box in points from the page's top
// left corner.
struct Word
{
    QString text;
    int page = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
struct Page
{
    double width = 0, height = 0;
};
struct Words
{
    std::vector<Page> pages;
    std::vector<Word> words;
};
Words words(const QString& pdf); // nothing when pdftotext fails
// What is wrong in the file, one line each: what pdftotext and "qpdf --check" say, and references
// to objects the file does not hold. Empty when nothing.
QString faults(const QString& pdf);

} // namespace PdfTools
