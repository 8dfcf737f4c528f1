#include <gtest/gtest.h>

#include "reportengine/FormulaOverrides.h"

namespace {

// The formulas a price-list definition declares.
std::optional<DeclaredFormula> priceListFormula(const QString& name)
{
    static const std::vector<DeclaredFormula> declared = {
        { QStringLiteral("Nombreempresa"), FormulaType::Text },
        { QStringLiteral("CortePorLista"), FormulaType::Boolean },
        { QStringLiteral("QuePrecio"), FormulaType::Number },
        { QStringLiteral("OcultarColumnas"), FormulaType::Text },
        { QStringLiteral("PorcRecargoCPRAVTA"), FormulaType::Number },
        { QStringLiteral("Condicion IVA"), FormulaType::Text },
        { QStringLiteral("Desde"), FormulaType::Date },
        { QStringLiteral("Libre"), FormulaType::Unknown },
    };
    for (const auto& d : declared) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return d;
    }
    return std::nullopt;
}

struct OverrideCase
{
    const char* assignment;
    const char* name; // formula overridden; empty when the text is ignored
    const char* value; // the new formula, written back
    bool logged;
};

class FormulaOverridesCases : public ::testing::TestWithParam<OverrideCase>
{
};

TEST_P(FormulaOverridesCases, apply_ignore_or_convert)
{
    const OverrideCase& c = GetParam();

    const FormulaOverrideSet set
        = FormulaOverrides::resolve({ QString::fromUtf8(c.assignment) }, priceListFormula);

    if (*c.name == 0) {
        EXPECT_TRUE(set.applied.empty());
    } else {
        ASSERT_EQ(set.applied.size(), 1u);
        EXPECT_EQ(set.applied[0].name.toStdString(), c.name);
        EXPECT_EQ(set.applied[0].tree->toText().toStdString(), c.value);
    }
    EXPECT_EQ(!set.log.isEmpty(), c.logged) << set.log.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(FormulaOverrides, FormulaOverridesCases,
    ::testing::Values(OverrideCase { "QuePrecio=4", "QuePrecio", "4", false },
        OverrideCase { "  queprecio =  4 ", "QuePrecio", "4", false },
        OverrideCase {
            "Nombreempresa = 'Ferretería Sur'", "Nombreempresa", "'Ferretería Sur'", false },
        OverrideCase { "Nombreempresa = 'It''s'", "Nombreempresa", "'It''s'", false },
        // The suite pastes names between apostrophes without doubling the ones inside.
        OverrideCase {
            "Nombreempresa = 'D'Angelo Hnos'", "Nombreempresa", "'D''Angelo Hnos'", false },
        OverrideCase { "Condicion IVA= 'IVA:Responsable Inscripto'", "Condicion IVA",
            "'IVA:Responsable Inscripto'", false },
        OverrideCase { "OcultarColumnas = ''", "OcultarColumnas", "''", false },
        // Percentages come with the workstation's decimal comma.
        OverrideCase { "PorcRecargoCPRAVTA=10,5", "PorcRecargoCPRAVTA", "10.5", false },
        OverrideCase { "Libre = {x.y} + 1", "Libre", "({x.y} + 1)", false },
        // Converted to the declared type when nothing is lost.
        OverrideCase { "CortePorLista = '-1'", "CortePorLista", "True", true },
        OverrideCase { "CortePorLista = 0", "CortePorLista", "False", true },
        OverrideCase { "QuePrecio='4'", "QuePrecio", "4", true },
        OverrideCase { "OcultarColumnas = 5", "OcultarColumnas", "'5'", true },
        OverrideCase { "Desde = '2024-01-05'", "Desde", "Date(2024,1,5)", true },
        // Ignored, and said so.
        OverrideCase { "QuePrecio='Precio0'", "", "", true },
        OverrideCase { "CortePorLista = 2", "", "", true },
        OverrideCase { "NoExiste=1", "", "", true }, OverrideCase { "sin igual", "", "", true },
        OverrideCase { "Nombreempresa = ", "", "", true },
        OverrideCase { "QuePrecio = 4 +", "", "", true },
        // An empty text changes nothing and says nothing.
        OverrideCase { "", "", "", false }, OverrideCase { "   ", "", "", false }));

TEST(FormulaOverrides, later_text_for_the_same_formula_wins_in_first_place)
{
    const FormulaOverrideSet set = FormulaOverrides::resolve(
        { QStringLiteral("QuePrecio=1"), QStringLiteral("Nombreempresa='A'"),
            QStringLiteral("QUEPRECIO=2") },
        priceListFormula);

    ASSERT_EQ(set.applied.size(), 2u);
    EXPECT_EQ(set.applied[0].name, QStringLiteral("QuePrecio"));
    EXPECT_EQ(set.applied[0].tree->toText(), QStringLiteral("2"));
    EXPECT_EQ(set.applied[1].name, QStringLiteral("Nombreempresa"));
}

TEST(FormulaOverrides, log_lines_name_the_formula_and_the_text)
{
    const FormulaOverrideSet set = FormulaOverrides::resolve(
        { QStringLiteral("NoExiste=1"), QStringLiteral("QuePrecio='Precio0'"),
            QStringLiteral("QuePrecio = 4 +") },
        priceListFormula);

    ASSERT_EQ(set.log.size(), 3);
    EXPECT_EQ(set.log[0],
        QStringLiteral("El reporte no tiene la fórmula «NoExiste», se ignora: «NoExiste=1»"));
    EXPECT_EQ(set.log[1],
        QStringLiteral("Fórmula «QuePrecio»: el valor «'Precio0'» no es del tipo de la fórmula, se "
                       "ignora"));
    EXPECT_EQ(set.log[2],
        QStringLiteral("Error en la fórmula «QuePrecio», columna 4: falta un valor al final, se "
                       "ignora"));
}

} // namespace
