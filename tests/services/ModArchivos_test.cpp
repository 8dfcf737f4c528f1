#include "services/ModArchivos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Utilidades.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString Fixtures = QStringLiteral(SERVICES_FIXTURES);

class ModArchivosTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
    }

    QString enCarpeta(const QString& nombre) const { return dir.filePath(nombre); }
    QString limpio(const QString& campo) const { return gUtilidades().LimpiaCadenaFija(campo); }

    QTemporaryDir dir;
};

// The fixture holds, in this order: the workstation "CAJA1|ana" without a printer, "caja1|ANA"
// with the printer "Cocina", "CAJA1|ANA" with "Barra", "OTRA|PC" with "Cocina" (its key ended by
// a NUL), then five stray bytes.
TEST_F(ModArchivosTest, finds_the_workstation_record_by_key_and_printer)
{
    const QString archivo = Fixtures + QStringLiteral("/Comanderas.cfg");
    const struct
    {
        const char* puesto;
        const char* impresora;
        const char* encontrada; // printer of the record found, nullptr for none
    } casos[] = {
        // The first record has no printer and is passed over; the key ignores letter case.
        { "CAJA1|ANA", "", "Cocina" },
        { "Caja1|Ana", "BARRA", "Barra" },
        { "CAJA1|ANA", "Postres", nullptr },
        // The key is compared without its fill, also when a NUL ends it.
        { "otra|pc", "", "Cocina" },
        { "CAJA2|ANA", "", nullptr },
    };

    for (const auto& caso : casos) {
        const auto registro = ModArchivos::BuscaComandera(
            archivo, QString::fromUtf8(caso.puesto), QString::fromUtf8(caso.impresora));
        if (!caso.encontrada) {
            EXPECT_FALSE(registro) << caso.puesto << " " << caso.impresora;
            continue;
        }
        ASSERT_TRUE(registro) << caso.puesto << " " << caso.impresora;
        EXPECT_EQ(limpio(registro->Impresora), QString::fromUtf8(caso.encontrada));
    }
}

TEST_F(ModArchivosTest, record_fields_sit_at_their_byte_offsets)
{
    const auto registro = ModArchivos::BuscaComandera(
        Fixtures + QStringLiteral("/Comanderas.cfg"), QStringLiteral("CAJA1|ANA"), QString());
    ASSERT_TRUE(registro);

    // Each field keeps its full width.
    EXPECT_EQ(registro->Puesto.size(), 254);
    EXPECT_EQ(registro->Encabezado1.size(), 150);
    EXPECT_EQ(registro->Puerto, QStringLiteral("COM3 "));
    EXPECT_EQ(registro->Campo4, QStringLiteral("xy"));
    EXPECT_EQ(registro->ImprimeEncabezado1, QStringLiteral("S"));
    // Windows-1252 text: "Ñ", "ú", the en dash (0x96) and "é".
    EXPECT_EQ(limpio(registro->Encabezado1), QStringLiteral("Parrilla Ñandú – Café"));
    EXPECT_EQ(registro->ImprimeEncabezado2, QStringLiteral("N"));
    EXPECT_EQ(limpio(registro->Encabezado2), QStringLiteral("Av. Güemes 1234"));
    EXPECT_EQ(registro->ImprimeNumero, QStringLiteral("S"));
    EXPECT_EQ(registro->ImprimeCliente, QStringLiteral("s"));
    EXPECT_EQ(registro->ImprimePie, QStringLiteral("S"));
    EXPECT_EQ(limpio(registro->Pie), QStringLiteral("¡Gracias por su visita!"));
    EXPECT_EQ(registro->Campo13, QStringLiteral("1"));
    EXPECT_EQ(limpio(registro->Campo14), QStringLiteral("catorce"));
    EXPECT_EQ(limpio(registro->Campo15), QStringLiteral("quince"));
    EXPECT_EQ(registro->DetallePrecio, QStringLiteral("S"));
    EXPECT_EQ(registro->Campo17, QStringLiteral("17"));
}

