#include "bench/BenchReference.h"

#include <map>
#include <vector>

#include <QElapsedTimer>
#include <QFile>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <xlsxwriter.h>

#include "reportengine/FontSubstitution.h"
#include "reportengine/XlsxSink.h"
#include "bench/BenchSample.h"

namespace BenchReference {
namespace {

// The engine's PDF resolution: hundredths of a millimetre times Scale are device units.
constexpr int Resolution = 1200;
constexpr double Scale = Resolution / 2540.0;

// One drawing call, made ready before the clock starts.
struct Op
{
    DisplayKind kind = DisplayKind::Text;
    QGlyphRun run;
    QPointF at;
    QRgb color = 0;
    QPen pen;
    QBrush brush;
    QRectF rect;
    QLineF line;
    int image = -1;
};

struct Font
{
    QRawFont raw;
    bool underline = false;
};

Font rawFont(const FontSpec& spec)
{
    const QFont font = FontSubstitution().font(spec);
    const qreal pixelSize = spec.sizePt * 2540.0 / 72.0 * Scale;
    QFont sized = font;
    sized.setPixelSize(std::max(1, qRound(pixelSize)));
    Font f { QRawFont::fromFont(sized), font.underline() };
    if (f.raw.isValid())
        f.raw.setPixelSize(pixelSize);
    return f;
}

// A text's glyph run, aligned in its box and cut at its right edge as the engine cuts a column.
bool textOp(const DisplayItem& d, const QString& text, const Font& f, Op& op)
{
    const QRectF box(d.x * Scale, d.y * Scale, d.w * Scale, d.h * Scale);
    const QList<quint32> glyphs = f.raw.glyphIndexesForString(text);
    const QList<QPointF> advances = f.raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    qreal width = 0;
    for (const QPointF& a : advances)
        width += a.x();
    const quint8 h = d.flags & DisplayFlag::AlignMask;
    const quint8 v = d.flags & DisplayFlag::VAlignMask;
    const qreal x = h == DisplayFlag::AlignRight ? box.right() - width
        : h == DisplayFlag::AlignCenter          ? box.left() + (box.width() - width) / 2
                                                 : box.left();
    const qreal ascent = f.raw.ascent();
    const qreal descent = f.raw.descent();
    const qreal baseline = v == DisplayFlag::VAlignMiddle
        ? box.top() + (box.height() - ascent - descent) / 2 + ascent
        : v == DisplayFlag::VAlignBottom ? box.bottom() - descent
                                         : box.top() + ascent;
    QList<quint32> kept;
    QList<QPointF> positions;
    qreal pen = x;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const qreal next = pen + advances[i].x();
        if (pen >= box.left() - 0.01 * Scale && next <= box.right() + 0.01 * Scale) {
            kept.push_back(glyphs[i]);
            positions.push_back(QPointF(pen - x, 0));
        }
        pen = next;
    }
    if (kept.isEmpty())
        return false;
    op.run.setRawFont(f.raw);
    op.run.setGlyphIndexes(kept);
    op.run.setPositions(positions);
    op.run.setUnderline(f.underline);
    op.at = QPointF(x, baseline);
    op.color = d.color;
    return true;
}

std::vector<Op> pageOps(
    const PageDisplayList& page, const std::vector<Font>& fonts, const QString& totalPages)
{
    std::vector<Op> ops;
    for (const DisplayItem& d : page.items) {
        Op op;
        op.kind = d.kind;
        const QRectF rect(d.x * Scale, d.y * Scale, d.w * Scale, d.h * Scale);
        switch (d.kind) {
        case DisplayKind::Text: {
            if (d.ref < 0 || std::size_t(d.ref) >= page.strings.size()
                || std::size_t(d.font) >= fonts.size())
                continue;
            QString text = page.strings[std::size_t(d.ref)];
            if (d.slot >= 0)
                text.replace(DeferredMark, d.slot == 0 ? totalPages : QString());
            if (text.isEmpty() || !textOp(d, text, fonts[d.font], op))
                continue;
            break;
        }
        case DisplayKind::Line:
            op.pen = QPen(QColor::fromRgba(d.color), d.pen * Scale);
            op.pen.setCapStyle(Qt::FlatCap);
            op.line = QLineF(d.x * Scale, d.y * Scale, (d.x + d.w) * Scale, (d.y + d.h) * Scale);
            break;
        case DisplayKind::Rect:
            op.pen = d.flags & DisplayFlag::Stroked ? QPen(QColor::fromRgba(d.color), d.pen * Scale)
                                                    : QPen(Qt::NoPen);
            op.pen.setJoinStyle(Qt::MiterJoin);
            op.brush = d.flags & DisplayFlag::Filled ? QBrush(QColor::fromRgba(d.fillColor))
                                                     : QBrush(Qt::NoBrush);
            op.rect = rect;
            break;
        case DisplayKind::Image:
            op.rect = rect;
            op.image = d.ref;
            break;
        }
        ops.push_back(std::move(op));
    }
    return ops;
}

} // namespace

