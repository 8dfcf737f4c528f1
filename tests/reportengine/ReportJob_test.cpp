#include "reportengine/ReportJob.h"

#include <functional>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "PdfTools.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

// A small price list: three lists, grouped by list, with totals, page N of M and a title
// formula the caller may override.
const char* const PriceList = R"RPT(<report version="1" name="RP_Prueba" title="Lista de prueba">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <formulas>
    <formula name="Titulo" type="text">'LISTA DE PRECIOS'</formula>
    <formula name="CortePorLista" type="text">'0'</formula>
  </formulas>
  <group name="Lista" by="{P.Lista}" newPageAfter="{@CortePorLista} = '-1'">
    <header height="8">
      <field x="0" y="1" width="60" height="5" expr="'Lista: ' + {P.Lista}"/>
      <summary x="100" y="1" width="40" height="5" function="count" expr="{P.Codigo}" scope="Lista" format="0 articulos"/>
    </header>
    <footer height="7">
      <text x="0" y="1" width="40" height="5">Total lista</text>
      <summary x="150" y="1" width="40" height="5" function="sum" expr="{P.Precio}" scope="Lista" align="right"/>
    </footer>
  </group>
  <pageHeader height="10"><field x="0" y="0" width="190" height="6" expr="{@Titulo}" align="center" bold="true" size="12"/></pageHeader>
  <detail height="5">
    <field name="Codigo" x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <field name="Descripcion" x="30" y="0" width="100" height="5" expr="{P.Descripcion}" canGrow="true"/>
    <field name="Precio" x="150" y="0" width="40" height="5" expr="{P.Precio}" format="#,##0.00" align="right"/>
  </detail>
  <reportFooter height="8"><summary x="150" y="1" width="40" height="5" function="sum" expr="{P.Precio}" align="right"/></reportFooter>
  <pageFooter height="8"><special x="130" y="2" width="60" height="5" kind="pageNofM" align="right"/></pageFooter>
</report>)RPT";

class RecordCapture final : public RecordSink
{
public:
    QStringList events;
    void beginRecords(const std::vector<RecordColumn>& columns) override
    {
        QStringList names;
        for (const RecordColumn& c : columns)
            names << c.name;
        events << QStringLiteral("columns ") + names.join(u',');
    }
    void groupStart(int level, const Value& key, const QString&) override
    {
        events << QStringLiteral("group %1 %2").arg(level).arg(key.toString());
    }
    void record(const std::vector<Value>& values) override
    {
        QStringList texts;
        for (const Value& v : values)
            texts << v.toString();
        events << texts.join(u',');
    }
    void groupEnd(int level, const QString&) override
    {
        events << QStringLiteral("end %1").arg(level);
    }
    void endRecords() override { events << QStringLiteral("done"); }
};

class ReportJobTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeDefinition(const QString& name, const QByteArray& xml)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        return f.fileName();
    }

    // Lists L1..L<lists>, <perList> articles each, prices 1.50, 2.50, ...
    void fillPrices(int lists, int perList, const QString& longText = QString())
    {
        QList<QList<Value>> rows;
        int n = 0;
        for (int l = 1; l <= lists; ++l) {
            for (int a = 1; a <= perList; ++a) {
                ++n;
                const QString desc = longText.isEmpty()
                    ? QStringLiteral("Articulo %1").arg(n, 5, 10, QLatin1Char('0'))
                    : longText;
                rows << QList<Value> { Value(QStringLiteral("L%1").arg(l)),
                    Value(QStringLiteral("A%1").arg(n, 5, 10, QLatin1Char('0'))), Value(desc),
                    Value(*Currency::fromString(QStringLiteral("%1.5").arg(n))) };
            }
        }
        m_data.addTable(QStringLiteral("P"),
            { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo"),
                QStringLiteral("P.Descripcion"), QStringLiteral("P.Precio") },
            rows);
    }

    ReportJobRequest request(const QString& definition, const QString& output)
    {
        ReportJobRequest r;
        r.definitionFile = definition;
        r.connection = &m_data;
        r.outputFile = output;
        r.printTime = QDateTime(QDate(2024, 5, 6), QTime(10, 30));
        r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
        return r;
    }

    QTemporaryDir m_dir;
    MemoryDataSource m_data;
    ReportJob m_job;
};

} // namespace

