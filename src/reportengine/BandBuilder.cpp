#include "reportengine/BandBuilder.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QRegularExpression>

#include "platform/QrCode.h"
#include "platform/RuntimeError.h"
#include "reportengine/ValueFormat.h"

namespace {

// A QR item's symbol, one pixel a module with its quiet zone; the outputs scale it without
// smoothing. A null image when the text cannot be encoded (empty, or too long for any symbol).
QImage qrImage(const QString& text)
{
    const std::optional<QrCode::Simbolo> s = QrCode::simbolo(text);
    if (!s)
        return QImage();
    const int size = s->ancho + 2 * QrCode::ZonaSilencio;
    QImage img(size, size, QImage::Format_Mono);
    img.setColor(0, qRgb(255, 255, 255));
    img.setColor(1, qRgb(0, 0, 0));
    img.fill(0);
    for (int y = 0; y < s->ancho; ++y)
        for (int x = 0; x < s->ancho; ++x)
            if (s->oscuro(x, y))
                img.setPixel(x + QrCode::ZonaSilencio, y + QrCode::ZonaSilencio, 1);
    return img;
}

} // namespace

std::optional<Band> BandBuilder::buildBand(const CompiledSection& s, Role role, int headerLevel)
{
    m_spans.clear(); // of a band whose build failed
    if (m_context.isTrue(s.suppress, s.fixedSuppress, s.name))
        return std::nullopt;
    if (s.snaps)
        return buildSnappedBand(s, role, headerLevel);
    std::vector<Value>* const record = m_context.recordValues();
    Band band;
    band.height = mmToCoord(s.def->heightMm);
    for (const CompiledItem& ci : s.items) {
        Value recordValue;
        const bool field = ci.def->kind == ItemKind::Field;
        const bool suppressed = m_context.isTrue(ci.suppress, ci.fixedSuppress, ci.formulaName);
        if (field && ci.expr && wanted(ci, record, suppressed))
            recordValue = m_context.eval(*ci.expr, ci.fixedExpr, ci.formulaName);
        if (record && ci.recordColumn >= 0)
            (*record)[std::size_t(ci.recordColumn)] = recordValue;
        if (suppressed)
            continue;
        const std::size_t first = band.items.size();
        addItem(band, ci, role, headerLevel, recordValue);
        noteGrowth(band, ci, first);
    }
    pushBelowGrown(band, s);
    return band;
}

bool BandBuilder::wanted(const CompiledItem& ci, const std::vector<Value>* record, bool suppressed)
{
    // The record stream gets every detail field, shown or not. A field that reads the page
    // count is printed from its own tree once the count is known: until then the count is a
    // stand-in that no page may show, nor a formula choke on.
    return record || (!suppressed && !ci.pageCountExpr);
}

bool BandBuilder::isText(const ReportItem& item)
{
    return item.kind == ItemKind::Text || item.kind == ItemKind::Field
        || item.kind == ItemKind::Summary || item.kind == ItemKind::Special;
}

