#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Environment.h"
#include "platform/LectorIni.h"
#include "platform/Windows1252.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

using testsupport::readFile;

namespace {

const QString Sample = QStringLiteral(RP_TEST_DATA "/ZR417px.INI");

} // namespace

TEST(IniFile, reads_keys_ignoring_case_with_sections_holding_a_bar)
{
    struct Row
    {
        const char* section;
        const char* key;
        QString expected;
    };
    const Row rows[] = {
        { "PUESTO01|OPERADOR", "FlatToolbars", "0" },
        // The first of two sections that differ only in case wins.
        { "puesto01|operador", "flattoolbars", "0" },
        // Blanks around the value are not part of it.
        { "PUESTO01|OPERADOR", "STYLES", "2" },
        { "PUESTO01|OPERADORBaseDeDatos", "dbname", "DEMO" },
        // Quotes keep the blanks inside and are dropped.
        { "PUESTO01|OPERADORBaseDeDatos", "Usuario", "  con blancos  " },
        // Present and empty: empty, not the default.
        { "PUESTO01|OPERADORBaseDeDatos", "Vacia", "" },
        // Missing key and missing section: the default.
        { "PUESTO01|OPERADORBaseDeDatos", "UserPassWord", "defecto" },
        { "OTRO|PUESTO", "FlatToolbars", "defecto" },
        // The file is in the single-byte code page.
        { "CAÑADA", "DESCRIPCIÓN", "Cañada de Gómez" },
    };
    IniFile ini;
    ASSERT_TRUE(ini.load(Sample));

    for (const Row& row : rows) {
        EXPECT_EQ(ini.value(QString::fromUtf8(row.section), QString::fromUtf8(row.key),
                      QStringLiteral("defecto")),
            row.expected)
            << row.section << " / " << row.key;
    }
}

TEST(IniFile, writing_keeps_every_other_line_and_adds_keys_and_sections)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zr417px.ini"));
    QFile::copy(Sample, path);
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    IniFile ini;
    ini.load(path);

    ini.setValue(
        QStringLiteral("puesto01|operador"), QStringLiteral("FLATTOOLBARS"), QStringLiteral("1"));
    // A line break in a value must not start a section of its own.
    ini.setValue(QStringLiteral("PUESTO01|OPERADOR"), QStringLiteral("Nueva"),
        QStringLiteral("x\r\n[Intrusa]\nY=1"));
    ini.setValue(QStringLiteral("NUEVA|SECCION"), QStringLiteral("Clave"), QStringLiteral("ñ"));
    ASSERT_TRUE(ini.save(path));

    const QByteArray expected = QByteArray("; Puestos de trabajo\r\n"
                                           "[PUESTO01|OPERADOR]\r\n"
                                           "FlatToolbars=1\r\n"
                                           "Styles = 2 \r\n"
                                           "Nueva=x [Intrusa] Y=1\r\n"
                                           "\r\n"
                                           "[PUESTO01|OPERADORBaseDeDatos]\r\n"
                                           "Servidor=SQLITE\r\n"
                                           "DbName=DEMO\r\n"
                                           "Usuario=\"  con blancos  \"\r\n"
                                           "Vacia=\r\n"
                                           "\r\n"
                                           "[puesto01|operador]\r\n"
                                           "FlatToolbars=9\r\n"
                                           "[Ca\xf1"
                                           "ada]\r\n"
                                           "Descripci\xf3n=Ca\xf1"
                                           "ada de G\xf3mez\r\n"
                                           "[NUEVA|SECCION]\r\n"
                                           "Clave=\xf1\r\n");
    EXPECT_EQ(readFile(path), expected);
}

TEST(LectorIni, bare_names_are_found_in_the_program_folder_ignoring_case)
{
    QTemporaryDir dir;
    QFile::copy(Sample, dir.filePath(QStringLiteral("zr417PX.ini")));
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
    QString value;

    gLectorIni().LeeIni(QStringLiteral("ZR417px.INI"), QStringLiteral("PUESTO01|OPERADOR"),
        QStringLiteral("FlatToolbars"), QStringLiteral("1"), value);

    EXPECT_EQ(value, QStringLiteral("0"));
    EXPECT_EQ(gLectorIni().LeeIni(QStringLiteral("NOEXISTE.INI"), QStringLiteral("A"),
                  QStringLiteral("B"), QStringLiteral("1")),
        QStringLiteral("1"));
}

TEST(LectorIni, writing_creates_the_file_in_the_data_folder_when_missing)
{
    QTemporaryDir dir;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());

    ASSERT_TRUE(gLectorIni().EscribeIni(QStringLiteral("ZR417px.INI"), QStringLiteral("A|B"),
        QStringLiteral("Servidor"), QStringLiteral("SQLITE")));

    EXPECT_EQ(readFile(dataFolder() + QStringLiteral("/ZR417px.INI")),
        QByteArray("[A|B]\r\nServidor=SQLITE\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ZR417px.INI"))));
}

// An installed program folder is read-only: a key written goes to the data folder's copy, and the
// keys the suite keeps in the program folder's file are still read.
TEST(LectorIni, a_key_written_keeps_the_program_folders_keys)
{
    QTemporaryDir dir;
    QFile::copy(Sample, dir.filePath(QStringLiteral("zr417PX.ini")));
    const QByteArray original = readFile(dir.filePath(QStringLiteral("zr417PX.ini")));
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());

    ASSERT_TRUE(gLectorIni().EscribeIni(QStringLiteral("ZR417px.INI"), QStringLiteral("A|B"),
        QStringLiteral("Servidor"), QStringLiteral("SQLITE")));

    EXPECT_EQ(gLectorIni().LeeIni(QStringLiteral("ZR417px.INI"), QStringLiteral("A|B"),
                  QStringLiteral("Servidor"), QString()),
        QStringLiteral("SQLITE"));
    EXPECT_EQ(gLectorIni().LeeIni(QStringLiteral("ZR417px.INI"),
                  QStringLiteral("PUESTO01|OPERADOR"), QStringLiteral("FlatToolbars"), QString()),
        QStringLiteral("0"));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("zr417PX.ini"))), original);
}

TEST(Windows1252, every_byte_survives_a_round_trip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));

    const QString text = Windows1252::decode(all);

    EXPECT_EQ(Windows1252::encode(text), all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC)); // euro sign
    EXPECT_EQ(text.at(0xF3), QChar(u'ó'));
    EXPECT_EQ(Windows1252::encode(QStringLiteral("€ñ…\u4e2d")), QByteArray("\x80\xf1\x85?"));
    EXPECT_EQ(Windows1252::encodeFixed(QStringLiteral("Peña"), 6),
        QByteArray("Pe\xf1"
                   "a  "));
    EXPECT_EQ(Windows1252::encodeFixed(QStringLiteral("PUESTO|USUARIO"), 6), QByteArray("PUESTO"));
}
