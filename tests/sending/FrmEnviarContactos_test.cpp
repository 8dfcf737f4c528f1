#include <functional>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "lookup/Lib_ClsCons3.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/LookupGridModel.h"
#include "sending/CorreoTest.h"
#include "sending/FrmEnviar.h"

using testsupport::messages;

namespace {

QColor gris()
{
    return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

class FrmEnviarContactos : public CorreoTest
{
protected:
    void SetUp() override
    {
        CorreoTest::SetUp();
        exec(QStringLiteral("INSERT INTO MA_CONTACTOS (IdContacto, Nombre_y_Apellido, Cargo, "
                            "Telefono, CELULAR, email) VALUES "
                            "(9001, 'Ana Paz', 'Compras', '4455-1122', '11 5555 0001', "
                            "'ana@paz.example'), "
                            "(9002, 'Luis Mar', '', '4455-3344', '  ', 'luis@mar.example'), "
                            "(9003, 'Sin Correo', 'X', '1', '2', '')"));
        exec(QStringLiteral("INSERT INTO MA_CONTACTOS_CUENTAS (IDCONTACTO, CUENTA) VALUES "
                            "(9001, 'C9'), (9002, 'C9')"));
    }

    QLineEdit* campo(FrmEnviar& f, const char* nombre) { return f.control<QLineEdit>(nombre); }

    // "name|position|mobile", a "*" after each one shown grey.
    QString contacto(FrmEnviar& f)
    {
        QStringList partes;
        for (const char* n : { "TxtNombre", "TxtCargo", "TxtTelefono" }) {
            QLineEdit* c = campo(f, n);
            partes << c->text() + (c->palette().color(QPalette::Text) == gris() ? "*" : "");
        }
        return partes.join(u'|');
    }

    static void dejaCampo(QWidget* w)
    {
        QFocusEvent salida(QEvent::FocusOut);
        QApplication::sendEvent(w, &salida);
    }

    QStringList filas(const QString& sql)
    {
        QStringList lista;
        AdoRecordset rs;
        gDB().AbrirRecordset(sql, rs);
        while (!rs.Eof()) {
            QStringList celdas;
            for (int i = 0; i < rs.FieldCount(); ++i)
                celdas << rs.Fields(i).Value().toString();
            lista << celdas.join(u'|');
            rs.MoveNext();
        }
        gDB().CierraRecordset(rs);
        return lista;
    }

    ConsultasPrograma m_consultas;
    ScopedService<ConsultasPrograma> m_consultasService { m_consultas };
};

TEST_F(FrmEnviarContactos, leaving_para_shows_the_contact_with_grey_placeholders)
{
    const struct
    {
        QString para;
        QString contacto;
    } casos[] = {
        { QStringLiteral(" ana@paz.example "), QStringLiteral("Ana Paz|Compras|4455-1122") },
        { QStringLiteral("luis@mar.example"),
            QStringLiteral("Luis Mar|Ingrese el Cargo*|4455-3344") },
        // Unknown: the name empty and ready to be typed, the rest grey.
        { QStringLiteral("nadie@x.example"),
            QStringLiteral("|Ingrese el Cargo*|Ingrese el Celular*") },
        { QStringLiteral("o'brien@x.example"),
            QStringLiteral("|Ingrese el Cargo*|Ingrese el Celular*") },
        { QString(), QStringLiteral("|Ingrese el Cargo*|Ingrese el Celular*") },
    };
    FrmEnviar f;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.para.toStdString());
        f.setTexto(QStringLiteral("Para"), c.para);

        dejaCampo(f.txtfields(1));

        EXPECT_EQ(contacto(f), c.contacto);
    }
}

