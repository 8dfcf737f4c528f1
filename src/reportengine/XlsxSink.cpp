#include "reportengine/XlsxSink.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include <QFileInfo>

#include "reportengine/OutputFile.h"
#include "reportengine/ValueFormat.h"

namespace {

// Spreadsheets refuse strings longer than this in one cell.
constexpr qsizetype MaxCellText = 32767;
// Outline levels a spreadsheet knows.
constexpr int MaxOutlineLevel = 7;

// The number as its column prints it: a money amount or a measure rounded to the pattern's
// decimals (half away from zero, as printed).
Value printed(const Value& value, int decimals)
{
    if (value.type() == ValueType::Currency)
        return Value(value.toCurrency().rounded(std::min(decimals, 4)));
    const double scale = std::pow(10.0, std::min(decimals, 10));
    const double v = value.toDouble();
    const double r = std::round(v * scale) / scale;
    return std::isfinite(r) ? Value(r) : value;
}

QString cleanSheetName(const QString& name)
{
    QString clean;
    for (QChar c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            clean += u'_';
        else
            clean += c;
    }
    clean = clean.trimmed().left(31);
    while (clean.startsWith(u'\''))
        clean.remove(0, 1);
    while (clean.endsWith(u'\''))
        clean.chop(1);
    return clean.isEmpty() ? QStringLiteral("Informe") : clean;
}

} // namespace

XlsxSink::XlsxSink(const QString& path, const QString& sheetName, int rowsPerSheet)
    : m_path(path)
    , m_sheetName(cleanSheetName(sheetName))
    , m_rowsPerSheet(std::clamp(rowsPerSheet, 2, SheetRows))
{
    // The library only opens the file when the workbook is closed: make the target's temporary
    // now, so a target that cannot be written is known before the report runs.
    const QString refused = OutputFile::refusal(path);
    if (!refused.isEmpty()) {
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2").arg(path, refused);
        return;
    }
    m_target = path;
    m_output = std::make_unique<OutputFile>(m_target);
    if (!m_output->create()) {
        m_error
            = QStringLiteral("No se pudo crear el archivo %1: %2").arg(path, m_output->reason());
        return;
    }
    m_partial.setFileTemplate(OutputFile::scratchTemplate(QStringLiteral("xlsx")));
    if (!m_partial.open()) {
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2")
                      .arg(path, OutputFile::reasonFor(m_partial));
        return;
    }
    m_partial.close();
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    const QByteArray file = QFile::encodeName(m_partial.fileName());
    m_book = workbook_new_opt(file.constData(), &options);
    if (!m_book || !addSheet()) {
        m_error = QStringLiteral("No se pudo crear el archivo %1").arg(path);
        return;
    }
    m_bold = workbook_add_format(m_book);
    format_set_bold(m_bold);
}

bool XlsxSink::addSheet()
{
    QString name = m_sheetName;
    if (!m_sheets.empty()) {
        const QString number = QStringLiteral(" (%1)").arg(m_sheets.size() + 1);
        name = m_sheetName.left(31 - number.size()) + number;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(m_book, name.toUtf8().constData());
    if (!sheet)
        return false;
    m_sheet = sheet;
    m_sheets.push_back(sheet);
    m_row = -1;
    // Group rows are above their records.
    worksheet_outline_settings(m_sheet, LXW_TRUE, LXW_FALSE, LXW_TRUE, LXW_FALSE);
    return true;
}

void XlsxSink::writeHeader()
{
    ++m_row;
    for (std::size_t c = 0; c < m_headers.size(); ++c) {
        // Bold letters are wider.
        fits(int(c), m_headers[c].size() + m_headers[c].size() / 8);
        check(worksheet_write_string(
            m_sheet, lxw_row_t(m_row), lxw_col_t(c), m_headers[c].toUtf8().constData(), m_bold));
    }
}

void XlsxSink::fits(int column, qsizetype characters)
{
    if (column < 0 || std::size_t(column) >= m_widths.size())
        return;
    qsizetype& widest = m_widths[std::size_t(column)];
    widest = std::max(widest, characters);
}

void XlsxSink::setColumnWidths()
{
    // A column's width counts characters of the default font; a little room beside the
    // widest value, and no column so wide it hides the others.
    for (lxw_worksheet* sheet : m_sheets) {
        for (std::size_t c = 0; c < m_widths.size(); ++c) {
            const double width = std::clamp(double(m_widths[c]) + 2, 4.0, 60.0);
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
        }
    }
}

XlsxSink::~XlsxSink()
{
    if (!m_closed && m_book)
        workbook_close(m_book);
}

void XlsxSink::check(int error)
{
    if (error != LXW_NO_ERROR && m_error.isEmpty())
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_path, QString::fromUtf8(lxw_strerror(lxw_error(error))));
}

