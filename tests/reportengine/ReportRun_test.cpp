#include "reportengine/ReportRun.h"

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/FontSubstitution.h"
#include "reportengine/ReportCompiler.h"

namespace {

// The record stream as one line: "[" a group starts, its records' values, "]" it ends.
class RecordLine final : public RecordSink
{
public:
    void beginRecords(const std::vector<RecordColumn>& columns) override
    {
        for (const RecordColumn& c : columns)
            names << c.name;
    }
    void groupStart(int, const Value&, const QString&) override { line += u'['; }
    void record(const std::vector<Value>& values) override
    {
        for (const Value& v : values)
            line += v.toString() + u' ';
    }
    void groupEnd(int, const QString&) override { line = line.trimmed() + u']'; }
    void endRecords() override { }

    QString line;
    QStringList names;
};

// Runs the definition over three rows of t (g, h, n) into the record stream.
RecordLine runRecords(const QString& xml)
{
    RecordLine records;
    const auto def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("r.rpt"), nullptr);
    EXPECT_TRUE(def.has_value());
    if (!def)
        return records;
    RenderOptions options;
    MemoryDataSource source;
    source.addTable(QStringLiteral("t"),
        { QStringLiteral("t.g"), QStringLiteral("t.h"), QStringLiteral("t.n") },
        { { QStringLiteral("a"), QStringLiteral("x"), qint32(1) },
            { QStringLiteral("a"), QStringLiteral("y"), qint32(2) },
            { QStringLiteral("b"), QStringLiteral("y"), qint32(3) } });
    DocumentResources resources;
    QStringList log;
    const auto report
        = ReportCompiler(options, source, resources, log).compile(*def, std::nullopt, {}, {});
    TextMeasurer measurer(resources, FontSubstitution());
    LayoutShared shared { options, source, resources, measurer, {}, nullptr, nullptr, &records, {},
        {}, 0, {}, {}, -1, {}, 0 };
    ReportRun run(*report, shared, 0);
    records.beginRecords(run.shownColumns());
    run.execute({});
    return records;
}

} // namespace

// Without pages a run still breaks groups where the database order does, selects what the
// statement could not, and writes only the records whose detail shows.
TEST(ReportRun, streams_the_selected_records_group_by_group)
{
    const QList<QList<Value>> data = { { QStringLiteral("a"), qint32(1) },
        { QStringLiteral("A "), qint32(2) }, { QStringLiteral("b"), qint32(3) } };
    const struct
    {
        const char* name;
        const char* selection;
        const char* suppress; // of the detail
        QList<QList<Value>> rows;
        const char* line;
    } rows[] = {
        { "keys alike but for case and blanks", "", "", data, "[1 2][3]" },
        { "selection left to the engine", "{t.n} > 1", "", data, "[2][3]" },
        { "hidden detail", "", "{t.n} = 2", data, "[1][3]" },
        { "no rows", "", "", {}, "" },
    };
    for (const auto& row : rows) {
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_R">
  <data><table name="t"/></data>
  <selection>%1</selection>
  <group name="G" by="{t.g}"/>
  <detail height="5" suppress="%2"><field x="0" y="0" width="20" height="5" expr="{t.n}"/></detail>
</report>)RPT")
                                .arg(QString::fromUtf8(row.selection).toHtmlEscaped(),
                                    QString::fromUtf8(row.suppress).toHtmlEscaped());
        const auto def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("r.rpt"), nullptr);
        ASSERT_TRUE(def.has_value()) << row.name;
        RenderOptions options;
        MemoryDataSource source;
        source.addTable(
            QStringLiteral("t"), { QStringLiteral("t.g"), QStringLiteral("t.n") }, row.rows);
        DocumentResources resources;
        QStringList log;
        const auto report
            = ReportCompiler(options, source, resources, log).compile(*def, std::nullopt, {}, {});
        TextMeasurer measurer(resources, FontSubstitution());
        RecordLine records;
        LayoutShared shared { options, source, resources, measurer, {}, nullptr, nullptr, &records,
            {}, {}, 0, {}, {}, -1, {}, 0 };
        ReportRun run(*report, shared, 0);

        run.execute({});

        EXPECT_EQ(records.line, QString::fromUtf8(row.line)) << row.name;
    }
}

// An exported column without a name takes the caption printed above it: the page heading's, else
// the first group heading's that has one, outer to inner, else the report heading's.
TEST(ReportRun, an_unnamed_column_is_captioned_from_the_heading_above_it)
{
    const QString caption
        = QStringLiteral(R"(<text x="0" y="0" width="20" height="5">Cantidad</text>)");
    const struct
    {
        const char* name;
        const char* section; // where the caption stands
        const char* column;
    } rows[] = {
        { "page heading", "pageHeader", "Cantidad" },
        { "outer group heading", "outer", "Cantidad" },
        { "innermost group heading", "inner", "Cantidad" },
        { "report heading", "reportHeader", "Cantidad" },
        { "no caption: the expression", "", "{t.n}" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString where = QString::fromLatin1(row.section);
        const auto section
            = [&](const char* name) { return where == QLatin1String(name) ? caption : QString(); };
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_R">
  <data><table name="t"/></data>
  <reportHeader height="5">%1</reportHeader>
  <pageHeader height="5">%2</pageHeader>
  <group name="G" by="{t.g}"><header height="5">%3</header></group>
  <group name="H" by="{t.h}"><header height="5">%4</header></group>
  <detail height="5"><field x="0" y="0" width="20" height="5" expr="{t.n}"/></detail>
</report>)RPT")
                                .arg(section("reportHeader"), section("pageHeader"),
                                    section("outer"), section("inner"));

        const RecordLine records = runRecords(xml);

        EXPECT_EQ(records.names, QStringList { QString::fromLatin1(row.column) });
    }
}
