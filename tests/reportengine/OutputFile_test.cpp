#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "MemoryDataSource.h"
#include "reportengine/CsvSink.h"
#include "reportengine/HtmlSink.h"
#include "reportengine/OutputFile.h"
#include "reportengine/ReportJob.h"
#include "reportengine/RtfSink.h"
#include "reportengine/XlsxSink.h"

namespace {

const char* const Definition = R"RPT(<report version="1" name="RP_Salida" title="Salida">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="P"/></data>
  <detail height="5">
    <field name="Codigo" x="0" y="0" width="60" height="5" expr="{P.Codigo}"/>
    <field name="Precio" x="150" y="0" width="40" height="5" expr="{P.Precio}" format="#,##0.00" align="right"/>
  </detail>
</report>)RPT";

// Files may grow to `bytes` while it lives: a disk that fills up, without needing one. Writes
// past it fail with EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { bytes, m_old.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

// The permission bits of the file at `path` (not of what a link there points at).
mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The umask a user's session usually has, while it lives.
class UsualUmask
{
public:
    UsualUmask()
        : m_old(::umask(022))
    {
    }
    ~UsualUmask() { ::umask(m_old); }

private:
    mode_t m_old;
};

// The scratch files this process holds in the program's temporary folder.
QStringList ownScratchFiles()
{
    const QString pattern = QStringLiteral("*-%1-*").arg(QCoreApplication::applicationPid());
    return QDir(QFileInfo(OutputFile::scratchTemplate(QStringLiteral("x"))).path())
        .entryList({ pattern }, QDir::Files | QDir::Hidden);
}

class OutputFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QFile f(path(QStringLiteral("salida.rpt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Definition);
        QList<QList<Value>> rows;
        for (int i = 0; i < 3000; ++i)
            rows.append({ Value(QStringLiteral("Artículo %1 de prueba").arg(i)),
                Value(*Currency::fromString(QString::number(i) + QStringLiteral(".25"))) });
        m_data.addTable(QStringLiteral("P"),
            { QStringLiteral("P.Codigo"), QStringLiteral("P.Precio") }, std::move(rows));
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    ReportJobRequest request(ReportDestination destination, const QString& out)
    {
        ReportJobRequest r;
        r.definitionFile = path(QStringLiteral("salida.rpt"));
        r.connection = &m_data;
        r.destination = destination;
        r.outputFile = out;
        r.locale = QLocale(QLocale::Spanish, QLocale::Argentina);
        return r;
    }

    // Writes the report in `format` to `out`; false with the error in `error`.
    bool write(const QString& format, const QString& out, QString* error)
    {
        ReportJob job;
        bool ok = false;
        if (format == u"pdf" || format == u"saved") {
            ok = job.run(request(
                format == u"pdf" ? ReportDestination::Pdf : ReportDestination::SavedReport, out));
            *error = job.errorString();
        } else if (format == u"html" || format == u"rtf") {
            std::unique_ptr<PageSink> sink;
            if (format == u"html")
                sink = std::make_unique<HtmlSink>(out);
            else
                sink = std::make_unique<RtfSink>(out);
            ReportJobRequest r = request(ReportDestination::Sink, QString());
            r.sink = sink.get();
            ok = job.run(r);
            *error = job.errorString();
        } else {
            std::unique_ptr<RecordFileSink> records;
            if (format == u"csv")
                records = std::make_unique<CsvSink>(out);
            else
                records = std::make_unique<XlsxSink>(out, QStringLiteral("Salida"));
            NullPageSink pages(records.get());
            ReportJobRequest r = request(ReportDestination::Sink, QString());
            r.sink = &pages;
            r.records = records.get();
            ok = job.run(r);
            ok = records->close() && ok;
            *error = ok ? QString() : records->errorString();
        }
        return ok;
    }

    QTemporaryDir m_dir;
    MemoryDataSource m_data;
};

// Whatever goes wrong, the old file stays as it was, nothing is left beside it or in the
// temporary folder, and the error names the file and the reason in our words.
TEST_F(OutputFileTest, a_failed_export_keeps_the_old_file_and_says_why)
{
    const QStringList formats
        = { QStringLiteral("pdf"), QStringLiteral("saved"), QStringLiteral("html"),
              QStringLiteral("rtf"), QStringLiteral("csv"), QStringLiteral("xlsx") };
    const UsualUmask umask;
    for (const QString& format : formats) {
        SCOPED_TRACE(format.toStdString());
        const QString out = path(QStringLiteral("lista.") + format);
        {
            QFile old(out);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("viejo");
        }
        QString error;
        {
            const FileSizeLimit limit(20000);
            EXPECT_FALSE(write(format, out, &error));
        }
        EXPECT_TRUE(error.contains(out)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("El archivo es demasiado grande")))
            << error.toStdString();
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), QByteArray("viejo"));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({ QFileInfo(out).fileName(), QStringLiteral("salida.rpt") }));
        EXPECT_EQ(ownScratchFiles(), QStringList());

        // Written whole, the new file takes the old one's place and keeps its mode; a file
        // where there was none gets the usual one.
        ASSERT_TRUE(QFile::setPermissions(
            out, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        ASSERT_TRUE(write(format, out, &error)) << error.toStdString();
        EXPECT_GT(QFileInfo(out).size(), 20000);
        EXPECT_EQ(modeOf(out), 0640u);
        QFile::remove(out);
        ASSERT_TRUE(write(format, out, &error)) << error.toStdString();
        EXPECT_EQ(modeOf(out), 0644u);
        QFile::remove(out);

        // A folder where the file should go is refused, and left alone.
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QFileInfo(out).fileName()));
        EXPECT_FALSE(write(format, out, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("No es un archivo común")))
            << error.toStdString();
        EXPECT_TRUE(QDir(m_dir.path()).rmdir(QFileInfo(out).fileName()));
    }
}

