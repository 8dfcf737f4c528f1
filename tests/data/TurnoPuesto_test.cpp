#include "data/TurnoPuesto.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "support/FakeAdoProvider.h"

namespace {

using testsupport::FakeAdoConnection;

const QString Clave = QStringLiteral("CAJA1|ANA");

class TurnoPuestoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_base = m_dir.filePath(QStringLiteral("DEMO.db"));
        QFile base(m_base);
        ASSERT_TRUE(base.open(QIODevice::WriteOnly));
        db().gServidor = QStringLiteral("SQLITE");
        db().gDBName = m_base;
    }

    DB_Dll& db() { return m_objects.gDB; }
    std::unique_ptr<TurnoPuesto> toma(int segundos = 30, const QString& clave = Clave)
    {
        db().gCnn().setCommandTimeout(segundos);
        return std::make_unique<TurnoPuesto>(
            db(), clave, [this](const QString& aviso) { m_avisos.append(aviso); });
    }
    int esperas() const
    {
        return int(m_avisos.filter(QStringLiteral("se espera a que termine")).size());
    }

    QTemporaryDir m_dir;
    QString m_base;
    QStringList m_avisos;
    testsupport::FakeAdoProvider m_provider;
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
};

TEST_F(TurnoPuestoTest, a_held_turn_is_waited_for_up_to_the_time_out_and_names_its_holder)
{
    const auto primero = toma();
    ASSERT_TRUE(primero->tomado()) << primero->error().toStdString();
    QElapsedTimer reloj;
    reloj.start();

    const auto segundo = toma(2);

    EXPECT_GE(reloj.elapsed(), 2000);
    EXPECT_LT(reloj.elapsed(), 10000);
    EXPECT_FALSE(segundo->tomado());
    EXPECT_EQ(esperas(), 1) << m_avisos.join(u'\n').toStdString();
    const QString cuenta = QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
    for (const QString& parte :
        { m_base, Clave, QStringLiteral("(proceso %1 ").arg(QCoreApplication::applicationPid()),
            QStringLiteral(" del usuario ") + cuenta + QStringLiteral(", iniciado el "),
            QStringLiteral("se esperó 2 s") })
        EXPECT_TRUE(segundo->error().contains(parte)) << parte.toStdString() << "\n"
                                                      << segundo->error().toStdString();
}

// Any process may give itself a name; what a terminal would act on in it is not passed on.
TEST_F(TurnoPuestoTest, the_holder_s_own_name_is_shown_without_its_control_characters)
{
    QProcess titular;
    titular.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"),
            QStringLiteral("import ctypes, fcntl, sys\n"
                           "ctypes.CDLL(None).prctl(15, b'x\\nFALSO\\x1b[31m', 0, 0, 0)\n"
                           "turno = open(sys.argv[1], 'a')\n"
                           "fcntl.flock(turno, fcntl.LOCK_EX)\n"
                           "print('tomado', flush=True)\n"
                           "sys.stdin.read()\n"),
            TurnoPuesto::archivoTurno(m_base, Clave) });
    ASSERT_TRUE(titular.waitForReadyRead(30000)) << titular.readAllStandardError().toStdString();
    const qint64 proceso = titular.processId();

    const auto turno = toma(1);

    titular.closeWriteChannel();
    titular.waitForFinished(30000);
    EXPECT_FALSE(turno->tomado());
    EXPECT_TRUE(turno->error().contains(
        QStringLiteral("(proceso %1 x?FALSO?[31m del usuario ").arg(proceso)))
        << turno->error().toStdString();
    EXPECT_FALSE(turno->error().contains(u'\n'));
    EXPECT_FALSE(turno->error().contains(u'\x1b'));
}

// Each workstation has a turn of its own: a run of another one never waits for this one.
TEST_F(TurnoPuestoTest, runs_of_two_workstations_go_through_at_once)
{
    const auto primero = toma();

    const auto otro = toma(1, QStringLiteral("CAJA2|ANA"));

    EXPECT_TRUE(primero->tomado()) << primero->error().toStdString();
    EXPECT_TRUE(otro->tomado()) << otro->error().toStdString();
    EXPECT_EQ(esperas(), 0) << m_avisos.join(u'\n').toStdString();
}

