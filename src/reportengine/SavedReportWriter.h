#pragma once

#include <memory>

#include <QDataStream>

#include "reportengine/OutputFile.h"
#include "reportengine/PageSink.h"

// Our saved-report file: the page display lists and the records of one run, written as they are
// laid out, so a report can be viewed or exported later without the database. Layout of the file
// (big-endian QDataStream, Qt 6.4 format):
//   magic "\x89RPTSAV\n" (8 bytes), quint32 format version (2), the document info;
//   then tagged chunks in run order: 'F' font, 'I' image (PNG), 'P' page, 'C' record columns,
//   'G' group start (level, key and, from version 2, caption), 'R' record, 'g' group end
//   (level and, from version 2, caption); then 'D' deferred values and 'E' end;
//   last, a trailer: quint64 offset of the 'D' chunk and the 8 bytes "RPTSEND\n".
// Pages are stored as laid out, deferred texts unresolved; the reader resolves them.
class SavedReportWriter final : public PageSink, public RecordSink
{
public:
    static constexpr quint32 FormatVersion = 2;
    static const QByteArray Magic;
    static const QByteArray EndMagic;

    explicit SavedReportWriter(const QString& path);
    ~SavedReportWriter() override;

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override { return false; }
    QString errorString() const override { return m_error; }

    void beginRecords(const std::vector<RecordColumn>& columns) override;
    void groupStart(int level, const Value& key, const QString& caption) override;
    void record(const std::vector<Value>& values) override;
    void groupEnd(int level, const QString& caption) override;
    void endRecords() override;

private:
    bool check();

    QString m_path;
    OutputFile m_file; // replaces the old file when finished
    QDataStream m_out;
    std::size_t m_fontsWritten = 0;
    std::size_t m_imagesWritten = 0;
    QString m_error;
};

// Value encoding shared by the writer and the reader.
namespace SavedReportFormat {
void writeValue(QDataStream& out, const Value& value);
Value readValue(QDataStream& in);
} // namespace SavedReportFormat
