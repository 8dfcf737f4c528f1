#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QLocale>
#include <QTextStream>

#include "platform/ProcessTuning.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "platform/qt/QtAdoProvider.h"
#include "pricelists/ImpresionPrecios.h"
#include "reportengine/AdoReportDataSource.h"
#include "reportengine/CsvSink.h"
#include "reportengine/ReportJob.h"
#include "reportengine/XlsxSink.h"
#include "bench/BenchAnalisisCostos.h"
#include "bench/BenchComun.h"
#include "bench/BenchReference.h"
#include "bench/BenchSample.h"
#include "bench/SqliteReportSource.h"

// rp_bench [--articles N] [--lists L] [--db FOLDER] [--out FILE] [--report NAME]
//          [--definition FILE.rpt] [--warehouse CODE] [--sort codigo|descripcion]
//          [--format pdf|rps|xlsx|csv] [--direct] [--reference] [--analisis-costos]
// Renders a price list of the first L sales lists of a demo database of N articles to PDF (or a
// saved report, a spreadsheet, CSV) and prints the figures; the last line is the one to compare
// between runs. The database is generated once per article count and reused.
//
// "--reference" then writes the same pages (PDF) or rows (spreadsheet, CSV) through the library
// alone (BenchReference) and adds its time to the last line: for PDF ratio= is the engine's pages
// per second over the reference's, for the spreadsheet and CSV the engine's time beyond the query
// over the library's own time.
//
// The job is the one the price-list window prints for a sales list: the printing builds the
// selection, sort and formulas from a window state with price classes 1 to 4 ticked, the stock of
// one warehouse ("--warehouse", "" for none) and the grouping that picks the report ("--report
// RP_ListaPrecios" none, "RP_ListaPreciosRubro" by section, ...Familia, ...Proveedor).
//
// "--analisis-costos" prints the purchase-mode cost analysis of the first L entries of the
// window's list picker instead: the printing fills the work table, then the report renders it.
// total_s and first_page_ms count from the print button, fill_s= is the work table's share.
namespace {

// The window's state for the bench's job: lists `desde` to `hasta`, classes 1 to 4 ticked, the
// report's grouping, sorted by article code or description, the stock of `deposito`.
EstadoImpresion estadoVentas(const QString& reporte, const QString& desde, const QString& hasta,
    const QString& deposito, bool porDescripcion)
{
    static const QString clases[] = { QStringLiteral("Costo"), QStringLiteral("Contado"),
        QStringLiteral("Cuenta Corriente"), QStringLiteral("Tarjeta 1 pago"),
        QStringLiteral("Mayorista"), QStringLiteral("Clase 5"), QStringLiteral("Clase 6"),
        QStringLiteral("Clase 7"), QStringLiteral("Clase 8") };
    EstadoImpresion e;
    e.ListaDesde = desde;
    e.ListaHasta = hasta;
    for (int i = 0; i <= 8; ++i)
        e.ChkFiltro << CasillaPrecio { i >= 1 && i <= 4 ? 1 : 0, QString::number(i), clases[i] };
    e.OptOrden << OpcionOrden { !porDescripcion, QStringLiteral("{v_ma_articulos.idarticulo}") }
               << OpcionOrden { porDescripcion, QStringLiteral("{v_ma_articulos.descripcion}") };
    const QString nombre = reporte.toLower();
    const bool rubro = nombre.contains(u"rubro");
    const bool familia = nombre.contains(u"familia");
    const bool proveedor = nombre.contains(u"proveedor");
    e.OptGROUP = { rubro, familia, proveedor, !rubro && !familia && !proveedor };
    e.ChkSelectivo = nombre.endsWith(u"_sel") ? 1 : 0;
    if (!deposito.isEmpty()) {
        e.Deposito = deposito;
        e.lblDescDep = QStringLiteral("Depósito %1").arg(deposito);
    }
    return e;
}

} // namespace

