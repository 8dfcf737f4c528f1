#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include "platform/qt/QtDbEngine.h"
#include "platform/qt/SqliteDatabaseFile.h"
#include "platform/qt/SqliteStatementCache.h"
#include "platform/qt/TsqlTranslator.h"

struct sqlite3;
struct sqlite3_stmt;

// The embedded engine: an SQLite file opened through QSQLITE, worked through the driver's handle.
// Every statement goes through TsqlTranslator first. On open the connection gets the suite's text
// semantics (SqliteText), the SQL Server functions and enforced foreign keys. Before its first
// statement that writes, it gets per-connection triggers that store a text longer than its
// column's declared varchar(n)/char(n) cut to that length, with the server's truncation warning
// (native error 8152) left in Errors while the statement succeeds (trailing blanks beyond the
// length are let through without a warning), and store every date in one text form whatever form
// it was written in, and a bit written as 'True'/'False' as 1/0.
class SqliteEngine final : public QtDbEngine
{
public:
    explicit SqliteEngine(AdoErrors& errors);
    ~SqliteEngine() override;

    // Opens an existing database file; a missing file, or one that is not a database, is an
    // error and is left as it is, never made a new empty database. A file this process may not
    // write (or whose folder it may not write) is opened read-only, or refused when reading it
    // would leave files of this process's account beside it (see SqliteDatabaseFile). Opened to
    // write, the file works with a write-ahead journal until close(), which puts it back in its
    // own journal when it is the last connection on the file.
    bool open(const QString& path);

    void close() override;
    bool execute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows) override;
    std::unique_ptr<AdoCursor> openCursor(const QString& sql, bool updatable) override;
    void delayCommit(bool delayed) override { m_delayNext = delayed; }
    bool beginTrans() override;
    bool commitTrans() override;
    bool rollbackTrans() override;
    std::unique_ptr<AdoCursor> openSchema(int schema, const QList<Value>& restrictions) override;
    bool insertRow(const QString& table, const QStringList& columns, const QList<Value>& values,
        const QStringList& keyColumns, QList<Value>* newKey) override;
    bool updateRow(const QString& table, const QStringList& keyColumns, const QList<Value>& key,
        const QStringList& columns, const QList<Value>& values) override;
    bool deleteRow(
        const QString& table, const QStringList& keyColumns, const QList<Value>& key) override;
    void setCommandTimeout(int milliseconds) override;
    bool setDefaultDatabase(const QString& name) override;

    sqlite3* handle() const { return m_db; }
    // Adds the engine's last error to Errors (SQL Server numbers where the program compares them).
    void reportError(int rc);

private:
    bool runList(const QList<TsqlStatement>& list, qint64& affected,
        std::unique_ptr<AdoCursor>* rows, bool& stop);
    bool runSql(const QString& sql, qint64& affected, std::unique_ptr<AdoCursor>* rows);
    // Runs a statement that writes from the prepared statement of its shape; nothing when the
    // shape cannot be prepared that way (the caller runs the statement as written).
    std::optional<bool> runShaped(const QString& sql, qint64& affected);
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const QString& sql);
    TsqlTranslator::Batch translated(const QString& sql);
    TsqlTranslator::Query translatedQuery(const QString& sql, const QString& rowidColumn);
    // A query's statement, bound, from the statement kept for its shape when there is one;
    // `shape` tells the cache to give it back to (empty: the caller finalizes it).
    sqlite3_stmt* prepareQuery(const QString& sql, QByteArray& shape);
    bool bindAll(sqlite3_stmt* stmt, const QList<Value>& values);
    bool stepToEnd(sqlite3_stmt* stmt);
    std::optional<QList<QList<Value>>> readSchema(int schema, const QList<Value>& restrictions);
    // Returns how many triggers were made.
    int installColumnRules();
    void ensureColumnRules();
    void syncTransactionCount();
    // After the outermost transaction ended: commits sync again as the connection's setting says.
    void endDelayedCommit();

    sqlite3* m_db = nullptr;
    // The file's own safety: how it was opened, and its journal.
    SqliteDatabaseFile m_file;
    int m_transactionCount = 0;
    bool m_delayNext = false;
    bool m_delayed = false;
    // The connection's "synchronous" setting, which a delayed commit lowers for its transaction.
    int m_synchronous = 2;
    enum class RulesState
    {
        None,
        Uncertain,
        Made
    };
    RulesState m_rules = RulesState::None;
    // The table whose text the running statement had cut, set by the column rules.
    QString m_truncatedTable;
    // Shared with the cursors, which give their statement back when they close; a cursor that
    // outlives its connection's handle finds the cache gone and lets its statement go.
    std::shared_ptr<SqliteStatementCache> m_statements = std::make_shared<SqliteStatementCache>();
    // Schema rowsets already read, by kind and restrictions, for the schema version they show.
    QHash<QString, QList<QList<Value>>> m_schemaRows;
    QHash<QString, TsqlTranslator::Batch> m_batches;
    QHash<QString, TsqlTranslator::Query> m_queries;
    int m_schemaVersion = -1;
};
