#include <QFile>

#include <gtest/gtest.h>

#include "sending/CorreoTest.h"
#include "services/ManejoErrores.h"
#include "support/TestFiles.h"

namespace {

class ConfiguracionEnvioArchivo : public CorreoTest
{
};

TEST_F(ConfiguracionEnvioArchivo, is_written_for_its_owner_only_with_the_password_scrambled)
{
    ConfiguracionEnvio c;
    c.cuentaDireccion = QStringLiteral("envios@sitio.example");
    c.cuentaClave = QStringLiteral("Clave#1");

    ASSERT_TRUE(c.guarda());

    const QString ruta = ConfiguracionEnvio::rutaPorDefecto();
    EXPECT_EQ(QFile(ruta).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
        QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(testsupport::readFile(ruta).contains("Clave#1"));
    EXPECT_EQ(ConfiguracionEnvio::lee().cuentaClave, QStringLiteral("Clave#1"));
}

TEST_F(ConfiguracionEnvioArchivo, a_copy_others_can_read_is_used_and_logged_once)
{
    ConfiguracionEnvio c;
    c.cuentaDireccion = QStringLiteral("envios@sitio.example");
    ASSERT_TRUE(c.guarda());
    QFile(ConfiguracionEnvio::rutaPorDefecto())
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    ConfiguracionEnvio::lee();
    const ConfiguracionEnvio leida = ConfiguracionEnvio::lee();

    EXPECT_EQ(leida.cuentaDireccion, QStringLiteral("envios@sitio.example"));
    EXPECT_EQ(
        testsupport::readFile(archivoErroresPrograma()).count("puede ser leido por otros"), 1);
}

// A site's file written by hand seldom names every key: a missing check means the check.
TEST_F(ConfiguracionEnvioArchivo, certificates_are_checked_when_the_file_does_not_say)
{
    testsupport::writeFile(ConfiguracionEnvio::rutaPorDefecto(),
        "[Correo]\r\nCuentaDireccion=envios@sitio.example\r\n[TLS]\r\nPermitirSinTLS=NO\r\n");

    const ConfiguracionEnvio leida = ConfiguracionEnvio::lee();

    EXPECT_EQ(leida.cuentaDireccion, QStringLiteral("envios@sitio.example"));
    EXPECT_TRUE(leida.seguridad().verificarCertificados);
    EXPECT_TRUE(leida.seguridadHttp().verificarCertificados);
}

} // namespace
