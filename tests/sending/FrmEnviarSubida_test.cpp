#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"
#include "services/ManejoErrores.h"
#include "support/HttpsPeer.h"
#include "support/TestEnvironment.h"

using testsupport::messages;

namespace {

class FrmEnviarSubida : public DocumentosTest
{
protected:
    // The document server of Envio.ini at the peer; its certificate trusted or not.
    void apunta(const QString& servidor, const QString& ca, bool verifica = true)
    {
        ConfiguracionEnvio c;
        c.servidorDocumentos = servidor;
        c.certificadosCA = ca;
        c.verificarCertificados = verifica;
        ASSERT_TRUE(c.guarda());
    }

    void codigoCliente(const QString& codigo)
    {
        QString sql = QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '") + codigo
            + QStringLiteral("' WHERE CLAVE = 'FTP_CODIGOCTA'");
        m_objects.gDBEstadisticas.EjecutaConsultaSQL(sql);
    }
};

TEST_F(FrmEnviarSubida, posts_the_multipart_request_and_leaves_the_link)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    apunta(peer.servidor(), peer.certificado());
    QByteArray bytes(200000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 13);
    const QString pdf = archivo(QStringLiteral("Lista ñandú.pdf"), bytes);
    FrmEnviar f;

    f.uploadAdjuntoWeb(pdf, QStringLiteral("DOC"), QStringLiteral(".PDF"), true);

    const QString ruta = QStringLiteral("/Clientes/DEMO0001/202403/DOC.PDF");
    EXPECT_EQ(f.LinkDocumento, QStringLiteral("https://") + peer.servidor() + ruta);
    const QList<HttpsPeer::Peticion> peticiones = peer.peticiones();
    ASSERT_EQ(peticiones.size(), 1);
    const HttpsPeer::Peticion& p = peticiones[0];
    EXPECT_EQ(p.linea,
        QStringLiteral("POST /uploadvb6.aspx?ruta_destino="
                       "%2FClientes%2FDEMO0001%2F202403%2FDOC.PDF HTTP/1.1"));
    const QRegularExpressionMatch tipo
        = QRegularExpression(QStringLiteral("^multipart/form-data; boundary=(-{27}[0-9A-F]+)$"))
              .match(p.cabecera(QStringLiteral("Content-Type")));
    ASSERT_TRUE(tipo.hasMatch()) << p.cabecera(QStringLiteral("Content-Type")).toStdString();
    const QByteArray limite = tipo.captured(1).toLatin1();
    EXPECT_EQ(p.cabecera(QStringLiteral("Cache-Control")), QStringLiteral("no-cache"));
    EXPECT_EQ(p.cabecera(QStringLiteral("Expect")), QString());
    // The file's own name in the head, in Windows-1252; the body exactly head, file, tail.
    EXPECT_EQ(p.cuerpo,
        "--" + limite
            + "\r\nContent-Disposition: form-data; name=\"archivo\"; "
              "filename=\"Lista \xF1\x61nd\xFA.pdf\"\r\n"
              "Content-Type: application/octet-stream\r\n\r\n"
            + bytes + "\r\n--" + limite + "--\r\n");
    EXPECT_EQ(testsupport::readFile(datos(QStringLiteral("ComandosI.txt"))), "DOC.PDF\r\n");
    EXPECT_FALSE(QFile::exists(datos(QStringLiteral("DOC.PDF"))));
    EXPECT_TRUE(messages().shown().isEmpty());
}

