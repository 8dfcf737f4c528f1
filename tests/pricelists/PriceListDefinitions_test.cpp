#include <array>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/SqliteText.h"
#include "pricelists/ImpresionPrecios.h"
#include "reportengine/AdoReportDataSource.h"
#include "reportengine/CsvSink.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/ReportJob.h"
#include "reportengine/SelectionPlanner.h"
#include "support/DemoDatabaseFiles.h"

#include "ListaImpresa.h"

// The price-list report definitions shipped in share/reports, printed through the report engine
// on a demo database and read back with pdftotext.
namespace {

using listaimpresa::codes;
using listaimpresa::pdfText;

QString definition(const QString& name)
{
    return QStringLiteral(RP_SHARE_DIR "/reports/") + name;
}

// The selection the printing builds for a plain sales list of the given lists.
QString salesSelection(const QString& lists)
{
    return QStringLiteral(
        " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False"
        " AND {V_MA_PRECIOS.IdLista} in [%1]")
        .arg(lists);
}

class PriceListDefinitions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = testsupport::writeDemoDatabases(m_dir.path(), 120);
        ASSERT_FALSE(m_file.isEmpty());
        m_connection = m_provider.createConnection();
        ASSERT_TRUE(m_connection->Open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(m_file)));
        m_source = std::make_unique<AdoReportDataSource>(*m_connection, SqlDialect::SQLite);
        m_sqlName = QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_sqlName);
        db.setDatabaseName(m_file);
        ASSERT_TRUE(db.open() && registerSqliteText(db));
    }

    void TearDown() override
    {
        m_source.reset();
        if (m_connection)
            m_connection->Close();
        QSqlDatabase::removeDatabase(m_sqlName);
    }

    QStringList rows(const QString& sql) const { return listaimpresa::rows(m_sqlName, sql); }

    // Prints `report` to PDF and returns its text, or empty text after a test failure.
    QString print(const QString& report, const QString& selection, const QStringList& formulas,
        const QStringList& sort = { QStringLiteral("+{v_ma_articulos.idarticulo}") })
    {
        ReportJobRequest request;
        request.definitionFile = definition(report + QStringLiteral(".rpt"));
        request.connection = m_source.get();
        request.selection = selection;
        request.formulas = formulas;
        request.sortFields = sort;
        request.outputFile = m_dir.filePath(report + QStringLiteral(".pdf"));
        request.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
        ReportJob job;
        const bool ok = job.run(request);
        EXPECT_TRUE(ok) << report.toStdString() << ": " << job.errorString().toStdString();
        m_pages = job.pageCount();
        return ok ? pdfText(request.outputFile) : QString();
    }

    static QString money(double value)
    {
        return QLocale(QLocale::Spanish, QLocale::Argentina).toString(value, 'f', 2);
    }

    QTemporaryDir m_dir;
    QString m_file;
    QtAdoProvider m_provider { QtAdoProvider::Settings {} };
    std::unique_ptr<AdoConnection> m_connection;
    std::unique_ptr<AdoReportDataSource> m_source;
    QString m_sqlName;
    int m_pages = 0;
};

TEST_F(PriceListDefinitions, every_report_row_of_the_demo_database_names_a_definition_that_prints)
{
    const QStringList reports
        = rows(QStringLiteral("SELECT NOMBRE, Archivo FROM TA_REPORTES "
                              "WHERE NOMBRE LIKE 'RP_LISTA%' OR NOMBRE = 'MA_PRE2' "
                              "ORDER BY NOMBRE"));

    ASSERT_EQ(reports.size(), 14);
    for (const QString& row : reports) {
        const QString name = row.section(u'|', 0, 0);
        const QString file = row.section(u'|', 1, 1);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(file, name + QStringLiteral(".rpt"));
        ASSERT_TRUE(QFileInfo::exists(definition(file)));
        const QString selection
            = name.compare(QStringLiteral("RP_LISTAPRECIOSAC"), Qt::CaseInsensitive) == 0
            ? QStringLiteral(" {v_ma_articulos.SUSPENDIDO} = False and "
                             "{aux_analisiscostos.usuario}='nadie/PC'")
            : salesSelection(QStringLiteral("'   1'"));
        const QString text
            = print(name, selection, { QStringLiteral("Nombreempresa = 'Casa de Prueba'") });
        EXPECT_FALSE(text.trimmed().isEmpty());
    }
}

