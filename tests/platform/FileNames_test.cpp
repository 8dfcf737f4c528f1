#include "platform/FileNames.h"

#include <ctime>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Environment.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"
#include "support/ToolProcess.h"

namespace {

void touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

} // namespace

TEST(FileNames, resolves_each_component_ignoring_case)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Informes/Ventas"));
    touch(dir.filePath(QStringLiteral("Informes/Ventas/Lista.RPT")));
    touch(dir.filePath(QStringLiteral("zr417px.ini")));

    EXPECT_EQ(FileNames::resolve(dir.path() + QStringLiteral("\\INFORMES\\ventas\\lista.rpt")),
        dir.filePath(QStringLiteral("Informes/Ventas/Lista.RPT")));
    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("ZR417px.INI")),
        dir.filePath(QStringLiteral("zr417px.ini")));
    // A file about to be created keeps the name the program gave it.
    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("informes/NUEVO.txt")),
        dir.filePath(QStringLiteral("Informes/NUEVO.txt")));
    // Of two folders whose names differ only in case, the one written so is the one looked in.
    QDir(dir.path()).mkpath(QStringLiteral("Ventas/Lista"));
    QDir(dir.path()).mkpath(QStringLiteral("VENTAS/Lista"));
    touch(dir.filePath(QStringLiteral("Ventas/Lista/fc.rpt")));
    touch(dir.filePath(QStringLiteral("VENTAS/Lista/nc.rpt")));
    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("Ventas/Lista/FC.RPT")),
        dir.filePath(QStringLiteral("Ventas/Lista/fc.rpt")));
    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("VENTAS/Lista/NC.RPT")),
        dir.filePath(QStringLiteral("VENTAS/Lista/nc.rpt")));
}

// A folder listed when it had not changed for a while is looked up from that listing: a file
// made in it afterwards is still found in another case.
TEST(FileNames, finds_a_file_made_after_its_folder_was_looked_in)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const timespec anHourAgo[2] = { { time(nullptr) - 3600, 0 }, { time(nullptr) - 3600, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, folder.constData(), anHourAgo, 0), 0);
    ASSERT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("fc.rpt")),
        dir.filePath(QStringLiteral("fc.rpt")));

    touch(dir.filePath(QStringLiteral("FC.RPT")));

    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("fc.rpt")),
        dir.filePath(QStringLiteral("FC.RPT")));
}

// A folder's time is only as fine as the file system's clock: a file made in the same tick as
// the folder's last change leaves that time as it was, and must still be found.
TEST(FileNames, finds_a_file_made_in_the_tick_its_folder_was_listed)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const timespec tick[2] = { { time(nullptr), 0 }, { time(nullptr), 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, folder.constData(), tick, 0), 0);
    ASSERT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("fc.rpt")),
        dir.filePath(QStringLiteral("fc.rpt")));

    touch(dir.filePath(QStringLiteral("FC.RPT")));
    ASSERT_EQ(utimensat(AT_FDCWD, folder.constData(), tick, 0), 0);

    EXPECT_EQ(FileNames::inFolder(dir.path(), QStringLiteral("fc.rpt")),
        dir.filePath(QStringLiteral("FC.RPT")));
}

TEST(FileNames, the_program_folder_is_the_home_variable_or_the_executable_folder)
{
    testsupport::environment().setExecutableFolder(QStringLiteral("/opt/rp/bin"));
    EXPECT_EQ(programFolder(), QStringLiteral("/opt/rp/bin"));

    testsupport::environment().setVariable(
        QStringLiteral("RP_TARIFOLIO_HOME"), QStringLiteral("/srv/rp/"));
    EXPECT_EQ(programFolder(), QStringLiteral("/srv/rp"));
    EXPECT_EQ(executableName(), QStringLiteral("Rp_Tarifolio"));
}

// A relative XDG_DATA_HOME is invalid and ignored: the data folder would follow the working
// folder, which may be one every account writes.
TEST(FileNames, the_data_folder_is_under_an_absolute_XDG_DATA_HOME_else_under_HOME)
{
    testsupport::environment().setVariable(QStringLiteral("HOME"), QStringLiteral("/home/ana"));
    const struct
    {
        const char* xdg;
        const char* expected;
    } cases[] = {
        { "/srv/datos/", "/srv/datos/Rp_Tarifolio" },
        { "datos", "/home/ana/.local/share/Rp_Tarifolio" },
        { "./datos", "/home/ana/.local/share/Rp_Tarifolio" },
        { "", "/home/ana/.local/share/Rp_Tarifolio" },
    };

    for (const auto& c : cases) {
        testsupport::environment().setVariable(
            QStringLiteral("XDG_DATA_HOME"), QString::fromLatin1(c.xdg));
        EXPECT_EQ(dataFolder(), QString::fromLatin1(c.expected)) << c.xdg;
    }
}

