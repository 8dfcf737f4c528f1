#include "reportengine/BandBuilder.h"

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
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
        const auto def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("b.rpt"), nullptr);
        ASSERT_TRUE(def.has_value()) << row.name;
        RenderOptions options;
        MemoryDataSource data;
        DocumentResources resources;
        QStringList log;
        const auto report
            = ReportCompiler(options, data, resources, log).compile(*def, std::nullopt, {}, {});
        TextMeasurer measurer(resources, FontSubstitution());
        LayoutShared shared { options, data, resources, measurer, {}, nullptr, nullptr, nullptr, {},
            {}, 0, {}, {}, -1, {}, 0 };
        ConstantRun run;
        run.continued = row.continued;
        if (!row.record.isEmpty())
            run.record.resize(report->recordColumns.size());
        BandBuilder builder(*report, shared, 0, run);
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
