#include "reportengine/HtmlSink.h"

#include <QBuffer>

#include "reportengine/PageText.h"

namespace {

QByteArray mm(Coord c)
{
    QByteArray text = QByteArray::number(c / 100.0, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text + "mm";
}

QByteArray color(QRgb rgb)
{
    if (qAlpha(rgb) == 255)
        return '#' + QByteArray::number(rgb & 0xffffff, 16).rightJustified(6, '0');
    return QByteArray("rgba(") + QByteArray::number(qRed(rgb)) + ','
        + QByteArray::number(qGreen(rgb)) + ',' + QByteArray::number(qBlue(rgb)) + ','
        + QByteArray::number(qAlpha(rgb) / 255.0, 'f', 3) + ')';
}

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray box(const DisplayItem& d)
{
    return "left:" + mm(d.x) + ";top:" + mm(d.y) + ";width:" + mm(d.w) + ";height:" + mm(d.h);
}

} // namespace

HtmlSink::HtmlSink(const QString& path)
    : m_path(path)
    , m_file(path)
{
}

bool HtmlSink::flush()
{
    if (m_file.write(m_out) != m_out.size()) {
        m_error
            = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, m_file.reason());
        m_file.cancelWriting();
        return false;
    }
    m_out.clear();
    return true;
}

bool HtmlSink::begin(const DocumentInfo& info)
{
    m_info = info;
    if (!m_file.create()) {
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2").arg(m_path, m_file.reason());
        return false;
    }
    const QByteArray w = mm(info.pageWidth);
    const QByteArray h = mm(info.pageHeight);
    m_out += "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        + escaped(info.title.isEmpty() ? info.reportName : info.title) + "</title>\n";
    if (!info.creator.isEmpty())
        m_out += "<meta name=\"generator\" content=\"" + escaped(info.creator) + "\">\n";
    m_out += "<style>\n"
             "body{margin:0;padding:8px 0;background:#808080}\n"
             ".pg{position:relative;overflow:hidden;background:#fff;margin:0 auto 8px auto;width:"
        + w + ";height:" + h
        + "}\n"
          ".pg>*{position:absolute;box-sizing:border-box;margin:0}\n"
          ".t{display:flex;white-space:pre;overflow:hidden;line-height:1.15}\n"
          ".c{justify-content:center}.r{justify-content:flex-end}\n"
          ".m{align-items:center}.b{align-items:flex-end}\n"
          "@page{size:"
        + w + ' ' + h
        + ";margin:0}\n"
          "@media print{body{padding:0;background:none}.pg{margin:0;break-after:page}}\n"
          "</style>\n</head>\n<body>\n";
    return flush();
}

void HtmlSink::addStyles(const DocumentResources& resources)
{
    if (m_fontsStyled >= resources.fonts().size())
        return;
    m_out += "<style>";
    for (; m_fontsStyled < resources.fonts().size(); ++m_fontsStyled) {
        const FontSpec& f = resources.fonts()[m_fontsStyled];
        const QString substitute = m_fonts.family(f.family);
        QByteArray families = '"' + f.family.toUtf8() + '"';
        if (substitute.compare(f.family, Qt::CaseInsensitive) != 0)
            families += ",\"" + substitute.toUtf8() + '"';
        m_out += ".f" + QByteArray::number(qulonglong(m_fontsStyled)) + "{font-family:" + families
            + ";font-size:" + QByteArray::number(f.sizePt, 'g', 4) + "pt"
            + (f.bold ? ";font-weight:bold" : "") + (f.italic ? ";font-style:italic" : "")
            + (f.underline ? ";text-decoration:underline" : "") + "}";
    }
    m_out += "</style>\n";
}

bool HtmlSink::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    addStyles(resources);
    m_out += "<div class=\"pg\" id=\"p" + QByteArray::number(page.number) + "\">\n";
    for (const DisplayItem& d : page.items) {
        switch (d.kind) {
        case DisplayKind::Text: {
            const QString text = displayText(page, d, deferred);
            if (text.isEmpty())
                break;
            QByteArray classes = "t f" + QByteArray::number(d.font);
            switch (d.flags & DisplayFlag::AlignMask) {
            case DisplayFlag::AlignCenter:
                classes += " c";
                break;
            case DisplayFlag::AlignRight:
                classes += " r";
                break;
            }
            if (d.flags & DisplayFlag::VAlignMiddle)
                classes += " m";
            else if (d.flags & DisplayFlag::VAlignBottom)
                classes += " b";
            m_out += "<div class=\"" + classes + "\" style=\"" + box(d);
            if (d.color != 0xff000000)
                m_out += ";color:" + color(d.color);
            m_out += "\">" + escaped(text) + "</div>\n";
            break;
        }
        case DisplayKind::Line: {
            if (d.w == 0 || d.h == 0) {
                // Straight lines are thin boxes centred on the line.
                DisplayItem r = d;
                if (d.h == 0) {
                    r.y = d.y - d.pen / 2;
                    r.h = d.pen;
                    r.x = std::min(d.x, d.x + d.w);
                    r.w = std::abs(d.w);
                } else {
                    r.x = d.x - d.pen / 2;
                    r.w = d.pen;
                    r.y = std::min(d.y, d.y + d.h);
                    r.h = std::abs(d.h);
                }
                m_out += "<div style=\"" + box(r) + ";background:" + color(d.color) + "\"></div>\n";
            } else {
                const Coord x = std::min(d.x, d.x + d.w);
                const Coord y = std::min(d.y, d.y + d.h);
                DisplayItem r = d;
                r.x = x;
                r.y = y;
                r.w = std::abs(d.w);
                r.h = std::abs(d.h);
                m_out += "<svg style=\"" + box(r) + ";overflow:visible\" viewBox=\"0 0 "
                    + QByteArray::number(r.w) + ' ' + QByteArray::number(r.h) + "\"><line x1=\""
                    + QByteArray::number(d.x - x) + "\" y1=\"" + QByteArray::number(d.y - y)
                    + "\" x2=\"" + QByteArray::number(d.x + d.w - x) + "\" y2=\""
                    + QByteArray::number(d.y + d.h - y) + "\" stroke=\"" + color(d.color)
                    + "\" stroke-width=\"" + QByteArray::number(d.pen) + "\"/></svg>\n";
            }
            break;
        }
        case DisplayKind::Rect: {
            m_out += "<div style=\"" + box(d);
            if (d.flags & DisplayFlag::Stroked)
                m_out += ";border:" + mm(d.pen) + " solid " + color(d.color);
            if (d.flags & DisplayFlag::Filled)
                m_out += ";background:" + color(d.fillColor);
            m_out += "\"></div>\n";
            break;
        }
        case DisplayKind::Image: {
            if (d.ref < 0 || std::size_t(d.ref) >= resources.images().size())
                break;
            auto url = m_imageUrls.find(d.ref);
            if (url == m_imageUrls.end()) {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                resources.image(d.ref).save(&buffer, "PNG");
                url = m_imageUrls.insert(d.ref, "data:image/png;base64," + png.toBase64());
            }
            m_out += "<img alt=\"\" style=\"" + box(d) + "\" src=\"" + *url + "\">\n";
            break;
        }
        }
    }
    m_out += "</div>\n";
    return flush();
}

bool HtmlSink::finish(const DeferredValues&)
{
    m_out += "</body>\n</html>\n";
    if (!flush())
        return false;
    if (!m_file.finish()) {
        m_error
            = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, m_file.reason());
        return false;
    }
    return true;
}
