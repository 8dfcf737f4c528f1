#include "demo/DemoWorkFile.h"

#include <cerrno>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RuntimeError.h"

namespace {

const char* const WorkSuffix = ".nuevo";

// What a program may have left beside a database: SQLite's journals.
const char* const JournalSuffixes[] = { "-wal", "-shm", "-journal" };

// A program reading a file in its own journal holds its lock for one statement: a wait this long
// lets a short one end, and a run refused still gets its answer soon.
constexpr int LockWaitMs = 2000;

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why)
{
    throw RuntimeError(
        75, QStringLiteral("%1 %2: %3").arg(what, path, why), QStringLiteral("DemoDatabase"));
}

// Whether `path` still names the file open as `fd`.
bool namesFile(const QString& path, int fd)
{
    struct stat byName = {};
    struct stat byHandle = {};
    return ::stat(QFile::encodeName(path).constData(), &byName) == 0 && ::fstat(fd, &byHandle) == 0
        && byName.st_dev == byHandle.st_dev && byName.st_ino == byHandle.st_ino;
}

// A killed run's work file is one whose lock nobody holds. It is removed only while this run
// holds that lock itself, so a run still writing its file never loses it: a run whose new file
// was removed before it could lock it finds the name free and makes another (see the constructor).
void removeAbandoned(const QString& finalPath)
{
    const QFileInfo final(finalPath);
    const QDir folder = final.absoluteDir();
    const QStringList names
        = folder.entryList({ final.fileName() + QStringLiteral(".??????") + WorkSuffix },
            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        const QByteArray encoded = QFile::encodeName(path);
        const int fd = ::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && namesFile(path, fd))
            ::unlink(encoded.constData());
        ::close(fd);
    }
}

// Removes SQLite's journals beside `path`; fails naming the first that stays.
void removeJournals(const QString& path)
{
    for (const char* suffix : JournalSuffixes) {
        const QString journal = path + QLatin1String(suffix);
        const QByteArray encoded = QFile::encodeName(journal);
        if (::unlink(encoded.constData()) != 0 && errno != ENOENT)
            fail(QStringLiteral("No se puede quitar"), journal, qt_error_string(errno));
    }
}

// rename(2) that leaves a file already at `to` as it is (failing with EEXIST). A file system
// without that way gets a second name for the file, then loses the first.
bool renameWhereNone(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

} // namespace

// SQLite's exclusive lock on the database file at `path`, held while the object lives. Every
// program that has the file open to write works with the write-ahead journal, and holds SQLite's
// shared lock on the file for as long as it has it open: while one does, neither the switch back
// to the file's own journal nor the exclusive lock can be had.
class DemoWorkFile::ExclusiveLock final
{
public:
    explicit ExclusiveLock(const QString& path)
        : m_path(path)
    {
        if (sqlite3_open_v2(
                QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr)
            != SQLITE_OK)
            refuse(QString::fromUtf8(sqlite3_errmsg(m_db)));
        if (sqlite3_db_readonly(m_db, "main") == 1)
            refuse(QStringLiteral("este usuario no puede escribirlo"));
        sqlite3_busy_timeout(m_db, LockWaitMs);
        // Takes a journal a killed program left into the file, under the exclusive lock, and
        // removes it: the file alone is then the whole old database.
        const int journal = exec("PRAGMA journal_mode = DELETE", "delete");
        // A file that is not a database (SQLite cannot read its header) is open as one in no
        // program, and there is no lock of SQLite's to take on it.
        if (journal == SQLITE_NOTADB)
            return;
        check(journal);
        // Held until the object goes. A program on a file in its own journal holds a lock only
        // within a statement (and cannot write the file once it has been replaced: SQLite
        // refuses to write a file whose name is no longer its own).
        check(exec("BEGIN EXCLUSIVE"));
    }

