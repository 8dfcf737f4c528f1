#pragma once

#include <memory>

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/AdoCursor.h"
#include "platform/AdoErrors.h"
#include "platform/Value.h"

// One database engine behind QtAdoConnection (SQLite file or ODBC). The methods mirror the
// connection's driver hooks: each returns false (or null) after adding the engine's errors to the
// connection's Errors, which the engine holds by reference.
class QtDbEngine
{
public:
    // `kind` names the engine in its Qt SQL connection's name ("rp_<kind>_<n>").
    QtDbEngine(AdoErrors& errors, const char* kind);
    virtual ~QtDbEngine() = default;

    virtual void close() = 0;
    virtual bool execute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
        = 0;
    virtual std::unique_ptr<AdoCursor> openCursor(const QString& sql, bool updatable) = 0;
    // Whether the commit of the transaction that the next beginTrans() opens may skip its sync.
    virtual void delayCommit(bool) { }
    virtual bool beginTrans() = 0;
    virtual bool commitTrans() = 0;
    virtual bool rollbackTrans() = 0;
    virtual std::unique_ptr<AdoCursor> openSchema(int schema, const QList<Value>& restrictions) = 0;
    virtual bool insertRow(const QString& table, const QStringList& columns,
        const QList<Value>& values, const QStringList& keyColumns, QList<Value>* newKey)
        = 0;
    virtual bool updateRow(const QString& table, const QStringList& keyColumns,
        const QList<Value>& key, const QStringList& columns, const QList<Value>& values)
        = 0;
    virtual bool deleteRow(
        const QString& table, const QStringList& keyColumns, const QList<Value>& key)
        = 0;
    // How long a command may wait, in milliseconds; 0 without limit.
    virtual void setCommandTimeout(int milliseconds) = 0;
    virtual bool setDefaultDatabase(const QString& name) = 0;

protected:
    // Closes the engine's Qt SQL connection, if it has one, and forgets it. Handles to it the
    // engine still holds must be gone first.
    void removeConnection();

    AdoErrors& m_errors;
    // The name of the engine's Qt SQL connection, unique in the process.
    const QString m_connectionName;
};
