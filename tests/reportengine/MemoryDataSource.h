#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include "reportengine/ReportDataSource.h"

// Tables in memory for layout tests. open() answers a statement the engine built: it returns
// the rows of the table the select list names, in the order they were added, keeping only the
// rows that match the sub-report link conditions ("alias.field = ?"). Every column is of
// unknown kind, so the whole selection is evaluated by the engine on the rows.
class MemoryDataSource final : public ReportDataSource
{
public:
    // `columns` as "table.field".
    void addTable(const QString& table, const QStringList& columns, QList<QList<Value>> rows);

    SqlDialect dialect() const override { return SqlDialect::SQLite; }
    ColumnKind columnKind(const QString&, const QString&) override { return ColumnKind::Unknown; }
    std::unique_ptr<RowSource> open(const DataQuery& query) override;

    QStringList statements; // every statement opened, in order

private:
    struct Table
    {
        QStringList columns;
        QList<QList<Value>> rows;
    };
    QHash<QString, Table> m_tables;
};
