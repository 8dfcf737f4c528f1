#include "reportengine/BandBuilder.h"

#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "platform/RuntimeError.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/FontSubstitution.h"
#include "reportengine/ReportCompiler.h"

namespace {

// A run of constants only: an item's value is its constant, a switch is on when its constant is
// true; the page, the totals and the deferred slots are the row's.
class ConstantRun final : public BandContext
{
public:
    Value eval(const FormulaNode& tree, int, const QString&) const override
    {
        return tree.kind() == FormulaNodeKind::Constant ? tree.constant() : Value::null();
    }
    bool isTrue(const FormulaNodePtr& tree, int fixed, const QString& name) const override
    {
        return tree && eval(*tree, fixed, name) == Value(true);
    }
    std::vector<Value>* recordValues() override { return record.empty() ? nullptr : &record; }
    int currentPage() const override { return 3; }
    qint32 pageCountSlot() override { return 5; }
    qint32 deferPageCountText(const FormulaNodePtr&, const QString&, const QString&) override
    {
        return 9;
    }
    qint64 recordNumber() const override { return 12; }
    qint64 groupNumber() const override { return 2; }
    bool continuing() const override { return continued; }
    Value summaryTotal(int) const override { return Value(qint64(42)); }
    qint32 deferTotal(int, const QString&) override
    {
        ++deferred;
        return 7;
    }

    std::vector<Value> record;
    bool continued = false;
    int deferred = 0;
};

// A definition compiled and a builder over it, for a run of constants.
struct Built
{
    explicit Built(const QString& xml)
    {
        def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("b.rpt"), nullptr);
        if (def)
            report
                = ReportCompiler(options, data, resources, log).compile(*def, std::nullopt, {}, {});
    }
    BandBuilder builder(ConstantRun& run) { return BandBuilder(*report, shared, 0, run); }

    RenderOptions options;
    MemoryDataSource data;
    DocumentResources resources;
    QStringList log;
    std::optional<ReportDefinition> def;
    std::unique_ptr<CompiledReport> report;
    TextMeasurer measurer { resources, FontSubstitution() };
    LayoutShared shared { options, data, resources, measurer, {}, nullptr, nullptr, nullptr, {}, {},
        0, {}, {}, -1, {}, 0 };
};

} // namespace

// A band shows what the run it is built for says: totals above their rows and page counts are
// left for later in the slot the run gives, a hidden field still reaches the record stream.
TEST(BandBuilder, builds_a_section_from_what_its_run_knows)
{
    const struct
    {
        const char* name;
        const char* items; // of the group's header
        Role role;
        bool continued;
        const char* strings; // '@' for a deferred text
        std::vector<qint32> slots;
        int deferred;
        Value record; // the detail field's recorded value; empty: no record is asked for
    } rows[] = {
        { "total above its rows",
            R"(<summary x="0" y="0" width="20" height="5" function="sum" expr="{t.n}" scope="G"/>)",
            Role::GroupHeader, false, "@", { 7 }, 1, {} },
        { "total below its rows",
            R"(<summary x="0" y="0" width="20" height="5" function="sum" expr="{t.n}" scope="G"/>)",
            Role::Body, false, "42", { -1 }, 0, {} },
        { "page of pages", R"(<special x="0" y="0" width="60" height="5" kind="pageNofM"/>)",
            Role::PageFooter, false, "Página 3 de @", { 5 }, 0, {} },
        { "record and group numbers",
            R"(<special x="0" y="0" width="20" height="5" kind="recordNumber"/>)"
            R"(<special x="30" y="0" width="20" height="5" kind="groupNumber"/>)",
            Role::Body, false, "12|2", { -1, -1 }, 0, {} },
        { "continued, first page",
            R"(<special x="0" y="0" width="40" height="5" kind="continued"/>)", Role::GroupHeader,
            false, "", {}, 0, {} },
        { "continued, next pages",
            R"(<special x="0" y="0" width="40" height="5" kind="continued"/>)", Role::GroupHeader,
            true, "(continuación)", { -1 }, 0, {} },
        { "hidden field",
            R"(<field x="0" y="0" width="40" height="5" expr="'oculto'" suppress="True"/>)"
            R"(<text x="50" y="0" width="40" height="5">visible</text>)",
            Role::Body, false, "visible", { -1 }, 0, Value(QStringLiteral("oculto")) },
    };
    for (const auto& row : rows) {
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_B">
  <data><table name="t"/></data>
  <group name="G" by="{t.g}"><header height="5">%1</header></group>
  <detail height="5">%1</detail>
</report>)RPT")
                                .arg(QString::fromUtf8(row.items));
        Built built(xml);
        ASSERT_TRUE(built.report) << row.name;
        const auto& report = built.report;
        ConstantRun run;
        run.continued = row.continued;
        if (!row.record.isEmpty())
            run.record.resize(report->recordColumns.size());
        BandBuilder builder = built.builder(run);
        const CompiledSection& section
            = row.role == Role::Body ? report->details[0] : report->groups[0].headers[0];

        const std::optional<Band> band = builder.buildBand(section, row.role, 0);

        ASSERT_TRUE(band.has_value()) << row.name;
        QStringList strings;
        std::vector<qint32> slots;
        for (const DisplayItem& d : band->items) {
            strings << QString(band->strings[std::size_t(d.ref)]).replace(DeferredMark, u'@');
            slots.push_back(d.slot);
        }
        EXPECT_EQ(strings.join(u'|'), QString::fromUtf8(row.strings)) << row.name;
        EXPECT_EQ(slots, row.slots) << row.name;
        EXPECT_EQ(run.deferred, row.deferred) << row.name;
        if (!row.record.isEmpty()) {
            EXPECT_EQ(run.record.at(0), row.record) << row.name;
        }
    }
}

