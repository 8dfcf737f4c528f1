#include "platform/qt/QtAdoConnection.h"

#include <mutex>

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/AdoConnectionString.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/Service.h"
#include "platform/qt/OdbcEngine.h"
#include "platform/qt/SqliteEngine.h"

namespace {

const QList<QString> DatabaseKeys
    = { QStringLiteral("Database"), QStringLiteral("Initial Catalog") };
const QList<QString> ServerKeys
    = { QStringLiteral("Server"), QStringLiteral("Data Source"), QStringLiteral("Address") };
const QList<QString> UserKeys
    = { QStringLiteral("UId"), QStringLiteral("User Id"), QStringLiteral("User") };
const QList<QString> PasswordKeys = { QStringLiteral("Pwd"), QStringLiteral("Password") };

bool isSqliteServer(const QString& server)
{
    return server.trimmed().compare(QLatin1String("SQLITE"), Qt::CaseInsensitive) == 0;
}

// ODBC values holding ";" or braces go between braces.
QString odbcValue(const QString& value)
{
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}')
        && value.trimmed() == value)
        return value;
    QString inner = value;
    inner.replace(u'}', QStringLiteral("}}"));
    return u'{' + inner + u'}';
}

// Every connection of the process, for closeAll().
struct Registry
{
    std::mutex mutex;
    QList<QtAdoConnection*> connections;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

QtAdoConnection::QtAdoConnection(
    QtAdoProvider::Settings settings, std::shared_ptr<QString> lastSqliteFolder)
    : m_settings(std::move(settings))
    , m_lastSqliteFolder(
          lastSqliteFolder ? std::move(lastSqliteFolder) : std::make_shared<QString>())
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.connections.append(this);
}

QtAdoConnection::~QtAdoConnection()
{
    {
        Registry& r = registry();
        const std::lock_guard lock(r.mutex);
        r.connections.removeOne(this);
    }
    detachRecordsets();
    m_engine.reset();
}

void QtAdoConnection::closeAll()
{
    // Closed outside the registry's lock: a close runs code (the engine's, the driver's) that may
    // make or destroy a connection, which takes the lock itself.
    Registry& r = registry();
    QList<QtAdoConnection*> connections;
    {
        const std::lock_guard lock(r.mutex);
        connections = r.connections;
    }
    for (QtAdoConnection* connection : std::as_const(connections)) {
        {
            // One destroyed by an earlier close has left the registry.
            const std::lock_guard lock(r.mutex);
            if (!r.connections.contains(connection))
                continue;
        }
        if (connection->State() == adStateOpen)
            connection->Close();
    }
}

QString QtAdoConnection::programFolder() const
{
    if (!m_settings.programFolder.isEmpty())
        return m_settings.programFolder;
    if (Service<Environment>::installed())
        return ::programFolder();
    return QCoreApplication::applicationDirPath();
}

