#include "services/ModEjecutar.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "services/VariablesInicio.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

class ModEjecutarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
        inicio.gUsuarioLogeado = QStringLiteral("ANA");
        inicio.gClaveUsuario = QStringLiteral("secreta");
        inicio.gCaja = QStringLiteral("2");
    }

    QString carpeta() const { return dir.path() + u'/'; }

    QTemporaryDir dir;
    VariablesInicio inicio;
    ScopedService<VariablesInicio> inicioInstalado { inicio };
};

TEST_F(ModEjecutarTest, starts_a_suite_program_with_the_session_as_one_argument)
{
    QString adicional = QStringLiteral("1");
    qint64 tarea = 0;

    ModEjecutar::MenuExes(QStringLiteral("SHELL:V_MA_CLIENTES"), adicional, tarea,
        QStringLiteral("SRV1"), QStringLiteral("VENTAS"));

    EXPECT_EQ(tarea, 4242);
    ASSERT_EQ(testsupport::launcher().started().size(), 1);
    EXPECT_EQ(testsupport::launcher().started().first(),
        u'"' + carpeta()
            + QStringLiteral("V_MA_CLIENTES\" \" ; @server=SRV1; @dbname=VENTAS; "
                             "@usuario=ANA; @Password=secreta; "
                             "@ParametroAdicional=1; orba@ ; "
                             "@UsuarioLogeado = ANA; @Caja=2;\""));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ModEjecutarTest, server_and_database_come_from_the_program_connection)
{
    DataObjects datos;
    ScopedService<DataObjects> datosInstalados(datos);
    datos.gDB.gServidor = QStringLiteral("SRV2");
    datos.gDB.gDBName = QStringLiteral("COMPRAS");
    QString adicional;
    qint64 tarea = 0;

    ModEjecutar::MenuExes(QStringLiteral("SHELL:V_TA_TABLAS"), adicional, tarea);

    ASSERT_EQ(testsupport::launcher().started().size(), 1);
    EXPECT_TRUE(testsupport::launcher().started().first().contains(
        QStringLiteral("@server=SRV2; @dbname=COMPRAS;")));
}

TEST_F(ModEjecutarTest, command_for_each_kind_of_program_text)
{
    const struct
    {
        QString programa;
        QString esperado;
    } casos[] = {
        { QStringLiteral("SHELL:V_TA_TABLAS"), carpeta() + QStringLiteral("V_TA_TABLAS") },
        { QStringLiteral("shell:x"), carpeta() + QStringLiteral("x") },
        { QStringLiteral("SHELL:/opt/suite/V_MA_CLIENTES"),
            QStringLiteral("/opt/suite/V_MA_CLIENTES") },
        // A full path without the prefix loses its first six characters, as it always did.
        { QStringLiteral("/opt/suite/prog"), QStringLiteral("uite/prog") },
        { QStringLiteral("Calculadora"), carpeta() + QStringLiteral("Calculadora") },
    };

    for (const auto& caso : casos)
        EXPECT_EQ(
            ModEjecutar::ArmaComandoPrograma(caso.programa, QString()).programa, caso.esperado)
            << caso.programa.toStdString();
}

TEST_F(ModEjecutarTest, additional_parameter_keeps_what_follows_its_first_blank)
{
    QString adicional = QStringLiteral("X Y");
    qint64 tarea = 0;

    ModEjecutar::MenuExes(QStringLiteral("SHELL:P"), adicional, tarea, QString(), QString());

    EXPECT_EQ(adicional, QStringLiteral("Y"));
    EXPECT_TRUE(testsupport::launcher().started().first().contains(
        QStringLiteral("@ParametroAdicional=Y;")));
}

TEST_F(ModEjecutarTest, a_program_that_does_not_start_gives_opcion_no_implementada)
{
    testsupport::launcher().setSucceeds(false);
    testsupport::messages().answer(Msg::Ok);
    QString adicional;
    qint64 tarea = 0;

    ModEjecutar::MenuExes(
        QStringLiteral("SHELL:V_MA_CLIENTES"), adicional, tarea, QString(), QString());

    EXPECT_EQ(tarea, 0);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const auto& caja = testsupport::messages().shown().first();
    EXPECT_EQ(caja.text,
        QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"));
    EXPECT_EQ(caja.title, QStringLiteral("Atención"));
    EXPECT_EQ(caja.style, Msg::Critical);
}

TEST_F(ModEjecutarTest, quotes_inside_the_parameter_string_survive_the_command_line)
{
    EXPECT_EQ(ModEjecutar::citaArgumento(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"\"b\""));
}

TEST_F(ModEjecutarTest, full_paths_of_files_and_folders)
{
    const struct
    {
        QString ruta;
        QString esperado;
    } casos[] = {
        { QStringLiteral("ab"), QString() },
        { QStringLiteral("datos.txt"), carpeta() + QStringLiteral("datos.txt") },
        { QStringLiteral("C:\\x\\datos.txt"), QStringLiteral("C:\\x\\datos.txt") },
        { QStringLiteral("\\\\srv\\c\\datos.txt"), QStringLiteral("\\\\srv\\c\\datos.txt") },
        { QStringLiteral("/srv/datos.txt"), QStringLiteral("/srv/datos.txt") },
        { QStringLiteral("Informes"), carpeta() + QStringLiteral("Informes/") },
        { QStringLiteral("/srv/informes"), QStringLiteral("/srv/informes/") },
        // A leading "." alone makes a folder name.
        { QStringLiteral(".config"), carpeta() + QStringLiteral(".config/") },
    };

    for (const auto& caso : casos)
        EXPECT_EQ(ModEjecutar::RutaCompletaArchivo(caso.ruta), caso.esperado)
            << caso.ruta.toStdString();
}

TEST_F(ModEjecutarTest, associated_program_gets_a_path_with_blanks_unquoted_and_minimised)
{
    ModEjecutar::AbreArchivoAsociado(QStringLiteral("/tmp/mi informe.pdf"), true);
    ModEjecutar::AbreArchivoAsociado(QStringLiteral("https://example.org/a"), false);

    ASSERT_EQ(testsupport::launcher().opened().size(), 2);
    EXPECT_EQ(testsupport::launcher().opened()[0], QStringLiteral("/tmp/mi informe.pdf"));
    EXPECT_TRUE(testsupport::launcher().openedMinimized()[0]);
    EXPECT_EQ(testsupport::launcher().opened()[1], QStringLiteral("https://example.org/a"));
    EXPECT_FALSE(testsupport::launcher().openedMinimized()[1]);
}

} // namespace