bool XlsxSink::isDatePattern(const QString& pattern)
{
    if (pattern.contains(u'#') || pattern.contains(u'0'))
        return false;
    for (QChar c : pattern) {
        if (QStringLiteral("dMyHhms").contains(c))
            return true;
    }
    return false;
}

QString XlsxSink::wholeNumberFormat(const QString& code)
{
    if (code.isEmpty() || isDatePattern(code))
        return QString();
    QStringList sections = code.split(u';');
    bool changed = false;
    for (QString& section : sections) {
        const qsizetype point = section.indexOf(u'.');
        if (point < 0)
            continue;
        qsizetype end = point + 1;
        while (end < section.size() && (section[end] == u'#' || section[end] == u'0'))
            ++end;
        const QString decimals = section.mid(point + 1, end - point - 1);
        if (decimals.contains(u'0'))
            continue;
        section.remove(point, end - point);
        changed = true;
    }
    return changed ? sections.join(u';') : QString();
}

QString XlsxSink::numberFormat(const QString& pattern)
{
    if (pattern.isEmpty())
        return QString();
    QString code;
    if (isDatePattern(pattern)) {
        bool quoted = false;
        for (QChar c : pattern) {
            if (c == u'\'') {
                quoted = !quoted;
                code += u'"';
            } else if (quoted) {
                code += c;
            } else if (c == u'M') {
                code += u'm';
            } else if (c == u'H') {
                code += u'h';
            } else if (c == u'A' || c == u'a') {
                // Qt's AP/ap marker.
                if (!code.endsWith(QStringLiteral("AM/PM")))
                    code += QStringLiteral("AM/PM");
            } else if (c == u'P' || c == u'p') {
                continue;
            } else {
                code += c;
            }
        }
        return code;
    }
    for (QChar c : pattern) {
        if (c == u'%')
            code += QStringLiteral("\\%"); // printed as is, never a percentage
        else
            code += c;
    }
    return code;
}

lxw_format* XlsxSink::format(const QString& code, bool bold)
{
    if (code.isEmpty())
        return bold ? m_bold : nullptr;
    const QString key = (bold ? QStringLiteral("b|") : QStringLiteral("|")) + code;
    auto it = m_formats.constFind(key);
    if (it != m_formats.constEnd())
        return *it;
    lxw_format* f = workbook_add_format(m_book);
    format_set_num_format(f, code.toUtf8().constData());
    if (bold)
        format_set_bold(f);
    m_formats.insert(key, f);
    return f;
}

void XlsxSink::startRow(int level)
{
    if (m_row + 1 >= m_rowsPerSheet) {
        if (!addSheet()) {
            if (m_error.isEmpty())
                m_error = QStringLiteral("No se pudo escribir el archivo %1").arg(m_path);
            return;
        }
        writeHeader();
    }
    ++m_row;
    if (level > 0) {
        lxw_row_col_options options {};
        options.level = uint8_t(std::min(level, MaxOutlineLevel));
        check(worksheet_set_row_opt(
            m_sheet, lxw_row_t(m_row), LXW_DEF_ROW_HEIGHT, nullptr, &options));
    }
}

void XlsxSink::writeValue(
    int column, const Value& value, lxw_format* numberFormat, lxw_format* dateFormat, bool bold)
{
    const lxw_row_t row = lxw_row_t(m_row);
    const lxw_col_t col = lxw_col_t(column);
    switch (value.type()) {
    case ValueType::Empty:
    case ValueType::Null:
    case ValueType::Bytes:
        if (bold)
            check(worksheet_write_blank(m_sheet, row, col, m_bold));
        return;
    case ValueType::Boolean:
        fits(column, 5);
        check(worksheet_write_boolean(m_sheet, row, col, value.toBool(), bold ? m_bold : nullptr));
        return;
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
    case ValueType::Currency:
    case ValueType::Double:
    case ValueType::Single: {
        const double number = value.toDouble();
        // Digits, a thousands separator every three, the sign and the column's decimals.
        const double magnitude = std::abs(number);
        const int digits = magnitude < 10 ? 1 : std::min(int(std::log10(magnitude)) + 1, 20);
        const std::size_t c = std::size_t(column);
        const int decimals = c < m_decimals.size() ? std::max(m_decimals[c], 0) : 0;
        fits(column,
            digits + (digits - 1) / 3 + (number < 0 ? 1 : 0) + (decimals ? decimals + 1 : 0));
        check(worksheet_write_number(m_sheet, row, col, number, numberFormat));
        return;
    }
    case ValueType::Date: {
        const QDateTime when = value.toDateTime();
        const QDate d = when.date();
        const QTime t = when.time();
        lxw_datetime dt { d.year(), d.month(), d.day(), t.hour(), t.minute(),
            t.second() + t.msec() / 1000.0 };
        lxw_format* f = dateFormat;
        fits(column, t == QTime(0, 0) ? 10 : 19);
        if (!f)
            f = format(t == QTime(0, 0) ? QStringLiteral("dd/mm/yyyy")
                                        : QStringLiteral("dd/mm/yyyy hh:mm:ss"),
                bold);
        check(worksheet_write_datetime(m_sheet, row, col, &dt, f));
        return;
    }
    case ValueType::Text: {
        const QString& text = value.toString();
        if (!bold)
            fits(column, text.size());
        check(worksheet_write_string(m_sheet, row, col, text.left(MaxCellText).toUtf8().constData(),
            bold ? m_bold : nullptr));
        return;
    }
    }
}

