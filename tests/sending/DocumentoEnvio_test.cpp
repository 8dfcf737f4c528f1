#include "sending/DocumentoEnvio.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "sending/DocumentoTest.h"
#include "services/ManejoErrores.h"

namespace {

class DocumentoEnvioTest : public DocumentoTest
{
};

// One expected attachment: its name and what it says (PDF through pdftotext, HTML and RTF as
// text; nothing checked for the binary formats).
struct Adjunto
{
    const char* nombre;
    QStringList dice;
};

// The demo's documents rendered in every kind and attachment format: the attachment list, each
// file and what it says, the body file of the last print, the work folder private to its owner.
TEST_F(DocumentoEnvioTest, renders_each_kind_of_document_into_its_files)
{
    const struct
    {
        const char* tc;
        const char* id;
        const char* cuenta;
        const char* formato;
        std::vector<Adjunto> adjuntos;
        const char* cuerpo; // the body file left by the last print; "" when none was printed
    } filas[] = {
        { "FC", "000200001201A", "1120002", "",
            { { "1120002_FC1.PDF",
                { "FACTURA", "Nº 0002-00001201", "1120002 - Constructora Los Álamos S.R.L." } } },
            "1120002_FC.htm" },
        // The purchase selection keeps the supplier's own voucher.
        { "FCC", "000100005500A", "2110001", "PDF",
            { { "2110001_FCC1.PDF",
                { "FACTURA DE COMPRA", "Nº 0001-00005500 A", "TOTAL 48.087,39" } } },
            "2110001_FCC.htm" },
        // The receipt prints with the formulas its buffer returns.
        { "CB", "000200000820X", "1120003", "",
            { { "1120003_CB1.PDF",
                { "RECIBO", "Nº 0002-00000820 X", "Municipalidad de Villa Nueva",
                    "Ciento Ochenta Y Nueve Mil Quinientos Pesos" } } },
            "1120003_CB.htm" },
        { "PG", "000200000932X", "2110001", "",
            { { "2110001_PG1.PDF", { "ORDEN DE PAGO", "Nº 0002-00000932 X" } } },
            "2110001_PG.htm" },
        { "PG", "000200000931X", "2110001", "",
            { { "2110001_PG1.PDF", { "ORDEN DE PAGO" } },
                { "2110001_IVA1.PDF",
                    { "CERTIFICADO DE RETENCIÓN", "Impuesto al Valor Agregado",
                        "Ferretería y Almacén El Progreso S.R.L.", "CUIT:30-71458294-8",
                        "2110001 - Distribuidora Ferretera del Centro S.A.", "CUIT: 30-70833100-3",
                        "Nº 0002-00000931 X", "Fecha: 20/11/2026", "$ 12.000,00",
                        "Son: Doce Mil Pesos Con 00/100" } } },
            "2110001_IVA.htm" },
        { "PG", "000200000930X", "2110001", "",
            { { "2110001_PG1.PDF", { "ORDEN DE PAGO" } },
                { "2110001_IBR1.PDF",
                    { "Impuesto sobre los Ingresos Brutos", "$ 5.000,00", "Cinco Mil Pesos" } },
                { "2110001_GAN1.PDF",
                    { "Impuesto a las Ganancias", "$ 8.000,00", "Ocho Mil Pesos" } },
                { "2110001_IVA1.PDF", { "Impuesto al Valor Agregado", "$ 12.000,00" } } },
            "2110001_IVA.htm" },
        // A cash closing prints nothing.
        { "@CJA", "000100000001", "1120002", "", {}, "" },
        { "FC", "000200001201A", "1120002", "HTM",
            { { "1120002_FC1.HTM", { "FACTURA", "Constructora Los" } } }, "1120002_FC.htm" },
        { "FC", "000200001201A", "1120002", "RTF", { { "1120002_FC1.RTF", { "FACTURA" } } },
            "1120002_FC.htm" },
        { "FC", "000200001201A", "1120002", "XLS", { { "1120002_FC1.xlsx", {} } },
            "1120002_FC.htm" },
        // A saved report is attached as it was printed.
        { "FC", "000200001201A", "1120002", "RPT", { { "1120002_FC1.RPT", {} } },
            "1120002_FC.htm" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(std::string(f.tc) + " " + f.id + " " + f.formato);
        config(QStringLiteral("eMail_formatoadjunto"), QString::fromLatin1(f.formato));
        Steps pasos = reportAs(QStringLiteral("VerificaeMail"));
        DocumentoEnvio documento(pasos);
        QString cuenta = QString::fromLatin1(f.cuenta);

        const DocumentoEnvio::Resultado resultado
            = documento.genera(cuenta, QString::fromLatin1(f.tc), QString::fromLatin1(f.id), false);

        EXPECT_EQ(resultado, DocumentoEnvio::Resultado::Hecho);
        const QString carpeta = documento.carpeta();
        EXPECT_TRUE(carpeta.startsWith(temporal() + QStringLiteral("/E-MAILS/ENVIOS/")));
        EXPECT_EQ(QFileInfo(carpeta).permissions() & 0x0077, 0);
        QStringList esperados;
        for (const Adjunto& a : f.adjuntos)
            esperados << QString::fromLatin1(a.nombre);
        EXPECT_EQ(nombres(documento.adjuntos(), carpeta), esperados);
        for (const Adjunto& a : f.adjuntos) {
            const QString ruta = carpeta + u'/' + QString::fromLatin1(a.nombre);
            EXPECT_TRUE(QFileInfo(ruta).size() > 0) << a.nombre;
            QFile archivo(ruta);
            const QString texto = ruta.endsWith(QLatin1String(".PDF"))
                ? PdfTools::text(ruta)
                : (archivo.open(QIODevice::ReadOnly) ? QString::fromUtf8(archivo.readAll())
                                                     : QString());
            contiene(texto, a.dice);
        }
        EXPECT_EQ(QFileInfo(documento.cuerpoHtml()).fileName(), QString::fromLatin1(f.cuerpo));
        if (*f.cuerpo) {
            EXPECT_TRUE(QFile::exists(documento.cuerpoHtml()));
        }
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
        testsupport::messages().clear();
    }
}

// A voucher the database lacks renders nothing (the suite would mail an empty form); a blank
// account takes the voucher id in the files' names.
TEST_F(DocumentoEnvioTest, refuses_a_missing_voucher_and_names_files_by_id_without_account)
{
    Steps pasos = reportAs(QStringLiteral("VerificaeMail"));
    DocumentoEnvio faltante(pasos);
    DocumentoEnvio sinCuenta(pasos);
    QString cuenta = QStringLiteral("1120002");
    QString vacia;

    const auto r1
        = faltante.genera(cuenta, QStringLiteral("FC"), QStringLiteral("000299999999A"), false);
    const auto r2
        = sinCuenta.genera(vacia, QStringLiteral("FC"), QStringLiteral("000200001201A"), false);

    EXPECT_EQ(r1, DocumentoEnvio::Resultado::SinComprobante);
    EXPECT_TRUE(faltante.carpeta().isEmpty());
    EXPECT_EQ(
        DocumentoEnvio::textoSinComprobante(QStringLiteral("FC"), QStringLiteral("000299999999A")),
        QStringLiteral("No se encontró el comprobante FC 000299999999A"));
    EXPECT_EQ(r2, DocumentoEnvio::Resultado::Hecho);
    EXPECT_EQ(vacia, QStringLiteral("000200001201A"));
    EXPECT_EQ(nombres(sinCuenta.adjuntos(), sinCuenta.carpeta()),
        QStringList { QStringLiteral("000200001201A_FC1.PDF") });
}

// On the screen both prints go to the preview and nothing is converted: no "not found" box for a
// report file that was never meant to be written.
TEST_F(DocumentoEnvioTest, screen_rendering_previews_and_converts_nothing)
{
    const QString capturas = m_dir.filePath(QStringLiteral("capturas"));
    QDir().mkpath(capturas);
    m_control.capturaEn(capturas);
    Steps pasos = reportAs(QStringLiteral("VerificaeMail"));
    DocumentoEnvio documento(pasos);
    QString cuenta = QStringLiteral("1120002");

    documento.genera(cuenta, QStringLiteral("FC"), QStringLiteral("000200001201A"), true);

    ASSERT_EQ(m_control.capturas().size(), 2);
    EXPECT_TRUE(m_control.capturas().at(1).contains(QLatin1String("\tPantalla")));
    EXPECT_TRUE(QDir(documento.carpeta()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

} // namespace
