#pragma once

#include <vector>

#include <QString>

class QFileDevice;
class QIODevice;

// Joins PDF documents written by QPdfWriter into one, their pages in order. Each part's objects
// are renumbered past the ones before and copied as they are (page contents, fonts and images
// stay compressed); the pages hang from the first part's page tree, and the first part's catalog
// and document info serve the whole. A part's fonts stay its own: a font used in every part is
// embedded once per part, each a subset of what that part drew.
//
// Only what QPdfWriter writes is understood: one cross-reference table, no object streams, no
// incremental updates, no encryption.
namespace PdfJoin {

// Writes the joined document to `out` from the start of each part. False with the reason in
// `error` when a part cannot be read as such a document or `out` takes less than it was given.
bool join(const std::vector<QFileDevice*>& parts, QIODevice& out, QString* error);

} // namespace PdfJoin
