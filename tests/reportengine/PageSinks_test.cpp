#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "PdfTools.h"
#include "reportengine/HtmlSink.h"
#include "reportengine/PagePainter.h"
#include "reportengine/PrinterSink.h"
#include "reportengine/ReportJob.h"
#include "reportengine/RtfSink.h"

namespace {

// Two lists on their own pages with "page N of M" (a deferred text), a line and a box.
const char* const Definition
    = R"RPT(<report version="1" name="RP_Hojas" title="Lista &amp; precios">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <group name="Lista" by="{P.Lista}" newPageAfter="true">
    <header height="8"><field x="0" y="1" width="60" height="5" expr="'Lista: ' + {P.Lista}" bold="true"/></header>
  </group>
  <pageHeader height="10"><text x="0" y="0" width="190" height="6" align="center">LISTA DE PRECIOS</text></pageHeader>
  <detail height="5">
    <field name="Codigo" x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <field name="Precio" x="150" y="0" width="40" height="5" expr="{P.Precio}" format="#,##0.00" align="right"/>
  </detail>
  <pageFooter height="8"><special x="130" y="2" width="60" height="5" kind="pageNofM" align="right"/></pageFooter>
</report>)RPT";

class PageSinksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile f(path(QStringLiteral("hojas.rpt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Definition);
        m_data.addTable(QStringLiteral("P"),
            { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo"), QStringLiteral("P.Precio") },
            { { Value(u"L1"), Value(u"A<1>"), Value(*Currency::fromString(u"1234.5")) },
                { Value(u"L2"), Value(u"B2"), Value(*Currency::fromString(u"3")) } });
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    bool run(PageSink& sink)
    {
        ReportJobRequest r;
        r.definitionFile = path(QStringLiteral("hojas.rpt"));
        r.connection = &m_data;
        r.destination = ReportDestination::Sink;
        r.sink = &sink;
        r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
        const bool ok = m_job.run(r);
        EXPECT_TRUE(ok) << m_job.errorString().toStdString();
        return ok;
    }

    QTemporaryDir m_dir;
    MemoryDataSource m_data;
    ReportJob m_job;
};

void expectInOrder(const QString& text, const QStringList& expected)
{
    qsizetype at = 0;
    for (const QString& e : expected) {
        const qsizetype found = text.indexOf(e, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << e.toStdString() << "\n"
                            << text.toStdString();
        at = found + e.size();
    }
}

} // namespace

TEST_F(PageSinksTest, html_has_one_box_per_page_with_the_texts_escaped_and_resolved)
{
    const QString file = path(QStringLiteral("hojas.html"));
    HtmlSink sink(file);
    ASSERT_TRUE(run(sink));

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_EQ(html.count(QStringLiteral("<div class=\"pg\"")), 2);
    expectInOrder(html,
        { QStringLiteral("<title>Lista &amp; precios</title>"), QStringLiteral("size:210mm 297mm"),
            QStringLiteral("id=\"p1\""), QStringLiteral(">LISTA DE PRECIOS</div>"),
            QStringLiteral(">Lista: L1</div>"), QStringLiteral(">A&lt;1&gt;</div>"),
            QStringLiteral(">1.234,50</div>"), QStringLiteral(">Página 1 de 2</div>"),
            QStringLiteral("id=\"p2\""), QStringLiteral(">B2</div>"),
            QStringLiteral(">Página 2 de 2</div>"), QStringLiteral("</html>") });
    // The price is right-aligned at its place on paper.
    EXPECT_TRUE(html.contains(QStringLiteral("class=\"t f1 r\" style=\"left:160mm;")))
        << html.toStdString();
}

TEST_F(PageSinksTest, printer_prints_every_page_on_the_report_paper)
{
    const QString file = path(QStringLiteral("impreso.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    PrinterSink sink(printer);
    ASSERT_TRUE(run(sink));

    expectInOrder(PdfTools::text(file),
        { QStringLiteral("LISTA DE PRECIOS"), QStringLiteral("A<1>"), QStringLiteral("1.234,50"),
            QStringLiteral("Página 1 de 2"), QStringLiteral("B2"),
            QStringLiteral("Página 2 de 2") });
    EXPECT_EQ(printer.pageLayout().fullRectPoints().size(), QSize(595, 842));
}

// The print dialog's "pages 2 to 3" and two collated copies, on a file printer that makes no
// copies of its own.
TEST_F(PageSinksTest, printer_prints_only_the_chosen_pages_and_draws_the_copies_of_a_file)
{
    QList<QList<Value>> rows;
    for (int i = 1; i <= 4; ++i) {
        const QString lista = QStringLiteral("L%1").arg(i);
        rows.append(QList<Value> {
            Value(lista), Value(lista + QStringLiteral("-art")), Value(Currency::fromInteger(i)) });
    }
    m_data.addTable(QStringLiteral("P"),
        { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo"), QStringLiteral("P.Precio") },
        rows);
    const QString file = path(QStringLiteral("rango.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printer.setCopyCount(2);
    printer.setCollateCopies(true);
    PrinterSink sink(printer);

    ASSERT_TRUE(run(sink));

    EXPECT_EQ(PdfTools::pageCount(file), 4);
    const QString text = PdfTools::text(file);
    EXPECT_FALSE(text.contains(QStringLiteral("L1-art")));
    EXPECT_FALSE(text.contains(QStringLiteral("L4-art")));
    expectInOrder(text,
        { QStringLiteral("L2-art"), QStringLiteral("Página 2 de 4"), QStringLiteral("L3-art"),
            QStringLiteral("Página 3 de 4"), QStringLiteral("L2-art"), QStringLiteral("L3-art") });
}

TEST_F(PageSinksTest, an_unknown_printer_fails_with_its_name_before_anything_prints)
{
    PrinterSink sink(QStringLiteral("NoExiste-99"), 2);
    ReportJobRequest r;
    r.definitionFile = path(QStringLiteral("hojas.rpt"));
    r.connection = &m_data;
    r.destination = ReportDestination::Sink;
    r.sink = &sink;
    EXPECT_FALSE(m_job.run(r));
    EXPECT_EQ(m_job.errorString(), QStringLiteral("No se encuentra la impresora NoExiste-99"));
}

// A setting names a local queue, a share's queue by its last part, never another queue.
TEST(PrinterQueue, a_setting_finds_its_local_queue_or_none)
{
    const QStringList colas { QStringLiteral("PDF"), QStringLiteral("pdf"),
        QStringLiteral("Laser_Deposito") };
    const struct
    {
        const char* nombre;
        const char* cola;
    } filas[] = {
        { " pdf ", "pdf" },
        { "PDF", "PDF" },
        { "\\\\servidor\\LASER_DEPOSITO", "Laser_Deposito" },
        { "//servidor/laser_deposito", "Laser_Deposito" },
        { "\\\\servidor\\", "" },
        { "Otra", "" },
        { "", "" },
    };
    for (const auto& f : filas)
        EXPECT_EQ(PrinterSink::localQueue(QString::fromLatin1(f.nombre), colas),
            QString::fromLatin1(f.cola))
            << f.nombre;
}

TEST_F(PageSinksTest, rtf_has_a_table_row_per_band_with_cells_at_the_columns)
{
    const QString file = path(QStringLiteral("hojas.rtf"));
    RtfSink sink(file);
    ASSERT_TRUE(run(sink));

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString rtf = QString::fromLatin1(f.readAll());
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi"))) << rtf.toStdString();
    EXPECT_TRUE(rtf.trimmed().endsWith(u'}'));
    EXPECT_EQ(rtf.count(QStringLiteral("\\page\n")), 1);
    expectInOrder(rtf,
        { QStringLiteral("\\paperw11906\\paperh16838"), QStringLiteral(" LISTA DE PRECIOS}\\cell"),
            QStringLiteral("\\b Lista: L1}\\cell"),
            // The code's cell, the gap up to the price, the price right-aligned.
            QStringLiteral("\\cellx567\\clvertalt\\cellx2268\\cellx9071\\clvertalt\\cellx11339"),
            QStringLiteral(" A<1>}\\cell"), QStringLiteral("\\qr{"),
            QStringLiteral(" 1.234,50}\\cell"), QStringLiteral(" P\\u225?gina 1 de 2}"),
            QStringLiteral("\\page"), QStringLiteral(" B2}"), QStringLiteral("gina 2 de 2}") });
}

TEST(RtfText, escapes_controls_and_writes_unicode)
{
    EXPECT_EQ(RtfSink::escaped(QStringLiteral("a{b}\\c\tÑ€")),
        QByteArray("a\\{b\\}\\\\c\\tab \\u209?\\u8364?"));
}

TEST(PagePainterTest, a_box_after_texts_covers_them_and_one_before_lies_under_them)
{
    DocumentResources resources;
    FontSpec spec;
    spec.sizePt = 20;
    const int font = resources.addFont(spec);
    DisplayItem box;
    box.kind = DisplayKind::Rect;
    box.flags = DisplayFlag::Filled;
    box.fillColor = qRgb(255, 255, 255);
    box.w = 5000;
    box.h = 2000;
    for (const bool boxLast : { false, true }) {
        PageDisplayList page;
        if (!boxLast)
            page.items.push_back(box);
        for (const Coord y : { 0, 1000 }) {
            DisplayItem& text = page.addText(QStringLiteral("XXXX"));
            text.font = quint16(font);
            text.y = y;
            text.w = 5000;
            text.h = 1000;
        }
        if (boxLast)
            page.items.push_back(box);
        QImage image(200, 80, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PagePainter(0.04).paint(painter, page, resources, nullptr);
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        EXPECT_EQ(dark > 0, !boxLast) << "box last: " << boxLast << ", dark pixels: " << dark;
    }
}
