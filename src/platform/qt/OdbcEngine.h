#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include "platform/qt/QtDbEngine.h"

class OdbcCursor;

// SQL Server and Oracle through QODBC. Statements go to the server as the program wrote them.
// A forward-only read streams; because a server connection serves one result at a time, a
// command that arrives while a read is still open first takes the rest of that read into memory.
// Updatable sets find their row again by the table's primary key.
class OdbcEngine final : public QtDbEngine
{
public:
    explicit OdbcEngine(AdoErrors& errors);
    ~OdbcEngine() override;

    // `odbcText` is the ODBC connection text ("DRIVER={...};SERVER=...;...").
    bool open(const QString& odbcText, const QString& user, const QString& password);

    void close() override;
    bool execute(
        const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows) override;
    std::unique_ptr<AdoCursor> openCursor(const QString& sql, bool updatable) override;
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

    // A decimal or money column's value: the driver's text read exactly into money (a double only
    // when money cannot hold it).
    static Value amountOf(const QVariant& value);

    void cursorGone(OdbcCursor* cursor);
    void reportError(const class QSqlError& error);

private:
    void settleReads();
    bool writeRow(const QString& sql, const QList<Value>& values);

    QList<OdbcCursor*> m_reads;
};
