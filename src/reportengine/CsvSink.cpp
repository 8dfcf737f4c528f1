#include "reportengine/CsvSink.h"

#include <QStringList>

CsvSink::CsvSink(const QString& path, const QLocale& locale, QChar separator)
    : m_path(path),
      m_file(path),
      m_separator(separator),
      m_decimal(locale.decimalPoint().isEmpty() ? QChar(u'.') : locale.decimalPoint().at(0)),
      m_separatorUtf8(QString(separator).toUtf8())
{
    if (!m_file.create())
        m_error = QStringLiteral("No se pudo crear el archivo %1: %2").arg(path, m_file.reason());
    else
        m_buffer.append("\xEF\xBB\xBF");
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
        m_buffer += field.toUtf8();
        return;
    }
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    m_buffer += '"';
    m_buffer += quoted.toUtf8();
    m_buffer += '"';
}

void CsvSink::endLine()
{
    m_buffer += "\r\n";
    if (m_buffer.size() >= 1 << 16 && m_error.isEmpty()) {
        if (m_file.write(m_buffer) != m_buffer.size())
            m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                          .arg(m_path, m_file.reason());
        m_buffer.clear();
    }
}

void CsvSink::beginRecords(const std::vector<RecordColumn>& columns)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            m_buffer += m_separatorUtf8;
        appendField(columns[i].name);
    }
    endLine();
}

void CsvSink::record(const std::vector<Value>& values)
{
    if (!m_error.isEmpty())
        return;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_buffer += m_separatorUtf8;
        appendField(fieldText(values[i], m_decimal));
    }
    endLine();
}

bool CsvSink::close()
{
    if (m_closed)
        return m_error.isEmpty();
    m_closed = true;
    if (m_error.isEmpty() && !m_buffer.isEmpty() && m_file.write(m_buffer) != m_buffer.size())
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2")
                      .arg(m_path, m_file.reason());
    m_buffer.clear();
    if (m_error.isEmpty() && !m_file.finish())
        m_error = QStringLiteral("No se pudo escribir el archivo %1: %2").arg(m_path, m_file.reason());
    if (!m_error.isEmpty())
        m_file.cancelWriting();
    return m_error.isEmpty();
}
