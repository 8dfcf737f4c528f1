#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/AdoConnection.h"
#include "platform/AdoCursor.h"
#include "platform/AdoProvider.h"

namespace lookuptest {

// A connection whose statements answer with rows given by the test; every statement run is
// logged. A statement nobody scripted fails as the engine would reject it.
class MemoryConnection final : public AdoConnection
{
public:
    struct Result
    {
        QList<AdoColumn> columns;
        QList<QList<Value>> rows;
    };

    MemoryConnection() { Open(QStringLiteral("memoria")); }

    // Rows for a statement, matched after trimming.
    void script(const QString& sql, Result result) { m_results.insert(sql.trimmed(), result); }
    const QStringList& statements() const { return m_statements; }

protected:
    bool driverOpen(const QString&, const QString&, const QString&) override { return true; }
    void driverClose() override { }
    bool driverExecute(const QString& sql, qint64*, std::unique_ptr<AdoCursor>* rows) override
    {
        if (rows)
            *rows = driverOpenCursor(sql, false);
        return true;
    }
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool) override
    {
        m_statements.append(sql);
        const auto found = m_results.constFind(sql.trimmed());
        if (found == m_results.constEnd()) {
            failWith(AdoErrorNumber::ErrorsInCommand, QStringLiteral("no such table"));
            return nullptr;
        }
        return std::make_unique<AdoMemoryCursor>(found->columns, found->rows);
    }
    bool driverBeginTrans() override { return true; }
    bool driverCommitTrans() override { return true; }
    bool driverRollbackTrans() override { return true; }
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
    QHash<QString, Result> m_results;
    QStringList m_statements;
};

// Hands out memory connections, each with its own scripted statements.
class MemoryProvider final : public AdoProvider
{
public:
    std::unique_ptr<AdoConnection> createConnection() override
    {
        return std::make_unique<MemoryConnection>();
    }
};

} // namespace lookuptest
