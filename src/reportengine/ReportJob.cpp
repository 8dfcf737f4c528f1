#include "reportengine/ReportJob.h"

#include <memory>

#include "reportengine/DefinitionLoader.h"
#include "reportengine/OutputFile.h"
#include "reportengine/PageSpool.h"
#include "reportengine/PdfSink.h"
#include "reportengine/PdfWriters.h"
#include "reportengine/SavedReportReader.h"
#include "reportengine/SavedReportWriter.h"
#include "reportengine/SelectionPlanner.h"

ReportJob::ReportJob(QObject* parent)
    : QObject(parent)
{
}

bool ReportJob::fail(const QString& message)
{
    m_error = message;
    return false;
}

void ReportJob::addLog(const QString& line)
{
    m_log << line;
    Q_EMIT logLine(line);
}

bool ReportJob::run(const ReportJobRequest& request)
{
    m_error.clear();
    m_log.clear();
    m_pageCount = 0;
    m_recordCount = 0;
    if (!request.connection)
        return fail(
            QStringLiteral("No hay conexión para el informe %1").arg(request.definitionFile));

    DefinitionError definitionError;
    const std::optional<ReportDefinition> definition
        = DefinitionLoader::loadFile(request.definitionFile, &definitionError);
    if (!definition)
        return fail(definitionError.toString());

    RenderOptions options;
    options.selection = request.selection;
    options.formulas = request.formulas;
    for (const QString& s : request.sortFields) {
        if (!s.trimmed().isEmpty())
            options.sortFields << s.trimmed();
    }
    options.subreportSelections = request.subreports;
    options.printTime = request.printTime;
    options.locale = request.locale;

    ReportRenderer renderer(*definition, options);
    if (!renderer.prepare(*request.connection))
        return fail(renderer.errorString());
    for (const QString& line : renderer.log())
        addLog(line);
    addLog(SelectionPlanner::sqlLogLine(
        renderer.query().sql, renderer.query().parameters, request.connection->dialect()));

    renderer.onPage = [this](int page) {
        m_pageCount = page;
        Q_EMIT pageLaidOut(page);
    };
    renderer.onRecord = [this](qint64 n) {
        m_recordCount = n;
        if (n % 500 == 0)
            Q_EMIT recordsRead(n);
    };

    // The destination's sink. A file sink writes beside its file and replaces it only when
    // finished, so a failed run leaves the old file where the caller looks.
    std::unique_ptr<PageSink> ownSink;
    std::unique_ptr<SavedReportWriter> savedWriter;
    PageSink* sink = request.sink;
    RecordSink* records = request.records;
    if (request.destination != ReportDestination::Sink) {
        if (request.outputFile.isEmpty())
            return fail(QStringLiteral("No se indicó el archivo de salida del informe %1")
                            .arg(definition->name));
        // Refused before the report runs, not after.
        const QString refused = OutputFile::refusal(request.outputFile);
        if (!refused.isEmpty())
            return fail(QStringLiteral("No se pudo crear el archivo %1: %2")
                            .arg(request.outputFile, refused));
        if (request.destination == ReportDestination::Pdf) {
            ownSink = std::make_unique<PdfSink>(request.outputFile);
            sink = ownSink.get();
        } else {
            savedWriter = std::make_unique<SavedReportWriter>(request.outputFile);
            sink = savedWriter.get();
            if (!records)
                records = savedWriter.get();
        }
    }
    if (!sink)
        return fail(QStringLiteral("No se indicó el destino del informe %1").arg(definition->name));

    bool ok = false;
    if (request.pdfWriters && request.destination == ReportDestination::Pdf) {
        // Laid out here, drawn by the writers while the caller goes on with its next print.
        auto spool = std::make_unique<PageSpool>();
        ok = renderer.run(*request.connection, *spool, records);
        if (ok) {
            Q_EMIT paginationFinished(renderer.pageCount());
            request.pdfWriters->add(std::move(spool), request.outputFile, request.documentName);
        } else {
            m_error = renderer.errorString();
        }
    } else if (renderer.needsResolution() && sink->wantsResolvedPages()) {
        // Total pages or totals above their rows: lay out into a spool, then hand on the
        // finished pages, read back while the destination writes. Memory stays at a few pages.
        PageSpool spool;
        ok = renderer.run(*request.connection, spool, records);
        if (ok) {
            Q_EMIT paginationFinished(renderer.pageCount());
            if (ownSink && request.destination == ReportDestination::Pdf) {
                ok = PdfSink::writeSpool(spool, request.outputFile, &m_error, request.pdfParts);
            } else {
                ok = spool.replay(*sink);
                if (!ok)
                    m_error = spool.errorString();
            }
        } else {
            m_error = renderer.errorString();
        }
    } else {
        ok = renderer.run(*request.connection, *sink, records);
        if (ok)
            Q_EMIT paginationFinished(renderer.pageCount());
        else
            m_error = renderer.errorString();
    }
    m_pageCount = renderer.pageCount();
    m_recordCount = renderer.recordCount();
    return ok;
}

bool ReportJob::replaySavedReport(
    const QString& savedFile, PageSink& sink, RecordSink* records, QString* error)
{
    SavedReportReader reader;
    if (!reader.open(savedFile) || !reader.replay(sink, records)) {
        if (error)
            *error = reader.errorString();
        return false;
    }
    return true;
}

bool ReportJob::savedReportToPdf(const QString& savedFile, const QString& pdfFile, QString* error)
{
    PdfSink pdf(pdfFile);
    return replaySavedReport(savedFile, pdf, nullptr, error);
}
