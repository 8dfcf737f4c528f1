#pragma once

#include <QHash>

#include "platform/AdoConnection.h"
#include "reportengine/ReportDataSource.h"

// Runs the report's statements on the program's open connection, through the platform's
// recordsets (forward-only, read-only: streamed, memory flat). Column kinds come from the
// connection's schema rowset, once per table. A database another process holds locked is waited
// for the connection's command time-out (30 s unless set), then refused naming the database.
class AdoReportDataSource final : public ReportDataSource
{
public:
    // `connection` is not owned and must stay open for the run. `dialect` is the SQL the
    // connection's engine reads (the program's SQLite provider reads SQLite as it is).
    AdoReportDataSource(AdoConnection& connection, SqlDialect dialect);

    SqlDialect dialect() const override { return m_dialect; }
    ColumnKind columnKind(const QString& table, const QString& field) override;
    bool hasColumn(const QString& table, const QString& field) override;
    std::unique_ptr<RowSource> open(const DataQuery& query) override;

private:
    const QHash<QString, ColumnKind>& columnsOf(const QString& table);
    // Throws the lock's error when the last failure was the time-out of a locked database.
    void throwIfLocked(const RuntimeError& error) const;

    AdoConnection& m_connection;
    SqlDialect m_dialect;
    QHash<QString, QHash<QString, ColumnKind>> m_kinds; // table -> column -> kind, lower-case
};