// A text that grows moves down what stands wholly below it, never what stands beside it; an
// item below two grown texts moves by the deeper one, and the band grows by as much.
TEST(BandBuilder, a_growing_text_moves_what_stands_below_it)
{
    const QString longText = QString(QStringLiteral("palabra ")).repeated(30).trimmed();
    const auto growing = [&](int x, int y, int width, const QString& text) {
        return QStringLiteral(R"(<field x="%1" y="%2" width="%3" height="4" expr="'%4'" )"
                              R"(canGrow="true"/>)")
            .arg(x)
            .arg(y)
            .arg(width)
            .arg(text);
    };
    const auto label = [](int x, int y, const char* text) {
        return QStringLiteral(R"(<text x="%1" y="%2" width="20" height="4">%3</text>)")
            .arg(x)
            .arg(y)
            .arg(QLatin1String(text));
    };
    // A place in mm plus so many times what the long text grows in a 40 mm field.
    using Place = std::pair<double, int>;
    const struct
    {
        const char* name;
        QString items;
        std::vector<Place> tops; // of the labels, in order
        Place height; // of the band
    } rows[] = {
        { "nothing grows", growing(0, 0, 150, QStringLiteral("corto")) + label(0, 5, "debajo"),
            { { 5, 0 } }, { 10, 0 } },
        { "below and beside",
            growing(0, 0, 40, longText) + label(50, 0, "al lado") + label(50, 5, "debajo"),
            { { 0, 0 }, { 5, 1 } }, { 10, 1 } },
        { "two stacked growing texts",
            growing(0, 0, 40, longText) + growing(0, 5, 40, longText) + label(0, 10, "debajo"),
            { { 10, 2 } }, { 10, 2 } },
        // The narrower field grows the more.
        { "two growing texts side by side",
            growing(0, 0, 40, longText) + growing(50, 0, 80, longText) + label(0, 5, "debajo"),
            { { 5, 1 } }, { 10, 1 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_B">
  <data><table name="t"/></data>
  <detail height="10">%1</detail>
</report>)RPT")
                                .arg(row.items);
        Built built(xml);
        ASSERT_TRUE(built.report);
        const auto& report = built.report;
        TextMeasurer& measurer = built.measurer;
        ConstantRun run;
        BandBuilder builder = built.builder(run);
        const int font = report->details[0].items[0].font;
        const Coord grown
            = Coord(measurer.wrap(font, longText, mmToCoord(40)).size()) * measurer.lineHeight(font)
            - mmToCoord(4);
        ASSERT_GT(grown, measurer.lineHeight(font));
        const auto at = [&](Place p) { return mmToCoord(p.first) + p.second * grown; };

        const std::optional<Band> band = builder.buildBand(report->details[0], Role::Body);

        ASSERT_TRUE(band.has_value());
        std::vector<Coord> tops;
        for (const DisplayItem& d : band->items) {
            const QString& text = band->strings[std::size_t(d.ref)];
            if (text == u"debajo" || text == u"al lado")
                tops.push_back(d.y);
        }
        std::vector<Coord> expected;
        for (const Place& p : row.tops)
            expected.push_back(at(p));
        EXPECT_EQ(tops, expected);
        EXPECT_EQ(band->height, at(row.height));
    }
}

// A figure wider than its field shows '#' marks, or, in a field that asks for it, stops the band
// naming the field and the figure; a text too long for such a field stops it too.
TEST(BandBuilder, a_field_that_must_print_whole_refuses_what_does_not_fit)
{
    const struct
    {
        const char* name;
        const char* item;
        const char* shown; // nullptr: the band is refused
        const char* message;
    } rows[] = {
        { "marks", R"(<field x="0" y="0" width="5" height="5" expr="922337203685477"/>)", "#", "" },
        { "fails",
            R"(<field name="Total" x="0" y="0" width="5" height="5" expr="922337203685477" overflow="fail"/>)",
            nullptr, "El importe 922337203685477 no cabe en el campo «Total»" },
        { "text",
            R"(<field name="Precio" x="0" y="0" width="5" height="5" expr="'1.234.567,89'" overflow="fail"/>)",
            nullptr, "El importe 1.234.567,89 no cabe en el campo «Precio»" },
        { "fits",
            R"(<field name="Total" x="0" y="0" width="50" height="5" expr="922337203685477" overflow="fail"/>)",
            "922337203685477", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Built built(QStringLiteral(R"RPT(<report version="1" name="RP_B">
  <data><table name="t"/></data>
  <detail height="5">%1</detail>
</report>)RPT")
                        .arg(QString::fromUtf8(row.item)));
        ASSERT_TRUE(built.report);
        ConstantRun run;
        BandBuilder builder = built.builder(run);

        try {
            const std::optional<Band> band
                = builder.buildBand(built.report->details[0], Role::Body);

            ASSERT_TRUE(row.shown);
            ASSERT_TRUE(band.has_value());
            const QString shown = band->strings.at(0);
            if (QLatin1String(row.shown) == QLatin1String("#"))
                EXPECT_EQ(shown, QString(shown.size(), u'#'));
            else
                EXPECT_EQ(shown, QString::fromUtf8(row.shown));
        } catch (const RuntimeError& e) {
            EXPECT_FALSE(row.shown);
            EXPECT_EQ(e.description(), QString::fromUtf8(row.message));
        }
    }
}
