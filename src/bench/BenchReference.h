#pragma once

#include <QString>

class BenchSample;

// rp_bench's reference writers: the sample's pages and records written again and again by the
// libraries alone, without the report engine, so that a run can say how close the engine comes
// to what the libraries themselves cost. Each returns the seconds the writing took, or -1 when
// the file could not be written.
namespace BenchReference {

// `pages` pages through QPdfWriter and QPainter at the engine's resolution: the sample's pages in
// turn, each text as one glyph run of its font cut at its box, lines and boxes with their pens.
// Deferred texts show `totalPages` (the page count) or nothing.
double writePdf(
    const BenchSample& sample, int pages, const QString& totalPages, const QString& path);

// `rows` records through libxlsxwriter in its constant-memory mode: a bold header row, then the
// sample's records in turn, numbers as numbers with their column's format, dates as dates.
double writeXlsx(const BenchSample& sample, qint64 rows, const QString& path);

// `rows` records as UTF-8 text lines, fields separated by ';', numbers with a decimal comma.
double writeCsv(const BenchSample& sample, qint64 rows, const QString& path);

} // namespace BenchReference
