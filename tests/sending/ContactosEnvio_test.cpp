#include <gtest/gtest.h>

#include "platform/AdoRecordset.h"
#include "sending/ContactosEnvio.h"
#include "sending/CorreoTest.h"

namespace {

class ContactosEnvioTest : public CorreoTest
{
protected:
    void SetUp() override
    {
        CorreoTest::SetUp();
        exec(QStringLiteral("INSERT INTO MA_CONTACTOS (IdContacto, Nombre_y_Apellido, Cargo, "
                            "Telefono, CELULAR, email) VALUES "
                            "(9001, 'Ana Paz', 'Compras', '4455-1122', '', 'ana@paz.example'), "
                            "(9003, 'Sin Correo', 'X', '1', '2', '')"));
    }

    QString fila(const QString& email)
    {
        AdoRecordset rs;
        gDB().AbrirRecordset(QStringLiteral("SELECT m.Nombre_y_Apellido, m.Cargo, m.CELULAR, "
                                            "r.CUENTA FROM MA_CONTACTOS m LEFT JOIN "
                                            "MA_CONTACTOS_CUENTAS r ON r.IDCONTACTO = "
                                            "m.IdContacto WHERE m.email = '")
                + QString(email).replace(u'\'', QStringLiteral("''")) + u'\'',
            rs);
        QStringList filas;
        while (!rs.Eof()) {
            QStringList celdas;
            for (int i = 0; i < rs.FieldCount(); ++i)
                celdas << rs.Fields(i).Value().toString();
            filas << celdas.join(u'|');
            rs.MoveNext();
        }
        gDB().CierraRecordset(rs);
        return filas.join(u';');
    }
};

// Looked up, found again by id and kept without any window: the address is the key, an empty
// one finds nothing.
TEST_F(ContactosEnvioTest, finds_and_keeps_contacts_by_address)
{
    const std::optional<ContactosEnvio::Datos> ana
        = ContactosEnvio::busca(QStringLiteral("ana@paz.example"));
    ASSERT_TRUE(ana.has_value());
    EXPECT_EQ(ana->nombre + u'|' + ana->cargo + u'|' + ana->celular,
        QStringLiteral("Ana Paz|Compras|4455-1122"));
    EXPECT_FALSE(ContactosEnvio::busca(QStringLiteral("o'brien@x.example")).has_value());
    EXPECT_EQ(ContactosEnvio::idContacto(QString(), QString()), 0);
    EXPECT_EQ(ContactosEnvio::idContacto(QString(), QStringLiteral("ana@paz.example")), 9001);
    // A known user gives an address, empty or not; an unknown one none.
    EXPECT_TRUE(ContactosEnvio::direccionUsuario(QStringLiteral("ADMIN")).has_value());
    EXPECT_FALSE(ContactosEnvio::direccionUsuario(QStringLiteral("NADIE")).has_value());

    Steps pasos = Steps::silent();
    const struct
    {
        const char* nombre;
        QString para;
        QString email;
        QString cuenta;
        ContactosEnvio::Datos datos;
        QString despues; // the row of the address: name|position|mobile|account
    } casos[] = {
        { "new, linked", QStringLiteral("o'brien@x.example"), QString(), QStringLiteral("C7"),
            { QStringLiteral("Pat"), QString(), QStringLiteral("11") },
            QStringLiteral("Pat||11|C7") },
        { "known, no account name: unchanged", QStringLiteral("x"),
            QStringLiteral(" ana@paz.example "), QString(),
            { QStringLiteral("Otro"), QString(), QString() }, QStringLiteral("Ana Paz|Compras||") },
        { "several recipients", ContactosEnvio::SeleccionMultiple, QStringLiteral("b@x.example"),
            QString(), { QStringLiteral("B"), QString(), QString() }, QString() },
        { "not an address", QStringLiteral("a@x.example;b@x.example"), QString(), QString(),
            { QStringLiteral("AB"), QString(), QString() }, QString() },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        ContactosEnvio::graba(pasos, c.para, c.email, c.cuenta, QString(), c.datos);
        EXPECT_EQ(fila(c.email.isEmpty() ? c.para : c.email.trimmed()), c.despues);
    }
    EXPECT_FALSE(pasos.lastError().has_value());
}

} // namespace