TEST_F(PriceListDefinitions,
    prices_and_articles_equal_those_of_the_database_and_hidden_columns_are_absent)
{
    const QStringList expected = rows(
        QStringLiteral("SELECT p.IdArticulo, p.PRECIO1, p.PRECIO3 FROM V_MA_PRECIOS p "
                       "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
                       "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo"));

    const QString text = print(QStringLiteral("RP_ListaPrecios"),
        salesSelection(QStringLiteral("'   1'")),
        { QStringLiteral("Nombreempresa = 'Casa de Prueba'"), QStringLiteral("Precio1='Contado'"),
            QStringLiteral("Precio2=''"), QStringLiteral("Precio3='Tarjeta'"),
            QStringLiteral("OcultarColumnas = '0 - 2 - 4 - 5 - 6 - 7 - 8 - '") });

    ASSERT_FALSE(expected.isEmpty());
    QStringList printedCodes = codes(text);
    QStringList expectedCodes;
    for (const QString& row : expected)
        expectedCodes << row.section(u'|', 0, 0);
    EXPECT_EQ(printedCodes, expectedCodes);
    EXPECT_TRUE(text.contains(QStringLiteral("Casa de Prueba")));
    EXPECT_TRUE(text.contains(QStringLiteral("Contado")));
    EXPECT_TRUE(text.contains(QStringLiteral("Tarjeta")));
    EXPECT_FALSE(text.contains(QStringLiteral("Costo")));
    EXPECT_TRUE(text.contains(QStringLiteral("Página 1 de ")));
    // The two shown columns stand side by side: each line ends with class 1 then class 3.
    for (const QString& row : expected.mid(0, 10)) {
        const QString code = row.section(u'|', 0, 0);
        const QRegularExpression line(
            QStringLiteral("^%1 .*\\s%2\\s+%3\\s*$")
                .arg(code, QRegularExpression::escape(money(row.section(u'|', 1, 1).toDouble())),
                    QRegularExpression::escape(money(row.section(u'|', 2, 2).toDouble()))),
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(line.match(text).hasMatch()) << code.toStdString();
    }
}

// The data file a customer gets reads like the page: the captions printed over the columns,
// only the lists shown (no stock without a warehouse), the amounts with their two decimals.
TEST_F(PriceListDefinitions, the_csv_has_the_printed_captions_and_only_the_columns_shown)
{
    const QStringList expected = rows(QStringLiteral(
        "SELECT p.IdArticulo, a.Descripcion, p.PRECIO1, p.PRECIO3 FROM V_MA_PRECIOS p "
        "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
        "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo"));
    const QString file = m_dir.filePath(QStringLiteral("lista.csv"));
    CsvSink csv(file, QLocale(QLocale::Spanish, QLocale::Argentina));
    NullPageSink pages(&csv);
    ReportJobRequest request;
    request.definitionFile = definition(QStringLiteral("RP_ListaPrecios.rpt"));
    request.connection = m_source.get();
    request.selection = salesSelection(QStringLiteral("'   1'"));
    request.formulas = { QStringLiteral("Precio1='Contado'"), QStringLiteral("Precio3='Tarjeta'"),
        QStringLiteral("ConStock=0"),
        QStringLiteral("OcultarColumnas = '0 - 2 - 4 - 5 - 6 - 7 - 8 - '") };
    request.sortFields = { QStringLiteral("+{v_ma_articulos.idarticulo}") };
    request.destination = ReportDestination::Sink;
    request.sink = &pages;
    request.records = &csv;
    request.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
    ReportJob job;

    ASSERT_TRUE(job.run(request)) << job.errorString().toStdString();
    ASSERT_TRUE(csv.close()) << csv.errorString().toStdString();

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines
        = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_FALSE(expected.isEmpty());
    ASSERT_EQ(lines.size(), expected.size() + 1);
    EXPECT_EQ(lines.first(), QStringLiteral("Código;Descripción;Contado;Tarjeta"));
    const auto amount = [](const QString& value) {
        return QString::number(value.toDouble(), 'f', 2).replace(u'.', u',');
    };
    // Descriptions with inch marks are quoted.
    const auto text = [](QString value) {
        return value.contains(u'"') ? u'"' + value.replace(u'"', QStringLiteral("\"\"")) + u'"'
                                    : value;
    };
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QStringList row = expected.at(i).split(u'|');
        EXPECT_EQ(lines.at(i + 1),
            QStringList({ row[0], text(row[1]), amount(row[2]), amount(row[3]) }).join(u';'));
    }
}

