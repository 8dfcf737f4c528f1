#include "receipts/ImprimeAsiento.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "reportengine/PdfTools.h"
#include "reports/DLL_Print.h"
#include "reports/RecordingControl.h"
#include "reports/ReportEngineControl.h"
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

// The shipped entry form printed through the engine, captured as PDF files.
class AsientoImpresoTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_reporte.pPathSistema = QStringLiteral(RP_SHARE_DIR "/");
        m_globales.gCadenaODBC = QStringLiteral("DSN=%1; UID=; PWD=").arg(m_file);
        m_capturas = m_dir.filePath(QStringLiteral("capturas"));
        QDir().mkpath(m_capturas);
        m_control.capturaEn(m_capturas);
    }

    // Entry `asiento` of AS 0002-00000001 X: `lineas - 1` debits of `debe`, then one credit of
    // `haber`, each line's detail "Renglón <n>".
    void escribeAsiento(int asiento, int lineas, const char* debe, const char* haber)
    {
        exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
            "INSERT INTO MV_ASIENTOS (TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,"
            "PERIODO,FECHA,FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER]) "
            "SELECT 'AS', '0002', '00000001', 'X', %1, 11, 2026, '2026-11-20 00:00:00', "
            "'2026-11-20 00:00:00', 0, CASE WHEN i < %2 THEN '5110100' ELSE '1110101' END, "
            "'Renglón ' || i, CASE WHEN i < %2 THEN %3 ELSE %4 END, "
            "CASE WHEN i < %2 THEN 'D' ELSE 'H' END FROM n")
                 .arg(asiento)
                 .arg(lineas)
                 .arg(QLatin1String(debe), QLatin1String(haber)));
    }

    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    QString m_capturas;
};

} // namespace

// Every page of an entry, however long, carries the voucher's line, the entry's line and the
// column titles above as many lines as a page holds; the totals are the entry's debits and
// credits, which an unbalanced entry tells apart.
TEST_F(AsientoImpresoTest, every_page_is_headed_and_full_and_the_totals_are_the_entrys)
{
    const struct
    {
        int asiento;
        int lineas;
        const char* debe;
        const char* haber;
        const char* totales;
    } filas[] = {
        { 5101, 500, "500", "249500", "Totales 249.500,00 249.500,00" },
        { 5102, 1000, "500", "499500", "Totales 499.500,00 499.500,00" },
        { 5103, 2, "777.77", "0", "Totales 777,77 0,00" },
    };
    static const QRegularExpression renglon(QStringLiteral("Renglón \\d+"));
    int numero = 0;
    for (const auto& f : filas) {
        SCOPED_TRACE(f.lineas);
        escribeAsiento(f.asiento, f.lineas, f.debe, f.haber);

        ImprimeAsiento(QStringLiteral("AS"), QStringLiteral("0002"), QStringLiteral("00000001"),
            QStringLiteral("X"), QStringLiteral("11"), QString::number(f.asiento),
            QStringLiteral("2026"), false, true, false);

        const QString pdf = QStringLiteral("%1/%2-Asientos.pdf")
                                .arg(m_capturas)
                                .arg(++numero, 2, 10, QLatin1Char('0'));
        const QStringList paginas = PdfTools::text(pdf).split(u'\f', Qt::SkipEmptyParts);
        ASSERT_FALSE(paginas.isEmpty()) << pdf.toStdString();
        const int porPagina = int(paginas.first().count(renglon));
        int lineas = 0;
        for (int n = 1; n <= paginas.size(); ++n) {
            SCOPED_TRACE(n);
            const QString pagina = paginas.at(n - 1).simplified();
            for (const QString& esperado : { QStringLiteral("Comprobante AS 0002-00000001 X"),
                     QStringLiteral("Período 2026 Mes 11 Asiento Nº %1").arg(f.asiento),
                     QStringLiteral("Cuenta Descripción Detalle Debe Haber"),
                     QStringLiteral("Página %1 de %2").arg(n).arg(paginas.size()) })
                EXPECT_TRUE(pagina.contains(esperado)) << esperado.toStdString();
            EXPECT_EQ(pagina.contains(QStringLiteral("(continuación)")), n > 1);
            const int enPagina = int(pagina.count(renglon));
            if (n < paginas.size()) {
                EXPECT_EQ(enPagina, porPagina);
            }
            lineas += enPagina;
        }
        EXPECT_EQ(lineas, f.lineas);
        EXPECT_TRUE(paginas.last().simplified().contains(QString::fromLatin1(f.totales)))
            << paginas.last().toStdString();
    }
}
