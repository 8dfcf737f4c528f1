#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "sending/ReglaCorreo.h"

namespace {

using ReglaCorreoTest = CorreoTest;

// The first active rule holding the type wins, by number; a rule that does not say whether to
// confirm leaves it unset; the rule's fields give the sender's.
TEST_F(ReglaCorreoTest, the_first_active_rule_of_the_type_fills_the_fields)
{
    exec(QStringLiteral("DELETE FROM v_ma_email"));
    exec(QStringLiteral("INSERT INTO v_ma_email (ID, codigoactivador, baja, SinConfirmacion, De, "
                        "Para, Asunto, Mensaje) VALUES "
                        "(1, 'RC', 1, 1, 'baja@x', '', 'Baja', ''), "
                        "(2, 'FC,RC', 0, NULL, 'a@x', 'p@x', 'Factura', 'M'), "
                        "(3, 'RC', 0, 1, 'b@x', '', 'Recibo', ''), "
                        "(4, 'O''K', 0, 0, 'c@x', '', 'Apostrofe', '')"));
    const struct
    {
        QString tc;
        QString asunto; // empty: no rule
        std::optional<bool> sinConfirmacion;
    } casos[] = {
        { QStringLiteral("RC"), QStringLiteral("Factura"), std::nullopt },
        { QStringLiteral("O'K"), QStringLiteral("Apostrofe"), false },
        { QStringLiteral("NC"), QString(), std::nullopt },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.tc.toStdString());
        const std::optional<ReglaCorreo> regla = ReglaCorreo::lee(c.tc);
        ASSERT_EQ(regla.has_value(), !c.asunto.isEmpty());
        if (!regla)
            continue;
        EXPECT_EQ(regla->Asunto, c.asunto);
        EXPECT_EQ(regla->SinConfirmacion, c.sinConfirmacion);
    }

    const ReglaCorreo regla = *ReglaCorreo::lee(QStringLiteral("FC"));
    EXPECT_EQ(regla.para(QStringLiteral(" ")), QStringLiteral("p@x"));
    EXPECT_EQ(regla.para(QStringLiteral("c@y")), QStringLiteral("c@y"));
    EXPECT_EQ(regla.asunto(QStringLiteral("FC 7"), QStringLiteral("Paz")),
        QStringLiteral("Factura(FC 7) Paz"));
    EXPECT_EQ(ReglaCorreo::asuntoSinRegla(QStringLiteral("FC 7"), QStringLiteral("Paz")),
        QStringLiteral("FC 7 Paz"));
}

} // namespace
