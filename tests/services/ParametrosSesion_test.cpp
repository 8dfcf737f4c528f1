#include "services/ParametrosSesion.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

using ParametrosSesion::LeeParametros;
using ParametrosSesion::ValorParametro;

TEST(ParametrosSesion, value_of_one_key)
{
    const struct
    {
        const char* cadena;
        const char* clave;
        std::optional<QString> valor;
    } casos[] = {
        { "@server=SRV1;@dbname=Ventas;", "@DbName", QStringLiteral("Ventas") },
        { "@SERVER=SRV1;", "@Server", QStringLiteral("SRV1") },
        // The writers put blanks around "=".
        { " ; @UsuarioLogeado = ANA; @Caja=3;", "@UsuarioLogeado", QStringLiteral("ANA") },
        // The last value runs to the end of the string, whatever the key's length.
        { "@server=S;@Caja=12", "@Caja", QStringLiteral("12") },
        { "@usuario=x;@UsuarioLogeado=ALEJANDRA_PEREZ", "@UsuarioLogeado",
            QStringLiteral("ALEJANDRA_PEREZ") },
        // Every "=" goes, also inside the value.
        { "@Password=a=b==c;@dbname=x", "@password", QStringLiteral("abc") },
        // "@Usuario" is not found inside "@UsuarioLogeado".
        { "@UsuarioLogeado=ANA;", "@Usuario", std::nullopt },
        { "@UsuarioLogeado=ANA;@usuario=PEDRO;", "@Usuario", QStringLiteral("PEDRO") },
        // A key without "=" is not a key.
        { "@Menu;@dbname=x", "@Menu", std::nullopt },
        { "@Caja=;@dbname=x", "@Caja", QString() },
        { "", "@Caja", std::nullopt },
        // Only the first occurrence counts.
        { "@Caja=1;@Caja=2;", "@Caja", QStringLiteral("1") },
        // "orba@" is no key the program looks for and does not disturb the others.
        { "@ParametroAdicional=; orba@ ; @Caja=4;", "@ParametroAdicional", QString() },
    };

    for (const auto& caso : casos) {
        EXPECT_EQ(ValorParametro(QString::fromUtf8(caso.cadena), QString::fromUtf8(caso.clave)),
            caso.valor)
            << caso.cadena << " / " << caso.clave;
    }
}

TEST(ParametrosSesion, password_equal_to_the_database_means_stored_password)
{
    const auto p = LeeParametros(
        QStringLiteral("@server=SRV1;@dbname=Ventas;@usuario=ANA;@Password=VENTAS"));

    EXPECT_EQ(p.servidor, QStringLiteral("SRV1"));
    EXPECT_EQ(p.dbName, QStringLiteral("Ventas"));
    EXPECT_EQ(p.usuario, QStringLiteral("ANA"));
    EXPECT_EQ(p.claveUsuario, QStringLiteral("* *"));
    EXPECT_EQ(p.usuarioLogeado, QStringLiteral("ANA"));
    EXPECT_EQ(p.caja, QStringLiteral("1"));
    EXPECT_EQ(p.parametroAdicional, QString());
}

TEST(ParametrosSesion, post_processing_table)
{
    const struct
    {
        const char* cadena;
        const char* usuario;
        const char* usuarioLogeado;
        std::optional<QString> clave;
        const char* caja;
    } casos[] = {
        // The string a sibling program passes.
        { " ; @server=SRV; @dbname=DB; @usuario=PEDRO; @Password=secreto; "
          "@ParametroAdicional=1; orba@ ; @UsuarioLogeado = PEDRO; @Caja=3;",
            "PEDRO", "PEDRO", QStringLiteral("secreto"), "3" },
        // The desktop shortcut: no password, empty logged user and till.
        { " ; @server=SRV; @dbname=DB; @usuario=ANA; @Password=; @ParametroAdicional=; orba@ ; "
          "@UsuarioLogeado = ; @Caja=;",
            "ANA", "ANA", QString(), "" },
        // Only the longer key: the start-up user stays empty, the logged user is found.
        { "@server=S;@UsuarioLogeado=ANA;", "", "ANA", std::nullopt, "1" },
        { "@UsuarioLogeado=LUIS;@usuario=ANA", "ANA", "LUIS", std::nullopt, "1" },
        { "", "", "", std::nullopt, "1" },
        { "@dbname=ventas;@Password=VeNtAs;", "", "", QStringLiteral("* *"), "1" },
    };

    for (const auto& caso : casos) {
        const auto p = LeeParametros(QString::fromUtf8(caso.cadena));
        EXPECT_EQ(p.usuario, QString::fromUtf8(caso.usuario)) << caso.cadena;
        EXPECT_EQ(p.usuarioLogeado, QString::fromUtf8(caso.usuarioLogeado)) << caso.cadena;
        EXPECT_EQ(p.claveUsuario, caso.clave) << caso.cadena;
        EXPECT_EQ(p.caja, QString::fromUtf8(caso.caja)) << caso.cadena;
    }
}

