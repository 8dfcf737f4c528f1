#include "reports/SinkReportOutputs.h"

#include "platform/Service.h"
#include "reportengine/HtmlSink.h"
#include "reportengine/PrinterSink.h"
#include "reportengine/RtfSink.h"
#include "reports/ReportPreviews.h"

namespace {

// A destination that is one page sink: it fails with the sink's own words.
class PageSinkOutput final : public ReportOutput
{
public:
    explicit PageSinkOutput(std::unique_ptr<PageSink> sink)
        : m_sink(std::move(sink))
    {
    }

    PageSink* pageSink() override { return m_sink.get(); }
    bool finish(int, QString* error) override
    {
        const QString failure = m_sink->errorString();
        m_sink.reset(); // releases the printer, drops an unfinished file
        if (!failure.isEmpty() && error)
            *error = failure;
        return failure.isEmpty();
    }

private:
    std::unique_ptr<PageSink> m_sink;
};

// The screen: the window opens at once, so the first page shows while the rest is laid out;
// it lives on after the print (the operator closes it).
class PreviewOutput final : public ReportOutput
{
public:
    explicit PreviewOutput(std::shared_ptr<PageSink> window)
        : m_window(std::move(window))
    {
    }

    PageSink* pageSink() override { return m_window.get(); }
    bool finish(int, QString*) override { return true; }

private:
    std::shared_ptr<PageSink> m_window;
};

} // namespace

std::unique_ptr<ReportOutput> SinkReportOutputs::create(
    const ReportOutputTarget& target, QString* error)
{
    std::unique_ptr<PageSink> sink;
    switch (target.kind) {
    case ReportOutputTarget::Kind::Printer: {
        auto printer = std::make_unique<PrinterSink>(target.printerName, target.copies);
        if (!printer->errorString().isEmpty()) {
            if (error)
                *error = printer->errorString();
            return nullptr;
        }
        sink = std::move(printer);
        break;
    }
    case ReportOutputTarget::Kind::File:
        if (target.exportCode == FormatoExportacion::Html)
            sink = std::make_unique<HtmlSink>(target.fileName);
        else if (target.exportCode == FormatoExportacion::Rtf)
            sink = std::make_unique<RtfSink>(target.fileName);
        break;
    case ReportOutputTarget::Kind::Screen:
        if (ReportPreviews* previews = Service<ReportPreviews>::tryGet())
            return std::make_unique<PreviewOutput>(previews->open(target.title));
        break;
    }
    if (!sink)
        return UnavailableReportOutputs().create(target, error);
    return std::make_unique<PageSinkOutput>(std::move(sink));
}
