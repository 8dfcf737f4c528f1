#include "reportengine/CsvSink.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include <QStringList>

#include "reportengine/ValueFormat.h"

namespace {

// A whole number or a money amount as fieldText() writes it ("-1234", "12,5"), in `out`, or
// with the column's decimals ("12,50"); the length, or -1 for a value it leaves to fieldText().
int numberText(const Value& value, QChar decimalPoint, char16_t (&out)[32],
    ValueFormat::Decimals decimals = { 0, 4 })
{
    char digits[24];
    int n = 0;
    qint64 fraction = 0;
    const int most = std::clamp(decimals.most, 0, 4);
    const int least = std::clamp(decimals.least, 0, most);
    if (value.type() == ValueType::Currency) {
        const qint64 raw = value.toCurrency().rounded(most).raw();
        if (raw == std::numeric_limits<qint64>::min())
            return -1;
        const qint64 magnitude = raw < 0 ? -raw : raw;
        if (raw < 0)
            out[n++] = u'-';
        const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / Currency::Scale);
        for (const char* p = digits; p != end.ptr; ++p)
            out[n++] = char16_t(*p);
        fraction = magnitude % Currency::Scale;
    } else {
        const auto end = std::to_chars(digits, digits + sizeof digits, value.toLongLong());
        for (const char* p = digits; p != end.ptr; ++p)
            out[n++] = char16_t(*p);
    }
    if (fraction != 0 || least > 0) {
        out[n++] = decimalPoint.unicode();
        int written = 0;
        for (qint64 unit = Currency::Scale / 10; unit > 0 && (fraction != 0 || written < least);
             unit /= 10, ++written) {
            out[n++] = char16_t(u'0' + fraction / unit);
            fraction %= unit;
        }
    }
    return n;
}

} // namespace

CsvSink::CsvSink(const QString& path, const QLocale& locale, QChar separator)
    : m_path(path)
    , m_file(path)
    , m_locale(locale)
    , m_separator(separator)
    , m_decimal(locale.decimalPoint().isEmpty() ? QChar(u'.') : locale.decimalPoint().at(0))
    , m_separatorUtf8(QString(separator).toUtf8())
{
    if (!m_file.create())
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2").arg(path, m_file.reason());
    else
        m_buffer.append("\xEF\xBB\xBF");
    m_buffer.reserve(1 << 17);
}

CsvSink::~CsvSink() = default;

QString CsvSink::fieldText(const Value& value, QChar decimalPoint)
{
    switch (value.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QString();
    case ValueType::Currency:
        return value.toCurrency().toString(decimalPoint);
    case ValueType::Double:
    case ValueType::Single: {
        QString text = QString::number(value.toDouble(), 'f', -1);
        if (text.contains(u'e'))
            text = QString::number(value.toDouble(), 'g', 17);
        return text.replace(u'.', decimalPoint);
    }
    case ValueType::Date: {
        const QDateTime when = value.toDateTime();
        return when.time() == QTime(0, 0) ? when.toString(QStringLiteral("dd/MM/yyyy"))
                                          : when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}

void CsvSink::appendField(const QString& field)
{
    bool quote = false;
    for (const QChar c : field) {
        if (c == m_separator || c == u'"' || c == u'\n' || c == u'\r') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        appendBytes(field.toUtf8());
        return;
    }
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    m_buffer += '"';
    appendBytes(quoted.toUtf8());
    m_buffer += '"';
}

bool CsvSink::appendUnquoted(QStringView text)
{
    const char16_t* chars = text.utf16();
    const qsizetype n = text.size();
    const char16_t separator = m_separator.unicode();
    qsizetype bytes = n;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            if (c == separator || c == u'"' || c == u'\n' || c == u'\r')
                return false;
        } else if (c == separator || (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE) {
            return false;
        } else {
            bytes += c < 0x800 ? 1 : 2;
        }
    }
    const std::size_t at = m_buffer.size();
    m_buffer.resize(at + std::size_t(bytes));
    char* out = m_buffer.data() + at;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        }
    }
    return true;
}

// The usual fields (codes, names, amounts) go straight into the buffer; anything else, or
// anything that needs quoting, the long way through fieldText().
void CsvSink::appendValue(const Value& value, std::size_t column)
{
    const QString* pattern = column < m_patterns.size() && !m_patterns[column].isEmpty()
        ? &m_patterns[column]
        : nullptr;
    if (pattern && value.isNumeric()) {
        // As the page prints it: the column's decimals, no grouping.
        const std::optional<ValueFormat::Decimals> decimals = ValueFormat::decimals(*pattern);
        if (value.type() != ValueType::Double && value.type() != ValueType::Single && decimals
            && decimals->most <= 4) {
            char16_t text[32];
            const int n = numberText(value, m_decimal, text, *decimals);
            if (n >= 0 && appendUnquoted(QStringView(text, n)))
                return;
        }
        appendField(ValueFormat::plainNumber(value, *pattern, m_locale));
        return;
    }
    switch (value.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return;
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
    case ValueType::Currency: {
        char16_t text[32];
        const int n = numberText(value, m_decimal, text);
        if (n >= 0 && appendUnquoted(QStringView(text, n)))
            return;
        break;
    }
    case ValueType::Double: {
        // A whole quantity (stock, units) has nothing to round: its digits and six zeros, as
        // fieldText() writes it.
        const double d = value.toDouble();
        if (d == std::trunc(d) && std::abs(d) < 1e15 && !(d == 0 && std::signbit(d))) {
            char16_t text[32];
            const int n = numberText(Value(qint64(d)), m_decimal, text);
            text[n] = m_decimal.unicode();
            std::fill(text + n + 1, text + n + 7, u'0');
            if (appendUnquoted(QStringView(text, n + 7)))
                return;
        }
        break;
    }
    case ValueType::Text:
        if (appendUnquoted(value.toString()))
            return;
        break;
    default:
        break;
    }
    appendField(fieldText(value, m_decimal));
}

void CsvSink::endLine()
{
    m_buffer += "\r\n";
    if (m_buffer.size() >= 1 << 16 && m_error.isEmpty()) {
        if (m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_path, m_file.reason());
        m_buffer.clear(); // keeps its room for the next lines
    }
}

void CsvSink::beginRecords(const std::vector<RecordColumn>& columns)
{
    m_patterns.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            appendBytes(m_separatorUtf8);
        appendField(columns[i].name);
        m_patterns.push_back(
            ValueFormat::decimals(columns[i].format) ? columns[i].format : QString());
    }
    endLine();
}

void CsvSink::record(const std::vector<Value>& values)
{
    if (!m_error.isEmpty())
        return;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            appendBytes(m_separatorUtf8);
        appendValue(values[i], i);
    }
    endLine();
}

bool CsvSink::close()
{
    if (m_closed)
        return m_error.isEmpty();
    m_closed = true;
    if (m_error.isEmpty() && !m_buffer.empty()
        && m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
        m_error
            = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, m_file.reason());
    m_buffer.clear();
    if (m_error.isEmpty() && !m_file.finish())
        m_error
            = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, m_file.reason());
    if (!m_error.isEmpty())
        m_file.cancelWriting();
    return m_error.isEmpty();
}
