#pragma once

#include <QHash>
#include <QSqlDatabase>

#include "reportengine/ReportDataSource.h"

// The benchmark's data source: a demo SQLite file read through QSQLITE with the program's text
// semantics registered, statements bound with their parameters and read forward-only.
class SqliteReportSource final : public ReportDataSource
{
public:
    // Opens `path`; ok() tells whether it worked. A file another process holds locked is waited
    // for `timeoutMs` (the connection's usual 30 s), then refused naming the file.
    explicit SqliteReportSource(const QString& path, int timeoutMs = 30000);
    ~SqliteReportSource() override;

    bool ok() const { return m_ok; }
    QString errorString() const { return m_error; }

    SqlDialect dialect() const override { return SqlDialect::SQLite; }
    ColumnKind columnKind(const QString& table, const QString& field) override;
    std::unique_ptr<RowSource> open(const DataQuery& query) override;

private:
    QString m_connectionName;
    QString m_path;
    int m_timeoutMs;
    bool m_ok = false;
    QString m_error;
    QHash<QString, QHash<QString, ColumnKind>> m_kinds;
};
