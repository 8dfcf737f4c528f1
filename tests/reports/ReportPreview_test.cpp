#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "reports/ReportPreview.h"

namespace {

// Feeds three pages ("Artículo N" on page N, a page count that is only known at the end).
void feed(PreviewDocument& doc, int from, int to)
{
    DocumentResources resources;
    resources.addFont(FontSpec());
    for (int n = from; n <= to; ++n) {
        PageDisplayList page;
        page.number = n;
        DisplayItem& text = page.addText(QStringLiteral("Artículo %1").arg(n));
        text.x = mmToCoord(20);
        text.y = mmToCoord(30);
        text.w = mmToCoord(50);
        text.h = mmToCoord(5);
        DisplayItem& total = page.addText(QStringLiteral("Página %1 de ").arg(n) + DeferredMark);
        total.slot = 0;
        total.y = mmToCoord(280);
        total.w = mmToCoord(60);
        total.h = mmToCoord(5);
        ASSERT_TRUE(doc.page(page, resources, nullptr));
    }
}

} // namespace

TEST(ReportPreview, shows_pages_while_laid_out_then_moves_zooms_finds_and_exports)
{
    auto doc = std::make_shared<PreviewDocument>();
    ASSERT_TRUE(doc->begin(DocumentInfo {QStringLiteral("Lista"), {}, QStringLiteral("RP_Lista")}));
    ReportPreviewWindow window(doc);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 0 de 0+"));

    feed(*doc, 1, 2);
    EXPECT_EQ(window.currentPage(), 1);
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 1 de 2+"));
    window.lastPage();
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 2 de 2+"));

    feed(*doc, 3, 3);
    ASSERT_TRUE(doc->finish(DeferredValues {{QStringLiteral("3")}}));
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 2 de 3"));

    const struct
    {
        void (ReportPreviewWindow::*move)();
        int page;
    } moves[] = {{&ReportPreviewWindow::nextPage, 3}, {&ReportPreviewWindow::nextPage, 3},
        {&ReportPreviewWindow::firstPage, 1}, {&ReportPreviewWindow::previousPage, 1},
        {&ReportPreviewWindow::lastPage, 3}};
    for (const auto& m : moves) {
        (window.*m.move)();
        EXPECT_EQ(window.currentPage(), m.page);
    }
    window.goToPage(2);
    EXPECT_EQ(window.currentPage(), 2);
    window.goToPage(99);
    EXPECT_EQ(window.currentPage(), 3);

    window.setZoom(ReportPreviewWindow::Zoom::Percent, 200);
    const double twice = window.scale();
    window.setZoom(ReportPreviewWindow::Zoom::Percent, 100);
    EXPECT_DOUBLE_EQ(twice, 2 * window.scale());
    window.setZoom(ReportPreviewWindow::Zoom::FitPage);
    const double fitPage = window.scale();
    window.setZoom(ReportPreviewWindow::Zoom::FitWidth);
    EXPECT_GE(window.scale(), fitPage);

    // Search goes on from the current match and wraps; the resolved count is searched too.
    window.firstPage();
    ASSERT_TRUE(window.find(QStringLiteral("artículo 2")));
    EXPECT_EQ(window.currentPage(), 2);
    EXPECT_EQ(window.highlight(), QRectF(2000, 3000, 5000, 500));
    ASSERT_TRUE(window.find(QStringLiteral("de 3")));
    EXPECT_EQ(window.currentPage(), 2);
    ASSERT_TRUE(window.find(QStringLiteral("de 3")));
    EXPECT_EQ(window.currentPage(), 3);
    EXPECT_FALSE(window.find(QStringLiteral("no está")));

    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(window.exportTo(dir.filePath(QStringLiteral("v.html")), &error)) << error.toStdString();
    QFile html(dir.filePath(QStringLiteral("v.html")));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("Página 3 de 3"));
    EXPECT_FALSE(window.exportTo(dir.filePath(QStringLiteral("v.doc")), &error));
    EXPECT_EQ(error, QStringLiteral("No se puede exportar en el formato doc"));
}
