#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Value.h"
#include "reportengine/SelectionPlanner.h"

// Rows read forward-only, as the report consumes them. next() moves to the first row on its
// first call. Failures raise RuntimeError.
class RowSource
{
public:
    virtual ~RowSource() = default;

    virtual QStringList columnNames() const = 0;
    virtual bool next() = 0;
    virtual Value value(int column) const = 0;
};

// A statement the report runs: "?" placeholders bound in order. `columns` lists what the engine
// expects back for a statement it built itself ("alias.field", in select-list order); it is
// empty for a literal SQL source, whose columns are matched by name.
struct DataQuery
{
    QString sql;
    QList<Value> parameters;
    QStringList columns;
};

// What the report engine needs of a database connection. The job does not own it; the report
// driver passes the program's open connection (or one opened for a data-source name).
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;

    virtual SqlDialect dialect() const = 0;
    // Kind of a column, so the planner knows which conditions the database may evaluate;
    // Unknown keeps every condition on that column local.
    virtual ColumnKind columnKind(const QString& table, const QString& field) = 0;
    // False only when the table's columns are known and `field` is not among them, so that a
    // misspelt field is told as a formula error before any statement runs.
    virtual bool hasColumn(const QString& table, const QString& field)
    {
        (void)table;
        (void)field;
        return true;
    }
    // Opens the statement for forward-only reading. Raises RuntimeError on failure.
    virtual std::unique_ptr<RowSource> open(const DataQuery& query) = 0;
};