TEST(FileNames, the_temporary_folder_is_TEMP_else_TMP_else_the_system_one)
{
    // Private folders, as a TEMP of one's own is: each is used as it is.
    QTemporaryDir sistema, tmp, temp;
    testsupport::FixedEnvironment& env = testsupport::environment();
    env.setSystemTempFolder(sistema.path());
    EXPECT_EQ(temporaryFolder(), sistema.path());

    env.setVariable(QStringLiteral("tmp"), tmp.path() + u'/');
    EXPECT_EQ(temporaryFolder(), tmp.path());

    env.setVariable(QStringLiteral("TEMP"), u' ' + temp.path() + u' ');
    EXPECT_EQ(temporaryFolder(), temp.path());
}

// The temporary folder is the account's own. A private TEMP is used as it is; in a folder every
// account writes (1777, as /tmp) the program keeps "Rp_Tarifolio-<uid>", made 0700. Where another
// account (uid 1235) made that name first, or a folder of ours that others could enter stands
// there, the name is passed over, neither followed nor waited on, for a new folder of the run's.
TEST(FileNames, the_temporary_folder_is_one_no_other_account_may_enter)
{
    if (!testsupport::mayPlayAnotherAccount()) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true")) << "CI runs as root";
        GTEST_SKIP() << "the planting side runs as uid 1235, which needs root and setpriv";
    }
    QTemporaryDir nuestra;
    enum Usada
    {
        LaBase,
        ElNombre,
        UnaNueva
    };
    const struct
    {
        const char* caso;
        bool compartida; // the base is a folder every account writes
        const char* plantado; // at the name beforehand, with $2 a folder of ours; nullptr: nothing
        bool porOtraCuenta;
        Usada usada;
    } filas[] = {
        { "a private base", false, nullptr, false, LaBase },
        { "nothing at the name", true, nullptr, false, ElNombre },
        { "another account's folder open to all", true, "mkdir -m 777 \"$1\"", true, UnaNueva },
        { "another account's link to a folder of ours", true, "ln -s \"$2\" \"$1\"", true,
            UnaNueva },
        { "another account's FIFO", true, "mkfifo -m 666 \"$1\"", true, UnaNueva },
        { "another account's file", true, "touch \"$1\"", true, UnaNueva },
        // What others put in it while it was open would be used.
        { "a folder of ours open to all", true, "mkdir -m 777 \"$1\"", false, UnaNueva },
    };
    const auto estado = [](const QString& ruta) {
        struct stat st
        {
        };
        return ::lstat(QFile::encodeName(ruta).constData(), &st) == 0
            ? QStringLiteral("%1 %2").arg(st.st_mode, 0, 8).arg(st.st_uid)
            : QStringLiteral("nada");
    };
    for (const auto& fila : filas) {
        SCOPED_TRACE(fila.caso);
        QTemporaryDir base;
        if (fila.compartida) {
            ASSERT_EQ(::chmod(QFile::encodeName(base.path()).constData(), 01777), 0);
        }
        const QString nombre = base.filePath(QStringLiteral("Rp_Tarifolio-%1").arg(::geteuid()));
        const QStringList argumentos { nombre, nuestra.path() };
        if (fila.plantado) {
            ASSERT_TRUE(fila.porOtraCuenta
                    ? testsupport::runAsAnotherAccount(fila.plantado, argumentos)
                    : QProcess::execute(QStringLiteral("/bin/sh"),
                          QStringList { QStringLiteral("-c"), QString::fromLatin1(fila.plantado),
                              QStringLiteral("sh") }
                              + argumentos)
                        == 0);
        }
        const QString antes = estado(nombre);
        testsupport::environment().setVariable(QStringLiteral("TEMP"), base.path());

        QElapsedTimer reloj;
        reloj.start();
        const QString elegida = temporaryFolder();

        EXPECT_LT(reloj.elapsed(), 5000);
        EXPECT_EQ(temporaryFolder(), elegida);
        if (fila.usada == LaBase) {
            EXPECT_EQ(elegida, base.path());
            EXPECT_EQ(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                QStringList());
            continue;
        }
        EXPECT_EQ(QFileInfo(elegida).path(), base.path());
        EXPECT_EQ(estado(elegida), QStringLiteral("40700 %1").arg(::geteuid()));
        if (fila.usada == ElNombre) {
            EXPECT_EQ(elegida, nombre);
        } else {
            EXPECT_NE(elegida, nombre);
            EXPECT_EQ(estado(nombre), antes);
        }
    }
    EXPECT_TRUE(QDir(nuestra.path()).isEmpty());
}

