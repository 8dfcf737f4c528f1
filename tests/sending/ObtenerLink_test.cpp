#include <QLineEdit>

#include <gtest/gtest.h>

#include "platform/Utilidades.h"
#include "platform/qt/CurlHttp.h"
#include "sending/DocumentoTest.h"
#include "sending/FrmEnviar.h"
#include "sending/modHelpDeskWeb.h"
#include "support/HttpsPeer.h"
#include "support/TestEnvironment.h"

using testsupport::messages;

namespace {

// Digits 1, 2, ..., 9, 1, 2, ... for the masking, so links read the same every run.
class DigitosFijos
{
public:
    DigitosFijos()
        : m_anterior(modHelpDeskWeb::setGeneradorDigitos([this] { return m_siguiente++ % 9 + 1; }))
    {
    }
    ~DigitosFijos() { modHelpDeskWeb::setGeneradorDigitos(m_anterior); }

private:
    int m_siguiente = 0;
    modHelpDeskWeb::GeneradorDigitos m_anterior;
};

TEST(EnmascararId, puts_each_character_first_middle_and_last_of_its_triple)
{
    const struct
    {
        const char* id;
        const char* masked;
    } filas[] = {
        { "", "" },
        { "ABCD", "A123B456CD78" },
        // Characters at 1, 5, 9, 10, 14, 18, 19: the pattern starts again after three.
        { "1120002", "112314562078901230245" },
    };
    for (const auto& f : filas) {
        DigitosFijos digitos;
        EXPECT_EQ(
            modHelpDeskWeb::EnmascararId(QString::fromLatin1(f.id)), QString::fromLatin1(f.masked))
            << f.id;
    }
}

TEST(EnmascararId, the_program_own_digits_are_never_zero)
{
    const QString masked = modHelpDeskWeb::EnmascararId(QString(300, u'x'));

    ASSERT_EQ(masked.size(), 900);
    const QString digitos = QString(masked).remove(u'x');
    EXPECT_EQ(digitos.size(), 600);
    for (const QChar c : digitos)
        EXPECT_TRUE(c >= u'1' && c <= u'9') << int(c.unicode());
}

class ObtenerLink : public DocumentoTest
{
protected:
    void SetUp() override
    {
        DocumentoTest::SetUp();
        abreEstadisticas();
        testsupport::environment().setVariable(
            QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("datos")));
        config(QStringLiteral("GeneralinkPrespuesto"), QStringLiteral("SI"));
        // The build installs the invoice's form under the budget's name too.
        QFile::copy(m_dir.filePath(QStringLiteral("reports/FC.rpt")),
            m_dir.filePath(QStringLiteral("reports/PR.rpt")));
    }

    void envio(const QString& sitio, const HttpsPeer* peer = nullptr)
    {
        ConfiguracionEnvio c;
        c.sitioPresupuestos = sitio;
        if (peer) {
            c.servidorDocumentos = peer->servidor();
            c.certificadosCA = peer->certificado();
        }
        ASSERT_TRUE(c.guarda());
    }

    // A sender on the demo budget, its recipient a known contact.
    void presupuesto(FrmEnviar& f, const QString& tc = QStringLiteral("PR"))
    {
        f.TC = tc;
        f.IdComprobante = QStringLiteral("000200003001A");
        f.Cuenta = QStringLiteral("1120002");
        f.setTexto(QStringLiteral("Para"), QStringLiteral("info@constructoralosa.example"));
    }

    QString idContacto()
    {
        return gUtilidades().ValorCampo(gDB().DatosTabla(QStringLiteral("MA_CONTACTOS"),
            QStringLiteral("info@constructoralosa.example"), QStringLiteral("IdContacto"),
            QStringLiteral("email")));
    }

    CurlHttpFactory m_http;
    ScopedService<HttpFactory> m_httpService { m_http };
    DigitosFijos m_digitos;
};

const QString Leyenda = QStringLiteral("LINK PARA VISUALIZAR Y FIRMAR NUESTRA PROPUESTA, AQUI");

