#include "reports/RT_Crystal2.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "RecordingControl.h"
#include "reports/DLL_Print.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

using namespace RT_Crystal2;

namespace {

class DriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::messages().clear();
        m_reporte.pPathSistema = QStringLiteral("/opt/rp/");
    }

    // The price list's call: five formulas, two sort fields, no sub-reports, destination 0.
    void imprime(const QString& reporte, const QString& conexion,
        const std::array<FormulaOpcional, 5>& formulas, QString sub1 = QString(),
        QString sub2 = QString(), const QString& sub4 = QString(), bool mail = false)
    {
        ImprimirReporteCrystal(reporte, { QStringLiteral("+{V.Rubro}"), QStringLiteral("+{V.Id}") },
            QStringLiteral("{V.Lista} = '1'"), conexion, formulas[0], formulas[1], formulas[2],
            formulas[3], formulas[4], sub1, sub2, QString(), sub4, Value(qint32(0)), false, mail,
            m_titulo);
        m_sub1 = sub1;
        m_sub2 = sub2;
    }

    QStringList fin() const
    {
        return { QStringLiteral("108="), QStringLiteral("24=0"), QStringLiteral("12()"),
            QStringLiteral("124=True"), QStringLiteral("115=False"), QStringLiteral("67=2"),
            QStringLiteral("17=1"), QStringLiteral("112()") };
    }

    RecordingControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    QString m_titulo;
    QString m_sub1;
    QString m_sub2;
};