TEST(ParametrosSesion, applying_keeps_the_password_when_none_was_given)
{
    VariablesInicio variables;
    variables.gClaveUsuario = QStringLiteral("anterior");

    ParametrosSesion::AplicaParametros(
        LeeParametros(QStringLiteral("@usuario=ANA;@ParametroAdicional=C;@Menu=M2;@Caja=7;")),
        variables);

    EXPECT_EQ(variables.gUsuarioLogeado, QStringLiteral("ANA"));
    EXPECT_EQ(variables.gClaveUsuario, QStringLiteral("anterior"));
    EXPECT_EQ(variables.gParametroAdicional, QStringLiteral("C"));
    EXPECT_EQ(variables.gMenu, QStringLiteral("M2"));
    EXPECT_EQ(variables.gCaja, QStringLiteral("7"));

    ParametrosSesion::AplicaParametros(LeeParametros(QStringLiteral("@Password=x=y;")), variables);
    EXPECT_EQ(variables.gClaveUsuario, QStringLiteral("xy"));
}

TEST(ParametrosSesion, writers_string_reads_back)
{
    const QString cadena = ParametrosSesion::ArmaCadena(QStringLiteral("SRV1"),
        QStringLiteral("VENTAS"), QStringLiteral("ANA"), QStringLiteral("clave"),
        QStringLiteral("1"), QStringLiteral("ANA"), QStringLiteral("2"));

    EXPECT_EQ(cadena,
        QStringLiteral(" ; @server=SRV1; @dbname=VENTAS; @usuario=ANA; @Password=clave; "
                       "@ParametroAdicional=1; orba@ ; @UsuarioLogeado = ANA; @Caja=2;"));
    const auto p = LeeParametros(cadena);
    EXPECT_EQ(p.servidor, QStringLiteral("SRV1"));
    EXPECT_EQ(p.dbName, QStringLiteral("VENTAS"));
    EXPECT_EQ(p.claveUsuario, QStringLiteral("clave"));
    EXPECT_EQ(p.parametroAdicional, QStringLiteral("1"));
    EXPECT_EQ(p.caja, QStringLiteral("2"));
}

TEST(ParametrosSesion, ini_fallback_reads_the_stored_connection)
{
    QTemporaryDir dir;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
    testsupport::environment().setComputerName(QStringLiteral("Caja1"));
    testsupport::environment().setUserName(QStringLiteral("ana"));
    const Utilidades& util = gUtilidades();
    QFile ini(dir.filePath(QStringLiteral("zr417px.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    // Section names match ignoring case; "|" is removed from every value.
    ini.write("[caja1|anaBASEDEDATOS]\r\nServidor=SRV|1\r\nDbName=VENTAS\r\nUsuario="
        + util.Encripta(QStringLiteral("JUAN")).toLatin1()
        + "\r\nUserPassWord=" + util.Encripta(QStringLiteral("cla|ve")).toLatin1() + "\r\n");
    ini.close();

    const QString cadena = ParametrosSesion::CadenaDesdeIni();

    EXPECT_EQ(cadena,
        QStringLiteral("@server=SRV1; @dbname= VENTAS; @usuario= JUAN; "
                       "@Password= clave; @ParametroAdicional=; @Caja=1;orba@"));
    const auto p = LeeParametros(cadena);
    EXPECT_EQ(p.dbName, QStringLiteral("VENTAS"));
    EXPECT_EQ(p.claveUsuario, QStringLiteral("clave"));
    EXPECT_EQ(p.caja, QStringLiteral("1"));
}

TEST(ParametrosSesion, ini_fallback_without_a_stored_connection_uses_the_fixed_login)
{
    QTemporaryDir dir;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());

    EXPECT_EQ(ParametrosSesion::CadenaDesdeIni(),
        QStringLiteral("@server=; @dbname= ; @usuario= Corvane; @Password= rozadev; "
                       "@ParametroAdicional=; @Caja=1;orba@"));
}

} // namespace