// The budget rendered, its PDF put in the account's budget folder, recorded once however often
// the link is asked for, and the message made the anchor alone.
TEST_F(ObtenerLink, uploads_the_budget_records_it_once_and_writes_the_anchor)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    envio(QStringLiteral("presupuestos.example"), &peer);
    FrmEnviar f;
    presupuesto(f);
    f.setTexto(QStringLiteral("Mensaje"), QStringLiteral("Estimado cliente"));

    f.ObtenerLink(QStringLiteral("0002"), QStringLiteral("00003001"), QStringLiteral("A"));
    const QString primero = f.texto(QStringLiteral("Mensaje"));
    f.ObtenerLink(QStringLiteral("0002"), QStringLiteral("00003001"), QStringLiteral("A"));

    const QList<HttpsPeer::Peticion> peticiones = peer.peticiones();
    ASSERT_EQ(peticiones.size(), 2);
    EXPECT_EQ(peticiones[0].linea,
        QStringLiteral("POST /uploadvb6.aspx?ruta_destino="
                       "%2FClientes%2FDEMO0001%2FPRESUPUESTOS%2F000200003001A.PDF HTTP/1.1"));
    const QString carpeta = f.carpetaDocumento();
    QFile pdf(carpeta + QStringLiteral("/11200021.PDF"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(peticiones[1].cuerpo.contains(bytes));
    contiene(PdfTools::text(pdf.fileName()), { QStringLiteral("Nº 0002-00003001") });
    EXPECT_EQ(primero,
        QStringLiteral("<a href='https://presupuestos.example/ac/budget_file?id=1123145620789012302"
                       "45&ib=106&idc=")
            + idContacto() + QStringLiteral("'> '") + Leyenda + QStringLiteral("' </a>."));
    EXPECT_EQ(f.control<QLineEdit>("txtAttach")->text(), pdf.fileName());
    EXPECT_FALSE(QFile::exists(carpeta + QStringLiteral("/1120002.htm")));
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from MA_CUENTAS_ARCHIVOS_RELACIONADOS"), rs);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("CUENTA")).Value().toString(), QStringLiteral("1120002"));
    EXPECT_EQ(rs.Fields(QStringLiteral("RUTA_ARCHIVO")).Value().toString(),
        QStringLiteral("000200003001A.PDF"));
    EXPECT_EQ(rs.Fields(QStringLiteral("NroPresupuesto")).Value().toString(),
        QStringLiteral("000200003001A"));
    EXPECT_TRUE(rs.Fields(QStringLiteral("EsPresupuesto")).Value().toBool());
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    gDB().CierraRecordset(rs);
}

// Another attachment format goes into the mail as configured; the web site still gets a PDF.
TEST_F(ObtenerLink, uploads_a_pdf_whatever_the_attachment_format)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    envio(QStringLiteral("presupuestos.example"), &peer);
    config(QStringLiteral("eMail_formatoadjunto"), QStringLiteral("HTM"));
    FrmEnviar f;
    presupuesto(f);

    f.ObtenerLink(QStringLiteral("0002"), QStringLiteral("00003001"), QStringLiteral("A"));

    EXPECT_EQ(f.control<QLineEdit>("txtAttach")->text(),
        f.carpetaDocumento() + QStringLiteral("/11200021.HTM"));
    const QList<HttpsPeer::Peticion> peticiones = peer.peticiones();
    ASSERT_EQ(peticiones.size(), 1);
    EXPECT_TRUE(peticiones[0].cuerpo.contains("%PDF"));
}

// Replacing the link: only a budget's message changes, its earlier anchor cut out; the database
// number is the configured one; without the site nothing changes and the operator is told.
TEST_F(ObtenerLink, replaces_the_link_of_a_budget_only)
{
    const QString anterior = QStringLiteral("Hola\r\n<a href='https://viejo'> 'x' </a>.\r\nChau");
    const struct
    {
        const char* tc;
        const char* sitio;
        const char* base;
        bool cambia;
    } filas[] = {
        { "PR", "presupuestos.example", "220", true },
        { "FC", "presupuestos.example", "", false },
        { "PR", "", "", false },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.tc + std::string(" ") + f.sitio);
        envio(QString::fromLatin1(f.sitio));
        config(QStringLiteral("DATABASE_ID_WEB"), QString::fromLatin1(f.base));
        messages().clear();
        if (!*f.sitio)
            messages().answer(Msg::Ok);
        DigitosFijos digitos;
        FrmEnviar form;
        presupuesto(form, QString::fromLatin1(f.tc));
        form.setTexto(QStringLiteral("Mensaje"), anterior);

        form.ObtenerLink(QString(), QString(), QString(), true);

        const QString esperado = f.cambia
            ? QStringLiteral("Hola\r\n\r\n\r\nChau\r\n<a href='https://presupuestos.example/ac/"
                             "budget_file?id=112314562078901230245&ib=220&idc=")
                + idContacto() + QStringLiteral("'> '") + Leyenda + QStringLiteral("' </a>.")
            : anterior;
        EXPECT_EQ(form.texto(QStringLiteral("Mensaje")), esperado);
        EXPECT_EQ(messages().shown().size(), *f.sitio ? 0 : 1);
        if (!*f.sitio) {
            EXPECT_EQ(messages().shown().first().text,
                QStringLiteral("No está configurado el sitio de presupuestos (Envio.ini)"));
        }
    }
}

} // namespace