TEST_F(PriceListDefinitions,
    an_article_is_printed_once_without_a_warehouse_and_with_its_stock_with_one)
{
    const QStringList once = rows(
        QStringLiteral("SELECT p.IdArticulo FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a ON "
                       "a.IDARTICULO = p.IdArticulo "
                       "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo"));
    const QStringList stock
        = rows(QStringLiteral("SELECT p.IdArticulo, s.Stock FROM V_MA_PRECIOS p "
                              "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
                              "LEFT JOIN STK_MA_ARTICULOS s ON s.IDARTICULO = a.IDARTICULO "
                              "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 "
                              "AND (s.DEPOSITO = '   2' OR s.DEPOSITO = '' OR s.DEPOSITO IS NULL) "
                              "ORDER BY p.IdArticulo"));

    const QString plain
        = print(QStringLiteral("RP_ListaPreciosRubro"), salesSelection(QStringLiteral("'   1'")),
            { QStringLiteral("ConStock=0") }, { QStringLiteral("+{v_ma_articulos.idarticulo}") });
    const QString withStock = print(QStringLiteral("RP_ListaPrecios"),
        salesSelection(QStringLiteral("'   1'"))
            + QStringLiteral(
                " AND  ({STK_MA_ARTICULOS.DEPOSITO} = '   2' OR "
                "{STK_MA_ARTICULOS.DEPOSITO}='' OR ISNULL({STK_MA_ARTICULOS.DEPOSITO}))"),
        { QStringLiteral("ConStock=1"),
            QStringLiteral("OcultarColumnas = '0 - 2 - 3 - 4 - 5 - 6 - 7 - 8 - '") });

    QStringList sorted = codes(plain);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, once);
    QStringList stockCodes;
    for (const QString& row : stock)
        stockCodes << row.section(u'|', 0, 0);
    EXPECT_EQ(codes(withStock), stockCodes);
    EXPECT_TRUE(withStock.contains(QStringLiteral("Stock")));
    EXPECT_FALSE(plain.contains(QStringLiteral("Stock")));
}

TEST_F(PriceListDefinitions, each_list_starts_a_page_when_asked)
{
    const QString selection = salesSelection(QStringLiteral("'   1', '   2'"));

    const QString together = print(QStringLiteral("RP_ListaPrecios"), selection,
        { QStringLiteral("OcultarColumnas = '0 - 2 - 3 - 4 - 5 - 6 - 7 - 8 - '") });
    const QString apart = print(QStringLiteral("RP_ListaPrecios"), selection,
        { QStringLiteral("CortePorLista = '-1'"),
            QStringLiteral("OcultarColumnas = '0 - 2 - 3 - 4 - 5 - 6 - 7 - 8 - '") });

    const QStringList pages = apart.split(u'\f', Qt::SkipEmptyParts);
    int listHeaders = 0;
    for (const QString& page : pages) {
        static const QRegularExpression header(
            QStringLiteral("^\\s*[12]\\s+Lista "), QRegularExpression::MultilineOption);
        const bool first = page.contains(QRegularExpression(
            QStringLiteral("^\\s*1\\s+Lista "), QRegularExpression::MultilineOption));
        const bool second = page.contains(QRegularExpression(
            QStringLiteral("^\\s*2\\s+Lista "), QRegularExpression::MultilineOption));
        EXPECT_FALSE(first && second);
        listHeaders += header.globalMatch(page).hasNext() ? 1 : 0;
    }
    EXPECT_GE(listHeaders, 2);
    EXPECT_EQ(codes(apart), codes(together));
}

