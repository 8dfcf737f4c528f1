#include <optional>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <sys/stat.h>

#include "tools/UltimoRecurso.h"
#include "platform/ProcessTuning.h"
#include "platform/qt/QtAdoProvider.h"
#include "reportengine/AdoReportDataSource.h"
#include "reportengine/CsvSink.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/HtmlSink.h"
#include "reportengine/RecordFileSink.h"
#include "reportengine/ReportJob.h"
#include "reportengine/RtfSink.h"
#include "reportengine/XlsxSink.h"

// rp_render: runs one report definition against a SQLite database without the window, through
// the program's own provider and report job, and writes the result to a file. For tests, for
// developers and for support, who need to see which rows a definition selects and which SQL it
// runs. Every failure is one line on the error output and exit status 2; the output file is then
// not written (the job writes under a temporary name and renames at the end).
namespace {

const char* const Usage
    = "Uso: rp_render --definition ARCHIVO.rpt --db ARCHIVO.db [--selection TEXTO] "
      "[--formula NOMBRE=VALOR]... [--sort +{t.f}]... [--subreport NOMBRE|SELECCION] "
      "--format pdf|html|rtf|xlsx|csv|saved --out ARCHIVO [--show-sql]";

// How the job's log names the statement and the selection left to the engine.
constexpr QStringView SqlPrefix = u"SQL: ";
constexpr QStringView LocalSelectionPrefix = u"Selección evaluada en el informe";

enum class Format
{
    Pdf,
    Html,
    Rtf,
    Xlsx,
    Csv,
    Saved
};

struct Arguments
{
    QString definition;
    QString database;
    std::optional<QString> selection;
    QStringList formulas;
    QStringList sorts;
    std::vector<RenderOptions::SubreportSelection> subreports;
    Format format = Format::Pdf;
    QString output;
    bool showSql = false;
};

std::optional<Format> formatNamed(const QString& name)
{
    static const std::pair<const char*, Format> names[]
        = { { "pdf", Format::Pdf }, { "html", Format::Html }, { "rtf", Format::Rtf },
              { "xlsx", Format::Xlsx }, { "csv", Format::Csv }, { "saved", Format::Saved } };
    for (const auto& [text, format] : names) {
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

// The arguments, or nullopt with `error` naming the first wrong one.
std::optional<Arguments> parseArguments(const QStringList& args, QString* error)
{
    Arguments a;
    bool haveFormat = false;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString& name = args.at(k);
        if (name == u"--show-sql") {
            a.showSql = true;
            continue;
        }
        static const QStringList withValue = { QStringLiteral("--definition"),
            QStringLiteral("--db"), QStringLiteral("--selection"), QStringLiteral("--formula"),
            QStringLiteral("--sort"), QStringLiteral("--subreport"), QStringLiteral("--format"),
            QStringLiteral("--out") };
        if (!withValue.contains(name)) {
            *error = QStringLiteral("Argumento desconocido: %1").arg(name);
            return std::nullopt;
        }
        if (k + 1 >= args.size()) {
            *error = QStringLiteral("Falta el valor de %1").arg(name);
            return std::nullopt;
        }
        const QString value = args.at(++k);
        if (name == u"--definition") {
            a.definition = value;
        } else if (name == u"--db") {
            a.database = value;
        } else if (name == u"--selection") {
            a.selection = value;
        } else if (name == u"--formula") {
            if (value.indexOf(u'=') <= 0) {
                *error = QStringLiteral("La fórmula debe escribirse NOMBRE=VALOR: %1").arg(value);
                return std::nullopt;
            }
            a.formulas << value;
        } else if (name == u"--sort") {
            a.sorts << value;
        } else if (name == u"--subreport") {
            const qsizetype bar = value.indexOf(u'|');
            if (bar <= 0) {
                *error = QStringLiteral("El subinforme debe escribirse NOMBRE|SELECCION: %1")
                             .arg(value);
                return std::nullopt;
            }
            a.subreports.push_back({ value.left(bar).trimmed(), value.mid(bar + 1) });
        } else if (name == u"--format") {
            const std::optional<Format> format = formatNamed(value);
            if (!format) {
                *error = QStringLiteral("Formato desconocido: %1 (pdf, html, rtf, xlsx, csv o "
                                        "saved)")
                             .arg(value);
                return std::nullopt;
            }
            a.format = *format;
            haveFormat = true;
        } else {
            a.output = value;
        }
    }
    if (a.definition.isEmpty())
        *error = QStringLiteral("Falta --definition");
    else if (a.database.isEmpty())
        *error = QStringLiteral("Falta --db");
    else if (!haveFormat)
        *error = QStringLiteral("Falta --format");
    else if (a.output.isEmpty())
        *error = QStringLiteral("Falta --out");
    else
        return a;
    return std::nullopt;
}

// The statement and the part of the selection the engine evaluates on the rows, as the job
// logged them. A definition whose selection all went to the database says so, so the reader
// never wonders whether the line was lost.
void showSql(const ReportJob& job, const QString& reportName, QTextStream& out)
{
    bool local = false;
    for (const QString& line : job.log()) {
        if (line.startsWith(SqlPrefix))
            out << line << "\n";
    }
    for (const QString& line : job.log()) {
        if (line.startsWith(LocalSelectionPrefix)) {
            out << line << "\n";
            local = true;
        }
    }
    if (!local)
        out << LocalSelectionPrefix << " " << reportName << ": ninguna\n";
}

// Whether two names lead to one file: the same path, or the same file on the disk through a link
// or another name. Writing the output would then replace the input it is read from.
bool sameFile(const QString& a, const QString& b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// The refusal of an output that names one of the inputs, or nothing.
std::optional<QString> outputOverInput(const Arguments& a)
{
    if (sameFile(a.output, a.database))
        return QStringLiteral("La salida %1 es la base de datos %2; se dejó como estaba")
            .arg(a.output, a.database);
    if (sameFile(a.output, a.definition))
        return QStringLiteral("La salida %1 es la definición %2; se dejó como estaba")
            .arg(a.output, a.definition);
    return std::nullopt;
}

int failure(QTextStream& err, const QString& message)
{
    // One line, whatever the message carried.
    err << "rp_render: " << QString(message).replace(u'\n', u' ') << "\n";
    return 2;
}

} // namespace

static int ejecutaHerramienta(int argc, char* argv[])
{
    ProcessTuning::apply();
    // The PDF writer lays text out with the platform's fonts; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Figures and dates as the program prints them.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help"))) {
        out << Usage << "\n";
        return 0;
    }
    if (args.isEmpty()) {
        err << Usage << "\n";
        return 2;
    }
    QString error;
    const std::optional<Arguments> arguments = parseArguments(args, &error);
    if (!arguments)
        return failure(err, error);
    const Arguments& a = *arguments;
    if (const std::optional<QString> refusal = outputOverInput(a))
        return failure(err, *refusal);

    // The definition first: a broken file is reported by its line and column before the
    // database is touched.
    DefinitionError definitionError;
    const std::optional<ReportDefinition> definition
        = DefinitionLoader::loadFile(a.definition, &definitionError);
    if (!definition)
        return failure(err, definitionError.toString());

    // The provider opens only an existing file; it never creates an empty database.
    QtAdoProvider provider(QtAdoProvider::Settings {});
    std::unique_ptr<AdoConnection> connection = provider.createConnection();
    const QString dbPath = QFileInfo(a.database).absoluteFilePath();
    if (!connection->Open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(dbPath)))
        return failure(err, connection->LastError().description());
    AdoReportDataSource data(*connection, SqlDialect::SQLite);