TEST_F(TurnoPuestoTest, a_turn_given_back_is_taken_at_once)
{
    toma().reset();

    const auto otra = toma();

    EXPECT_TRUE(otra->tomado());
    EXPECT_TRUE(m_avisos.isEmpty()) << m_avisos.join(u'\n').toStdString();
}

// In a folder where accounts that may not write the database can make files, every workstation
// takes the folder's one turn: a run waiting for another workstation's is told so, by the holder's
// run, never as if its own workstation were working. A database with a second name is only read:
// its run takes no turn and makes nothing beside it.
TEST_F(TurnoPuestoTest, the_turn_of_a_shared_folder_is_told_as_the_folder_s)
{
    const QByteArray carpeta = QFile::encodeName(m_dir.path());
    ASSERT_EQ(::chmod(QFile::encodeName(m_base).constData(), 0644), 0);
    const QString otro = QStringLiteral("CAJA2|BETO");
    // Each a way for an account that may not write the database to make files beside it.
    const struct
    {
        const char* caso;
        mode_t modo;
        bool deOtraCuenta; // of uid 1235, which root alone can give it
    } filas[] = {
        { "a sticky folder every account writes", 01777, false },
        { "a folder every account but its group writes", 0757, false },
        { "a folder its group writes", 0775, false },
        { "a folder of another account's", 0755, true },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.caso);
        if (f.deOtraCuenta) {
            if (::geteuid() != 0) {
                ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
                continue;
            }
            ASSERT_EQ(::chown(carpeta.constData(), 1235, 1235), 0);
        }
        ASSERT_EQ(::chmod(carpeta.constData(), f.modo), 0);
        m_avisos.clear();
        const auto primero = toma();
        ASSERT_TRUE(primero->tomado()) << primero->error().toStdString();

        const auto segundo = toma(1, otro);

        EXPECT_FALSE(segundo->tomado());
        for (const QString& texto : { m_avisos.value(0), segundo->error() }) {
            EXPECT_TRUE(texto.startsWith(QStringLiteral("Otra ejecución trabaja en la carpeta %1, "
                                                        "donde todos los puestos de todas las "
                                                        "bases toman un solo turno (proceso %2 ")
                                             .arg(m_dir.path())
                                             .arg(QCoreApplication::applicationPid())))
                << texto.toStdString();
            EXPECT_FALSE(texto.contains(otro)) << texto.toStdString();
        }
    }

    ASSERT_EQ(::chown(carpeta.constData(), ::geteuid(), ::getegid()), 0);
    ASSERT_EQ(::chmod(carpeta.constData(), 0700), 0);
    m_avisos.clear();
    const QString segundoNombre = m_dir.filePath(QStringLiteral("DEMO2.db"));
    ASSERT_EQ(::link(QFile::encodeName(m_base), QFile::encodeName(segundoNombre)), 0);
    for (const QString& nombre : { m_base, segundoNombre }) {
        db().gDBName = nombre;
        const auto primero = toma();
        const auto segundo = toma(1);

        EXPECT_TRUE(primero->tomado() && segundo->tomado()) << segundo->error().toStdString();
        EXPECT_FALSE(QFileInfo::exists(TurnoPuesto::archivoTurno(nombre, Clave)));
    }
    EXPECT_TRUE(m_avisos.isEmpty()) << m_avisos.join(u'\n').toStdString();
}

