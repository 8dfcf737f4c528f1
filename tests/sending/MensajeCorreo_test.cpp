#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "sending/MensajeCorreo.h"
#include "support/TestFiles.h"

namespace {

using MensajeCorreo::Problema;

TEST(MensajeCorreo, checks_sender_recipients_and_attachments_before_sending)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("a.pdf"));
    testsupport::writeFile(pdf, "%PDF");
    const struct
    {
        const char* nombre;
        QString de;
        QString emailDe;
        QString para;
        QString adjuntos;
        Problema problema;
        QString item;
    } casos[] = {
        { "De with @ is the reply-to", QStringLiteral(" yo@a.com "), QString(),
            QStringLiteral("x@b.com"), QString(), Problema::Ninguno, QString() },
        { "De without @ takes the setting", QStringLiteral("Ventas"), QStringLiteral("v@a.com"),
            QStringLiteral("x@b.com"), QString(), Problema::Ninguno, QString() },
        { "no De and no setting", QStringLiteral("Ventas"), QStringLiteral(" "),
            QStringLiteral("x@b.com"), QString(), Problema::Remitente, QString() },
        { "De of two addresses", QStringLiteral("a@a.com;b@b.com"), QString(),
            QStringLiteral("x@b.com"), QString(), Problema::Remitente,
            QStringLiteral("a@a.com;b@b.com") },
        { "empty recipient list", QStringLiteral("a@a.com"), QString(), QStringLiteral(" ; "),
            QString(), Problema::Destinatarios, QStringLiteral(" ; ") },
        { "recipient with a blank", QStringLiteral("a@a.com"), QString(),
            QStringLiteral("x@b.com;juan perez@b.com"), QString(), Problema::Destinatarios,
            QStringLiteral("juan perez@b.com") },
        { "recipient without @", QStringLiteral("a@a.com"), QString(), QStringLiteral("juan"),
            QString(), Problema::Destinatarios, QStringLiteral("juan") },
        { "recipient starting with @", QStringLiteral("a@a.com"), QString(),
            QStringLiteral("@b.com"), QString(), Problema::Destinatarios,
            QStringLiteral("@b.com") },
        { "recipient ending with @", QStringLiteral("a@a.com"), QString(), QStringLiteral("juan@"),
            QString(), Problema::Destinatarios, QStringLiteral("juan@") },
        { "unreadable attachment", QStringLiteral("a@a.com"), QString(), QStringLiteral("x@b.com"),
            pdf + QStringLiteral(";") + dir.filePath("no.pdf"), Problema::Adjuntos,
            dir.filePath("no.pdf") },
        { "attachments with empty pieces", QStringLiteral("a@a.com"), QString(),
            QStringLiteral("x@b.com"), QStringLiteral(";") + pdf + QStringLiteral(";;"),
            Problema::Ninguno, QString() },
    };
    for (const auto& c : casos) {
        const MensajeCorreo::Revision r
            = MensajeCorreo::revisa(c.de, c.emailDe, c.para, c.adjuntos);
        EXPECT_EQ(r.problema, c.problema) << c.nombre;
        EXPECT_EQ(r.item, c.item) << c.nombre;
    }
    const MensajeCorreo::Revision r = MensajeCorreo::revisa(QStringLiteral("Ventas"),
        QStringLiteral(" v@a.com "), QStringLiteral("x@b.com;;y@b.com;"), pdf);
    EXPECT_EQ(r.responderA, QStringLiteral("v@a.com"));
    EXPECT_EQ(
        r.destinatarios, QStringList({ QStringLiteral("x@b.com"), QStringLiteral("y@b.com") }));
    EXPECT_EQ(r.adjuntos, QStringList({ pdf }));
}

TEST(MensajeCorreo, html_body_loses_accents_of_small_and_capital_vowels)
{
    EXPECT_EQ(MensajeCorreo::sinAcentos(QStringLiteral("Árbol único ñandú ÉL")),
        QStringLiteral("arbol unico ñandu eL"));
}

// The bodies that go: typed ones without control characters and with an accentless HTML; a hidden
// message as it is, or on "Otro" the link to its attachments when one was made.
TEST(MensajeCorreo, bodies_of_a_typed_or_hidden_message)
{
    const QString mensaje = QStringLiteral("Canción\x01\r\nDos");
    const QString enlace = QStringLiteral("https://d.example/a.pdf");
    const QString porEnlace = QStringLiteral("Adjunto link con la informacion: ") + enlace;
    const QString html = QStringLiteral("<HTML><BODY>Cancion<BR>\nDos</BODY></HTML>");
    const QString texto = QStringLiteral("Canción\r\nDos");
    const struct
    {
        const char* nombre;
        bool oculto;
        QString servidorTipo;
        QString enlace;
        QString texto;
        QString html;
    } casos[] = {
        { "typed", false, QString(), enlace, texto, html },
        { "hidden", true, QStringLiteral("Gmail"), enlace, mensaje, mensaje },
        { "hidden on Otro, linked", true, QStringLiteral(" otro "), enlace, porEnlace, porEnlace },
        { "hidden on Otro, no link", true, QStringLiteral("Otro"), QStringLiteral(" "), texto,
            html },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        const MensajeCorreo::Cuerpos cuerpos = c.oculto
            ? MensajeCorreo::cuerposOcultos(mensaje, c.servidorTipo, c.enlace)
            : MensajeCorreo::cuerpos(mensaje);
        EXPECT_EQ(cuerpos.texto, c.texto);
        EXPECT_EQ(cuerpos.html, c.html);
    }
}

} // namespace
