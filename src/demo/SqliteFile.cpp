#include "demo/SqliteFile.h"

#include <QFile>

#include <sqlite3.h>

#include "platform/RuntimeError.h"
#include "platform/qt/SqliteText.h"

namespace {

[[noreturn]] void fail(sqlite3* db, const QString& what)
{
    const QString message = db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    throw RuntimeError(db != nullptr ? sqlite3_extended_errcode(db) : 0,
        what + QStringLiteral(": ") + message, QStringLiteral("SqliteFile"));
}

} // namespace

SqliteFile::SqliteFile(const QString& path)
    : m_path(path)
{
    // Emptied in place: the caller may hold a lock on the file.
    QFile::resize(path, 0);
    if (sqlite3_open_v2(
            path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw RuntimeError(53, QStringLiteral("No se puede crear %1: %2").arg(path, message),
            QStringLiteral("SqliteFile"));
    }
    registerSqliteText(m_db);
}

SqliteFile::~SqliteFile()
{
    close();
}

void SqliteFile::exec(const QByteArray& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        throw RuntimeError(sqlite3_extended_errcode(m_db), text, m_path);
    }
}

void SqliteFile::close()
{
    if (m_db != nullptr) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

SqlInsert::SqlInsert(SqliteFile& file, const char* table, const QByteArray& columns)
    : m_db(file.handle())
    , m_table(table)
{
    m_columns = static_cast<int>(columns.count(',')) + 1;
    QByteArray sql = "INSERT INTO " + m_table + " (" + columns + ") VALUES (?";
    for (int k = 1; k < m_columns; ++k)
        sql += ",?";
    sql += ")";
    if (sqlite3_prepare_v3(
            m_db, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr)
        != SQLITE_OK)
        fail(m_db, QString::fromUtf8(sql));
}

SqlInsert::~SqlInsert()
{
    sqlite3_finalize(m_statement);
}

SqlInsert& SqlInsert::operator<<(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(
        m_statement, m_next++, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlInsert& SqlInsert::operator<<(const char* text)
{
    sqlite3_bind_text(m_statement, m_next++, text, -1, SQLITE_TRANSIENT);
    return *this;
}

SqlInsert& SqlInsert::operator<<(int number)
{
    sqlite3_bind_int(m_statement, m_next++, number);
    return *this;
}

SqlInsert& SqlInsert::operator<<(qint64 number)
{
    sqlite3_bind_int64(m_statement, m_next++, number);
    return *this;
}

SqlInsert& SqlInsert::operator<<(double number)
{
    sqlite3_bind_double(m_statement, m_next++, number);
    return *this;
}

SqlInsert& SqlInsert::operator<<(bool flag)
{
    sqlite3_bind_int(m_statement, m_next++, flag ? 1 : 0);
    return *this;
}

SqlInsert& SqlInsert::operator<<(std::nullptr_t)
{
    sqlite3_bind_null(m_statement, m_next++);
    return *this;
}

void SqlInsert::done()
{
    Q_ASSERT(m_next == m_columns + 1);
    if (sqlite3_step(m_statement) != SQLITE_DONE)
        fail(m_db, QStringLiteral("INSERT INTO ") + QString::fromUtf8(m_table));
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_next = 1;
}
