#include "startup/LBM_Common.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Environment.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"
#include "support/ToolProcess.h"

using testsupport::readFile;

namespace {

using LBM_Common::GrabarConexionBases;
using LBM_Common::LeeRegistrosBases;
using LBM_Common::RegistroConexion;

const QString Fixtures = QStringLiteral(STARTUP_FIXTURES);

class LBM_CommonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
        LBM_Common::gArchivoBases.clear();
        LBM_Common::gPuertoBases.clear();
    }
    void TearDown() override
    {
        LBM_Common::gArchivoBases.clear();
        LBM_Common::gPuertoBases.clear();
    }

    QString bases() const { return dir.filePath(QStringLiteral("BASES.TXT")); }
    static QString enDatos() { return dataFolder() + QStringLiteral("/BASES.TXT"); }
    void escribe(const QByteArray& contenido)
    {
        QFile file(bases());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contenido);
    }
    QByteArray clave(const char* texto) const
    {
        return gUtilidades().Encripta(QString::fromUtf8(texto)).toLatin1();
    }
    void grabaVentas()
    {
        GrabarConexionBases(QStringLiteral("VENTAS / SRV1"), QStringLiteral("Ventas"),
            QStringLiteral("Ventas"), QStringLiteral("Ventas"), QStringLiteral("srv1:1450"),
            QString(), false);
    }

    QTemporaryDir dir;
};

TEST_F(LBM_CommonTest, first_record_creates_the_file_in_the_data_folder)
{
    grabaVentas();

    EXPECT_EQ(LBM_Common::gArchivoBases, enDatos());
    EXPECT_EQ(
        readFile(enDatos()), "VENTAS / SRV1,Ventas,Ventas," + clave("Ventas") + ",srv1:1450\r\n");
    EXPECT_FALSE(QFile::exists(bases()));
}

// A data folder this account may not write, or cannot create, is named with the reason.
// Root writes anywhere, so as root the test runs as another account.
TEST_F(LBM_CommonTest, a_data_folder_the_account_cannot_write_is_named)
{
    if (::geteuid() == 0) {
        testsupport::expectPassAsAnotherAccount("root writes any data folder");
        return;
    }
    QTemporaryDir cerrada;
    ASSERT_TRUE(QDir(cerrada.path()).mkpath(QStringLiteral("Rp_Tarifolio")));
    ASSERT_TRUE(QFile::setPermissions(cerrada.path(), QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(QFile::setPermissions(
        cerrada.filePath(QStringLiteral("Rp_Tarifolio")), QFile::ReadOwner | QFile::ExeOwner));
    const struct
    {
        QString xdg;
        const char* why;
    } cases[] = {
        { cerrada.filePath(QStringLiteral("datos")), "no existe y este usuario no puede crearla" },
        { cerrada.path(), "este usuario no puede escribir en ella" },
    };

    for (const auto& c : cases) {
        testsupport::environment().setVariable(QStringLiteral("XDG_DATA_HOME"), c.xdg);
        LBM_Common::gArchivoBases.clear();
        try {
            grabaVentas();
            ADD_FAILURE() << c.why;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.description(),
                QStringLiteral("No se puede escribir en la carpeta de datos %1/Rp_Tarifolio: %2.")
                    .arg(c.xdg, QLatin1String(c.why)));
        }
    }
    QFile::setPermissions(cerrada.filePath(QStringLiteral("Rp_Tarifolio")),
        QFile::WriteOwner | QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(cerrada.path(), QFile::WriteOwner | QFile::ReadOwner | QFile::ExeOwner);
}

// The program folder of an installation cannot be written: the registry grows in the data folder,
// keeping the records the program folder's file has.
TEST_F(LBM_CommonTest, a_record_added_keeps_the_program_folders_records)
{
    escribe("A / B,A,A,X,B\r\n");

    grabaVentas();

    EXPECT_EQ(readFile(enDatos()),
        "A / B,A,A,X,B\r\nVENTAS / SRV1,Ventas,Ventas," + clave("Ventas") + ",srv1:1450\r\n");
    EXPECT_EQ(readFile(bases()), "A / B,A,A,X,B\r\n");
}

TEST_F(LBM_CommonTest, appends_after_the_line_end_or_closes_a_last_line_with_a_lone_cr)
{
    const struct
    {
        QByteArray antes;
        QByteArray separador;
    } casos[] = {
        { QByteArray(), QByteArray() }, // empty file: no leading line break
        { "A / B,A,A,X,B\r\n", QByteArray() },
        { "A / B,A,A,X,B", "\r" }, // last line left open: lone CR
        { "A / B,A,A,X,B\r\n   ", QByteArray() }, // a last line of blanks counts as empty
    };

    for (const auto& caso : casos) {
        escribe(caso.antes);
        LBM_Common::gArchivoBases = bases();

        grabaVentas();

        EXPECT_EQ(readFile(bases()),
            caso.antes + caso.separador + "VENTAS / SRV1,Ventas,Ventas," + clave("Ventas")
                + ",srv1:1450\r\n")
            << caso.antes.constData();
    }
}

TEST_F(LBM_CommonTest, lone_cr_record_reads_back_as_two_records)
{
    escribe("A / B,A,A,X,B");
    LBM_Common::gArchivoBases = bases();
    grabaVentas();

    QList<RegistroConexion> registros;
    LeeRegistrosBases(bases(), registros);

    ASSERT_EQ(registros.size(), 2);
    EXPECT_EQ(registros[0].servidor, QStringLiteral("B"));
    EXPECT_EQ(registros[1].nombre, QStringLiteral("VENTAS / SRV1"));
    EXPECT_EQ(gUtilidades().Desencripta(registros[1].password), QStringLiteral("Ventas"));
}

TEST_F(LBM_CommonTest, fields_trimmed_oracle_mark_instance_and_port)
{
    LBM_Common::gPuertoBases = QStringLiteral("1521");
    GrabarConexionBases(QStringLiteral("  AÑO / ORA1 "), QStringLiteral(" Año"),
        QStringLiteral("Año "), QStringLiteral("Año"), QStringLiteral("ORA1  "),
        QStringLiteral("INST"), true);
    GrabarConexionBases(QStringLiteral("X / S"), QStringLiteral("X"), QStringLiteral("X"),
        QStringLiteral("X"), QStringLiteral("S"), QString(), false);

    // Windows-1252 bytes, "#" before the server, the suffix after the trimmed server.
    EXPECT_EQ(readFile(enDatos()),
        "A\xD1O / ORA1,A\xF1o,A\xF1o," + clave("Año") + ",#ORA1/INST:1521\r\n" + "X / S,X,X,"
            + clave("X") + ",S:1521\r\n");
}

TEST_F(LBM_CommonTest, refuses_commas_and_line_breaks_before_writing)
{
    escribe("A / B,A,A,X,B\r\n");
    LBM_Common::gArchivoBases = bases();
    const struct
    {
        const char* base;
        const char* servidor;
    } casos[] = { { "Ven,tas", "SRV" }, { "Ventas", "SRV,1" }, { "Ven\ntas", "SRV" },
        { "Ventas", "S\rRV" } };

    for (const auto& caso : casos) {
        try {
            GrabarConexionBases(QStringLiteral("N"), QString::fromUtf8(caso.base),
                QString::fromUtf8(caso.base), QString::fromUtf8(caso.base),
                QString::fromUtf8(caso.servidor), QString(), false);
            ADD_FAILURE() << "accepted " << caso.base << " " << caso.servidor;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), 5);
            EXPECT_TRUE(error.description().startsWith(
                QStringLiteral("No se puede registrar la conexion: el dato \"")));
            EXPECT_TRUE(error.description().endsWith(
                QStringLiteral("\" contiene una coma o un salto de linea.")));
        }
    }
    EXPECT_EQ(readFile(bases()), QByteArray("A / B,A,A,X,B\r\n"));
}

