#include "demo/DemoDatabase.h"

#include <functional>
#include <memory>
#include <vector>

#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/Utilidades.h"
#include "support/DemoDatabaseFiles.h"
#include "platform/qt/SqliteText.h"

namespace {

// Opens a generated file with the program's text semantics; closes it when done.
class Connection
{
public:
    explicit Connection(const QString& path)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_open = db.open() && registerSqliteText(db);
    }

    ~Connection() { QSqlDatabase::removeDatabase(m_name); }

    bool isOpen() const { return m_open; }

    // All values of one column of a statement, as text.
    QStringList column(const QString& sql, int index = 0) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        EXPECT_TRUE(query.exec(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        QStringList values;
        while (query.next())
            values << query.value(index).toString();
        return values;
    }

    QString scalar(const QString& sql) const
    {
        const QStringList values = column(sql);
        return values.isEmpty() ? QStringLiteral("<no row>") : values.first();
    }

private:
    QString m_name;
    bool m_open = false;
};

QByteArray digest(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

// Whether another process holds the lock of the file at `path`.
bool lockedElsewhere(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const bool free = ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
    file.close();
    return !free;
}

// Changes every article through the write-ahead journal and closes the file as a killed program
// leaves it: the changes only in the journal, which stays beside the file with its index.
void leaveJournal(const QString& path)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    registerSqliteText(db);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    EXPECT_EQ(sqlite3_exec(db,
                  "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                  "UPDATE V_MA_ARTICULOS SET Descripcion = Descripcion || ' (otra)'",
                  nullptr, nullptr, nullptr),
        SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class DemoDatabaseTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        ASSERT_EQ(DemoDatabase::write({ s_dir->path(), 300 }), QString());
    }

    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static QString demoPath() { return s_dir->filePath(QStringLiteral("DEMO.db")); }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* DemoDatabaseTest::s_dir = nullptr;

} // namespace

TEST_F(DemoDatabaseTest, holds_every_table_and_view_the_program_reads)
{
    Connection db(demoPath());
    ASSERT_TRUE(db.isOpen());
    const QStringList present = db.column(
        QStringLiteral("SELECT upper(name) FROM sqlite_master WHERE type IN ('table','view')"));

    const QStringList expected = {
        "TA_CONFIGURACION",
        "TA_USUARIOS",
        "MA_CUENTAS",
        "SS_MA_CUENTAS",
        "V_TA_UNIDADNEGOCIO",
        "V_MA_ARTICULOS",
        "VT_MA_ARTICULOS",
        "STK_MA_ARTICULOS",
        "V_TA_DEPOSITO",
        "SS_V_TA_DEPOSITO",
        "VT_CLIENTES",
        "VT_PROVEEDORES",
        "MA_CONTACTOS",
        "V_TA_VENDEDORES",
        "V_TA_TECNICOS",
        "V_MA_MANTENIMIENTOS",
        "V_TA_TAREAS",
        "TA_TAREAS",
        "TA_MENU",
        "CONTROL_ACCESO",
        "V_MV_CPTEACCIONES",
        "AUX_ERR",
        "MV_ASIENTOS",
        "SS_MV_ASIENTOS",
        "V_TA_FAMILIAS",
        "SS_V_TA_FAMILIAS",
        "V_TA_CAJAS",
        "SS_V_TA_CAJAS",
        "AC_CUENTASDIARIO",
        "SS_AC_CUENTASDIARIO",
        "AC_CUENTASDIARIO_CCOSTO",
        "SS_AC_CUENTAS_DIARIO_CCOSTO",
        "TA_REPORTES",
        "V_MV_CPTE_ELECTRONICOS",
        "V_MV_CPTE",
        "V_TA_CPTE",
        "V_MA_PRECIOSCAB",
        "V_MA_PRECIOS",
        "V_TA_RUBROS",
        "V_TA_UNIDAD",
        "V_TA_STATUS",
        "V_MV_MUTUALES",
        "V_MV_TROPA_STOCK",
        "V_TA_CPRA_VTA",
        "AUX_ANALISISCOSTOS",
        "TA_CONFIG_FORM",
        "V_MV_FALTANTES",
        "MA_POSICIONES",
        "TA_CCOSTO",
        "V_MA_EMAILMOV",
        "V_MA_EMAIL",
        "MA_CUENTASADIC",
        "MA_CONTACTOS_CUENTAS",
        "VT_E_MAIL",
        "VT_MA_CUENTAS_CONTACTOS",
        "TA_CLASIFICACIONES",
        "MA_CUENTAS_ARCHIVOS_RELACIONADOS",
        "C_MV_CPTE",
        "AUX_MV_CPTE",
        "AUX_MV_CPTEQR",
        "TA_MONEDAS",
        "V_MV_CPTE_OBSERV",
        "TA_COTIZACION",
        "V_MV_CPTEINSUMOS",
        "VT_V_MV_INSUMOS_NPPENDIENTE",
        "V_MV_CPTETAREAS",
        "V_MV_DIARIOS",
        "STK_DESPACHOS",
        "MV_APLICACION",
        "V_MV_STOCK",
        "TA_CONDIVA",
        "V_TA_BANCOS",
        "VE_SALDOAPLICACION",
        "TA_CUENTASIVA",
        "TA_CONFIG_IMP_CPTE",
    };
    for (const QString& name : expected)
        EXPECT_TRUE(present.contains(name)) << name.toStdString();
}

TEST_F(DemoDatabaseTest, seeds_the_rows_start_up_and_the_price_list_rely_on)
{
    Connection db(demoPath());
    struct Case
    {
        const char* sql;
        const char* expected;
    };
    const Case cases[] = {
        { "SELECT Administrador FROM TA_USUARIOS WHERE NOMBRE='admin' AND SISTEMA='zr417px'", "1" },
        { "SELECT Administrador FROM TA_USUARIOS WHERE NOMBRE='vendedor ' AND SISTEMA='ZR417PX'",
            "0" },
        // codes compare like the suite's server: the unit read back with a blank finds its row
        { "SELECT razon_social FROM v_ta_unidadNegocio WHERE codigo='   1 '",
            "Ferretería y Almacén El Progreso S.R.L." },
        { "SELECT PDV FROM V_TA_UNIDADNEGOCIO WHERE LTRIM(PDV)='0002'", "0002" },
        // keys are stored upper-cased by the writers and read in mixed case
        { "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='email_de'",
            "ventas@elprogreso.example" },
        { "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='nom_pclase4'", "Mayorista" },
        { "SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE LIKE 'NOM_PCLASE_'", "8" },
        { "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='NOMBRE'",
            "Ferretería y Almacén El Progreso S.R.L." },
        { "SELECT Nombre FROM TA_MENU INNER JOIN TA_TAREAS ON TA_TAREAS.TAREA = TA_MENU.Clave "
          "WHERE TA_TAREAS.USUARIO = 'VENDEDOR ' AND TA_MENU.Proceso LIKE '%Rp_Tarifolio%'",
            "Listas de Precios" },
        { "SELECT COUNT(*) FROM V_MA_ARTICULOS", "300" },
        // the twelve price-list reports and, LIKE ignoring case, the cost analysis
        { "SELECT COUNT(*) FROM TA_REPORTES WHERE NOMBRE LIKE 'RP_ListaPrecios%'", "13" },
        { "SELECT Archivo FROM TA_REPORTES WHERE NOMBRE='ma_pre2'", "MA_PRE2.rpt" },
        { "SELECT COUNT(*) FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND NOT GRUPO IS NULL "
          "GROUP BY TIPOLISTA",
            "4" },
        { "SELECT COUNT(*) FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='C'", "3" },
        { "SELECT PORCRECARGO FROM V_ta_Cpra_Vta WHERE idCOND_CPRA_VTA='   6'", "12.5" },
        // families form a tree: every code longer than three has its parent
        { "SELECT COUNT(*) FROM V_TA_FAMILIAS f WHERE length(f.IdFamilia) > 3 AND NOT EXISTS "
          "(SELECT 1 FROM V_TA_FAMILIAS p WHERE p.IdFamilia = substr(f.IdFamilia, 1, "
          "length(f.IdFamilia) - 3))",
            "0" },
        { "SELECT COUNT(*) FROM V_MA_ARTICULOS a WHERE NOT EXISTS (SELECT 1 FROM MA_PRECIOS p "
          "WHERE p.IdArticulo = a.IDARTICULO AND p.IdLista = '   1')",
            "0" },
        { "SELECT COUNT(*) > 0 FROM V_MA_ARTICULOS WHERE SUSPENDIDO <> 0", "1" },
        { "SELECT COUNT(*) > 0 FROM V_MA_PRECIOS WHERE FhOfertaDesde IS NOT NULL", "1" },
        { "SELECT COUNT(*) > 0 FROM V_MV_CPTEINSUMOS i INNER JOIN V_MV_CPTE c ON c.TC = i.TC "
          "AND c.IDCOMPROBANTE = i.IDCOMPROBANTE",
            "1" },
        { "SELECT COUNT(*) FROM V_MV_CPTE WHERE length(IDCOMPROBANTE) <> 13", "0" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(db.scalar(QString::fromUtf8(c.sql)).toStdString(), c.expected) << c.sql;
}

TEST_F(DemoDatabaseTest, demo_passwords_are_stored_scrambled)
{
    Connection db(demoPath());
    const struct
    {
        const char* user;
        const char* password;
    } users[] = { { DemoDatabase::kAdminUser, DemoDatabase::kAdminPassword },
        { DemoDatabase::kOrdinaryUser, DemoDatabase::kOrdinaryPassword } };

    for (const auto& u : users) {
        const QString stored
            = db.scalar(QStringLiteral("SELECT Password FROM TA_USUARIOS WHERE NOMBRE='%1'")
                            .arg(QString::fromLatin1(u.user)));

        EXPECT_NE(stored, QString::fromLatin1(u.password)) << u.user;
        EXPECT_EQ(Utilidades().Desencripta(stored).toStdString(), u.password) << u.user;
    }
}

TEST_F(DemoDatabaseTest, print_buffer_keeps_the_column_order_the_receipt_copies_rely_on)
{
    Connection db(demoPath());

    const QStringList columns = db.column(
        QStringLiteral("SELECT upper(name) FROM pragma_table_info('AUX_MV_CPTE') ORDER BY cid"));

    const QStringList leading = { "TC", "USUARIO", "TIPO", "SECCION", "IDCOMPROBANTE",
        "IDCOMPLEMENTO", "COLUMNA1", "COLUMNA2", "COLUMNA3", "COLUMNA4", "COLUMNA5", "COLUMNA6",
        "COLUMNA7", "COLUMNA8", "ENCABEZADO", "PIEDEPAGINA", "COLUMNA9", "COLUMNA10", "COLUMNA11" };
    EXPECT_EQ(columns.mid(0, leading.size()), leading);
}

TEST_F(DemoDatabaseTest, price_list_orders_come_from_indexes)
{
    Connection db(demoPath());
    const QString base = QStringLiteral(
        "EXPLAIN QUERY PLAN SELECT * FROM V_MA_PRECIOS INNER JOIN V_MA_ARTICULOS "
        "ON V_MA_PRECIOS.IdArticulo = V_MA_ARTICULOS.IDARTICULO LEFT JOIN STK_MA_ARTICULOS "
        "ON STK_MA_ARTICULOS.IDARTICULO = V_MA_ARTICULOS.IDARTICULO "
        "WHERE V_MA_PRECIOS.TIPOLISTA = 'V' ORDER BY V_MA_PRECIOS.IdLista, ");
    const char* const orders[] = {
        "V_MA_ARTICULOS.IDARTICULO",
        "V_MA_ARTICULOS.Descripcion",
        "V_MA_ARTICULOS.idrubro, V_MA_ARTICULOS.IDARTICULO",
        "V_MA_ARTICULOS.idrubro, V_MA_ARTICULOS.Descripcion",
        "V_MA_ARTICULOS.idfamilia, V_MA_ARTICULOS.IDARTICULO",
        "V_MA_ARTICULOS.idfamilia, V_MA_ARTICULOS.Descripcion",
        "V_MA_ARTICULOS.cuentaProveedor, V_MA_ARTICULOS.IDARTICULO",
        "V_MA_ARTICULOS.cuentaProveedor, V_MA_ARTICULOS.Descripcion",
    };
    for (const char* order : orders) {
        // The plan's fourth column describes each step; a sort step means no index delivered it.
        const QStringList steps = db.column(base + QString::fromLatin1(order), 3);

        EXPECT_FALSE(steps.isEmpty());
        EXPECT_FALSE(steps.join(QLatin1Char('\n')).contains(QLatin1String("TEMP B-TREE")))
            << order << "\n"
            << steps.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(DemoDatabase, same_options_write_the_same_bytes)
{
    QTemporaryDir first;
    QTemporaryDir second;

    ASSERT_EQ(DemoDatabase::write({ first.path(), 250 }), QString());
    ASSERT_EQ(DemoDatabase::write({ second.path(), 250 }), QString());

    for (const char* name : { "DEMO.db", "KZQ_ESTADISTICAS.db" })
        EXPECT_EQ(digest(first.filePath(QString::fromLatin1(name))),
            digest(second.filePath(QString::fromLatin1(name))))
            << name;
    EXPECT_EQ(QDir(first.path()).entryList(QDir::Files),
        (QStringList { QStringLiteral("Comanderas.cfg"), QStringLiteral("DEMO.db"),
            QStringLiteral("KZQ_ESTADISTICAS.db") }));
}

// Writers into one folder at the same time: each writes a file of its own and puts it in place in
// one step, so every one of them ends well and the folder holds a whole database all along.
TEST(DemoDatabase, writers_into_one_folder_at_once_all_end_well)
{
    QTemporaryDir dir;
    QTemporaryDir lone;
    ASSERT_EQ(DemoDatabase::write({ lone.path(), 200 }), QString());
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());
    const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
    std::vector<std::unique_ptr<QProcess>> writers;

    for (int i = 0; i < 3; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QStringLiteral(RP_DEMO_DB_EXE),
            { QStringLiteral("--out"), dir.path(), QStringLiteral("--articles"),
                QStringLiteral("200") });
    }
    bool alwaysThere = true;
    for (const auto& writer : writers) {
        while (!writer->waitForFinished(1))
            alwaysThere = alwaysThere && QFileInfo(demo).isFile();
    }

    for (const auto& writer : writers) {
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }
    EXPECT_TRUE(alwaysThere);
    EXPECT_EQ(digest(demo), digest(lone.filePath(QStringLiteral("DEMO.db"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

// A measuring run makes its database only when there is none: one another run placed first, and
// may be reading, is kept.
TEST(DemoDatabase, keeping_an_existing_file_leaves_it_as_it_is)
{
    QTemporaryDir dir;
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 5 }), QString());
    const QByteArray before = digest(dir.filePath(QStringLiteral("DEMO.db")));
    DemoDatabase::Options options { dir.path(), 7 };
    options.keepExisting = true;

    EXPECT_EQ(DemoDatabase::write(options), QString());

    EXPECT_EQ(digest(dir.filePath(QStringLiteral("DEMO.db"))), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST(DemoDatabase, statistics_database_holds_the_time_out)
{
    QTemporaryDir dir;
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 1 }), QString());
    Connection db(dir.filePath(QStringLiteral("KZQ_ESTADISTICAS.db")));

    EXPECT_EQ(
        db.scalar(QStringLiteral(
            "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='TimeOut' AND GRUPO='BASEDEDATOS'")),
        QStringLiteral("90"));
    EXPECT_EQ(
        db.scalar(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE='ftp_codigocta'")),
        QStringLiteral("DEMO0001"));
}

TEST(DemoDatabase, bad_options_get_a_message_and_leave_the_old_files)
{
    QTemporaryDir dir;
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 5 }), QString());
    const QByteArray before = digest(dir.filePath(QStringLiteral("DEMO.db")));
    QFile blocker(dir.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_EQ(DemoDatabase::write({ dir.path(), 0 }),
        QStringLiteral("La cantidad de artículos debe ser 1 o más."));
    EXPECT_EQ(DemoDatabase::write({ blocker.fileName(), 5 }),
        QStringLiteral("No se puede crear la carpeta %1").arg(blocker.fileName()));
    EXPECT_EQ(digest(dir.filePath(QStringLiteral("DEMO.db"))), before);
}

TEST(DemoDatabase, tool_writes_the_files_for_other_tests)
{
    QTemporaryDir dir;

    const QString path = testsupport::writeDemoDatabases(dir.path(), 20);

    ASSERT_EQ(path, dir.filePath(QStringLiteral("DEMO.db")));
    Connection db(path);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")).toStdString(), "20");
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("KZQ_ESTADISTICAS.db"))));
}

