#include "reportengine/RtfSink.h"

#include <algorithm>

#include <QBuffer>

#include "reportengine/OutputFile.h"
#include "reportengine/PageText.h"

namespace {

qint64 twips(Coord c)
{
    return (qint64(c) * 1440 + 1270) / 2540;
}

QByteArray num(qint64 n)
{
    return QByteArray::number(n);
}

} // namespace

RtfSink::RtfSink(const QString& path)
    : m_path(path)
{
}

bool RtfSink::fail(const QString& what)
{
    m_error = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, what);
    return false;
}

QByteArray RtfSink::escaped(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u < 0x20) {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + num(qint16(u)) + '?';
        }
    }
    return out;
}

int RtfSink::colorIndex(QRgb color)
{
    color |= 0xff000000;
    auto it = m_colors.constFind(color);
    if (it != m_colors.constEnd())
        return *it;
    m_colorOrder.push_back(color);
    const int index = int(m_colorOrder.size()); // 0 is the automatic colour
    m_colors.insert(color, index);
    return index;
}

bool RtfSink::begin(const DocumentInfo& info)
{
    m_info = info;
    const QString refused = OutputFile::refusal(m_path);
    if (!refused.isEmpty())
        return fail(refused);
    QString why;
    if (!OutputFile::createScratch(QStringLiteral("rtf"), m_body, nullptr, &why))
        return fail(why);
    return true;
}

bool RtfSink::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    m_fontSpecs = resources.fonts();
    struct Cell
    {
        const DisplayItem* item;
        QString text;
    };
    std::vector<Cell> cells;
    for (const DisplayItem& d : page.items) {
        if (d.kind == DisplayKind::Text) {
            QString text = displayText(page, d, deferred);
            if (!text.isEmpty())
                cells.push_back({ &d, std::move(text) });
        } else if (d.kind == DisplayKind::Image && d.ref >= 0
            && std::size_t(d.ref) < resources.images().size()) {
            cells.push_back({ &d, QString() });
        }
    }
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
        return std::tie(a.item->y, a.item->x) < std::tie(b.item->y, b.item->x);
    });

    QByteArray out;
    if (!m_firstPage)
        out += "\\page\n";
    m_firstPage = false;
    Coord at = 0; // where the previous row ended on paper
    for (std::size_t first = 0; first < cells.size();) {
        // A band: the items that start before the tallest of them so far ends.
        Coord top = cells[first].item->y;
        Coord bottom = top + std::max<Coord>(cells[first].item->h, 1);
        std::size_t last = first + 1;
        while (last < cells.size() && cells[last].item->y < bottom) {
            bottom
                = std::max(bottom, cells[last].item->y + std::max<Coord>(cells[last].item->h, 1));
            ++last;
        }
        std::sort(cells.begin() + qsizetype(first), cells.begin() + qsizetype(last),
            [](const Cell& a, const Cell& b) { return a.item->x < b.item->x; });
        if (top > at)
            out += "\\pard\\plain\\sl-" + num(std::max<qint64>(twips(top - at), 1))
                + "\\slmult0\\fs2\\par\n";
        else
            top = at;
        at = bottom;

        QByteArray rowDef
            = "\\trowd\\trgaph0\\trleft0\\trrh-" + num(std::max<qint64>(twips(bottom - top), 1));
        QByteArray content;
        Coord right = 0;
        for (std::size_t k = first; k < last; ++k) {
            const DisplayItem& d = *cells[k].item;
            const Coord x = std::max(d.x, right);
            if (x > right) {
                rowDef += "\\cellx" + num(twips(x));
                content += "\\pard\\intbl\\cell\n";
            }
            right = std::max(x + 1, d.x + d.w);
            rowDef += "\\clvertalt\\cellx" + num(twips(right));
            content += "\\pard\\intbl";
            if (d.kind == DisplayKind::Image) {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                const QImage& image = resources.image(d.ref);
                image.save(&buffer, "PNG");
                content += "{\\pict\\pngblip\\picw" + num(image.width()) + "\\pich"
                    + num(image.height()) + "\\picwgoal" + num(twips(d.w)) + "\\pichgoal"
                    + num(twips(d.h)) + '\n' + png.toHex() + "}\\cell\n";
                continue;
            }
            switch (d.flags & DisplayFlag::AlignMask) {
            case DisplayFlag::AlignCenter:
                content += "\\qc";
                break;
            case DisplayFlag::AlignRight:
                content += "\\qr";
                break;
            default:
                content += "\\ql";
            }
            const FontSpec& f = d.font < m_fontSpecs.size() ? m_fontSpecs[d.font] : FontSpec();
            content += "{\\f" + num(d.font) + "\\fs" + num(qRound(f.sizePt * 2))
                + (f.bold ? "\\b" : "") + (f.italic ? "\\i" : "") + (f.underline ? "\\ul" : "");
            if ((d.color & 0xffffff) != 0)
                content += "\\cf" + num(colorIndex(d.color));
            content += ' ' + escaped(cells[k].text) + "}\\cell\n";
        }
        out += rowDef + '\n' + content + "\\row\n";
        first = last;
    }
    QString why;
    if (!OutputFile::writeAll(m_body, out, &why))
        return fail(why);
    return true;
}

bool RtfSink::finish(const DeferredValues&)
{
    QByteArray head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (std::size_t i = 0; i < m_fontSpecs.size(); ++i)
        head += "{\\f" + num(qint64(i)) + "\\fnil " + escaped(m_fonts.family(m_fontSpecs[i].family))
            + ";}";
    if (m_fontSpecs.empty())
        head += "{\\f0\\fnil Liberation Sans;}";
    head += "}\n{\\colortbl;";
    for (QRgb c : m_colorOrder)
        head
            += "\\red" + num(qRed(c)) + "\\green" + num(qGreen(c)) + "\\blue" + num(qBlue(c)) + ';';
    head += "}\n{\\info{\\title "
        + escaped(m_info.title.isEmpty() ? m_info.reportName : m_info.title) + "}";
    if (!m_info.creator.isEmpty())
        head += "{\\author " + escaped(m_info.creator) + '}';
    head += "}\n\\paperw" + num(twips(m_info.pageWidth)) + "\\paperh"
        + num(twips(m_info.pageHeight)) + "\\margl0\\margr0\\margt0\\margb0"
        + (m_info.pageWidth > m_info.pageHeight ? "\\landscape" : "") + "\n";

    OutputFile file(m_path);
    if (!file.create())
        return fail(file.reason());
    file.write(head);
    if (!m_body.seek(0))
        return fail(OutputFile::reasonFor(m_body));
    while (!m_body.atEnd()) {
        const QByteArray chunk = m_body.read(1 << 20);
        if (file.write(chunk) != chunk.size())
            return fail(file.reason());
    }
    file.write("}\n");
    if (!file.finish())
        return fail(file.reason());
    return true;
}
