#include "reportengine/TextMeasurer.h"

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
        slot->space = toCoord(slot->metrics->horizontalAdvance(QLatin1Char(' ')));
    }
    return *slot;
}

Coord TextMeasurer::measure(FontData& d, const QString& text)
{
    const auto found = d.widths.constFind(text);
    if (found != d.widths.constEnd())
        return found.value();
    const Coord w = toCoord(d.metrics->horizontalAdvance(text));
    // The cache holds words, not whole texts: bound it so a long report of unique texts does
    // not grow it without end.
    if (d.widths.size() > 50000)
        d.widths.clear();
    d.widths.insert(text, w);
    return w;
}

Coord TextMeasurer::width(int font, const QString& text)
{
    return measure(data(font), text);
}

Coord TextMeasurer::lineHeight(int font)
{
    return data(font).lineHeight;
}

void TextMeasurer::breakWord(FontData& d, const QString& word, Coord width, QStringList& lines,
    QString& line, Coord& lineWidth)
{
    for (const QChar c : word) {
        const Coord cw = toCoord(d.metrics->horizontalAdvance(c));
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
