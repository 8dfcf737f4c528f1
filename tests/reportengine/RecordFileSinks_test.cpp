#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "reportengine/XlsxTools.h"
#include "ZipTools.h"
#include "reportengine/CsvSink.h"
#include "reportengine/ReportJob.h"
#include "reportengine/XlsxSink.h"

namespace {

// Grouped by list, each list's count below it; the detail has a text, a money amount with its
// pattern, a date and a count.
const char* const Definition = R"RPT(<report version="1" name="RP_Datos" title="Datos">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <group name="Lista" by="{P.Lista}">
    <header height="6"><field x="0" y="0" width="60" height="5" expr="{P.Lista}"/></header>
    <footer height="5">
      <summary x="0" y="0" width="18" height="4" function="count" expr="{P.Codigo}" scope="Lista"/>
      <text x="20" y="0" width="40" height="4">artículos</text>
    </footer>
  </group>
  <detail height="5">
    <field name="Codigo" x="0" y="0" width="30" height="5" expr="{P.Codigo}"/>
    <field name="Precio" x="40" y="0" width="30" height="5" expr="{P.Precio}" format="#,##0.00" align="right"/>
    <field name="Alta" x="80" y="0" width="30" height="5" expr="{P.Alta}" format="dd/MM/yyyy"/>
    <field name="Stock" x="120" y="0" width="20" height="5" expr="{P.Stock}"/>
  </detail>
</report>)RPT";

class RecordFileSinksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile f(path(QStringLiteral("datos.rpt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Definition);
        m_data.addTable(QStringLiteral("P"),
            { QStringLiteral("P.Lista"), QStringLiteral("P.Codigo"), QStringLiteral("P.Precio"),
                QStringLiteral("P.Alta"), QStringLiteral("P.Stock") },
            { { Value(u"L1"), Value(u"A;1"), Value(*Currency::fromString(u"1234.5")),
                  Value(QDate(2024, 5, 6)), Value(qint32(7)) },
                { Value(u"L1"), Value(u"Tornillo \"6\""), Value(*Currency::fromString(u"0.25")),
                    Value(QDate(2023, 12, 31)), Value::null() },
                // A line feed inside a field, a date with its time of day.
                { Value(u"L2"), Value(u"Clavo\nlargo"), Value(*Currency::fromString(u"10")),
                    Value(QDateTime(QDate(2024, 1, 2), QTime(18, 0))), Value(qint32(-3)) } });
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    ReportJobRequest request(PageSink& pages, RecordSink& records)
    {
        ReportJobRequest r;
        r.definitionFile = path(QStringLiteral("datos.rpt"));
        r.connection = &m_data;
        r.destination = ReportDestination::Sink;
        r.sink = &pages;
        r.records = &records;
        r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
        return r;
    }

    bool run(RecordFileSink& records)
    {
        NullPageSink pages(&records);
        const bool ok = m_job.run(request(pages, records));
        EXPECT_TRUE(ok) << m_job.errorString().toStdString();
        return records.close() && ok;
    }

    QTemporaryDir m_dir;
    MemoryDataSource m_data;
    ReportJob m_job;
};

using XlsxTools::readSheet;
using XlsxTools::SheetCells;

} // namespace

TEST_F(RecordFileSinksTest, xlsx_holds_typed_cells_with_formats_a_header_and_outlined_groups)
{
    const QString file = path(QStringLiteral("datos.xlsx"));
    XlsxSink sink(file, QStringLiteral("RP_Datos"));
    ASSERT_TRUE(run(sink)) << sink.errorString().toStdString();
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".part")));

    const SheetCells sheet = readSheet(file);
    const QStringList expected = { QStringLiteral("A1=Codigo"), QStringLiteral("B1=Precio"),
        QStringLiteral("C1=Alta"), QStringLiteral("D1=Stock"), QStringLiteral("A2=L1"),
        QStringLiteral("A3=A;1"), QStringLiteral("B3=1234.5 [#,##0.00]"),
        QStringLiteral("C3=45418 [dd/mm/yyyy]"), QStringLiteral("D3=7"),
        QStringLiteral("A4=Tornillo \"6\""), QStringLiteral("B4=0.25 [#,##0.00]"),
        QStringLiteral("C4=45291 [dd/mm/yyyy]"), QStringLiteral("A5=2 artículos"),
        QStringLiteral("A6=L2"), QStringLiteral("A7=Clavo\nlargo"),
        QStringLiteral("B7=10 [#,##0.00]"), QStringLiteral("C7=45293.75 [dd/mm/yyyy]"),
        QStringLiteral("D7=-3"), QStringLiteral("A8=1 artículos") };
    EXPECT_EQ(sheet.cells, expected);
    // A list's count folds away with its articles, under the list's own row.
    EXPECT_EQ(sheet.rows,
        (QStringList { QStringLiteral("1:0"), QStringLiteral("2:0"), QStringLiteral("3:1"),
            QStringLiteral("4:1"), QStringLiteral("5:1"), QStringLiteral("6:0"),
            QStringLiteral("7:1"), QStringLiteral("8:1") }));
}

