#include "services/ConfiguracionGlobal.h"

#include <functional>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "services/BaseInicio.h"
#include "services/Formatos.h"
#include "support/QtPrinters.h"

namespace {

using Lector = std::function<QString(const Globales&)>;

QString si(bool valor)
{
    return valor ? QStringLiteral("True") : QStringLiteral("False");
}

class ConfiguracionGlobal : public BaseInicio
{
protected:
    void SetUp() override
    {
        BaseInicio::SetUp();
        conecta();
        m_inicio.gUsuarioLogeado = QStringLiteral("VENDEDOR");
    }
};

} // namespace

TEST_F(ConfiguracionGlobal, each_setting_sets_its_global_by_its_reading_rule)
{
    struct Fila
    {
        const char* clave;
        const char16_t* valor;
        Lector lee;
        const char16_t* esperado;
    };
    const Fila filas[] = {
        { "MostrarStockenConsultas", u"si", [](auto& g) { return si(g.gMostrarStockEnConsultas); },
            u"True" },
        { "TituloClientes", u"  Socios  ", [](auto& g) { return g.gTituloClientes; }, u"Socios" },
        { "TituloProveedores", u"Fabricas ", [](auto& g) { return g.gTituloProveedores; },
            u"Fabricas" },
        // SI is compared untrimmed: a stored " SI" is off.
        { "EXIGECLAVECONSULTALIKEARTICULOS", u" SI",
            [](auto& g) { return si(g.gExigeClaveConsultaLike); }, u"False" },
        { "UsaConsultaLike", u"Si", [](auto& g) { return si(g.gUsaConsultaLike); }, u"True" },
        { "CantidadDecimales", u" 3 ", [](auto& g) { return g.gCantidadDecimales; }, u" 3 " },
        { "UsaMultilesMonedas", u"SI", [](auto& g) { return si(g.gUsaMultiplesMonedas); },
            u"True" },
        { "USACCOSTO", u"SI", [](auto& g) { return si(g.gUsaCCosto); }, u"True" },
        { "USA_STK_STOCK_UDKG", u"NO", [](auto& g) { return si(g.gUsaStockUdKg); }, u"False" },
        { "UNIDADDEMEDIDA_M3", u" M3 ", [](auto& g) { return g.gUnidadMedidaM3; }, u"M3" },
        { "UNIDADDEMEDIDA_BL", u"BL", [](auto& g) { return g.gUnidadMedidaBL; }, u"BL" },
        { "UNIDADDEMEDIDA_KG", u"KG", [](auto& g) { return g.gUnidadMedidaKG; }, u"KG" },
        { "PERIODO", u" 12abc", [](auto& g) { return QString::number(g.gPeriodo); }, u"12" },
        // SI-trim: blanks around do not matter here.
        { "RazonSocialPorUneg", u" si ", [](auto& g) { return si(g.gRazonSocialPorUneg); },
            u"True" },
        { "VALIDACODIGOBARRA", u"SI", [](auto& g) { return si(g.gValidaCodigoBarra); }, u"True" },
        { "CFondo", u"255", [](auto& g) { return QString::number(g.gColorFondo); }, u"255" },
        { "CLetra", u"65280", [](auto& g) { return QString::number(g.gColorLetra); }, u"65280" },
        { "ModuloOrdenDeTrabajo", u" no ", [](auto& g) { return si(g.gModuloOrdenDeTrabajo); },
            u"False" },
        // set-not-NO makes its NO test on the untrimmed value.
        { "V_ModificaCPrecio", u" no ", [](auto& g) { return si(g.gVModificaCPrecio); }, u"True" },
        { "C_ModificaCPrecio", u"NO", [](auto& g) { return si(g.gCModificaCPrecio); }, u"False" },
        { "MADERERA", u"x", [](auto& g) { return si(g.gMaderera); }, u"True" },
        { "MAD_TIRAS", u" T ", [](auto& g) { return g.gMadTiras; }, u"T" },
        { "MAD_ML_M2", u"MM", [](auto& g) { return g.gMadMLM2; }, u"MM" },
        { "CuentaCtroDist", u" 4.1.01 ", [](auto& g) { return g.gCuentaCtroDist; }, u"4.1.01" },
        { "MaxDto", u" 12,5 ", [](auto& g) { return g.gMaxDto.toString(); }, u"12.5" },
        { "MaxDtoProforma", u"7.25", [](auto& g) { return g.gMaxDtoProforma.toString(); },
            u"7.25" },
        { "PideClave_StockNeg", u"SI", [](auto& g) { return si(g.gPideClaveStockNeg); }, u"True" },
        { "PideClave_MarkUpBase", u"NO", [](auto& g) { return si(g.gPideClaveMarkUpBase); },
            u"False" },
        { "PideClave_LimiteCredito", u"", [](auto& g) { return si(g.gPideClaveLimiteCredito); },
            u"False" },
        { "SS_BloqueoActivo", u"SI", [](auto& g) { return si(g.gBloqueoActivo); }, u"True" },
        { "UTILIZARFECHADIA", u"SI", [](auto& g) { return si(g.gUtilizarFechaDia); }, u"True" },
        { "AsignacionAutomaticaDeLoteING", u"SI", [](auto& g) { return si(g.gAsignaLoteING); },
            u"True" },
        { "AsignacionAutomaticaDeLoteINGOP", u"no", [](auto& g) { return si(g.gAsignaLoteINGOP); },
            u"False" },
        { "Top_Default", u"500", [](auto& g) { return g.gTopDefault; }, u"500" },
    };
    QList<QPair<QString, QString>> claves;
    for (const Fila& fila : filas)
        claves.append({ QString::fromLatin1(fila.clave), QString::fromUtf16(fila.valor) });
    configuracion(claves);

    CargaConfiguracionGlobal(carpeta() + u'/');

    for (const Fila& fila : filas)
        EXPECT_EQ(fila.lee(m_globales), QString::fromUtf16(fila.esperado)) << fila.clave;
    EXPECT_EQ(m_globales.gTablaConfiguracion, QStringLiteral("ta_configuracion"));
    EXPECT_EQ(m_globales.gArchivoDocTareas, carpeta() + QStringLiteral("/KZQDOCTareas.qzk"));
}

