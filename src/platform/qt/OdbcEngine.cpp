#include "platform/qt/OdbcEngine.h"

#include <climits>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

#include "platform/AdoTypes.h"
#include "platform/qt/TsqlTranslator.h"

namespace {

const QString ErrorSource = QStringLiteral("Proveedor ODBC");

// ADO type of an ODBC column (QODBC reports the SQL type code as the field's type id).
int adoTypeOf(const QSqlField& field)
{
    switch (field.typeID()) {
    case 1:
        return adChar;
    case 12:
        return adVarChar;
    case -1:
        return adLongVarChar;
    case -8:
        return adWChar;
    case -9:
        return adVarWChar;
    case -10:
        return adLongVarWChar;
    case 2:
    case 3:
        return (field.precision() == 4 && (field.length() == 19 || field.length() == 10))
            ? adCurrency
            : adNumeric;
    case 5:
        return adSmallInt;
    case 4:
        return adInteger;
    case 7:
        return adSingle;
    case 6:
    case 8:
        return adDouble;
    case -7:
        return adBoolean;
    case -6:
        return adUnsignedTinyInt;
    case -5:
        return adBigInt;
    case -2:
        return adBinary;
    case -3:
        return adVarBinary;
    case -4:
        return adLongVarBinary;
    case 9:
    case 91:
        return adDBDate;
    case 10:
    case 92:
        return adDBTime;
    case 11:
    case 93:
        return adDBTimeStamp;
    default:
        break;
    }
    switch (field.metaType().id()) {
    case QMetaType::Int:
        return adInteger;
    case QMetaType::LongLong:
        return adBigInt;
    case QMetaType::Double:
        return adDouble;
    case QMetaType::Bool:
        return adBoolean;
    case QMetaType::QDateTime:
        return adDBTimeStamp;
    case QMetaType::QDate:
        return adDBDate;
    case QMetaType::QByteArray:
        return adLongVarBinary;
    default:
        return adVarWChar;
    }
}

Value toValue(const QVariant& v, int adoType)
{
    if (v.isNull())
        return Value::null();
    switch (adoType) {
    case adBoolean:
        return Value(v.toBool());
    case adSmallInt:
    case adUnsignedTinyInt:
        return Value(qint16(v.toInt()));
    case adInteger:
        return Value(qint32(v.toInt()));
    case adBigInt:
        return Value(qint64(v.toLongLong()));
    case adCurrency:
    case adNumeric:
        return OdbcEngine::amountOf(v);
    case adSingle:
        return Value(v.toFloat());
    case adDouble:
        return Value(v.toDouble());
    case adDBDate:
        return Value(v.toDate());
    case adDBTimeStamp:
        return Value(v.toDateTime());
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
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
        return v.toBool();
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
        return v.toLongLong();
    case ValueType::Currency:
    case ValueType::Double:
    case ValueType::Single:
        return v.toDouble();
    case ValueType::Date:
        return v.toDateTime();
    case ValueType::Bytes:
        return v.toBytes();
    case ValueType::Text:
        return v.toString();
    }
    return QVariant();
}

} // namespace