TEST_F(DriverTest, sets_the_control_in_the_order_of_the_print_sequence)
{
    const std::array<FormulaOpcional, 5> formulas { QStringLiteral("A='1'"), QStringLiteral("B=2"),
        std::nullopt, QStringLiteral("D='x'"), QStringLiteral("E=True") };

    imprime(QStringLiteral("/opt/rp/reports/RP_ListaPrecios.rpt"),
        QStringLiteral("DSN=demo; UID=sa; PWD=cl;ave"), formulas);

    // Formula 3 is absent: its slot is not touched.
    QStringList esperado { QStringLiteral("nuevo"),
        QStringLiteral("20=DSN=demo; UID=sa; PWD=cl;ave"), QStringLiteral("94=demo"),
        QStringLiteral("95=sa"), QStringLiteral("96=cl;ave"),
        QStringLiteral("3=/opt/rp/reports/RP_ListaPrecios.rpt"),
        QStringLiteral("13={V.Lista} = '1'"), QStringLiteral("125=True"),
        QStringLiteral("29(0)=A='1'"), QStringLiteral("29(1)=B=2"), QStringLiteral("29(3)=D='x'"),
        QStringLiteral("29(4)=E=True"), QStringLiteral("30(0)=+{V.Rubro}"),
        QStringLiteral("30(1)=+{V.Id}") };
    esperado << fin();
    EXPECT_EQ(m_control.log, esperado);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(DriverTest, names_reports_splits_connections_and_selects_sub_reports)
{
    const struct
    {
        const char* reporte;
        const char* conexion;
        const char* sub1;
        const char* sub2;
        const char* sub4;
        QStringList middle; // after "nuevo", before the end of the sequence
    } cases[] = {
        // A bare name is a definition of the reports folder; no connection sets none.
        { "RP_X", "", "", "", "",
            { "3=/opt/rp/reports/RP_X.rpt", "13={V.Lista} = '1'", "125=True", "30(0)=+{V.Rubro}",
                "30(1)=+{V.Id}" } },
        // A Windows path is taken as a path.
        { "C:\\Rep\\RP_X.rpt", "", "", "", "",
            { "3=C:\\Rep\\RP_X.rpt", "13={V.Lista} = '1'", "125=True", "30(0)=+{V.Rubro}",
                "30(1)=+{V.Id}" } },
        // Sub-reports 1 and 4 may carry their own selection; sub-report 2 takes the whole text.
        // The sub-reports get the connection without the blank test (a text of lower case).
        { "RP_X", "dsn=otra; uid=u; pwd=p", "RP_RM|{R.Id} = 3", "RP_S|x", "RP_T|{T.A} = 1",
            { "20=dsn=otra; uid=u; pwd=p", "94=otra", "95=u", "96=p", "3=/opt/rp/reports/RP_X.rpt",
                "13={V.Lista} = '1'", "125=True", "30(0)=+{V.Rubro}", "30(1)=+{V.Id}", "108=RP_RM",
                "13={R.Id} = 3", "20=dsn=otra; uid=u; pwd=p", "94=otra", "95=u", "96=p",
                "108=RP_S|x", "20=dsn=otra; uid=u; pwd=p", "94=otra", "95=u", "96=p", "108=RP_T",
                "13={T.A} = 1", "20=dsn=otra; uid=u; pwd=p", "94=otra", "95=u", "96=p" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sub1);
        m_control.log.clear();

        imprime(QString::fromUtf8(c.reporte), QString::fromUtf8(c.conexion), {},
            QString::fromUtf8(c.sub1), QString::fromUtf8(c.sub2), QString::fromUtf8(c.sub4));

        QStringList esperado { QStringLiteral("nuevo") };
        esperado << c.middle << fin();
        EXPECT_EQ(m_control.log, esperado);
    }
}

TEST_F(DriverTest, retry_repeats_ignore_skips_and_abort_leaves_the_sequence)
{
    m_control.fallas = { { 3, 1 }, { 13, 1 }, { 24, 1 } };
    testsupport::messages().answer(Msg::Retry);
    testsupport::messages().answer(Msg::Ignore);
    testsupport::messages().answer(Msg::Abort);

    imprime(QStringLiteral("RP_X"), QString(), {});

    EXPECT_EQ(m_control.log,
        (QStringList { QStringLiteral("nuevo"), QStringLiteral("falla 3=/opt/rp/reports/RP_X.rpt"),
            QStringLiteral("3=/opt/rp/reports/RP_X.rpt"),
            QStringLiteral("falla 13={V.Lista} = '1'"), QStringLiteral("125=True"),
            QStringLiteral("30(0)=+{V.Rubro}"), QStringLiteral("30(1)=+{V.Id}"),
            QStringLiteral("108="), QStringLiteral("falla 24=0") }));
    ASSERT_EQ(testsupport::messages().shown().size(), 3);
    const auto& box = testsupport::messages().shown().first();
    EXPECT_EQ(box.title, QStringLiteral("Aviso al operador"));
    EXPECT_EQ(box.style, Msg::Critical + Msg::AbortRetryIgnore);
    EXPECT_EQ(box.text,
        QStringLiteral("Ha ocurrido el siguiente error: 91 Variable de objeto no establecida "
                       "ContErr% = 0"));
}

TEST_F(DriverTest, mail_mode_substitutes_the_current_account_sub_reports)
{
    const struct
    {
        const char* reporte;
        bool mail;
        const char* sub1;
        const char* sub2;
        const char* titulo;
    } cases[] = {
        { "RP_CTACTE2", true, "RP_RM", "RP_RMC", "Rp_Tarifolio" },
        { "rp_ctacte2", true, "RP_RM", "RP_RMC", "Rp_Tarifolio" },
        { "rp_ctactesaldos02a", true, "RP_RM", "b", "Rp_Tarifolio" },
        // Outside e-mail mode nothing changes, the caption neither.
        { "RP_CTACTE2", false, "a", "b", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reporte);
        m_titulo.clear();

        imprime(QString::fromUtf8(c.reporte), QString(), {}, QStringLiteral("a"),
            QStringLiteral("b"), QString(), c.mail);

        EXPECT_EQ(m_sub1, QString::fromUtf8(c.sub1));
        EXPECT_EQ(m_sub2, QString::fromUtf8(c.sub2));
        EXPECT_EQ(m_titulo, QString::fromUtf8(c.titulo));
    }
}

TEST_F(DriverTest, refuses_to_print_without_the_program_folder)
{
    m_reporte.pPathSistema = QStringLiteral("  ");
    testsupport::messages().answer(Msg::Ok);

    imprime(QStringLiteral("RP_X"), QString(), {});

    EXPECT_TRUE(m_control.log.isEmpty());
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().first().text,
        QStringLiteral("Se debe informar la Variable pPathSistema$ del Control DLL_Print"));
    EXPECT_EQ(testsupport::messages().shown().first().style, Msg::Critical);
}

TEST_F(DriverTest, report_object_prints_through_the_same_control)
{
    m_reporte.DestinoImpresion(DLL_Print::DestinoArchivo);
    m_reporte.AsignaPropiedad(QStringLiteral("PrintFileName"), QStringLiteral("/tmp/x.RPT"));
    m_reporte.AsignaFormulas({ QStringLiteral("QuePrecio='Precio1'") }, 5);
    m_reporte.NombreImpresora(QStringLiteral("Deposito"));

    m_reporte.Imprimir(
        QStringLiteral("/opt/rp/reports/MA_PRE2.rpt"), {}, QStringLiteral("sel"), QString());
    m_reporte.Finaliza(20);

    QStringList esperado { QStringLiteral("PrintFileName=/tmp/x.RPT"),
        QStringLiteral("lista=QuePrecio='Precio1'"), QStringLiteral("impresora=Deposito|"),
        QStringLiteral("nuevo"), QStringLiteral("3=/opt/rp/reports/MA_PRE2.rpt"),
        QStringLiteral("13=sel"), QStringLiteral("125=True") };
    esperado << fin() << QStringLiteral("fin");
    EXPECT_EQ(m_control.log, esperado);
    EXPECT_EQ(m_reporte.DestinoPredeterminado(), DLL_Print::DestinoArchivo);
}

TEST_F(DriverTest, property_by_name_failure_is_told_and_the_caller_goes_on)
{
    class Rechaza final : public ReportControl
    {
    public:
        void nuevoTrabajo() override { }
        void set(int, const Value&) override { }
        void setIndexed(int, int, const Value&) override { }
        void invoke(int) override { }
        void setByName(const QString&, const Value&) override
        {
            throw RuntimeError(438, QStringLiteral("El objeto no acepta esta propiedad o método"));
        }
        void setDestinoObjeto(int) override { }
        int destinoObjeto() const override { return 0; }
        void setListaFormulas(const QStringList&) override { }
        void setImpresora(const QString&, const QString&) override { }
        void finalizaCorrida() override { }
    } rechaza;
    ScopedService<ReportControl> guard(rechaza);
    testsupport::messages().answer(Msg::Ok);

    AsignarPropiedadReporte(QStringLiteral("Otra"), Value(qint32(1)));

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().first().text,
        QStringLiteral("Se ha producido el siguiente Error: 438 El objeto no acepta esta "
                       "propiedad o método"));
    EXPECT_EQ(
        testsupport::messages().shown().first().title, QStringLiteral("Aviso al operador!!!"));
}

TEST(ArchivoTemporal, names_the_file_by_the_time_and_clears_the_way)
{
    QTemporaryDir dir;
    testsupport::environment().setVariable(QStringLiteral("TEMP"), QStringLiteral("  "));
    testsupport::environment().setVariable(QStringLiteral("TMP"), dir.path() + u'/');
    QFile viejo(dir.filePath(QStringLiteral("103045.PDF")));
    ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
    viejo.close();
    QString extension = QStringLiteral("PDF");
    QString rpt = QStringLiteral(".RPT");

    const QString porHora = ArchivoTemporal(QString(), extension);
    const QString conNombre = ArchivoTemporal(QStringLiteral(" Lista "), rpt);

    EXPECT_EQ(porHora, dir.filePath(QStringLiteral("103045.PDF")));
    EXPECT_EQ(extension, QStringLiteral(".PDF"));
    EXPECT_FALSE(QFile::exists(porHora));
    EXPECT_EQ(conNombre, dir.filePath(QStringLiteral(" Lista .RPT")));
}

} // namespace