TEST(OutputFileReason, a_full_disk_is_said_in_our_words)
{
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    full.write("x");
    EXPECT_FALSE(full.flush());
    EXPECT_EQ(OutputFile::reasonFor(full), QStringLiteral("No queda espacio en el disco"));
}

} // namespace

// A spreadsheet being written has nothing of it beside its target, so a process killed before
// the workbook closes leaves the folder as it was; its scratch file is this process's own.
TEST_F(OutputFileTest, a_spreadsheet_in_progress_leaves_nothing_beside_its_target)
{
    {
        XlsxSink sink(path(QStringLiteral("lista.xlsx")), QStringLiteral("Salida"));
        EXPECT_TRUE(sink.errorString().isEmpty()) << sink.errorString().toStdString();
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("salida.rpt") });
        EXPECT_EQ(ownScratchFiles().size(), 1);
    }
    EXPECT_TRUE(ownScratchFiles().isEmpty());
}

// In a folder every account writes, what another account (uid 1235) plants at the export's name
// is not written through nor waited on: a link is replaced by the export and the owner's file it
// points at stays as it was; a FIFO is refused at once.
TEST_F(OutputFileTest, a_name_planted_by_another_account_is_replaced_or_refused)
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the planting side runs as uid 1235, which needs root and setpriv";
    }
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 01777), 0);
    const UsualUmask umask;
    const QString privado = path(QStringLiteral("notas2.txt"));
    {
        QFile notas(privado);
        ASSERT_TRUE(notas.open(QIODevice::WriteOnly));
        notas.write("secreto\n");
        notas.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    const auto planta = [&](const char* orden, const QString& nombre) {
        return QProcess::execute(QStringLiteral("setpriv"),
                   { QStringLiteral("--reuid=1235"), QStringLiteral("--regid=1235"),
                       QStringLiteral("--clear-groups"), QStringLiteral("/bin/sh"),
                       QStringLiteral("-c"), QString::fromLatin1(orden), QStringLiteral("sh"),
                       nombre, privado })
            == 0;
    };
    for (const char* format : { "pdf", "saved", "html", "rtf", "csv", "xlsx" }) {
        SCOPED_TRACE(format);
        const QString enlace = path(QStringLiteral("01-FC.") + QLatin1String(format));
        const QString fifo = path(QStringLiteral("02-FC.") + QLatin1String(format));
        ASSERT_TRUE(planta("ln -s \"$2\" \"$1\"", enlace));
        ASSERT_TRUE(planta("mkfifo \"$1\"", fifo));
        QString error;

        EXPECT_TRUE(write(QLatin1String(format), enlace, &error)) << error.toStdString();
        QElapsedTimer reloj;
        reloj.start();
        EXPECT_FALSE(write(QLatin1String(format), fifo, &error));

        EXPECT_LT(reloj.elapsed(), 5000);
        EXPECT_TRUE(error.contains(QStringLiteral("No es un archivo común")))
            << error.toStdString();
        EXPECT_FALSE(QFileInfo(enlace).isSymLink());
        EXPECT_GT(QFileInfo(enlace).size(), 1000);
        // A file of its own: nothing of the file the link pointed at, its mode included.
        EXPECT_EQ(modeOf(enlace), 0644u);
        QFile notas(privado);
        ASSERT_TRUE(notas.open(QIODevice::ReadOnly));
        EXPECT_EQ(notas.readAll(), QByteArray("secreto\n"));
    }
}