QString QtAdoConnection::sqliteFile(const QString& connectionString) const
{
    const AdoConnectionString text(connectionString);
    QString name;
    switch (text.kind()) {
    case AdoConnectionString::Kind::SqlServer:
        if (!isSqliteServer(text.valueOf(ServerKeys)))
            return QString();
        name = text.valueOf(DatabaseKeys);
        break;
    case AdoConnectionString::Kind::Jet:
        name = text.valueOf({ QStringLiteral("Data Source") });
        break;
    default:
        return QString();
    }
    name = FileNames::normalized(name.trimmed());
    if (name.isEmpty())
        return QString();
    // A bare name lies beside the database last opened by its path (the statistics database
    // beside the main one), else in the data folder, else in the program folder.
    if (!name.contains(u'/')) {
        if (!name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            name += QStringLiteral(".db");
        for (const QString& folder : { *m_lastSqliteFolder, m_settings.dataFolder }) {
            if (folder.isEmpty())
                continue;
            const QString found = FileNames::inFolder(folder, name);
            if (QFileInfo(found).isFile())
                return found;
        }
        return FileNames::inFolder(programFolder(), name);
    }
    return FileNames::resolve(name);
}

QString QtAdoConnection::odbcText(
    const QString& connectionString, const QString& userId, const QString& password) const
{
    const AdoConnectionString text(connectionString);
    const QString user = userId.isEmpty() ? text.valueOf(UserKeys) : userId;
    const QString pwd = password.isEmpty() ? text.valueOf(PasswordKeys) : password;
    if (text.kind() == AdoConnectionString::Kind::Oracle) {
        return QStringLiteral("DRIVER={%1};DBQ=%2;UID=%3;PWD=%4;")
            .arg(m_settings.oracleOdbcDriver, odbcValue(text.value(QStringLiteral("Data Source"))),
                odbcValue(user), odbcValue(pwd));
    }
    QString server = text.valueOf(ServerKeys).trimmed();
    QString port;
    // The connection registry writes "server:port"; the suite also knows "server,port".
    const qsizetype sep = qMax(server.lastIndexOf(u':'), server.lastIndexOf(u','));
    if (sep > 0) {
        port = server.mid(sep + 1).trimmed();
        server = server.left(sep).trimmed();
    }
    QString odbc = QStringLiteral("DRIVER={%1};SERVER=%2;")
                       .arg(m_settings.sqlServerOdbcDriver, odbcValue(server));
    if (!port.isEmpty())
        odbc += QStringLiteral("PORT=%1;").arg(port);
    odbc += QStringLiteral("DATABASE=%1;UID=%2;PWD=%3;")
                .arg(odbcValue(text.valueOf(DatabaseKeys)), odbcValue(user), odbcValue(pwd));
    if (m_settings.sqlServerOdbcDriver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive))
        odbc += QStringLiteral("ClientCharset=UTF-8;");
    // Attributes the program appends of its own (its "extended" text) reach the driver as they are.
    static const QStringList known = { QStringLiteral("Provider"), QStringLiteral("Server"),
        QStringLiteral("Data Source"), QStringLiteral("Address"), QStringLiteral("Database"),
        QStringLiteral("Initial Catalog"), QStringLiteral("UId"), QStringLiteral("User Id"),
        QStringLiteral("User"), QStringLiteral("Pwd"), QStringLiteral("Password") };
    for (const AdoConnectionString::Entry& e : text.entries()) {
        if (!known.contains(e.key, Qt::CaseInsensitive))
            odbc += e.key + u'=' + odbcValue(e.value) + u';';
    }
    return odbc;
}

