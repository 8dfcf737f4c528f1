#pragma once

#include <memory>

#include <QString>

#include "platform/AdoProvider.h"

// The real database provider: SQLite files through QSQLITE (server text "SQLITE"), SQL Server and
// Oracle through QODBC. Connection texts are the ones the program builds:
//   "PROVIDER=SQLOLEDB;Server=S;Database =D;UId=U;Pwd=P;"   SQL Server, or SQLite when S is
//   "SQLITE" "Provider=OraOLEDB.Oracle.1;Data Source=D;User Id=U;Password=P;"   Oracle
//   "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =F;..."   a local database file (opened as
//   SQLite) "DRIVER=...;..." or "DSN=...;..."   handed to ODBC as it is
// A bare SQLite database name is "<name>.db" beside the last database a connection of this
// provider opened by its path, when that file exists there, else in the data folder when it is
// there, else in the program folder.
class QtAdoProvider final : public AdoProvider
{
public:
    struct Settings
    {
        // Where a bare SQLite database name is looked for: "<programFolder>/<name>.db".
        QString programFolder;
        // ODBC driver names (as registered with unixODBC) for SQL Server and Oracle.
        QString sqlServerOdbcDriver = QStringLiteral("FreeTDS");
        QString oracleOdbcDriver = QStringLiteral("Oracle");
        // When above 0, the milliseconds an SQLite file that another process holds locked is
        // waited for, in place of the command time-out (tests wait a few).
        int lockWaitMs = 0;
        // When set, a bare SQLite database name is looked for here before the program folder:
        // an installation keeps its databases in the data folder.
        QString dataFolder = QString();
    };

    explicit QtAdoProvider(Settings settings);

    std::unique_ptr<AdoConnection> createConnection() override;

    const Settings& settings() const { return m_settings; }

private:
    Settings m_settings;
    // The folder of the last SQLite file a connection of this provider opened by its path: the
    // statistics database (a bare name) lies beside the main one.
    std::shared_ptr<QString> m_lastSqliteFolder = std::make_shared<QString>();
};