std::optional<Band> BandBuilder::buildSnappedBand(
    const CompiledSection& s, Role role, int headerLevel)
{
    std::vector<Value>* const record = m_context.recordValues();
    const std::size_t count = s.items.size();
    std::vector<char> shown(count);
    std::vector<Value> values(count);
    std::vector<std::pair<Coord, Coord>> placement(count); // x from the left margin, width
    std::vector<std::size_t> snapped;
    for (std::size_t i = 0; i < count; ++i) {
        const CompiledItem& ci = s.items[i];
        const bool suppressed = m_context.isTrue(ci.suppress, ci.fixedSuppress, ci.formulaName);
        if (ci.def->kind == ItemKind::Field && ci.expr && wanted(ci, record, suppressed))
            values[i] = m_context.eval(*ci.expr, ci.fixedExpr, ci.formulaName);
        if (record && ci.recordColumn >= 0)
            (*record)[std::size_t(ci.recordColumn)] = values[i];
        shown[i] = !suppressed;
        placement[i] = { mmToCoord(ci.def->xMm), mmToCoord(ci.def->widthMm) };
        if (!suppressed && ci.def->snap != SnapRight::None)
            snapped.push_back(i);
    }
    std::sort(snapped.begin(), snapped.end(),
        [&s](std::size_t a, std::size_t b) { return s.items[a].def->xMm > s.items[b].def->xMm; });
    for (const std::size_t i : snapped) {
        const ReportItem& item = *s.items[i].def;
        Coord edge = m_shared.bodyWidth;
        for (std::size_t j = 0; j < count; ++j) {
            const ReportItem& other = *s.items[j].def;
            const bool besides
                = other.yMm < item.yMm + item.heightMm && item.yMm < other.yMm + other.heightMm;
            if (j != i && shown[j] && isText(other) && besides && other.xMm > item.xMm)
                edge = std::min(edge, placement[j].first);
        }
        edge -= mmToCoord(item.snapGapMm);
        auto& [x, w] = placement[i];
        if (item.snap == SnapRight::Stretch)
            w = std::max<Coord>(0, edge - x);
        else
            x = edge - w;
    }
    Band band;
    band.height = mmToCoord(s.def->heightMm);
    for (std::size_t i = 0; i < count; ++i) {
        if (!shown[i])
            continue;
        m_placement = &placement[i];
        const std::size_t first = band.items.size();
        addItem(band, s.items[i], role, headerLevel, values[i]);
        noteGrowth(band, s.items[i], first);
        m_placement = nullptr;
    }
    pushBelowGrown(band, s);
    return band;
}

void BandBuilder::noteGrowth(const Band& band, const CompiledItem& ci, std::size_t first)
{
    const Coord top = mmToCoord(ci.def->yMm);
    const Coord bottom = top + mmToCoord(ci.def->heightMm);
    Coord grown = 0;
    if (ci.def->canGrow) {
        for (std::size_t i = first; i < band.items.size(); ++i)
            grown = std::max(grown, band.items[i].y + band.items[i].h - bottom);
    }
    m_spans.push_back({ top, bottom, grown, first, band.items.size() });
}

