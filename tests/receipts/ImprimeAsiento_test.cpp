#include "receipts/ImprimeAsiento.h"

#include <gtest/gtest.h>

#include "reports/DLL_Print.h"
#include "reports/RecordingControl.h"
#include "support/DemoDatabaseTest.h"
#include "support/QtPrinters.h"

using namespace ImpresionAsientos;

namespace {

class ImprimeAsientoTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_reporte.pPathSistema = QStringLiteral("/programa/");
        m_globales.gCadenaODBC = QStringLiteral("DSN=DEMO; UID=; PWD=");
    }

    RecordingControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
};

TEST_F(ImprimeAsientoTest, selects_the_voucher_or_one_entry_of_a_period)
{
    const struct
    {
        const char* tc;
        const char* periodo;
        const char* esperado;
    } filas[] = {
        // No period: every entry of the voucher, whatever month and number say.
        { " AS ", "0",
            "{MV_ASIENTOS.TC} = 'AS' AND {MV_ASIENTOS.SUCURSAL} = '0002' AND "
            "{MV_ASIENTOS.NUMERO} = '00000001' AND {MV_ASIENTOS.LETRA} = 'X'" },
        { "AS", " ",
            "{MV_ASIENTOS.TC} = 'AS' AND {MV_ASIENTOS.SUCURSAL} = '0002' AND "
            "{MV_ASIENTOS.NUMERO} = '00000001' AND {MV_ASIENTOS.LETRA} = 'X'" },
        // The month goes in as given; the entry number trimmed; quoted values double "'".
        { "A'S", "2026",
            "{MV_ASIENTOS.PERIODO} = '2026' AND {MV_ASIENTOS.TC} = 'A''S' AND "
            "{MV_ASIENTOS.SUCURSAL} = '0002' AND {MV_ASIENTOS.NUMERO} = '00000001' AND "
            "{MV_ASIENTOS.LETRA} = 'X' AND {MV_ASIENTOS.MES_OPERATIVO} =  11 AND "
            "{MV_ASIENTOS.NUMERO ASIENTO} = 5001" },
    };
    for (const auto& f : filas)
        EXPECT_EQ(SeleccionAsiento(QString::fromLatin1(f.tc), QStringLiteral(" 0002"),
                      QStringLiteral("00000001 "), QStringLiteral("X"), QStringLiteral(" 11"),
                      QStringLiteral(" 5001 "), QString::fromLatin1(f.periodo)),
            QString::fromUtf8(f.esperado));
}

TEST_F(ImprimeAsientoTest, chooses_the_layout_and_hands_company_and_currency)
{
    const struct
    {
        bool centroCosto;
        bool en80mm;
        bool enPantalla;
        const char* reporte;
        const char* subreporte;
        int destino;
    } filas[] = {
        { true, true, true, "AsientoCCosto", "AsientoSueldosCC", DLL_Print::DestinoPantalla },
        { false, true, false, "Asientos_80mm", "", DLL_Print::DestinoImpresora },
        { false, false, true, "Asientos", "", DLL_Print::DestinoPantalla },
    };
    for (const auto& f : filas) {
        m_control.log.clear();

        ImprimeAsiento(QStringLiteral("AS"), QStringLiteral("0002"), QStringLiteral("00000001"),
            QStringLiteral("X"), QStringLiteral("11"), QStringLiteral("5001"), QStringLiteral("0"),
            f.centroCosto, f.enPantalla, f.en80mm);

        EXPECT_TRUE(m_control.log.contains(
            QStringLiteral("3=/programa/reports/%1.rpt").arg(QLatin1String(f.reporte))));
        EXPECT_TRUE(m_control.log.contains(
            QStringLiteral("29(0)=EMPRESA = 'Ferretería y Almacén El Progreso S.R.L.'")));
        EXPECT_TRUE(m_control.log.contains(QStringLiteral("29(1)=ENQUEMONEDA = '1'")));
        EXPECT_FALSE(m_control.log.contains(QStringLiteral("29(2)=")));
        EXPECT_EQ(
            m_control.log.contains(QStringLiteral("108=AsientoSueldosCC")), *f.subreporte != '\0');
        EXPECT_EQ(m_control.log.last(), QStringLiteral("fin"));
        EXPECT_EQ(m_reporte.DestinoImpresion(), f.destino);
        EXPECT_TRUE(m_reporte.OpcionEspecial);
    }
}

// The company name is a text of the report's formula language: its apostrophes are doubled.
TEST_F(ImprimeAsientoTest, doubles_the_apostrophes_of_the_company_name)
{
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'D''Angelo Hnos.' WHERE CLAVE = "
                        "'NOMBRE'"));

    ImprimeAsiento(QStringLiteral("AS"), QStringLiteral("0002"), QStringLiteral("00000001"),
        QStringLiteral("X"), QStringLiteral("11"), QStringLiteral("5001"), QStringLiteral("0"),
        false, true, false);

    EXPECT_TRUE(m_control.log.contains(QStringLiteral("29(0)=EMPRESA = 'D''Angelo Hnos.'")))
        << m_control.log.join(u'\n').toStdString();
}

} // namespace