// An unknown address left by the keyboard goes on to its name; a click on another field keeps
// the focus there, so what is typed next lands where the operator put it.
TEST_F(FrmEnviarContactos, an_unknown_recipient_moves_on_to_the_name_only_when_left_by_keyboard)
{
    const struct
    {
        const char* caso;
        std::function<void(QWidget* para, QWidget* asunto)> deja;
        const char* foco;
    } casos[] = {
        { "Tab", [](QWidget* para, QWidget*) { QTest::keyClick(para, Qt::Key_Tab); }, "TxtNombre" },
        { "Return", [](QWidget* para, QWidget*) { QTest::keyClick(para, Qt::Key_Return); },
            "TxtNombre" },
        { "Shift+Tab",
            [](QWidget* para, QWidget*) {
                QTest::keyClick(para, Qt::Key_Backtab, Qt::ShiftModifier);
            },
            "TxtNombre" },
        { "click on Asunto",
            [](QWidget*, QWidget* asunto) { QTest::mouseClick(asunto, Qt::LeftButton); },
            "txtfields_2" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        FrmEnviar f;
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        QWidget* para = f.txtfields(1);
        para->setFocus();
        QTest::keyClicks(para, QStringLiteral("nuevo@x.example"));

        c.deja(para, f.txtfields(2));

        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.foco);
        EXPECT_EQ(contacto(f), QStringLiteral("|Ingrese el Cargo*|Ingrese el Celular*"));
    }
}

TEST_F(FrmEnviarContactos, placeholders_clear_on_entry_come_back_when_left_empty_and_up_goes_back)
{
    FrmEnviar f;
    f.show();
    QLineEdit* cargo = campo(f, "TxtCargo");
    QLineEdit* celular = campo(f, "TxtTelefono");

    QFocusEvent entrada(QEvent::FocusIn);
    QApplication::sendEvent(cargo, &entrada);
    const QString alEntrar = contacto(f);
    dejaCampo(cargo);
    const QString alSalirVacio = contacto(f);
    QApplication::sendEvent(celular, &entrada);
    celular->setText(QStringLiteral("  "));
    dejaCampo(celular);
    celular->setFocus();
    QTest::keyClick(celular, Qt::Key_Up);

    EXPECT_EQ(alEntrar, QStringLiteral("||Ingrese el Celular*"));
    EXPECT_EQ(alSalirVacio, QStringLiteral("|Ingrese el Cargo*|Ingrese el Celular*"));
    // Blanks are a value: they stay.
    EXPECT_EQ(celular->text(), QStringLiteral("  "));
    EXPECT_EQ(QApplication::focusWidget(), cargo);
}

TEST_F(FrmEnviarContactos, test_mail_parameter_replaces_subject_and_message)
{
    m_inicio.gParametroAdicional = QStringLiteral("email_prueba");
    FrmEnviar f;
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));

    f.VerificarContacto();

    EXPECT_EQ(f.texto(QStringLiteral("Asunto")), QStringLiteral("MENSAJE DE PRUEBA ORBA LIS"));
    EXPECT_EQ(f.texto(QStringLiteral("Mensaje")),
        QStringLiteral("Este es un mensaje de prueba para ajustar el envio de e-mail, si lo "
                       "recibe le agradecira responder. \r\nMuchas gracias\r\n\r\nADMIN\r\n"
                       "Progracion Orba Lis"));
}