// A program killed while it had the database open leaves its write-ahead journal beside it: that
// journal belongs to the old file, and the new file placed beside it must never read it as its own.
TEST(DemoDatabase, a_journal_a_killed_program_left_never_reaches_the_new_file)
{
    QTemporaryDir dir;
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());
    const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
    leaveJournal(demo);
    ASSERT_TRUE(QFile::exists(demo + QStringLiteral("-wal")));

    EXPECT_EQ(DemoDatabase::write({ dir.path(), 300 }), QString());

    for (const char* suffix : { "-wal", "-shm", "-journal" })
        EXPECT_FALSE(QFile::exists(demo + QLatin1String(suffix))) << suffix;
    Connection db(demo);
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    EXPECT_EQ(
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")), QStringLiteral("300"));
}

// Journals beside a missing database belong to no file the writer can take them into: each is
// removed before the new file is placed, or the next program would take it for the new file's.
TEST(DemoDatabase, journals_beside_a_missing_file_are_removed_before_it_is_placed)
{
    for (const char* suffix : { "-wal", "-shm", "-journal" }) {
        SCOPED_TRACE(suffix);
        QTemporaryDir dir;
        const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
        QFile journal(demo + QLatin1String(suffix));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly) && journal.write("de otro archivo") > 0);
        journal.close();

        EXPECT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());

        EXPECT_FALSE(QFile::exists(journal.fileName()));
        EXPECT_EQ(Connection(demo).scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
            QStringLiteral("200"));
    }
}

