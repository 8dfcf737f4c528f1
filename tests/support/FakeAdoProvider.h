#pragma once

#include <functional>
#include <memory>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/AdoConnection.h"
#include "platform/AdoProvider.h"

namespace testsupport {

class FakeAdoProvider;

// A scripted connection for tests of code above the provider: no engine behind it. Every command
// is written to log(); queries are answered from scripted results; faults (a lost link, the
// generic provider failure, an unusable connection) can be injected into the next commands.
class FakeAdoConnection final : public AdoConnection
{
public:
    enum class Command
    {
        Open,
        Execute,
        Query,
        BeginTrans,
        CommitTrans,
        RollbackTrans,
        Write
    };

    struct Result
    {
        QList<AdoColumn> columns;
        QList<QList<Value>> rows;
        qint64 recordsAffected = 0;
        // Table written by AddNew/Update/Delete on a recordset of this result ("" = read-only).
        QString table {};
        // A command run on a statement this result answers fails with these provider errors (a
        // statement the server refuses, wherever it comes in the run).
        QList<AdoError> refusal {};
    };

    // Statements holding `fragment` (ignoring case) get `result`; the latest matching script wins.
    // A query with no script fails the test (a statement the test did not expect), unless
    // unscriptedQueriesAnswerEmpty or unscriptedQueriesFail says how to answer it.
    void script(const QString& fragment, const Result& result);
    // Only the statement `sql` itself (both trimmed, letter case kept) gets `result`.
    void scriptStatement(const QString& sql, const Result& result);
    // When set, a query no script answers fails as the engine fails on an unknown table.
    bool unscriptedQueriesFail = false;
    // When set, a query no script answers returns no rows and no columns.
    bool unscriptedQueriesAnswerEmpty = false;
    // The next `times` commands of that kind fail with these provider errors in Errors.
    void failNext(Command command, const QList<AdoError>& errors, int times = 1);
    // The next `times` commands of that kind fail with an error of the object model (3709, ...)
    // and nothing in Errors.
    void failNextWith(Command command, int number, const QString& description, int times = 1);
    // The next `times` commands of that kind succeed and leave these entries in Errors, as a
    // server's warnings do (a truncation, a "no result" status).
    void warnNext(Command command, const QList<AdoError>& errors, int times = 1);
    // Called with each command's log line before its outcome is decided: a fault injected from
    // here hits that very command, at the point of the run the test chooses.
    std::function<void(const QString& line)> onCommand;
    // The login the last Open was given (empty when the text's own was used).
    const QString& lastUserId() const { return m_lastUserId; }
    const QString& lastPassword() const { return m_lastPassword; }

    // "Open <text>", "Close", "Execute <sql>", "Query <sql>", "BeginTrans", "CommitTrans",
    // "RollbackTrans", "Insert <table> <columns>", "Update <table> <columns>", "Delete <table>",
    // in order; failed commands are logged too.
    const QStringList& log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    int count(const QString& prefix) const;
    // The SQL of the logged queries and executed commands, in order.
    QStringList statements() const;

    // Provider errors as the suite's server gives them.
    static AdoError lostLink(); // native 11, general network error
    static AdoError genericFailure(); // E_FAIL
    static AdoError duplicateKey(); // native 2627
    static AdoError truncated(); // native 8152
    static AdoError loginFailed(); // native 18456, state 28000
    static AdoError lockTimeout(); // state HYT00: waited out the time-out on another's lock

protected:
    bool driverOpen(
        const QString& connectionString, const QString& userId, const QString& password) override;
    void driverClose() override;
    bool driverExecute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows) override;
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool updatable) override;
    bool driverBeginTrans() override;
    bool driverCommitTrans() override;
    bool driverRollbackTrans() override;
    std::unique_ptr<AdoCursor> driverOpenSchema(
        int schema, const QList<Value>& restrictions) override;
    bool driverInsert(const QString& table, const QStringList& columns, const QList<Value>& values,
        const QStringList& keyColumns, QList<Value>* newKey) override;
    bool driverUpdate(const QString& table, const QStringList& keyColumns, const QList<Value>& key,
        const QStringList& columns, const QList<Value>& values) override;
    bool driverDelete(
        const QString& table, const QStringList& keyColumns, const QList<Value>& key) override;

private:
    friend class FakeAdoProvider;

    struct Script
    {
        QString text;
        bool whole = false;
        Result result;
    };
    struct Fault
    {
        QList<AdoError> errors;
        int number = 0;
        QString description;
        int times = 0;
    };
    bool injected(Command command);
    bool succeeded(Command command);
    bool refusedOpen(const QString& connectionString);
    const Result* resultFor(const QString& sql) const;
    void note(const QString& line);

    // What the connection shares with the provider that made it (none when made alone).
    struct Shared
    {
        QStringList journal;
        bool restrictOpens = false;
        QStringList acceptedOpens;
    };
    std::shared_ptr<Shared> m_shared;
    int m_number = 0;
    QList<Script> m_scripts;
    QHash<int, Fault> m_faults;
    QHash<int, Fault> m_warnings;
    QString m_lastUserId;
    QString m_lastPassword;
    QStringList m_log;
};

// Creates FakeAdoConnections and keeps a pointer to each for the test (owned by the caller of
// createConnection). `onCreate`, when set, scripts every new connection.
class FakeAdoProvider final : public AdoProvider
{
public:
    explicit FakeAdoProvider(std::function<void(FakeAdoConnection&)> onCreate = {})
        : onCreate(std::move(onCreate))
    {
    }

    std::unique_ptr<AdoConnection> createConnection() override;

    const QList<FakeAdoConnection*>& connections() const { return m_connections; }
    std::function<void(FakeAdoConnection&)> onCreate;

    // From now on an Open of any of its connections succeeds only with a connection text of
    // acceptedOpens() (read at each Open, so a test may add one between attempts); any other
    // text is refused as a failed login (FakeAdoConnection::loginFailed()).
    void refuseUnknownOpens() { m_shared->restrictOpens = true; }
    QStringList& acceptedOpens() { return m_shared->acceptedOpens; }
    // The log lines of every connection made, in the order they happened, each after the
    // connection's number in order of creation: "#1 Open <text>", "#2 Close", ...
    const QStringList& journal() const { return m_shared->journal; }

private:
    QList<FakeAdoConnection*> m_connections;
    std::shared_ptr<FakeAdoConnection::Shared> m_shared
        = std::make_shared<FakeAdoConnection::Shared>();
};

} // namespace testsupport