// Rows of one query; after detach() they come from memory and the connection is free.
class OdbcCursor final : public AdoCursor
{
public:
    OdbcCursor(OdbcEngine* engine, QSqlQuery query, QString table, QStringList keys)
        : m_engine(engine)
        , m_query(std::move(query))
        , m_table(std::move(table))
        , m_keys(std::move(keys))
    {
        const QSqlRecord record = m_query.record();
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField f = record.field(i);
            const int type = adoTypeOf(f);
            qint64 size = f.length() > 0 ? f.length() : 0;
            if (type == adLongVarChar || type == adLongVarWChar || type == adLongVarBinary)
                size = INT_MAX;
            m_columns.append({ f.name(), type, size });
        }
        for (const QString& k : m_keys) {
            for (int i = 0; i < m_columns.size(); ++i) {
                if (m_columns.at(i).name.compare(k, Qt::CaseInsensitive) == 0)
                    m_keyAt.append(i);
            }
        }
        if (m_keyAt.size() != m_keys.size()) {
            m_keys.clear();
            m_keyAt.clear();
        }
    }
    ~OdbcCursor() override
    {
        if (m_engine)
            m_engine->cursorGone(this);
    }

    const QList<AdoColumn>& columns() const override { return m_columns; }

    bool fetch(AdoRow& row) override
    {
        if (m_detached) {
            if (m_next >= m_buffer.size())
                return false;
            row = m_buffer.at(m_next++);
            return true;
        }
        if (!m_query.next()) {
            if (m_query.lastError().isValid() && m_query.lastError().type() != QSqlError::NoError) {
                m_failed = true;
                m_engine->reportError(m_query.lastError());
            }
            finish();
            return false;
        }
        row.values.resize(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row.values[i] = toValue(m_query.value(i), m_columns.at(i).type);
        row.key.clear();
        for (int at : m_keyAt)
            row.key.append(row.values.at(at));
        return true;
    }

    void detach()
    {
        if (m_detached)
            return;
        AdoRow row;
        QList<AdoRow> rest;
        while (fetch(row))
            rest.append(row);
        m_buffer = rest;
        m_detached = true;
        finish();
    }

    bool failed() const override { return m_failed; }
    QString baseTable() const override { return m_table; }
    QStringList keyColumns() const override { return m_keys; }

private:
    void finish()
    {
        m_query.finish();
        if (m_engine) {
            m_engine->cursorGone(this);
            m_engine = nullptr;
        }
        m_detached = true;
    }

    OdbcEngine* m_engine;
    QSqlQuery m_query;
    QString m_table;
    QStringList m_keys;
    QList<int> m_keyAt;
    QList<AdoColumn> m_columns;
    QList<AdoRow> m_buffer;
    qsizetype m_next = 0;
    bool m_detached = false;
    bool m_failed = false;
};

OdbcEngine::OdbcEngine(AdoErrors& errors)
    : QtDbEngine(errors, "odbc")
{
}

OdbcEngine::~OdbcEngine()
{
    close();
}

void OdbcEngine::reportError(const QSqlError& error)
{
    const QString native = error.nativeErrorCode().section(u';', 0, 0).trimmed();
    bool ok = false;
    int code = native.toInt(&ok);
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    QString state;
    // A broken link is the server's general network error whatever the driver calls it: FreeTDS
    // reports its own read/write/EOF failures (20003, 20004, 20006, 20017) and drivers name the
    // state 08S01 or a "communication link failure".
    static const QList<int> linkCodes = { 20003, 20004, 20006, 20017 };
    if (error.type() == QSqlError::ConnectionError || linkCodes.contains(code)
        || text.contains(QLatin1String("08S01")) || text.contains(QLatin1String("08003"))
        || text.contains(QLatin1String("08001"))
        || text.contains(QLatin1String("Communication link failure"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("General network error"), Qt::CaseInsensitive)) {
        state = QStringLiteral("08S01");
        code = SqlNativeError::GeneralNetworkError;
    }
    int number = AdoErrorNumber::Fail;
    if (code == SqlNativeError::DuplicateKey || code == SqlNativeError::ConstraintConflict
        || code == SqlNativeError::StringTruncated || code == 2601)
        number = AdoErrorNumber::IntegrityViolation;
    m_errors.add(AdoError(number, text, state, ok || code ? code : 0, ErrorSource));
}

Value OdbcEngine::amountOf(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString) {
        if (const auto c = Currency::fromString(v.toString()))
            return Value(*c);
        return Value(v.toDouble());
    }
    // A driver that still hands a double: the amount nearest to it, not its text, which for a
    // whole amount has an exponent ("1e+12").
    if (const auto c = Currency::fromDouble(v.toDouble()))
        return Value(*c);
    return Value(v.toDouble());
}

