#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Service.h"
#include "reportengine/PageSink.h"
#include "reports/ReportPreviews.h"
#include "reports/SinkReportOutputs.h"

TEST(SinkReportOutputs, html_and_rtf_files_are_written_through_their_sinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const int code : { FormatoExportacion::Html, FormatoExportacion::Rtf }) {
        ReportOutputTarget target;
        target.kind = ReportOutputTarget::Kind::File;
        target.exportCode = code;
        target.fileName = dir.filePath(QStringLiteral("salida%1").arg(code));
        QString error;
        std::unique_ptr<ReportOutput> output = SinkReportOutputs().create(target, &error);
        ASSERT_TRUE(output) << error.toStdString();
        ASSERT_TRUE(output->pageSink());
        DocumentResources resources;
        resources.addFont(FontSpec());
        PageDisplayList page;
        page.number = 1;
        DisplayItem& text = page.addText(QStringLiteral("Hola"));
        text.w = mmToCoord(30);
        text.h = mmToCoord(5);
        PageSink& sink = *output->pageSink();
        ASSERT_TRUE(sink.begin(DocumentInfo {}));
        ASSERT_TRUE(sink.page(page, resources, nullptr));
        ASSERT_TRUE(sink.finish(DeferredValues {}));
        EXPECT_TRUE(output->finish(1, &error)) << error.toStdString();
        QFile f(target.fileName);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << code;
        EXPECT_TRUE(f.readAll().contains("Hola")) << code;
    }
}

TEST(SinkReportOutputs, an_unknown_printer_is_refused_in_words)
{
    ReportOutputTarget printer;
    printer.kind = ReportOutputTarget::Kind::Printer;
    printer.printerName = QStringLiteral("NoExiste-7");
    QString error;
    EXPECT_FALSE(SinkReportOutputs().create(printer, &error));
    EXPECT_EQ(error, QStringLiteral("No se encuentra la impresora NoExiste-7"));
}

namespace {

// Opens no window: keeps the captions asked for and hands out one sink.
class PreviewsOpened final : public ReportPreviews
{
public:
    class Pages final : public PageSink
    {
    public:
        bool begin(const DocumentInfo&) override { return true; }
        bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
        {
            return true;
        }
        bool finish(const DeferredValues&) override { return true; }
    };

    std::shared_ptr<PageSink> open(const QString& title) override
    {
        titles << title;
        return sink;
    }

    QStringList titles;
    std::shared_ptr<PageSink> sink = std::make_shared<Pages>();
};

} // namespace

TEST(SinkReportOutputs, the_screen_opens_the_installed_preview_and_without_one_is_refused_in_words)
{
    ReportOutputTarget screen;
    screen.title = QStringLiteral("Lista de precios");
    QString error;
    EXPECT_FALSE(SinkReportOutputs().create(screen, &error));
    EXPECT_EQ(error,
        QStringLiteral("La vista previa en pantalla todavía no está disponible en este equipo"));

    PreviewsOpened previews;
    const ScopedService<ReportPreviews> previewsService(previews);
    error.clear();
    const std::unique_ptr<ReportOutput> output = SinkReportOutputs().create(screen, &error);
    ASSERT_TRUE(output) << error.toStdString();
    EXPECT_EQ(output->pageSink(), previews.sink.get());
    EXPECT_EQ(previews.titles, QStringList { QStringLiteral("Lista de precios") });
    EXPECT_TRUE(output->finish(1, &error));
}