// Each failure: the box (or the log line when silent), the link left, what reached the server.
TEST_F(FrmEnviarSubida, failures_tell_why_and_leave_the_error_text_for_the_link)
{
    enum class Archivo
    {
        Datos,
        Falta,
        Vacio
    };
    struct Caso
    {
        const char* nombre;
        int status = 200;
        bool puertoCerrado = false;
        bool confia = true;
        bool verifica = true;
        Archivo archivo = Archivo::Datos;
        QString codigo = QStringLiteral("DEMO0001");
        bool sinServidor = false;
        bool silencioso = false;
        QString titulo; // empty: no box
        QString texto; // start of the box's (or the log line's) text
        QString link; // LinkDocumento afterwards ("" ok: the real link)
        int peticiones = 0;
        bool goteo = false; // the server drips its answer; the upload may take 2 s
    };
    const QString fallo = QStringLiteral("** Error al subir el archivo DOC.pdf");
    const QString error = QStringLiteral("Error");
    const Caso casos[] = {
        { "refused by the server", 500, false, true, true, Archivo::Datos,
            QStringLiteral("DEMO0001"), false, false, error,
            QStringLiteral("Error en la subida: 500 - Ruta no valida"), fallo, 1 },
        { "refused, silent: logged, no box", 500, false, true, true, Archivo::Datos,
            QStringLiteral("DEMO0001"), false, true, QString(),
            QStringLiteral("Error en la subida: 500 - Ruta no valida"), fallo, 1 },
        { "no server", 200, true, true, true, Archivo::Datos, QStringLiteral("DEMO0001"), false,
            false, error, QStringLiteral("Se produjo un error: No se pudo comunicar"), fallo, 0 },
        { "untrusted certificate", 200, false, false, true, Archivo::Datos,
            QStringLiteral("DEMO0001"), false, false, error,
            QStringLiteral("Se produjo un error: No se pudo establecer una conexión segura"), fallo,
            0 },
        { "certificate check turned off", 200, false, false, false, Archivo::Datos,
            QStringLiteral("DEMO0001"), false, false, QString(), QString(), QString(), 1 },
        { "missing file", 200, false, true, true, Archivo::Falta, QStringLiteral("DEMO0001"), false,
            false, error, QStringLiteral("Error: El archivo especificado no existe: "), fallo, 0 },
        { "empty file", 200, false, true, true, Archivo::Vacio, QStringLiteral("DEMO0001"), false,
            false, error, QStringLiteral("Se produjo un error: El archivo está vacío: "), fallo,
            0 },
        { "no customer code", 200, false, true, true, Archivo::Datos, QStringLiteral("  "), false,
            false, QStringLiteral("Aviso"),
            QStringLiteral("Debe configurar el codigo de cliente!\r\nComuniquese con Orba Lis "
                           "Plus."),
            QStringLiteral("previo"), 0 },
        { "no document server", 200, false, true, true, Archivo::Datos, QStringLiteral("DEMO0001"),
            true, false, QStringLiteral("Aviso"),
            QStringLiteral("No está configurado el servidor de documentos (Envio.ini)"),
            QStringLiteral("previo"), 0 },
        { "server dripping its answer", 200, false, true, true, Archivo::Datos,
            QStringLiteral("DEMO0001"), false, false, error,
            QStringLiteral("Se produjo un error: El servidor no terminó de responder en 2 "
                           "segundos"),
            fallo, 1, true },
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        messages().clear();
        QFile::remove(archivoErroresPrograma());
        QFile::remove(datos(QStringLiteral("ComandosI.txt")));
        HttpsPeer peer(c.status, QStringLiteral("Ruta no valida"), c.goteo);
        ASSERT_TRUE(peer.iniciado());
        const QString servidor = c.puertoCerrado
            ? QStringLiteral("127.0.0.1:") + QString::number(SmtpPeer::puertoCerrado())
            : peer.servidor();
        apunta(c.sinServidor ? QString() : servidor, c.confia ? peer.certificado() : QString(),
            c.verifica);
        codigoCliente(c.codigo);
        QString ruta = archivo(QStringLiteral("a.pdf"), "%PDF-1.4");
        if (c.archivo == Archivo::Falta)
            ruta = m_dir.filePath(QStringLiteral("no/existe.pdf"));
        if (c.archivo == Archivo::Vacio)
            ruta = archivo(QStringLiteral("vacio.pdf"), QByteArray());
        FrmEnviar f;
        f.pSilencioso = c.silencioso;
        f.setSegundosSubida(2);
        f.LinkDocumento = QStringLiteral("previo");
        if (!c.titulo.isEmpty())
            messages().answer(Msg::Ok);

        f.uploadAdjuntoWeb(ruta, QStringLiteral("DOC"), QStringLiteral("pdf"), true);

        if (c.titulo.isEmpty()) {
            EXPECT_TRUE(messages().shown().isEmpty());
        } else {
            ASSERT_EQ(messages().shown().size(), 1);
            EXPECT_EQ(messages().shown()[0].title, c.titulo);
            EXPECT_TRUE(messages().shown()[0].text.startsWith(c.texto))
                << messages().shown()[0].text.toStdString();
        }
        if (c.silencioso) {
            EXPECT_TRUE(QString::fromLatin1(testsupport::readFile(archivoErroresPrograma()))
                            .contains(c.texto));
        }
        EXPECT_EQ(f.LinkDocumento,
            c.link.isEmpty() ? QStringLiteral("https://") + servidor
                    + QStringLiteral("/Clientes/DEMO0001/202403/DOC.pdf")
                             : c.link);
        EXPECT_EQ(peer.peticiones(false).size(), c.peticiones);
        // The FTP client's command file is written whenever the upload was tried.
        EXPECT_EQ(QFile::exists(datos(QStringLiteral("ComandosI.txt"))),
            c.link != QStringLiteral("previo"));
    }
}

