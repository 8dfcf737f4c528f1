// One sales voucher of the demo database with its rows made from the input: its header in
// V_MV_CPTE, its item rows in V_MV_CPTEINSUMOS and its notes in V_MV_CPTE_Observ, each column
// either the demo voucher's value or any value SQLite can store (NULL, integer, real with its
// infinities, text of any bytes, blob). Then the voucher's print buffer is filled and the voucher
// printed to PDF, as `rp_voucher buffer` and `rp_voucher print --pdf` do, in this process, on a
// session opened once. Every input replaces the voucher's rows of the one before.
// RP_FUZZ_MENSAJES set in the environment shows what the subcommands said about each input.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "demo/DemoDatabase.h"
#include "platform/qt/SqliteText.h"
#include "tools/SesionVoucher.h"
#include "tools/SubcomandosVoucher.h"

namespace {

// The invoice whose rows the input makes; its item rows and a note of another invoice are the
// values a column keeps when the input says so.
constexpr const char* kTc = "FC";
constexpr const char* kId = "000200001201A";
// Beyond one page of items (the demo prints 30 lines a page).
constexpr int kMaxItems = 40;
constexpr int kMaxNotas = 2;
constexpr size_t kMaxTexto = 600;

[[noreturn]] void falla(sqlite3* db, const char* que)
{
    std::fprintf(stderr, "fuzz_voucher_rows: %s: %s\n", que, db ? sqlite3_errmsg(db) : "");
    std::abort();
}

// The rows of one table that serve as the values kept: every column of each, as stored.
struct Plantilla
{
    const char* tabla = nullptr;
    std::vector<QByteArray> columnas;
    std::vector<std::vector<sqlite3_value*>> filas;
    sqlite3_stmt* inserta = nullptr;
};

void leePlantilla(sqlite3* db, Plantilla& p, const char* donde)
{
    sqlite3_stmt* lee = nullptr;
    const QByteArray sql
        = QByteArray("SELECT * FROM ") + p.tabla + " WHERE " + donde + " ORDER BY ID";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &lee, nullptr) != SQLITE_OK)
        falla(db, sql.constData());
    const int n = sqlite3_column_count(lee);
    for (int c = 0; c < n; ++c)
        p.columnas.emplace_back(sqlite3_column_name(lee, c));
    while (sqlite3_step(lee) == SQLITE_ROW) {
        std::vector<sqlite3_value*> fila;
        for (int c = 0; c < n; ++c)
            fila.push_back(sqlite3_value_dup(sqlite3_column_value(lee, c)));
        p.filas.push_back(std::move(fila));
    }
    sqlite3_finalize(lee);
    if (p.filas.empty())
        falla(db, donde);
    QByteArray inserta = QByteArray("INSERT INTO ") + p.tabla + " VALUES (?";
    for (int c = 1; c < n; ++c)
        inserta += ",?";
    inserta += ")";
    if (sqlite3_prepare_v2(db, inserta.constData(), -1, &p.inserta, nullptr) != SQLITE_OK)
        falla(db, inserta.constData());
}