bool OdbcEngine::open(const QString& odbcText, const QString& user, const QString& password)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connectionName);
    // Decimal and money columns come as the server's own text, read into money exactly: a double
    // holds no amount of money's range past fifteen digits.
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    db.setDatabaseName(odbcText);
    if (!user.isEmpty())
        db.setUserName(user);
    if (!password.isEmpty())
        db.setPassword(password);
    if (!db.open()) {
        // A connection that never opened is no lost link: the plain provider failure.
        const QString native = db.lastError().nativeErrorCode().section(u';', 0, 0).trimmed();
        m_errors.add(AdoError(AdoErrorNumber::Fail, db.lastError().text(), QStringLiteral("08001"),
            native.toInt(), ErrorSource));
        db = QSqlDatabase();
        removeConnection();
        return false;
    }
    return true;
}

void OdbcEngine::close()
{
    settleReads();
    removeConnection();
}

void OdbcEngine::cursorGone(OdbcCursor* cursor)
{
    m_reads.removeAll(cursor);
}

void OdbcEngine::settleReads()
{
    const QList<OdbcCursor*> reads = m_reads;
    for (OdbcCursor* c : reads)
        c->detach();
}

bool OdbcEngine::execute(
    const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
{
    settleReads();
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        reportError(query.lastError());
        return false;
    }
    if (recordsAffected)
        *recordsAffected = query.isSelect() ? -1 : query.numRowsAffected();
    if (rows && query.isSelect()) {
        auto cursor
            = std::make_unique<OdbcCursor>(this, std::move(query), QString(), QStringList());
        m_reads.append(cursor.get());
        *rows = std::move(cursor);
    }
    return true;
}

std::unique_ptr<AdoCursor> OdbcEngine::openCursor(const QString& sql, bool updatable)
{
    settleReads();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QString table;
    QStringList keys;
    if (updatable) {
        table = TsqlTranslator::baseTable(sql);
        const QSqlIndex primary = db.primaryIndex(table);
        for (int i = 0; i < primary.count(); ++i)
            keys.append(primary.fieldName(i));
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        reportError(query.lastError());
        return nullptr;
    }
    auto cursor = std::make_unique<OdbcCursor>(this, std::move(query), table, keys);
    m_reads.append(cursor.get());
    return cursor;
}

bool OdbcEngine::beginTrans()
{
    settleReads();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.transaction()) {
        reportError(db.lastError());
        return false;
    }
    return true;
}

bool OdbcEngine::commitTrans()
{
    settleReads();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.commit()) {
        reportError(db.lastError());
        return false;
    }
    return true;
}

bool OdbcEngine::rollbackTrans()
{
    settleReads();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.rollback()) {
        reportError(db.lastError());
        return false;
    }
    return true;
}

std::unique_ptr<AdoCursor> OdbcEngine::openSchema(int schema, const QList<Value>& restrictions)
{
    settleReads();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const QString table = adoSchemaRestriction(restrictions, 2);
    QList<QList<Value>> rows;
    QList<QPair<QString, QString>> tables;
    for (const QString& t : db.tables(QSql::Tables)) {
        if (table.isEmpty() || t.compare(table, Qt::CaseInsensitive) == 0)
            tables.append({ t, QStringLiteral("TABLE") });
    }
    for (const QString& t : db.tables(QSql::Views)) {
        if (table.isEmpty() || t.compare(table, Qt::CaseInsensitive) == 0)
            tables.append({ t, QStringLiteral("VIEW") });
    }
    if (schema == adSchemaTables) {
        for (const auto& [name, type] : tables)
            rows.append({ Value::null(), Value::null(), Value(name), Value(type) });
        return std::make_unique<AdoMemoryCursor>(adoSchemaColumns(adSchemaTables), rows);
    }
    const QString column = adoSchemaRestriction(restrictions, 3);
    for (const auto& pair : tables) {
        const QSqlRecord record = db.record(pair.first);
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField f = record.field(i);
            if (!column.isEmpty() && f.name().compare(column, Qt::CaseInsensitive) != 0)
                continue;
            rows.append({ Value::null(), Value::null(), Value(pair.first), Value(f.name()),
                Value(qint32(i + 1)), Value(qint32(adoTypeOf(f))),
                f.length() > 0 ? Value(qint64(f.length())) : Value::null() });
        }
    }
    return std::make_unique<AdoMemoryCursor>(adoSchemaColumns(adSchemaColumns), rows);
}

