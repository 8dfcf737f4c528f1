#include "services/MascarasConsulta.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "support/TestFiles.h"

using testsupport::readFile;
using testsupport::writeFile;

TEST(MascarasConsulta, writes_the_eleven_defaults_byte_for_byte)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("consultas.qzk"));

    MascarasConsulta::GeneraMascarasConsultaDefault(ruta);

    const QByteArray escrito = readFile(ruta);
    EXPECT_EQ(escrito.size(), 13222);
    // The fixture was written by hand from the record layout, not by this code.
    EXPECT_EQ(escrito, readFile(QStringLiteral(SERVICES_FIXTURES "/consultas.qzk")));
    EXPECT_EQ(escrito.left(100), QByteArray("ARTICULOS") + QByteArray(91, ' '));
}

TEST(MascarasConsulta, appends_after_the_last_whole_record_of_a_torn_file)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("consultas.qzk"));
    const QByteArray propio = MascarasConsulta::Codifica({ QStringLiteral("MIS ARTICULOS"),
        QStringLiteral("MA_ARTICULOS"), QStringLiteral("|CODIGO|"), QStringLiteral("ACTIVO = 1") });
    // One whole record of the operator's own and the start of a second that was never finished.
    writeFile(ruta, propio + QByteArray(300, 'x'));

    MascarasConsulta::GeneraMascarasConsultaDefault(ruta);

    const QByteArray escrito = readFile(ruta);
    ASSERT_EQ(escrito.size(), 12 * MascarasConsulta::LongitudRegistro);
    EXPECT_EQ(escrito.left(MascarasConsulta::LongitudRegistro), propio);
    EXPECT_EQ(escrito.mid(MascarasConsulta::LongitudRegistro),
        readFile(QStringLiteral(SERVICES_FIXTURES "/consultas.qzk")));
}

TEST(MascarasConsulta, reads_a_record_back_with_its_padding_and_code_page)
{
    const MascarasConsulta::RegistroMascaraConsulta registro { QStringLiteral("AÑOS"),
        QStringLiteral("V_TA_AÑOS"), QString(450, u'c') + u'|', QString(600, u'w') };

    const QByteArray bytes = MascarasConsulta::Codifica(registro);
    const auto leido = MascarasConsulta::Decodifica(bytes);

    ASSERT_EQ(bytes.size(), MascarasConsulta::LongitudRegistro);
    EXPECT_EQ(bytes.at(1), char(0xD1)); // Ñ in Windows-1252
    EXPECT_EQ(bytes.right(2), QByteArray("\r\n"));
    EXPECT_EQ(leido.Titulo, QStringLiteral("AÑOS").leftJustified(100));
    EXPECT_EQ(leido.Tabla.trimmed(), QStringLiteral("V_TA_AÑOS"));
    EXPECT_EQ(leido.Campos, registro.Campos.leftJustified(500));
    // A longer condition is cut to its field.
    EXPECT_EQ(leido.Where, QString(500, u'w'));
}

TEST(MascarasConsulta, a_file_that_cannot_be_written_raises_error_75)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("falta/consultas.qzk"));

    try {
        MascarasConsulta::GeneraMascarasConsultaDefault(ruta);
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 75);
    }
    EXPECT_FALSE(QFile::exists(ruta));
}
