#include "reportengine/PagePainter.h"

#include <cmath>

#include <QGlyphRun>
#include <QPainter>

#include "reportengine/FontSubstitution.h"

PagePainter::PagePainter(double scale, bool wholeUnits)
    : m_scale(scale)
    , m_wholeUnits(wholeUnits)
{
}

PagePainter::~PagePainter() = default;

PagePainter::FontData& PagePainter::font(const DocumentResources& resources, int index)
{
    if (std::size_t(index) >= m_fonts.size())
        m_fonts.resize(std::size_t(index) + 1);
    auto& slot = m_fonts[std::size_t(index)];
    if (!slot) {
        slot = std::make_unique<FontData>();
        const FontSpec& spec = resources.font(index);
        slot->font = FontSubstitution().font(spec);
        // The painter's units per point: hundredths of a millimetre per point times the scale.
        const qreal pixelSize = spec.sizePt * 2540.0 / 72.0 * m_scale;
        QFont sized = slot->font;
        sized.setPixelSize(std::max(1, qRound(pixelSize)));
        slot->raw = QRawFont::fromFont(sized);
        if (slot->raw.isValid()) {
            slot->raw.setPixelSize(pixelSize);
            slot->ascent = slot->raw.ascent();
            slot->descent = slot->raw.descent();
        }
    }
    return *slot;
}

bool PagePainter::glyphs(
    FontData& f, const QString& text, std::vector<quint32>& indexes, std::vector<qreal>& advances)
{
    indexes.clear();
    advances.clear();
    if (!f.raw.isValid())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Combining marks, other scripts and surrogates need shaping or font fallback.
        if (u >= 0x0300 && (u < 0x2000 || u > 0x20CF))
            return false;
        Glyph g;
        if (u < 0x180 && f.known[u]) {
            g = f.latin[u];
        } else if (u >= 0x180 && f.other.contains(u)) {
            g = f.other.value(u);
        } else {
            quint32 index = 0;
            int count = 1;
            if (!f.raw.glyphIndexesForChars(&c, 1, &index, &count) || count != 1)
                return false;
            QPointF advance;
            f.raw.advancesForGlyphIndexes(&index, &advance, 1, QRawFont::KernedAdvances);
            g = { index, advance.x() };
            if (u < 0x180) {
                f.latin[u] = g;
                f.known[u] = true;
            } else {
                f.other.insert(u, g);
            }
        }
        if (g.index == 0 && u != u' ')
            return false; // not in the font: let Qt find a fallback
        indexes.push_back(g.index);
        advances.push_back(g.advance);
    }
    return true;
}

void PagePainter::drawText(
    QPainter& painter, const DisplayItem& d, const QString& text, FontData& f)
{
    const QRectF box(d.x * m_scale, d.y * m_scale, d.w * m_scale, d.h * m_scale);
    const quint8 h = d.flags & DisplayFlag::AlignMask;
    const quint8 v = d.flags & DisplayFlag::VAlignMask;
    if (!glyphs(f, text, m_indexes, m_advances)) {
        flush(painter);
        painter.setFont(f.font);
        int flags = Qt::TextSingleLine;
        flags |= h == DisplayFlag::AlignCenter ? Qt::AlignHCenter
            : h == DisplayFlag::AlignRight     ? Qt::AlignRight
                                               : Qt::AlignLeft;
        flags |= v == DisplayFlag::VAlignMiddle ? Qt::AlignVCenter
            : v == DisplayFlag::VAlignBottom    ? Qt::AlignBottom
                                                : Qt::AlignTop;
        // Cut at the rectangle as the glyph runs are; rare enough for the clip's cost.
        painter.save();
        painter.setPen(QColor::fromRgba(d.color));
        painter.setClipRect(box, Qt::IntersectClip);
        painter.drawText(box, flags, text);
        painter.restore();
        return;
    }
    qreal width = 0;
    for (qreal a : m_advances)
        width += a;
    qreal x = box.left();
    if (h == DisplayFlag::AlignRight)
        x = box.right() - width;
    else if (h == DisplayFlag::AlignCenter)
        x = box.left() + (box.width() - width) / 2;
    qreal baseline = box.top() + f.ascent;
    if (v == DisplayFlag::VAlignMiddle)
        baseline = box.top() + (box.height() - f.ascent - f.descent) / 2 + f.ascent;
    else if (v == DisplayFlag::VAlignBottom)
        baseline = box.bottom() - f.descent;

    // An underline runs under a whole run: an underlined text keeps a run of its own.
    const bool alone = f.font.underline();
    if (alone)
        flush(painter);
    PendingRun& run = pending(f, d.color, QPointF(x, baseline));
    const QPointF start(x - run.origin.x(), baseline - run.origin.y());
    // Glyphs outside the item's rectangle are left out: a long text is cut at its column.
    const qreal limit = box.right() + 0.01 * m_scale;
    qreal pen = x;
    for (std::size_t i = 0; i < m_indexes.size(); ++i) {
        const qreal next = pen + m_advances[i];
        if (pen >= box.left() - 0.01 * m_scale && next <= limit) {
            const qreal offset = m_wholeUnits ? std::round(pen - x) : pen - x;
            run.indexes.push_back(m_indexes[i]);
            run.positions.push_back(QPointF(start.x() + offset, start.y()));
        }
        pen = next;
    }
    if (alone)
        flush(painter);
}

