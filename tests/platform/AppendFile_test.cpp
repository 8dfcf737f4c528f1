#include "platform/AppendFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/ErrorLog.h"
#include "platform/FileNames.h"

namespace {

QByteArray contents(const QString& path)
{
    // Not a FIFO: reading one would wait for a writer.
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                      : QByteArray("<sin archivo>");
}

// A folder every account may make files in, as the temporary one, or nothing where the other
// account cannot be played (setpriv needs root).
bool sharedFolder(const QTemporaryDir& dir)
{
    return ::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()
        && ::chmod(QFile::encodeName(dir.path()).constData(), 01777) == 0;
}

// Runs `orden` as uid 1235 with the name as $1 and the owner's private file as $2.
bool comoOtraCuenta(const char* orden, const QString& nombre, const QString& privado)
{
    return QProcess::execute(QStringLiteral("setpriv"),
               { QStringLiteral("--reuid=1235"), QStringLiteral("--regid=1235"),
                   QStringLiteral("--clear-groups"), QStringLiteral("/bin/sh"),
                   QStringLiteral("-c"), QString::fromLatin1(orden), QStringLiteral("sh"), nombre,
                   privado })
        == 0;
}

} // namespace

// What another account may plant at the name in a shared folder is neither written through, nor
// waited on, nor fed; the owner's own file and a new one are appended to as always.
TEST(AppendFile, appends_only_to_a_regular_file_of_this_account_without_waiting)
{
    QTemporaryDir dir;
    if (!sharedFolder(dir)) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the planting side runs as uid 1235, which needs root and setpriv";
    }
    const QString privado = dir.filePath(QStringLiteral("notas.txt"));
    {
        QFile notas(privado);
        ASSERT_TRUE(notas.open(QIODevice::WriteOnly));
        notas.write("secreto\n");
        notas.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    const struct
    {
        const char* caso;
        const char* plantado; // as uid 1235, before the append; nullptr: nothing there
        bool agrega;
        QByteArray queda; // at the name afterwards
    } filas[] = {
        { "a new file", nullptr, true, "linea\n" },
        { "a link to the owner's private file", "ln -s \"$2\" \"$1\"", false, "secreto\n" },
        { "a FIFO", "mkfifo \"$1\"", false, "<sin archivo>" },
        { "another account's file open to all", "touch \"$1\" && chmod 666 \"$1\"", false, "" },
        { "a folder", "mkdir \"$1\"", false, "<sin archivo>" },
    };
    int n = 0;
    for (const auto& fila : filas) {
        SCOPED_TRACE(fila.caso);
        const QString nombre = dir.filePath(QStringLiteral("log%1.txt").arg(++n));
        if (fila.plantado) {
            ASSERT_TRUE(comoOtraCuenta(fila.plantado, nombre, privado));
        }

        QElapsedTimer reloj;
        reloj.start();
        QString why;
        const bool agrega = AppendFile::append(nombre, "linea\n", &why, 0600);

        EXPECT_EQ(agrega, fila.agrega) << why.toStdString();
        EXPECT_EQ(agrega, why.isEmpty());
        EXPECT_LT(reloj.elapsed(), 5000);
        EXPECT_EQ(contents(nombre), fila.queda);
        EXPECT_EQ(contents(privado), QByteArray("secreto\n"));
    }
    // Nor is this account's own FIFO fed while something reads it: the line would be gone.
    const QString tuberia = dir.filePath(QStringLiteral("tuberia.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(tuberia).constData(), 0600), 0);
    const int lector = ::open(QFile::encodeName(tuberia).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(lector, 0);
    QString why;
    EXPECT_FALSE(AppendFile::append(tuberia, "linea\n", &why, 0600));
    EXPECT_EQ(why, QStringLiteral("No es un archivo común"));
    char leido[8];
    EXPECT_LE(::read(lector, leido, sizeof leido), 0);
    ::close(lector);

    struct stat st
    {
    };
    ASSERT_EQ(
        ::stat(QFile::encodeName(dir.filePath(QStringLiteral("log1.txt"))).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(AppendFile::append(dir.filePath(QStringLiteral("log1.txt")), "otra\n"));
    EXPECT_EQ(contents(dir.filePath(QStringLiteral("log1.txt"))), QByteArray("linea\notra\n"));
}

// A log the temporary folder cannot give (here a FIFO at its name) loses no line: it lands in the
// data folder's log.
TEST(AppendFile, an_error_log_that_cannot_be_used_goes_to_the_data_folder)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QString::fromLatin1(ErrorLog::FileName));
    ASSERT_EQ(::mkfifo(QFile::encodeName(log).constData(), 0666), 0);
    const QString enDatos = FileNames::helperFileToWrite(QString::fromLatin1(ErrorLog::FileName));

    EXPECT_TRUE(ErrorLog::append(log, "linea\r\n"));

    EXPECT_EQ(contents(enDatos), QByteArray("linea\r\n"));
    // The operator's errors are this account's alone to read.
    struct stat st
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(enDatos).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