int main(int argc, char* argv[])
{
    ProcessTuning::apply();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Figures and dates as the program prints them.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QTextStream out(stdout);
    QTextStream err(stderr);

    int articles = 100000;
    int lists = 4;
    QString folder;
    QString pdf;
    QString format = QStringLiteral("pdf");
    QString report = QStringLiteral("RP_ListaPrecios");
    QString definition;
    QString warehouse = QStringLiteral("1");
    QString sort = QStringLiteral("codigo");
    const char* const usage
        = "Uso: rp_bench [--articles N] [--lists L] [--db CARPETA] [--out ARCHIVO.pdf] "
          "[--report NOMBRE] [--definition ARCHIVO.rpt] [--warehouse CODIGO] "
          "[--sort codigo|descripcion] [--format pdf|rps|xlsx|csv] [--direct] "
          "[--reference] [--analisis-costos]\n";
    QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help"))) {
        out << usage;
        return 0;
    }
    const bool direct = args.removeAll(QStringLiteral("--direct")) > 0;
    const bool reference = args.removeAll(QStringLiteral("--reference")) > 0;
    const bool analisis = args.removeAll(QStringLiteral("--analisis-costos")) > 0;
    if (analisis)
        report = QStringLiteral("RP_LISTAPRECIOSAC");
    for (int k = 0; k + 1 < args.size(); k += 2) {
        const QString& name = args[k];
        const QString& value = args[k + 1];
        if (name == u"--articles")
            articles = value.toInt();
        else if (name == u"--lists")
            lists = value.toInt();
        else if (name == u"--db")
            folder = value;
        else if (name == u"--out")
            pdf = value;
        else if (name == u"--definition")
            definition = value;
        else if (name == u"--report")
            report = value;
        else if (name == u"--warehouse")
            warehouse = value;
        else if (name == u"--format")
            format = value.toLower();
        else if (name == u"--sort")
            sort = value.toLower();
        else {
            err << "Argumento desconocido: " << name << "\n";
            return 2;
        }
    }
    if (args.size() % 2 != 0 || articles < 1 || lists < 1
        || (format != u"pdf" && format != u"rps" && format != u"xlsx" && format != u"csv")
        || (sort != u"codigo" && sort != u"descripcion") || (reference && format == u"rps")) {
        err << usage;
        return 2;
    }
    if (definition.isEmpty())
        definition = QCoreApplication::applicationDirPath() + QStringLiteral("/reports/") + report
            + QStringLiteral(".rpt");
    if (folder.isEmpty())
        folder = QDir::tempPath() + QStringLiteral("/rp_bench_%1").arg(articles);
    if (pdf.isEmpty())
        pdf = QDir::tempPath()
            + QStringLiteral("/rp_bench_%1_%2.%3").arg(articles).arg(lists).arg(format);
    QString error;
    const QString dbPath = baseDeMedicion(articles, folder, out, error);
    if (dbPath.isEmpty()) {
        err << error << "\n";
        return 1;
    }

    // The program's path: the database provider's connection and forward-only recordsets.
    // "--direct" reads the file through QSQLITE with bound values instead, for comparison.
    QtAdoProvider provider(QtAdoProvider::Settings {});
    std::unique_ptr<AdoConnection> connection = provider.createConnection();
    std::unique_ptr<ReportDataSource> source;
    if (direct) {
        auto sqlite = std::make_unique<SqliteReportSource>(dbPath);
        if (!sqlite->ok()) {
            err << "No se pudo abrir " << dbPath << ": " << sqlite->errorString() << "\n";
            return 1;
        }
        source = std::move(sqlite);
    } else {
        if (!connection->Open(
                QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;")
                    .arg(dbPath))) {
            err << "No se pudo abrir " << dbPath << ": " << connection->LastError().description()
                << "\n";
            return 1;
        }
        source = std::make_unique<AdoReportDataSource>(*connection, SqlDialect::SQLite);
    }
    ReportDataSource& data = *source;

    // The first L sales lists, as the operator would pick them: the range from the first to the
    // L-th.
    QStringList codes;
    {
        DataQuery query;
        query.sql = QStringLiteral("SELECT IDLISTA FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = 'V' "
                                   "ORDER BY IDLISTA LIMIT %1")
                        .arg(lists);
        auto source = data.open(query);
        while (source->next())
            codes << source->value(0).toString();
    }
    if (codes.isEmpty()) {
        err << "La base no tiene listas de venta\n";
        return 1;
    }

    // The printing's job for that window state, as the report driver hands it to the engine:
    // the formula list, then the numbered formulas that are set.
    Utilidades utilidades;
    const ScopedService<Utilidades> utilidadesService(&utilidades);
    ImpresionPrecios::Resultado armado;
    AnalisisCostosBench analisisCostos;
    if (analisis) {
        analisisCostos = corridaAnalisisCostos(dbPath, lists);
        if (!analisisCostos.ok) {
            err << analisisCostos.error << "\n";
            return 1;
        }
        out << "Análisis de costos de " << analisisCostos.listas.join(u',') << ": tabla en "
            << QString::number(analisisCostos.llenadoS, 'f', 2) << " s\n";
        armado.trabajo = analisisCostos.trabajo;
    } else {
        armado = ImpresionPrecios::armaTrabajo(
            estadoVentas(report, codes.first(), codes.last(), warehouse, sort == u"descripcion"),
            QStringLiteral("Ferretería y Almacén Demo"), QString());
    }
    if (!armado.ok) {
        err << armado.mensaje << "\n";
        return 1;
    }
    const TrabajoImpresion& trabajo = armado.trabajo;
    if (trabajo.NombreReporte.compare(report, Qt::CaseInsensitive) != 0)
        out << "Aviso: la ventana imprimiría " << trabajo.NombreReporte << " con esas opciones\n";

    ReportJobRequest request;
    request.definitionFile = definition;
    request.connection = &data;
    request.selection = trabajo.Seleccion;
    request.sortFields = trabajo.CamposOrden;
    request.formulas = trabajo.ListaFormulasReporte;
    for (const QString& f : { trabajo.Formula1, trabajo.Formula2, trabajo.Formula3,
             trabajo.Formula4, trabajo.Formula5 }) {
        if (!f.isEmpty())
            request.formulas << f;
    }
    request.destination
        = format == u"rps" ? ReportDestination::SavedReport : ReportDestination::Pdf;
    request.outputFile = pdf;
    // The data-only outputs: the record stream into the file, the pages nowhere.
    std::unique_ptr<RecordFileSink> recordFile;
    if (format == u"xlsx")
        recordFile = std::make_unique<XlsxSink>(pdf, QFileInfo(definition).completeBaseName());
    else if (format == u"csv")
        recordFile = std::make_unique<CsvSink>(pdf);
    NullPageSink discard(recordFile.get());
    // The reference's sample: the first records on their way to the file, or the first pages of
    // a run of its own.
    BenchSample sample(40, 2000, recordFile.get());
    if (recordFile) {
        request.destination = ReportDestination::Sink;
        request.sink = &discard;
        request.records = reference ? static_cast<RecordSink*>(&sample) : recordFile.get();
    }

    ReportJob job;
    QElapsedTimer clock;
    double firstPageMs = -1;
    QObject::connect(&job, &ReportJob::pageLaidOut, &job, [&](int page) {
        if (page == 1)
            firstPageMs = double(clock.nsecsElapsed()) / 1e6;
    });
    clock.start();
    bool ok = job.run(request);
    if (recordFile && !recordFile->close() && ok) {
        ok = false;
        err << recordFile->errorString() << "\n";
    }
    // The operator waits for the work table before the report starts.
    const double fillS = analisisCostos.llenadoS;
    const double totalS = double(clock.nsecsElapsed()) / 1e9 + fillS;
    if (firstPageMs >= 0)
        firstPageMs += fillS * 1000;
    if (!ok) {
        err << "El informe falló: " << job.errorString() << "\n";
        return 1;
    }
    QString sql;
    for (const QString& line : job.log()) {
        out << line << "\n";
        if (line.startsWith(QStringLiteral("SQL: ")))
            sql = line.mid(5);
    }

    // The same statement read forward-only with nothing done to the rows.
    QElapsedTimer queryClock;
    queryClock.start();
    qint64 rows = 0;
    {
        DataQuery query;
        query.sql = sql;
        auto source = data.open(query);
        const int columns = int(source->columnNames().size());
        while (source->next()) {
            for (int c = 0; c < columns; ++c)
                source->value(c);
            ++rows;
        }
    }
    const double queryS = double(queryClock.nsecsElapsed()) / 1e9;

    const int pages = job.pageCount();
    const double peakMb = picoMemoriaMb();
    // The reference draws as many pages: the sizes compare whole files.
    const qint64 pdfBytes = QFileInfo(pdf).size();
    const qint64 bytesPerPage = pdfBytes / std::max(pages, 1);
    QString referenceFields;
    if (reference) {
        const QString referenceFile = pdf + QStringLiteral(".reference");
        double referenceS = -1;
        qint64 referenceBytes = 0;
        if (format == u"pdf") {
            ReportJobRequest sampleRequest = request;
            sampleRequest.destination = ReportDestination::Sink;
            sampleRequest.sink = &sample;
            ReportJob sampleJob;
            sampleJob.run(sampleRequest); // stops with the sample complete
            referenceS
                = BenchReference::writePdf(sample, pages, QString::number(pages), referenceFile);
            referenceBytes = QFileInfo(referenceFile).size();
        } else if (format == u"xlsx") {
            referenceS = BenchReference::writeXlsx(sample, job.recordCount(), referenceFile);
        } else {
            referenceS = BenchReference::writeCsv(sample, job.recordCount(), referenceFile);
        }
        QFile::remove(referenceFile);
        if (referenceS <= 0) {
            err << "No se pudo escribir la referencia " << referenceFile << "\n";
            return 1;
        }
        out << "Referencia: " << QString::number(referenceS, 'f', 2) << " s\n";
        referenceFields = QStringLiteral(" reference_s=") + QString::number(referenceS, 'f', 2);
        if (format == u"pdf") {
            const double ours = pages / std::max(totalS, 1e-9);
            const double theirs = pages / referenceS;
            referenceFields += QStringLiteral(" reference_pages_per_s=")
                + QString::number(theirs, 'f', 1) + QStringLiteral(" ratio=")
                + QString::number(ours / theirs, 'f', 2)
                + QStringLiteral(" reference_bytes_per_page=")
                + QString::number(referenceBytes / std::max(pages, 1))
                + QStringLiteral(" size_ratio=")
                + QString::number(double(pdfBytes) / std::max<qint64>(referenceBytes, 1), 'f', 2);
        } else {
            referenceFields += QStringLiteral(" reference_rows_per_s=")
                + QString::number(job.recordCount() / referenceS, 'f', 0)
                + QStringLiteral(" ratio=")
                + QString::number(std::max(totalS - queryS, 0.0) / referenceS, 'f', 2);
        }
    }
    out << "PDF: " << pdf << " (filas de la consulta: " << rows << ")\n";
    out << "ratio total/query: " << QString::number(totalS / std::max(queryS, 1e-9), 'f', 1)
        << "\n";
    out << "pages=" << pages << " rows=" << job.recordCount()
        << " first_page_ms=" << QString::number(firstPageMs, 'f', 1)
        << " total_s=" << QString::number(totalS, 'f', 2)
        << " pages_per_s=" << QString::number(pages / std::max(totalS, 1e-9), 'f', 1)
        << " query_s=" << QString::number(queryS, 'f', 2)
        << " rows_per_s=" << QString::number(job.recordCount() / std::max(totalS, 1e-9), 'f', 0)
        << " peak_rss_mb=" << QString::number(peakMb, 'f', 1);
    if (format == u"pdf")
        out << " bytes_per_page=" << bytesPerPage;
    out << referenceFields
        << (analisis ? QStringLiteral(" fill_s=") + QString::number(fillS, 'f', 2) : QString())
        << "\n";
    return 0;
}
