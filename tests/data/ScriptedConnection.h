#pragma once

// A connection whose every command can be told to fail, for the data object's reconnect, retry
// and error flows. Local to these tests until the shared fault-injecting provider of
// tests/support takes its place.

#include <deque>
#include <optional>

#include <QStringList>

#include "platform/AdoConnection.h"
#include "platform/AdoProvider.h"

// One scripted failure: the entry the provider puts in Errors.
struct Fault
{
    int number = int(0x80004005u);
    int native = 0;
    QString sqlState;
    QString description = QStringLiteral("fallo");
};

// Each command takes the next scripted outcome of its queue (no entry or nullopt: success) and
// logs itself: "open <text>|<user>|<password>", "close", "exec <sql>", "cursor <sql>", "begin",
// "commit", "rollback". Rows returned are one column A holding 1.
class ScriptedConnection final : public AdoConnection
{
public:
    std::deque<std::optional<Fault>> openFaults;
    std::deque<std::optional<Fault>> executeFaults;
    std::deque<std::optional<Fault>> cursorFaults;
    std::deque<QList<AdoError>> executeWarnings;
    QStringList log;
    qint64 affected = 1;

protected:
    bool driverOpen(const QString& text, const QString& u, const QString& p) override
    {
        log << QStringLiteral("open %1|%2|%3").arg(text, u, p);
        return apply(openFaults);
    }
    void driverClose() override { log << QStringLiteral("close"); }
    bool driverExecute(const QString& sql, qint64* n, std::unique_ptr<AdoCursor>* rows) override
    {
        log << QStringLiteral("exec ") + sql;
        if (!executeWarnings.empty()) {
            for (const AdoError& e : executeWarnings.front())
                Errors().add(e);
            executeWarnings.pop_front();
        }
        if (!apply(executeFaults))
            return false;
        *n = affected;
        if (rows)
            *rows = std::make_unique<AdoMemoryCursor>(
                QList<AdoColumn> { { QStringLiteral("A"), adInteger, 4 } },
                QList<QList<Value>> { { Value(qint32(1)) } });
        return true;
    }
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool) override
    {
        log << QStringLiteral("cursor ") + sql;
        if (!apply(cursorFaults))
            return nullptr;
        return std::make_unique<AdoMemoryCursor>(
            QList<AdoColumn> { { QStringLiteral("A"), adInteger, 4 } },
            QList<QList<Value>> { { Value(qint32(1)) } });
    }
    bool driverBeginTrans() override
    {
        log << QStringLiteral("begin");
        return true;
    }
    bool driverCommitTrans() override
    {
        log << QStringLiteral("commit");
        return true;
    }
    bool driverRollbackTrans() override
    {
        log << QStringLiteral("rollback");
        return true;
    }
    std::unique_ptr<AdoCursor> driverOpenSchema(int, const QList<Value>&) override
    {
        return nullptr;
    }
    bool driverInsert(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
        QList<Value>*) override
    {
        return false;
    }
    bool driverUpdate(const QString&, const QStringList&, const QList<Value>&, const QStringList&,
        const QList<Value>&) override
    {
        return false;
    }
    bool driverDelete(const QString&, const QStringList&, const QList<Value>&) override
    {
        return false;
    }

private:
    bool apply(std::deque<std::optional<Fault>>& faults)
    {
        if (faults.empty())
            return true;
        const std::optional<Fault> f = faults.front();
        faults.pop_front();
        if (!f)
            return true;
        Errors().add(AdoError(
            f->number, f->description, f->sqlState, f->native, QStringLiteral("Proveedor")));
        return false;
    }
};

class ScriptedProvider final : public AdoProvider
{
public:
    ScriptedConnection* last = nullptr;
    std::unique_ptr<AdoConnection> createConnection() override
    {
        auto c = std::make_unique<ScriptedConnection>();
        last = c.get();
        return c;
    }
};