TEST_F(FrmEnviarContactos, lookups_fill_para_recipients_and_the_whatsapp_number)
{
    struct Caso
    {
        const char* nombre;
        bool whatsapp;
        QStringList elegidos; // e-mail addresses checked, or the contact chosen; empty: cancel
        QString resultado; // Para, or the WhatsApp number
        QStringList destinatarios;
    };
    const Caso casos[] = {
        { "one address", false, { QStringLiteral("ana@paz.example") },
            QStringLiteral("ana@paz.example"), { QString(), QStringLiteral("ana@paz.example") } },
        { "two addresses", false,
            { QStringLiteral("ana@paz.example"), QStringLiteral("luis@mar.example") },
            QStringLiteral("Seleccion Multiple"),
            { QString(), QStringLiteral("ana@paz.example"), QStringLiteral("luis@mar.example") } },
        // The recipients of the last choice stay.
        { "cancelled", false, {}, QString(),
            { QString(), QStringLiteral("ana@paz.example"), QStringLiteral("luis@mar.example") } },
        { "mobile", true, { QStringLiteral("Ana Paz") }, QStringLiteral("11 5555 0001"), {} },
        { "blank mobile gives the telephone", true, { QStringLiteral("Luis Mar") },
            QStringLiteral("4455-3344"), {} },
        { "cancelled number", true, {}, QString(), {} },
    };
    FrmEnviar f;
    f.Cuenta = QStringLiteral("C9");
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        f.setTexto(QStringLiteral("Para"), QStringLiteral("antes@x.example"));
        m_modales.paso = [&](QDialog& d) {
            auto& dlg = dynamic_cast<Lib_FrmCons3&>(d);
            LookupGridModel& m = dlg.modelo();
            if (c.elegidos.isEmpty()) {
                dlg.CmdCancelar_Click();
                return;
            }
            const int col
                = m.IndiceColumna(QLatin1String(c.whatsapp ? "nombre_y_apellido" : "email")) - 1;
            for (int fila = 0; fila < m.rowCount(); ++fila) {
                if (!c.elegidos.contains(m.texto(fila, col)))
                    continue;
                if (c.whatsapp)
                    dlg.seleccionarFila(fila);
                else
                    m.setChecked(fila, true);
            }
            dlg.CmdAceptar_Click();
        };

        QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
        f.control<QRadioButton>(c.whatsapp ? "optMetodoEnvio_1" : "optMetodoEnvio_0")
            ->setChecked(true);
        QApplication::sendEvent(&f, &f5);

        if (c.whatsapp) {
            EXPECT_EQ(f.control<QLineEdit>("txtParaWhatsapp")->text(), c.resultado);
        } else {
            EXPECT_EQ(f.texto(QStringLiteral("Para")), c.resultado);
            EXPECT_EQ(eMailAux::gDestinatarios, c.destinatarios);
        }
    }
}

TEST_F(FrmEnviarContactos, recipients_are_kept_as_contacts)
{
    struct Caso
    {
        const char* nombre;
        QString para;
        QString nombreTipeado; // empty: the name field left as VerificarContacto leaves it
        QString cuenta;
        QString nombreCuenta;
        QStringList contactos; // MA_CONTACTOS rows of the address afterwards
        QStringList enlaces; // MA_CONTACTOS_CUENTAS rows of the address afterwards
        int nuevos; // rows added to MA_CONTACTOS
    };
    // The cases run in order on one database: a later one may find what an earlier one kept.
    const Caso casos[] = {
        { "new address with only the name typed", QStringLiteral("nuevo@x.example"),
            QStringLiteral("Nuevo Uno"), QString(), QString(),
            { QStringLiteral("Nuevo Uno|||nuevo@x.example") }, {}, 1 },
        { "known address, no account name: nothing", QStringLiteral("ana@paz.example"),
            QStringLiteral("Otro Nombre"), QString(), QString(),
            { QStringLiteral("Ana Paz|Compras|11 5555 0001|ana@paz.example") },
            { QStringLiteral("C9") }, 0 },
        { "known address with an account name is updated", QStringLiteral("luis@mar.example"),
            QString(), QString(), QStringLiteral("Mar SA"),
            { QStringLiteral("Luis Mar||4455-3344|luis@mar.example") }, { QStringLiteral("C9") },
            0 },
        // The name loses its apostrophe; the address keeps it, so it is found the next time.
        { "address with an apostrophe, linked", QStringLiteral("o'brien@x.example"),
            QStringLiteral("Pat O'Brien"), QStringLiteral(" C7 "), QString(),
            { QStringLiteral("Pat OBrien|||o'brien@x.example") }, { QStringLiteral("C7") }, 1 },
        { "the same address again", QStringLiteral("o'brien@x.example"),
            QStringLiteral("Pat O'Brien"), QStringLiteral("C7"), QString(),
            { QStringLiteral("Pat OBrien|||o'brien@x.example") }, { QStringLiteral("C7") }, 0 },
        { "the same address without an account", QStringLiteral("o'brien@x.example"), QString(),
            QString(), QString(), { QStringLiteral("Pat OBrien|||o'brien@x.example") },
            { QStringLiteral("C7") }, 0 },
        // The contact stored without an address is left as it was.
        { "empty recipient", QString(), QStringLiteral("Nadie"), QString(), QString(),
            { QStringLiteral("Sin Correo|X|2|") }, {}, 0 },
        { "multiple choice", QStringLiteral("Seleccion Multiple"), QStringLiteral("Varios"),
            QString(), QString(), {}, {}, 0 },
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        FrmEnviar f;
        f.setTexto(QStringLiteral("Para"), c.para);
        f.VerificarContacto();
        if (!c.nombreTipeado.isEmpty())
            campo(f, "TxtNombre")->setText(c.nombreTipeado);
        const int antes = filas(QStringLiteral("SELECT IdContacto FROM MA_CONTACTOS")).size();

        f.GrabarContacto(QString(), c.cuenta, c.nombreCuenta);

        const QString direccion = QString(c.para).replace(u'\'', QStringLiteral("''"));
        const QString donde = QStringLiteral(" WHERE m.email = '") + direccion + u'\'';
        EXPECT_EQ(filas(QStringLiteral("SELECT Nombre_y_Apellido, Cargo, CELULAR, email FROM "
                                       "MA_CONTACTOS m")
                      + donde),
            c.contactos);
        EXPECT_EQ(filas(QStringLiteral("SELECT r.CUENTA FROM MA_CONTACTOS_CUENTAS r JOIN "
                                       "MA_CONTACTOS m ON m.IdContacto = r.IDCONTACTO")
                      + donde),
            c.enlaces);
        EXPECT_EQ(
            filas(QStringLiteral("SELECT IdContacto FROM MA_CONTACTOS")).size(), antes + c.nuevos);
    }
    EXPECT_TRUE(messages().shown().isEmpty());
}

