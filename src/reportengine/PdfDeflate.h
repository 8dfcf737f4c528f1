#pragma once

// The deflate level of the PDF files this program writes.
//
// QPdfWriter compresses every page's content, and its fonts, at zlib's default level, and its
// pages write one text operator per glyph: on a dense price list deflate at that level took a
// third of the run. On the pages as PagePainter draws them for PDF (one run per font, short
// whole-unit steps) level 5 costs half of it and the files come out no larger than Qt's own for
// the same page drawn text by text; the fastest level left them a quarter larger.
//
// Qt offers no setting for it. While a PdfDeflateLevel lives on a thread, the deflate streams
// Qt's own libraries start on that thread take level 5; every other stream, of Qt on other
// threads or at other times, and of every other library of the process, keeps the level its
// caller asked for.
class PdfDeflateLevel
{
public:
    PdfDeflateLevel();
    ~PdfDeflateLevel();
    PdfDeflateLevel(const PdfDeflateLevel&) = delete;
    PdfDeflateLevel& operator=(const PdfDeflateLevel&) = delete;

private:
    int m_kept;
};