// Whatever stands at the lock's name that is no plain file of its own is neither followed, waited
// on nor written, blocks no run, and the turn still keeps two runs apart.
TEST_F(TurnoPuestoTest, what_does_not_serve_at_the_name_blocks_nothing_and_stays_as_it_was)
{
    const QString fuera = m_dir.filePath(QStringLiteral("fuera"));
    const auto hayFuera = [&] {
        QFile destino(fuera);
        return destino.open(QIODevice::WriteOnly) && destino.write("x") == 1;
    };
    const struct
    {
        const char* caso;
        std::function<bool(const QByteArray&)> deja;
        const char* porque; // as the notice says it
    } filas[] = {
        { "a link to a file elsewhere",
            [&](const QByteArray& n) {
                return hayFuera() && ::symlink(QFile::encodeName(fuera), n) == 0;
            },
            "es un enlace" },
        { "a link to nothing",
            [&](const QByteArray& n) { return ::symlink(QFile::encodeName(fuera), n) == 0; },
            "es un enlace" },
        { "a FIFO", [](const QByteArray& n) { return ::mkfifo(n, 0666) == 0; },
            "no es un archivo común" },
        { "a folder", [](const QByteArray& n) { return ::mkdir(n, 0777) == 0; },
            "no es un archivo común" },
        // Closing a descriptor of that other file would drop the locks SQLite holds on it.
        { "a second name of another file",
            [&](const QByteArray& n) {
                return hayFuera() && ::link(QFile::encodeName(fuera), n) == 0;
            },
            "tiene otro nombre en el disco" },
    };
    const QByteArray nombre = QFile::encodeName(TurnoPuesto::archivoTurno(m_base, Clave));
    for (const auto& f : filas) {
        SCOPED_TRACE(f.caso);
        ASSERT_TRUE(f.deja(nombre));
        struct stat antes = {};
        ASSERT_EQ(::lstat(nombre, &antes), 0);
        const QByteArray destinoAntes = QFileInfo::exists(fuera)
            ? [&] {
                  QFile d(fuera);
                  d.open(QIODevice::ReadOnly);
                  return d.readAll();
              }()
            : QByteArray();
        m_avisos.clear();

        {
            const auto primero = toma();
            EXPECT_TRUE(primero->tomado()) << primero->error().toStdString();
            const auto segundo = toma(1);
            EXPECT_FALSE(segundo->tomado());
        }

        EXPECT_EQ(esperas(), 1) << m_avisos.join(u'\n').toStdString();
        EXPECT_TRUE(m_avisos.value(0).contains(
            QStringLiteral("no sirve (%1)").arg(QString::fromUtf8(f.porque))))
            << m_avisos.join(u'\n').toStdString();
        struct stat despues = {};
        ASSERT_EQ(::lstat(nombre, &despues), 0);
        EXPECT_EQ(despues.st_ino, antes.st_ino);
        EXPECT_EQ(despues.st_mode, antes.st_mode);
        EXPECT_EQ(despues.st_uid, antes.st_uid);
        EXPECT_EQ(despues.st_size, antes.st_size);
        if (destinoAntes.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(fuera));
        } else {
            QFile d(fuera);
            ASSERT_TRUE(d.open(QIODevice::ReadOnly));
            EXPECT_EQ(d.readAll(), destinoAntes);
        }
        ASSERT_EQ(QProcess::execute(QStringLiteral("rm"),
                      { QStringLiteral("-rf"), QString::fromLocal8Bit(nombre), fuera }),
            0);
    }
}