// Without a print time of the caller's, the print date and time are the workstation clock's, the
// one the tests pin, never the machine's own.
TEST_F(ReportJobTest, prints_the_date_and_time_of_the_workstation_clock)
{
    fillPrices(1, 1);
    const QString pdf = path(QStringLiteral("hora.pdf"));
    const char* const definition = R"RPT(<report version="1" name="RP_Hora">
  <data><table name="P"/></data>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{P.Codigo}"/></detail>
  <pageFooter height="8">
    <special x="0" y="1" width="80" height="5" kind="printTime" format="'Impreso a las' HH:mm"/>
    <special x="100" y="1" width="60" height="5" kind="printDate" format="dd/MM/yyyy"/>
  </pageFooter>
</report>)RPT";
    ReportJobRequest r = request(writeDefinition(QStringLiteral("h.rpt"), definition), pdf);
    r.printTime = QDateTime();
    testsupport::clock().set(QDateTime(QDate(2001, 2, 3), QTime(4, 5)));

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    const QString text = PdfTools::text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Impreso a las 04:05"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("03/02/2001"))) << text.toStdString();
}

TEST_F(ReportJobTest, writes_a_pdf_with_its_text_in_order_and_its_fonts_embedded)
{
    fillPrices(2, 3);
    const QString pdf = path(QStringLiteral("lista.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("l.rpt"), PriceList), pdf)))
        << m_job.errorString().toStdString();

    const QString text = PdfTools::text(pdf);
    ASSERT_FALSE(text.trimmed().isEmpty()) << "no text in the PDF: are the fonts installed?";
    const QStringList expected = { QStringLiteral("LISTA DE PRECIOS"), QStringLiteral("Lista: L1"),
        QStringLiteral("3 articulos"), QStringLiteral("A00001"), QStringLiteral("Articulo 00003"),
        QStringLiteral("3,50"), QStringLiteral("Total lista"), QStringLiteral("7,50"),
        QStringLiteral("Lista: L2"), QStringLiteral("A00004"), QStringLiteral("16,50"),
        QStringLiteral("24,00"), QStringLiteral("Página 1 de 1") };
    qsizetype at = 0;
    for (const QString& piece : expected) {
        const qsizetype found = text.indexOf(piece, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << piece.toStdString() << "\n"
                            << text.toStdString();
        if (found >= 0)
            at = found + piece.size();
    }
    EXPECT_EQ(PdfTools::pageCount(pdf), 1);
    const QString info = PdfTools::info(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Lista de prueba"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator:\\s+Rp_Tarifolio"))));
    const QString fonts = PdfTools::fonts(pdf);
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans"))) << fonts.toStdString();
    EXPECT_FALSE(
        fonts.contains(QRegularExpression(QStringLiteral("\\bno\\s+(yes|no)\\s+(yes|no)\\s+\\d"))))
        << "a font is not embedded:\n"
        << fonts.toStdString();
    EXPECT_TRUE(m_job.log().last().startsWith(QStringLiteral("SQL: SELECT P.Lista")))
        << m_job.log().join(u'\n').toStdString();
}

TEST_F(ReportJobTest, an_override_breaks_the_page_after_each_list_and_page_totals_follow)
{
    fillPrices(3, 2);
    const QString pdf = path(QStringLiteral("corte.pdf"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("l.rpt"), PriceList), pdf);
    r.formulas = { QStringLiteral("CortePorLista = '-1'"), QStringLiteral("Titulo='OFERTAS'"),
        QStringLiteral("NoExiste=1"), QString() };

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    EXPECT_EQ(PdfTools::pageCount(pdf), 3);
    const QString text = PdfTools::text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("OFERTAS")));
    EXPECT_FALSE(text.contains(QStringLiteral("LISTA DE PRECIOS")));
    const QStringList pages = text.split(u'\f');
    ASSERT_GE(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Lista: L%1").arg(i + 1)));
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Página %1 de 3").arg(i + 1)));
    }
    EXPECT_TRUE(m_job.log().join(u'\n').contains(QStringLiteral("NoExiste")))
        << m_job.log().join(u'\n').toStdString();
}