bool QtAdoConnection::driverOpen(
    const QString& connectionString, const QString& userId, const QString& password)
{
    m_engine.reset();
    m_serverDatabases = false;
    const AdoConnectionString text(connectionString);
    const AdoConnectionString::Kind kind = text.kind();
    const QString file = sqliteFile(connectionString);
    if (!file.isEmpty()) {
        auto engine = std::make_unique<SqliteEngine>(Errors());
        if (!engine->open(file)) {
            // The local-file opener tells a missing file by this state, as the file engine did.
            if (kind == AdoConnectionString::Kind::Jet) {
                const AdoError first = Errors().Item(0);
                Errors().Clear();
                Errors().add(AdoError(first.Number(), first.Description(), QStringLiteral("3024"),
                    first.NativeError(), first.Source()));
            }
            return false;
        }
        m_engine = std::move(engine);
        if (FileNames::normalized(
                AdoConnectionString(connectionString)
                    .valueOf({ QStringLiteral("Database"), QStringLiteral("Initial Catalog"),
                        QStringLiteral("Data Source") }))
                .contains(u'/'))
            *m_lastSqliteFolder = QFileInfo(file).absolutePath();
        return true;
    }
    QString odbc;
    switch (kind) {
    case AdoConnectionString::Kind::SqlServer:
        if (isSqliteServer(text.valueOf(ServerKeys))) {
            Errors().add(AdoError(AdoErrorNumber::Fail,
                QStringLiteral("No se indicó el archivo de la base de datos SQLite."),
                QStringLiteral("08004"), 4060, QStringLiteral("Proveedor SQLite")));
            return false;
        }
        odbc = odbcText(connectionString, userId, password);
        m_serverDatabases = true;
        m_openedDatabase = text.valueOf(DatabaseKeys).trimmed();
        break;
    case AdoConnectionString::Kind::Oracle:
        odbc = odbcText(connectionString, userId, password);
        break;
    case AdoConnectionString::Kind::Odbc:
        odbc = connectionString;
        break;
    case AdoConnectionString::Kind::Jet:
        Errors().add(AdoError(AdoErrorNumber::Fail,
            QStringLiteral("No se indicó el archivo de la base de datos."), QStringLiteral("3024"),
            0, QStringLiteral("Proveedor SQLite")));
        return false;
    case AdoConnectionString::Kind::Unknown:
        if (text.contains(QStringLiteral("Provider"))) {
            failWith(AdoErrorNumber::ProviderNotFound,
                QStringLiteral("No se encuentra el proveedor \"%1\".")
                    .arg(text.value(QStringLiteral("Provider"))));
            return false;
        }
        Errors().add(AdoError(AdoErrorNumber::Fail,
            QStringLiteral("No se encontró el nombre del origen de datos y no se especificó "
                           "ningún controlador predeterminado."),
            QStringLiteral("IM002"), 0, QStringLiteral("Proveedor ODBC")));
        return false;
    }
    auto engine = std::make_unique<OdbcEngine>(Errors());
    const bool viaText = kind == AdoConnectionString::Kind::Odbc;
    if (!engine->open(odbc, viaText ? userId : QString(), viaText ? password : QString()))
        return false;
    m_engine = std::move(engine);
    return true;
}

void QtAdoConnection::driverClose()
{
    if (m_engine)
        m_engine->close();
    m_engine.reset();
}

bool QtAdoConnection::driverExecute(
    const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
{
    return m_engine->execute(sql, recordsAffected, rows);
}

std::unique_ptr<AdoCursor> QtAdoConnection::driverOpenCursor(const QString& sql, bool updatable)
{
    return m_engine->openCursor(sql, updatable);
}

void QtAdoConnection::driverDelayCommit(bool delayed)
{
    m_engine->delayCommit(delayed);
}

bool QtAdoConnection::driverBeginTrans()
{
    return m_engine->beginTrans();
}

bool QtAdoConnection::driverCommitTrans()
{
    return m_engine->commitTrans();
}

bool QtAdoConnection::driverRollbackTrans()
{
    return m_engine->rollbackTrans();
}

std::unique_ptr<AdoCursor> QtAdoConnection::driverOpenSchema(
    int schema, const QList<Value>& restrictions)
{
    return m_engine->openSchema(schema, restrictions);
}

bool QtAdoConnection::driverInsert(const QString& table, const QStringList& columns,
    const QList<Value>& values, const QStringList& keyColumns, QList<Value>* newKey)
{
    return m_engine->insertRow(table, columns, values, keyColumns, newKey);
}

bool QtAdoConnection::driverUpdate(const QString& table, const QStringList& keyColumns,
    const QList<Value>& key, const QStringList& columns, const QList<Value>& values)
{
    return m_engine->updateRow(table, keyColumns, key, columns, values);
}

bool QtAdoConnection::driverDelete(
    const QString& table, const QStringList& keyColumns, const QList<Value>& key)
{
    return m_engine->deleteRow(table, keyColumns, key);
}

void QtAdoConnection::driverSetCommandTimeout(int seconds)
{
    if (m_engine)
        m_engine->setCommandTimeout(
            m_settings.lockWaitMs > 0 ? m_settings.lockWaitMs : seconds * 1000);
}

bool QtAdoConnection::driverSetDefaultDatabase(const QString& name)
{
    // Only a server with several databases switches; the one it was opened on needs nothing.
    if (!m_serverDatabases || name.trimmed().compare(m_openedDatabase, Qt::CaseInsensitive) == 0)
        return true;
    return m_engine->setDefaultDatabase(name);
}