void BandBuilder::pushBelowGrown(Band& band, const CompiledSection& s)
{
    std::vector<Span> spans = std::move(m_spans);
    m_spans.clear();
    // What stands wholly below a text that grew moves down by as much, so that a long name
    // takes a second line without covering the line under it; what stands beside it stays. An
    // item below several grown ones moves by the deepest of them.
    std::stable_sort(
        spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    Coord deepest = 0;
    Coord lowest = 0; // the last line of a grown text, also one that stands past the section
    for (std::size_t i = 0; i < spans.size(); ++i) {
        Span& span = spans[i];
        for (std::size_t j = 0; j < i; ++j) {
            const Span& above = spans[j];
            if (above.bottom <= span.top && above.shift + above.grown > span.shift)
                span.shift = above.shift + above.grown;
        }
        for (std::size_t k = span.first; k < span.last; ++k)
            band.items[k].y += span.shift;
        deepest = std::max(deepest, span.shift + span.grown);
        if (span.grown > 0)
            lowest = std::max(lowest, span.shift + span.bottom + span.grown);
    }
    band.height = std::max({ band.height, mmToCoord(s.def->heightMm) + deepest, lowest });
}

DisplayItem BandBuilder::baseItem(const CompiledItem& ci) const
{
    DisplayItem d;
    d.x = m_dx + (m_placement ? m_placement->first : mmToCoord(ci.def->xMm));
    d.y = mmToCoord(ci.def->yMm);
    d.w = m_placement ? m_placement->second : mmToCoord(ci.def->widthMm);
    d.h = mmToCoord(ci.def->heightMm);
    d.color = ci.color;
    d.font = quint16(ci.font);
    d.flags = ci.flags;
    return d;
}

QString BandBuilder::fitted(const CompiledItem& ci, const QString& text, Coord width, bool number)
{
    TextMeasurer& m = m_shared.measurer;
    if (text.isEmpty() || width <= 0 || m.width(ci.font, text) <= width)
        return text;
    if (ci.def->wholeOrFail)
        throw RuntimeError(RuntimeError::Overflow,
            QStringLiteral("El importe %1 no cabe en el campo «%2»")
                .arg(text.trimmed(), ci.def->name.isEmpty() ? ci.formulaName : ci.def->name));
    return number ? m.overflowMarks(ci.font, width) : m.cutAtWord(ci.font, text, width);
}

void BandBuilder::addText(
    Band& band, const CompiledItem& ci, const QString& text, qint32 slot, bool number)
{
    const DisplayItem base = baseItem(ci);
    const bool multiLine = text.contains(u'\n') || text.contains(u'\r');
    if (slot >= 0 || (!ci.def->canGrow && !multiLine)) {
        band.strings.push_back(slot >= 0 ? text : fitted(ci, text, base.w, number));
        DisplayItem d = base;
        d.kind = DisplayKind::Text;
        d.ref = qint32(band.strings.size() - 1);
        d.slot = slot;
        band.items.push_back(d);
        return;
    }
    TextMeasurer& m = m_shared.measurer;
    const QStringList lines = ci.def->canGrow
        ? m.wrap(ci.font, text, base.w)
        : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    const Coord lh = m.lineHeight(ci.font);
    Coord y = base.y;
    // Lines that fit the item's height stand where its vertical alignment puts them, so a
    // short caption sits on the line of its neighbours' and a long one wraps upwards.
    const Coord block = Coord(lines.size()) * lh;
    const quint8 valign = base.flags & DisplayFlag::VAlignMask;
    const bool aligned = block <= base.h && valign != 0;
    if (aligned)
        y += valign == DisplayFlag::VAlignBottom ? base.h - block : (base.h - block) / 2;
    for (const QString& line : lines) {
        // A fixed item shows what fits; a growing one shows every line.
        if (!ci.def->canGrow && y + lh > base.y + std::max(base.h, lh))
            break;
        band.strings.push_back(ci.def->canGrow ? line : fitted(ci, line, base.w, false));
        DisplayItem d = base;
        d.kind = DisplayKind::Text;
        d.flags &= ~DisplayFlag::VAlignMask;
        if (aligned && valign == DisplayFlag::VAlignBottom)
            d.flags |= DisplayFlag::VAlignBottom;
        d.y = y;
        d.h = lh;
        d.ref = qint32(band.strings.size() - 1);
        band.items.push_back(d);
        y += lh;
    }
}

int BandBuilder::imageFromBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return -1;
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    const auto found = m_shared.imageByHash.constFind(hash);
    if (found != m_shared.imageByHash.constEnd())
        return found.value();
    const QImage img = QImage::fromData(bytes);
    const int index = img.isNull() ? -1 : m_shared.resources.addImage(img);
    m_shared.imageByHash.insert(hash, index);
    return index;
}

