#include <gtest/gtest.h>

#include "FormulaTestContext.h"
#include "platform/RuntimeError.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaFolding.h"
#include "reportengine/FormulaParser.h"

namespace {

// The value written back in the language, or the failure's text.
QString outcome(const FormulaNode& tree, const FormulaContext& context)
{
    try {
        const Value v = FormulaEvaluator(context, QStringLiteral("Prueba")).evaluateScalar(tree);
        return FormulaNode::constant(v, 0)->toText();
    } catch (const RuntimeError& e) {
        return e.description();
    }
}

struct FoldCase
{
    const char* formula;
    const char* folded; // the tree a record walks, written back
};

class FormulaFoldingResults : public ::testing::TestWithParam<FoldCase>
{
};

// {@Col}, {@Ver}, {@Nulo} and {@Recargo} are fixed for the run; the records differ in every
// field the formulas read.
TEST_P(FormulaFoldingResults, the_folded_tree_gives_what_the_formula_gives_on_every_record)
{
    FormulaTestContext first;
    first.set(QStringLiteral("t.flag"), Value(qint32(-1)));
    first.set(QStringLiteral("t.apagado"), Value(false));
    first.set(QStringLiteral("t.precio"), Value(Currency::fromRaw(100050)));
    first.set(QStringLiteral("t.codigo"), Value(QStringLiteral("A1")));
    FormulaTestContext second;
    second.set(QStringLiteral("t.flag"), Value(qint32(0)));
    second.set(QStringLiteral("t.apagado"), Value(true));
    second.set(QStringLiteral("t.precio"), Value::null());
    second.set(QStringLiteral("t.codigo"), Value(QStringLiteral("B22")));
    for (FormulaTestContext* c : { &first, &second }) {
        c->setFormula(QStringLiteral("Col"), Value(qint64(2)));
        c->setFormula(QStringLiteral("Ver"), Value(false));
        c->setFormula(QStringLiteral("Nulo"), Value::null());
        c->setFormula(QStringLiteral("Recargo"), Value(qint64(3)));
    }
    const FormulaParseResult parsed
        = FormulaParser::parse(QStringLiteral("Prueba"), QString::fromUtf8(GetParam().formula));
    ASSERT_TRUE(parsed.ok());
    std::vector<const FormulaNode*> references;
    collectFormulaRefs(*parsed.tree, references);
    for (const FormulaNode* r : references)
        r->setSlot(0);
    FormulaFolding::Known known;
    known.fixedFormula = [](int slot) { return slot == 0; };
    known.value = [&first](const FormulaNode& n) -> std::optional<Value> {
        return FormulaEvaluator(first, QString()).evaluate(n).scalar();
    };

    const FormulaNodePtr folded = FormulaFolding::fold(parsed.tree, known);

    EXPECT_EQ(folded->toText().toStdString(), GetParam().folded);
    for (const FormulaTestContext* c : { &first, &second })
        EXPECT_EQ(outcome(*folded, *c), outcome(*parsed.tree, *c)) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(FormulaFolding, FormulaFoldingResults,
    ::testing::Values(FoldCase { "If {@Col} = 1 Then {t.precio} Else {@Recargo} * 2", "6" },
        FoldCase {
            "Round({t.precio} * (1 + {@Recargo} / 100), 2)", "Round(({t.precio} * 1.03), 2)" },
        // Without Else a failed condition gives the empty value of the Then's type: the inner
        // If (text or number) stays whole, or the outer one would give 0 instead of Null.
        FoldCase { "If {t.flag} = -1 Then (If {@Ver} Then 'x' Else Length({t.codigo}))",
            "If ({t.flag} = -1) Then If {@Ver} Then 'x' Else Length({t.codigo})" },
        // A fixed number as condition: any but 0 is true.
        FoldCase { "If {@Col} Then {t.codigo} Else 'b'", "{t.codigo}" },
        FoldCase { "If {@Col} - 2 Then 'a' Else {t.codigo}", "{t.codigo}" },
        // A fixed false condition without Else gives the empty value of the Then's type (a Then
        // that reads a record, or the whole If would be worked out as one fixed value).
        FoldCase { "If {@Ver} Then Length({t.codigo})", "0" },
        // A Null on the left decides nothing: False And Null is False, True And Null is Null.
        FoldCase { "{@Nulo} And {t.apagado}", "(Null And {t.apagado})" },
        FoldCase { "{@Ver} And {t.apagado} Or {t.flag} = 0", "(False Or ({t.flag} = 0))" }));

} // namespace