TEST_F(RecordFileSinksTest, csv_has_the_records_in_order_quoted_with_decimal_commas)
{
    const QString file = path(QStringLiteral("datos.csv"));
    CsvSink sink(file, QLocale(QLocale::Spanish, QLocale::Argentina));
    ASSERT_TRUE(run(sink)) << sink.errorString().toStdString();

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
        QByteArray("\xEF\xBB\xBF"
                   "Codigo;Precio;Alta;Stock\r\n"
                   "\"A;1\";1234,50;06/05/2024;7\r\n"
                   "\"Tornillo \"\"6\"\"\";0,25;31/12/2023;\r\n"
                   "\"Clavo\nlargo\";10,00;02/01/2024 18:00:00;-3\r\n"));
}

// Accents and signs in UTF-8 (two, three and four bytes), amounts and quantities as the
// locale writes them, a separator inside a text quoted.
TEST_F(RecordFileSinksTest, csv_writes_each_kind_of_value_as_its_text)
{
    const QString file = path(QStringLiteral("valores.csv"));
    CsvSink sink(file, QLocale(QLocale::Spanish, QLocale::Argentina));
    sink.beginRecords({ { QStringLiteral("Artículo"), {}, HAlign::Left } });

    sink.record({ Value(u"Ñandú €"), Value(QStringLiteral("Taza \U0001F600")),
        Value(u"Pala; ancha"), Value(Currency::fromRaw(-25)), Value(Currency::fromRaw(120000)),
        Value(87.0), Value(-2.5), Value(qint64(-9007)), Value(qint16(3)), Value::null() });

    ASSERT_TRUE(sink.close()) << sink.errorString().toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
        QByteArray("\xEF\xBB\xBF"
                   "Artículo\r\n"
                   "Ñandú €;Taza \xF0\x9F\x98\x80;\"Pala; ancha\";-0,0025;12;87,000000;"
                   "-2,500000;-9007;3;\r\n"));
}

// Longer than the sink's buffer: every line once, in order, across the flushes.
TEST_F(RecordFileSinksTest, csv_longer_than_its_buffer_has_each_line_once)
{
    const QString file = path(QStringLiteral("largo.csv"));
    CsvSink sink(file, QLocale(QLocale::Spanish, QLocale::Argentina));
    sink.beginRecords({ { QStringLiteral("Código"), {}, HAlign::Left },
        { QStringLiteral("Descripción"), {}, HAlign::Left },
        { QStringLiteral("Precio"), QStringLiteral("#,##0.00"), HAlign::Right } });
    QByteArray expected = "\xEF\xBB\xBF"
                          "Código;Descripción;Precio\r\n";

    for (int i = 0; i < 5000; ++i) {
        const QString code = QStringLiteral("A%1").arg(i, 5, 10, QLatin1Char('0'));
        sink.record({ Value(code), Value(QStringLiteral("Artículo de ferretería número %1").arg(i)),
            Value(Currency::fromRaw(qint64(i) * 1000)) });
        expected += QStringLiteral("%1;Artículo de ferretería número %2;%3,%4\r\n")
                        .arg(code)
                        .arg(i)
                        .arg(i / 10)
                        .arg(i % 10 * 10, 2, 10, QLatin1Char('0'))
                        .toUtf8();
    }
    ASSERT_TRUE(sink.close()) << sink.errorString().toStdString();

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_GT(expected.size(), 3 * (1 << 16));
    EXPECT_EQ(f.readAll(), expected);
}

