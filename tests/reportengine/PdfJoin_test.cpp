#include "reportengine/PdfJoin.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PdfJoinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("buena.pdf"));
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            painter.drawText(100, 100, QStringLiteral("Parte"));
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        m_good = file.readAll();
    }

    // A part holding `bytes`, kept open until the fixture ends.
    QFile* part(const QByteArray& bytes)
    {
        auto file = std::make_unique<QFile>(
            m_dir.filePath(QStringLiteral("parte%1.pdf").arg(m_parts.size())));
        EXPECT_TRUE(file->open(QIODevice::ReadWrite | QIODevice::Truncate));
        file->write(bytes);
        m_parts.push_back(std::move(file));
        return m_parts.back().get();
    }

    QTemporaryDir m_dir;
    QByteArray m_good;
    std::vector<std::unique_ptr<QFile>> m_parts;
};

// A part the join cannot read, or an output that takes less than it is given, is refused with
// the reason and the part's number.
TEST_F(PdfJoinTest, refuses_what_it_cannot_join_and_says_why)
{
    QByteArray sinCatalogo = m_good;
    sinCatalogo.replace("/Root", "/Raiz");
    QByteArray otraCabecera = m_good;
    otraCabecera.replace(0, 5, "%XDF-");
    QByteArray cortada = m_good;
    cortada.truncate(cortada.indexOf("\nxref") + 12);
    const struct
    {
        const char* caso;
        QByteArray primera;
        QByteArray segunda;
        const char* error;
    } filas[] = {
        { "no es un PDF", m_good, "hola",
            "La parte 2 del documento PDF no se puede leer: falta "
            "la tabla de referencias" },
        { "sin catálogo", m_good, sinCatalogo,
            "La parte 2 del documento PDF no se puede leer: "
            "falta el catálogo" },
        { "tabla cortada", m_good, cortada,
            "La parte 2 del documento PDF no se puede leer: "
            "falta la tabla de referencias" },
        { "otra cabecera", otraCabecera, m_good,
            "La parte 1 del documento PDF no se puede leer: "
            "no empieza como un PDF" },
    };
    for (const auto& f : filas) {
        QBuffer salida;
        salida.open(QIODevice::WriteOnly);
        QString error;

        EXPECT_FALSE(PdfJoin::join({ part(f.primera), part(f.segunda) }, salida, &error)) << f.caso;

        EXPECT_EQ(error, QString::fromUtf8(f.error)) << f.caso;
    }

    QBuffer cerrada;
    QString error;
    EXPECT_FALSE(PdfJoin::join({ part(m_good), part(m_good) }, cerrada, &error));
    EXPECT_EQ(error, QStringLiteral("No se pudo escribir el documento PDF unido"));
    EXPECT_FALSE(PdfJoin::join({}, cerrada, &error));
    EXPECT_EQ(error, QStringLiteral("No hay partes del documento PDF que unir"));
}

} // namespace