TEST_F(FrmEnviarSubida, a_file_name_cannot_end_its_quotes_or_add_a_header)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    apunta(peer.servidor(), peer.certificado());
    const QString pdf = archivo(QStringLiteral("a\"b\r\nX-Evil: 1\r\n\r\nBODY.pdf"), "%PDF");
    FrmEnviar f;

    f.uploadAdjuntoWeb(pdf, QStringLiteral("DOC"), QStringLiteral("pdf"), true);

    const QList<HttpsPeer::Peticion> peticiones = peer.peticiones();
    ASSERT_EQ(peticiones.size(), 1);
    EXPECT_TRUE(
        peticiones[0].cuerpo.contains("; filename=\"a%22b%0D%0AX-Evil: 1%0D%0A%0D%0ABODY.pdf\"\r\n"
                                      "Content-Type: application/octet-stream\r\n\r\n%PDF\r\n"))
        << peticiones[0].cuerpo.toStdString();
}

// The working copy lives in the data folder under the server's name: a name that climbs out of
// it is refused before anything is written, and a file already there stays as it was.
TEST_F(FrmEnviarSubida, uploads_delete_nothing_they_did_not_write)
{
    HttpsPeer peer;
    ASSERT_TRUE(peer.iniciado());
    apunta(peer.servidor(), peer.certificado());
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("fuera")));
    ASSERT_TRUE(QDir().mkpath(datos(QString())));
    const QString pdf = archivo(QStringLiteral("a.txt"), "nuevo");
    const QString fuera = archivo(QStringLiteral("fuera/victima.txt"), "ajeno");
    const QString propio = datos(QStringLiteral("DOC.txt"));
    testsupport::writeFile(propio, "mio");
    FrmEnviar f;
    messages().answer(Msg::Ok);

    f.uploadAdjuntoWeb(pdf, QStringLiteral("../../fuera/victima"), QStringLiteral("txt"), true);
    f.uploadAdjuntoWeb(pdf, QStringLiteral("DOC"), QStringLiteral("txt"), true);

    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(messages().shown()[0].text,
        QStringLiteral("Se produjo un error: El nombre del archivo no es válido: "
                       "../../fuera/victima.txt"));
    EXPECT_EQ(testsupport::readFile(fuera), "ajeno");
    EXPECT_EQ(testsupport::readFile(propio), "mio");
    const QList<HttpsPeer::Peticion> peticiones = peer.peticiones(false);
    ASSERT_EQ(peticiones.size(), 1);
    EXPECT_TRUE(peticiones[0].linea.contains(QStringLiteral("DOC.txt")));
    EXPECT_EQ(f.LinkDocumento,
        QStringLiteral("https://") + peer.servidor()
            + QStringLiteral("/Clientes/DEMO0001/202403/DOC.txt"));
}

// A mail whose message box is hidden carries the links of its attachments; the first one goes
// up under the day's date of the workstation's clock.
TEST_F(FrmEnviarSubida, hidden_message_uploads_the_first_attachment_under_the_clock_date)
{
    HttpsPeer documentos;
    ASSERT_TRUE(documentos.iniciado());
    apunta(documentos.servidor(), documentos.certificado());
    SmtpPeer correo({});
    ASSERT_TRUE(correo.iniciado());
    config(QStringLiteral("email_puerto"), QString::number(correo.puerto()));
    FrmEnviar f;
    f.setTexto(QStringLiteral("Para"), QStringLiteral("uno@example.com"));
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    f.control<QLineEdit>("txtAttach")
        ->setText(
            archivo(QStringLiteral("a.pdf"), "1") + u';' + archivo(QStringLiteral("b.pdf"), "2"));
    f.txtfields(3)->hide();

    f.cmdSend_Click();

    const QList<HttpsPeer::Peticion> peticiones = documentos.peticiones(false);
    ASSERT_EQ(peticiones.size(), 2);
    EXPECT_TRUE(peticiones[1].linea.contains(QStringLiteral("%2F202403%2F20240315_")))
        << peticiones[1].linea.toStdString();
    EXPECT_EQ(correo.mensajes().size(), 1);
}

} // namespace