// Other accounts of a shared installation read the demo files: they get the mode SQLite gives
// the files it makes.
TEST(DemoDatabase, files_are_readable_by_all_under_the_usual_umask)
{
    QTemporaryDir dir;
    const mode_t before = ::umask(022);

    const QString error = DemoDatabase::write({ dir.path(), 50 });

    ::umask(before);
    EXPECT_EQ(error, QString());
    for (const char* name : { "DEMO.db", "KZQ_ESTADISTICAS.db" }) {
        struct stat datos = {};
        ASSERT_EQ(
            ::stat(QFile::encodeName(dir.filePath(QLatin1String(name))).constData(), &datos), 0);
        EXPECT_EQ(datos.st_mode & 07777, 0644u) << name;
    }
}

// A program still on the old file would share its journal with every program on the new one,
// or read on in a file no longer there: the writer leaves the file to it, says so and ends with
// an error, and replaces neither file, as both are checked first; once the program has closed
// it, the same run replaces them.
TEST(DemoDatabase, a_file_a_program_has_open_is_not_replaced)
{
    const struct
    {
        const char* held;
        const char* how; // the statement the program holds the file with
    } rows[] = {
        // As the program opens a file it writes: with the write-ahead journal.
        { "DEMO.db", "PRAGMA journal_mode = WAL" },
        { "KZQ_ESTADISTICAS.db", "PRAGMA journal_mode = WAL" },
        // In its own journal a program holds the file only while it reads or writes it.
        { "DEMO.db", "BEGIN" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.held) + ", " + row.how);
        QTemporaryDir dir;
        ASSERT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());
        const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
        const QString open = dir.filePath(QLatin1String(row.held));
        const QStringList run { QStringLiteral("--out"), dir.path(), QStringLiteral("--articles"),
            QStringLiteral("300") };
        QProcess writer;
        {
            Connection program(open);
            program.column(QLatin1String(row.how));
            ASSERT_FALSE(
                program.scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")).isEmpty());

            writer.start(QStringLiteral(RP_DEMO_DB_EXE), run);
            ASSERT_TRUE(writer.waitForFinished(60000));

            EXPECT_EQ(writer.exitCode(), 1);
            EXPECT_EQ(QString::fromUtf8(writer.readAllStandardError()),
                QStringLiteral(
                    "No se pudo generar la base de demostración: No se puede reemplazar %1: "
                    "otro programa lo tiene abierto; ciérrelo y vuelva a intentarlo. Quedó "
                    "como estaba.\n")
                    .arg(open));
            EXPECT_EQ(
                Connection(demo).scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
                QStringLiteral("200"));
            EXPECT_TRUE(QDir(dir.path()).entryList({ QStringLiteral("*.nuevo") }).isEmpty());
        }

        writer.start(QStringLiteral(RP_DEMO_DB_EXE), run);
        ASSERT_TRUE(writer.waitForFinished(60000));

        EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
        EXPECT_EQ(Connection(demo).scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
            QStringLiteral("300"));
    }
}

