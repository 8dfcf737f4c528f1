#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Value.h"

// Provider side of a recordset: what a provider hands AdoRecordset for one row-returning statement.
// Callers of the program never see it; they use AdoRecordset.

// One column of a result: name as the statement gives it, ADO type code, defined size (characters
// for text, bytes for binary, the type's width for numbers).
struct AdoColumn
{
    QString name;
    int type = 0;
    qint64 definedSize = 0;
};

// One fetched row: the column values, and the key that finds the row again in its table (the
// rowid on SQLite, the primary-key values on ODBC), empty when the set is not updatable.
struct AdoRow
{
    QList<Value> values;
    QList<Value> key;
};

class AdoCursor
{
public:
    virtual ~AdoCursor();

    virtual const QList<AdoColumn>& columns() const = 0;
    // Reads the next row into `row` (its lists are reused). False at the end and on a failure;
    // after a failure failed() is true and the provider has filled the connection's Errors.
    virtual bool fetch(AdoRow& row) = 0;
    virtual bool failed() const { return false; }

    // Updatable sets: the table named after FROM and the columns of the row key. An empty table
    // means the rows cannot be written back.
    virtual QString baseTable() const { return QString(); }
    virtual QStringList keyColumns() const { return QStringList(); }
};

// The columns of a schema rowset (AdoConnection::OpenSchema): adSchemaTables, else adSchemaColumns.
QList<AdoColumn> adoSchemaColumns(int schema);
// A schema rowset's restriction `index` (catalog, schema, table, column) as a trimmed name; empty
// when it restricts nothing (missing, Empty or Null).
QString adoSchemaRestriction(const QList<Value>& restrictions, int index);

// A cursor over rows already in memory: schema rowsets, scripted results of test fakes.
class AdoMemoryCursor final : public AdoCursor
{
public:
    AdoMemoryCursor(QList<AdoColumn> columns, QList<QList<Value>> rows);

    const QList<AdoColumn>& columns() const override { return m_columns; }
    bool fetch(AdoRow& row) override;

private:
    QList<AdoColumn> m_columns;
    QList<QList<Value>> m_rows;
    qsizetype m_next = 0;
};
