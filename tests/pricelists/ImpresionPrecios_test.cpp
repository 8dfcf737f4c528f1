#include "pricelists/ImpresionPrecios.h"

#include <gtest/gtest.h>

namespace {

// The window as it loads in sales mode: sort on the article code, no grouping, cost and class 1
// ticked, no other option.
EstadoImpresion ventas()
{
    EstadoImpresion e;
    for (int i = 0; i <= 8; ++i)
        e.ChkFiltro << CasillaPrecio { i <= 1 ? 1 : 0, QString::number(i),
            i == 0 ? QStringLiteral("Costo") : QStringLiteral("Clase %1").arg(i) };
    e.OptOrden << OpcionOrden { true, QStringLiteral("{v_ma_articulos.idarticulo}") }
               << OpcionOrden { false, QStringLiteral("{v_ma_articulos.descripcion}") };
    e.OptGROUP = { false, false, false, true };
    return e;
}

EstadoImpresion compras()
{
    EstadoImpresion e = ventas();
    e.ModoCompras = true;
    e.TipoLista = QStringLiteral("C");
    return e;
}

QStringList formulas(const QStringList& entries)
{
    QStringList out = entries;
    while (out.size() < 16)
        out << QString();
    return out;
}

ImpresionPrecios::Resultado arma(const EstadoImpresion& e)
{
    return ImpresionPrecios::armaTrabajo(e, QStringLiteral("Casa Demo"), QStringLiteral("ana/PC1"));
}

TEST(ImpresionPrecios, worked_example_of_a_plain_sales_list)
{
    const auto r = arma(ventas());

    ASSERT_TRUE(r.ok);
    const TrabajoImpresion& t = r.trabajo;
    EXPECT_EQ(t.Seleccion,
        QStringLiteral(" {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False "
                       "AND ({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 ) "));
    EXPECT_EQ(t.CamposOrden, QStringList { QStringLiteral("+{v_ma_articulos.idarticulo}") });
    EXPECT_EQ(t.ListaFormulasReporte,
        formulas({ QStringLiteral("Precio1='Clase 1'"), QStringLiteral("Precio2=''"),
            QStringLiteral("Precio3=''"), QStringLiteral("Precio4=''"),
            QStringLiteral("Precio5=''"), QStringLiteral("Precio6=''"),
            QStringLiteral("Precio7=''"), QStringLiteral("Precio8=''"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion=''"), QStringLiteral("ConStock=0"),
            QStringLiteral("IncluirMargen=0"), QStringLiteral("MargenResumido=0") }));
    EXPECT_EQ(t.NombreReporte, QStringLiteral("RP_ListaPrecios"));
    EXPECT_EQ(t.Formula1, QStringLiteral("Nombreempresa = 'Casa Demo'"));
    EXPECT_EQ(t.Formula2, QString());
    EXPECT_EQ(t.Formula3, QString());
    EXPECT_EQ(t.Formula4, QString());
    EXPECT_EQ(t.Formula5, QStringLiteral("OcultarColumnas = '2 - 3 - 4 - 5 - 6 - 7 - 8 - '"));
    EXPECT_FALSE(t.Etiquetas);
}

TEST(ImpresionPrecios, hidden_columns_list_the_unticked_boxes)
{
    QList<CasillaPrecio> boxes;
    for (int i = 0; i <= 8; ++i)
        boxes << CasillaPrecio { 1, QString::number(i), {} };
    EXPECT_EQ(ImpresionPrecios::ColumnasOcultas(boxes), QString());
    boxes[0].Value = 0;
    EXPECT_EQ(ImpresionPrecios::ColumnasOcultas(boxes), QStringLiteral("0 - "));
}

TEST(ImpresionPrecios, report_name_by_mode_grouping_and_selective_box)
{
    const struct
    {
        bool compras;
        bool retail;
        int selectivo;
        int grupo;
        const char* nombre;
    } cases[] = {
        { false, false, 0, 0, "RP_ListaPreciosRubro" },
        { false, false, 0, 1, "RP_ListaPreciosFamilia" },
        { false, false, 0, 2, "RP_ListaPreciosProveedor" },
        { false, false, 0, 3, "RP_ListaPrecios" },
        { false, false, 1, 0, "RP_ListaPreciosRubro_Sel" },
        { false, false, 1, 3, "RP_ListaPrecios_Sel" },
        { true, false, 0, 2, "RP_ListaPreciosProveedor" },
        // A retail business buys on its own lists, selective or not.
        { true, true, 1, 0, "RP_ListaPreciosDescRecPNRubro" },
        { true, true, 0, 1, "RP_ListaPreciosDescRecPNFamilia" },
        { true, true, 0, 2, "RP_ListaPreciosDescRecPNProveedor" },
        { true, true, 0, 3, "RP_ListaPreciosDescRecPN" },
    };
    for (const auto& c : cases) {
        EstadoImpresion e = c.compras ? compras() : ventas();
        e.UsaRetail = c.retail;
        e.ChkSelectivo = c.selectivo;
        e.OptGROUP = { c.grupo == 0, c.grupo == 1, c.grupo == 2, c.grupo == 3 };

        const auto r = arma(e);

        EXPECT_EQ(r.trabajo.NombreReporte, QString::fromLatin1(c.nombre));
        const bool margen
            = r.trabajo.ListaFormulasReporte.contains(QStringLiteral("IncluirMargen=0"));
        EXPECT_EQ(margen, !(c.compras && c.retail)) << c.nombre;
    }
}

TEST(ImpresionPrecios, no_grouping_leaves_the_name_empty_unless_labels_replace_it)
{
    EstadoImpresion e = ventas();
    e.OptGROUP = { false, false, false, false };

    const auto sinNombre = arma(e);
    e.ChkEtiquetas = 1;
    const auto etiquetas = arma(e);

    EXPECT_TRUE(sinNombre.sinAgrupamiento);
    EXPECT_EQ(sinNombre.trabajo.NombreReporte, QString());
    EXPECT_EQ(etiquetas.trabajo.NombreReporte, QStringLiteral("MA_PRE2"));
}

TEST(ImpresionPrecios, cost_analysis_in_purchase_mode)
{
    EstadoImpresion e = compras();
    e.chkAnalisisCostos = 1;
    e.ListaDesde = QStringLiteral("20");
    e.RubroDesde = QStringLiteral("1");
    e.Deposito = QStringLiteral("1");
    e.lblDescDep = QStringLiteral("Depósito Central");

    const auto r = arma(e);

    ASSERT_TRUE(r.ok);
    // No list criteria, list type, warehouse, zero-price or purchase-suspension condition.
    EXPECT_FALSE(r.trabajo.Seleccion.contains(QStringLiteral("IdLista")));
    EXPECT_FALSE(r.trabajo.Seleccion.contains(QStringLiteral("TIPOLISTA")));
    EXPECT_FALSE(r.trabajo.Seleccion.contains(QStringLiteral("DEPOSITO")));
    EXPECT_FALSE(r.trabajo.Seleccion.contains(QStringLiteral("<>0")));
    EXPECT_FALSE(r.trabajo.Seleccion.contains(QStringLiteral("SUSPENDIDOC")));
    EXPECT_TRUE(r.trabajo.Seleccion.contains(QStringLiteral("{v_ma_articulos.idrubro}")));
    EXPECT_TRUE(r.trabajo.Seleccion.endsWith(QStringLiteral(
        " {v_ma_articulos.SUSPENDIDO} = False and {aux_analisiscostos.usuario}='ana/PC1'")));
    EXPECT_EQ(r.trabajo.NombreReporte, QStringLiteral("RP_LISTAPRECIOSAC"));
    EXPECT_TRUE(r.trabajo.AnalisisCostos);
    EXPECT_FALSE(r.trabajo.ListaFormulasReporte.join(u'|').contains(QStringLiteral("Margen")));
    EXPECT_FALSE(
        r.trabajo.ListaFormulasReporte.join(u'|').contains(QStringLiteral("Cond_Cpra_Vta")));
}

TEST(ImpresionPrecios, purchases_leave_out_what_is_suspended_for_purchasing)
{
    const auto r = arma(compras());

    EXPECT_EQ(r.trabajo.Seleccion,
        QStringLiteral(
            " {V_MA_PRECIOS.TIPOLISTA} = 'C'  AND  {v_ma_articulos.SUSPENDIDO} = False "
            "AND ({V_MA_PRECIOS.COSTO}<>0 OR  {V_MA_PRECIOS.PRECIO1}<>0 )  AND "
            "{V_MA_ARTICULOS.SUSPENDIDO}=FALSE AND {V_MA_ARTICULOS.SUSPENDIDOC}=FALSE "));
}

TEST(ImpresionPrecios, offers_by_their_dates)
{
    const struct
    {
        const char* desde;
        const char* hasta;
        bool analisis;
        const char* seleccion;
    } cases[] = {
        { "01/03/2024", "", false,
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_precios.FhOfertaDesde} = Date(2024,03,01)"
            " AND  {v_ma_articulos.SUSPENDIDO} = False" },
        { "", "31/03/2024", false,
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_precios.FhOfertaHasta} = Date(2024,03,31)"
            " AND  {v_ma_articulos.SUSPENDIDO} = False" },
        { "01/03/2024", "31/03/2024", false,
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND ( {v_ma_precios.FhOfertaDesde} >= "
            "Date(2024,03,01)"
            " AND  {v_ma_precios.FhOfertaHasta} <= Date(2024,03,31)) AND  "
            "{v_ma_articulos.SUSPENDIDO} = False" },
        // No dates: the articles that have an offer period.
        { "", "", false,
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND ( Not IsNull({v_ma_precios.FhOfertaDesde})) AND  "
            "{v_ma_articulos.SUSPENDIDO} = False" },
        // Nothing before it: the offer condition opens the selection.
        { "01/03/2024", "", true,
            " {v_ma_precios.FhOfertaDesde} = Date(2024,03,01) AND  {v_ma_articulos.SUSPENDIDO} = "
            "False"
            " and {aux_analisiscostos.usuario}='ana/PC1'" },
    };
    for (const auto& c : cases) {
        EstadoImpresion e = c.analisis ? compras() : ventas();
        e.chkAnalisisCostos = c.analisis ? 1 : 0;
        e.chkIncluirEnCero = 1;
        e.ChkArticulosEnOferta = 1;
        e.OfDesde = QString::fromLatin1(c.desde);
        e.OfHasta = QString::fromLatin1(c.hasta);

        EXPECT_EQ(arma(e).trabajo.Seleccion, QString::fromLatin1(c.seleccion))
            << c.desde << c.hasta;
    }
}

TEST(ImpresionPrecios, warehouse_found_adds_stock_and_its_condition)
{
    EstadoImpresion e = ventas();
    e.chkIncluirEnCero = 1;
    e.Deposito = QStringLiteral("2");

    const auto noEncontrado = arma(e);
    e.lblDescDep = QStringLiteral("Salón de Ventas");
    const auto encontrado = arma(e);

    EXPECT_TRUE(noEncontrado.trabajo.ListaFormulasReporte.contains(QStringLiteral("ConStock=0")));
    EXPECT_FALSE(noEncontrado.trabajo.Seleccion.contains(QStringLiteral("DEPOSITO")));
    EXPECT_TRUE(encontrado.trabajo.ListaFormulasReporte.contains(QStringLiteral("ConStock=1")));
    EXPECT_EQ(encontrado.trabajo.Seleccion,
        QStringLiteral(
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False"
            " AND  ({STK_MA_ARTICULOS.DEPOSITO} = '   2' OR {STK_MA_ARTICULOS.DEPOSITO}=''"
            " OR ISNULL({STK_MA_ARTICULOS.DEPOSITO}))"));
}

TEST(ImpresionPrecios, conditions_single_and_selective)
{
    const QString pad = QString(60, u' ');
    EstadoImpresion e = ventas();
    e.CmbCpra_Vta = QStringLiteral("Tarjeta 3 cuotas (12,5%)") + pad + QStringLiteral("12.5");
    e.PorcentajeCpra_Vta = 12.5;

    const QStringList simple = arma(e).trabajo.ListaFormulasReporte;

    EXPECT_EQ(simple.mid(8, 3),
        QStringList({ QStringLiteral("Cond_Cpra_Vta_Descripcion='Tarjeta 3 cuotas (12,5%)'"),
            QStringLiteral("PorcRecargoCPRAVTA=12.5"), QStringLiteral("ConStock=0") }));

    e.ChkSelectivo = 1;
    for (int i = 1; i <= 7; ++i)
        e.lstCondiciones << CondicionCpraVta { QStringLiteral("Cond %1").arg(i) + pad
                + QStringLiteral("%1").arg(i),
            i * 1.5 - 3, i != 2 };
    const QStringList selectiva = arma(e).trabajo.ListaFormulasReporte;

    // Only the first five selected items, in list order; the class-4 caption heads the list.
    EXPECT_EQ(selectiva,
        formulas({ QStringLiteral("Precio1='Clase 4'"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion1='Cond 1'"),
            QStringLiteral("PorcRecargoCPRAVTA1=-1.5"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion2='Cond 3'"),
            QStringLiteral("PorcRecargoCPRAVTA2=1.5"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion3='Cond 4'"),
            QStringLiteral("PorcRecargoCPRAVTA3=3"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion4='Cond 5'"),
            QStringLiteral("PorcRecargoCPRAVTA4=4.5"),
            QStringLiteral("Cond_Cpra_Vta_Descripcion5='Cond 6'"),
            QStringLiteral("PorcRecargoCPRAVTA5=6"), QStringLiteral("CantCondiciones=5"),
            QStringLiteral("QuePrecio=4"), QStringLiteral("ConStock=0"),
            QStringLiteral("IncluirMargen=0"), QStringLiteral("MargenResumido=0") }));
}

TEST(ImpresionPrecios, purchase_mode_passes_no_condition)
{
    EstadoImpresion e = compras();
    e.CmbCpra_Vta = QStringLiteral("Contado") + QString(60, u' ') + QStringLiteral("0");

    EXPECT_FALSE(arma(e).trabajo.ListaFormulasReporte.join(u'|').contains(QStringLiteral("Cond_")));
}

TEST(ImpresionPrecios, labels_keep_only_the_price_of_the_first_ticked_box)
{
    EstadoImpresion e = ventas();
    e.ChkEtiquetas = 1;

    const auto conCosto = arma(e);
    e.ChkFiltro[0].Value = 0;
    const auto sinCosto = arma(e);

    QStringList expected(11, QString());
    expected[6] = QStringLiteral("QuePrecio='Precio0'");
    EXPECT_EQ(conCosto.trabajo.ListaFormulasReporte, expected);
    expected[6] = QStringLiteral("QuePrecio='Precio1'");
    EXPECT_EQ(sinCosto.trabajo.ListaFormulasReporte, expected);
    EXPECT_TRUE(conCosto.trabajo.Etiquetas);
    EXPECT_EQ(conCosto.trabajo.Seleccion, arma(ventas()).trabajo.Seleccion);
}

TEST(ImpresionPrecios, zero_prices_and_page_breaks)
{
    EstadoImpresion e = ventas();
    for (CasillaPrecio& c : e.ChkFiltro)
        c.Value = 0;
    e.ChkListaPPagina = 1;

    const auto r = arma(e);

    EXPECT_EQ(r.trabajo.Seleccion,
        QStringLiteral(
            " {V_MA_PRECIOS.TIPOLISTA} = 'V'  AND  {v_ma_articulos.SUSPENDIDO} = False"));
    EXPECT_EQ(r.trabajo.ListaFormulasReporte.mid(0, 8).join(u'|'),
        QStringLiteral("Precio1=''|Precio2=''|Precio3=''|Precio4=''|Precio5=''|Precio6=''|"
                       "Precio7=''|Precio8=''"));
    EXPECT_EQ(r.trabajo.Formula4, QStringLiteral("CortePorLista = '-1'"));
}

TEST(ImpresionPrecios, criteria_rows_and_apostrophes)
{
    EstadoImpresion e = ventas();
    e.chkIncluirEnCero = 1;
    e.ProveedorDesde = QStringLiteral("O'Brien");

    const auto r
        = ImpresionPrecios::armaTrabajo(e, QStringLiteral("D'Angelo"), QStringLiteral("k"));

    EXPECT_EQ(r.trabajo.Formula1, QStringLiteral("Nombreempresa = 'D''Angelo'"));
    EXPECT_TRUE(r.trabajo.Seleccion.contains(QStringLiteral("'O''Brien'")))
        << r.trabajo.Seleccion.toStdString();

    e.ProveedorDesde.clear();
    e.RubroDesde = QStringLiteral("Z");
    e.RubroHasta = QStringLiteral("A");
    const auto rechazada = arma(e);

    EXPECT_FALSE(rechazada.ok);
    EXPECT_FALSE(rechazada.mensaje.isEmpty());
}

TEST(ImpresionPrecios, surcharges_as_formula_numbers)
{
    EXPECT_EQ(ImpresionPrecios::NumeroFormula(10.5), QStringLiteral("10.5"));
    EXPECT_EQ(ImpresionPrecios::NumeroFormula(-5), QStringLiteral("-5"));
    EXPECT_EQ(ImpresionPrecios::NumeroFormula(0), QStringLiteral("0"));
    EXPECT_EQ(ImpresionPrecios::NumeroFormula(12.125), QStringLiteral("12.125"));
    EXPECT_EQ(ImpresionPrecios::DescripcionCondicion(QStringLiteral("abc")), QString());
    // The surcharge is read from the item's hidden tail, written with "." whatever the
    // workstation's format, so 10.5 stays 10.5.
    const QString pad(60, u' ');
    EXPECT_EQ(ImpresionPrecios::PorcentajeCondicion(
                  QStringLiteral("Tarjeta (10.5%)") + pad + QStringLiteral("10.5")),
        10.5);
    EXPECT_EQ(ImpresionPrecios::PorcentajeCondicion(
                  QStringLiteral("Contado (-5%)") + pad + QStringLiteral("-5")),
        -5.0);
    EXPECT_EQ(ImpresionPrecios::PorcentajeCondicion(QStringLiteral("Sin recargo (%)") + pad), 0.0);
}

} // namespace