TEST_F(LBM_CommonTest, reads_the_fixture_with_lone_cr_blank_line_and_accents)
{
    QList<RegistroConexion> registros;
    LeeRegistrosBases(Fixtures + QStringLiteral("/BASES.TXT"), registros);

    ASSERT_EQ(registros.size(), 3);
    EXPECT_EQ(registros[0].nombre, QStringLiteral("VENTAS / SRV1"));
    EXPECT_EQ(registros[0].base, QStringLiteral("Ventas"));
    EXPECT_EQ(registros[0].password, QStringLiteral("0A1B"));
    EXPECT_EQ(registros[0].servidor, QStringLiteral("srv1:1450"));
    EXPECT_EQ(registros[1].nombre, QStringLiteral("AÑO / SRV2"));
    EXPECT_EQ(registros[1].base, QStringLiteral("Año"));
    EXPECT_EQ(registros[1].servidor, QStringLiteral("#SRV2"));
    EXPECT_EQ(registros[2].nombre, QStringLiteral("COMPRAS / SRV1"));
}

TEST_F(LBM_CommonTest, a_short_line_shifts_the_records_and_the_file_ends_inside_one)
{
    // "A / B,A,A,X" lacks its server: the next line's display name takes its place.
    QList<RegistroConexion> registros;
    try {
        LeeRegistrosBases(Fixtures + QStringLiteral("/BASES_corto.TXT"), registros);
        ADD_FAILURE() << "no error at the end of the file";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 62);
        EXPECT_EQ(error.description(), QStringLiteral("La entrada pasó el final del archivo"));
    }

    ASSERT_EQ(registros.size(), 1);
    EXPECT_EQ(registros[0].servidor, QStringLiteral("C / D"));
}

TEST_F(LBM_CommonTest, missing_file_raises_file_not_found)
{
    QList<RegistroConexion> registros;
    try {
        LeeRegistrosBases(bases(), registros);
        ADD_FAILURE();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 53);
    }
}

} // namespace