// Another account that may not write the database, here uid 1235, does what it may with the
// lock's name while a run holds the turn: the next run of the same workstation still waits for
// it, and what that account left stays as it left it. In a folder where it can make files the
// turn is the folder's; a file it left where it no longer can is not used either. (A run of an
// account that cannot open what was left is tried by rp_voucher's tests: this one is root.)
TEST_F(TurnoPuestoTest, another_account_that_may_not_write_the_database_cannot_part_two_runs)
{
    if (::geteuid() != 0) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the other account's side runs as uid 1235, which needs root (setpriv)";
    }
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "setpriv is missing";
        GTEST_SKIP() << "setpriv is missing: the other account's side cannot run as uid 1235";
    }
    // As uid 1235, `orden` given the lock's name as $1 and a folder of that account's as $2.
    const QString suya = m_dir.filePath(QStringLiteral("suya"));
    const auto otraCuenta = [&](const char* orden) {
        return QProcess::execute(QStringLiteral("setpriv"),
                   { QStringLiteral("--reuid=1235"), QStringLiteral("--regid=1235"),
                       QStringLiteral("--clear-groups"), QStringLiteral("/bin/sh"),
                       QStringLiteral("-c"), QString::fromLatin1(orden), QStringLiteral("sh"),
                       TurnoPuesto::archivoTurno(m_base, Clave), suya })
            == 0;
    };
    const QByteArray carpeta = QFile::encodeName(m_dir.path());
    ASSERT_EQ(::chmod(carpeta.constData(), 01777), 0);
    ASSERT_TRUE(QDir().mkpath(suya));
    ASSERT_EQ(::chown(QFile::encodeName(suya).constData(), 1235, 1235), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_base).constData(), 0644), 0);
    const struct
    {
        const char* caso;
        const char* antes; // with the folder open to every account
        mode_t carpeta; // then
        const char* entre; // while the first run holds the turn
    } filas[] = {
        { "an empty file", "touch \"$1\"", 01777, nullptr },
        { "a file with mode 000", "touch \"$1\" && chmod 000 \"$1\"", 01777, nullptr },
        // The next run would make a file of its own there and lock that.
        { "a file renamed away", "touch \"$1\"", 01777, "mv \"$1\" \"$2/viejo\"" },
        // The next run would refuse the file for its second name and lock the folder.
        { "a file left from when the folder was open, given a second name elsewhere",
            "touch \"$1\"", 0755, "ln \"$1\" \"$2/otro\"" },
    };
    const QByteArray nombre = QFile::encodeName(TurnoPuesto::archivoTurno(m_base, Clave));
    const auto estado = [&] {
        struct stat datos = {};
        return ::lstat(nombre.constData(), &datos) == 0 ? QStringLiteral("%1 %2 %3 %4")
                                                              .arg(datos.st_ino)
                                                              .arg(datos.st_mode, 0, 8)
                                                              .arg(datos.st_uid)
                                                              .arg(datos.st_nlink)
                                                        : QStringLiteral("nada");
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.caso);
        ASSERT_EQ(::chmod(carpeta.constData(), 01777), 0);
        ASSERT_TRUE(otraCuenta(f.antes));
        ASSERT_EQ(::chmod(carpeta.constData(), f.carpeta), 0);
        QString dejado = estado();
        m_avisos.clear();

        {
            const auto primero = toma();
            EXPECT_TRUE(primero->tomado()) << primero->error().toStdString();
            if (f.entre) {
                ASSERT_TRUE(otraCuenta(f.entre));
                dejado = estado();
            }
            const auto segundo = toma(1);
            EXPECT_FALSE(segundo->tomado());
        }

        EXPECT_EQ(esperas(), 1) << m_avisos.join(u'\n').toStdString();
        EXPECT_EQ(estado(), dejado);
        ASSERT_EQ(::chmod(carpeta.constData(), 0700), 0);
        ASSERT_EQ(QProcess::execute(QStringLiteral("rm"),
                      { QStringLiteral("-rf"), QString::fromLocal8Bit(nombre),
                          suya + QStringLiteral("/viejo"), suya + QStringLiteral("/otro") }),
            0);
    }
}

// A second name of the database at the lock's name is not locked: closing a descriptor of the
// database file would drop the locks SQLite holds on it in this process, and another process
// could write under a transaction of ours.
TEST_F(TurnoPuestoTest, a_hard_link_to_the_database_at_the_name_leaves_sqlite_s_locks_alone)
{
    ASSERT_TRUE(QFile::remove(m_base));
    {
        QSqlDatabase base
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("t"));
        base.setDatabaseName(m_base);
        ASSERT_TRUE(base.open());
        QSqlQuery consulta(base);
        ASSERT_TRUE(consulta.exec(QStringLiteral("CREATE TABLE T (A INTEGER)")));
        ASSERT_TRUE(consulta.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_EQ(::link(QFile::encodeName(m_base),
                      QFile::encodeName(TurnoPuesto::archivoTurno(m_base, Clave))),
            0);

        toma().reset();

        const int otroEscritor = QProcess::execute(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"),
                QStringLiteral(
                    "import sqlite3, sys; "
                    "sqlite3.connect(sys.argv[1], timeout=0).execute('BEGIN IMMEDIATE')"),
                m_base });
        EXPECT_NE(otroEscritor, 0) << "another process began writing under our transaction";
        consulta.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("t"));
}

