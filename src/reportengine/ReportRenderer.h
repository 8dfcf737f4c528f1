#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "reportengine/DisplayList.h"
#include "reportengine/PageSink.h"
#include "reportengine/ReportDataSource.h"
#include "reportengine/ReportDefinition.h"

struct CompiledReport;

// What a run needs besides the definition: the run-time changes the caller asks for.
struct RenderOptions
{
    std::optional<QString> selection; // replaces the definition's record selection when set
    QStringList formulas; // "Name=value" overrides, applied in order
    QStringList sortFields; // "+{t.f}" / "-{t.f}"; when not empty replaces the sort
    struct SubreportSelection
    {
        QString name;
        QString selection;
    };
    std::vector<SubreportSelection> subreportSelections;
    QDateTime printTime; // the print date and time fields; now when invalid
    QLocale locale; // number and date formats
    QString creator = QStringLiteral("Rp_Tarifolio");
};

// Runs one report: compiles its formulas, plans and runs the query, breaks the rows into
// groups, lays the bands out into pages and hands them to the page sink (and the detail values
// to the record sink). Single-threaded; the call returns when the last page is out.
class ReportRenderer
{
public:
    ReportRenderer(const ReportDefinition& definition, RenderOptions options);
    ~ReportRenderer();

    // Compiles formulas and overrides and builds the statement. False with errorString() set
    // when a formula does not parse or names a field the data lacks. `log()` receives one line
    // per ignored override.
    bool prepare(ReportDataSource& data);
    // The statement the run will execute (after prepare()).
    const DataQuery& query() const;

    // Reads the rows and renders. False with errorString() when the data or a sink fails.
    bool run(ReportDataSource& data, PageSink& pages, RecordSink* records = nullptr);

    // True when the report prints values known only at the end (total pages, totals in
    // headers): a sink that wants finished pages must then get them replayed from a spool.
    bool needsResolution() const;

    QString errorString() const { return m_error; }
    const QStringList& log() const { return m_log; }
    int pageCount() const { return m_pageCount; }
    qint64 recordCount() const { return m_recordCount; }
    DocumentInfo documentInfo() const;

    // Called after each page is laid out (page number) and after each record read.
    std::function<void(int)> onPage;
    std::function<void(qint64)> onRecord;

private:
    ReportDefinition m_definition;
    RenderOptions m_options;
    std::unique_ptr<DocumentResources> m_resources;
    std::unique_ptr<CompiledReport> m_compiled;
    QString m_error;
    QStringList m_log;
    int m_pageCount = 0;
    qint64 m_recordCount = 0;
};
