#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "reportengine/PdfTools.h"
#include "reportpreview/ReportPreview.h"
#include "services/Dll_Display.h"
#include "support/FakeDialogs.h"
#include "support/TestEnvironment.h"

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

// A document of `pages` pages whose layout has ended, its page count known.
std::shared_ptr<PreviewDocument> laidOut(int pages)
{
    auto doc = std::make_shared<PreviewDocument>();
    EXPECT_TRUE(
        doc->begin(DocumentInfo { QStringLiteral("Lista"), {}, QStringLiteral("RP_Lista") }));
    feed(*doc, 1, pages);
    EXPECT_TRUE(doc->finish(DeferredValues { { QString::number(pages) } }));
    return doc;
}

PreviewDialogs dialogs()
{
    return { testsupport::messages(), testsupport::fileDialogs(), testsupport::printDialogs() };
}

QPushButton* buttonOf(const QWidget& window, const QString& text)
{
    for (QPushButton* b : window.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

} // namespace

TEST(ReportPreview, shows_pages_while_laid_out_then_moves_zooms_finds_and_exports)
{
    auto doc = std::make_shared<PreviewDocument>();
    ASSERT_TRUE(
        doc->begin(DocumentInfo { QStringLiteral("Lista"), {}, QStringLiteral("RP_Lista") }));
    ReportPreviewWindow window(doc, dialogs());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 0 de 0+"));

    feed(*doc, 1, 2);
    EXPECT_EQ(window.currentPage(), 1);
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 1 de 2+"));
    window.lastPage();
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 2 de 2+"));

    feed(*doc, 3, 3);
    ASSERT_TRUE(doc->finish(DeferredValues { { QStringLiteral("3") } }));
    EXPECT_EQ(window.pageLabel(), QStringLiteral("Página 2 de 3"));

    const struct
    {
        void (ReportPreviewWindow::*move)();
        int page;
    } moves[] = { { &ReportPreviewWindow::nextPage, 3 }, { &ReportPreviewWindow::nextPage, 3 },
        { &ReportPreviewWindow::firstPage, 1 }, { &ReportPreviewWindow::previousPage, 1 },
        { &ReportPreviewWindow::lastPage, 3 } };
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
    ASSERT_TRUE(window.exportTo(dir.filePath(QStringLiteral("v.html")), &error))
        << error.toStdString();
    QFile html(dir.filePath(QStringLiteral("v.html")));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("Página 3 de 3"));
    EXPECT_FALSE(window.exportTo(dir.filePath(QStringLiteral("v.doc")), &error));
    EXPECT_EQ(error, QStringLiteral("No se puede exportar en el formato doc"));
}

TEST(ReportPreview, opens_on_the_screen_moves_by_keys_and_keeps_its_buttons_in_place)
{
    const std::shared_ptr<PreviewDocument> doc = laidOut(12);
    ReportPreviewWindow window(doc, dialogs());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
    QPushButton* siguiente = buttonOf(window, QStringLiteral(">"));
    ASSERT_NE(siguiente, nullptr);
    const int lugar = siguiente->x();

    const struct
    {
        Qt::Key key;
        int page;
    } keys[] = { { Qt::Key_PageDown, 2 }, { Qt::Key_PageDown, 3 }, { Qt::Key_PageUp, 2 },
        { Qt::Key_End, 12 }, { Qt::Key_Home, 1 } };
    for (const auto& k : keys) {
        QTest::keyClick(&window, k.key);
        EXPECT_EQ(window.currentPage(), k.page);
    }
    window.lastPage();
    QApplication::processEvents();
    EXPECT_EQ(siguiente->x(), lugar) << window.pageLabel().toStdString();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

// The zoom keys of every desktop viewer, and Ctrl with the wheel over the page; the list shows
// the zoom they chose.
TEST(ReportPreview, zooms_by_the_usual_keys_and_the_wheel_and_the_list_follows)
{
    const std::shared_ptr<PreviewDocument> doc = laidOut(3);
    ReportPreviewWindow window(doc, dialogs());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* zoom = window.findChild<QComboBox*>(QStringLiteral("zoom"));
    ASSERT_NE(zoom, nullptr);
    // Where the wheel's turns arrive, over the page or the margin around it.
    QWidget* viewport = window.findChild<QScrollArea*>(QStringLiteral("scroll"))->viewport();
    window.setZoom(ReportPreviewWindow::Zoom::FitPage);
    const double fitPage = window.scale();
    zoom->setCurrentText(QStringLiteral("100%"));
    const double full = window.scale();
    const auto wheel = [viewport](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent turn(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(),
            QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &turn);
    };
    const struct
    {
        const char* step;
        std::function<void()> act;
        const char* shown;
        double scale; // of 100%; 0: the whole page
    } steps[] = {
        { "Ctrl++", [&] { QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier); }, "150%",
            1.5 },
        { "Ctrl+-", [&] { QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier); }, "100%",
            1 },
        { "Ctrl+- again", [&] { QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier); },
            "75%", 0.75 },
        { "Ctrl and the wheel up", [&] { wheel(120, Qt::ControlModifier); }, "100%", 1 },
        { "half a notch waits for the other half", [&] { wheel(-60, Qt::ControlModifier); }, "100%",
            1 },
        { "the other half", [&] { wheel(-60, Qt::ControlModifier); }, "75%", 0.75 },
        { "the wheel alone scrolls", [&] { wheel(120, Qt::NoModifier); }, "75%", 0.75 },
        { "Ctrl+0", [&] { QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier); },
            "Página completa", 0 },
        { "Ctrl++ from the whole page",
            [&] { QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier); }, "", -1 },
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);

        s.act();

        if (s.scale < 0) {
            // The first percentage of the list beyond the size the whole page had.
            EXPECT_GT(window.scale(), fitPage);
            EXPECT_DOUBLE_EQ(window.scale(), full * zoom->currentText().chopped(1).toInt() / 100);
            continue;
        }
        EXPECT_EQ(zoom->currentText(), QString::fromUtf8(s.shown));
        EXPECT_DOUBLE_EQ(window.scale(), s.scale == 0 ? fitPage : full * s.scale);
    }
}

