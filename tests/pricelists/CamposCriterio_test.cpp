#include "pricelists/CamposCriterio.h"

#include <gtest/gtest.h>

using CamposCriterio::Consulta;

TEST(CamposCriterio, each_tag_names_its_lookup_in_any_case)
{
    const QString listas = QStringLiteral(
        "SELECT DISTINCT IDLISTA, NOMBRE FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = '%1'");
    const struct
    {
        const char* tag;
        const char* tipoLista;
        Consulta::Clase clase;
        const char* campoDevuelto;
        QString origen;
        bool arbol;
    } casos[] = {
        { "V_MA_PRECIOS", "V", Consulta::Clase::Tabla, "IDLISTA", listas.arg(QStringLiteral("V")),
            false },
        { "v_ma_precios", "C", Consulta::Clase::Tabla, "IDLISTA", listas.arg(QStringLiteral("C")),
            false },
        { "V_MA_PRECIOS_NOMBRE", "C", Consulta::Clase::Tabla, "NOMBRE",
            listas.arg(QStringLiteral("C")), false },
        { "v_ta_familias", "V", Consulta::Clase::Tabla, "IDFAMILIA",
            QStringLiteral("SELECT IDFAMILIA, DESCRIPCION FROM V_TA_FAMILIAS ORDER BY IDFAMILIA"),
            true },
        { "vt_proveedores", "V", Consulta::Clase::Tabla, "codigo", QStringLiteral("vt_proveedores"),
            false },
        { "V_ta_rubros", "C", Consulta::Clase::Tabla, "idrubro", QStringLiteral("v_ta_rubros"),
            false },
        { "v_ta_deposito", "V", Consulta::Clase::Tabla, "iddeposito",
            QStringLiteral("v_ta_deposito"), false },
        { "fecha", "V", Consulta::Clase::Fecha, "", QString(), false },
        { "V_MA_PRECIOS ", "V", Consulta::Clase::Ninguna, "", QString(), false },
        { "V_TA_MARCAS", "V", Consulta::Clase::Ninguna, "", QString(), false },
    };
    for (const auto& caso : casos) {
        const Consulta c
            = CamposCriterio::consultaDe(QLatin1String(caso.tag), QLatin1String(caso.tipoLista));
        EXPECT_EQ(c.clase, caso.clase) << caso.tag;
        EXPECT_EQ(c.campoDevuelto, QLatin1String(caso.campoDevuelto)) << caso.tag;
        EXPECT_EQ(c.origen, caso.origen) << caso.tag;
        EXPECT_EQ(c.arbol, caso.arbol) << caso.tag;
    }
}

TEST(CamposCriterio, family_pattern_and_field_kinds)
{
    const struct
    {
        const char* texto;
        const char* patron;
    } patrones[] = {
        { "12", "12*" },
        { " 12 ", " 12 *" },
        { "12*", "12*" },
        { "*12", "*12" },
        { "1*2", "1*2" },
        { "   ", "   " },
        { "", "" },
    };
    for (const auto& p : patrones)
        EXPECT_EQ(CamposCriterio::patronFamilia(QLatin1String(p.texto)), QLatin1String(p.patron))
            << p.texto;

    for (const char* familia : { "FamiliaDesde", "FAMILIAHASTA" })
        EXPECT_TRUE(CamposCriterio::esFamilia(QLatin1String(familia))) << familia;
    for (const char* otro : { "RubroDesde", "Familia", "Deposito" })
        EXPECT_FALSE(CamposCriterio::esFamilia(QLatin1String(otro))) << otro;
    EXPECT_TRUE(CamposCriterio::esDeposito(QStringLiteral("Deposito")));
    EXPECT_FALSE(CamposCriterio::esDeposito(QStringLiteral("DepositoHasta")));
}

TEST(CamposCriterio, colours_are_stored_blue_green_red)
{
    EXPECT_EQ(CamposCriterio::color(0xFFFF00), QColor(0, 255, 255));
    EXPECT_EQ(CamposCriterio::color(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(CamposCriterio::color(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(CamposCriterio::color(0xFFFFFF), QColor(Qt::white));
    EXPECT_EQ(CamposCriterio::color(0), QColor(Qt::black));
}
