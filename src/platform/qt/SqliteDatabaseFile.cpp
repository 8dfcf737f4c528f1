#include "platform/qt/SqliteDatabaseFile.h"

#include <cerrno>
#include <vector>

#include <pwd.h>

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <sqlite3.h>

#include "platform/FileNames.h"

namespace {

// The first bytes of every SQLite database file.
constexpr char DatabaseHeader[] = "SQLite format 3";

// What stands at a path that is no regular file, in the user's words, after "No se puede abrir la
// base de datos ...: ". Told by its kind, without opening it: a FIFO would wait for a writer.
QString notAFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        if (errno == EACCES)
            return QStringLiteral("no se tiene permiso para entrar en su carpeta.");
        if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            return QStringLiteral("es un enlace a un archivo que no existe.");
        return QStringLiteral("el archivo no existe.");
    }
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("es una carpeta, no un archivo.");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("es una tubería con nombre (FIFO), no un archivo.");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("es un dispositivo, no un archivo.");
    return QStringLiteral("no es un archivo común.");
}

QString accountName(uid_t account)
{
    passwd entry = {};
    passwd* found = nullptr;
    std::vector<char> room(16384);
    if (::getpwuid_r(account, &entry, room.data(), room.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(entry.pw_name);
    return QString::number(account);
}

// Why the database `path` (whose status is `file`) is not opened because of a journal beside it,
// or empty. SQLite takes whatever stands at a journal's name as the file's journal: a rollback
// journal is rolled into the file on the first read, a write-ahead journal is read as the latest
// changes and then written into the file. One whose owner may not write the database was put
// there by someone who would change it that way, or makes the file fail; it is never opened.
QString plantedJournal(const QString& path, const struct stat& file)
{
    for (const char* suffix : { "-journal", "-wal", "-shm" }) {
        const QString journal = path + QLatin1String(suffix);
        struct stat st;
        if (::lstat(QFile::encodeName(journal).constData(), &st) != 0
            || FileNames::accountMayWrite(st.st_uid, file))
            continue;
        // In a sticky folder only the file's owner, the folder's and root may remove it.
        QString removers = QStringLiteral("quien pueda escribir su carpeta");
        struct stat folder;
        const QByteArray folderName = QFile::encodeName(QFileInfo(path).absolutePath());
        if (::stat(folderName.constData(), &folder) == 0 && (folder.st_mode & S_ISVTX)) {
            QStringList names = { accountName(st.st_uid) };
            for (const uid_t other : { folder.st_uid, uid_t(0) }) {
                if (!names.contains(accountName(other)))
                    names << accountName(other);
            }
            removers = names.size() > 1 ? names.mid(0, names.size() - 1).join(QStringLiteral(", "))
                    + QStringLiteral(" o ") + names.last()
                                        : names.first();
        }
        return QStringLiteral("No se abre la base de datos \"%1\": a su lado está \"%2\", del "
                              "usuario %3, que no puede escribir la base, y SQLite lo tomaría por "
                              "su diario y cambiaría con él la base; solo puede quitarlo %4.")
            .arg(path, journal, accountName(st.st_uid), removers);
    }
    return QString();
}

} // namespace

QString SqliteDatabaseFile::refusal(const QString& path)
{
    m_path = path;
    m_writable = false;
    m_otherNames = false;
    if (!QFileInfo(path).isFile())
        return QStringLiteral("No se puede abrir la base de datos \"%1\": %2")
            .arg(path, notAFile(path));
    QByteArray header;
    struct stat st = {};
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("No se puede abrir la base de datos \"%1\": no se tiene permiso "
                                  "para leer el archivo.")
                .arg(path);
        header = file.read(100);
        if (!header.startsWith(QByteArray(DatabaseHeader, sizeof DatabaseHeader)))
            return QStringLiteral("El archivo \"%1\" no es una base de datos.").arg(path);
        if (::fstat(file.handle(), &st) != 0)
            return QStringLiteral("No se puede abrir la base de datos \"%1\": no se puede leer.")
                .arg(path);
    }
    if (const QString planted = plantedJournal(path, st); !planted.isEmpty())
        return planted;
    // A file with a second name (a hard link) is only read. SQLite finds a file's journal, and in
    // the write-ahead journal its readers and writer, by the name it was opened by: two programs
    // writing it by two names at once would each miss what the other wrote, and a journal left
    // by a program that ended while writing would not be seen by the name the next one uses.
    m_otherNames = st.st_nlink > 1;
    // A file this process may only read is opened read-only: opened to write, its journal would
    // be switched and files of this user's made beside it, which its owner then cannot write, and
    // a read-only folder or mount would not let it be read at all.
    m_writable = !m_otherNames && FileNames::mayWriteFileAndFolder(path);
    // Bytes 18 and 19 of the header say 2 for a file that works with a write-ahead journal. Left
    // so without the journal's two files beside it (closed by a program that leaves it so, or
    // copied while a program had it open), it cannot be read without making them: a reader's
    // SQLite makes them wherever the folder lets it, and made by an account that may not write
    // the file they keep its owner from writing it (in a sticky folder only root can remove
    // them). Nor is it safe to read it as a file nobody changes: its owner may be writing it.
    if (!m_writable && header.size() > 19 && (header.at(18) == 2 || header.at(19) == 2)
        && !(QFileInfo::exists(path + QStringLiteral("-wal"))
            && QFileInfo::exists(path + QStringLiteral("-shm")))) {
        // With a second name, the journal's files may well lie beside the other one.
        if (m_otherNames)
            return QStringLiteral("No se puede abrir la base de datos \"%1\": quedó con su diario "
                                  "de escritura anticipada, sin los archivos de ese diario a su "
                                  "lado, y el archivo tiene otro nombre en el disco (un enlace "
                                  "duro); leída por este nombre podría faltarle lo guardado por el "
                                  "otro. Deje al archivo un solo nombre, y ábrala y ciérrela una "
                                  "vez por ese nombre.")
                .arg(path);
        return QStringLiteral("No se puede abrir la base de datos \"%1\": quedó con su diario de "
                              "escritura anticipada, sin los archivos de ese diario a su lado, y "
                              "este usuario no puede escribirla; leerla así dejaría a su lado "
                              "archivos de este usuario que no dejan escribirla a su dueño. Ábrala "
                              "y ciérrela una vez con una cuenta que pueda escribirla.")
            .arg(path);
    }
    return QString();
}

