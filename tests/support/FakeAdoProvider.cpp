#include "support/FakeAdoProvider.h"

#include <gtest/gtest.h>

namespace testsupport {

namespace {

const QString FakeSource = QStringLiteral("Proveedor de prueba");

} // namespace

AdoError FakeAdoConnection::lostLink()
{
    return AdoError(AdoErrorNumber::Fail, QStringLiteral("Error general de red."),
        QStringLiteral("08S01"), 11, FakeSource);
}

AdoError FakeAdoConnection::genericFailure()
{
    return AdoError(AdoErrorNumber::Fail, QStringLiteral("Error no especificado."),
        QStringLiteral("HY000"), 0, FakeSource);
}

AdoError FakeAdoConnection::duplicateKey()
{
    return AdoError(AdoErrorNumber::IntegrityViolation,
        QStringLiteral("Infracción de la restricción de clave única."), QStringLiteral("23000"),
        2627, FakeSource);
}

AdoError FakeAdoConnection::lockTimeout()
{
    return AdoError(AdoErrorNumber::Fail, QStringLiteral("Tiempo de espera de la consulta agotado"),
        QStringLiteral("HYT00"), 0, FakeSource);
}

AdoError FakeAdoConnection::truncated()
{
    return AdoError(AdoErrorNumber::IntegrityViolation,
        QStringLiteral("Los datos de texto o binarios se truncarían."), QStringLiteral("22001"),
        8152, FakeSource);
}

AdoError FakeAdoConnection::loginFailed()
{
    return AdoError(AdoErrorNumber::Fail, QStringLiteral("Login failed for user"),
        QStringLiteral("28000"), 18456, FakeSource);
}

void FakeAdoConnection::script(const QString& fragment, const Result& result)
{
    m_scripts.prepend({ fragment, false, result });
}

void FakeAdoConnection::scriptStatement(const QString& sql, const Result& result)
{
    m_scripts.prepend({ sql.trimmed(), true, result });
}

void FakeAdoConnection::failNext(Command command, const QList<AdoError>& errors, int times)
{
    m_faults[int(command)] = Fault { errors, 0, QString(), times };
}

void FakeAdoConnection::failNextWith(
    Command command, int number, const QString& description, int times)
{
    m_faults[int(command)] = Fault { {}, number, description, times };
}

void FakeAdoConnection::warnNext(Command command, const QList<AdoError>& errors, int times)
{
    m_warnings[int(command)] = Fault { errors, 0, QString(), times };
}

bool FakeAdoConnection::succeeded(Command command)
{
    auto it = m_warnings.find(int(command));
    if (it != m_warnings.end() && it->times > 0) {
        --it->times;
        for (const AdoError& e : it->errors)
            Errors().add(e);
    }
    return true;
}

int FakeAdoConnection::count(const QString& prefix) const
{
    int n = 0;
    for (const QString& line : m_log)
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

QStringList FakeAdoConnection::statements() const
{
    QStringList sql;
    for (const QString& line : m_log) {
        for (const QLatin1String command : { QLatin1String("Query "), QLatin1String("Execute ") }) {
            if (line.startsWith(command))
                sql.append(line.mid(command.size()));
        }
    }
    return sql;
}

void FakeAdoConnection::note(const QString& line)
{
    m_log.append(line);
    if (m_shared)
        m_shared->journal.append(QStringLiteral("#%1 ").arg(m_number) + line);
    if (onCommand)
        onCommand(line);
}

bool FakeAdoConnection::refusedOpen(const QString& connectionString)
{
    if (!m_shared || !m_shared->restrictOpens || m_shared->acceptedOpens.contains(connectionString))
        return false;
    Errors().add(loginFailed());
    return true;
}

bool FakeAdoConnection::injected(Command command)
{
    auto it = m_faults.find(int(command));
    if (it == m_faults.end() || it->times <= 0)
        return false;
    --it->times;
    if (it->number != 0)
        failWith(it->number, it->description);
    for (const AdoError& e : it->errors)
        Errors().add(e);
    return true;
}

const FakeAdoConnection::Result* FakeAdoConnection::resultFor(const QString& sql) const
{
    for (const Script& script : m_scripts) {
        if (script.whole ? sql.trimmed() == script.text
                         : sql.contains(script.text, Qt::CaseInsensitive))
            return &script.result;
    }
    return nullptr;
}

bool FakeAdoConnection::driverOpen(
    const QString& connectionString, const QString& userId, const QString& password)
{
    note(QStringLiteral("Open ") + connectionString);
    m_lastUserId = userId;
    m_lastPassword = password;
    return !refusedOpen(connectionString) && !injected(Command::Open) && succeeded(Command::Open);
}

void FakeAdoConnection::driverClose()
{
    note(QStringLiteral("Close"));
}

bool FakeAdoConnection::driverExecute(
    const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
{
    note(QStringLiteral("Execute ") + sql);
    if (injected(Command::Execute))
        return false;
    const Result* result = resultFor(sql);
    if (result && !result->refusal.isEmpty()) {
        for (const AdoError& e : result->refusal)
            Errors().add(e);
        return false;
    }
    succeeded(Command::Execute);
    if (result) {
        *recordsAffected = result->recordsAffected;
        if (rows && !result->columns.isEmpty())
            *rows = std::make_unique<AdoMemoryCursor>(result->columns, result->rows);
    }
    return true;
}

namespace {

// Scripted rows that can be written back (the writes are only logged).
class FakeCursor final : public AdoCursor
{
public:
    FakeCursor(const FakeAdoConnection::Result& result, bool updatable)
        : m_memory(result.columns, result.rows)
        , m_table(updatable ? result.table : QString())
    {
    }
    const QList<AdoColumn>& columns() const override { return m_memory.columns(); }
    bool fetch(AdoRow& row) override
    {
        if (!m_memory.fetch(row))
            return false;
        row.key = { Value(qint64(++m_serial)) };
        return true;
    }
    QString baseTable() const override { return m_table; }
    QStringList keyColumns() const override { return { QStringLiteral("row") }; }

private:
    AdoMemoryCursor m_memory;
    QString m_table;
    qint64 m_serial = 0;
};

} // namespace

std::unique_ptr<AdoCursor> FakeAdoConnection::driverOpenCursor(const QString& sql, bool updatable)
{
    note(QStringLiteral("Query ") + sql);
    if (injected(Command::Query))
        return nullptr;
    succeeded(Command::Query);
    static const Result empty;
    const Result* result = resultFor(sql);
    if (!result && unscriptedQueriesFail) {
        failWith(AdoErrorNumber::ErrorsInCommand, QStringLiteral("no such table"));
        return nullptr;
    }
    // Answering an unexpected statement with no rows let a wrong statement pass unseen.
    if (!result && !unscriptedQueriesAnswerEmpty)
        ADD_FAILURE() << "statement not scripted: " << sql.toStdString();
    return std::make_unique<FakeCursor>(result ? *result : empty, updatable);
}

bool FakeAdoConnection::driverBeginTrans()
{
    note(QStringLiteral("BeginTrans"));
    return !injected(Command::BeginTrans);
}

bool FakeAdoConnection::driverCommitTrans()
{
    note(QStringLiteral("CommitTrans"));
    return !injected(Command::CommitTrans);
}

bool FakeAdoConnection::driverRollbackTrans()
{
    note(QStringLiteral("RollbackTrans"));
    return !injected(Command::RollbackTrans);
}

std::unique_ptr<AdoCursor> FakeAdoConnection::driverOpenSchema(int schema, const QList<Value>&)
{
    note(QStringLiteral("OpenSchema %1").arg(schema));
    const Result* result = resultFor(QStringLiteral("OpenSchema %1").arg(schema));
    static const Result empty;
    return std::make_unique<AdoMemoryCursor>(
        (result ? *result : empty).columns, (result ? *result : empty).rows);
}

bool FakeAdoConnection::driverInsert(const QString& table, const QStringList& columns,
    const QList<Value>& values, const QStringList&, QList<Value>* newKey)
{
    QStringList shown;
    for (int i = 0; i < columns.size(); ++i)
        shown.append(columns.at(i) + u'=' + values.at(i).toString());
    note(QStringLiteral("Insert %1 %2").arg(table, shown.join(u',')));
    if (injected(Command::Write))
        return false;
    if (newKey)
        *newKey = { Value(qint64(-1)) };
    return true;
}

bool FakeAdoConnection::driverUpdate(const QString& table, const QStringList&, const QList<Value>&,
    const QStringList& columns, const QList<Value>& values)
{
    QStringList shown;
    for (int i = 0; i < columns.size(); ++i)
        shown.append(columns.at(i) + u'=' + values.at(i).toString());
    note(QStringLiteral("Update %1 %2").arg(table, shown.join(u',')));
    return !injected(Command::Write);
}

bool FakeAdoConnection::driverDelete(const QString& table, const QStringList&, const QList<Value>&)
{
    note(QStringLiteral("Delete ") + table);
    return !injected(Command::Write);
}

std::unique_ptr<AdoConnection> FakeAdoProvider::createConnection()
{
    auto connection = std::make_unique<FakeAdoConnection>();
    connection->m_shared = m_shared;
    m_connections.append(connection.get());
    connection->m_number = int(m_connections.size());
    if (onCreate)
        onCreate(*connection);
    return connection;
}

} // namespace testsupport
