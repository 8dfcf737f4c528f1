#include <QCheckBox>
#include <QApplication>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"
#include "services/ManejoErrores.h"
#include "support/BloqueoPrueba.h"
#include "support/TestEnvironment.h"

using testsupport::messages;

namespace {

const QString Cuenta = QStringLiteral("ventas@elprogreso.example");
const QString Clave = QStringLiteral("s3creto");

class FrmEnviarPeer : public CorreoTest
{
protected:
    // The demo user's account on the peer: password, port, the peer's certificate trusted.
    void apuntaA(const SmtpPeer& peer, bool confiaCertificado = true)
    {
        ASSERT_TRUE(peer.iniciado());
        exec(QStringLiteral("UPDATE TA_USUARIOS SET email_Password = '") + Clave + u'\'');
        config(QStringLiteral("email_puerto"), QString::number(peer.puerto()));
        envioIni(confiaCertificado ? peer.certificado() : QString());
    }

    // A sender filled as a caller fills it.
    void llena(FrmEnviar& f, const QString& para, const QString& adjunto = QString())
    {
        f.setTexto(QStringLiteral("Para"), para);
        f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista de precios"));
        f.control<QLineEdit>("txtAttach")->setText(adjunto);
    }
};

TEST_F(FrmEnviarPeer, mails_message_with_bodies_and_attachment_over_starttls_and_logs_it)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    QByteArray bytes(300000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    const QString pdf = archivo(QStringLiteral("Lista ñandú.pdf"), bytes);
    FrmEnviar f;
    f.setTexto(QStringLiteral("De"), QStringLiteral("compras@example.com"));
    f.setTexto(QStringLiteral("Mensaje"), QStringLiteral("Hola José\r\nVa la lista 'nueva' á"));
    llena(f, QStringLiteral("uno@example.com;;dos@example.com;"), pdf);
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Precios de café"));

    f.cmdSend_Click();

    const QStringList recibidos = peer.mensajes();
    ASSERT_EQ(recibidos.size(), 1);
    EXPECT_EQ(SmtpPeer::sobre(recibidos[0]),
        QStringList({ QStringLiteral("MAIL FROM:") + Cuenta,
            QStringLiteral("RCPT TO:uno@example.com"), QStringLiteral("RCPT TO:dos@example.com"),
            QStringLiteral("AUTH:") + Cuenta, QStringLiteral("TLS:SI") }));
    const QJsonObject eml = SmtpPeer::resumen(recibidos[0]);
    EXPECT_EQ(eml[QStringLiteral("From")].toString(),
        QStringLiteral("Administración El Progreso <") + Cuenta + u'>');
    EXPECT_EQ(eml[QStringLiteral("Reply-To")].toString(), QStringLiteral("compras@example.com"));
    EXPECT_EQ(
        eml[QStringLiteral("To")].toString(), QStringLiteral("uno@example.com, dos@example.com"));
    EXPECT_EQ(eml[QStringLiteral("Subject")].toString(), QStringLiteral("Precios de café"));
    const QJsonArray partes = eml[QStringLiteral("parts")].toArray();
    ASSERT_EQ(partes.size(), 3);
    EXPECT_EQ(partes[0][QStringLiteral("text")].toString(),
        QStringLiteral("Hola José\nVa la lista 'nueva' á"));
    // The HTML body: CR as <BR>, the LF kept, accented small vowels plain.
    EXPECT_EQ(partes[1][QStringLiteral("type")].toString(), QStringLiteral("text/html"));
    EXPECT_EQ(partes[1][QStringLiteral("text")].toString(),
        QStringLiteral("<HTML><BODY>Hola Jose<BR>\nVa la lista 'nueva' a</BODY></HTML>"));
    EXPECT_EQ(partes[2][QStringLiteral("filename")].toString(), QStringLiteral("Lista ñandú.pdf"));
    EXPECT_EQ(partes[2][QStringLiteral("sha256")].toString(),
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));

    EXPECT_EQ(registro(),
        QStringList({ QStringLiteral("OK|") + Cuenta
            + QStringLiteral("|E|uno@example.com;;dos@example.com;") }));
    EXPECT_EQ(m_modales.avisos,
        QStringList({ QStringLiteral("Aviso del mail | Mensaje Enviado correctamente") }));
    EXPECT_TRUE(f.pSalir);
    EXPECT_EQ(eMailAux::gEmailPara, QStringLiteral("uno@example.com;;dos@example.com;"));
    EXPECT_TRUE(f.control<QPushButton>("cmdSend")->isEnabled());
}