    ReportJobRequest request;
    request.definitionFile = a.definition;
    request.connection = &data;
    request.selection = a.selection;
    request.formulas = a.formulas;
    request.sortFields = a.sorts;
    request.subreports = a.subreports;
    request.outputFile = QFileInfo(a.output).absoluteFilePath();
    request.printTime = QDateTime::currentDateTime();
    request.locale = QLocale();
    // The data-only outputs take the record stream; their pages go nowhere.
    std::unique_ptr<RecordFileSink> recordFile;
    // HTML and RTF are page sinks that appear at their path only when finished.
    std::unique_ptr<PageSink> pageFile;
    switch (a.format) {
    case Format::Pdf:
        request.destination = ReportDestination::Pdf;
        break;
    case Format::Saved:
        request.destination = ReportDestination::SavedReport;
        break;
    case Format::Xlsx:
        recordFile = std::make_unique<XlsxSink>(request.outputFile, definition->name);
        break;
    case Format::Csv:
        recordFile = std::make_unique<CsvSink>(request.outputFile);
        break;
    case Format::Html:
        pageFile = std::make_unique<HtmlSink>(request.outputFile);
        break;
    case Format::Rtf:
        pageFile = std::make_unique<RtfSink>(request.outputFile);
        break;
    }
    NullPageSink discard(recordFile.get());
    if (recordFile) {
        request.destination = ReportDestination::Sink;
        request.sink = &discard;
        request.records = recordFile.get();
    } else if (pageFile) {
        request.destination = ReportDestination::Sink;
        request.sink = pageFile.get();
    }

    ReportJob job;
    bool ok = job.run(request);
    error = job.errorString();
    // A record file is put in place only after a whole run; dropped unclosed, it leaves nothing.
    if (ok && recordFile && !recordFile->close()) {
        ok = false;
        error = recordFile->errorString();
    }
    recordFile.reset();
    if (a.showSql)
        showSql(job, definition->name, out);
    for (const QString& line : job.log()) {
        // Ignored overrides, missing images, order done by the engine: worth seeing, not fatal.
        if (!line.startsWith(SqlPrefix) && !line.startsWith(LocalSelectionPrefix))
            err << line << "\n";
    }
    if (!ok)
        return failure(err, error);
    return 0;
}

int main(int argc, char* argv[])
{
    return conUltimoRecurso([&] { return ejecutaHerramienta(argc, argv); });
}
