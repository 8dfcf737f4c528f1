#include "pricelists/TarifolioReglas.h"

#include <gtest/gtest.h>

using Accion = TarifolioReglas::Accion;

TEST(TarifolioReglas, purchase_mode_only_for_a_bare_c_in_any_case)
{
    const struct
    {
        const char* parametro;
        bool compras;
    } filas[] = {
        { "C", true },
        { "c", true },
        { "", false },
        { "V", false },
        { " C", false }, // the parameter reader trims; the window compares as given
        { "CC", false },
    };
    for (const auto& fila : filas)
        EXPECT_EQ(TarifolioReglas::esModoCompras(QString::fromUtf8(fila.parametro)), fila.compras)
            << fila.parametro;
}

TEST(TarifolioReglas, retail_is_si_in_any_case_untrimmed)
{
    EXPECT_TRUE(TarifolioReglas::esRetail(QStringLiteral("SI")));
    EXPECT_TRUE(TarifolioReglas::esRetail(QStringLiteral("si")));
    EXPECT_FALSE(TarifolioReglas::esRetail(QStringLiteral("SI ")));
    EXPECT_FALSE(TarifolioReglas::esRetail(QStringLiteral(" "))); // a missing key
    EXPECT_FALSE(TarifolioReglas::esRetail(QStringLiteral("NO")));
}

TEST(TarifolioReglas, each_mode_has_its_caption_list_type_and_boxes)
{
    const TarifolioReglas compras(true, false);
    const TarifolioReglas ventas(false, false);

    EXPECT_EQ(compras.titulo(), QStringLiteral("Listas de Precios de Compras"));
    EXPECT_EQ(compras.TipoLista(), QStringLiteral("C"));
    EXPECT_TRUE(compras.muestraAnalisis());
    EXPECT_FALSE(compras.muestraSelectivo());
    EXPECT_FALSE(compras.muestraCondiciones());
    EXPECT_EQ(ventas.titulo(), QStringLiteral("Listas de Precios de Ventas"));
    EXPECT_EQ(ventas.TipoLista(), QStringLiteral("V"));
    EXPECT_FALSE(ventas.muestraAnalisis());
    EXPECT_TRUE(ventas.muestraSelectivo());
    EXPECT_TRUE(ventas.muestraCondiciones());
}

TEST(TarifolioReglas, retail_leaves_out_the_classes_of_the_other_mode)
{
    const struct
    {
        bool compras;
        bool retail;
        const char* ocultas; // classes 0..8, 'x' left out
    } filas[] = {
        { true, true, "....xxxxx" },
        { false, true, ".xxx....." },
        { true, false, "........." },
        { false, false, "........." },
    };
    for (const auto& fila : filas) {
        const TarifolioReglas reglas(fila.compras, fila.retail);
        QString ocultas;
        for (int clase = 0; clase <= 8; ++clase)
            ocultas += reglas.claseOculta(clase) ? u'x' : u'.';
        EXPECT_EQ(ocultas, QString::fromLatin1(fila.ocultas)) << fila.compras << fila.retail;
    }
}

TEST(TarifolioReglas, class_captions_fall_back_on_clase_and_its_number)
{
    EXPECT_EQ(TarifolioReglas::claveTituloClase(3), QStringLiteral("NOM_PCLASE3"));
    EXPECT_EQ(
        TarifolioReglas::tituloClase(3, QStringLiteral("Mayorista")), QStringLiteral("Mayorista"));
    EXPECT_EQ(TarifolioReglas::tituloClase(3, QStringLiteral(" ")), QStringLiteral("CLASE 3"));
    EXPECT_EQ(TarifolioReglas::tituloClase(8, QStringLiteral("   ")), QStringLiteral("CLASE 8"));
    // A configured caption is shown as stored, blanks included.
    EXPECT_EQ(
        TarifolioReglas::tituloClase(1, QStringLiteral(" Contado ")), QStringLiteral(" Contado "));
}

TEST(TarifolioReglas, sales_height_comes_from_the_conditions_frame)
{
    EXPECT_EQ(TarifolioReglas::alturaVentas(), 7150);
    EXPECT_EQ(TarifolioReglas::alturaVentas(5000.0F, 1000.0F), 6500);
}

TEST(TarifolioReglas, statements_of_the_lists)
{
    EXPECT_EQ(TarifolioReglas::sentenciasListasAnalisis(),
        (QStringList {
            QStringLiteral("SELECT GRUPO FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND NOT GRUPO "
                           "IS NULL GROUP BY GRUPO"),
            QStringLiteral("SELECT IDLISTA FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND GRUPO IS "
                           "NULL GROUP BY IDLISTA") }));
    EXPECT_EQ(TarifolioReglas::sentenciaCondiciones(),
        QStringLiteral("SELECT idCOND_CPRA_VTA, DESCRIPCION, PORCRECARGO FROM V_ta_Cpra_Vta "));
}

TEST(TarifolioReglas, a_condition_keeps_its_bare_surcharge_out_of_sight)
{
    const QString blancos(60, u' ');
    const struct
    {
        Value descripcion;
        Value porcentaje;
        QString texto;
        QString visible;
    } filas[] = {
        { Value(QStringLiteral("Contado")), Value(Currency::fromInteger(-5)),
            QStringLiteral("Contado (-5%)") + blancos + QStringLiteral("-5"),
            QStringLiteral("Contado (-5%)") },
        { Value(QStringLiteral("3 cuotas")), Value(*Currency::fromString(u"12.5")),
            QStringLiteral("3 cuotas (12.5%)") + blancos + QStringLiteral("12.5"),
            QStringLiteral("3 cuotas (12.5%)") },
        // Blanks of the description's own stay in sight.
        { Value(QStringLiteral("Lista  B   ")), Value(Currency::fromInteger(3)),
            QStringLiteral("Lista  B    (3%)") + blancos + QStringLiteral("3"),
            QStringLiteral("Lista  B    (3%)") },
        { Value::null(), Value::null(), QStringLiteral(" (%)") + blancos, QStringLiteral(" (%)") },
    };
    for (const auto& fila : filas) {
        const QString texto = TarifolioReglas::textoCondicion(fila.descripcion, fila.porcentaje);
        EXPECT_EQ(texto, fila.texto);
        EXPECT_EQ(TarifolioReglas::textoVisibleCondicion(texto), fila.visible);
    }
    // A text not built as an item is shown whole.
    EXPECT_EQ(TarifolioReglas::textoVisibleCondicion(QStringLiteral("General")),
        QStringLiteral("General"));
}

TEST(TarifolioReglas, toolbar_keys_in_any_case)
{
    const struct
    {
        const char* clave;
        Accion accion;
    } filas[] = {
        { "PANTALLA", Accion::Pantalla },
        { "pantalla", Accion::Pantalla },
        { "Impresora", Accion::Impresora },
        { "MENSAJE", Accion::Mensaje },
        { "consultar", Accion::Consultar },
        { "CERRAR", Accion::Cerrar },
        { "", Accion::Ninguna },
        { "PANTALLA ", Accion::Ninguna },
        { "Plantilla", Accion::Ninguna },
    };
    for (const auto& fila : filas)
        EXPECT_EQ(TarifolioReglas::accionBarra(QString::fromLatin1(fila.clave)), fila.accion)
            << fila.clave;
}

TEST(TarifolioReglas, at_most_four_lists_and_a_ten_character_date)
{
    EXPECT_FALSE(TarifolioReglas::excedeListas(4));
    EXPECT_TRUE(TarifolioReglas::excedeListas(5));
    EXPECT_EQ(TarifolioReglas::fechaCorta(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
}
