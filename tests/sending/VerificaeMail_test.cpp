#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "platform/Windows1252.h"
#include "sending/DocumentoTest.h"
#include "sending/FrmEnviar.h"

using testsupport::messages;

namespace {

class VerificaeMail : public DocumentoTest
{
protected:
    void SetUp() override
    {
        DocumentoTest::SetUp();
        exec(QStringLiteral("UPDATE v_ma_email SET De = 'reglas@elprogreso.example', "
                            "Para = 'mostrador@elprogreso.example' WHERE codigoactivador = "
                            "'FC,NC,CB'"));
        m_modales.paso = [this](QDialog& form) {
            auto& f = static_cast<FrmEnviar&>(form);
            m_mostrado << QStringList { f.texto(QStringLiteral("De")),
                f.texto(QStringLiteral("Para")), f.texto(QStringLiteral("Asunto")),
                f.texto(QStringLiteral("Mensaje")), f.control<QLineEdit>("txtAttach")->text() };
        };
    }

    void sinConfirmacion(const char* valor)
    {
        exec(QStringLiteral("UPDATE v_ma_email SET SinConfirmacion = ") + QLatin1String(valor)
            + QStringLiteral(" WHERE codigoactivador = 'FC,NC,CB'"));
    }

    // The sender the user would see: De, Para, Asunto, Mensaje and the attachments, per showing.
    QList<QStringList> m_mostrado;
};

const QString Regla = QStringLiteral("Le enviamos adjunto su comprobante. Muchas gracias por su "
                                     "compra.");

// How the sender is filled: a rule overwrites, forced mode (asked for, or "ENVIO AUTOMATICO"
// ticked) fills only what is empty; recipients from the fixed address, the contacts or the rule;
// the user is shown the sender unless the rule says otherwise.
TEST_F(VerificaeMail, fills_the_sender_by_rule_or_forced_and_shows_it)
{
    const struct
    {
        const char* nombre;
        const char* tc;
        const char* id;
        const char* cuenta;
        bool forzar;
        bool automatico;
        bool previos; // the caller filled De, Para and Asunto before
        const char* fijo;
        const char* regla; // SinConfirmacion of the rule
        const char* de;
        const char* para;
        const char* asunto;
        const char* adjunto;
    } filas[] = {
        { "rule overwrites", "FC", "000200001201A", "1120002", false, false, true, "", "NULL",
            "reglas@elprogreso.example", "info@constructoralosa.example",
            "Comprobante(FC 000200001201A) Constructora Los Álamos S.R.L.", "1120002_FC1.PDF" },
        { "rule, fixed address, 0", "FC", "000200001201A", "1120002", false, false, false,
            "fijo@example.com", "0", "reglas@elprogreso.example", "fijo@example.com",
            "Comprobante(FC 000200001201A) Constructora Los Álamos S.R.L.", "1120002_FC1.PDF" },
        // No contact and no additional address: the rule's recipients.
        { "rule, no contacts", "FC", "000200001200B", "1120001", false, false, false, "", "NULL",
            "reglas@elprogreso.example", "mostrador@elprogreso.example",
            "Comprobante(FC 000200001200B) Consumidor Final", "1120001_FC1.PDF" },
        // The voucher id stands for the account: no account of that code exists.
        { "rule, no account", "FC", "000200001201A", "", false, false, false, "", "NULL",
            "reglas@elprogreso.example", "mostrador@elprogreso.example",
            "Comprobante(FC 000200001201A) ", "000200001201A_FC1.PDF" },
        { "forced keeps", "FC", "000200001201A", "1120002", true, false, true, "fijo@example.com",
            "NULL", "previo@example.com", "previo@example.com", "Previo", "1120002_FC1.PDF" },
        { "ticked keeps", "FC", "000200001201A", "1120002", false, true, true, "", "NULL",
            "previo@example.com", "previo@example.com", "Previo", "1120002_FC1.PDF" },
        { "forced fills", "FC", "000200001201A", "1120002", true, false, false, "fijo@example.com",
            "NULL", "ventas@elprogreso.example", "fijo@example.com",
            "FC 000200001201A Constructora Los Álamos S.R.L.", "1120002_FC1.PDF" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.nombre);
        sinConfirmacion(f.regla);
        m_mostrado.clear();
        FrmEnviar form;
        if (f.previos) {
            form.setTexto(QStringLiteral("De"), QStringLiteral("previo@example.com"));
            form.setTexto(QStringLiteral("Para"), QStringLiteral("previo@example.com"));
            form.setTexto(QStringLiteral("Asunto"), QStringLiteral("Previo"));
        }
        form.control<QCheckBox>("ChkAutomatico")->setChecked(f.automatico);
        QString cuenta = QString::fromLatin1(f.cuenta);

        form.VerificaeMail(cuenta, QString::fromLatin1(f.tc), QString::fromLatin1(f.id), false,
            f.forzar, QString::fromLatin1(f.fijo));

        ASSERT_EQ(m_mostrado.size(), 1);
        const QStringList& m = m_mostrado.first();
        EXPECT_EQ(m.at(0), QString::fromUtf8(f.de));
        EXPECT_EQ(m.at(1), QString::fromUtf8(f.para));
        EXPECT_EQ(m.at(2), QString::fromUtf8(f.asunto));
        if (!f.forzar && !f.automatico) {
            EXPECT_EQ(m.at(3), Regla);
        }
        EXPECT_EQ(nombres(m.at(4), form.carpetaDocumento()),
            QStringList { QString::fromLatin1(f.adjunto) });
        // The body file served the rendering only; the attachment stays.
        EXPECT_EQ(QDir(form.carpetaDocumento()).entryList({ QStringLiteral("*.htm") }).size(), 0);
        EXPECT_TRUE(QFile::exists(m.at(4)));
        EXPECT_TRUE(registro().isEmpty());
        EXPECT_TRUE(messages().shown().isEmpty());
    }
}

// Nothing is rendered, filled or shown: no rule for the type (an apostrophe in the type reaches
// no statement), a voucher the database lacks (told), or the screen preview (the form stays).
TEST_F(VerificaeMail, renders_nothing_without_rule_or_voucher_and_only_previews_on_screen)
{
    const QString capturas = m_dir.filePath(QStringLiteral("capturas"));
    QDir().mkpath(capturas);
    const struct
    {
        const char* tc;
        const char* id;
        bool pantalla;
        int impresiones;
        const char* aviso;
    } filas[] = {
        { "ND", "000200001201A", false, 0, nullptr },
        { "F'C", "000200001201A", false, 0, nullptr },
        { "FC", "000299999999A", false, 0, "No se encontró el comprobante FC 000299999999A" },
        { "FC", "000200001201A", true, 2, nullptr },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.tc);
        messages().clear();
        if (f.aviso)
            messages().answer(Msg::Ok);
        m_control.capturaEn(capturas);
        FrmEnviar form;
        QString cuenta = QStringLiteral("1120002");

        form.VerificaeMail(
            cuenta, QString::fromLatin1(f.tc), QString::fromLatin1(f.id), f.pantalla);

        EXPECT_TRUE(m_mostrado.isEmpty());
        EXPECT_EQ(m_control.capturas().size(), f.impresiones);
        EXPECT_EQ(form.carpetaDocumento().isEmpty(), !f.pantalla);
        EXPECT_TRUE(form.texto(QStringLiteral("Asunto")).isEmpty());
        EXPECT_EQ(messages().shown().size(), f.aviso ? 1 : 0);
        if (f.aviso) {
            EXPECT_EQ(messages().shown().first().text, QString::fromUtf8(f.aviso));
        }
    }
}