double writePdf(
    const BenchSample& sample, int pages, const QString& totalPages, const QString& path)
{
    if (sample.pages().empty())
        return -1;
    std::vector<Font> fonts;
    for (const FontSpec& spec : sample.fonts())
        fonts.push_back(rawFont(spec));
    std::vector<std::vector<Op>> prepared;
    for (const PageDisplayList& page : sample.pages())
        prepared.push_back(pageOps(page, fonts, totalPages));
    const std::vector<QImage>& images = sample.images();

    QElapsedTimer clock;
    clock.start();
    {
        QPdfWriter writer(path);
        writer.setResolution(Resolution);
        writer.setTitle(sample.info().title);
        writer.setCreator(sample.info().creator);
        const QPageSize size(
            QSizeF(coordToMm(sample.info().pageWidth), coordToMm(sample.info().pageHeight)),
            QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        writer.setPageLayout(QPageLayout(
            size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return -1;
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            QRgb color = 0;
            bool colorSet = false;
            for (const Op& op : prepared[std::size_t(i) % prepared.size()]) {
                switch (op.kind) {
                case DisplayKind::Text:
                    if (!colorSet || op.color != color) {
                        painter.setPen(QColor::fromRgba(op.color));
                        color = op.color;
                        colorSet = true;
                    }
                    painter.drawGlyphRun(op.at, op.run);
                    break;
                case DisplayKind::Line:
                    painter.setPen(op.pen);
                    colorSet = false;
                    painter.drawLine(op.line);
                    break;
                case DisplayKind::Rect:
                    painter.setPen(op.pen);
                    colorSet = false;
                    painter.setBrush(op.brush);
                    painter.drawRect(op.rect);
                    painter.setBrush(Qt::NoBrush);
                    break;
                case DisplayKind::Image:
                    if (op.image >= 0 && std::size_t(op.image) < images.size())
                        painter.drawImage(op.rect, images[std::size_t(op.image)]);
                    break;
                }
            }
        }
        painter.end();
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return QFile(path).size() > 0 ? seconds : -1;
}

double writeXlsx(const BenchSample& sample, qint64 rows, const QString& path)
{
    if (sample.records().empty())
        return -1;
    QElapsedTimer clock;
    clock.start();
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return -1;
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yyyy");
    std::vector<lxw_format*> formats;
    for (const RecordColumn& c : sample.columns()) {
        const QString code = XlsxSink::numberFormat(c.format);
        lxw_format* f = nullptr;
        if (!code.isEmpty()) {
            f = workbook_add_format(book);
            format_set_num_format(f, code.toUtf8().constData());
        }
        formats.push_back(f);
        worksheet_write_string(
            sheet, 0, lxw_col_t(formats.size() - 1), c.name.toUtf8().constData(), bold);
    }
    const auto& records = sample.records();
    for (qint64 r = 0; r < rows; ++r) {
        const std::vector<Value>& values = records[std::size_t(r % qint64(records.size()))];
        const lxw_row_t row = lxw_row_t(r + 1);
        for (std::size_t c = 0; c < values.size(); ++c) {
            const Value& v = values[c];
            const lxw_col_t col = lxw_col_t(c);
            lxw_format* f = c < formats.size() ? formats[c] : nullptr;
            switch (v.type()) {
            case ValueType::Empty:
            case ValueType::Null:
                break;
            case ValueType::Boolean:
                worksheet_write_boolean(sheet, row, col, v.toBool(), nullptr);
                break;
            case ValueType::Int16:
            case ValueType::Int32:
            case ValueType::Int64:
            case ValueType::Currency:
            case ValueType::Double:
            case ValueType::Single:
                worksheet_write_number(sheet, row, col, v.toDouble(), f);
                break;
            case ValueType::Date: {
                const QDateTime when = v.toDateTime();
                lxw_datetime dt { when.date().year(), when.date().month(), when.date().day(),
                    when.time().hour(), when.time().minute(), double(when.time().second()) };
                worksheet_write_datetime(sheet, row, col, &dt, date);
                break;
            }
            default:
                worksheet_write_string(sheet, row, col, v.toString().toUtf8().constData(), nullptr);
                break;
            }
        }
    }
    const bool ok = workbook_close(book) == LXW_NO_ERROR;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return ok ? seconds : -1;
}

double writeCsv(const BenchSample& sample, qint64 rows, const QString& path)
{
    if (sample.records().empty())
        return -1;
    QElapsedTimer clock;
    clock.start();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    QByteArray buffer;
    const auto& records = sample.records();
    bool ok = true;
    for (qint64 r = 0; r < rows && ok; ++r) {
        const std::vector<Value>& values = records[std::size_t(r % qint64(records.size()))];
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (c > 0)
                buffer += ';';
            const Value& v = values[c];
            switch (v.type()) {
            case ValueType::Empty:
            case ValueType::Null:
                break;
            case ValueType::Currency:
            case ValueType::Double:
            case ValueType::Single:
                buffer += QByteArray::number(v.toDouble(), 'f', 2).replace('.', ',');
                break;
            case ValueType::Date:
                buffer += v.toDateTime().toString(QStringLiteral("dd/MM/yyyy")).toUtf8();
                break;
            default:
                buffer += v.toString().toUtf8();
                break;
            }
        }
        buffer += "\r\n";
        if (buffer.size() >= 1 << 16) {
            ok = file.write(buffer) == buffer.size();
            buffer.clear();
        }
    }
    ok = ok && file.write(buffer) == buffer.size();
    file.close();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return ok ? seconds : -1;
}

} // namespace BenchReference
