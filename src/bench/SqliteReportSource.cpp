#include "bench/SqliteReportSource.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "platform/RuntimeError.h"
#include "platform/qt/SqliteText.h"

namespace {

Value toValue(const QVariant& v)
{
    if (v.isNull())
        return Value::null();
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return Value(qint64(v.toLongLong()));
    case QMetaType::Double:
        return Value(v.toDouble());
    case QMetaType::QByteArray:
        return Value(v.toByteArray());
    default:
        return Value(v.toString());
    }
}

QVariant toVariant(const Value& v)
{
    switch (v.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QVariant();
    case ValueType::Boolean:
        return QVariant(v.toBool() ? 1 : 0);
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
        return QVariant(v.toLongLong());
    case ValueType::Currency:
    case ValueType::Double:
    case ValueType::Single:
        return QVariant(v.toDouble());
    case ValueType::Date:
        return QVariant(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    case ValueType::Bytes:
        return QVariant(v.toBytes());
    case ValueType::Text:
        break;
    }
    return QVariant(v.toString());
}

// A statement's failure. SQLite answers "database is locked" once the time-out has passed
// while another process holds the file: say which file, in our words.
[[noreturn]] void fail(const QSqlError& error, const QString& path, int timeoutMs)
{
    const int code
        = error.nativeErrorCode().toInt(); // extended codes keep the base in the low byte
    if (code > 0 && (code % 256 == 5 || code % 256 == 6))
        throw RuntimeError(RuntimeError::InvalidCall,
            QStringLiteral("La base de datos %1 está bloqueada por otro proceso: se esperó %2 s y "
                           "no se liberó.")
                .arg(path, QString::number(timeoutMs / 1000.0)));
    throw RuntimeError(RuntimeError::InvalidCall, error.text());
}

class SqliteRows final : public RowSource
{
public:
    SqliteRows(QSqlQuery query, const QString& path, int timeoutMs)
        : m_query(std::move(query))
        , m_path(path)
        , m_timeoutMs(timeoutMs)
    {
        const QSqlRecord r = m_query.record();
        for (int i = 0; i < r.count(); ++i)
            m_names << r.fieldName(i);
    }
    QStringList columnNames() const override { return m_names; }
    bool next() override
    {
        if (m_query.next())
            return true;
        if (m_query.lastError().isValid())
            fail(m_query.lastError(), m_path, m_timeoutMs);
        return false;
    }
    Value value(int column) const override { return toValue(m_query.value(column)); }

private:
    QSqlQuery m_query;
    QStringList m_names;
    QString m_path;
    int m_timeoutMs;
};

} // namespace

SqliteReportSource::SqliteReportSource(const QString& path, int timeoutMs)
    : m_connectionName(QUuid::createUuid().toString())
    , m_path(path)
    , m_timeoutMs(timeoutMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(timeoutMs));
    m_ok = db.open() && registerSqliteText(db);
    if (!m_ok)
        m_error = db.lastError().text();
}

SqliteReportSource::~SqliteReportSource()
{
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

ColumnKind SqliteReportSource::columnKind(const QString& table, const QString& field)
{
    const QString key = table.toLower();
    auto found = m_kinds.find(key);
    if (found == m_kinds.end()) {
        QHash<QString, ColumnKind> kinds;
        QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
        q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        while (q.next()) {
            const QString type = q.value(2).toString().toLower();
            ColumnKind kind = ColumnKind::Unknown;
            if (type.contains(u"char") || type.contains(u"text"))
                kind = ColumnKind::Text;
            else if (type == u"bit")
                kind = ColumnKind::Boolean;
            else if (type.contains(u"date"))
                kind = ColumnKind::Date;
            else if (type.contains(u"int") || type.contains(u"money") || type.contains(u"float")
                || type.contains(u"real") || type.contains(u"numeric") || type.contains(u"decimal"))
                kind = ColumnKind::Number;
            kinds.insert(q.value(1).toString().toLower(), kind);
        }
        found = m_kinds.insert(key, kinds);
    }
    return found->value(field.toLower(), ColumnKind::Unknown);
}

std::unique_ptr<RowSource> SqliteReportSource::open(const DataQuery& query)
{
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    q.setForwardOnly(true);
    if (!q.prepare(query.sql))
        fail(q.lastError(), m_path, m_timeoutMs);
    for (const Value& v : query.parameters)
        q.addBindValue(toVariant(v));
    if (!q.exec())
        fail(q.lastError(), m_path, m_timeoutMs);
    return std::make_unique<SqliteRows>(std::move(q), m_path, m_timeoutMs);
}