// The name's turn is a lock on a hidden file beside the database, in a folder others may write:
// what stands at that name and is no file (a link, a FIFO) is neither followed nor waited on.
// The run ends at once naming it, with nothing made where a link points.
TEST(DemoDatabase, a_turn_name_that_is_no_file_is_refused_at_once)
{
    QTemporaryDir dir;
    const QString turn = dir.filePath(QStringLiteral(".DEMO.db.colocacion"));
    const QString elsewhere = dir.filePath(QStringLiteral("fuera"));
    const struct
    {
        const char* label;
        std::function<bool()> plant;
    } rows[] = {
        { "a link to nothing", [&] { return QFile::link(elsewhere, turn); } },
        { "a FIFO", [&] { return ::mkfifo(QFile::encodeName(turn).constData(), 0666) == 0; } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(row.plant());

        const QString error = DemoDatabase::write({ dir.path(), 50 });

        EXPECT_TRUE(error.contains(turn)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(elsewhere));
        ASSERT_EQ(::unlink(QFile::encodeName(turn).constData()), 0);
    }
}

// Whether the process `pid` waits for a lock on a file (a blocked request in /proc/locks).
bool waitsForLock(qint64 pid)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray waiter = " " + QByteArray::number(pid) + " ";
    for (const QByteArray& line : locks.readAll().split('\n')) {
        if (line.contains("->") && line.contains(waiter))
            return true;
    }
    return false;
}