QString SqliteDatabaseFile::databaseName() const
{
    // By its URI, so that SQLite never makes the file anew should it go in the meantime.
    QUrl uri = QUrl::fromLocalFile(m_path);
    uri.setQuery(m_writable ? QStringLiteral("mode=rw") : QStringLiteral("mode=ro"));
    return QString::fromLatin1(uri.toEncoded());
}

QString SqliteDatabaseFile::connectOptions() const
{
    return m_writable ? QStringLiteral("QSQLITE_OPEN_URI")
                      : QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY");
}

QString SqliteDatabaseFile::firstReadRefusal(sqlite3* db)
{
    // The schema is read now: a damaged file, or a read-only one whose journal cannot be read,
    // fails here with its reason rather than at every statement after. A file another process
    // holds locked is let through: its statements wait for it as any statement does.
    sqlite3_busy_timeout(db, 0);
    sqlite3_stmt* probe = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(probe);
    sqlite3_finalize(probe);
    if (rc == SQLITE_ROW || (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return QString();
    const QString failure = failureText(rc);
    m_writable = false;
    // SQLite's own text is English: its code names a failure the program has no words for.
    return QStringLiteral("No se puede abrir la base de datos \"%1\": %2")
        .arg(m_path,
            failure.isEmpty() ? QStringLiteral("no se puede leer (código %1 de SQLite).").arg(rc)
                              : failure);
}

void SqliteDatabaseFile::openJournal(sqlite3* db) const
{
    // A write-ahead journal: readers and the one writer no longer wait for each other, and a
    // commit syncs the journal once instead of four times (journal, its header, the file, the
    // folder); commits stay atomic and durable. Tried once without waiting: a file another
    // process holds keeps its journal until an opening finds it free. The last connection to
    // close puts the file back in its own journal (see closeJournal()).
    if (m_writable)
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
}

void SqliteDatabaseFile::closeJournal(sqlite3* db)
{
    if (db && m_writable) {
        // Back to the file's own journal, which only the last connection on the file can do (it
        // checkpoints the write-ahead journal into the file): the file alone is then the whole
        // database, a copy of it a backup, and it can be read where no journal can be made. With
        // another connection still on the file the switch fails at once, and that one does it.
        sqlite3_busy_timeout(db, 0);
        sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    }
    m_writable = false;
}

QString SqliteDatabaseFile::failureText(int rc) const
{
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("La base de datos o el disco están llenos: el cambio no se guardó.");
    case SQLITE_READONLY:
        if (m_otherNames)
            return QStringLiteral("No se puede escribir en la base de datos: el archivo tiene otro "
                                  "nombre en el disco (un enlace duro), y escrito por dos nombres "
                                  "a la vez se daña; se abrió solo para leer. Deje al archivo un "
                                  "solo nombre para escribirlo.");
        return QStringLiteral("No se puede escribir en la base de datos: es de solo lectura para "
                              "este usuario (el archivo o su carpeta).");
    case SQLITE_NOTADB:
        return QStringLiteral("El archivo no es una base de datos.");
    case SQLITE_CORRUPT:
        return QStringLiteral("La base de datos está dañada.");
    case SQLITE_CANTOPEN:
        return QStringLiteral("No se puede abrir el archivo de la base de datos o su diario (falta "
                              "el permiso o el lugar para escribirlo).");
    case SQLITE_IOERR:
        return QStringLiteral("Falló la lectura o la escritura del archivo de la base de datos.");
    default:
        return QString();
    }
}
