#pragma once

#include <memory>

#include "platform/AdoConnection.h"
#include "platform/qt/QtAdoProvider.h"

class QtDbEngine;

// The connection QtAdoProvider creates: reads the connection text at Open and works through the
// engine it names (SqliteEngine or OdbcEngine).
class QtAdoConnection final : public AdoConnection
{
public:
    // `lastSqliteFolder`, shared by the connections of one provider, remembers where the last
    // database opened by its path lies.
    explicit QtAdoConnection(
        QtAdoProvider::Settings settings, std::shared_ptr<QString> lastSqliteFolder = nullptr);
    ~QtAdoConnection() override;

    // Closes every connection of the process still open, as Close() would; the end-of-program
    // hook calls it before the process goes, so that a SQLite file is left whole, with no journal
    // beside it, whatever way the program ends.
    static void closeAll();

    // The SQLite file a connection text names ("" when it names no SQLite database).
    QString sqliteFile(const QString& connectionString) const;
    // The ODBC text for a SQL Server or Oracle connection text.
    QString odbcText(
        const QString& connectionString, const QString& userId, const QString& password) const;

protected:
    bool driverOpen(
        const QString& connectionString, const QString& userId, const QString& password) override;
    void driverClose() override;
    bool driverExecute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows) override;
    std::unique_ptr<AdoCursor> driverOpenCursor(const QString& sql, bool updatable) override;
    bool driverBeginTrans() override;
    void driverDelayCommit(bool delayed) override;
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
    void driverSetCommandTimeout(int seconds) override;
    bool driverSetDefaultDatabase(const QString& name) override;

private:
    QString programFolder() const;

    QtAdoProvider::Settings m_settings;
    std::shared_ptr<QString> m_lastSqliteFolder;
    std::unique_ptr<QtDbEngine> m_engine;
    bool m_serverDatabases = false;
    QString m_openedDatabase;
};
