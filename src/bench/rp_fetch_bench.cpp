#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

#include "platform/AdoRecordset.h"
#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/SqlServerFunctions.h"
#include "platform/qt/SqliteText.h"
#include "platform/qt/TsqlTranslator.h"
#include "demo/DemoDatabase.h"

namespace {

// The price list's article read: codes, texts, flags, numbers and money, in code order.
const char* const Query
    = "SELECT IDARTICULO, Descripcion, idrubro, idfamilia, idtipo, cuentaProveedor, SUSPENDIDO, "
      "TASAIVA, PRECIO1, PRECIO4 FROM V_MA_ARTICULOS WITH (NOLOCK) ORDER BY IDARTICULO";

struct Run
{
    qint64 rows = 0;
    qint64 checksum = 0;
    double seconds = 0;
};

// Through the provider: a forward-only recordset, every field's value read as the program does.
Run providerRun(AdoConnection& cnn)
{
    Run run;
    AdoRecordset rs;
    QElapsedTimer timer;
    timer.start();
    if (!rs.Open(QString::fromLatin1(Query), &cnn)) {
        std::fprintf(stderr, "%s\n", qPrintable(rs.LastError().description()));
        return run;
    }
    const int fields = rs.FieldCount();
    while (!rs.Eof()) {
        for (int i = 0; i < fields; ++i) {
            const Value v = rs.Fields(i).Value();
            run.checksum += v.isText() ? v.toString().size() : 1;
        }
        ++run.rows;
        rs.MoveNext();
    }
    rs.Close();
    run.seconds = timer.nsecsElapsed() / 1e9;
    return run;
}

// The same rows straight from the engine's C interface: the floor no provider can beat.
Run rawRun(const QString& file, const QByteArray& sql)
{
    Run run;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return run;
    registerSqliteText(db);
    registerSqlServerFunctions(db);
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr);
    const int columns = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_TEXT:
                sqlite3_column_text(stmt, i);
                run.checksum += sqlite3_column_bytes(stmt, i);
                break;
            case SQLITE_INTEGER:
                run.checksum += sqlite3_column_int64(stmt, i) != 0;
                break;
            case SQLITE_FLOAT:
                run.checksum += sqlite3_column_double(stmt, i) != 0;
                break;
            default:
                break;
            }
        }
        ++run.rows;
    }
    sqlite3_finalize(stmt);
    run.seconds = timer.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    return run;
}

} // namespace

// rp_fetch_bench [--db FILE] [--articles N] [--runs N]: forward-only fetch speed of the provider
// on a demo database (generated in a temporary folder unless --db names one), with its ratio to a
// plain SQLite loop over the same query, and the time to open a connection. Run by hand; the
// target is 250,000 rows/s or more.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString file;
    int articles = 100000;
    int runs = 5;
    const char* const usage = "Uso: rp_fetch_bench [--db ARCHIVO] [--articles N] [--runs N]\n";
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    for (int k = 0; k < args.size(); k += 2) {
        const QString& name = args.at(k);
        const bool known = name == u"--db" || name == u"--articles" || name == u"--runs";
        if (!known || k + 1 >= args.size()) {
            std::fprintf(stderr, "%s %s\n%s",
                known ? "Falta el valor de" : "Argumento desconocido:", qPrintable(name), usage);
            return 2;
        }
        if (name == u"--db")
            file = args.at(k + 1);
        else if (name == u"--articles")
            articles = args.at(k + 1).toInt();
        else
            runs = qMax(1, args.at(k + 1).toInt());
    }
    QTemporaryDir dir;
    if (file.isEmpty()) {
        std::printf("Generando la base de demostración (%d artículos)...\n", articles);
        const QString error = DemoDatabase::write({ dir.path(), articles });
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        file = dir.filePath(QStringLiteral("DEMO.db"));
    }

    QtAdoProvider provider(QtAdoProvider::Settings {});
    // The first open also loads the database driver.
    double openMs[2] = { 0, 0 };
    for (int i = 0; i < 2; ++i) {
        auto probe = provider.createConnection();
        QElapsedTimer clock;
        clock.start();
        if (!probe->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;")
                             .arg(file))) {
            std::fprintf(stderr, "%s\n", qPrintable(probe->LastError().description()));
            return 1;
        }
        openMs[i] = double(clock.nsecsElapsed()) / 1e6;
    }
    auto cnn = provider.createConnection();
    if (!cnn->Open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =%1;UId=;Pwd=;").arg(file))) {
        std::fprintf(stderr, "%s\n", qPrintable(cnn->LastError().description()));
        return 1;
    }
    const QByteArray sql
        = TsqlTranslator::translate(QString::fromLatin1(Query)).statements.value(0).sql.toUtf8();

    Run best;
    Run bestRaw;
    for (int i = 0; i < runs; ++i) {
        const Run r = providerRun(*cnn);
        const Run raw = rawRun(file, sql);
        if (i == 0 || r.seconds < best.seconds)
            best = r;
        if (i == 0 || raw.seconds < bestRaw.seconds)
            bestRaw = raw;
    }
    if (best.rows == 0 || bestRaw.rows == 0 || best.rows != bestRaw.rows) {
        std::fprintf(
            stderr, "Las lecturas no coinciden: %lld y %lld filas.\n", best.rows, bestRaw.rows);
        return 1;
    }
    const double rate = best.rows / best.seconds;
    const double rawRate = bestRaw.rows / bestRaw.seconds;
    std::printf("Filas: %lld\n", best.rows);
    std::printf("Proveedor (solo avance): %.0f filas/s (%.1f ms)\n", rate, best.seconds * 1000);
    std::printf(
        "SQLite directo:          %.0f filas/s (%.1f ms)\n", rawRate, bestRaw.seconds * 1000);
    std::printf("Relación proveedor / directo: %.2f\n", rate / rawRate);
    std::printf("Apertura de la conexión: %.1f ms (la primera, con el controlador: %.1f ms)\n",
        openMs[1], openMs[0]);
    std::printf("Objetivo 250000 filas/s: %s\n", rate >= 250000 ? "cumplido" : "NO cumplido");
    return 0;
}