class VerificaeMailPeer : public VerificaeMail
{
protected:
    void apuntaA(const SmtpPeer& peer)
    {
        ASSERT_TRUE(peer.iniciado());
        config(QStringLiteral("email_puerto"), QString::number(peer.puerto()));
        sinConfirmacion("1");
    }
};

TEST_F(VerificaeMailPeer, mails_an_invoice_at_once_when_the_rule_says_so_and_logs_the_voucher)
{
    SmtpPeer peer({});
    apuntaA(peer);
    FrmEnviar form;
    QString cuenta = QStringLiteral("1120002");

    form.VerificaeMail(cuenta, QStringLiteral("FC"), QStringLiteral("000200001201A"));

    EXPECT_TRUE(m_mostrado.isEmpty());
    const QStringList recibidos = peer.mensajes();
    ASSERT_EQ(recibidos.size(), 1);
    const QJsonObject eml = SmtpPeer::resumen(recibidos[0]);
    EXPECT_EQ(
        eml[QStringLiteral("To")].toString(), QStringLiteral("info@constructoralosa.example"));
    EXPECT_EQ(eml[QStringLiteral("Subject")].toString(),
        QStringLiteral("Comprobante(FC 000200001201A) Constructora Los Álamos S.R.L."));
    const QJsonArray partes = eml[QStringLiteral("parts")].toArray();
    ASSERT_EQ(partes.size(), 3);
    EXPECT_EQ(partes[2][QStringLiteral("filename")].toString(), QStringLiteral("1120002_FC1.PDF"));
    const QString pdf = form.carpetaDocumento() + QStringLiteral("/1120002_FC1.PDF");
    EXPECT_EQ(partes[2][QStringLiteral("size")].toInt(), QFileInfo(pdf).size());
    AdoRecordset rs;
    gDB().AbrirRecordset(QStringLiteral("select * from v_ma_emailmov"), rs);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("Status")).Value().toString(), QStringLiteral("OK"));
    EXPECT_EQ(rs.Fields(QStringLiteral("TC")).Value().toString(), QStringLiteral("FC"));
    EXPECT_EQ(rs.Fields(QStringLiteral("IdComprobante")).Value().toString(),
        QStringLiteral("000200001201A"));
    EXPECT_EQ(rs.Fields(QStringLiteral("Cuenta")).Value().toString(), QStringLiteral("1120002"));
    gDB().CierraRecordset(rs);
    EXPECT_FALSE(QFile::exists(form.carpetaDocumento() + QStringLiteral("/1120002_FC.htm")));
}