    ~ExclusiveLock() { sqlite3_close(m_db); }

    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    // Runs `sql`; a statement whose first value is not `expected` counts as busy.
    int exec(const char* sql, const char* expected = nullptr)
    {
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW && expected != nullptr) {
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            rc = value != nullptr && qstrcmp(value, expected) == 0 ? SQLITE_OK : SQLITE_BUSY;
        }
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc & 0xff;
    }

    void check(int rc) const
    {
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            refuse(
                QStringLiteral("otro programa lo tiene abierto; ciérrelo y vuelva a intentarlo"));
        if (rc != SQLITE_OK)
            refuse(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    [[noreturn]] void refuse(const QString& why) const
    {
        sqlite3_close(m_db);
        fail(QStringLiteral("No se puede reemplazar"), m_path,
            why + QStringLiteral(". Quedó como estaba."));
    }

    QString m_path;
    sqlite3* m_db = nullptr;
};

namespace {

// The turn of the writers that place a file at `finalPath`: a lock on a hidden file beside it,
// which every writer opens (making it when missing) and locks until its file is placed. The file
// is opened without following a link or waiting, and used only when it is a regular file, as
// another account may have put anything at its name in a shared folder.
int takeNameTurn(const QString& finalPath)
{
    const QFileInfo final(finalPath);
    const QString path
        = final.absoluteDir().filePath(u'.' + final.fileName() + QStringLiteral(".colocacion"));
    const int fd = ::open(QFile::encodeName(path).constData(),
        O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("No se puede abrir"), path, qt_error_string(errno));
    struct stat datos = {};
    if (::fstat(fd, &datos) != 0 || !S_ISREG(datos.st_mode)) {
        ::close(fd);
        fail(QStringLiteral("No se puede usar"), path, QStringLiteral("no es un archivo común"));
    }
    int rc = 0;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) { }
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        fail(QStringLiteral("No se puede bloquear"), path, qt_error_string(error));
    }
    return fd;
}

} // namespace

DemoWorkFile::DemoWorkFile(const QString& finalPath)
    : m_finalPath(finalPath)
{
    removeAbandoned(finalPath);
    const QString folder = QFileInfo(finalPath).absolutePath();
    for (;;) {
        auto file
            = std::make_unique<QTemporaryFile>(finalPath + QStringLiteral(".XXXXXX") + WorkSuffix);
        if (!file->open())
            fail(QStringLiteral("No se puede crear un archivo en"), folder, file->errorString());
        if (::flock(file->handle(), LOCK_EX) != 0)
            fail(QStringLiteral("No se puede bloquear"), file->fileName(), qt_error_string(errno));
        if (namesFile(file->fileName(), file->handle())) {
            // The mode SQLite gives the files it makes: the database is read by other accounts.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(file->handle(), 0644 & ~mask);
            m_file = std::move(file);
            return;
        }
        // Removed by another run before it was locked here: the name may be anyone's now.
        file->setAutoRemove(false);
    }
}

DemoWorkFile::~DemoWorkFile()
{
    // No other run removes the file while this one holds its lock.
    m_file->setAutoRemove(!m_placed);
    m_lock.reset();
    if (m_turn >= 0)
        ::close(m_turn);
}

QString DemoWorkFile::path() const
{
    return m_file->fileName();
}

void DemoWorkFile::takeTurn(bool keepExisting)
{
    if (m_turn >= 0)
        return;
    m_turn = takeNameTurn(m_finalPath);
    if (!QFileInfo::exists(m_finalPath))
        return;
    // A file that another run placed first is kept: a run may already have it open.
    m_keep = keepExisting;
    if (!m_keep)
        m_lock = std::make_unique<ExclusiveLock>(m_finalPath);
}

void DemoWorkFile::putInPlace(bool keepExisting)
{
    takeTurn(keepExisting);
    if (m_keep)
        return;
    const QByteArray work = QFile::encodeName(m_file->fileName());
    const QByteArray final = QFile::encodeName(m_finalPath);
    // Under the name's turn: no other writer places a file here meanwhile, so journals beside no
    // database belong to no file now open and can go. What they held cannot be taken into any
    // file, and the new one would take it for its own. A program still on a removed file keeps
    // the journal it has open, apart from the new file's. Those of a file here go under SQLite's
    // exclusive lock, after it took them into the file.
    removeJournals(m_finalPath);
    const bool placed = m_lock ? std::rename(work.constData(), final.constData()) == 0
                               : renameWhereNone(work, final);
    if (!placed)
        fail(
            m_lock ? QStringLiteral("No se puede reemplazar") : QStringLiteral("No se puede crear"),
            m_finalPath, qt_error_string(errno));
    m_placed = true;
}