TEST_F(ConfiguracionGlobal, an_empty_settings_table_gives_the_defaults)
{
    configuracion({});
    m_inicio.gUsuarioLogeado = QStringLiteral("NADIE");
    m_globales.gColorFondo = 0xFFFFFF;

    CargaConfiguracionGlobal(carpeta() + u'/');

    EXPECT_EQ(m_globales.gCantidadDecimales, QStringLiteral(" "));
    EXPECT_EQ(m_globales.gTopDefault, QStringLiteral("1000"));
    EXPECT_TRUE(m_globales.gModuloOrdenDeTrabajo);
    EXPECT_FALSE(m_globales.gUsaConsultaLike);
    EXPECT_FALSE(m_globales.gMaderera);
    EXPECT_EQ(m_globales.gColorFondo, 0xFFFF00);
    EXPECT_EQ(m_globales.gColorLetra, 0);
    EXPECT_EQ(m_globales.gCondIva, 1);
    EXPECT_EQ(m_globales.gUNegocio, QStringLiteral("   1"));
    EXPECT_FALSE(m_ajustesDatos.gConfidencialidad);
}

TEST_F(ConfiguracionGlobal, the_user_row_narrows_proforma_and_gives_unit_and_price_classes)
{
    configuracion({ { QStringLiteral("UsaFacturaProforma"), QStringLiteral("SI") },
        { QStringLiteral("SS_CONFIDENCIALIDAD"), QStringLiteral("SI") } });
    exec(QStringLiteral("UPDATE TA_USUARIOS SET verproforma = 0, clasepusa = '1,2,3', "
                        "UNegocio = '   1' WHERE NOMBRE = 'VENDEDOR'"));

    CargaConfiguracionGlobal(carpeta() + u'/');

    EXPECT_FALSE(m_globales.gUsaFacturaProforma);
    EXPECT_EQ(m_globales.gClasePUsa, QStringLiteral("123"));
    EXPECT_EQ(m_globales.gUNegocio, QStringLiteral("   1"));
    EXPECT_TRUE(m_ajustesDatos.gConfidencialidad);
}

TEST_F(ConfiguracionGlobal, vat_condition_falls_back_on_the_company_and_keeps_a_number)
{
    // No business unit of the user's: the company's CONDIVAEMPRESA is missing, so the unit's VAT
    // condition reads " ", which is no number, and the older CONDIVA stays.
    configuracion({ { QStringLiteral("CONDIVA"), QStringLiteral("4") } });
    exec(QStringLiteral("UPDATE TA_USUARIOS SET UNegocio = '  99' WHERE NOMBRE = 'VENDEDOR'"));

    CargaConfiguracionGlobal(carpeta() + u'/');

    EXPECT_EQ(m_globales.gCondIva, 4);
    EXPECT_EQ(m_globales.gCondicionIvaUN, QStringLiteral(" "));

    configuracion({ { QStringLiteral("CONDIVA"), QStringLiteral("4") },
        { QStringLiteral("CONDIVAEMPRESA"), QStringLiteral("2") } });
    CargaConfiguracionGlobal(carpeta() + u'/');

    EXPECT_EQ(m_globales.gCondIva, 2);
}