// A document whose report could not be printed is never mailed without it, nor logged as sent:
// the sender's attachment check stops the mail and names the file.
TEST_F(VerificaeMailPeer, stops_at_the_attachment_check_when_the_document_was_not_written)
{
    SmtpPeer peer({});
    apuntaA(peer);
    testsupport::writeFile(m_dir.filePath(QStringLiteral("reports/FC.rpt")), "<report>");
    // The engine refuses the definition at both prints; the conversion finds no saved report.
    for (int respuesta : { Msg::Abort, Msg::Abort, Msg::Ok, Msg::Ok })
        messages().answer(respuesta);
    FrmEnviar form;
    QString cuenta = QStringLiteral("1120002");

    form.VerificaeMail(cuenta, QStringLiteral("FC"), QStringLiteral("000200001201A"));

    EXPECT_TRUE(peer.mensajes().isEmpty());
    EXPECT_TRUE(registro().isEmpty());
    ASSERT_EQ(messages().shown().size(), 4);
    EXPECT_EQ(messages().shown().last().text,
        QStringLiteral("No se ha podido Adjuntar al correo con los parametros indicados, "
                       "verifiquelo y vuelva a intentarlo\r\n")
            + form.carpetaDocumento() + QStringLiteral("/1120002_FC1.PDF"));
}

// A text file as message and attachment: its lines joined, to the account's additional address,
// from the user's own; the style sheet beside the temporary files.
TEST_F(VerificaeMail, especial_shows_a_text_file_to_the_account)
{
    const QString arch = archivo(QStringLiteral("aviso.txt"),
        Windows1252::encode(QStringLiteral("Línea uno\r\nLínea dos\r\n")));
    const struct
    {
        const char* cuenta;
        const char* para;
    } filas[] = { { "1120002", "info@constructoralosa.example" }, { "9999999", "" } };
    for (const auto& f : filas) {
        FrmEnviar form;

        form.EnviarMail_Especial(QString::fromLatin1(f.cuenta), arch);

        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.texto(QStringLiteral("Mensaje")), QStringLiteral("Línea unoLínea dos"));
        EXPECT_EQ(form.texto(QStringLiteral("Para")), QString::fromLatin1(f.para));
        EXPECT_EQ(form.texto(QStringLiteral("De")), QStringLiteral("ventas@elprogreso.example"));
        EXPECT_EQ(form.control<QLineEdit>("txtAttach")->text(), arch + u';');
        EXPECT_TRUE(QFile::exists(temporal() + QStringLiteral("/Style_CtrlDIFF.css")));
        form.Unload();
    }
}

} // namespace
