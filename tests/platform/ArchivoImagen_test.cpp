#include "platform/ArchivoImagen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file of `size` bytes, all zero but the first, without writing them out.
QString fileOfSize(const QTemporaryDir& dir, const QString& name, qint64 size)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write("P", 1) == 1 && f.resize(size));
    return f.fileName();
}

} // namespace

// A picture is taken only from a regular file within the size limit; anything else at the name
// is left out at once with the reason, and nothing waits on a FIFO or reads a device for ever.
TEST(ArchivoImagen, reads_only_a_regular_file_within_the_limit_and_says_why_not)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("logo.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    const QString zero = dir.filePath(QStringLiteral("cero.png"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const struct
    {
        const char* caso;
        QString ruta;
        qint64 largo; // -1 when left out
        const char* porque;
    } casos[] = {
        { "a small picture", fileOfSize(dir, QStringLiteral("logo.jpg"), 4096), 4096, "" },
        // The ordinary case next to the limit.
        { "exactly the limit",
            fileOfSize(dir, QStringLiteral("limite.png"), ArchivoImagen::TamanoMaximo),
            ArchivoImagen::TamanoMaximo, "" },
        { "one byte more",
            fileOfSize(dir, QStringLiteral("grande.png"), ArchivoImagen::TamanoMaximo + 1), -1,
            "pesa más de 32 MiB" },
        { "a FIFO", fifo, -1, "no es un archivo común" },
        { "a link to a device", zero, -1, "no es un archivo común" },
        { "a folder", dir.path(), -1, "es una carpeta, no un archivo" },
        { "missing", dir.filePath(QStringLiteral("no.jpg")), -1, "el archivo no existe" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QString porque;

        const std::optional<QByteArray> bytes = ArchivoImagen::lee(c.ruta, &porque);

        EXPECT_EQ(bytes ? bytes->size() : -1, c.largo);
        if (bytes) {
            EXPECT_TRUE(bytes->startsWith('P'));
        }
        EXPECT_EQ(porque, QString::fromUtf8(c.porque));
    }
}