// Where no file stands yet, a writer finds the name free and clears journals beside it only in
// the name's turn: a file another run places meanwhile, and a program opens, keeps its journal,
// and is not replaced while open.
TEST(DemoDatabase, a_file_placed_while_a_writer_waits_for_the_name_keeps_its_journal)
{
    QTemporaryDir other;
    ASSERT_EQ(DemoDatabase::write({ other.path(), 200 }), QString());
    QTemporaryDir dir;
    const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
    QFile turn(dir.filePath(QStringLiteral(".DEMO.db.colocacion")));
    ASSERT_TRUE(turn.open(QIODevice::WriteOnly));
    ASSERT_EQ(::flock(turn.handle(), LOCK_EX), 0);
    QProcess writer;
    writer.start(QStringLiteral(RP_DEMO_DB_EXE),
        { QStringLiteral("--out"), dir.path(), QStringLiteral("--articles"),
            QStringLiteral("50") });
    while (!waitsForLock(writer.processId()) && !writer.waitForFinished(1)) { }
    ASSERT_EQ(writer.state(), QProcess::Running) << writer.readAllStandardError().toStdString();

    // Another run's file, placed and opened by a program meanwhile.
    ASSERT_TRUE(QFile::rename(other.filePath(QStringLiteral("DEMO.db")), demo));
    Connection program(demo);
    program.column(QStringLiteral("PRAGMA journal_mode = WAL"));
    ASSERT_EQ(program.scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
        QStringLiteral("200"));
    ASSERT_TRUE(QFile::exists(demo + QStringLiteral("-wal")));
    turn.close();
    ASSERT_TRUE(writer.waitForFinished(60000));

    EXPECT_EQ(writer.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(writer.readAllStandardError())
                    .contains(QStringLiteral("No se puede reemplazar %1").arg(demo)));
    EXPECT_TRUE(QFile::exists(demo + QStringLiteral("-wal")));
    EXPECT_EQ(program.scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
        QStringLiteral("200"));
}