// On SQL Server the turn is the server's application lock of the session: the statements sent and
// what each of the server's answers does.
TEST_F(TurnoPuestoTest, on_sql_server_the_turn_is_the_session_s_application_lock)
{
    const auto pide = [](int ms) {
        return QStringLiteral("DECLARE @turno int, @sinCuentas int = @@OPTIONS & 512; SET "
                              "NOCOUNT ON; EXEC @turno = sp_getapplock @Resource = "
                              "N'Rp_Tarifolio puesto CAJA1|ANA', @LockMode = 'Exclusive', "
                              "@LockOwner = 'Session', @LockTimeout = %1; IF @sinCuentas = 0 SET "
                              "NOCOUNT OFF; SELECT @turno")
            .arg(ms);
    };
    const QString suelta = QStringLiteral(
        "EXEC sp_releaselock @Resource = N'Rp_Tarifolio puesto CAJA1|ANA', @LockOwner = 'Session'");
    const struct
    {
        const char* caso;
        int segundos;
        QList<int> respuestas; // to the try without waiting, then to the wait
        bool falla;
        QStringList sentencias;
        int esperas;
        const char* error;
    } filas[] = {
        { "free", 30, { 0 }, false, { pide(0), suelta }, 0, "" },
        { "held, then given", 30, { -1, 1 }, false, { pide(0), pide(30000), suelta }, 1, "" },
        { "held past the time-out", 2, { -1, -1 }, false, { pide(0), pide(2000) }, 1,
            "Otra ejecución con el puesto CAJA1|ANA trabaja en la base GESTION: se esperó 2 s y "
            "no se hizo nada; vuelva a intentar cuando termine." },
        // A time-out of 0 waits as long as the turn is held, as every command does.
        { "held, no time-out", 0, { -1, 0 }, false, { pide(0), pide(-1), suelta }, 1, "" },
        { "refused by the server", 30, { -999 }, false, { pide(0) }, 0,
            "No se pudo tomar el turno del puesto CAJA1|ANA en la base GESTION: el servidor "
            "respondió -999" },
        { "the statement fails", 30, {}, true, { pide(0) }, 0,
            "No se pudo tomar el turno del puesto CAJA1|ANA en la base GESTION: Error no "
            "especificado." },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.caso);
        DataObjects objetos;
        ScopedService<DataObjects> objetosServicio { objetos };
        DB_Dll& servidor = objetos.gDB;
        servidor.gServidor = QStringLiteral("SRV");
        servidor.gDBName = QStringLiteral("GESTION");
        servidor.OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(servidor.gOpenFlag);
        servidor.gCnn().setCommandTimeout(f.segundos);
        FakeAdoConnection& cnn = *m_provider.connections().last();
        cnn.clearLog();
        const QStringList tiempos = { QStringLiteral("@LockTimeout = 0;"),
            QStringLiteral("@LockTimeout = %1;").arg(f.segundos > 0 ? f.segundos * 1000 : -1) };
        for (qsizetype k = 0; k < f.respuestas.size(); ++k)
            cnn.script(tiempos[k],
                { { { QStringLiteral("Turno"), adInteger, 4 } },
                    { { Value(qint32(f.respuestas[k])) } } });
        if (f.falla)
            cnn.failNext(
                FakeAdoConnection::Command::Query, { FakeAdoConnection::genericFailure() });
        m_avisos.clear();

        {
            const TurnoPuesto turno(
                servidor, Clave, [this](const QString& aviso) { m_avisos.append(aviso); });
            EXPECT_EQ(turno.tomado(), *f.error == 0);
            EXPECT_EQ(turno.error(), QString::fromUtf8(f.error));
        }

        EXPECT_EQ(cnn.statements(), f.sentencias);
        EXPECT_EQ(esperas(), f.esperas);
    }
}

} // namespace
