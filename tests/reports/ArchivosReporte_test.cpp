#include "reports/ArchivosReporte.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "services/Configuracion.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"

using ArchivosReporte::ArchivosCopias;
using ArchivosReporte::NombreReporte;
using ArchivosReporte::ResuelveArchivoReporte;

namespace {

class ArchivosReporteTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        testsupport::messages().clear();
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("reports")));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("formularios")));
        exec(QStringLiteral("DELETE FROM TA_REPORTES WHERE NOMBRE <> 'RP_ListaPrecios'"));
        for (const char* name :
            { "RP_ListaPrecios.rpt", "RP_X.rpt", "RP_X_PUESTO.rpt", "LISTA.rpt", "L2.rpt",
                "RP_Z.rpt", "RP_V2.RPT", "LIQ.rpt", "FC.RPT", "CpteCompras.RPT", "FC-E.rpt" })
            touch(QStringLiteral("reports/") + QLatin1String(name));
        touch(QStringLiteral("formularios/eFC-A_SINQR.RPT"));
        touch(QStringLiteral("formularios/eFC-A.RPT"));
        touch(QStringLiteral("formularios/RM-R.rpt"));
    }

    void touch(const QString& relative)
    {
        QFile f(m_dir.filePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<report/>");
    }

    void row(const QString& name, const QString& a1, const QString& a2 = QString(),
        const QString& a3 = QString(), const QString& a4 = QString())
    {
        exec(QStringLiteral("INSERT INTO TA_REPORTES (NOMBRE, Archivo, Archivo2, Archivo3, "
                            "Archivo4) VALUES ('%1', '%2', '%3', '%4', '%5')")
                 .arg(name, a1, a2, a3, a4));
    }

    QString rep(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("reports/") + name);
    }
};