void XlsxSink::beginRecords(const std::vector<RecordColumn>& columns)
{
    if (!m_sheet)
        return;
    m_numberFormats.assign(columns.size(), nullptr);
    m_dateFormats.assign(columns.size(), nullptr);
    m_wholeFormats.assign(columns.size(), nullptr);
    m_widths.assign(columns.size(), 0);
    m_decimals.assign(columns.size(), -1);
    m_headers.clear();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const RecordColumn& column = columns[c];
        const QString code = numberFormat(column.format);
        if (isDatePattern(column.format))
            m_dateFormats[c] = format(code, false);
        else
            m_numberFormats[c] = format(code, false);
        if (const QString whole = wholeNumberFormat(code); !whole.isEmpty())
            m_wholeFormats[c] = format(whole, false);
        if (const std::optional<ValueFormat::Decimals> d = ValueFormat::decimals(column.format))
            m_decimals[c] = d->most;
        m_headers.push_back(column.name);
    }
    writeHeader();
}

void XlsxSink::groupStart(int level, const Value& key, const QString& caption)
{
    if (!m_sheet || !m_error.isEmpty())
        return;
    m_openGroups = level + 1;
    startRow(level);
    if (m_error.isEmpty())
        writeValue(0, caption.isEmpty() ? key : Value(caption), m_bold, nullptr, true);
}

void XlsxSink::record(const std::vector<Value>& values)
{
    if (!m_sheet || !m_error.isEmpty())
        return;
    startRow(m_openGroups);
    if (!m_error.isEmpty())
        return;
    for (std::size_t c = 0; c < values.size(); ++c) {
        const int decimals = c < m_decimals.size() ? m_decimals[c] : -1;
        const ValueType type = values[c].type();
        const bool rounds = decimals >= 0
            && (type == ValueType::Currency || type == ValueType::Double
                || type == ValueType::Single);
        const Value value = rounds ? printed(values[c], decimals) : values[c];
        lxw_format* numberFormat = c < m_numberFormats.size() ? m_numberFormats[c] : nullptr;
        if (c < m_wholeFormats.size() && m_wholeFormats[c] && value.isNumeric()) {
            const double number = value.toDouble();
            if (number == std::floor(number))
                numberFormat = m_wholeFormats[c];
        }
        writeValue(int(c), value, numberFormat,
            c < m_dateFormats.size() ? m_dateFormats[c] : nullptr, false);
    }
}

void XlsxSink::groupEnd(int level, const QString& caption)
{
    if (m_sheet && m_error.isEmpty() && !caption.isEmpty()) {
        startRow(level + 1);
        if (m_error.isEmpty())
            writeValue(0, Value(caption), m_bold, nullptr, true);
    }
    m_openGroups = level;
}

void XlsxSink::copyIntoTarget()
{
    QFile workbook(m_partial.fileName());
    if (!workbook.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_path, OutputFile::reasonFor(workbook));
        return;
    }
    QByteArray chunk;
    while (!workbook.atEnd()) {
        chunk = workbook.read(1 << 20);
        if (chunk.isEmpty() && workbook.error() != QFileDevice::NoError)
            break;
        if (m_output->write(chunk) != chunk.size() || m_output->failed())
            break;
    }
    if (workbook.error() != QFileDevice::NoError)
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_path, OutputFile::reasonFor(workbook));
    else if (!m_output->finish())
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_path, m_output->reason());
}

bool XlsxSink::close()
{
    if (m_closed)
        return m_error.isEmpty();
    m_closed = true;
    // In constant-memory mode the rows wait in a temporary file the library writes without
    // looking: a disk that fills up would give a sheet cut short, closed as if whole.
    for (lxw_worksheet* sheet : m_book ? m_sheets : std::vector<lxw_worksheet*>()) {
        if (!sheet->optimize_tmpfile || !m_error.isEmpty())
            continue;
        errno = 0;
        if (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile))
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_path, OutputFile::reasonFor(errno));
    }
    if (m_book && m_error.isEmpty())
        setColumnWidths();
    if (m_book) {
        errno = 0;
        const lxw_error error = workbook_close(m_book);
        const int systemError = errno;
        m_book = nullptr;
        // The library names its own step; the system's reason, when there is one, says more.
        if (error != LXW_NO_ERROR && m_error.isEmpty() && systemError != 0)
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_path, OutputFile::reasonFor(systemError));
        check(error);
    }
    if (m_error.isEmpty())
        copyIntoTarget();
    return m_error.isEmpty();
}