void BandBuilder::addItem(
    Band& band, const CompiledItem& ci, Role role, int headerLevel, const Value& fieldValue)
{
    const ReportItem& item = *ci.def;
    const QLocale& locale = m_shared.options.locale;
    switch (item.kind) {
    case ItemKind::Text:
        addText(band, ci, item.text);
        break;
    case ItemKind::Field: {
        if (ci.pageCountExpr) {
            addText(band, ci, QString(DeferredMark),
                m_context.deferPageCountText(ci.pageCountExpr, item.format, ci.formulaName));
            break;
        }
        const QString text = ValueFormat::format(fieldValue, item.format, locale);
        addText(band, ci, text, -1, fieldValue.isNumeric());
        break;
    }
    case ItemKind::Summary: {
        const SummarySpec& spec = m_report.summaries[std::size_t(ci.summary)];
        const bool header = role == Role::ReportHeader || role == Role::GroupHeader;
        // A total printed above its rows is known only when its group (or the report)
        // ends: it is left as a deferred text and filled in then.
        if (header && (spec.level < 0 || spec.level >= headerLevel)) {
            addText(band, ci, QString(DeferredMark), m_context.deferTotal(ci.summary, item.format));
        } else {
            const Value total = m_context.summaryTotal(ci.summary);
            addText(
                band, ci, ValueFormat::format(total, item.format, locale), -1, total.isNumeric());
        }
        break;
    }
    case ItemKind::Special:
        addSpecial(band, ci);
        break;
    case ItemKind::Line: {
        DisplayItem d = baseItem(ci);
        d.kind = DisplayKind::Line;
        d.pen = mmToCoord(item.penWidthMm);
        band.items.push_back(d);
        break;
    }
    case ItemKind::Box: {
        DisplayItem d = baseItem(ci);
        d.kind = DisplayKind::Rect;
        d.pen = mmToCoord(item.penWidthMm);
        d.flags = item.penWidthMm > 0 ? DisplayFlag::Stroked : 0;
        if (item.fillColor.isValid()) {
            d.flags |= DisplayFlag::Filled;
            d.fillColor = item.fillColor.rgba();
        }
        band.items.push_back(d);
        break;
    }
    case ItemKind::Image: {
        int index = ci.image;
        if (ci.expr)
            index = imageFromBytes(m_context.eval(*ci.expr, -1, ci.formulaName).toBytes());
        if (index >= 0) {
            DisplayItem d = baseItem(ci);
            d.kind = DisplayKind::Image;
            d.ref = index;
            band.items.push_back(d);
        }
        break;
    }
    case ItemKind::Qr: {
        const QString text
            = ci.expr ? m_context.eval(*ci.expr, -1, ci.formulaName).toString() : QString();
        if (text != m_shared.lastQrText || m_shared.lastQrImage < 0) {
            const QImage img = qrImage(text);
            m_shared.lastQrText = text;
            m_shared.lastQrImage = img.isNull() ? -1 : m_shared.resources.addImage(img);
        }
        if (m_shared.lastQrImage >= 0) {
            DisplayItem d = baseItem(ci);
            d.kind = DisplayKind::Image;
            d.ref = m_shared.lastQrImage;
            band.items.push_back(d);
        }
        break;
    }
    case ItemKind::Subreport:
        break; // run after the band is placed
    }
}

void BandBuilder::addSpecial(Band& band, const CompiledItem& ci)
{
    const ReportItem& item = *ci.def;
    const QLocale& locale = m_shared.options.locale;
    switch (item.special) {
    case SpecialField::PageNumber:
        addText(band, ci, QString::number(m_context.currentPage()));
        break;
    case SpecialField::TotalPages:
        addText(band, ci, QString(DeferredMark), m_context.pageCountSlot());
        break;
    case SpecialField::PageNofM: {
        const QString templ
            = item.format.isEmpty() ? QStringLiteral("Página %1 de %2") : item.format;
        addText(band, ci,
            QString(templ)
                .replace(QLatin1String("%1"), QString::number(m_context.currentPage()))
                .replace(QLatin1String("%2"), QString(DeferredMark)),
            m_context.pageCountSlot());
        break;
    }
    case SpecialField::PrintDate:
        addText(band, ci,
            locale.toString(m_shared.options.printTime.date(),
                item.format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : item.format));
        break;
    case SpecialField::PrintTime:
        addText(band, ci,
            locale.toString(m_shared.options.printTime.time(),
                item.format.isEmpty() ? QStringLiteral("HH:mm") : item.format));
        break;
    case SpecialField::RecordNumber:
        addText(band, ci, QString::number(m_context.recordNumber()));
        break;
    case SpecialField::GroupNumber:
        addText(band, ci, QString::number(m_context.groupNumber()));
        break;
    case SpecialField::Continued:
        if (m_context.continuing())
            addText(
                band, ci, item.format.isEmpty() ? QStringLiteral("(continuación)") : item.format);
        break;
    }
}