// Runs killed with kill -9 at any moment leave a whole database in the folder. The files they
// were writing are removed by a later run; the file of a run still writing is left to it.
TEST(DemoDatabase, killed_writers_leave_a_whole_database_and_their_files_go_with_a_later_run)
{
    QTemporaryDir dir;
    ASSERT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());
    const QString demo = dir.filePath(QStringLiteral("DEMO.db"));
    const QStringList run { QStringLiteral("--out"), dir.path(), QStringLiteral("--articles"),
        QStringLiteral("3000") };
    const auto workFiles
        = [&] { return QDir(dir.path()).entryList({ QStringLiteral("*.nuevo") }, QDir::Files); };
    // The file a run has made since `before`, once it has reached `size`.
    const auto madeSince = [&](const QStringList& before, qint64 size) {
        for (const QString& name : workFiles()) {
            if (!before.contains(name) && QFileInfo(dir.filePath(name)).size() >= size)
                return name;
        }
        return QString();
    };

    for (const qint64 size : { qint64(0), qint64(2 << 20) }) {
        const QStringList before = workFiles();
        QProcess writer;
        writer.start(QStringLiteral(RP_DEMO_DB_EXE), run);
        QString own;
        while ((own = madeSince(before, size)).isEmpty() && !writer.waitForFinished(1)) { }
        ASSERT_EQ(writer.state(), QProcess::Running) << size;

        writer.kill();
        writer.waitForFinished();

        Connection db(demo);
        EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
            QStringLiteral("200"));
        // The earlier run's file went when this one started.
        EXPECT_EQ(workFiles(), QStringList { own }) << size;
    }
    const QStringList left = workFiles();
    QProcess live;
    live.start(QStringLiteral(RP_DEMO_DB_EXE), run);
    QString own;
    while ((own.isEmpty() || !lockedElsewhere(dir.filePath(own))) && !live.waitForFinished(1))
        own = madeSince(left, 0);
    ASSERT_EQ(live.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(live.processId()), SIGSTOP);

    EXPECT_EQ(DemoDatabase::write({ dir.path(), 200 }), QString());

    EXPECT_EQ(workFiles(), QStringList { own });
    ::kill(static_cast<pid_t>(live.processId()), SIGCONT);
    ASSERT_TRUE(live.waitForFinished(60000));
    EXPECT_EQ(live.exitCode(), 0) << live.readAllStandardError().toStdString();
    EXPECT_TRUE(workFiles().isEmpty());
    EXPECT_EQ(Connection(demo).scalar(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")),
        QStringLiteral("3000"));
}