TEST_F(PriceListDefinitions, selective_lists_print_one_column_per_condition_with_its_surcharge)
{
    const QStringList expected = rows(QStringLiteral(
        "SELECT p.IdArticulo, p.PRECIO4 FROM V_MA_PRECIOS p "
        "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
        "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo LIMIT 5"));

    const QString text
        = print(QStringLiteral("RP_ListaPrecios_Sel"), salesSelection(QStringLiteral("'   1'")),
            { QStringLiteral("Precio1='Mayorista'"),
                QStringLiteral("Cond_Cpra_Vta_Descripcion1='Contado efectivo'"),
                QStringLiteral("PorcRecargoCPRAVTA1=-5"),
                QStringLiteral("Cond_Cpra_Vta_Descripcion2='Tarjeta 3 cuotas'"),
                QStringLiteral("PorcRecargoCPRAVTA2=12.5"), QStringLiteral("CantCondiciones=2"),
                QStringLiteral("QuePrecio=4") });

    EXPECT_TRUE(text.contains(QStringLiteral("Contado efectivo")));
    EXPECT_TRUE(text.contains(QStringLiteral("Tarjeta 3 cuotas")));
    for (const QString& row : expected) {
        const double price = row.section(u'|', 1, 1).toDouble();
        const QString code = row.section(u'|', 0, 0);
        const QRegularExpression line(
            QStringLiteral("^%1 .*\\s%2\\s+%3\\s+%4\\s*$")
                .arg(code, QRegularExpression::escape(money(price)),
                    QRegularExpression::escape(money(std::round(price * 95.0) / 100.0)),
                    QRegularExpression::escape(money(std::round(price * 112.5) / 100.0))),
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(line.match(text).hasMatch()) << code.toStdString();
    }
}

TEST_F(PriceListDefinitions, labels_print_three_across_with_the_chosen_price)
{
    const QStringList expected = rows(QStringLiteral(
        "SELECT p.IdArticulo, p.PRECIO2 FROM V_MA_PRECIOS p "
        "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
        "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo LIMIT 3"));

    const QString text = print(QStringLiteral("MA_PRE2"), salesSelection(QStringLiteral("'   1'")),
        { QStringLiteral("QuePrecio='Precio2'") });

    ASSERT_EQ(expected.size(), 3);
    const QRegularExpression codesLine(
        QStringLiteral("Cód\\. %1\\s+Cód\\. %2\\s+Cód\\. %3")
            .arg(expected[0].section(u'|', 0, 0), expected[1].section(u'|', 0, 0),
                expected[2].section(u'|', 0, 0)));
    EXPECT_TRUE(codesLine.match(text).hasMatch());
    const QRegularExpression pricesLine(
        QStringLiteral("\\$ %1\\s+\\$ %2\\s+\\$ %3")
            .arg(QRegularExpression::escape(money(expected[0].section(u'|', 1, 1).toDouble())),
                QRegularExpression::escape(money(expected[1].section(u'|', 1, 1).toDouble())),
                QRegularExpression::escape(money(expected[2].section(u'|', 1, 1).toDouble()))));
    EXPECT_TRUE(pricesLine.match(text).hasMatch());
}

TEST_F(PriceListDefinitions, labels_of_one_list_per_page_keep_each_list_on_its_own_sheets)
{
    const QStringList names = rows(QStringLiteral("SELECT DISTINCT Nombre FROM V_MA_PRECIOS WHERE "
                                                  "IdLista IN ('   1', '   3') ORDER BY IdLista"));

    const QString text
        = print(QStringLiteral("MA_PRE2"), salesSelection(QStringLiteral("'   1', '   3'")),
            { QStringLiteral("VariasListas=1"), QStringLiteral("CortePorLista='-1'") });

    ASSERT_EQ(names.size(), 2);
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    bool second = false;
    for (const QString& page : pages) {
        second |= page.contains(names[1]);
        // Every page holds labels of one list, the first list's pages first.
        EXPECT_NE(page.contains(names[0]), page.contains(names[1])) << page.toStdString();
        EXPECT_FALSE(second && page.contains(names[0]));
    }
}

// The first page comes at once only when the database gives the rows in the report's order from
// its indexes: a sort of every row before the first would grow with the data.
TEST_F(PriceListDefinitions, reads_every_grouping_and_sort_in_the_reports_order_without_sorting)
{
    const struct
    {
        const char* report;
        std::array<bool, 4> grouping; // section, family, supplier, none
    } groupings[] = {
        { "RP_ListaPrecios", { false, false, false, true } },
        { "RP_ListaPreciosRubro", { true, false, false, false } },
        { "RP_ListaPreciosFamilia", { false, true, false, false } },
        { "RP_ListaPreciosProveedor", { false, false, true, false } },
    };
    for (const auto& g : groupings) {
        for (const bool byDescription : { false, true }) {
            for (const char* last : { "1", "2" }) {
                SCOPED_TRACE(
                    std::string(g.report) + (byDescription ? " descripcion " : " codigo ") + last);
                EstadoImpresion e;
                e.ListaDesde = QStringLiteral("1");
                e.ListaHasta = QString::fromLatin1(last);
                for (int i = 0; i <= 8; ++i)
                    e.ChkFiltro << CasillaPrecio { i >= 1 && i <= 4 ? 1 : 0, QString::number(i),
                        QStringLiteral("Clase %1").arg(i) };
                e.OptOrden << OpcionOrden {
                    !byDescription, QStringLiteral("{v_ma_articulos.idarticulo}")
                } << OpcionOrden { byDescription, QStringLiteral("{v_ma_articulos.descripcion}") };
                e.OptGROUP = { g.grouping[0], g.grouping[1], g.grouping[2], g.grouping[3] };
                e.Deposito = QStringLiteral("1");
                const ImpresionPrecios::Resultado job
                    = ImpresionPrecios::armaTrabajo(e, QStringLiteral("Casa"), QString());
                ASSERT_TRUE(job.ok) << job.mensaje.toStdString();
                const auto def = DefinitionLoader::loadFile(
                    definition(job.trabajo.NombreReporte + QStringLiteral(".rpt")), nullptr);
                ASSERT_TRUE(def.has_value());
                RenderOptions options;
                options.selection = job.trabajo.Seleccion;
                options.sortFields = job.trabajo.CamposOrden;
                options.formulas = job.trabajo.ListaFormulasReporte;
                ReportRenderer renderer(*def, options);
                ASSERT_TRUE(renderer.prepare(*m_source)) << renderer.errorString().toStdString();

                const QStringList plan = rows(QStringLiteral("EXPLAIN QUERY PLAN ")
                    + SelectionPlanner::withLiterals(
                        renderer.query().sql, renderer.query().parameters, SqlDialect::SQLite));

                ASSERT_FALSE(plan.isEmpty());
                EXPECT_FALSE(plan.join(u'\n').contains(QStringLiteral("TEMP B-TREE")))
                    << plan.join(u'\n').toStdString();
                // In description order the articles come in no order of the file: a step that
                // goes on to the table reads a page at random for every row.
                if (byDescription) {
                    static const QRegularExpression perArticle(QStringLiteral(
                        "^(SCAN|SEARCH) (V_MA_ARTICULOS|p|STK_MA_ARTICULOS|STK_PRIMERO|s) "));
                    for (const QString& row : plan) {
                        const QString step = row.section(u'|', 3);
                        if (perArticle.match(step).hasMatch()) {
                            EXPECT_TRUE(step.contains(QStringLiteral("COVERING INDEX")))
                                << step.toStdString();
                        }
                    }
                }
            }
        }
    }
}

} // namespace