// A list longer than a sheet goes on in the next sheets, each with the header row.
TEST_F(RecordFileSinksTest, xlsx_goes_on_in_a_new_sheet_with_the_headers_when_one_is_full)
{
    const QString file = path(QStringLiteral("hojas.xlsx"));
    XlsxSink sink(file, QStringLiteral("Lista"), 4);
    sink.beginRecords({ { QStringLiteral("Código"), {}, HAlign::Left },
        { QStringLiteral("Precio"), QStringLiteral("#,##0.00"), HAlign::Right } });

    for (int i = 1; i <= 7; ++i)
        sink.record({ Value(QStringLiteral("A%1").arg(i)), Value(Currency::fromInteger(i)) });
    ASSERT_TRUE(sink.close()) << sink.errorString().toStdString();

    const QStringList workbook
        = QString::fromUtf8(ZipTools::member(file, QStringLiteral("xl/workbook.xml"))).split(u'<');
    EXPECT_EQ(workbook.filter(QStringLiteral("sheet name=")).join(u'<'),
        QStringLiteral("sheet name=\"Lista\" sheetId=\"1\" r:id=\"rId1\"/>"
                       "<sheet name=\"Lista (2)\" sheetId=\"2\" r:id=\"rId2\"/>"
                       "<sheet name=\"Lista (3)\" sheetId=\"3\" r:id=\"rId3\"/>"));
    const QString format = QStringLiteral(" [#,##0.00]");
    EXPECT_EQ(readSheet(file, 1).cells,
        (QStringList { QStringLiteral("A1=Código"), QStringLiteral("B1=Precio"),
            QStringLiteral("A2=A1"), QStringLiteral("B2=1") + format, QStringLiteral("A3=A2"),
            QStringLiteral("B3=2") + format, QStringLiteral("A4=A3"),
            QStringLiteral("B4=3") + format }));
    EXPECT_EQ(readSheet(file, 2).cells.mid(0, 4),
        (QStringList { QStringLiteral("A1=Código"), QStringLiteral("B1=Precio"),
            QStringLiteral("A2=A4"), QStringLiteral("B2=4") + format }));
    EXPECT_EQ(readSheet(file, 3).cells,
        (QStringList { QStringLiteral("A1=Código"), QStringLiteral("B1=Precio"),
            QStringLiteral("A2=A7"), QStringLiteral("B2=7") + format }));
}

TEST_F(RecordFileSinksTest, an_unwritable_file_fails_the_job_and_leaves_nothing)
{
    const QString missingFolder = path(QStringLiteral("no/existe/datos"));
    XlsxSink xlsx(missingFolder + QStringLiteral(".xlsx"), QString());
    EXPECT_FALSE(xlsx.close());
    EXPECT_FALSE(xlsx.errorString().isEmpty());

    CsvSink csv(missingFolder + QStringLiteral(".csv"));
    NullPageSink pages(&csv);
    EXPECT_FALSE(m_job.run(request(pages, csv)));
    EXPECT_TRUE(m_job.errorString().contains(QStringLiteral("No se pudo crear el archivo")))
        << m_job.errorString().toStdString();
    EXPECT_FALSE(csv.close());
    EXPECT_FALSE(QFile::exists(missingFolder + QStringLiteral(".csv")));
}