TEST(ReportPreview, prints_the_pages_chosen_in_its_dialog_and_exports_under_the_format_chosen)
{
    const std::shared_ptr<PreviewDocument> doc = laidOut(3);
    ReportPreviewWindow window(doc, dialogs());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTemporaryDir dir;
    PrintChoice pages2a3;
    pages2a3.outputFile = dir.filePath(QStringLiteral("impreso.pdf"));
    pages2a3.pages = { { 2, 3 } };
    testsupport::printDialogs().answer(pages2a3);
    testsupport::fileDialogs().answerSave(
        SavedFileChoice { dir.filePath(QStringLiteral("lista")), 2 });

    QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
    buttonOf(window, QStringLiteral("Exportar"))->click();

    ASSERT_EQ(testsupport::printDialogs().requests().size(), 1);
    EXPECT_EQ(testsupport::printDialogs().requests()[0].lastPage, 3);
    EXPECT_EQ(PdfTools::pageCount(pages2a3.outputFile), 2);
    const QString impreso = PdfTools::text(pages2a3.outputFile);
    EXPECT_TRUE(impreso.contains(QStringLiteral("Artículo 2"))
        && impreso.contains(QStringLiteral("Artículo 3"))
        && !impreso.contains(QStringLiteral("Artículo 1")))
        << impreso.toStdString();
    ASSERT_EQ(testsupport::fileDialogs().saveRequests().size(), 1);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("lista.html"))));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

namespace {

// The please-wait banner as the lines it was given; one that fails throws as it is refreshed.
class CartelAnotado final : public Dll_Display
{
public:
    void CartelInicio(const QString& titulo, int) override { lineas << u'[' + titulo; }
    bool CartelMostrar(const std::optional<Value>&, const std::optional<Value>& l2,
        const std::optional<Value>&) override
    {
        if (falla == Falla::Error)
            throw RuntimeError(RuntimeError::OutOfMemory, QStringLiteral("Memoria insuficiente"));
        if (falla == Falla::Memoria)
            throw std::bad_alloc();
        if (l2)
            lineas << l2->toString();
        return false;
    }
    void CartelCerrar() override { lineas << QStringLiteral("]"); }
    void Siempre_Visible(bool) override { }

    enum class Falla
    {
        Ninguna,
        Error,
        Memoria,
    };
    QStringList lineas;
    Falla falla = Falla::Ninguna;
};

// A shown preview of three pages whose print dialog answers "all pages, to this PDF file",
// with a banner that notes its lines.
struct ImpresionDesdeVista
{
    ImpresionDesdeVista()
    {
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        todas.outputFile = dir.filePath(QStringLiteral("impreso.pdf"));
        testsupport::printDialogs().answer(todas);
    }