// Each attachment says what it is, so the recipient's mail program opens it with its program.
TEST_F(FrmEnviarPeer, each_attachment_carries_the_type_of_its_extension)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    const struct
    {
        const char* nombre;
        const char* tipo;
    } casos[] = {
        { "LISTA.PDF", "application/pdf" }, // the program's own exports end in capitals
        { "lista.xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet" },
        { "lista.html", "text/html" },
        { "lista.rtf", "application/rtf" },
        { "lista.zq9", "application/octet-stream" },
    };
    QStringList adjuntos;
    for (const auto& c : casos)
        adjuntos << archivo(QString::fromLatin1(c.nombre), "contenido");
    FrmEnviar f;
    llena(f, QStringLiteral("uno@example.com"), adjuntos.join(u';'));

    f.cmdSend_Click();

    ASSERT_EQ(peer.mensajes().size(), 1);
    const QJsonArray partes
        = SmtpPeer::resumen(peer.mensajes()[0])[QStringLiteral("parts")].toArray();
    ASSERT_EQ(partes.size(), 2 + int(std::size(casos)));
    for (int i = 0; i < int(std::size(casos)); ++i) {
        EXPECT_EQ(partes[2 + i][QStringLiteral("filename")].toString(),
            QString::fromLatin1(casos[i].nombre));
        EXPECT_EQ(
            partes[2 + i][QStringLiteral("type")].toString(), QString::fromLatin1(casos[i].tipo));
    }
}

// The kernel's files tell a size of 0 whatever they hold.
TEST_F(FrmEnviarPeer, a_file_that_tells_no_size_is_attached_to_its_end)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    const QString proc = QStringLiteral("/proc/version");
    const QByteArray contenido = testsupport::readFile(proc);
    ASSERT_FALSE(contenido.isEmpty());
    FrmEnviar f;
    llena(f, QStringLiteral("uno@example.com"), proc);

    f.cmdSend_Click();

    ASSERT_EQ(peer.mensajes().size(), 1);
    const QJsonArray partes
        = SmtpPeer::resumen(peer.mensajes()[0])[QStringLiteral("parts")].toArray();
    ASSERT_EQ(partes.size(), 3);
    const QByteArray suma = QCryptographicHash::hash(contenido, QCryptographicHash::Sha256);
    EXPECT_EQ(partes[2][QStringLiteral("sha256")].toString(), QString::fromLatin1(suma.toHex()));
}

TEST_F(FrmEnviarPeer, implicit_tls_port_logs_in_from_the_first_byte)
{
    SmtpPeer::Opciones o { Cuenta, Clave };
    o.tlsInmediato = true;
    SmtpPeer peer(o);
    apuntaA(peer);
    ConfiguracionEnvio c = ConfiguracionEnvio::lee();
    c.puertoTlsInmediato = peer.puerto();
    ASSERT_TRUE(c.guarda());
    FrmEnviar f;
    llena(f, QStringLiteral("uno@example.com"));

    f.cmdSend_Click();

    ASSERT_EQ(peer.mensajes().size(), 1);
    EXPECT_TRUE(SmtpPeer::sobre(peer.mensajes()[0]).contains(QStringLiteral("AUTH:") + Cuenta));
}