TEST_F(ArchivosReporteTest, chooses_the_report_file_by_the_table_rows)
{
    row(QStringLiteral("PUESTO01|operador|RP_X"), QStringLiteral("RP_X_PUESTO.rpt"),
        QStringLiteral("RP_X_PUESTO"));
    row(QStringLiteral("RP_X"), QStringLiteral("LISTA"));
    row(QStringLiteral("RP_Y"), QStringLiteral("LISTA"), QStringLiteral("L2.rpt"));
    row(QStringLiteral("RP_V"), QStringLiteral("C:\\Sistemas\\Reportes\\RP_V2.RPT"));
    row(QStringLiteral("PG-X"), QStringLiteral("LIQ.rpt"));
    const struct
    {
        const char* name;
        const char* puesto;
        const char* nameAfter;
        const char* result;
        std::array<const char*, 4> copies;
    } cases[] = {
        // The workstation's row wins; its empty columns mean the default form, not the copy before.
        { "RP_X", "", "PUESTO01|operador|RP_X", "RP_X_PUESTO.rpt",
            { "RP_X_PUESTO.rpt", "RP_X_PUESTO.rpt", "RP_X.rpt", "RP_X.rpt" } },
        // A workstation key in Puesto skips the workstation row; the first row looked up keeps
        // its columns apart, so its empty copies are the default form.
        { "RP_X", "PUESTO01|OPERADOR", "RP_X", "LISTA.rpt",
            { "LISTA.rpt", "RP_X.rpt", "RP_X.rpt", "RP_X.rpt" } },
        // The shared row: an empty copy column repeats the copy before it.
        { "RP_Y", "", "PUESTO01|operador|RP_Y", "LISTA.rpt",
            { "LISTA.rpt", "L2.rpt", "L2.rpt", "L2.rpt" } },
        // The demo's rows name the file with its extension and no folder.
        { "RP_ListaPrecios", "", "PUESTO01|operador|RP_ListaPrecios", "RP_ListaPrecios.rpt",
            { "RP_ListaPrecios.rpt", "RP_ListaPrecios.rpt", "RP_ListaPrecios.rpt",
                "RP_ListaPrecios.rpt" } },
        // A path written on a Windows workstation: its file in the reports folder.
        { "RP_V", "", "PUESTO01|operador|RP_V", "RP_V2.RPT",
            { "RP_V2.RPT", "RP_V2.RPT", "RP_V2.RPT", "RP_V2.RPT" } },
        // No row: the default form.
        { "RP_Z", "", "PUESTO01|operador|RP_Z", "RP_Z.rpt",
            { "RP_Z.rpt", "RP_Z.rpt", "RP_Z.rpt", "RP_Z.rpt" } },
        { "LiqOpg", "", "PUESTO01|operador|LiqOpg", "LIQ.rpt",
            { "LIQ.rpt", "RP_X.rpt", "RP_X.rpt", "RP_X.rpt" } },
        // No FC-A.rpt: the voucher type's form.
        { "FC-A", "x", "FC-A", "FC.RPT", { "FC.RPT", "FC.RPT", "FC.RPT", "FC.RPT" } },
        // Electronic report names drop their prefix.
        { "EEFC-E", "x", "FC-E", "FC-E.rpt", { "FC-E.rpt", "FC-E.rpt", "FC-E.rpt", "FC-E.rpt" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString name = QString::fromUtf8(c.name);
        ArchivosCopias copies;
        copies[0] = QStringLiteral("untouched");
        const bool liq = QLatin1String(c.name) == QLatin1String("LiqOpg");
        for (int i = 0; liq && i < 3; ++i)
            testsupport::messages().answer(Msg::Ok);

        const QString result = NombreReporte(name, QString::fromUtf8(c.puesto), &copies);

        EXPECT_EQ(name, QString::fromUtf8(c.nameAfter));
        EXPECT_EQ(result, rep(QString::fromUtf8(c.result)));
        if (liq) {
            // The settlement row's empty copies resolve to the default form of LiqOpg, missing.
            EXPECT_EQ(copies[1], rep(QStringLiteral("LIQ.rpt")));
            EXPECT_EQ(copies[2], rep(QStringLiteral("LiqOpg.rpt")));
            EXPECT_EQ(testsupport::messages().shown().size(), 3);
            testsupport::messages().clear();
            continue;
        }
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(copies[k], rep(QString::fromUtf8(c.copies[k - 1]))) << k;
        EXPECT_EQ(copies[0], QStringLiteral("untouched"));
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

// A name or workstation key holding an apostrophe (a user called o'brien) is looked up as
// typed instead of breaking the statement.
TEST_F(ArchivosReporteTest, a_name_with_an_apostrophe_finds_its_row)
{
    exec(QStringLiteral("INSERT INTO TA_REPORTES (NOMBRE, Archivo) VALUES ('RP_O''K', 'LISTA')"));
    QString name = QStringLiteral("RP_O'K");

    const QString result = NombreReporte(name, QStringLiteral("x"));

    EXPECT_EQ(result, rep(QStringLiteral("LISTA.rpt")));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ArchivosReporteTest, warns_once_and_takes_the_default_form_for_a_missing_file)
{
    row(QStringLiteral("RP_W"), QStringLiteral("NOESTA.rpt"));
    QString name = QStringLiteral("RP_W");
    testsupport::messages().answer(Msg::Ok);

    const QString result = NombreReporte(name, QString());

    EXPECT_EQ(result, rep(QStringLiteral("RP_W.rpt")));
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const auto& box = testsupport::messages().shown().first();
    EXPECT_EQ(box.title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(box.style, Msg::Critical);
    EXPECT_EQ(box.text,
        QStringLiteral("No se encuentra el Archivo ") + rep(QStringLiteral("NOESTA.rpt"))
            + QStringLiteral(" (RP_W) por favor verifique la configuración de Reportes\r\n"
                             " Se tomara en su lugar el formulario ")
            + rep(QStringLiteral("RP_W.rpt")));
}

TEST_F(ArchivosReporteTest, resolves_blank_and_odd_names)
{
    exec(QStringLiteral("INSERT INTO V_TA_CPTE (Codigo, Descripcion, SISTEMA) "
                        "VALUES ('FCA', 'Factura compra', 'Compras')"));
    const struct
    {
        const char* archivo;
        const char* base;
        const char* result;
        int warnings;
    } cases[] = {
        { "", "RP_Z", "RP_Z.rpt", 0 },
        { "", "FC-B", "FC.RPT", 0 },
        // A purchase voucher type: the purchase form.
        { "", "FCA-B", "CpteCompras.RPT", 0 },
        // Nothing at all: warned with the folder and ".rpt".
        { "", "ZZ-Q", "ZZ-Q.rpt", 1 },
        { "LISTA", "RP_Z", "LISTA.rpt", 0 },
        // Blanks after the extension still count as ".rpt".
        { "L2.rpt  ", "RP_Z", "RP_Z.rpt", 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        testsupport::messages().clear();
        for (int i = 0; i < c.warnings; ++i)
            testsupport::messages().answer(Msg::Ok);
        QString archivo = QString::fromUtf8(c.archivo);

        const QString result = ResuelveArchivoReporte(archivo, QString::fromUtf8(c.base));

        EXPECT_EQ(result, rep(QString::fromUtf8(c.result)));
        EXPECT_EQ(archivo, result);
        EXPECT_EQ(testsupport::messages().shown().size(), c.warnings);
    }
    EXPECT_TRUE(testsupport::messages().shown().first().text.startsWith(
        QStringLiteral("No se encuentra el Archivo ") + rep(QStringLiteral("L2.rpt  "))));
}

TEST_F(ArchivosReporteTest, absolute_path_without_extension_only_gains_it)
{
    QString archivo = m_dir.filePath(QStringLiteral("formularios/RM-R"));
    touch(QStringLiteral("formularios/RM-R.rpt"));

    EXPECT_EQ(ResuelveArchivoReporte(archivo, QStringLiteral("RM-R")),
        m_dir.filePath(QStringLiteral("formularios/RM-R.rpt")));
}

TEST_F(ArchivosReporteTest, electronic_invoice_takes_the_form_without_qr_before_the_cut_over)
{
    exec(QStringLiteral("INSERT INTO V_MV_CPTE_ELECTRONICOS (TC, IDCOMPROBANTE, Fecha_CPTE) "
                        "VALUES ('FC', '0009000000010', '2020-12-31'), "
                        "('FC', '0009000000011', '2021-01-01')"));
    // The demo's cut-over date is 01/01/2021; a voucher of that day already carries the QR.
    Configuracion::GrabaDfg(QStringLiteral("RUTA_FORMULARIOS_EFACTURA"),
        Value(QStringLiteral("C:\\Sistemas\\Formularios\\")));
    Configuracion::GrabaDfg(QStringLiteral("PUESTO01_RUTA_FORMULARIOS_EFACTURA"),
        Value(m_dir.filePath(QStringLiteral("formularios"))));
    const struct
    {
        const char* id;
        const char* form;
    } cases[] = {
        { "0009000000010", "formularios/eFC-A_SINQR.RPT" },
        { "0009000000011", "formularios/eFC-A.RPT" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        QString name = QStringLiteral("FC-A");
        ArchivosCopias copies;

        const QString result
            = NombreReporte(name, QStringLiteral("x"), &copies, QString::fromUtf8(c.id));

        EXPECT_EQ(result, m_dir.filePath(QString::fromUtf8(c.form)));
        EXPECT_EQ(copies[4], result);
    }
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ArchivosReporteTest, delivery_note_of_a_unit_prints_with_the_unit_form)
{
    exec(QStringLiteral("INSERT INTO V_TA_UNIDADNEGOCIO (codigo, PDV, ruta_reporte) "
                        "VALUES ('   7', '0007', '%1')")
             .arg(m_dir.filePath(QStringLiteral("formularios"))));
    exec(QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, UNEGOCIO) "
                        "VALUES ('RM', '000700000001R', '7')"));
    QString name = QStringLiteral("RM-R");
    ArchivosCopias copies;
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);

    const QString result
        = NombreReporte(name, QStringLiteral("x"), &copies, QStringLiteral("000700000001R"));

    // The result stays the table's choice (here the missing default form); the copies take the
    // unit's form.
    EXPECT_EQ(result, rep(QStringLiteral("RM-R.rpt")));
    EXPECT_EQ(copies[1], m_dir.filePath(QStringLiteral("formularios/RM-R.rpt")));
    EXPECT_EQ(copies[4], m_dir.filePath(QStringLiteral("formularios/RM-R.rpt")));
}

} // namespace