// A value of the storage class the input picks; `guardado`, the demo's, when it picks none.
void ligaValor(FuzzedDataProvider& in, sqlite3_stmt* st, int k, sqlite3_value* guardado)
{
    static constexpr double kReales[] = { std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 0.0,
        -0.0, std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 0.005, -1.0,
        1e15, 9.2233720368547758e18 };
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 1:
        sqlite3_bind_null(st, k);
        return;
    case 2:
        sqlite3_bind_int64(st, k, in.ConsumeIntegral<int64_t>());
        return;
    case 3:
        sqlite3_bind_int64(st, k, in.ConsumeIntegralInRange<int64_t>(-100, 100000));
        return;
    case 4:
        sqlite3_bind_double(st, k,
            in.ConsumeBool() ? in.PickValueInArray(kReales) : in.ConsumeFloatingPoint<double>());
        return;
    case 5: {
        // Any bytes, also what is no UTF-8: SQLite stores the text as it is given.
        const std::string texto = in.ConsumeRandomLengthString(kMaxTexto);
        sqlite3_bind_text(st, k, texto.data(), int(texto.size()), SQLITE_TRANSIENT);
        return;
    }
    case 6: {
        const std::string bytes = in.ConsumeRandomLengthString(kMaxTexto);
        sqlite3_bind_blob(st, k, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        sqlite3_bind_value(st, k, guardado);
        return;
    }
}

// Columns that name the voucher a row belongs to keep the voucher's values; a row's own ID is
// the header's (so the voucher keeps its place) or a new one.
void insertaFila(
    FuzzedDataProvider& in, Plantilla& p, const std::vector<sqlite3_value*>& plantilla, bool conId)
{
    sqlite3_stmt* st = p.inserta;
    for (size_t c = 0; c < p.columnas.size(); ++c) {
        const QByteArray& columna = p.columnas[c];
        const int k = int(c) + 1;
        if (columna.compare("ID", Qt::CaseInsensitive) == 0) {
            if (conId)
                sqlite3_bind_value(st, k, plantilla[c]);
            else
                sqlite3_bind_null(st, k);
        } else if (columna.compare("TC", Qt::CaseInsensitive) == 0)
            sqlite3_bind_text(st, k, kTc, -1, SQLITE_STATIC);
        else if (columna.compare("IDCOMPROBANTE", Qt::CaseInsensitive) == 0)
            sqlite3_bind_text(st, k, kId, -1, SQLITE_STATIC);
        else if (columna.compare("IDCOMPLEMENTO", Qt::CaseInsensitive) == 0)
            sqlite3_bind_int(st, k, 0);
        else
            ligaValor(in, st, k, plantilla[c]);
    }
    // Only the columns that name the voucher refuse a NULL, and they keep the voucher's values;
    // a row that fails all the same is left out, and the voucher prints without it.
    sqlite3_step(st);
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
}

void ejecuta(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        falla(db, sql);
}

struct Entorno
{
    QTemporaryDir carpeta;
    QString base;
    QString pdf;
    sqlite3* db = nullptr;
    Plantilla cabecera { "V_MV_CPTE", {}, {}, nullptr };
    Plantilla insumos { "V_MV_CPTEINSUMOS", {}, {}, nullptr };
    Plantilla notas { "V_MV_CPTE_Observ", {}, {}, nullptr };
    std::unique_ptr<SesionVoucher> sesion;

    ~Entorno()
    {
        sesion.reset();
        for (Plantilla* p : { &cabecera, &insumos, &notas }) {
            sqlite3_finalize(p->inserta);
            for (const auto& fila : p->filas)
                for (sqlite3_value* valor : fila)
                    sqlite3_value_free(valor);
        }
        sqlite3_close(db);
    }
};

Entorno* gEntorno = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Pages are laid out and drawn with the fonts: a widget application, with no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept until the process ends, and then given back before Qt's own statics (the database
    // connections' registry among them), as a tool's main() gives them back.
    static QApplication* app = new QApplication(*argc, *argv);
    auto* e = new Entorno;
    gEntorno = e;
    if (!e->carpeta.isValid())
        falla(nullptr, "carpeta temporal");
    // What the program writes beside its work (error log, data folder, temporary files) goes
    // into the run's own folder, not into the account's.
    const QString raiz = e->carpeta.path();
    for (const char* carpeta : { "datos", "temp" })
        QDir(raiz).mkpath(QString::fromLatin1(carpeta));
    qputenv("XDG_DATA_HOME", QFile::encodeName(raiz + QStringLiteral("/datos")));
    qputenv("TEMP", QFile::encodeName(raiz + QStringLiteral("/temp")));
    qputenv("TMPDIR", QFile::encodeName(raiz + QStringLiteral("/temp")));

    DemoDatabase::Options opciones;
    opciones.folder = raiz + QStringLiteral("/db");
    opciones.articles = 20;
    const QString error = DemoDatabase::write(opciones);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "fuzz_voucher_rows: %s\n", qPrintable(error));
        std::abort();
    }
    e->base = opciones.folder + QStringLiteral("/DEMO.db");
    e->pdf = raiz + QStringLiteral("/pdf");

    if (sqlite3_open_v2(
            QFile::encodeName(e->base).constData(), &e->db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        falla(e->db, "abrir la base");
    registerSqliteText(e->db);
    sqlite3_busy_timeout(e->db, 5000);
    const QByteArray comprobante
        = QByteArray("TC = '") + kTc + "' AND IDCOMPROBANTE = '" + kId + "'";
    leePlantilla(e->db, e->cabecera, comprobante.constData());
    leePlantilla(e->db, e->insumos, comprobante.constData());
    leePlantilla(e->db, e->notas, "TC = 'FC'");

    e->sesion = std::make_unique<SesionVoucher>(e->base, QString(), QString());
    if (!e->sesion->error().isEmpty()) {
        std::fprintf(stderr, "fuzz_voucher_rows: %s\n", qPrintable(e->sesion->error()));
        std::abort();
    }
    std::atexit([] {
        delete gEntorno;
        gEntorno = nullptr;
        delete app;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Entorno& e = *gEntorno;
    FuzzedDataProvider in(data, size);

    ejecuta(e.db, "BEGIN IMMEDIATE");
    for (const char* tabla : { "V_MV_CPTE", "V_MV_CPTEINSUMOS", "V_MV_CPTE_Observ" }) {
        const QByteArray sql = QByteArray("DELETE FROM ") + tabla + " WHERE TC = '" + kTc
            + "' AND IDCOMPROBANTE = '" + kId + "'";
        ejecuta(e.db, sql.constData());
    }
    insertaFila(in, e.cabecera, e.cabecera.filas.front(), true);
    const int items = in.ConsumeIntegralInRange(0, kMaxItems);
    for (int k = 0; k < items; ++k)
        insertaFila(in, e.insumos, e.insumos.filas[size_t(k) % e.insumos.filas.size()], false);
    const int notas = in.ConsumeIntegralInRange(0, kMaxNotas);
    for (int k = 0; k < notas; ++k)
        insertaFila(in, e.notas, e.notas.filas.front(), false);
    ejecuta(e.db, "COMMIT");

    // Each print starts from an empty folder: the files of the input before are not kept.
    QDir(e.pdf).removeRecursively();
    QString mensajes;
    QTextStream salida(&mensajes);
    const QStringList comprobante { QStringLiteral("--db"), e.base, QStringLiteral("--tc"),
        QString::fromLatin1(kTc), QStringLiteral("--id"), QString::fromLatin1(kId) };
    bufferEnSesion(leeOpciones(comprobante + QStringList { QStringLiteral("--filas") },
                       { QStringLiteral("--db"), QStringLiteral("--tc"), QStringLiteral("--id") },
                       { QStringLiteral("--filas") }),
        salida, salida);
    printEnSesion(
        leeOpciones(comprobante
                + QStringList { QStringLiteral("--una-copia"), QStringLiteral("--pdf"), e.pdf },
            { QStringLiteral("--db"), QStringLiteral("--tc"), QStringLiteral("--id"),
                QStringLiteral("--pdf") },
            { QStringLiteral("--una-copia") }),
        salida);
    if (qEnvironmentVariableIsSet("RP_FUZZ_MENSAJES"))
        std::fprintf(stderr, "%s", qPrintable(mensajes));
    return 0;
}
