#include "data/RestrictedViews.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

using RestrictedViews::Context;

namespace {

struct Row
{
    const char* in;
    const char* out;
};

Context operatorOf(const char* program = "Rp_Tarifolio", bool confidencialidad = true)
{
    return Context { false, confidencialidad, QString::fromUtf8(program) };
}

void expectRows(const Context& context, std::initializer_list<Row> rows)
{
    for (const Row& row : rows)
        EXPECT_EQ(RestrictedViews::SS_TSinonimos(QString::fromUtf8(row.in), context),
            QString::fromUtf8(row.out))
            << row.in;
}

} // namespace

TEST(RestrictedViews, an_administrator_only_loses_the_marker)
{
    expectRows(Context { true, true, QStringLiteral("Rp_Tarifolio") },
        {
            { "SELECT * FROM @Admin_MA_CUENTAS", "SELECT * FROM MA_CUENTAS" },
            { "SELECT * FROM MA_CUENTAS WHERE 1=1", "SELECT * FROM MA_CUENTAS WHERE 1=1" },
        });
}

TEST(RestrictedViews, points_an_operator_at_the_restricted_views)
{
    expectRows(operatorOf(),
        {
            { "SELECT * FROM MA_CUENTAS WHERE Codigo = '1'",
                "SELECT * FROM SS_MA_CUENTAS WHERE Codigo = '1'" },
            { "select * from ma_cuentas where x", "select * from SS_MA_CUENTAS where x" },
            { "SELECT A FROM T INNER JOIN MA_CUENTAS ON (MA_CUENTAS.Codigo = T.C)",
                "SELECT A FROM T INNER JOIN SS_MA_CUENTAS ON (SS_MA_CUENTAS.Codigo = T.C)" },
            // Report fields carry the brace, for the account table only.
            { "{MA_CUENTAS.Codigo} = {MV_ASIENTOS.Cuenta}",
                "{SS_MA_CUENTAS.Codigo} = {MV_ASIENTOS.Cuenta}" },
            { "SELECT A.X,MV_ASIENTOS.Y FROM A", "SELECT A.X,SS_MV_ASIENTOS.Y FROM A" },
            // Laid out on several lines, or ending the text: still the account table.
            { "SELECT *\r\nFROM\tMA_CUENTAS\r\nWHERE 1=1",
                "SELECT *\r\nFROM\tSS_MA_CUENTAS\r\nWHERE 1=1" },
            { "SELECT * FROM MA_CUENTAS", "SELECT * FROM SS_MA_CUENTAS" },
            { "MA_CUENTAS.Codigo", "SS_MA_CUENTAS.Codigo" },
            // Part of a longer name: untouched.
            { "SELECT * FROM MA_CUENTAS_ARCHIVOS WHERE 1=1",
                "SELECT * FROM MA_CUENTAS_ARCHIVOS WHERE 1=1" },
            { "SELECT * FROM AC_CUENTASDIARIO_CCOSTO WHERE 1=1",
                "SELECT * FROM SS_AC_CUENTAS_DIARIO_CCOSTO WHERE 1=1" },
            { "SELECT * FROM AC_CUENTASDIARIO WHERE 1=1",
                "SELECT * FROM SS_AC_CUENTASDIARIO WHERE 1=1" },
            { "SELECT * FROM V_TA_CAJAS , V_TA_DEPOSITO , V_TA_FAMILIAS ",
                "SELECT * FROM SS_V_TA_CAJAS , SS_V_TA_DEPOSITO , SS_V_TA_FAMILIAS " },
        });
}

TEST(RestrictedViews, the_marker_lifts_the_account_restriction_of_the_whole_statement)
{
    expectRows(operatorOf(),
        {
            { "SELECT * FROM @Admin_MA_CUENTAS C, MA_CUENTAS D WHERE 1=1",
                "SELECT * FROM MA_CUENTAS C, MA_CUENTAS D WHERE 1=1" },
            // A name written right after the marker has no delimiter and stays plain.
            { "SELECT * FROM @Admin_MV_ASIENTOS WHERE 1=1", "SELECT * FROM MV_ASIENTOS WHERE 1=1" },
        });
}

TEST(RestrictedViews, some_programs_see_every_depot_or_family)
{
    expectRows(operatorOf("rp_almeno"),
        { { "SELECT * FROM V_TA_DEPOSITO WHERE 1=1", "SELECT * FROM V_TA_DEPOSITO WHERE 1=1" } });
    expectRows(operatorOf("QUIBEL"),
        { { "SELECT * FROM V_TA_FAMILIAS WHERE 1=1", "SELECT * FROM V_TA_FAMILIAS WHERE 1=1" },
            { "SELECT * FROM V_TA_DEPOSITO WHERE 1=1",
                "SELECT * FROM SS_V_TA_DEPOSITO WHERE 1=1" } });
}

TEST(RestrictedViews, journal_statements_are_open_without_confidentiality)
{
    expectRows(operatorOf("Rp_Tarifolio", false),
        {
            { "SELECT * FROM MV_ASIENTOS INNER JOIN @Admin_X ON MA_CUENTAS.C = 1",
                "SELECT * FROM MV_ASIENTOS INNER JOIN X ON MA_CUENTAS.C = 1" },
            { "SELECT * FROM MA_CUENTAS WHERE 1=1", "SELECT * FROM SS_MA_CUENTAS WHERE 1=1" },
        });
}
