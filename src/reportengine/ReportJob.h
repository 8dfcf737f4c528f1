#pragma once

#include <optional>
#include <vector>

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

#include "reportengine/PageSink.h"
#include "reportengine/ReportDataSource.h"
#include "reportengine/ReportRenderer.h"

class PdfWriters;

enum class ReportDestination
{
    Pdf, // outputFile
    SavedReport, // outputFile, our saved-report format
    Sink, // the caller's page sink (preview, printer, HTML, RTF, ...)
};

// One print of one report, as the report driver asks for it.
struct ReportJobRequest
{
    QString definitionFile; // <name>.rpt
    ReportDataSource* connection = nullptr; // not owned; must outlive run()
    std::optional<QString> selection; // replaces the record selection when set
    QStringList formulas; // "Name=value" overrides, in order
    QStringList sortFields; // "+{t.f}" / "-{t.f}"; blanks skipped
    std::vector<RenderOptions::SubreportSelection> subreports; // a sub-report's own selection
    ReportDestination destination = ReportDestination::Pdf;
    QString outputFile;
    PageSink* sink = nullptr; // ReportDestination::Sink; not owned
    RecordSink* records = nullptr; // optional record stream; not owned
    QDateTime printTime; // print date and time fields; now when invalid
    QLocale locale; // number and date formats
    int pdfParts = 0; // PDF drawn on this many threads; 0 by its length
    // ReportDestination::Pdf: when set, run() returns once the pages are laid out and these
    // writers draw and finish the file, a failure kept under `documentName`. Not owned.
    PdfWriters* pdfWriters = nullptr;
    QString documentName;
};

// Runs a report job to its end inside run(): load the definition, apply the overrides, plan
// and run the query, lay out and write the destination. Progress is reported by signal; the
// engine never shows anything. A failure returns false with errorString() in the program's
// words (the definition's file, line and column for a bad definition); nothing is left half
// written at the destination's path when the layout fails.
class ReportJob : public QObject
{
    Q_OBJECT

public:
    explicit ReportJob(QObject* parent = nullptr);

    bool run(const ReportJobRequest& request);

    QString errorString() const { return m_error; }
    // Ignored overrides, the statement that ran ("SQL: ..."), missing images.
    const QStringList& log() const { return m_log; }
    int pageCount() const { return m_pageCount; }
    qint64 recordCount() const { return m_recordCount; }

    // Replays a saved report into a sink (export without the database).
    static bool replaySavedReport(
        const QString& savedFile, PageSink& sink, RecordSink* records, QString* error);
    static bool savedReportToPdf(const QString& savedFile, const QString& pdfFile, QString* error);

Q_SIGNALS:
    // A page was laid out (1-based); its total is not known yet.
    void pageLaidOut(int pageNumber);
    // Records read so far, every 500 records.
    void recordsRead(qint64 count);
    // Pagination ended: the total page count is final.
    void paginationFinished(int pageCount);
    void logLine(const QString& line);

private:
    bool fail(const QString& message);
    void addLog(const QString& line);

    QString m_error;
    QStringList m_log;
    int m_pageCount = 0;
    qint64 m_recordCount = 0;
};