// What the program writes beside itself is read back from the data folder; what the suite left in
// the program folder is read there while the data folder has none.
TEST(FileNames, helper_files_are_read_from_the_data_folder_first)
{
    QTemporaryDir programa;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), programa.path());
    ASSERT_TRUE(QDir().mkpath(dataFolder()));
    touch(programa.filePath(QStringLiteral("SOLO_PROGRAMA.TXT")));
    touch(programa.filePath(QStringLiteral("ambos.txt")));
    touch(dataFolder() + QStringLiteral("/AMBOS.TXT"));
    const struct
    {
        const char* name;
        QString expected;
    } cases[] = {
        { "solo_programa.txt", programa.filePath(QStringLiteral("SOLO_PROGRAMA.TXT")) },
        { "Ambos.Txt", dataFolder() + QStringLiteral("/AMBOS.TXT") },
        // Neither has it: where it would be written.
        { "nuevo.txt", dataFolder() + QStringLiteral("/nuevo.txt") },
    };

    for (const auto& c : cases)
        EXPECT_EQ(FileNames::helperFileToRead(QString::fromLatin1(c.name)), c.expected) << c.name;
}

// A file the program adds to starts in the data folder as the program folder's, once: a copy there
// already is the one written to, never replaced.
TEST(FileNames, a_first_write_starts_from_the_program_folders_file)
{
    QTemporaryDir programa;
    testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), programa.path());
    QFile original(programa.filePath(QStringLiteral("BASES.TXT")));
    ASSERT_TRUE(original.open(QIODevice::WriteOnly));
    original.write("A / B,A,A,X,B\r\n");
    original.close();

    const QString vacio = FileNames::helperFileToWrite(QStringLiteral("bases.txt"));
    EXPECT_EQ(vacio, dataFolder() + QStringLiteral("/bases.txt"));
    EXPECT_FALSE(QFile::exists(vacio));
    EXPECT_TRUE(QFileInfo(dataFolder()).isDir());

    const QString copia = FileNames::helperFileToWrite(
        QStringLiteral("BASES.TXT"), FileNames::FirstWrite::CopyOfProgramFolder);
    QFile cambiada(copia);
    ASSERT_TRUE(cambiada.open(QIODevice::ReadWrite));
    EXPECT_EQ(cambiada.readAll(), QByteArray("A / B,A,A,X,B\r\n"));
    cambiada.write("C / D,C,C,Y,D\r\n");
    cambiada.close();
    FileNames::helperFileToWrite(
        QStringLiteral("BASES.TXT"), FileNames::FirstWrite::CopyOfProgramFolder);
    EXPECT_EQ(QFileInfo(copia).size(), 30);
}

// Who may write a file, told from its status alone: root, its owner whatever the mode (the owner
// may change it), and whom its mode lets, a group's member by the system's list of groups. It
// decides whether a journal or a turn file beside a database is used: a wrong answer takes in
// what a stranger planted there, or refuses the owner's own.
TEST(FileNames, an_account_may_write_a_file_as_root_as_its_owner_or_as_its_mode_lets)
{
    const passwd* sistema = ::getpwnam("daemon");
    ASSERT_NE(sistema, nullptr) << "every Debian system has the daemon account";
    const uid_t miembro = sistema->pw_uid;
    const gid_t grupo = sistema->pw_gid;
    const gid_t otroGrupo = grupo + 1000;
    const struct
    {
        const char* caso;
        uid_t cuenta;
        uid_t dueno;
        gid_t grupo;
        mode_t modo;
        bool puede;
    } filas[] = {
        { "root, a file of another account's", 0, 1235, otroGrupo, 0400, true },
        { "its owner, a file read-only to all", 1235, 1235, otroGrupo, 0444, true },
        { "another account, a file only its owner writes", 1235, 0, otroGrupo, 0644, false },
        { "another account, a file all write", 1235, 0, otroGrupo, 0646, true },
        { "a member of its group, a file its group writes", miembro, 0, grupo, 0664, true },
        { "a member of its group, a file its group only reads", miembro, 0, grupo, 0644, false },
        { "not of its group, a file its group writes", miembro, 0, otroGrupo, 0664, false },
    };
    for (const auto& f : filas) {
        struct stat archivo = {};
        archivo.st_uid = f.dueno;
        archivo.st_gid = f.grupo;
        archivo.st_mode = S_IFREG | f.modo;

        EXPECT_EQ(FileNames::accountMayWrite(f.cuenta, archivo), f.puede) << f.caso;
    }
}