TEST_F(ConfiguracionGlobal, business_unit_data_from_the_unit_or_the_company)
{
    configuracion({ { QStringLiteral("NOMBRE"), QStringLiteral("La Empresa") },
        { QStringLiteral("cuit"), QStringLiteral("30-1") },
        { QStringLiteral("CONDIVAEMPRESA"), QStringLiteral("1") },
        { QStringLiteral("INICIOACTIVIDADES"), QStringLiteral(" 01/01/2000 ") },
        { QStringLiteral("NROINGRESOSBRUTOS"), QStringLiteral("IB-0") },
        { QStringLiteral("CALLE"), QStringLiteral("San Martin") },
        { QStringLiteral("NUMERO"), QStringLiteral("123") },
        { QStringLiteral("PISO"), QStringLiteral("2") },
        { QStringLiteral("Departamento"), QStringLiteral("B") },
        { QStringLiteral("INICIO_ACTIVIDADES_UN_7"), QStringLiteral("02/02/2020") },
        { QStringLiteral("INGRESOS_BRUTOS_UN_7"), QStringLiteral("IB-7") },
        { QStringLiteral("CONDICIONIVA_UN_7"), QStringLiteral(" 3 ") },
        { QStringLiteral("DOMICILIO_UN_7"), QStringLiteral("Mitre 7") } });
    exec(QStringLiteral("INSERT INTO V_TA_UNIDADNEGOCIO (codigo, razon_social, Cuit, PDV) "
                        "VALUES ('   7', 'Sucursal Siete', '30-7', ' 07 ')"));
    exec(QStringLiteral("INSERT INTO V_TA_UNIDADNEGOCIO (codigo, razon_social, Cuit, PDV) "
                        "VALUES ('   8', 'Sin Cuit', '', '0008')"));
    struct Fila
    {
        const char16_t* unidad;
        // name | tax number | start | gross income | VAT | point of sale | address
        const char16_t* esperado;
    };
    const Fila filas[] = {
        { u"7", u"Sucursal Siete|30-7|02/02/2020|IB-7|3|07|Mitre 7" },
        // A unit without its own tax number trades under the company's identity, but keeps its
        // point of sale.
        { u"8", u"La Empresa|30-1|01/01/2000|IB-0|1|0008|San Martin 123  2 B" },
        // No unit: company data only; the point of sale stays as passed.
        { u"", u"La Empresa|30-1|01/01/2000|IB-0|1|PV|San Martin 123  2 B" },
        { u"  99", u"La Empresa|30-1|01/01/2000|IB-0|1|PV|San Martin 123  2 B" },
    };
    for (const Fila& fila : filas) {
        QStringList salida(7);
        salida[5] = QStringLiteral("PV");

        DatosEmpresaUNegocio(QString::fromUtf16(fila.unidad), salida[0], salida[1], salida[2],
            salida[3], salida[4], salida[5], salida[6]);

        EXPECT_EQ(salida.join(u'|'), QString::fromUtf16(fila.esperado));
    }
    EXPECT_EQ(m_globales.gCondicionIvaUN, QStringLiteral("1"));
    EXPECT_EQ(m_globales.gCondIva, 1);
}

TEST_F(ConfiguracionGlobal, hours_with_the_configured_separator)
{
    struct Fila
    {
        const char16_t* separador;
        double minutos;
        bool forzar;
        const char16_t* esperado;
    };
    const Fila filas[] = {
        { u"", 125, false, u"02:05" }, // a blank setting means ":"
        { u"h", 125, false, u"02h05" },
        { u".", 90, false, u"1.50" }, // always a point, whatever the regional settings
        { u".", 30, false, u".50" },
        { u".", 1500, false, u"25.00" },
        { u".", 90, true, u"01:30" },
    };
    for (const Fila& fila : filas) {
        configuracion({ { QStringLiteral("SeparadorHora"), QString::fromUtf16(fila.separador) } });
        qint32 horas = -1;
        qint32 resto = -1;

        const QString texto = FmtHoraDecimal(Value(fila.minutos), horas, resto, fila.forzar);

        EXPECT_EQ(texto, QString::fromUtf16(fila.esperado)) << fila.minutos;
    }
    qint32 horas = 0;
    qint32 resto = 0;
    configuracion({});
    FmtHoraDecimal(Value(qint32(125)), horas, resto);
    EXPECT_EQ(horas, 2);
    EXPECT_EQ(resto, 5);
    EXPECT_THROW(FmtHoraDecimal(Value(QStringLiteral("dos")), horas, resto), RuntimeError);
}

TEST(ExtraeNombreServidor, cuts_group_and_port)
{
    EXPECT_EQ(ExtraeNombreServidor(QStringLiteral("grupo/SRV1:1433")), QStringLiteral("SRV1"));
    EXPECT_EQ(ExtraeNombreServidor(QStringLiteral("SRV1")), QStringLiteral("SRV1"));
    EXPECT_EQ(ExtraeNombreServidor(QStringLiteral(":1433")), QString());
    EXPECT_EQ(ExtraeNombreServidor(QStringLiteral("a/b/c:1:2")), QStringLiteral("b/c"));
}