// Each failure: the box the operator sees, the log rows, and the form left open or closed.
TEST_F(FrmEnviarPeer, failures_show_their_box_and_log_what_was_tried)
{
    struct Caso
    {
        const char* nombre;
        SmtpPeer::Opciones peer;
        QString clave; // the account's password
        bool puertoCerrado;
        bool confia; // the peer's certificate trusted
        QString titulo;
        QString textoInicio;
        QString estado; // start of the logged Status; empty: no row
    };
    const Caso casos[] = {
        { "wrong password", { Cuenta, Clave, true }, QStringLiteral("otra"), false, true,
            QStringLiteral("Aviso al operador"),
            QStringLiteral("No se ha podido autenticar en el server SMTP"), QString() },
        { "closed port", { Cuenta, Clave, true }, Clave, true, true,
            QStringLiteral("Error al enviar correo"),
            QStringLiteral(" No hay conexión a internet. Proceso cancelado."), QString() },
        { "untrusted certificate", { Cuenta, Clave, true }, Clave, false, false,
            QStringLiteral(" No se envió el correo. "),
            QStringLiteral("No se pudo establecer una conexión segura"), QString() },
        // A password is never sent to a server that offers no encryption.
        { "no TLS offered", { Cuenta, Clave, false, false, true }, Clave, false, true,
            QStringLiteral(" No se envió el correo. "),
            QStringLiteral("El servidor no ofrece conexión segura"), QString() },
        { "refused recipient",
            { Cuenta, Clave, true, false, false, { QStringLiteral("uno@example.com") } }, Clave,
            false, true, QString(),
            QStringLiteral("El envío del Email falló por las posibles razones:: \r\n"
                           "No se pudo enviar el correo, verifique la configuracion de la "
                           "cuenta\r\n550"),
            QStringLiteral("No se pudo enviar el correo, verifique la configuracion de la "
                           "cuenta\r\n550") },
        // A refusal after the message's data is the server's answer, not a lost connection.
        { "message refused", { Cuenta, Clave, true, false, false, {}, true }, Clave, false, true,
            QString(),
            QStringLiteral("El envío del Email falló por las posibles razones:: \r\n"
                           "No se pudo enviar el correo, verifique la configuracion de la "
                           "cuenta\r\n554"),
            QStringLiteral("No se pudo enviar el correo, verifique la configuracion de la "
                           "cuenta\r\n554 5.7.1 Mensaje rechazado por el servidor") },
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        exec(QStringLiteral("DELETE FROM v_ma_emailmov"));
        messages().clear();
        SmtpPeer peer(c.peer);
        apuntaA(peer, c.confia);
        exec(QStringLiteral("UPDATE TA_USUARIOS SET email_Password = '") + c.clave + u'\'');
        if (c.puertoCerrado)
            config(QStringLiteral("email_puerto"), QString::number(SmtpPeer::puertoCerrado()));
        FrmEnviar f;
        f.MostrarAntes = true;
        f.show();
        llena(f, QStringLiteral("uno@example.com"));
        messages().answer(Msg::Ok);

        f.cmdSend_Click();

        ASSERT_EQ(messages().shown().size(), 1);
        EXPECT_EQ(messages().shown()[0].title, c.titulo);
        EXPECT_TRUE(messages().shown()[0].text.startsWith(c.textoInicio))
            << messages().shown()[0].text.toStdString();
        const QStringList filas = registro();
        if (c.estado.isEmpty()) {
            EXPECT_TRUE(filas.isEmpty());
            EXPECT_TRUE(f.isVisible());
        } else {
            ASSERT_EQ(filas.size(), 1);
            EXPECT_TRUE(filas[0].startsWith(c.estado)) << filas[0].toStdString();
            EXPECT_TRUE(filas[0].contains(u'|' + Cuenta + QStringLiteral("|E|")));
        }
        EXPECT_TRUE(f.control<QPushButton>("cmdSend")->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(peer.mensajes().isEmpty());
    }
}

// Bad input stops before anything is sent, names the entry and leaves the form as it was.
TEST_F(FrmEnviarPeer, bad_sender_recipients_or_attachments_send_nothing_and_name_the_entry)
{
    struct Caso
    {
        const char* nombre;
        QString de;
        QString para;
        QString adjunto;
        QString emailDe; // the "email_de" setting
        QString texto;
    };
    const Caso casos[] = {
        { "no reply-to at all", QStringLiteral("Ventas"), QStringLiteral("uno@example.com"),
            QString(), QString(),
            QStringLiteral("Por favor escriba el Email De, y vuelva a intentar") },
        { "two addresses in De", QStringLiteral("a@b.com b@c.com"),
            QStringLiteral("uno@example.com"), QString(), QStringLiteral("x@example.com"),
            QStringLiteral(
                "Por favor escriba el Email De, y vuelva a intentar\r\na@b.com b@c.com") },
        { "recipient with a line break", QStringLiteral("a@b.com"),
            QStringLiteral("uno@example.com;dos@example.com\nBcc: x@y.com"), QString(), QString(),
            QStringLiteral("No se ha podido agregar los destinatarios el correo con los "
                           "parametros indicados, verifiquelo y vuelva a intentarlo\r\n"
                           "dos@example.com\nBcc: x@y.com") },
        { "missing attachment", QStringLiteral("a@b.com"), QStringLiteral("uno@example.com"),
            QStringLiteral("/no/existe.pdf"), QString(),
            QStringLiteral("No se ha podido Adjuntar al correo con los parametros indicados, "
                           "verifiquelo y vuelva a intentarlo\r\n/no/existe.pdf") },
    };
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        messages().clear();
        config(QStringLiteral("email_de"), c.emailDe);
        FrmEnviar f;
        f.show();
        llena(f, c.para, c.adjunto);
        f.setTexto(QStringLiteral("De"), c.de);
        messages().answer(Msg::Ok);

        f.cmdSend_Click();

        ASSERT_EQ(messages().shown().size(), 1);
        EXPECT_EQ(messages().shown()[0].text, c.texto);
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.control<QPushButton>("cmdSend")->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(peer.mensajes().isEmpty());
    EXPECT_TRUE(registro().isEmpty());
}

// A subject and a recipient list far longer than a mail line are folded into lines the server
// takes; the reader gets them back whole.
TEST_F(FrmEnviarPeer, long_subject_and_many_recipients_are_folded_and_delivered)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    // 2,000 UTF-16 units, a character beyond the basic plane included.
    const QString asunto = QStringLiteral("Lista de precios ñandú 𝄞").repeated(80);
    QStringList para;
    for (int i = 0; i < 60; ++i)
        para << QStringLiteral("destinatario%1@example.com").arg(i, 2, 10, QLatin1Char('0'));
    FrmEnviar f;
    llena(f, para.join(u';'));
    f.setTexto(QStringLiteral("Asunto"), asunto);

    f.cmdSend_Click();

    const QStringList recibidos = peer.mensajes();
    ASSERT_EQ(recibidos.size(), 1);
    const QJsonObject eml = SmtpPeer::resumen(recibidos[0]);
    EXPECT_EQ(eml[QStringLiteral("Subject")].toString(), asunto);
    EXPECT_EQ(eml[QStringLiteral("To")].toString(), para.join(QStringLiteral(", ")));
    EXPECT_EQ(SmtpPeer::sobre(recibidos[0]).filter(QStringLiteral("RCPT TO:")).size(), 60);
    for (const QByteArray& linea : testsupport::readFile(recibidos[0]).split('\n'))
        EXPECT_LE(linea.size(), 100) << linea.toStdString();
    const QStringList filas = registro();
    ASSERT_EQ(filas.size(), 1);
    EXPECT_TRUE(filas[0].startsWith(QStringLiteral("OK|")));
}