TEST(XlsxNumberFormat, patterns_become_spreadsheet_codes)
{
    const struct
    {
        const char* pattern;
        const char* code;
    } cases[] = {
        { "", "" },
        { "#,##0.00", "#,##0.00" },
        { "$ #,##0.00", "$ #,##0.00" },
        { "0 %", "0 \\%" },
        { "dd/MM/yyyy", "dd/mm/yyyy" },
        { "dd/MM/yyyy HH:mm", "dd/mm/yyyy hh:mm" },
        { "hh:mm AP", "hh:mm AM/PM" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(XlsxSink::numberFormat(QString::fromUtf8(c.pattern)), QString::fromUtf8(c.code))
            << c.pattern;
}

namespace {

// Pages counted and dropped: the engine lays the report out as for a printed output.
class CountedPages final : public PageSink
{
public:
    bool begin(const DocumentInfo&) override { return true; }
    bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
    {
        ++pages;
        return true;
    }
    bool finish(const DeferredValues&) override { return true; }
    bool wantsResolvedPages() const override { return false; }
    int pages = 0;
};

// Two lists of three sections each, every fourth article hidden; enough rows for many pages.
QList<QList<Value>> groupedArticles()
{
    QList<QList<Value>> rows;
    for (int n = 1; n <= 90; ++n) {
        rows << QList<Value> { Value(n <= 45 ? QStringLiteral("L1") : QStringLiteral("l2")),
            Value(QStringLiteral("R%1").arg((n - 1) / 15 % 3 + 1)),
            Value(QStringLiteral("A%1").arg(n, 3, 10, QLatin1Char('0'))),
            Value(*Currency::fromString(QStringLiteral("%1.25").arg(n))),
            Value(QDate(2024, 1, 1).addDays(n)), Value(n % 4 == 0) };
    }
    return rows;
}

// The table "Q" of those articles, as the grouped definitions read it.
void addGroupedArticles(MemoryDataSource& data)
{
    data.addTable(QStringLiteral("Q"),
        { QStringLiteral("Q.Lista"), QStringLiteral("Q.Rubro"), QStringLiteral("Q.Codigo"),
            QStringLiteral("Q.Precio"), QStringLiteral("Q.Alta"), QStringLiteral("Q.Oculto") },
        groupedArticles());
}

const char* const GroupedHead = R"RPT(<report version="1" name="RP_Grupos">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="Q"/></data>
  <formulas>
    <formula name="ListaMayus">UpperCase({Q.Lista})</formula>
    <formula name="Doble">{Q.Precio} * 2</formula>
  </formulas>
)RPT";

} // namespace

// The data-only outputs skip the layout; what they write must not change for it, whatever the
// definition does with groups, hidden sections, totals and numbering. A report whose record
// values read the page is still laid out.
TEST(RecordsOnly, writes_the_same_cells_as_the_laid_out_report)
{
    const struct
    {
        const char* name;
        const char* body;
        bool laidOut; // the records-only run still lays out pages
    } cases[] = {
        { "two group levels, hidden details, totals and numbering", R"RPT(
  <group name="Lista" by="{Q.Lista}" newPageAfter="True" repeatHeader="true">
    <header height="8"><field x="0" y="0" width="60" height="5" expr="{Q.Lista}"/>
      <summary x="100" y="0" width="40" height="5" function="count" expr="{Q.Codigo}" scope="Lista"/></header>
    <footer height="6"><summary x="100" y="0" width="40" height="5" function="sum" expr="{Q.Precio}" scope="Lista"/></footer>
  </group>
  <group name="Rubro" by="{Q.Rubro}" keepTogether="true">
    <header height="6"><field x="0" y="0" width="60" height="5" expr="{Q.Rubro}"/></header>
  </group>
  <pageHeader height="10"><special x="0" y="0" width="60" height="5" kind="pageNofM"/></pageHeader>
  <detail height="12" suppress="{Q.Oculto}">
    <field name="Codigo" x="0" y="0" width="30" height="5" expr="{Q.Codigo}"/>
    <field name="Precio" x="40" y="0" width="30" height="5" expr="{Q.Precio}" format="#,##0.00"/>
    <field name="Alta" x="80" y="0" width="30" height="5" expr="{Q.Alta}" format="dd/MM/yyyy"/>
    <field name="Acumulado" x="120" y="0" width="30" height="5" expr="Sum({Q.Precio}, {Q.Lista})" format="#,##0.00"/>
    <field name="Registro" x="0" y="6" width="20" height="5" expr="RecordNumber"/>
    <field name="Grupo" x="30" y="6" width="20" height="5" expr="GroupNumber" suppress="True"/>
  </detail>
  <detail height="5"><field name="Doble" x="0" y="0" width="30" height="5" expr="{@Doble}"/></detail>
  <pageFooter height="8"><field x="0" y="0" width="60" height="5" expr="'Hoja ' + ToText(PageNumber, 0)"/></pageFooter>
</report>)RPT",
            false },
        { "grouped by a formula, ordered and selected by the engine", R"RPT(
  <selection>{Q.Precio} &gt; 20 And Not {Q.Oculto}</selection>
  <sort><by field="{Q.Codigo}" order="desc"/></sort>
  <group name="G" by="{@ListaMayus}">
    <header height="6"><field x="0" y="0" width="40" height="5" expr="{@ListaMayus}"/></header>
  </group>
  <detail height="30"><field name="Codigo" x="0" y="0" width="30" height="5" expr="{Q.Codigo}"/>
    <field name="Total" x="40" y="0" width="30" height="5" expr="Count({Q.Codigo}, {@ListaMayus})"/></detail>
</report>)RPT",
            false },
        { "a label sheet", R"RPT(
  <labels columns="3" rows="4" width="66" height="40" direction="across"/>
  <detail height="40"><field name="Codigo" x="2" y="2" width="60" height="5" expr="{Q.Codigo}"/>
    <field name="Precio" x="2" y="10" width="60" height="5" expr="{@Doble}" format="$ #,##0.00"/></detail>
</report>)RPT",
            false },
        { "a page number among the record values", R"RPT(
  <group name="Lista" by="{Q.Lista}"><header height="6"><field x="0" y="0" width="40" height="5" expr="{Q.Lista}"/></header></group>
  <detail height="20" suppress="{Q.Oculto}"><field name="Codigo" x="0" y="0" width="30" height="5" expr="{Q.Codigo}"/>
    <field name="Hoja" x="40" y="0" width="30" height="5" expr="If PageNumber &gt; 1 Then 'siguientes' Else 'primera'"/></detail>
</report>)RPT",
            true },
    };

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MemoryDataSource data;
    addGroupedArticles(data);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString definition = dir.filePath(QStringLiteral("grupos.rpt"));
        {
            QFile f(definition);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(GroupedHead) + c.body);
        }
        // Runs the definition into both record files; `pages` null for the data-only run.
        const auto run = [&](const QString& stem, CountedPages* pages, int* pageCount) {
            for (const bool xlsx : { true, false }) {
                const QString file = dir.filePath(
                    stem + (xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv")));
                std::unique_ptr<RecordFileSink> records;
                if (xlsx)
                    records = std::make_unique<XlsxSink>(file, QStringLiteral("Grupos"));
                else
                    records = std::make_unique<CsvSink>(
                        file, QLocale(QLocale::Spanish, QLocale::Argentina));
                NullPageSink discard(records.get());
                ReportJobRequest r;
                r.definitionFile = definition;
                r.connection = &data;
                r.destination = ReportDestination::Sink;
                r.sink = pages ? static_cast<PageSink*>(pages) : &discard;
                r.records = records.get();
                r.printTime = QDateTime(QDate(2024, 3, 15), QTime(10, 30));
                r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
                ReportJob job;
                EXPECT_TRUE(job.run(r)) << job.errorString().toStdString();
                EXPECT_TRUE(records->close()) << records->errorString().toStdString();
                *pageCount = job.pageCount();
            }
        };
        CountedPages printed;
        int laidOutPages = 0;
        int dataOnlyPages = 0;
        run(QStringLiteral("impreso"), &printed, &laidOutPages);
        run(QStringLiteral("datos"), nullptr, &dataOnlyPages);

        EXPECT_GT(laidOutPages, 2);
        EXPECT_EQ(dataOnlyPages, c.laidOut ? laidOutPages : 0);
        const SheetCells before = readSheet(dir.filePath(QStringLiteral("impreso.xlsx")));
        const SheetCells after = readSheet(dir.filePath(QStringLiteral("datos.xlsx")));
        EXPECT_GT(before.cells.size(), 60);
        EXPECT_EQ(after.cells, before.cells);
        EXPECT_EQ(after.rows, before.rows);
        QFile printedCsv(dir.filePath(QStringLiteral("impreso.csv")));
        QFile dataCsv(dir.filePath(QStringLiteral("datos.csv")));
        ASSERT_TRUE(printedCsv.open(QIODevice::ReadOnly));
        ASSERT_TRUE(dataCsv.open(QIODevice::ReadOnly));
        EXPECT_EQ(dataCsv.readAll(), printedCsv.readAll());
    }
}

