#include "reportengine/ReportCompiler.h"

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "reportengine/DefinitionLoader.h"

namespace {

// One report whose formula "F" is the row's text, beside a fixed "K" and a per-record "V"; the
// footer of its group by {t.g} prints the same text.
std::optional<ReportDefinition> withFormula(const char* text)
{
    const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_F">
  <data><table name="t"/></data>
  <formulas>
    <formula name="K">"x"</formula>
    <formula name="V">{t.a}</formula>
    <formula name="F">%1</formula>
  </formulas>
  <group name="G" by="{t.g}">
    <footer height="5"><field x="0" y="0" width="30" height="5" expr="%1"/></footer>
  </group>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{@F}"/></detail>
</report>)RPT")
                            .arg(QString::fromUtf8(text).toHtmlEscaped());
    return DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("f.rpt"), nullptr);
}

// What compiling needs besides the definition, kept for as long as the compiled report.
struct Compilation
{
    RenderOptions options;
    MemoryDataSource data;
    DocumentResources resources;
    QStringList log;

    std::unique_ptr<CompiledReport> compile(
        const ReportDefinition& def, const std::optional<QString>& selection = std::nullopt)
    {
        ReportCompiler compiler(options, data, resources, log);
        return compiler.compile(def, selection, {}, {});
    }

    // The message a refused definition gets; empty when it compiles.
    QString refusal(const ReportDefinition& def)
    {
        try {
            compile(def);
        } catch (const CompileError& e) {
            return e.message;
        }
        return {};
    }
};

} // namespace

// What the run keeps for the whole report and how it sums is settled here, once: a formula taken
// for fixed would print the first record's value on every row.
TEST(ReportCompiler, marks_fixed_formulas_and_registers_summaries_at_their_group)
{
    const struct
    {
        const char* text;
        bool fixed;
        int summaries; // registered for the footer's field
        SummaryFunction function;
        int level;
    } rows[] = {
        { "{@K} & \"!\"", true, 0, {}, 0 },
        { "{@V} + 1", false, 0, {}, 0 },
        { "PageNumber", false, 0, {}, 0 },
        { "Sum({t.n}, {t.g})", false, 1, SummaryFunction::Sum, 0 },
        { "DistinctCount({t.n})", false, 1, SummaryFunction::Count, -1 },
        { "Maximum({t.n}, {t.other})", false, 1, SummaryFunction::Maximum, -1 },
    };
    for (const auto& row : rows) {
        const auto def = withFormula(row.text);
        ASSERT_TRUE(def.has_value()) << row.text;
        Compilation compilation;

        const auto report = compilation.compile(*def);

        EXPECT_EQ(report->fixedFormulas.contains(QStringLiteral("f")), row.fixed) << row.text;
        EXPECT_TRUE(report->fixedFormulas.contains(QStringLiteral("k"))) << row.text;
        // The footer's field and the formula "F" hold the same text: both sum alike.
        for (const QString& owner : { QStringLiteral("Pie G/1"), QStringLiteral("F") }) {
            std::vector<SummarySpec> mine;
            for (const SummarySpec& spec : report->summaries) {
                if (spec.name == owner)
                    mine.push_back(spec);
            }
            ASSERT_EQ(int(mine.size()), row.summaries) << row.text << " " << owner.toStdString();
            if (row.summaries > 0) {
                EXPECT_EQ(mine[0].function, row.function) << row.text;
                EXPECT_EQ(mine[0].level, row.level) << row.text << " " << owner.toStdString();
            }
        }
    }
}

// A formula is as deep as the place it is reached from: "Hondo", reached first from near the
// top, is refused when the selection reaches it again from deep enough to pass the limit there
// (the run would recurse that deep), and kept when reached from a little less deep.
TEST(ReportCompiler, checks_a_formula_again_where_it_is_reached_deeper)
{
    const QString deep = QStringLiteral("Abs(").repeated(150) + u'1' + QString(150, u')');
    const struct
    {
        int around; // calls around the selection's {@Hondo}
        bool refused;
    } rows[] = { { 40, false }, { 60, true } };
    for (const auto& row : rows) {
        const QString selection = QStringLiteral("Abs(").repeated(row.around)
            + QStringLiteral("{@Hondo}") + QString(row.around, u')') + QStringLiteral(" > 0");
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_H">
  <data><table name="t"/></data>
  <formulas>
    <formula name="Cerca">{@Hondo}</formula>
    <formula name="Hondo">%1</formula>
  </formulas>
  <selection>%2</selection>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{@Cerca}"/></detail>
</report>)RPT")
                                .arg(deep, selection);
        const auto def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("h.rpt"), nullptr);
        ASSERT_TRUE(def.has_value());
        Compilation compilation;
        const QString error = compilation.refusal(*def);

        EXPECT_EQ(error.contains(QStringLiteral("Fórmula demasiado compleja")), row.refused)
            << row.around << ": " << error.toStdString();
    }
}

// Each formula names the next in an operand nested on the right three times, so each costs
// four levels, as the run recurses through them: 40 stay under the limit, 60 go past it.
TEST(ReportCompiler, counts_right_nested_operators_along_a_chain_of_formulas)
{
    const struct
    {
        int formulas;
        bool refused;
    } rows[] = { { 40, false }, { 60, true } };
    for (const auto& row : rows) {
        QString formulas;
        for (int i = 0; i < row.formulas; ++i) {
            const QString next
                = i + 1 < row.formulas ? QStringLiteral("{@N%1}").arg(i + 1) : QStringLiteral("1");
            formulas += QStringLiteral("<formula name=\"N%1\">1 + (1 + (1 + %2))</formula>\n")
                            .arg(i)
                            .arg(next);
        }
        const QString xml = QStringLiteral(R"RPT(<report version="1" name="RP_N">
  <data><table name="t"/></data>
  <formulas>%1</formulas>
  <detail height="5"><field x="0" y="0" width="30" height="5" expr="{@N0}"/></detail>
</report>)RPT")
                                .arg(formulas);
        const auto def = DefinitionLoader::loadData(xml.toUtf8(), QStringLiteral("n.rpt"), nullptr);
        ASSERT_TRUE(def.has_value());
        Compilation compilation;
        const QString error = compilation.refusal(*def);

        EXPECT_EQ(error.contains(QStringLiteral("Fórmula demasiado compleja (informe RP_N)")),
            row.refused)
            << row.formulas << ": " << error.toStdString();
    }
}

// A formula of nothing but a comment is an empty formula, as a blank one is.
TEST(ReportCompiler, a_formula_of_only_a_comment_is_empty)
{
    const auto def = withFormula("// solo un comentario");
    ASSERT_TRUE(def.has_value());
    Compilation compilation;

    const auto report = compilation.compile(*def, QStringLiteral("// nada"));

    EXPECT_FALSE(report->formulas.value(QStringLiteral("f")));
    EXPECT_FALSE(report->query.sql.contains(QStringLiteral("WHERE")))
        << report->query.sql.toStdString();
}
