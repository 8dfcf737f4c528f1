#include "platform/AdoConnection.h"

#include "platform/AdoConnectionString.h"
#include "platform/AdoRecordset.h"

namespace {

const QString Source = QStringLiteral("Connection");

} // namespace

AdoConnection::AdoConnection() = default;

AdoConnection::~AdoConnection()
{
    detachRecordsets();
}

void AdoConnection::detachRecordsets()
{
    // Recordsets outliving their connection keep their client rows and lose the link.
    const QList<AdoRecordset*> recordsets = m_recordsets;
    for (AdoRecordset* rs : recordsets)
        rs->connectionClosing();
}

bool AdoConnection::begin(bool mustBeOpen)
{
    m_pendingFailure.reset();
    if (mustBeOpen && !m_open)
        return failNow(AdoErrorNumber::InvalidConnection,
            QStringLiteral("No se puede usar la conexión para esta operación: está cerrada o no "
                           "es válida en este contexto."));
    m_errors.Clear();
    return true;
}

bool AdoConnection::failNow(int number, const QString& description)
{
    m_lastError = RuntimeError(number, description, Source);
    return false;
}

bool AdoConnection::fail()
{
    if (m_pendingFailure) {
        m_lastError = *m_pendingFailure;
        m_pendingFailure.reset();
    } else if (m_errors.Count() > 0) {
        const AdoError& first = m_errors.items().constFirst();
        m_lastError = RuntimeError(first.Number() ? first.Number() : AdoErrorNumber::Fail,
            first.Description(), first.Source());
    } else {
        m_lastError = RuntimeError(
            AdoErrorNumber::Fail, QStringLiteral("Error no especificado del proveedor."), Source);
    }
    return false;
}

void AdoConnection::failWith(int number, const QString& description)
{
    m_pendingFailure = RuntimeError(number, description, Source);
}

bool AdoConnection::Open(
    const QString& connectionString, const QString& userId, const QString& password, int)
{
    m_pendingFailure.reset();
    if (m_open)
        return failNow(AdoErrorNumber::ObjectOpen,
            QStringLiteral("No se permite esta operación si el objeto está abierto."));
    m_errors.Clear();
    if (!connectionString.isEmpty())
        m_connectionString = connectionString;
    if (!driverOpen(m_connectionString, userId, password))
        return fail();
    m_open = true;
    driverSetCommandTimeout(m_commandTimeout);
    return true;
}

bool AdoConnection::Close()
{
    m_pendingFailure.reset();
    if (!m_open)
        return failNow(AdoErrorNumber::ObjectClosed,
            QStringLiteral("No se permite esta operación si el objeto está cerrado."));
    detachRecordsets();
    driverClose();
    m_open = false;
    return true;
}

bool AdoConnection::setConnectionString(const QString& text)
{
    if (m_open)
        return failNow(AdoErrorNumber::ObjectOpen,
            QStringLiteral("No se permite esta operación si el objeto está abierto."));
    m_connectionString = text;
    return true;
}

void AdoConnection::setCommandTimeout(int seconds)
{
    m_commandTimeout = qMax(0, seconds);
    if (m_open)
        driverSetCommandTimeout(m_commandTimeout);
}

bool AdoConnection::setDefaultDatabase(const QString& name)
{
    if (m_open) {
        if (!begin(true))
            return false;
        if (!driverSetDefaultDatabase(name))
            return fail();
    }
    m_defaultDatabase = name;
    return true;
}

bool AdoConnection::BeginTrans(bool delayedCommit)
{
    if (!begin(true))
        return false;
    driverDelayCommit(delayedCommit);
    return driverBeginTrans() || fail();
}

bool AdoConnection::CommitTrans()
{
    return begin(true) && (driverCommitTrans() || fail());
}

bool AdoConnection::RollbackTrans()
{
    return begin(true) && (driverRollbackTrans() || fail());
}

bool AdoConnection::Execute(
    const QString& commandText, qint64* recordsAffected, int, AdoRecordset* rows)
{
    if (recordsAffected)
        *recordsAffected = 0;
    if (!begin(true))
        return false;
    std::unique_ptr<AdoCursor> cursor;
    qint64 affected = 0;
    if (rows && rows->State() == adStateOpen && !rows->Close()) {
        m_lastError = rows->LastError();
        return false;
    }
    const bool done = driverExecute(commandText, &affected, rows ? &cursor : nullptr);
    // A batch that failed part way still reports the rows its other statements changed.
    if (recordsAffected)
        *recordsAffected = affected;
    if (!done)
        return fail();
    if (rows && cursor) {
        rows->m_connection = this;
        rows->m_source = commandText;
        rows->m_cursorType = adOpenForwardOnly;
        rows->m_lockType = adLockReadOnly;
        if (!rows->openCursor(std::move(cursor), false)) {
            m_lastError = rows->LastError();
            return false;
        }
    }
    return true;
}

bool AdoConnection::OpenSchema(int schema, const QList<Value>& restrictions, AdoRecordset& into)
{
    if (into.State() == adStateOpen)
        return failNow(AdoErrorNumber::ObjectOpen,
            QStringLiteral("No se permite esta operación si el objeto está abierto."));
    if (!begin(true))
        return false;
    std::unique_ptr<AdoCursor> cursor = driverOpenSchema(schema, restrictions);
    if (!cursor)
        return fail();
    into.m_connection = this;
    into.m_source.clear();
    into.m_cursorType = adOpenStatic;
    into.m_lockType = adLockReadOnly;
    if (!into.openCursor(std::move(cursor), true)) {
        m_lastError = into.LastError();
        return false;
    }
    return true;
}

RuntimeError AdoConnection::timeoutError(const RuntimeError& cause) const
{
    const AdoConnectionString text(m_connectionString);
    QString name = text.valueOf({ QStringLiteral("Database"), QStringLiteral("Initial Catalog"),
        QStringLiteral("Data Source"), QStringLiteral("DBQ") });
    if (name.isEmpty())
        name = m_defaultDatabase;
    return RuntimeError(cause.number(),
        QStringLiteral("La base de datos %1 está bloqueada por otro proceso: se esperó %2 s y no "
                       "se liberó.")
            .arg(name, QString::number(m_commandTimeout)),
        cause.source());
}

void AdoConnection::driverSetCommandTimeout(int) { }

void AdoConnection::driverDelayCommit(bool) { }

bool AdoConnection::driverSetDefaultDatabase(const QString&)
{
    return true;
}

void AdoConnection::registerRecordset(AdoRecordset* rs)
{
    if (!m_recordsets.contains(rs))
        m_recordsets.append(rs);
}

void AdoConnection::unregisterRecordset(AdoRecordset* rs)
{
    m_recordsets.removeAll(rs);
}