TEST_F(ReportJobTest, long_lists_run_over_pages_and_the_group_header_repeats_nothing_it_should_not)
{
    fillPrices(1, 120);
    const QString pdf = path(QStringLiteral("larga.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("l.rpt"), PriceList), pdf)));

    // The body runs from 20 mm (below the page header) to 279 mm (above the page footer):
    // 259 mm, less the group header's 8 mm on page 1, gives 50 rows there and 51 on page 2.
    EXPECT_EQ(m_job.pageCount(), 3);
    EXPECT_EQ(PdfTools::pageCount(pdf), 3);
    const QStringList pages = PdfTools::text(pdf).split(u'\f');
    EXPECT_TRUE(pages[0].contains(QStringLiteral("A00050")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("A00051")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("A00101")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("A00102")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Página 3 de 3")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("120 articulos")));
}

TEST_F(ReportJobTest, a_pdf_drawn_in_parts_on_several_threads_reads_as_one_drawn_whole)
{
    fillPrices(3, 150);
    const QString definition = writeDefinition(QStringLiteral("p.rpt"), PriceList);
    const QString whole = path(QStringLiteral("entera.pdf"));
    const QString joined = path(QStringLiteral("unida.pdf"));
    ReportJobRequest r = request(definition, whole);
    r.pdfParts = 1;
    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();
    r.outputFile = joined;
    r.pdfParts = 3;
    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    EXPECT_EQ(PdfTools::faults(joined), QString());
    EXPECT_EQ(PdfTools::pageCount(joined), m_job.pageCount());
    EXPECT_GE(m_job.pageCount(), 9);
    EXPECT_EQ(PdfTools::text(joined), PdfTools::text(whole));
    EXPECT_TRUE(PdfTools::info(joined).contains(QStringLiteral("Lista de prueba")));
}

TEST_F(ReportJobTest, selection_keeps_only_the_rows_it_admits)
{
    fillPrices(2, 3);
    const QString pdf = path(QStringLiteral("sel.pdf"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("l.rpt"), PriceList), pdf);
    r.selection = QStringLiteral("{P.Precio} > 3 And Not ({P.Codigo} in ['A00005'])");

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    const QString text = PdfTools::text(pdf);
    EXPECT_FALSE(text.contains(QStringLiteral("A00002")));
    EXPECT_TRUE(text.contains(QStringLiteral("A00003")));
    EXPECT_FALSE(text.contains(QStringLiteral("A00005")));
    EXPECT_TRUE(text.contains(QStringLiteral("A00006")));
    EXPECT_TRUE(text.contains(QStringLiteral("1 articulos")));
}

TEST_F(ReportJobTest, growing_text_wraps_and_pushes_the_next_rows_down)
{
    fillPrices(1, 2,
        QStringLiteral("Tornillo autoperforante cabeza hexagonal con arandela de "
                       "neopreno para chapa, zincado, caja por cien unidades"));
    const QString pdf = path(QStringLiteral("crece.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("l.rpt"), PriceList), pdf)));

    const QString text = PdfTools::text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Tornillo autoperforante")));
    EXPECT_TRUE(text.contains(QStringLiteral("unidades")));
    // Every line of the first description comes before the second article's code.
    EXPECT_LT(text.indexOf(QStringLiteral("unidades")), text.indexOf(QStringLiteral("A00002")));
}

TEST_F(ReportJobTest, a_saved_report_reopened_exports_the_same_text_without_the_database)
{
    fillPrices(3, 30);
    const QString definition = writeDefinition(QStringLiteral("l.rpt"), PriceList);
    const QString direct = path(QStringLiteral("directo.pdf"));
    const QString saved = path(QStringLiteral("guardado.rps"));
    const QString exported = path(QStringLiteral("exportado.pdf"));
    ASSERT_TRUE(m_job.run(request(definition, direct)));
    ReportJobRequest r = request(definition, saved);
    r.destination = ReportDestination::SavedReport;
    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();
    m_data = MemoryDataSource(); // the database is gone

    QString error;
    ASSERT_TRUE(ReportJob::savedReportToPdf(saved, exported, &error)) << error.toStdString();

    EXPECT_EQ(PdfTools::text(exported), PdfTools::text(direct));
    EXPECT_EQ(PdfTools::pageCount(exported), PdfTools::pageCount(direct));
    EXPECT_TRUE(PdfTools::info(exported).contains(QStringLiteral("Lista de prueba")));
}

TEST_F(ReportJobTest, a_file_that_is_not_a_saved_report_is_refused)
{
    struct Row
    {
        const char* name;
        QByteArray content;
        const char* message;
    };
    const Row rows[] = {
        { "texto.rps", "esto no es un informe", "no es un informe guardado" },
        { "pdf.rps", "%PDF-1.4\n%...........................", "no es un informe guardado" },
        { "cortado.rps", QByteArray("\x89RPTSAV\n", 8) + QByteArray(40, '\0'),
            "El archivo de reporte está dañado" },
    };
    for (const Row& row : rows) {
        QFile f(path(QString::fromLatin1(row.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(row.content);
        f.close();
        const QString pdf = path(QStringLiteral("salida.pdf"));
        QString error;

        EXPECT_FALSE(ReportJob::savedReportToPdf(f.fileName(), pdf, &error)) << row.name;

        EXPECT_TRUE(error.contains(QString::fromUtf8(row.message))) << error.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << row.name;
    }

    // A whole file whose first page claims more items than the file could hold.
    fillPrices(1, 3);
    const QString saved = path(QStringLiteral("contado.rps"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("l.rpt"), PriceList), saved);
    r.destination = ReportDestination::SavedReport;
    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();
    QFile f(saved);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qsizetype page = f.readAll().indexOf(QByteArray("P\0\0\0\x01", 5));
    ASSERT_GT(page, 0);
    f.seek(page + 5);
    f.write(QByteArray(4, '\xff'));
    f.close();
    QString error;
    EXPECT_FALSE(ReportJob::savedReportToPdf(saved, path(QStringLiteral("salida.pdf")), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("El archivo de reporte está dañado")))
        << error.toStdString();
}

TEST_F(ReportJobTest, a_bad_definition_fails_the_job_with_file_line_and_column)
{
    fillPrices(1, 1);
    QByteArray xml(PriceList);
    xml.replace("<detail height=\"5\">", "<detail heigth=\"5\">");
    const QString definition = writeDefinition(QStringLiteral("mala.rpt"), xml);
    const QString pdf = path(QStringLiteral("mala.pdf"));

    EXPECT_FALSE(m_job.run(request(definition, pdf)));

    EXPECT_EQ(m_job.errorString().toStdString(),
        (definition + QStringLiteral(":20:21: atributo desconocido \"heigth\" en <detail>"))
            .toStdString());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportJobTest, a_formula_that_does_not_parse_names_itself)
{
    fillPrices(1, 1);
    QByteArray xml(PriceList);
    xml.replace("'LISTA DE PRECIOS'", "'LISTA DE PRECIOS");
    const QString pdf = path(QStringLiteral("f.pdf"));

    EXPECT_FALSE(m_job.run(request(writeDefinition(QStringLiteral("f.rpt"), xml), pdf)));

    EXPECT_TRUE(m_job.errorString().contains(QStringLiteral("Titulo")))
        << m_job.errorString().toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportJobTest, the_record_stream_carries_groups_and_typed_detail_values)
{
    fillPrices(2, 2);
    RecordCapture records;
    ReportJobRequest r = request(
        writeDefinition(QStringLiteral("l.rpt"), PriceList), path(QStringLiteral("r.pdf")));
    r.records = &records;

    ASSERT_TRUE(m_job.run(r));

    EXPECT_EQ(records.events,
        QStringList({ QStringLiteral("columns Codigo,Descripcion,Precio"),
            QStringLiteral("group 0 L1"), QStringLiteral("A00001,Articulo 00001,1.5"),
            QStringLiteral("A00002,Articulo 00002,2.5"), QStringLiteral("end 0"),
            QStringLiteral("group 0 L2"), QStringLiteral("A00003,Articulo 00003,3.5"),
            QStringLiteral("A00004,Articulo 00004,4.5"), QStringLiteral("end 0"),
            QStringLiteral("done") }));
}

TEST_F(ReportJobTest, label_sheets_fill_their_cells_and_start_a_new_sheet)
{
    fillPrices(1, 7);
    const QByteArray xml = R"RPT(<report version="1" name="MA_PRE2">
  <page paper="A4" left="5" top="5" right="5" bottom="5"/>
  <data><table name="P"/></data>
  <labels columns="3" rows="2" width="66" height="40" direction="across"/>
  <detail height="40">
    <field x="2" y="2" width="60" height="5" expr="{P.Descripcion}"/>
    <field x="2" y="10" width="60" height="5" expr="{P.Precio}" format="$ #,##0.00"/>
    <qr x="40" y="15" width="20" height="20" expr="{P.Codigo}"/>
  </detail>
</report>)RPT";
    const QString pdf = path(QStringLiteral("etiquetas.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("e.rpt"), xml), pdf)))
        << m_job.errorString().toStdString();

    EXPECT_EQ(PdfTools::pageCount(pdf), 2);
    const QStringList pages = PdfTools::text(pdf).split(u'\f');
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Articulo 00006")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Articulo 00007")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("$ 1,50")));
}

TEST_F(ReportJobTest, a_subreport_prints_the_rows_linked_to_each_record)
{
    fillPrices(1, 2);
    m_data.addTable(QStringLiteral("S"),
        { QStringLiteral("S.Codigo"), QStringLiteral("S.Deposito"), QStringLiteral("S.Stock") },
        { { Value(QStringLiteral("A00001")), Value(QStringLiteral("DEP1")), Value(qint32(5)) },
            { Value(QStringLiteral("A00002")), Value(QStringLiteral("DEP1")), Value(qint32(7)) },
            { Value(QStringLiteral("A00001")), Value(QStringLiteral("DEP2")), Value(qint32(9)) } });
    const QByteArray xml = R"RPT(<report version="1" name="RP_Stock">
  <data><table name="P"/></data>
  <detail height="5">
    <field x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <subreport x="40" y="0" width="100" height="5" report="Stock" links="{P.Codigo}={S.Codigo}"/>
  </detail>
  <subreports>
    <report name="Stock">
      <data><table name="S"/></data>
      <detail height="5"><field x="0" y="0" width="60" height="5" expr="{S.Deposito} + ': ' + ToText({S.Stock}, 0)"/></detail>
    </report>
  </subreports>
</report>)RPT";
    const QString pdf = path(QStringLiteral("sub.pdf"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("s.rpt"), xml), pdf);
    r.subreports = { { QStringLiteral("stock"), QStringLiteral("{S.Stock} > 6") } };

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    const QString text = PdfTools::text(pdf);
    EXPECT_FALSE(text.contains(QStringLiteral("DEP1: 5")));
    EXPECT_TRUE(text.contains(QStringLiteral("DEP2: 9")));
    EXPECT_TRUE(text.contains(QStringLiteral("DEP1: 7")));
    EXPECT_LT(text.indexOf(QStringLiteral("DEP2: 9")), text.indexOf(QStringLiteral("A00002")));
    EXPECT_LT(text.indexOf(QStringLiteral("A00002")), text.indexOf(QStringLiteral("DEP1: 7")));
}

TEST_F(ReportJobTest, rows_grouped_by_a_formula_are_ordered_by_the_engine)
{
    m_data.addTable(QStringLiteral("P"), { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo") },
        { { Value(QStringLiteral("l2")), Value(QStringLiteral("B1")) },
            { Value(QStringLiteral("L1")), Value(QStringLiteral("A2")) },
            { Value(QStringLiteral("L2")), Value(QStringLiteral("B2")) },
            { Value(QStringLiteral("l1")), Value(QStringLiteral("A1")) } });
    const QByteArray xml = R"RPT(<report version="1" name="RP_Orden">
  <data><table name="P"/></data>
  <formulas><formula name="Lista">UpperCase({P.Lista})</formula></formulas>
  <sort><by field="{P.Codigo}"/></sort>
  <group name="G" by="{@Lista}">
    <header height="6"><field x="0" y="0" width="40" height="5" expr="'Grupo ' + {@Lista}"/></header>
    <footer height="6"><field x="0" y="0" width="40" height="5" expr="'Fin ' + {@Lista}"/></footer>
  </group>
  <detail height="5"><field x="10" y="0" width="30" height="5" expr="{P.Codigo}"/></detail>
</report>)RPT";
    const QString pdf = path(QStringLiteral("orden.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("o.rpt"), xml), pdf)))
        << m_job.errorString().toStdString();

    QString text = PdfTools::text(pdf).simplified();
    EXPECT_EQ(text, QStringLiteral("Grupo L1 A1 A2 Fin L1 Grupo L2 B1 B2 Fin L2"));
    EXPECT_TRUE(m_job.log().join(u'\n').contains(QStringLiteral("Orden hecho en el informe")));
}

// Column switches of a list: formulas that only read the caller's overrides are worked out once
// for the run, those that read the record on every row; a column hidden for the whole run is
// left out of the record stream, one hidden on some rows keeps its place.
const char* const Switches = R"RPT(<report version="1" name="RP_Columnas">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <formulas>
    <formula name="OcultarColumnas" type="text">''</formula>
    <formula name="Ve2">InStr(' ' + {@OcultarColumnas}, ' 2 - ') = 0</formula>
    <formula name="Col">If {@Ve2} Then 2 Else 1</formula>
    <formula name="Valor">If {@Col} = 2 Then {P.Precio} * 2 Else {P.Precio}</formula>
    <formula name="Repetido">{P.Codigo} = 'A00002'</formula>
    <formula name="Caro">{@Valor} &gt; 7</formula>
  </formulas>
  <detail height="5" suppress="{@Repetido}">
    <field name="Codigo" x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <field name="Valor" x="40" y="0" width="40" height="5" expr="'V=' + ToText({@Valor}, 2)"/>
    <field name="Doble" x="90" y="0" width="40" height="5" expr="'D=' + ToText({P.Precio} * 2, 2)" suppress="Not {@Ve2}"/>
    <field name="Marca" x="140" y="0" width="30" height="5" expr="'caro'" suppress="Not {@Caro}"/>
  </detail>
</report>)RPT";

TEST_F(ReportJobTest, column_switches_hold_for_the_run_and_row_formulas_follow_each_row)
{
    const struct
    {
        const char* ocultar;
        QStringList lines; // the detail rows, as pdftotext joins their words
        QString records; // the printed rows' records
    } cases[] = {
        { "''",
            { QStringLiteral("A00001 V=3,00 D=3,00"), QStringLiteral("A00003 V=7,00 D=7,00"),
                QStringLiteral("A00004 V=9,00 D=9,00 caro") },
            QStringLiteral("A00001,V=3,00,D=3,00,caro|A00003,V=7,00,D=7,00,caro|"
                           "A00004,V=9,00,D=9,00,caro") },
        // Column 2 hidden: the value falls back to the plain price and the doubled column goes.
        { "'2 - '",
            { QStringLiteral("A00001 V=1,50"), QStringLiteral("A00003 V=3,50"),
                QStringLiteral("A00004 V=4,50") },
            QStringLiteral("A00001,V=1,50,caro|A00003,V=3,50,caro|A00004,V=4,50,caro") },
    };
    fillPrices(1, 4);
    const QString definition = writeDefinition(QStringLiteral("c.rpt"), Switches);
    for (const auto& c : cases) {
        RecordCapture records;
        const QString pdf = path(QStringLiteral("c.pdf"));
        ReportJobRequest r = request(definition, pdf);
        r.formulas = { QStringLiteral("OcultarColumnas=") + QString::fromLatin1(c.ocultar) };
        r.records = &records;

        ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

        const QString text = PdfTools::text(pdf).simplified();
        EXPECT_TRUE(text.contains(c.lines.join(u' '))) << c.ocultar << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("A00002"))) << c.ocultar;
        const QStringList printed
            = records.events.filter(QRegularExpression(QStringLiteral("^A0")));
        EXPECT_EQ(printed.join(u'|'), c.records) << c.ocultar;
    }
}

TEST_F(ReportJobTest, a_formula_that_uses_itself_or_a_missing_one_fails_with_its_name)
{
    const struct
    {
        const char* formula;
        const char* message;
    } cases[] = {
        { "{@B} + 1", "La fórmula «B» se usa a sí misma" },
        { "{@Falta} + 1", "No existe la fórmula «Falta»" },
        // A fixed formula that fails is left to fail where the record reaches it, as itself.
        { "1 / 0", "División por cero (Fórmula A)" },
    };
    fillPrices(1, 1);
    for (const auto& c : cases) {
        const QByteArray xml = QByteArray(R"RPT(<report version="1" name="RP_Ciclo">
  <data><table name="P"/></data>
  <formulas>
    <formula name="A">)RPT")
            + c.formula + R"RPT(</formula>
    <formula name="B">{@A} * {P.Precio}</formula>
  </formulas>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{@B}"/></detail>
</report>)RPT";
        const ReportJobRequest r
            = request(writeDefinition(QStringLiteral("a.rpt"), xml), path(QStringLiteral("a.pdf")));

        EXPECT_FALSE(m_job.run(r)) << c.formula;

        EXPECT_TRUE(m_job.errorString().contains(QString::fromUtf8(c.message)))
            << c.formula << ": " << m_job.errorString().toStdString();
    }
}

namespace {

// Records of two sections (the article, then its margin line), a list header repeated on the
// pages it continues, page numbers that may restart for each list. The body holds 259 mm: the
// list header's 8 mm and 27 records of 9 mm leave 8 mm, too little for a whole record.
const char* const Layout = R"RPT(<report version="1" name="RP_Armado" title="Armado">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <formulas>
    <formula name="CortePorLista" type="text">'0'</formula>
  </formulas>
  <group name="Lista" by="{P.Lista}" newPageAfter="{@CortePorLista} = '-1'" repeatHeader="true"
         restartPageNumbers="{@CortePorLista} = '-1'">
    <header height="8">
      <field x="0" y="1" width="40" height="5" expr="'Lista: ' + {P.Lista}"/>
      <special x="40" y="1" width="40" height="5" kind="continued"/>
    </header>
  </group>
  <pageHeader height="10">
    <text x="0" y="0" width="30" height="10" valign="bottom">Código</text>
    <text x="150" y="0" width="20" height="10" valign="bottom" align="right" canGrow="true">Precio</text>
  </pageHeader>
  <detail height="5">
    <field x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <field x="30" y="0" width="45" height="5" expr="{P.Descripcion}"/>
    <field x="150" y="0" width="20" height="5" expr="{P.Precio}" format="#,##0.00" align="right"/>
  </detail>
  <detail height="4">
    <field x="150" y="0" width="30" height="4" expr="'margen ' + {P.Codigo}" align="right"/>
  </detail>
  <pageFooter height="8"><special x="130" y="2" width="60" height="5" kind="pageNofM" align="right"/></pageFooter>
</report>)RPT";

} // namespace

TEST_F(ReportJobTest, a_record_whose_sections_do_not_fit_starts_the_next_page_whole)
{
    fillPrices(1, 30);
    const QString pdf = path(QStringLiteral("junto.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("a.rpt"), Layout), pdf)));

    const QStringList pages = PdfTools::text(pdf).split(u'\f');
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("margen A00027")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("A00028"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(QStringLiteral("margen A00028")));
}

TEST_F(ReportJobTest, a_repeated_group_header_says_the_group_continues_only_where_it_does)
{
    fillPrices(1, 60);
    const QString pdf = path(QStringLiteral("sigue.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("a.rpt"), Layout), pdf)));

    const QStringList pages = PdfTools::text(pdf).split(u'\f');
    ASSERT_GE(pages.size(), 3);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("continuación")));
    for (int i = 1; i < 3; ++i)
        EXPECT_TRUE(pages[i].contains(
            QRegularExpression(QStringLiteral("Lista: L1\\s+\\(continuación\\)"))))
            << pages[i].toStdString();
}

TEST_F(ReportJobTest, each_list_on_its_own_pages_is_numbered_on_its_own)
{
    fillPrices(2, 40);
    const QString pdf = path(QStringLiteral("numeros.pdf"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("a.rpt"), Layout), pdf);
    r.formulas = { QStringLiteral("CortePorLista = '-1'") };

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    EXPECT_EQ(PdfTools::pageCount(pdf), 4);
    const QStringList pages = PdfTools::text(pdf).split(u'\f');
    ASSERT_GE(pages.size(), 4);
    const char* const expected[]
        = { "Página 1 de 2", "Página 2 de 2", "Página 1 de 2", "Página 2 de 2" };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(pages[i].contains(QString::fromUtf8(expected[i]))) << pages[i].toStdString();
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Lista: L2")));
}

TEST_F(ReportJobTest, no_digit_and_no_half_word_is_lost_to_a_narrow_field)
{
    const QString description = QStringLiteral("Tornillo autoperforante cabeza hexagonal zincado");
    m_data.addTable(QStringLiteral("P"),
        { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo"), QStringLiteral("P.Descripcion"),
            QStringLiteral("P.Precio") },
        { { Value(QStringLiteral("L1")), Value(QStringLiteral("A1")), Value(description),
              Value(*Currency::fromString(QStringLiteral("999999999.99"))) },
            { Value(QStringLiteral("L1")), Value(QStringLiteral("A2")),
                Value(QStringLiteral("Arandela")),
                Value(*Currency::fromString(QStringLiteral("1234567.89"))) } });
    const QString pdf = path(QStringLiteral("angosto.pdf"));

    ASSERT_TRUE(m_job.run(request(writeDefinition(QStringLiteral("a.rpt"), Layout), pdf)));

    const QString text = PdfTools::text(pdf);
    // Too wide for 20 mm at 9 points: marks across the field, never the last digits alone.
    EXPECT_TRUE(text.contains(QStringLiteral("#########"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("99,99"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1.234.567,89")));
    const QRegularExpressionMatch printed = QRegularExpression(
        QStringLiteral("A1\\s+(\\S.*?)(\\s{2,}|$)"), QRegularExpression::MultilineOption)
                                                .match(text);
    ASSERT_TRUE(printed.hasMatch()) << text.toStdString();
    const QString shown = printed.captured(1);
    EXPECT_LT(shown.size(), description.size());
    EXPECT_TRUE(description.startsWith(shown + u' ')) << shown.toStdString();
    // The captions stand on one line, a growing one included.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Código\\s+Precio"))));
}

TEST_F(ReportJobTest, a_report_with_no_records_says_so_under_its_header)
{
    fillPrices(1, 3);
    const QString pdf = path(QStringLiteral("vacio.pdf"));
    ReportJobRequest r = request(writeDefinition(QStringLiteral("a.rpt"), Layout), pdf);
    r.selection = QStringLiteral("{P.Codigo} = 'ninguno'");

    ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

    EXPECT_EQ(PdfTools::pageCount(pdf), 1);
    const QString text = PdfTools::text(pdf);
    EXPECT_TRUE(text.contains(QRegularExpression(
        QStringLiteral("Código[^\\n]*\\n(.*\\n)*.*No hay datos para los criterios elegidos"))))
        << text.toStdString();
}

// A field's formula may do anything with the page count: each page shows what the formula gives
// for the count of its numbering, never the stand-in the layout runs with. The built-in
// "page n of m" on the same footer tells the page and the count to expect.
TEST_F(ReportJobTest, a_formula_reading_the_page_count_prints_its_value_on_every_page)
{
    const char* const definition = R"RPT(<report version="1" name="RP_Paginas">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <data><table name="P"/></data>
  <formulas>
    <formula name="Corte" type="number">0</formula>
    <formula name="Faltan">TotalPageCount - PageNumber</formula>
  </formulas>
  <group name="Lista" by="{P.Lista}" newPageAfter="{@Corte} = 1" restartPageNumbers="{@Corte} = 1"/>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{P.Codigo}"/></detail>
  <pageFooter height="12">
    <special x="0" y="0" width="60" height="5" kind="pageNofM"/>
    <field x="0" y="6" width="100" height="5" expr="%1"/>
  </pageFooter>
</report>)RPT";
    const struct
    {
        const char* formula;
        std::function<QString(int, int)> expected; // for page p of n
    } shapes[] = {
        { "ToText(PageNumber,0) &amp; ' de ' &amp; ToText(TotalPageCount,0)",
            [](int p, int n) { return QStringLiteral("%1 de %2").arg(p).arg(n); } },
        { "If TotalPageCount &gt; 1 Then 'varias' Else 'una'",
            [](int, int n) { return QString::fromLatin1(n > 1 ? "varias" : "una"); } },
        { "TotalPageCount - PageNumber", [](int p, int n) { return QString::number(n - p); } },
        // Through a formula of the definition's own.
        { "{@Faltan}", [](int p, int n) { return QString::number(n - p); } },
    };
    const struct
    {
        const char* name;
        std::vector<int> rowsPerList;
        bool eachListNumbered;
        int pages;
    } reports[] = {
        { "one page", { 3 }, false, 1 },
        { "long", { 150 }, false, 3 },
        { "each list numbered on its own", { 120, 10 }, true, 4 },
    };
    for (const auto& report : reports) {
        QList<QList<Value>> rows;
        for (std::size_t l = 0; l < report.rowsPerList.size(); ++l) {
            for (int a = 1; a <= report.rowsPerList[l]; ++a)
                rows << QList<Value> { Value(QStringLiteral("L%1").arg(l)),
                    Value(QStringLiteral("A%1-%2").arg(l).arg(a, 5, 10, QLatin1Char('0'))) };
        }
        m_data.addTable(
            QStringLiteral("P"), { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo") }, rows);
        for (const auto& shape : shapes) {
            SCOPED_TRACE(std::string(report.name) + ": " + shape.formula);
            const QString pdf = path(QStringLiteral("paginas.pdf"));
            ReportJobRequest r = request(writeDefinition(QStringLiteral("p.rpt"),
                                             QByteArray(definition).replace("%1", shape.formula)),
                pdf);
            if (report.eachListNumbered)
                r.formulas = { QStringLiteral("Corte = 1") };

            ASSERT_TRUE(m_job.run(r)) << m_job.errorString().toStdString();

            QStringList pages = PdfTools::text(pdf).split(u'\f');
            pages.removeAll(QString());
            ASSERT_EQ(pages.size(), report.pages);
            static const QRegularExpression nOfM(QStringLiteral("Página (\\d+) de (\\d+)"));
            for (const QString& page : pages) {
                const QRegularExpressionMatch m = nOfM.match(page);
                ASSERT_TRUE(m.hasMatch()) << page.toStdString();
                const QStringList lines = page.trimmed().split(u'\n');
                EXPECT_EQ(lines.last().trimmed(),
                    shape.expected(m.captured(1).toInt(), m.captured(2).toInt()))
                    << page.toStdString();
            }
        }
    }
}
