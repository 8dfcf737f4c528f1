#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "sending/CuentaCorreo.h"

namespace {

class CuentaCorreoDemo : public CorreoTest
{
};

// Which account and server a send uses: the user's row, the settings, the built-in account.
TEST_F(CuentaCorreoDemo, account_host_and_port_follow_user_settings_and_built_in_account)
{
    struct Caso
    {
        const char* nombre;
        QString usuario; // logged user
        QString tipo; // the user's eMail_Server (ADMIN's row)
        QString puertoCfg; // "email_puerto" at send time
        bool sinEmailCfg; // no "email_usuario" setting
        QString cuenta;
        QString host;
        int puerto;
    };
    const QString demo = QStringLiteral("ventas@elprogreso.example");
    const Caso casos[] = {
        { "user row Otro, setting 25", QStringLiteral("ADMIN"), QStringLiteral("Otro"),
            QStringLiteral("25"), false, demo, QStringLiteral("127.0.0.1"), 25 },
        { "Gmail without port", QStringLiteral("ADMIN"), QStringLiteral("gmail"), QString(), false,
            demo, QStringLiteral("smtp.gmail.com"), 465 },
        { "Gmail with 587", QStringLiteral("ADMIN"), QStringLiteral("Gmail"), QStringLiteral("587"),
            false, demo, QStringLiteral("smtp.gmail.com"), 587 },
        // A zero setting keeps the port chosen at load.
        { "Hotmail with 0", QStringLiteral("ADMIN"), QStringLiteral(" Hotmail"),
            QStringLiteral("0"), false, demo, QStringLiteral("smtp-mail.outlook.com"), 25 },
        { "no user row: company settings", QStringLiteral("NADIE"), QString(),
            QStringLiteral("2525"), false, demo, QStringLiteral("localhost"), 2525 },
        // The built-in account always goes out on its own port.
        { "built-in account", QStringLiteral("NADIE"), QString(), QStringLiteral("587"), true,
            QStringLiteral("envios@sitio.example"), QStringLiteral("smtp.sitio.example"), 465 },
    };
    ConfiguracionEnvio envio;
    envio.cuentaDireccion = QStringLiteral("envios@sitio.example");
    envio.cuentaServidor = QStringLiteral("smtp.sitio.example");
    envio.cuentaClave = QStringLiteral("x");
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        exec(QStringLiteral("UPDATE TA_USUARIOS SET eMail_Server = '") + c.tipo + u'\'');
        config(QStringLiteral("email_puerto"), c.puertoCfg);
        if (c.sinEmailCfg)
            exec(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE = 'EMAIL_USUARIO'"));
        CuentaCorreo cuenta;

        cuenta.CargarCuentaCorreo(c.usuario, envio);
        const CuentaCorreo::Servidor s = cuenta.servidor(c.puertoCfg, envio);

        EXPECT_EQ(cuenta.CuentaUsuario, c.cuenta);
        EXPECT_EQ(s.host, c.host);
        EXPECT_EQ(s.puerto, c.puerto);
    }
}

TEST_F(CuentaCorreoDemo, no_account_anywhere_is_empty)
{
    exec(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE = 'EMAIL_USUARIO'"));
    CuentaCorreo cuenta;

    cuenta.CargarCuentaCorreo(QStringLiteral("NADIE"), ConfiguracionEnvio());

    EXPECT_TRUE(cuenta.vacia());
}

} // namespace