bool OdbcEngine::writeRow(const QString& sql, const QList<Value>& values)
{
    settleReads();
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!query.prepare(sql)) {
        reportError(query.lastError());
        return false;
    }
    for (const Value& v : values)
        query.addBindValue(toVariant(v));
    if (!query.exec()) {
        reportError(query.lastError());
        return false;
    }
    return true;
}

bool OdbcEngine::insertRow(const QString& table, const QStringList& columns,
    const QList<Value>& values, const QStringList& keyColumns, QList<Value>* newKey)
{
    QSqlDriver* driver = QSqlDatabase::database(m_connectionName, false).driver();
    QStringList names;
    for (const QString& c : columns)
        names.append(driver->escapeIdentifier(c, QSqlDriver::FieldName));
    const QString sql
        = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(driver->escapeIdentifier(table, QSqlDriver::TableName), names.join(u','),
                  QStringList(columns.size(), QStringLiteral("?")).join(u','));
    if (!writeRow(sql, values))
        return false;
    if (newKey) {
        newKey->clear();
        for (const QString& k : keyColumns) {
            const qsizetype at = columns.indexOf(k);
            newKey->append(at >= 0 ? values.at(at) : Value::null());
        }
    }
    return true;
}

bool OdbcEngine::updateRow(const QString& table, const QStringList& keyColumns,
    const QList<Value>& key, const QStringList& columns, const QList<Value>& values)
{
    if (keyColumns.isEmpty()) {
        m_errors.add(AdoError(int(0x80040E38u),
            QStringLiteral("No se encuentra la fila para actualizarla: la consulta no trae la "
                           "clave primaria de \"%1\".")
                .arg(table),
            QStringLiteral("HY000"), 0, ErrorSource));
        return false;
    }
    QSqlDriver* driver = QSqlDatabase::database(m_connectionName, false).driver();
    QStringList sets;
    for (const QString& c : columns)
        sets.append(driver->escapeIdentifier(c, QSqlDriver::FieldName) + QStringLiteral(" = ?"));
    QStringList where;
    for (const QString& k : keyColumns)
        where.append(driver->escapeIdentifier(k, QSqlDriver::FieldName) + QStringLiteral(" = ?"));
    return writeRow(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                        .arg(driver->escapeIdentifier(table, QSqlDriver::TableName),
                            sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND "))),
        values + key);
}

bool OdbcEngine::deleteRow(
    const QString& table, const QStringList& keyColumns, const QList<Value>& key)
{
    if (keyColumns.isEmpty()) {
        m_errors.add(AdoError(int(0x80040E38u),
            QStringLiteral("No se encuentra la fila para eliminarla: la consulta no trae la clave "
                           "primaria de \"%1\".")
                .arg(table),
            QStringLiteral("HY000"), 0, ErrorSource));
        return false;
    }
    QSqlDriver* driver = QSqlDatabase::database(m_connectionName, false).driver();
    QStringList where;
    for (const QString& k : keyColumns)
        where.append(driver->escapeIdentifier(k, QSqlDriver::FieldName) + QStringLiteral(" = ?"));
    return writeRow(QStringLiteral("DELETE FROM %1 WHERE %2")
                        .arg(driver->escapeIdentifier(table, QSqlDriver::TableName),
                            where.join(QStringLiteral(" AND "))),
        key);
}

void OdbcEngine::setCommandTimeout(int) { }

bool OdbcEngine::setDefaultDatabase(const QString& name)
{
    if (name.trimmed().isEmpty())
        return true;
    QString quoted = name.trimmed();
    quoted.replace(u']', QStringLiteral("]]"));
    return execute(QStringLiteral("USE [%1]").arg(quoted), nullptr, nullptr);
}