    CartelAnotado cartel;
    const ScopedService<Dll_Display> cartelService { cartel };
    ReportPreviewWindow window { laidOut(3), dialogs() };
    QTemporaryDir dir;
    PrintChoice todas;
};

} // namespace

// A long print from the preview tells its pages on their way, as the main window's prints do.
TEST(ReportPreview, printing_counts_the_pages_sent_in_the_banner)
{
    ImpresionDesdeVista v;

    buttonOf(v.window, QStringLiteral("Imprimir"))->click();

    EXPECT_EQ(v.cartel.lineas,
        QStringList({ QStringLiteral("[Imprimiendo"),
            QStringLiteral("Páginas enviadas a la impresora: 1 de 3"),
            QStringLiteral("Páginas enviadas a la impresora: 2 de 3"),
            QStringLiteral("Páginas enviadas a la impresora: 3 de 3"), QStringLiteral("]") }));
    EXPECT_EQ(PdfTools::pageCount(v.todas.outputFile), 3);
    EXPECT_TRUE(v.window.isEnabled());
}

// A print that fails half way gives the window back and says why; nothing escapes the button,
// not even a failure that is no error of the program's own.
TEST(ReportPreview, a_print_that_fails_on_its_way_gives_the_window_back_and_says_why)
{
    const struct
    {
        CartelAnotado::Falla falla;
        const char* mensaje;
    } casos[] = {
        { CartelAnotado::Falla::Error, "Memoria insuficiente" },
        { CartelAnotado::Falla::Memoria, "No hay memoria suficiente para imprimir el reporte." },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.mensaje);
        testsupport::messages().clear();
        ImpresionDesdeVista v;
        v.cartel.falla = c.falla;
        testsupport::messages().answer(Msg::Ok);

        EXPECT_NO_THROW(buttonOf(v.window, QStringLiteral("Imprimir"))->click());

        EXPECT_TRUE(v.window.isEnabled());
        ASSERT_EQ(testsupport::messages().shown().size(), 1);
        EXPECT_EQ(testsupport::messages().shown()[0].text, QString::fromUtf8(c.mensaje));
        EXPECT_EQ(
            v.cartel.lineas, QStringList({ QStringLiteral("[Imprimiendo"), QStringLiteral("]") }));
    }
}

// A long export shows the banner while the file is written, and gives the window back.
TEST(ReportPreview, exporting_shows_the_banner_until_the_file_is_written)
{
    CartelAnotado cartel;
    const ScopedService<Dll_Display> cartelService(cartel);
    ReportPreviewWindow window(laidOut(3), dialogs());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QTemporaryDir dir;
    testsupport::fileDialogs().answerSave(
        SavedFileChoice { dir.filePath(QStringLiteral("lista")), 1 });

    buttonOf(window, QStringLiteral("Exportar"))->click();

    // A slow machine refreshes the banner more than once.
    cartel.lineas.removeDuplicates();
    EXPECT_EQ(cartel.lineas,
        QStringList({ QStringLiteral("[Generando Reporte"), QStringLiteral("Espere Por Favor"),
            QStringLiteral("]") }));
    EXPECT_EQ(PdfTools::pageCount(dir.filePath(QStringLiteral("lista.pdf"))), 3);
    EXPECT_TRUE(window.isEnabled());
}

TEST(ReportPreview, an_export_name_takes_the_chosen_formats_extension_unless_it_ends_with_it)
{
    const struct
    {
        const char* typed;
        const char* filter;
        const char* file;
    } cases[] = {
        { "/tmp/lista", "PDF (*.pdf)", "/tmp/lista.pdf" },
        { "/tmp/lista", "HTML (*.html)", "/tmp/lista.html" },
        { "/tmp/lista.rtf", "PDF (*.pdf)", "/tmp/lista.rtf.pdf" }, // the format chosen decides
        { "/tmp/lista 09.12.2026", "PDF (*.pdf)", "/tmp/lista 09.12.2026.pdf" },
        { "/tmp/LISTA.PDF", "PDF (*.pdf)", "/tmp/LISTA.PDF" },
        { "/tmp/lista.htm", "HTML (*.html)", "/tmp/lista.htm" },
        { "", "PDF (*.pdf)", "" }, // cancelled
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportPreviewWindow::exportFileName(
                      QString::fromLatin1(c.typed), QString::fromLatin1(c.filter)),
            QString::fromLatin1(c.file));
}
