#pragma once

#include <memory>
#include <vector>

#include <QFont>
#include <QHash>
#include <QRawFont>

#include "reportengine/DisplayList.h"

class QPainter;

// Paints page display lists on any QPainter (PDF writer, printer, preview widget). One painter
// serves a whole document: it keeps the fonts and, for each, the glyphs and advances of the
// characters met so far, so most texts are drawn as glyph runs without shaping them again.
// A text is cut at its rectangle (as a column of a list is); text in scripts that need shaping
// goes through QPainter::drawText. The texts of one font and colour met between two other items
// are drawn as a single glyph run: a run costs the PDF writer a graphics state and a font set-up
// of its own, which on a dense list outweighed the glyphs.
class PagePainter
{
public:
    // `scale` converts hundredths of a millimetre to the painter's units. With `wholeUnits` the
    // glyphs after a text's first are placed whole units from it (at 1200 dpi a hundredth of a
    // millimetre at most away): the PDF writer then prints their steps as short integers instead
    // of nine digits each. The first glyph keeps its exact place, which text extraction lays the
    // columns out by.
    explicit PagePainter(double scale, bool wholeUnits = false);
    ~PagePainter();

    // Deferred texts are resolved with `deferred` when given, else drawn without the mark.
    void paint(QPainter& painter, const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred);

private:
    struct Glyph
    {
        quint32 index = 0;
        qreal advance = 0;
    };
    struct FontData
    {
        QFont font;
        QRawFont raw;
        qreal ascent = 0;
        qreal descent = 0;
        Glyph latin[0x180];
        bool known[0x180] = {};
        QHash<char16_t, Glyph> other;
    };

    // Glyphs waiting to be drawn as one run, placed from `origin`.
    struct PendingRun
    {
        FontData* font = nullptr;
        QRgb color = 0;
        QPointF origin;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };

    FontData& font(const DocumentResources& resources, int index);
    PendingRun& pending(FontData& f, QRgb color, QPointF origin);
    void flush(QPainter& painter);
    bool glyphs(FontData& f, const QString& text, std::vector<quint32>& indexes,
        std::vector<qreal>& advances);
    void drawText(QPainter& painter, const DisplayItem& d, const QString& text, FontData& f);

    double m_scale;
    bool m_wholeUnits;
    std::vector<std::unique_ptr<FontData>> m_fonts;
    std::vector<quint32> m_indexes;
    std::vector<qreal> m_advances;
    // In the order the texts came; a run's lists keep their memory from page to page.
    std::vector<PendingRun> m_pending;
    std::size_t m_pendingCount = 0;
};