// The account's address comes from the database: a line break in it would have written a
// recipient of its own into the envelope.
TEST_F(FrmEnviarPeer, sender_address_with_a_line_break_never_reaches_the_server)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    config(QStringLiteral("email_puerto"), QString::number(peer.puerto()));
    exec(QStringLiteral("UPDATE TA_USUARIOS SET email_Password = '', email_usuario = '") + Cuenta
        + QStringLiteral(">\r\nRCPT TO:<espia@example.com'"));
    FrmEnviar f;
    llena(f, QStringLiteral("uno@example.com"));

    f.cmdSend_Click();

    EXPECT_TRUE(peer.mensajes().isEmpty());
    const QStringList filas = registro();
    ASSERT_EQ(filas.size(), 1);
    EXPECT_TRUE(filas[0].startsWith(QStringLiteral("No se pudo enviar el correo, verifique la "
                                                   "configuracion de la cuenta\r\nRemitente no "
                                                   "valido: ")
        + Cuenta))
        << filas[0].toStdString();
}

TEST_F(FrmEnviarPeer, silent_mode_shows_only_the_subject_box_and_still_logs)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    FrmEnviar f;
    f.pSilencioso = true;
    llena(f, QStringLiteral("uno@example.com"));
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("   "));
    f.control<QCheckBox>("ChkAutomatico")->setChecked(true);
    messages().answer(Msg::Ok);

    f.cmdSend_Click();
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    f.cmdSend_Click();

    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Debe informar el asunto del mensaje"));
    EXPECT_EQ(eMailAux::gResultadoEnvio, 1);
    EXPECT_TRUE(m_modales.avisos.isEmpty());
    EXPECT_EQ(registro().size(), 1);
    EXPECT_EQ(peer.mensajes().size(), 1);
}

TEST_F(FrmEnviarPeer, event_send_hides_the_form_without_notice)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    FrmEnviar f;
    f.IdEvento = QStringLiteral("77");
    f.show();
    llena(f, QStringLiteral("uno@example.com"));

    f.cmdSend_Click();

    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(m_modales.avisos.isEmpty());
    EXPECT_EQ(registro().size(), 1);
}

