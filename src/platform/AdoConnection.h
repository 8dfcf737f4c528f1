#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/AdoCursor.h"
#include "platform/AdoErrors.h"
#include "platform/AdoTypes.h"
#include "platform/RuntimeError.h"
#include "platform/Value.h"

class AdoRecordset;

// A connection to the suite's database, with the members of the object model the program uses
// (`gCnn.Open`, `gCnn.Execute`, `gCnn.Errors`, ...). Statements are written in the SQL Server
// dialect; a provider for another engine translates them.
//
// Commands (Open, Close, Execute, transactions, OpenSchema) never throw. Each clears Errors, and on
// a failure returns false, leaves the provider's entries in Errors and the failure as a whole in
// LastError(): the number the program compares (3704, 3705, 3709, E_FAIL, ...), description,
// source. Providers implement the protected driver hooks; the rules common to every provider
// (state checks, clearing, the error numbers of the object model) live here.
class AdoConnection
{
public:
    virtual ~AdoConnection();
    AdoConnection(const AdoConnection&) = delete;
    AdoConnection& operator=(const AdoConnection&) = delete;

    // Opens on `connectionString`, or on ConnectionString() when that is empty. A non-empty
    // `userId` or `password` replaces the one in the text. Already open: false with 3705.
    // `options` is accepted and ignored (the program passes -1).
    bool Open(const QString& connectionString = QString(), const QString& userId = QString(),
        const QString& password = QString(), int options = -1);
    // Closes the connection. Forward-only recordsets still reading from it are closed with it;
    // recordsets fetched to the client stay readable. Already closed: false with 3704.
    bool Close();
    // adStateClosed (0) or adStateOpen (1).
    int State() const { return m_open ? adStateOpen : adStateClosed; }

    // The text the connection was (or will be) opened with, exactly as given.
    const QString& ConnectionString() const { return m_connectionString; }
    // Allowed only while closed: false with 3705 when open.
    bool setConnectionString(const QString& text);

    // Seconds a command may wait (busy time-out on SQLite); 0 waits without limit. Default 30.
    int CommandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int seconds);
    // Accepted and reported back; every recordset is fetched as AdoRecordset decides.
    int CursorLocation() const { return m_cursorLocation; }
    void setCursorLocation(int location) { m_cursorLocation = location; }
    // Accepted and reported back; the engine keeps its own isolation.
    int IsolationLevel() const { return m_isolationLevel; }
    void setIsolationLevel(int level) { m_isolationLevel = level; }
    // The database the connection works in. Setting it while open switches the server's current
    // database where the engine has several (SQL Server); an embedded file has just one.
    const QString& DefaultDatabase() const { return m_defaultDatabase; }
    bool setDefaultDatabase(const QString& name);

    // `delayedCommit`: the commit of this transaction need not reach the disk before it returns,
    // for work rows rebuilt before every use, which a power cut may take back. It stays atomic,
    // and the next ordinary commit syncs it with its own. Engines without the choice ignore it.
    bool BeginTrans(bool delayedCommit = false);
    bool CommitTrans();
    bool RollbackTrans();

    // Runs a statement or a batch. `recordsAffected` receives the rows inserted, updated or
    // deleted (summed over a batch; -1 for a statement that returns rows). When `rows` is given it
    // is opened forward-only and read-only on the rows the (last) statement returns; otherwise
    // returned rows are dropped. A closed connection fails with 3709.
    bool Execute(const QString& commandText, qint64* recordsAffected = nullptr, int options = -1,
        AdoRecordset* rows = nullptr);

    // Schema rowsets. adSchemaTables: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE ("TABLE"
    // or "VIEW"). adSchemaColumns: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME,
    // ORDINAL_POSITION, DATA_TYPE (ADO code), CHARACTER_MAXIMUM_LENGTH. `restrictions` follow the
    // rowset's first columns in order (catalog, schema, table[, column]); an Empty or Null entry
    // restricts nothing; names compare ignoring case. `into` is opened static and read-only.
    bool OpenSchema(int schema, const QList<Value>& restrictions, AdoRecordset& into);

    AdoErrors& Errors() { return m_errors; }
    const AdoErrors& Errors() const { return m_errors; }
    // The failure of the last call that returned false (number 0 before any failure).
    const RuntimeError& LastError() const { return m_lastError; }

    // Commands that have waited out CommandTimeout() on this connection so far (see
    // AdoErrors::timeoutCount): a caller that sees the count grow stops rather than wait again.
    int timeoutCount() const { return m_errors.timeoutCount(); }
    // The error to stop with after such a wait, in the user's words: it names the database (the
    // user knows the file, not the server's text) and the time waited. `cause` gives the number
    // and the source.
    RuntimeError timeoutError(const RuntimeError& cause) const;

protected:
    AdoConnection();

    // Driver hooks. Each returns false (or null) on a failure after adding the provider's entries
    // to Errors(); a hook that fails for a reason of the object model calls failWith() instead.
    // The base has checked the state and cleared Errors before calling.
    virtual bool driverOpen(
        const QString& connectionString, const QString& userId, const QString& password)
        = 0;
    virtual void driverClose() = 0;
    // `rows` is null when the caller drops returned rows.
    virtual bool driverExecute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
        = 0;
    // A cursor on a row-returning statement; `updatable` asks for baseTable()/keyColumns().
    virtual std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool updatable) = 0;
    virtual bool driverBeginTrans() = 0;
    // Called before driverBeginTrans with BeginTrans's `delayedCommit`.
    virtual void driverDelayCommit(bool delayed);
    virtual bool driverCommitTrans() = 0;
    virtual bool driverRollbackTrans() = 0;
    virtual std::unique_ptr<AdoCursor> driverOpenSchema(
        int schema, const QList<Value>& restrictions)
        = 0;
    // Writes of updatable recordsets. `newKey` receives the inserted row's key.
    virtual bool driverInsert(const QString& table, const QStringList& columns,
        const QList<Value>& values, const QStringList& keyColumns, QList<Value>* newKey)
        = 0;
    virtual bool driverUpdate(const QString& table, const QStringList& keyColumns,
        const QList<Value>& key, const QStringList& columns, const QList<Value>& values)
        = 0;
    virtual bool driverDelete(
        const QString& table, const QStringList& keyColumns, const QList<Value>& key)
        = 0;
    virtual void driverSetCommandTimeout(int seconds);
    virtual bool driverSetDefaultDatabase(const QString& name);

    // Makes the current hook's failure an error of the object model (3709, 3706, ...).
    void failWith(int number, const QString& description);
    // Closes the forward-only recordsets still reading and cuts the others loose; a provider's
    // destructor calls it before its engine goes.
    void detachRecordsets();

private:
    friend class AdoRecordset;

    // Shared by every command: the state check, clearing, and recording a failure.
    bool begin(bool mustBeOpen);
    bool fail();
    bool failNow(int number, const QString& description);
    void registerRecordset(AdoRecordset* rs);
    void unregisterRecordset(AdoRecordset* rs);

    bool m_open = false;
    QString m_connectionString;
    QString m_defaultDatabase;
    int m_commandTimeout = 30;
    int m_cursorLocation = adUseServer;
    int m_isolationLevel = adXactReadCommitted;
    AdoErrors m_errors;
    RuntimeError m_lastError { 0, QString() };
    std::optional<RuntimeError> m_pendingFailure;
    QList<AdoRecordset*> m_recordsets;
};