// A mail keeps its recipients as contacts only once they passed the address check, one row per
// address of the list.
TEST_F(FrmEnviarContactos, only_checked_recipients_are_kept_one_row_each)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    config(QStringLiteral("email_puerto"), QString::number(peer.puerto()));
    const struct
    {
        QString para;
        int mensajes;
        QStringList contactos; // MA_CONTACTOS rows of these addresses afterwards
    } casos[] = {
        { QStringLiteral("no es direccion"), 0, {} },
        { QStringLiteral("a@example.com;b@example.com"), 1,
            { QStringLiteral("a@example.com"), QStringLiteral("b@example.com") } },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.para.toStdString());
        messages().clear();
        FrmEnviar f;
        f.setTexto(QStringLiteral("Para"), c.para);
        f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
        if (c.mensajes == 0)
            messages().answer(Msg::Ok);
        const qsizetype antes = peer.mensajes().size();

        f.cmdSend_Click();

        EXPECT_EQ(peer.mensajes().size() - antes, c.mensajes);
        EXPECT_EQ(filas(QStringLiteral("SELECT email FROM MA_CONTACTOS WHERE email IN ('no es "
                                       "direccion', 'a@example.com', 'b@example.com', "
                                       "'a@example.com;b@example.com') ORDER BY email")),
            c.contactos);
    }
}

TEST_F(FrmEnviarContactos, multiple_choice_mails_each_chosen_address)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    config(QStringLiteral("email_puerto"), QString::number(peer.puerto()));
    FrmEnviar f;
    f.setTexto(QStringLiteral("Para"), QStringLiteral("Seleccion Multiple"));
    f.setTexto(QStringLiteral("Asunto"), QStringLiteral("Lista"));
    eMailAux::gDestinatarios
        = { QString(), QStringLiteral("ana@paz.example"), QStringLiteral("luis@mar.example") };

    f.cmdSend_Click();

    ASSERT_EQ(peer.mensajes().size(), 1);
    const QStringList sobre = SmtpPeer::sobre(peer.mensajes()[0]);
    EXPECT_TRUE(sobre.contains(QStringLiteral("RCPT TO:ana@paz.example")));
    EXPECT_TRUE(sobre.contains(QStringLiteral("RCPT TO:luis@mar.example")));
    EXPECT_EQ(eMailAux::gEmailPara, QStringLiteral("ana@paz.example;luis@mar.example"));
    ASSERT_EQ(registro().size(), 1);
    EXPECT_TRUE(registro()[0].endsWith(QStringLiteral("|ana@paz.example;luis@mar.example")));
    EXPECT_EQ(filas(QStringLiteral("SELECT IdContacto FROM MA_CONTACTOS WHERE email LIKE "
                                   "'%Seleccion%'")),
        QStringList());
}

} // namespace
