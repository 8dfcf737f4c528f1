#include "reportengine/TextMeasurer.h"

#include <algorithm>
#include <cmath>

#include <QPaintDevice>

namespace {

// A paint device that only answers resolution questions: fonts measured at 7200 dpi give widths
// that do not depend on the screen or on hinting.
class MetricsDevice final : public QPaintDevice
{
public:
    static constexpr int Dpi = 7200;
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return Dpi;
        case PdmWidth:
        case PdmHeight:
            return 100000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 100000 * 254 / (Dpi * 10);
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }
};

const MetricsDevice& metricsDevice()
{
    static const MetricsDevice device;
    return device;
}

Coord toCoord(qreal devicePixels)
{
    // pixels at 7200 dpi -> hundredths of a millimetre, rounded up so text never overflows.
    return Coord(std::ceil(devicePixels * 2540.0 / MetricsDevice::Dpi));
}

} // namespace

TextMeasurer::TextMeasurer(const DocumentResources& resources, FontSubstitution substitution)
    : m_resources(resources)
    , m_substitution(std::move(substitution))
{
}

TextMeasurer::~TextMeasurer() = default;

TextMeasurer::FontData& TextMeasurer::data(int font)
{
    if (std::size_t(font) >= m_fonts.size())
        m_fonts.resize(std::size_t(font) + 1);
    auto& slot = m_fonts[std::size_t(font)];
    if (!slot) {
        slot = std::make_unique<FontData>();
        const QFont f = m_substitution.font(m_resources.font(font));
        slot->metrics = std::make_unique<QFontMetricsF>(f, &metricsDevice());
        slot->lineHeight = toCoord(slot->metrics->lineSpacing());
        std::fill(std::begin(slot->latin), std::end(slot->latin), qreal(-1));
        slot->space = toCoord(advance(*slot, QLatin1Char(' ')));
    }
    return *slot;
}

qreal TextMeasurer::advance(FontData& d, QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x180) {
        qreal& a = d.latin[u];
        if (a < 0)
            a = d.metrics->horizontalAdvance(c);
        return a;
    }
    const auto found = d.other.constFind(u);
    if (found != d.other.constEnd())
        return found.value();
    const qreal a = d.metrics->horizontalAdvance(c);
    d.other.insert(u, a);
    return a;
}

Coord TextMeasurer::measure(FontData& d, const QString& text)
{
    const auto found = d.widths.constFind(text);
    if (found != d.widths.constEnd())
        return found.value();
    // The outputs place each glyph at its own advance, with no pair kerning: measured the same
    // way, a text said to fit is never short of its last letters on paper.
    qreal sum = 0;
    for (const QChar c : text)
        sum += advance(d, c);
    const Coord w = toCoord(sum);
    // The cache holds words, not whole texts: bound it so a long report of unique texts does
    // not grow it without end.
    if (d.widths.size() > 50000)
        d.widths.clear();
    d.widths.insert(text, w);
    return w;
}

Coord TextMeasurer::width(int font, const QString& text)
{
    // Not cached: whole field values (prices, descriptions) seldom come back.
    FontData& d = data(font);
    qreal sum = 0;
    for (const QChar c : text)
        sum += advance(d, c);
    return toCoord(sum);
}

Coord TextMeasurer::lineHeight(int font)
{
    return data(font).lineHeight;
}

void TextMeasurer::breakWord(FontData& d, const QString& word, Coord width, QStringList& lines,
    QString& line, Coord& lineWidth)
{
    for (const QChar c : word) {
        const Coord cw = toCoord(advance(d, c));
        if (!line.isEmpty() && lineWidth + cw > width) {
            lines << line;
            line.clear();
            lineWidth = 0;
        }
        line += c;
        lineWidth += cw;
    }
}

QStringList TextMeasurer::wrap(int font, const QString& text, Coord width)
{
    FontData& d = data(font);
    QStringList lines;
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    for (const QString& paragraph : normalized.split(u'\n')) {
        QString line;
        Coord lineWidth = 0;
        for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            const Coord ww = measure(d, word);
            if (line.isEmpty()) {
                if (ww > width) {
                    breakWord(d, word, width, lines, line, lineWidth);
                } else {
                    line = word;
                    lineWidth = ww;
                }
            } else if (lineWidth + d.space + ww <= width) {
                line += u' ';
                line += word;
                lineWidth += d.space + ww;
            } else {
                lines << line;
                line.clear();
                lineWidth = 0;
                if (ww > width) {
                    breakWord(d, word, width, lines, line, lineWidth);
                } else {
                    line = word;
                    lineWidth = ww;
                }
            }
        }
        lines << line;
    }
    return lines;
}

QString TextMeasurer::cutAtWord(int font, const QString& text, Coord width)
{
    FontData& d = data(font);
    qreal sum = 0;
    qsizetype wordEnd = -1; // end of the last whole word that fits
    qsizetype fitting = 0; // characters that fit
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ' && i > 0 && text[i - 1] != u' ')
            wordEnd = i;
        sum += advance(d, c);
        if (toCoord(sum) > width)
            break;
        fitting = i + 1;
    }
    if (fitting == text.size())
        return text;
    if (fitting < text.size() && text[fitting] == u' ')
        wordEnd = fitting;
    if (wordEnd > 0)
        return text.left(wordEnd);
    // One word wider than the field: cut, but say so.
    const QChar ellipsis(0x2026);
    const qreal room = width * qreal(MetricsDevice::Dpi) / 2540.0 - advance(d, ellipsis);
    qreal used = 0;
    qsizetype keep = 0;
    while (keep < text.size() && used + advance(d, text[keep]) <= room)
        used += advance(d, text[keep++]);
    return text.left(keep) + ellipsis;
}

QString TextMeasurer::overflowMarks(int font, Coord width)
{
    FontData& d = data(font);
    const qreal mark = advance(d, QLatin1Char('#'));
    const qreal room = width * qreal(MetricsDevice::Dpi) / 2540.0;
    const int count = mark > 0 ? int(room / mark) : 1;
    return QString(std::max(1, count), QLatin1Char('#'));
}