TEST_F(FrmEnviarPeer, certificate_check_opt_out_sends_and_is_logged_once_per_run)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    envioIni(QString(), false);

    for (int i = 0; i < 2; ++i) {
        FrmEnviar f;
        llena(f, QStringLiteral("uno@example.com"));
        f.cmdSend_Click();
    }

    EXPECT_EQ(peer.mensajes().size(), 2);
    const QString log = QString::fromLatin1(testsupport::readFile(archivoErroresPrograma()));
    EXPECT_EQ(log.count(QStringLiteral("VerificarCertificados=NO")), 1);
    EXPECT_FALSE(log.contains(Clave));
}

TEST_F(FrmEnviarPeer, no_account_anywhere_tells_missing_data_even_when_silent)
{
    exec(QStringLiteral("DELETE FROM TA_USUARIOS"));
    exec(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE LIKE 'EMAIL%'"));
    FrmEnviar f;
    f.pSilencioso = true;
    llena(f, QStringLiteral("uno@example.com"));
    messages().answer(Msg::Ok);

    f.cmdSend_Click();

    ASSERT_EQ(messages().shown().size(), 1);
    EXPECT_EQ(
        messages().shown()[0].text, QStringLiteral("Faltan Datos. Verifique su Configuracion"));
}

TEST_F(CorreoTest, answered_mail_is_marked_with_apostrophes_doubled)
{
    exec(QStringLiteral("INSERT INTO v_ma_emailmov (uidl, Status) VALUES ('id''1', 'NUEVO')"));
    FrmEnviar f;

    f.ActualizaContestado(QStringLiteral(" D'Angelo "), QStringLiteral("id'1"), QString());
    f.ActualizaContestado(QStringLiteral("otro"), QStringLiteral("   "), QString());

    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select STATUS, contestadopor from v_ma_emailmov"), rs);
    EXPECT_EQ(rs.Fields(0).Value().toString(), QStringLiteral("HTML"));
    EXPECT_EQ(rs.Fields(1).Value().toString(), QStringLiteral("D'Angelo"));
    gDB().CierraRecordset(rs);
}

} // namespace

namespace {

TEST(FrmEnviar, url_piece_becomes_a_file_name_and_a_bad_escape_is_a_type_mismatch)
{
    FrmEnviar f;
    QString valor = QStringLiteral("Lista%20de+precios%2fa%2F100%25");

    EXPECT_EQ(f.GetStringFile(valor), QStringLiteral("Lista_de_precios\\a\\100%"));
    EXPECT_EQ(valor, QStringLiteral("Lista de precios\\a\\100%"));
    QString malo = QStringLiteral("a%zz");
    EXPECT_THROW(f.GetStringFile(malo), RuntimeError);
}

} // namespace

// A database another process holds: the send stops at its first wait before the mail goes, and a
// mail that went whose log row could not be written says so; neither waits twice nor asks.
TEST_F(FrmEnviarPeer, a_database_another_process_holds_stops_the_send_or_tells_the_missing_log_row)
{
    SmtpPeer peer({ Cuenta, Clave, true });
    apuntaA(peer);
    const QString bloqueada = QStringLiteral("La base de datos %1 está bloqueada por otro proceso: "
                                             "se esperó 30 s y no se liberó.")
                                  .arg(m_file);
    const struct
    {
        const char* nombre;
        std::function<void(FrmEnviar&)> accion;
        QString aviso;
    } casos[] = {
        { "a send", [](FrmEnviar& f) { f.cmdSend_Click(); },
            QStringLiteral("El correo no se envió: ") + bloqueada },
        { "the log row of a mail that went", [](FrmEnviar& f) { f.RegistrarEnvio(false); },
            QStringLiteral("El correo se envió, pero no quedó anotado en el registro de envíos: ")
                + bloqueada },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        messages().clear();
        messages().answer(Msg::Ok);
        testsupport::EsperaCorta espera(m_dir.path(), m_file);
        espera.objects.gDB.gUsuario = QStringLiteral("ADMIN");
        FrmEnviar f;
        llena(f, QStringLiteral("nuevo@example.com"));
        {
            const testsupport::OtroProceso otro(m_file, "BEGIN IMMEDIATE");
            ASSERT_TRUE(otro.holds());

            caso.accion(f);
        }
        EXPECT_EQ(espera.objects.gDB.gCnn().timeoutCount(), 1);
        ASSERT_EQ(messages().shown().size(), 1);
        EXPECT_EQ(messages().shown()[0].text, caso.aviso);
        EXPECT_TRUE(peer.mensajes().isEmpty());
        EXPECT_TRUE(registro().isEmpty());
    }
}