PagePainter::PendingRun& PagePainter::pending(FontData& f, QRgb color, QPointF origin)
{
    for (std::size_t i = 0; i < m_pendingCount; ++i) {
        if (m_pending[i].font == &f && m_pending[i].color == color)
            return m_pending[i];
    }
    if (m_pendingCount == m_pending.size())
        m_pending.emplace_back();
    PendingRun& run = m_pending[m_pendingCount++];
    run.font = &f;
    run.color = color;
    run.origin = origin;
    run.indexes.clear();
    run.positions.clear();
    return run;
}

void PagePainter::flush(QPainter& painter)
{
    if (m_pendingCount == 0)
        return;
    for (std::size_t i = 0; i < m_pendingCount; ++i) {
        const PendingRun& waiting = m_pending[i];
        if (waiting.indexes.isEmpty())
            continue;
        painter.setPen(QColor::fromRgba(waiting.color));
        QGlyphRun run;
        run.setRawFont(waiting.font->raw);
        run.setGlyphIndexes(waiting.indexes);
        run.setPositions(waiting.positions);
        run.setUnderline(waiting.font->font.underline());
        painter.drawGlyphRun(waiting.origin, run);
    }
    m_pendingCount = 0;
}

void PagePainter::paint(QPainter& painter, const PageDisplayList& page,
    const DocumentResources& resources, const DeferredValues* deferred)
{
    auto rect = [this](const DisplayItem& d) {
        return QRectF(d.x * m_scale, d.y * m_scale, d.w * m_scale, d.h * m_scale);
    };
    for (const DisplayItem& d : page.items) {
        // What lies under or over the texts keeps its place among them.
        if (d.kind != DisplayKind::Text)
            flush(painter);
        switch (d.kind) {
        case DisplayKind::Text: {
            if (d.ref < 0 || std::size_t(d.ref) >= page.strings.size())
                break;
            QString text = page.strings[std::size_t(d.ref)];
            if (d.slot >= 0) {
                if (deferred)
                    text = deferred->resolve(text, d.slot);
                else
                    text = DeferredValues::pending(text);
            }
            if (text.isEmpty())
                break;
            drawText(painter, d, text, font(resources, d.font));
            break;
        }
        case DisplayKind::Line: {
            QPen pen(QColor::fromRgba(d.color));
            pen.setWidthF(d.pen * m_scale);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(d.x * m_scale, d.y * m_scale),
                QPointF((d.x + d.w) * m_scale, (d.y + d.h) * m_scale));
            break;
        }
        case DisplayKind::Rect: {
            if (d.flags & DisplayFlag::Stroked) {
                QPen pen(QColor::fromRgba(d.color));
                pen.setWidthF(d.pen * m_scale);
                pen.setJoinStyle(Qt::MiterJoin);
                painter.setPen(pen);
            } else {
                painter.setPen(Qt::NoPen);
            }
            painter.setBrush(d.flags & DisplayFlag::Filled ? QBrush(QColor::fromRgba(d.fillColor))
                                                           : QBrush(Qt::NoBrush));
            painter.drawRect(rect(d));
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case DisplayKind::Image:
            if (d.ref >= 0 && std::size_t(d.ref) < resources.images().size())
                painter.drawImage(rect(d), resources.image(d.ref));
            break;
        }
    }
    flush(painter);
}
