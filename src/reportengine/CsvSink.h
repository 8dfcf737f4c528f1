#pragma once

#include <string>
#include <vector>

#include <QLocale>

#include "reportengine/OutputFile.h"
#include "reportengine/RecordFileSink.h"

// The detail records as CSV: a header row with the column names, then one line per record in
// the order printed; group starts and ends are not written. Spreadsheets of this country read
// ";" between fields and the locale's decimal comma, so numbers are written that way (no
// grouping; the decimals the column's pattern prints, all of them where it has none); dates as
// "dd/MM/yyyy" (with the time when there is one). UTF-8 with a byte-order mark, lines ended by CR
// LF, fields quoted when they need it.
class CsvSink final : public RecordFileSink
{
public:
    explicit CsvSink(
        const QString& path, const QLocale& locale = QLocale(), QChar separator = u';');
    ~CsvSink() override;

    void beginRecords(const std::vector<RecordColumn>& columns) override;
    void groupStart(int, const Value&, const QString&) override { }
    void record(const std::vector<Value>& values) override;
    void groupEnd(int, const QString&) override { }
    void endRecords() override { }

    bool close() override;
    QString errorString() const override { return m_error; }

    // One field as written (unquoted).
    static QString fieldText(const Value& value, QChar decimalPoint);

private:
    // Appends to the buffer; the line's end writes the buffer out when it is full.
    void appendField(const QString& field);
    // `column` picks the number pattern of its column.
    void appendValue(const Value& value, std::size_t column);
    // The text as UTF-8; false, with nothing appended, when it needs quoting (or holds a
    // character the plain way leaves to Qt's encoder).
    bool appendUnquoted(QStringView text);
    void appendBytes(const QByteArray& bytes) { m_buffer.append(bytes.constData(), bytes.size()); }
    void endLine();

    QString m_path;
    OutputFile m_file;
    QLocale m_locale;
    QChar m_separator;
    QChar m_decimal;
    QByteArray m_separatorUtf8;
    std::string m_buffer;
    std::vector<QString> m_patterns; // per column: its number pattern, or empty
    QString m_error;
    bool m_closed = false;
};
