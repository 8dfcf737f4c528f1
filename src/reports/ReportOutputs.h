#pragma once

#include <memory>

#include <QString>

class PageSink;
class RecordSink;

// Export format codes of the report files, as the suite stores and passes them.
namespace FormatoExportacion {
inline constexpr int Rtf = 15;
inline constexpr int Html = 22;
inline constexpr int Hoja = 25; // spreadsheet: an XLSX workbook (".xlsx")
inline constexpr int Pdf = 31;
inline constexpr int ReporteGuardado = 7; // our saved report: pages and records, no database
inline constexpr int Csv = 5; // the records as comma-separated text
} // namespace FormatoExportacion

// Where one print goes, as the report driver decided it.
struct ReportOutputTarget
{
    enum class Kind
    {
        Screen, // the preview window (modeless)
        Printer, // straight to a printer, no dialog
        File, // a file in the format of exportCode
    };
    Kind kind = Kind::Screen;
    QString title; // the report's title: preview caption, print job name
    QString printerName; // Printer: empty means the default printer
    int copies = 1; // Printer
    int exportCode = FormatoExportacion::Pdf; // File
    QString fileName; // File: full path, overwritten
};

// One destination of one print. The report control asks for it before the print, feeds the pages
// (and the records, when recordSink() gives a sink) and calls finish() once the engine is done.
// The same object serves the export of a saved report (the pages and records replayed).
class ReportOutput
{
public:
    virtual ~ReportOutput() = default;

    // The page sink of this destination; null for data-only outputs (spreadsheet, CSV). Owned by
    // the output.
    virtual PageSink* pageSink() = 0;
    // The record sink, for data-only outputs; null otherwise. Owned by the output.
    virtual RecordSink* recordSink() { return nullptr; }
    // After the last page: show the preview, release the print, close the file. `pageCount` is
    // the final count. False with *error in the program's words when the output failed; a file
    // output leaves no half-written file behind then. An output that outlives the print (the
    // preview window) takes care of itself after finish().
    virtual bool finish(int pageCount, QString* error) = 0;
};

// Makes the destinations the engine does not write itself. The engine writes PDF, saved-report,
// spreadsheet and CSV files on its own; everything else (preview, printer, HTML, RTF) comes from
// the implementation installed through Service<ReportOutputs>.
class ReportOutputs
{
public:
    virtual ~ReportOutputs() = default;

    // A new output for `target`, or null with *error in the program's words when that destination
    // cannot be produced.
    virtual std::unique_ptr<ReportOutput> create(const ReportOutputTarget& target, QString* error)
        = 0;
};

// Until the preview, the printer and the other file formats are installed: every destination
// answers that it is not available yet.
class UnavailableReportOutputs final : public ReportOutputs
{
public:
    std::unique_ptr<ReportOutput> create(const ReportOutputTarget& target, QString* error) override;
};
