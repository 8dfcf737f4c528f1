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
// goes through QPainter::drawText.
class PagePainter
{
public:
    // `scale` converts hundredths of a millimetre to the painter's units.
    explicit PagePainter(double scale);
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

    FontData& font(const DocumentResources& resources, int index);
    bool glyphs(FontData& f, const QString& text, std::vector<quint32>& indexes,
        std::vector<qreal>& advances);
    void drawText(QPainter& painter, const DisplayItem& d, const QString& text, FontData& f);

    double m_scale;
    std::vector<std::unique_ptr<FontData>> m_fonts;
    std::vector<quint32> m_indexes;
    std::vector<qreal> m_advances;
    std::vector<QPointF> m_positions;
    QList<quint32> m_runIndexes;
    QList<QPointF> m_runPositions;
};