// A record whose detail sections are all hidden is not printed, so the data files leave it out
// instead of writing an empty row; one still partly printed keeps the values of what shows.
TEST(RecordsOnly, records_hidden_in_print_are_left_out_of_the_data_files)
{
    const struct
    {
        const char* name;
        const char* details;
        int lines; // header included
        const char* fourth; // the line of article A004, hidden in the first section
    } cases[] = {
        { "every section hidden",
            R"(<detail height="5" suppress="{Q.Oculto}"><field name="Codigo" x="0" y="0" width="30" height="5" expr="{Q.Codigo}"/>
               <field name="Doble" x="40" y="0" width="30" height="5" expr="{@Doble}"/></detail>)",
            1 + 90 - 22, nullptr },
        { "the second section still shown",
            R"(<detail height="5" suppress="{Q.Oculto}"><field name="Codigo" x="0" y="0" width="30" height="5" expr="{Q.Codigo}"/></detail>
               <detail height="5"><field name="Doble" x="40" y="0" width="30" height="5" expr="{@Doble}"/></detail>)",
            1 + 90, ";8,5" },
    };

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MemoryDataSource data;
    addGroupedArticles(data);
    for (const auto& c : cases) {
        for (const bool dataOnly : { true, false }) {
            SCOPED_TRACE(std::string(c.name) + (dataOnly ? " (data only)" : " (laid out)"));
            const QString definition = dir.filePath(QStringLiteral("ocultos.rpt"));
            {
                QFile f(definition);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(QByteArray(GroupedHead) + c.details + "\n</report>");
            }
            const QString file = dir.filePath(QStringLiteral("ocultos.csv"));
            CsvSink csv(file, QLocale(QLocale::Spanish, QLocale::Argentina));
            NullPageSink discard(&csv);
            CountedPages printed;
            ReportJobRequest r;
            r.definitionFile = definition;
            r.connection = &data;
            r.destination = ReportDestination::Sink;
            r.sink = dataOnly ? static_cast<PageSink*>(&discard) : &printed;
            r.records = &csv;
            r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
            ReportJob job;
            ASSERT_TRUE(job.run(r)) << job.errorString().toStdString();
            ASSERT_TRUE(csv.close());

            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QStringList lines
                = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            EXPECT_EQ(lines.size(), c.lines);
            EXPECT_FALSE(lines.contains(QStringLiteral(";")));
            if (c.fourth)
                EXPECT_EQ(lines.value(4), QString::fromUtf8(c.fourth));
            else
                EXPECT_EQ(lines.value(4), QStringLiteral("A005;10,5"));
        }
    }
}
