#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "sending/eMailAux.h"
#include "support/TestFiles.h"

namespace {

TEST(eMailAux, text_becomes_a_page_with_breaks_and_the_caller_keeps_the_breaks)
{
    QString texto = QStringLiteral("Hola\r\n<b>Lista</b>\r\n");

    const QString html = eMailAux::TextoAHtml(texto);

    EXPECT_EQ(html, QStringLiteral("<HTML><BODY>Hola<BR>\n<b>Lista</b><BR>\n</BODY></HTML>"));
    EXPECT_EQ(texto, QStringLiteral("Hola<BR>\n<b>Lista</b><BR>\n"));
}

class eMailAuxDemo : public CorreoTest
{
};

TEST_F(eMailAuxDemo, footer_page_and_style_sheet_are_written_byte_for_byte)
{
    exec(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE = 'NOMBRE'"));
    exec(QStringLiteral("INSERT INTO ta_configuracion (GRUPO, CLAVE, VALOR) VALUES ('DATOS', "
                        "'NOMBRE', 'Ferretería Núñez')"));
    exec(QStringLiteral("DELETE FROM ta_clasificaciones"));
    exec(QStringLiteral("INSERT INTO ta_clasificaciones (Codigo, Color) VALUES ('  7', '255'), "
                        "('8', NULL)"));
    // The temporary folder may be shared: a link planted at the page's name is replaced, and
    // what it points at is not written.
    const QString ajeno = temporal() + QStringLiteral("/ajeno.htm");
    testsupport::writeFile(ajeno, "ajeno");
    ASSERT_TRUE(QFile::link(ajeno, temporal() + QStringLiteral("/PiePag.htm")));
    QString pie;

    eMailAux::GeneraArchivoPie(pie);
    eMailAux::GenerarEstiloCtrlDiff(temporal());

    EXPECT_EQ(pie, temporal() + QStringLiteral("/PiePag.htm"));
    EXPECT_EQ(testsupport::readFile(ajeno), QByteArray("ajeno"));
    EXPECT_EQ(testsupport::readFile(pie),
        QByteArray("<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n<BR>\r\n<B>Ferreter\xED"
                   "a N\xFA\xF1"
                   "ez</B><BR>\r\n<BR>\r\n<BR>\r\n</BODY>\r\n</HTML>\r\n"));
    const QByteArray css
        = testsupport::readFile(temporal() + QStringLiteral("/Style_CtrlDIFF.css"));
    EXPECT_TRUE(css.startsWith("/* Control de Diferencias: style sheet */\r\n"));
    EXPECT_TRUE(css.contains("/* Background de p\xE1gina */\r\n"));
    EXPECT_TRUE(css.contains(".TableNormal{ background: #E6E6E6; font-size: 10; FONT-FAMILY: "
                             "Verdana; font-color: black;}\r\n.TableRowClasificacion7{ background: "
                             "#FF0000; font-size: 10; FONT-FAMILY: Verdana; font-color: black;}\r\n"
                             ".TableRowAbierto{"));
    EXPECT_EQ(css.count(".TableRowClasificacion"), 1);
    EXPECT_TRUE(css.endsWith(".BotonDisabled {background-color:#CCCCFF; color:#000000;}\r\n"));
    EXPECT_EQ(css.count("\r\n"), 34);
}

TEST_F(eMailAuxDemo, contact_addresses_follow_the_voucher_type_flags)
{
    exec(QStringLiteral("DELETE FROM MA_CONTACTOS"));
    exec(QStringLiteral("DELETE FROM MA_CUENTASADIC"));
    exec(QStringLiteral(
        "INSERT INTO MA_CONTACTOS (email, CuentaRel, mailPGCB, MAILOT, MAILOC) VALUES "
        "('pagos@a.com', 'C1', 1, 0, 0), ('ot@a.com', 'C1', 0, 1, 0), "
        "('ot2@a.com', 'C1', 1, 1, NULL), ('oc@a.com', 'C1', 1, 0, 1), ('', 'C1', 1, 1, 1), "
        "('ajeno@b.com', 'C2', 1, 1, 1), ('d''a@a.com', 'D''A', 1, 0, 0)"));
    exec(QStringLiteral("INSERT INTO MA_CUENTASADIC (CODIGO, Mail) VALUES ('C3', 'adic@c.com;')"));
    const struct
    {
        const char* tc;
        const char* cuenta;
        const char* esperado;
    } casos[] = {
        { "pg", "C1", "pagos@a.com;ot2@a.com;oc@a.com" },
        { "OT", "C1", "ot2@a.com" }, // flagged only MAILOT is never read
        { "OC", "C1", "oc@a.com" },
        { "FC", "C1", "pagos@a.com;ot2@a.com;oc@a.com" },
        { "FC", "C3", "adic@c.com" },
        { "FC", "C9", "" },
        { "FC", "D'A", "d'a@a.com" },
    };
    for (const auto& c : casos) {
        EXPECT_EQ(eMailAux::ObtieneMailsContactos(
                      QString::fromLatin1(c.tc), QString::fromLatin1(c.cuenta)),
            QString::fromLatin1(c.esperado))
            << c.tc << " " << c.cuenta;
    }
}

TEST_F(eMailAuxDemo, ten_thousand_contacts_of_an_account_are_listed_in_one_pass)
{
    exec(QStringLiteral("DELETE FROM MA_CONTACTOS"));
    exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO MA_CONTACTOS (email, CuentaRel, mailPGCB) SELECT 'c' || i || '@a.com', "
        "'C1', 1 FROM n"));

    const QString lista
        = eMailAux::ObtieneMailsContactos(QStringLiteral("FC"), QStringLiteral("C1"));

    EXPECT_EQ(lista.count(u';'), 9999);
    EXPECT_TRUE(lista.startsWith(QStringLiteral("c1@a.com;c2@a.com;")));
}

} // namespace