TEST_F(ModArchivosTest, whole_records_only)
{
    // 1,825 bytes: two records and five stray bytes; the second record is still found.
    const QByteArray fixture = readFile(Fixtures + QStringLiteral("/Comanderas.cfg"));
    QByteArray recortado = fixture.left(2 * RegistroComandera::Longitud) + "12345";
    ASSERT_EQ(recortado.size(), 1825);
    writeFile(enCarpeta(QStringLiteral("Comanderas.cfg")), recortado);

    EXPECT_TRUE(ModArchivos::BuscaComandera(
        enCarpeta(QStringLiteral("Comanderas.cfg")), QStringLiteral("CAJA1|ANA"), QString()));
    // A record cut short is not one: "Barra" lies in the third record.
    recortado = fixture.left(3 * RegistroComandera::Longitud - 1);
    writeFile(enCarpeta(QStringLiteral("Comanderas.cfg")), recortado);
    EXPECT_FALSE(ModArchivos::BuscaComandera(enCarpeta(QStringLiteral("Comanderas.cfg")),
        QStringLiteral("CAJA1|ANA"), QStringLiteral("Barra")));
}

TEST_F(ModArchivosTest, existe_comandera_uses_the_program_folder_and_this_machine)
{
    testsupport::environment().setComputerName(QStringLiteral("Caja1"));
    testsupport::environment().setUserName(QStringLiteral("ana"));
    // The file is found whatever the letter case of its name.
    ASSERT_TRUE(QFile::copy(
        Fixtures + QStringLiteral("/Comanderas.cfg"), enCarpeta(QStringLiteral("COMANDERAS.CFG"))));

    const auto registro = ModArchivos::ExisteComandera(QStringLiteral("barra"));

    ASSERT_TRUE(registro);
    EXPECT_EQ(limpio(registro->Puerto), QStringLiteral("COM12"));
}

TEST_F(ModArchivosTest, missing_file_is_not_created)
{
    EXPECT_FALSE(ModArchivos::ExisteComandera());
    EXPECT_FALSE(QFile::exists(enCarpeta(QStringLiteral("Comanderas.cfg"))));
}

TEST_F(ModArchivosTest, file_tests_with_quotes_folders_and_missing_files)
{
    const QString archivo = enCarpeta(QStringLiteral("datos listos.txt"));
    writeFile(archivo, "x");
    const QString citado = u'"' + archivo + u'"';

    EXPECT_TRUE(ModArchivos::PuedeAbrirArchivo(archivo));
    EXPECT_FALSE(ModArchivos::PuedeAbrirArchivo(citado));
    EXPECT_TRUE(ModArchivos::ExisteArchivo(citado));
    EXPECT_FALSE(ModArchivos::ExisteArchivo(dir.path()));
    EXPECT_FALSE(ModArchivos::ExisteArchivo(enCarpeta(QStringLiteral("no.txt"))));
    EXPECT_FALSE(ModArchivos::ExisteArchivo(QString()));
    // The suite's spelling: another letter case.
    EXPECT_TRUE(ModArchivos::ExisteArchivo(enCarpeta(QStringLiteral("DATOS LISTOS.TXT"))));
}

TEST_F(ModArchivosTest, copies_any_size_and_refuses_a_quoted_source_untouched)
{
    const struct
    {
        qsizetype largo;
    } casos[] = { { 0 }, { 40000 }, { 65536 }, { 3 * 65536 + 17 } };

    for (const auto& caso : casos) {
        QByteArray contenido(caso.largo, Qt::Uninitialized);
        for (qsizetype i = 0; i < contenido.size(); ++i)
            contenido[i] = char((i * 7 + i / 251) & 0xFF);
        const QString origen = enCarpeta(QStringLiteral("origen.bin"));
        const QString destino = enCarpeta(QStringLiteral("destino.bin"));
        writeFile(origen, contenido);
        writeFile(destino, "contenido anterior mas largo que el nuevo");

        EXPECT_TRUE(ModArchivos::CopiaArchivo(origen, destino)) << caso.largo;
        EXPECT_EQ(readFile(destino), contenido) << caso.largo;
    }

    const QString destino = enCarpeta(QStringLiteral("intacto.bin"));
    writeFile(destino, "intacto");
    EXPECT_FALSE(
        ModArchivos::CopiaArchivo(u'"' + enCarpeta(QStringLiteral("origen.bin")) + u'"', destino));
    EXPECT_EQ(readFile(destino), QByteArray("intacto"));
    EXPECT_FALSE(ModArchivos::CopiaArchivo(enCarpeta(QStringLiteral("falta.bin")), destino));
    EXPECT_EQ(readFile(destino), QByteArray("intacto"));
}

} // namespace
