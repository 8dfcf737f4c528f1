#include "platform/qt/SqliteEngine.h"

#include <climits>
#include <utility>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

#include "platform/AdoTypes.h"
#include "platform/qt/SqlServerFunctions.h"
#include "platform/qt/SqliteText.h"

namespace {

const QString ErrorSource = QStringLiteral("Proveedor SQLite");
const QString RowidColumn = QStringLiteral("rp_rowid__");
const QString RowidKey = QStringLiteral("rowid");
// Texts whose translation is kept per connection, past which the kept ones are let go.
constexpr qsizetype MaxTranslations = 256;

// Another connection holds the file: the answer once the busy time-out has passed.
bool isBusy(int rc)
{
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

enum class Kind
{
    Auto,
    Text,
    Int16,
    Int32,
    Int64,
    Bool,
    Currency,
    Numeric,
    Double,
    Single,
    Date,
    Bytes
};

struct ColumnType
{
    int adoType = adVarWChar;
    qint64 size = 0;
    Kind kind = Kind::Auto;
    int scale = -1;
};

// The ADO type, size and value conversion of a column from its declared type.
ColumnType declaredType(const char* decl)
{
    ColumnType c;
    if (!decl || !*decl)
        return c;
    const QString text = QString::fromUtf8(decl).trimmed().toUpper();
    qsizetype n = 0;
    while (n < text.size() && (text.at(n).isLetterOrNumber() || text.at(n) == u'_'))
        ++n;
    const QString base = text.left(n);
    int length = -1;
    int scale = -1;
    const qsizetype open = text.indexOf(u'(');
    if (open >= 0) {
        const qsizetype close = text.indexOf(u')', open);
        const QStringList args = text.mid(open + 1, close - open - 1).split(u',');
        bool ok = false;
        length = args.value(0).trimmed().toInt(&ok);
        if (!ok)
            length = -1;
        if (args.size() > 1)
            scale = args.at(1).trimmed().toInt();
    }
    const bool max = text.contains(QLatin1String("(MAX)"));
    auto set = [&](int type, qint64 size, Kind kind) {
        c.adoType = type;
        c.size = size;
        c.kind = kind;
    };
    if (base == u"VARCHAR")
        set(max ? adLongVarChar : adVarChar, max || length < 0 ? INT_MAX : length, Kind::Text);
    else if (base == u"NVARCHAR")
        set(max ? adLongVarWChar : adVarWChar, max || length < 0 ? INT_MAX : length, Kind::Text);
    else if (base == u"CHAR")
        set(adChar, length < 0 ? 1 : length, Kind::Text);
    else if (base == u"NCHAR")
        set(adWChar, length < 0 ? 1 : length, Kind::Text);
    else if (base == u"TEXT" || base == u"CLOB")
        set(adLongVarChar, INT_MAX, Kind::Text);
    else if (base == u"NTEXT")
        set(adLongVarWChar, INT_MAX, Kind::Text);
    else if (base == u"INT" || base == u"INTEGER")
        set(adInteger, 4, Kind::Int32);
    else if (base == u"SMALLINT")
        set(adSmallInt, 2, Kind::Int16);
    else if (base == u"TINYINT")
        set(adUnsignedTinyInt, 1, Kind::Int16);
    else if (base == u"BIGINT")
        set(adBigInt, 8, Kind::Int64);
    else if (base == u"BIT" || base == u"BOOLEAN")
        set(adBoolean, 2, Kind::Bool);
    else if (base == u"MONEY" || base == u"SMALLMONEY")
        set(adCurrency, 8, Kind::Currency);
    else if (base == u"DECIMAL" || base == u"NUMERIC") {
        set(adNumeric, 19, Kind::Numeric);
        c.scale = scale < 0 ? 0 : scale;
    } else if (base == u"FLOAT" || base == u"DOUBLE")
        set(adDouble, 8, Kind::Double);
    else if (base == u"REAL")
        set(adSingle, 4, Kind::Single);
    else if (base == u"DATETIME" || base == u"SMALLDATETIME" || base == u"DATETIME2"
        || base == u"TIMESTAMP")
        set(adDBTimeStamp, 16, Kind::Date);
    else if (base == u"DATE")
        set(adDBDate, 6, Kind::Date);
    else if (base == u"VARBINARY" || base == u"BINARY")
        set(max ? adLongVarBinary : adVarBinary, max || length < 0 ? INT_MAX : length, Kind::Bytes);
    else if (base == u"IMAGE" || base == u"BLOB")
        set(adLongVarBinary, INT_MAX, Kind::Bytes);
    else if (text.contains(QLatin1String("INT")))
        set(adInteger, 4, Kind::Int32);
    else if (text.contains(QLatin1String("CHAR")) || text.contains(QLatin1String("TEXT")))
        set(adVarWChar, length < 0 ? INT_MAX : length, Kind::Text);
    else if (text.contains(QLatin1String("REAL")) || text.contains(QLatin1String("FLOA"))
        || text.contains(QLatin1String("DOUB")))
        set(adDouble, 8, Kind::Double);
    return c;
}

QString columnText(sqlite3_stmt* stmt, int i)
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt, i));
}

Value autoValue(sqlite3_stmt* stmt, int i, int storage)
{
    switch (storage) {
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(stmt, i);
        if (v >= INT_MIN && v <= INT_MAX)
            return Value(qint32(v));
        return Value(v);
    }
    case SQLITE_FLOAT:
        return Value(sqlite3_column_double(stmt, i));
    case SQLITE_BLOB:
        return Value(QByteArray(
            static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i)));
    default:
        return Value(columnText(stmt, i));
    }
}

Value columnValue(sqlite3_stmt* stmt, int i, const ColumnType& type)
{
    const int storage = sqlite3_column_type(stmt, i);
    if (storage == SQLITE_NULL)
        return Value::null();
    const bool number = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (type.kind) {
    case Kind::Text:
        if (storage == SQLITE_TEXT || storage == SQLITE_BLOB)
            return Value(columnText(stmt, i));
        return Value(columnText(stmt, i));
    case Kind::Int32:
        if (storage == SQLITE_INTEGER)
            return Value(qint32(sqlite3_column_int64(stmt, i)));
        break;
    case Kind::Int16:
        if (storage == SQLITE_INTEGER)
            return Value(qint16(sqlite3_column_int(stmt, i)));
        break;
    case Kind::Int64:
        if (storage == SQLITE_INTEGER)
            return Value(qint64(sqlite3_column_int64(stmt, i)));
        break;
    case Kind::Bool:
        if (number)
            return Value(sqlite3_column_double(stmt, i) != 0);
        if (storage == SQLITE_TEXT) {
            const QString text = columnText(stmt, i).trimmed();
            if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return Value(true);
            if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return Value(false);
        }
        break;
    case Kind::Currency:
    case Kind::Numeric:
        if (number) {
            if (type.kind == Kind::Numeric && type.scale > 4)
                return Value(sqlite3_column_double(stmt, i));
            // A number beyond what money holds comes as a double: it fails where it is used
            // as money, naming the value.
            if (storage == SQLITE_INTEGER) {
                const qint64 n = sqlite3_column_int64(stmt, i);
                if (n <= LLONG_MAX / Currency::Scale && n >= -LLONG_MAX / Currency::Scale)
                    return Value(Currency::fromInteger(n));
            }
            if (const auto c = Currency::fromDouble(sqlite3_column_double(stmt, i)))
                return Value(*c);
            return Value(sqlite3_column_double(stmt, i));
        }
        if (storage == SQLITE_TEXT) {
            if (const auto c = Currency::fromString(columnText(stmt, i)))
                return Value(*c);
        }
        break;
    case Kind::Double:
        if (number)
            return Value(sqlite3_column_double(stmt, i));
        break;
    case Kind::Single:
        if (number)
            return Value(float(sqlite3_column_double(stmt, i)));
        break;
    case Kind::Date:
        if (storage == SQLITE_TEXT) {
            const QDateTime when = parseSqlDateTime(columnText(stmt, i));
            if (when.isValid())
                return Value(QDateTime(when.date(), when.time()));
        }
        break;
    case Kind::Bytes:
    case Kind::Auto:
        break;
    }
    return autoValue(stmt, i, storage);
}

// Rows of one prepared statement, read as they are asked for.
class SqliteCursor final : public AdoCursor
{
public:
    SqliteCursor(SqliteEngine* engine, sqlite3_stmt* stmt, bool rowid, QString table,
        std::weak_ptr<SqliteStatementCache> cache = {}, QByteArray shape = {})
        : m_engine(engine)
        , m_stmt(stmt)
        , m_first(rowid ? 1 : 0)
        , m_table(std::move(table))
        , m_cache(std::move(cache))
        , m_shape(std::move(shape))
    {
    }
    ~SqliteCursor() override
    {
        const std::shared_ptr<SqliteStatementCache> cache = m_cache.lock();
        if (cache && !m_shape.isEmpty())
            cache->keep(m_shape, m_stmt);
        else
            sqlite3_finalize(m_stmt);
    }

    // Reads the first row (expression columns take their type from it). False on an error.
    bool start()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            m_pending = true;
        } else if (rc == SQLITE_DONE) {
            m_done = true;
        } else {
            m_engine->reportError(rc);
            return false;
        }
        const int count = sqlite3_column_count(m_stmt);
        for (int i = m_first; i < count; ++i) {
            ColumnType type = declaredType(sqlite3_column_decltype(m_stmt, i));
            if (type.kind == Kind::Auto) {
                switch (m_pending ? sqlite3_column_type(m_stmt, i) : SQLITE_NULL) {
                case SQLITE_INTEGER:
                    type.adoType = adInteger;
                    type.size = 4;
                    break;
                case SQLITE_FLOAT:
                    type.adoType = adDouble;
                    type.size = 8;
                    break;
                case SQLITE_BLOB:
                    type.adoType = adLongVarBinary;
                    type.size = INT_MAX;
                    break;
                default:
                    type.adoType = adVarWChar;
                    type.size = 4000;
                    break;
                }
            }
            m_types.append(type);
            m_columns.append(
                { QString::fromUtf8(sqlite3_column_name(m_stmt, i)), type.adoType, type.size });
        }
        return true;
    }

    const QList<AdoColumn>& columns() const override { return m_columns; }

    bool fetch(AdoRow& row) override
    {
        if (m_done)
            return false;
        if (!m_pending) {
            const int rc = sqlite3_step(m_stmt);
            if (rc != SQLITE_ROW) {
                m_done = true;
                if (rc != SQLITE_DONE) {
                    m_failed = true;
                    m_engine->reportError(rc);
                }
                sqlite3_reset(m_stmt);
                return false;
            }
        }
        m_pending = false;
        const int n = int(m_types.size());
        row.values.resize(n);
        for (int i = 0; i < n; ++i)
            row.values[i] = columnValue(m_stmt, i + m_first, m_types.at(i));
        if (m_first) {
            row.key.resize(1);
            row.key[0] = Value(qint64(sqlite3_column_int64(m_stmt, 0)));
        } else {
            row.key.clear();
        }
        return true;
    }

    bool failed() const override { return m_failed; }
    QString baseTable() const override { return m_table; }
    QStringList keyColumns() const override
    {
        return m_first ? QStringList { RowidKey } : QStringList();
    }

private:
    SqliteEngine* m_engine;
    sqlite3_stmt* m_stmt;
    int m_first;
    QString m_table;
    std::weak_ptr<SqliteStatementCache> m_cache;
    QByteArray m_shape;
    QList<AdoColumn> m_columns;
    QList<ColumnType> m_types;
    bool m_pending = false;
    bool m_done = false;
    bool m_failed = false;
};

QString quoteName(const QString& name)
{
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

// The table a constraint message names ("UNIQUE constraint failed: T.col").
QString tableInMessage(const QString& message)
{
    const qsizetype colon = message.lastIndexOf(u':');
    if (colon < 0)
        return QString();
    QString rest = message.mid(colon + 1).trimmed();
    const qsizetype dot = rest.indexOf(u'.');
    return dot < 0 ? rest : rest.left(dot);
}

bool isConstraintNative(int native)
{
    return native == 2627 || native == 547 || native == 515;
}

// rp_truncated('table'): called by the column rules when they cut a text, so that the statement
// ends with the server's truncation warning.
void noteTruncation(sqlite3_context* context, int, sqlite3_value** argv)
{
    auto* table = static_cast<QString*>(sqlite3_user_data(context));
    *table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    sqlite3_result_null(context);
}

} // namespace

SqliteEngine::SqliteEngine(AdoErrors& errors)
    : QtDbEngine(errors, "sqlite")
{
}

SqliteEngine::~SqliteEngine()
{
    close();
}

void SqliteEngine::reportError(int rc)
{
    const int extended = m_db ? sqlite3_extended_errcode(m_db) : rc;
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    int number = AdoErrorNumber::ErrorsInCommand;
    int native = 0;
    QString state = QStringLiteral("42000");
    QString text = message;
    if (extended == SQLITE_CONSTRAINT_PRIMARYKEY || extended == SQLITE_CONSTRAINT_UNIQUE
        || extended == SQLITE_CONSTRAINT_ROWID) {
        native = SqlNativeError::DuplicateKey;
        number = AdoErrorNumber::IntegrityViolation;
        state = QStringLiteral("23000");
        text = QStringLiteral("Infracción de la restricción de clave única: no se puede insertar "
                              "una clave duplicada en el objeto '%1'. (%2)")
                   .arg(tableInMessage(message), message);
    } else if (extended == SQLITE_CONSTRAINT_FOREIGNKEY || extended == SQLITE_CONSTRAINT_CHECK
        || extended == SQLITE_CONSTRAINT_TRIGGER || (rc & 0xff) == SQLITE_CONSTRAINT) {
        if (extended == SQLITE_CONSTRAINT_NOTNULL) {
            native = SqlNativeError::CannotInsertNull;
            text = QStringLiteral("No se puede insertar el valor NULL en la columna. (%1)")
                       .arg(message);
        } else {
            native = SqlNativeError::ConstraintConflict;
            text = QStringLiteral("La instrucción entra en conflicto con una restricción de "
                                  "clave externa o de comprobación. (%1)")
                       .arg(message);
        }
        number = AdoErrorNumber::IntegrityViolation;
        state = QStringLiteral("23000");
    } else if (isBusy(rc)) {
        native = 1222;
        number = int(0x80040E31u);
        state = QStringLiteral("HYT00");
        text = QStringLiteral("Se agotó el tiempo de espera: la base de datos está ocupada. (%1)")
                   .arg(message);
    } else if (const QString failure = m_file.failureText(rc); !failure.isEmpty()) {
        // The sentence says all the operator can act on; SQLite's English adds nothing to it.
        number = AdoErrorNumber::Fail;
        state = QStringLiteral("HY000");
        text = failure;
    } else if (message.startsWith(u"La conversión de texto a fecha falló")) {
        native = 241;
        state = QStringLiteral("22007");
    } else if (message.startsWith(QLatin1String("no such table"))) {
        native = 208;
        number = AdoErrorNumber::NoTable;
        state = QStringLiteral("42S02");
        text = QStringLiteral("El nombre de objeto no es válido. (%1)").arg(message);
    } else if (message.startsWith(QLatin1String("no such column"))) {
        native = 207;
        state = QStringLiteral("42S22");
        text = QStringLiteral("El nombre de columna no es válido. (%1)").arg(message);
    } else if (message.contains(QLatin1String("syntax error"))) {
        native = 102;
        text = QStringLiteral("Sintaxis incorrecta. (%1)").arg(message);
    } else if ((rc & 0xff) != SQLITE_ERROR) {
        number = AdoErrorNumber::Fail;
        state = QStringLiteral("HY000");
    }
    m_errors.add(AdoError(number, text, state, native, ErrorSource));
    // The server follows a refused row with the notice that the statement ended.
    if (isConstraintNative(native))
        m_errors.add(AdoError(number, QStringLiteral("Se terminó la instrucción."),
            QStringLiteral("01000"), SqlNativeError::StatementTerminated, ErrorSource));
}

bool SqliteEngine::open(const QString& path)
{
    const auto refuse = [&](const QString& text) {
        m_errors.add(
            AdoError(AdoErrorNumber::Fail, text, QStringLiteral("08004"), 4060, ErrorSource));
        return false;
    };
    if (const QString refusal = m_file.refusal(path); !refusal.isEmpty())
        return refuse(refusal);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(m_file.databaseName());
        db.setConnectOptions(m_file.connectOptions());
        if (!db.open()) {
            refuse(QStringLiteral("No se puede abrir la base de datos \"%1\": %2")
                       .arg(path, db.lastError().text()));
            db = QSqlDatabase();
            removeConnection();
            return false;
        }
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_db = *static_cast<sqlite3* const*>(handle.constData());
    }
    if (!m_db) {
        m_errors.add(AdoError(AdoErrorNumber::Fail,
            QStringLiteral("El controlador SQLite no entrega su conexión."),
            QStringLiteral("HY000"), 0, ErrorSource));
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    if (const QString refusal = m_file.firstReadRefusal(m_db); !refusal.isEmpty()) {
        refuse(refusal);
        close();
        return false;
    }
    registerSqliteText(m_db);
    registerSqlServerFunctions(m_db);
    sqlite3_create_function_v2(m_db, "rp_truncated", 1, SQLITE_UTF8, &m_truncatedTable,
        &noteTruncation, nullptr, nullptr, nullptr);
    exec("PRAGMA foreign_keys = ON");
    // A report in another order than the rows' own (by description, say) searches an index for
    // every row, and with SQLite's default cache of 2 MB it reads the same pages of a large file
    // again and again. The cache only grows as pages are read, so a small file costs no more.
    exec("PRAGMA cache_size = -65536");
    m_file.openJournal(m_db);
    sqlite3_stmt* setting = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA synchronous", -1, &setting, nullptr) == SQLITE_OK
        && sqlite3_step(setting) == SQLITE_ROW)
        m_synchronous = sqlite3_column_int(setting, 0);
    sqlite3_finalize(setting);
    // The column rules are made by the first statement that writes (see prepare()): a
    // connection that only reads opens without them.
    m_rules = RulesState::None;
    m_errors.Clear();
    return true;
}

void SqliteEngine::close()
{
    if (m_transactionCount > 0 && m_db && !sqlite3_get_autocommit(m_db))
        exec("ROLLBACK");
    m_transactionCount = 0;
    m_rules = RulesState::None;
    // Kept statements hold the connection open: they go before it closes.
    m_statements = std::make_shared<SqliteStatementCache>();
    m_schemaRows.clear();
    m_schemaVersion = -1;
    m_file.closeJournal(m_db);
    m_db = nullptr;
    removeConnection();
}

bool SqliteEngine::exec(const char* sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        reportError(rc);
        return false;
    }
    return true;
}

sqlite3_stmt* SqliteEngine::prepare(const QString& sql)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        reportError(rc);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (stmt && m_rules != RulesState::Made && !sqlite3_stmt_readonly(stmt))
        ensureColumnRules();
    return stmt;
}

// Made before the first statement that writes; the statement already prepared is prepared again
// by SQLite when it runs, with the new triggers. Triggers made inside a transaction go when it is
// rolled back, so until a write finds them outside any transaction they are looked for again.
void SqliteEngine::ensureColumnRules()
{
    if (m_rules == RulesState::Uncertain) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db,
            "SELECT count(*) FROM sqlite_temp_master WHERE type = 'trigger' "
            "AND name GLOB 'rp_*'",
            -1, &stmt, nullptr);
        const bool present
            = stmt && sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) > 0;
        sqlite3_finalize(stmt);
        if (present) {
            if (sqlite3_get_autocommit(m_db))
                m_rules = RulesState::Made;
            return;
        }
    }
    const int made = installColumnRules();
    m_rules = made > 0 && !sqlite3_get_autocommit(m_db) ? RulesState::Uncertain : RulesState::Made;
}

bool SqliteEngine::stepToEnd(sqlite3_stmt* stmt)
{
    m_truncatedTable.clear();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) { }
    if (rc != SQLITE_DONE) {
        reportError(rc);
        return false;
    }
    if (!m_truncatedTable.isEmpty())
        m_errors.add(AdoError(0,
            QStringLiteral("Los datos de texto o binarios se truncaron al largo de la columna "
                           "(tabla %1).")
                .arg(m_truncatedTable),
            QStringLiteral("01004"), SqlNativeError::StringTruncated, ErrorSource));
    return true;
}

bool SqliteEngine::bindAll(sqlite3_stmt* stmt, const QList<Value>& values)
{
    for (int i = 0; i < values.size(); ++i) {
        const Value& v = values.at(i);
        const int at = i + 1;
        switch (v.type()) {
        case ValueType::Empty:
        case ValueType::Null:
            sqlite3_bind_null(stmt, at);
            break;
        case ValueType::Boolean:
            sqlite3_bind_int(stmt, at, v.toBool() ? 1 : 0);
            break;
        case ValueType::Int16:
        case ValueType::Int32:
        case ValueType::Int64:
            sqlite3_bind_int64(stmt, at, v.toLongLong());
            break;
        case ValueType::Currency:
        case ValueType::Double:
        case ValueType::Single:
            sqlite3_bind_double(stmt, at, v.toDouble());
            break;
        case ValueType::Date:
        case ValueType::Text: {
            const QString text
                = v.type() == ValueType::Date ? sqlDateText(v.toDateTime()) : v.toString();
            sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
            break;
        }
        case ValueType::Bytes: {
            const QByteArray bytes = v.toBytes();
            sqlite3_bind_blob(stmt, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    return true;
}

void SqliteEngine::syncTransactionCount()
{
    // The engine ends a transaction by itself on some failures.
    if (m_transactionCount > 0 && sqlite3_get_autocommit(m_db)) {
        m_transactionCount = 0;
        endDelayedCommit();
    }
}

void SqliteEngine::endDelayedCommit()
{
    if (!m_delayed)
        return;
    m_delayed = false;
    exec(QStringLiteral("PRAGMA synchronous = %1").arg(m_synchronous).toLatin1().constData());
}

bool SqliteEngine::beginTrans()
{
    syncTransactionCount();
    // The write lock is taken at once: a transaction that read first and wrote later could find
    // another connection's commit in between and fail without waiting for it, where taken here
    // it is waited for as any busy database is.
    const bool delay = std::exchange(m_delayNext, false);
    if (m_transactionCount == 0) {
        // The setting cannot change inside a transaction. With the write-ahead journal a commit
        // without its sync is still atomic; the next synced commit makes it durable too.
        if (delay) {
            exec("PRAGMA synchronous = NORMAL");
            m_delayed = true;
        }
        if (!exec("BEGIN IMMEDIATE")) {
            endDelayedCommit();
            return false;
        }
    }
    ++m_transactionCount;
    return true;
}

bool SqliteEngine::commitTrans()
{
    syncTransactionCount();
    if (m_transactionCount == 0) {
        m_errors.add(AdoError(AdoErrorNumber::ErrorsInCommand,
            QStringLiteral("La solicitud COMMIT TRANSACTION no tiene la correspondiente BEGIN "
                           "TRANSACTION."),
            QStringLiteral("25000"), 3902, ErrorSource));
        return false;
    }
    if (m_transactionCount == 1) {
        if (!exec("COMMIT"))
            return false;
        endDelayedCommit();
        // Rules made inside the transaction are kept from now on.
        if (m_rules == RulesState::Uncertain)
            m_rules = RulesState::Made;
    }
    --m_transactionCount;
    return true;
}

bool SqliteEngine::rollbackTrans()
{
    syncTransactionCount();
    if (m_transactionCount == 0) {
        m_errors.add(AdoError(AdoErrorNumber::ErrorsInCommand,
            QStringLiteral("La solicitud ROLLBACK TRANSACTION no tiene la correspondiente BEGIN "
                           "TRANSACTION."),
            QStringLiteral("25000"), 3903, ErrorSource));
        return false;
    }
    m_transactionCount = 0;
    const bool done = exec("ROLLBACK");
    endDelayedCommit();
    return done;
}

std::optional<bool> SqliteEngine::runShaped(const QString& sql, qint64& affected)
{
    const std::optional<SqliteStatementCache::Shape> shape = SqliteStatementCache::shapeOf(sql);
    if (!shape || m_statements->refused(shape->sql))
        return std::nullopt;
    sqlite3_stmt* stmt = m_statements->take(shape->sql);
    if (!stmt) {
        // A shape SQLite refuses is no fault of the statement: its own text says what is wrong.
        if (sqlite3_prepare_v2(m_db, shape->sql.constData(), int(shape->sql.size()), &stmt, nullptr)
                != SQLITE_OK
            || !stmt || sqlite3_column_count(stmt) > 0
            || sqlite3_bind_parameter_count(stmt) != shape->values.size()) {
            sqlite3_finalize(stmt);
            m_statements->refuse(shape->sql);
            return std::nullopt;
        }
    }
    // Also on a statement kept from before: rules made in a transaction that was rolled back
    // went with it.
    if (m_rules != RulesState::Made)
        ensureColumnRules();
    bindAll(stmt, shape->values);
    const bool ok = stepToEnd(stmt);
    if (ok)
        affected += sqlite3_changes(m_db);
    m_statements->keep(shape->sql, stmt);
    return ok;
}

bool SqliteEngine::runSql(const QString& sql, qint64& affected, std::unique_ptr<AdoCursor>* rows)
{
    if (const std::optional<bool> done = runShaped(sql, affected))
        return *done;
    sqlite3_stmt* stmt = prepare(sql);
    if (!stmt)
        return false;
    if (rows && !*rows && sqlite3_column_count(stmt) > 0) {
        auto cursor = std::make_unique<SqliteCursor>(this, stmt, false, QString());
        if (!cursor->start())
            return false;
        *rows = std::move(cursor);
        return true;
    }
    const bool ok = stepToEnd(stmt);
    if (ok && !sqlite3_stmt_readonly(stmt) && sqlite3_column_count(stmt) == 0) {
        const QString head = sql.left(8).trimmed().toUpper();
        if (head.startsWith(u"INSERT") || head.startsWith(u"UPDATE") || head.startsWith(u"DELETE")
            || head.startsWith(u"REPLACE"))
            affected += sqlite3_changes(m_db);
    }
    sqlite3_finalize(stmt);
    return ok;
}

// Runs a translated batch. A refused row (duplicate key, constraint, truncation) ends only its
// statement and the batch goes on, as on the server; any other failure ends the batch.
bool SqliteEngine::runList(const QList<TsqlStatement>& list, qint64& affected,
    std::unique_ptr<AdoCursor>* rows, bool& stop)
{
    bool ok = true;
    for (const TsqlStatement& st : list) {
        if (stop)
            break;
        const int errorsBefore = m_errors.Count();
        bool done = true;
        switch (st.kind) {
        case TsqlStatement::Kind::Sql:
            done = runSql(st.sql, affected, rows);
            break;
        case TsqlStatement::Kind::Begin:
            done = beginTrans();
            break;
        case TsqlStatement::Kind::Commit:
            done = commitTrans();
            break;
        case TsqlStatement::Kind::Rollback:
            done = rollbackTrans();
            break;
        case TsqlStatement::Kind::IfExists: {
            sqlite3_stmt* stmt = prepare(st.sql);
            if (!stmt) {
                done = false;
                break;
            }
            const int rc = sqlite3_step(stmt);
            if (rc != SQLITE_ROW) {
                reportError(rc);
                sqlite3_finalize(stmt);
                done = false;
                break;
            }
            const bool holds = sqlite3_column_int(stmt, 0) != 0;
            sqlite3_finalize(stmt);
            done = runList(holds ? st.then : st.otherwise, affected, rows, stop);
            break;
        }
        }
        if (!done) {
            ok = false;
            const int native
                = m_errors.Count() > errorsBefore ? m_errors.Item(errorsBefore).NativeError() : 0;
            if (!isConstraintNative(native))
                stop = true;
        }
    }
    return ok;
}

bool SqliteEngine::execute(
    const QString& sql, qint64* recordsAffected, std::unique_ptr<AdoCursor>* rows)
{
    const TsqlTranslator::Batch batch = translated(sql);
    if (!batch.error.isEmpty()) {
        m_errors.add(AdoError(
            AdoErrorNumber::ErrorsInCommand, batch.error, QStringLiteral("42000"), 0, ErrorSource));
        return false;
    }
    qint64 affected = 0;
    bool stop = false;
    const bool ok = runList(batch.statements, affected, rows, stop);
    if (recordsAffected)
        *recordsAffected = affected;
    return ok;
}

std::unique_ptr<AdoCursor> SqliteEngine::openCursor(const QString& sql, bool updatable)
{
    TsqlTranslator::Query query = translatedQuery(sql, updatable ? RowidColumn : QString());
    if (!query.error.isEmpty()) {
        m_errors.add(AdoError(
            AdoErrorNumber::ErrorsInCommand, query.error, QStringLiteral("42000"), 0, ErrorSource));
        return nullptr;
    }
    QByteArray shape;
    sqlite3_stmt* stmt = prepareQuery(query.sql, shape);
    // A file another process holds (its schema unreadable under the old journal) fails the
    // same without the rowid: tried again it would wait the whole time-out once more.
    if (!stmt && query.hasRowid && !isBusy(sqlite3_errcode(m_db))) {
        // A view has no rowid: its rows can be added (INSTEAD OF triggers) but not found again.
        m_errors.Clear();
        query = translatedQuery(sql, QString());
        stmt = prepareQuery(query.sql, shape);
    }
    if (!stmt)
        return nullptr;
    if (sqlite3_column_count(stmt) == 0) {
        if (shape.isEmpty())
            sqlite3_finalize(stmt);
        else
            m_statements->keep(shape, stmt);
        m_errors.add(AdoError(AdoErrorNumber::ErrorsInCommand,
            QStringLiteral("La instrucción no devuelve filas."), QStringLiteral("42000"), 0,
            ErrorSource));
        return nullptr;
    }
    auto cursor = std::make_unique<SqliteCursor>(
        this, stmt, query.hasRowid, updatable ? query.table : QString(), m_statements, shape);
    if (!cursor->start())
        return nullptr;
    return cursor;
}

// The program sends the same statements again and again (its settings, the buffer's clearing,
// the report names of each voucher): each text is translated once.
TsqlTranslator::Batch SqliteEngine::translated(const QString& sql)
{
    const auto kept = m_batches.constFind(sql);
    if (kept != m_batches.constEnd())
        return *kept;
    TsqlTranslator::Batch batch = TsqlTranslator::translate(sql);
    if (m_batches.size() >= MaxTranslations)
        m_batches.clear();
    m_batches.insert(sql, batch);
    return batch;
}

TsqlTranslator::Query SqliteEngine::translatedQuery(const QString& sql, const QString& rowidColumn)
{
    const QString key = rowidColumn + u'\x1f' + sql;
    const auto kept = m_queries.constFind(key);
    if (kept != m_queries.constEnd())
        return *kept;
    TsqlTranslator::Query query = TsqlTranslator::translateQuery(sql, rowidColumn);
    if (m_queries.size() >= MaxTranslations)
        m_queries.clear();
    m_queries.insert(key, query);
    return query;
}

sqlite3_stmt* SqliteEngine::prepareQuery(const QString& sql, QByteArray& shape)
{
    shape.clear();
    const std::optional<SqliteStatementCache::Shape> found
        = SqliteStatementCache::shapeOfQuery(sql);
    if (!found || m_statements->refused(found->sql))
        return prepare(sql);
    sqlite3_stmt* stmt = m_statements->take(found->sql);
    if (!stmt) {
        // A shape SQLite refuses is no fault of the query: its own text says what is wrong.
        const int rc = sqlite3_prepare_v2(
            m_db, found->sql.constData(), int(found->sql.size()), &stmt, nullptr);
        if (rc != SQLITE_OK || !stmt
            || sqlite3_bind_parameter_count(stmt) != found->values.size()) {
            sqlite3_finalize(stmt);
            // A file another process holds (its schema unreadable under the old journal) fails
            // any text the same: the shape stays, and the text is not tried for another wait.
            if (isBusy(rc)) {
                reportError(rc);
                return nullptr;
            }
            m_statements->refuse(found->sql);
            return prepare(sql);
        }
    }
    bindAll(stmt, found->values);
    shape = found->sql;
    return stmt;
}

std::unique_ptr<AdoCursor> SqliteEngine::openSchema(int schema, const QList<Value>& restrictions)
{
    // The reports ask for the columns of their tables on every print: the answer stands while
    // the file's schema is the one it was read from.
    int version = -1;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA schema_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    if (version != m_schemaVersion) {
        m_schemaRows.clear();
        m_schemaVersion = version;
    }
    const QString key
        = QStringLiteral("%1\x1f%2\x1f%3")
              .arg(schema)
              .arg(adoSchemaRestriction(restrictions, 2), adoSchemaRestriction(restrictions, 3));
    const auto kept = m_schemaRows.constFind(key);
    if (version >= 0 && kept != m_schemaRows.constEnd())
        return std::make_unique<AdoMemoryCursor>(adoSchemaColumns(schema), *kept);
    const std::optional<QList<QList<Value>>> rows = readSchema(schema, restrictions);
    if (!rows)
        return nullptr;
    if (version >= 0) {
        if (m_schemaRows.size() >= 256)
            m_schemaRows.clear();
        m_schemaRows.insert(key, *rows);
    }
    return std::make_unique<AdoMemoryCursor>(adoSchemaColumns(schema), *rows);
}

std::optional<QList<QList<Value>>> SqliteEngine::readSchema(
    int schema, const QList<Value>& restrictions)
{
    const QString table = adoSchemaRestriction(restrictions, 2);
    QList<QList<Value>> rows;
    sqlite3_stmt* stmt = prepare(
        QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN ('table','view') "
                       "AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    if (!stmt)
        return std::nullopt;
    QList<QPair<QString, QString>> tables;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString name = columnText(stmt, 0);
        if (table.isEmpty() || name.compare(table, Qt::CaseInsensitive) == 0)
            tables.append({ name, columnText(stmt, 1) });
    }
    sqlite3_finalize(stmt);
    const Value catalog = Value::null();
    const Value owner = Value(QStringLiteral("dbo"));
    if (schema == adSchemaTables) {
        const QString type = adoSchemaRestriction(restrictions, 3).toUpper();
        for (const auto& [name, kind] : tables) {
            const QString tableType
                = kind == u"view" ? QStringLiteral("VIEW") : QStringLiteral("TABLE");
            if (type.isEmpty() || type == tableType)
                rows.append({ catalog, owner, Value(name), Value(tableType) });
        }
        return rows;
    }
    if (schema == adSchemaColumns) {
        const QString column = adoSchemaRestriction(restrictions, 3);
        for (const auto& pair : tables) {
            sqlite3_stmt* info
                = prepare(QStringLiteral("SELECT name, type, cid FROM pragma_table_info(?)"));
            if (!info)
                return std::nullopt;
            bindAll(info, { Value(pair.first) });
            while (sqlite3_step(info) == SQLITE_ROW) {
                const QString name = columnText(info, 0);
                if (!column.isEmpty() && name.compare(column, Qt::CaseInsensitive) != 0)
                    continue;
                const QByteArray decl = columnText(info, 1).toUtf8();
                const ColumnType type = declaredType(decl.constData());
                const bool text = type.kind == Kind::Text || type.kind == Kind::Bytes;
                rows.append({ catalog, owner, Value(pair.first), Value(name),
                    Value(qint32(sqlite3_column_int(info, 2) + 1)), Value(qint32(type.adoType)),
                    text ? Value(qint64(type.size)) : Value::null() });
            }
            sqlite3_finalize(info);
        }
        return rows;
    }
    m_errors.add(AdoError(int(0x80040E53u), QStringLiteral("Tipo de esquema no admitido."),
        QStringLiteral("HY000"), 0, ErrorSource));
    return std::nullopt;
}

bool SqliteEngine::insertRow(const QString& table, const QStringList& columns,
    const QList<Value>& values, const QStringList& keyColumns, QList<Value>* newKey)
{
    QString sql;
    if (columns.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table));
    } else {
        QStringList names;
        for (const QString& c : columns)
            names.append(quoteName(c));
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteName(table), names.join(u','),
                      QStringList(columns.size(), QStringLiteral("?")).join(u','));
    }
    sqlite3_stmt* stmt = prepare(sql);
    if (!stmt)
        return false;
    bindAll(stmt, values);
    const bool ok = stepToEnd(stmt);
    sqlite3_finalize(stmt);
    if (ok && newKey) {
        newKey->clear();
        if (keyColumns == QStringList { RowidKey })
            newKey->append(Value(qint64(sqlite3_last_insert_rowid(m_db))));
    }
    return ok;
}

namespace {

QString keyCondition(const QStringList& keyColumns)
{
    QStringList parts;
    for (const QString& k : keyColumns)
        parts.append(
            k == RowidKey ? QStringLiteral("rowid = ?") : quoteName(k) + QStringLiteral(" = ?"));
    return parts.join(QStringLiteral(" AND "));
}

} // namespace

bool SqliteEngine::updateRow(const QString& table, const QStringList& keyColumns,
    const QList<Value>& key, const QStringList& columns, const QList<Value>& values)
{
    if (keyColumns.isEmpty() || key.size() != keyColumns.size()) {
        m_errors.add(AdoError(int(0x80040E38u),
            QStringLiteral("No se encuentra la fila para actualizarla: la consulta no trae la "
                           "clave de \"%1\".")
                .arg(table),
            QStringLiteral("HY000"), 0, ErrorSource));
        return false;
    }
    QStringList sets;
    for (const QString& c : columns)
        sets.append(quoteName(c) + QStringLiteral(" = ?"));
    sqlite3_stmt* stmt = prepare(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(quoteName(table), sets.join(QStringLiteral(", ")), keyCondition(keyColumns)));
    if (!stmt)
        return false;
    bindAll(stmt, values + key);
    const bool ok = stepToEnd(stmt);
    sqlite3_finalize(stmt);
    if (ok && sqlite3_changes(m_db) == 0) {
        m_errors.add(AdoError(int(0x80040E38u),
            QStringLiteral("No se encuentra la fila para actualizarla: otro usuario la cambió "
                           "o la eliminó."),
            QStringLiteral("HY000"), 0, ErrorSource));
        return false;
    }
    return ok;
}

bool SqliteEngine::deleteRow(
    const QString& table, const QStringList& keyColumns, const QList<Value>& key)
{
    if (keyColumns.isEmpty() || key.size() != keyColumns.size()) {
        m_errors.add(AdoError(int(0x80040E38u),
            QStringLiteral("No se encuentra la fila para eliminarla: la consulta no trae la "
                           "clave de \"%1\".")
                .arg(table),
            QStringLiteral("HY000"), 0, ErrorSource));
        return false;
    }
    sqlite3_stmt* stmt = prepare(
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoteName(table), keyCondition(keyColumns)));
    if (!stmt)
        return false;
    bindAll(stmt, key);
    const bool ok = stepToEnd(stmt);
    sqlite3_finalize(stmt);
    return ok;
}

void SqliteEngine::setCommandTimeout(int milliseconds)
{
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds <= 0 ? INT_MAX : milliseconds);
}

bool SqliteEngine::setDefaultDatabase(const QString&)
{
    return true;
}

// Temporary triggers of this connection (nothing is written to the file) that give the columns the
// server's rules: a text longer than its column's declared length is stored cut to that length,
// with the server's truncation warning, and a date written as text in another form ('05/03/2024',
// '2024-03-05') is stored in the one form comparisons and order rely on ("yyyy-MM-dd hh:mm:ss").
int SqliteEngine::installColumnRules()
{
    sqlite3_stmt* stmt = prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
        "AND sql NOT LIKE '%WITHOUT ROWID%'"));
    if (!stmt)
        return 0;
    QStringList tables;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        tables.append(columnText(stmt, 0));
    sqlite3_finalize(stmt);
    int serial = 0;
    int made = 0;
    auto create = [&](const QString& sql) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_exec(m_db, utf8.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            ++made;
    };
    for (const QString& table : tables) {
        sqlite3_stmt* info = prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        if (!info)
            continue;
        bindAll(info, { Value(table) });
        QStringList checks;
        QStringList cuts;
        QStringList sized;
        QStringList dates;
        QStringList flags;
        while (sqlite3_step(info) == SQLITE_ROW) {
            const QByteArray decl = columnText(info, 1).toUtf8();
            const ColumnType type = declaredType(decl.constData());
            const QString column = quoteName(columnText(info, 0));
            if ((type.kind == Kind::Text || type.kind == Kind::Bytes) && type.size > 0
                && type.size < INT_MAX) {
                const auto over = [&](const QString& value) {
                    return type.kind == Kind::Text
                        ? QStringLiteral("length(rtrim(%1, ' ')) > %2").arg(value).arg(type.size)
                        : QStringLiteral("length(%1) > %2").arg(value).arg(type.size);
                };
                checks.append(over(QStringLiteral("NEW.") + column));
                cuts.append(QStringLiteral("%1 = CASE WHEN %2 THEN substr(%1, 1, %3) ELSE %1 END")
                                .arg(column, over(column))
                                .arg(type.size));
                sized.append(column);
            } else if (type.kind == Kind::Date) {
                dates.append(column);
            } else if (type.kind == Kind::Bool) {
                flags.append(column);
            }
        }
        sqlite3_finalize(info);
        const QString target = quoteName(table);
        ++serial;
        if (!checks.isEmpty()) {
            // Cut after the row is stored: a trigger cannot change the row it is about to store.
            // The engine lies below the data layer and its literal(): the same doubling, here.
            QString name = table;
            name.replace(u'\'', QStringLiteral("''"));
            const QString body = QStringLiteral(" FOR EACH ROW WHEN %1 BEGIN SELECT "
                                                "rp_truncated('%2'); UPDATE %3 SET %4 WHERE rowid "
                                                "= NEW.rowid; END")
                                     .arg(checks.join(QStringLiteral(" OR ")), name, target,
                                         cuts.join(QStringLiteral(", ")));
            create(QStringLiteral("CREATE TEMP TRIGGER rp_len_i%1 AFTER INSERT ON main.%2%3")
                       .arg(serial)
                       .arg(target, body));
            create(QStringLiteral("CREATE TEMP TRIGGER rp_len_u%1 AFTER UPDATE OF %2 ON main.%3%4")
                       .arg(serial)
                       .arg(sized.join(u','), target, body));
        }
        // A rewrite after the row is stored, for the column's values in a form of its own.
        int rule = 0;
        auto normalize = [&](const QString& column, const QString& when, const QString& value) {
            const QString action = QStringLiteral(" FOR EACH ROW WHEN %1 BEGIN UPDATE %2 SET %3 = "
                                                  "%4 WHERE rowid = NEW.rowid; END")
                                       .arg(when, target, column, value);
            create(QStringLiteral("CREATE TEMP TRIGGER rp_form_i%1_%2 AFTER INSERT ON main.%3%4")
                       .arg(serial)
                       .arg(rule)
                       .arg(target, action));
            create(QStringLiteral("CREATE TEMP TRIGGER rp_form_u%1_%2 AFTER UPDATE OF %3 ON "
                                  "main.%4%5")
                       .arg(serial)
                       .arg(rule)
                       .arg(column, target, action));
            ++rule;
        };
        for (const QString& column : dates) {
            // Only a text not already in the stored form is rewritten.
            normalize(column,
                QStringLiteral("typeof(NEW.%1) = 'text' AND NOT (length(NEW.%1) = 19 AND "
                               "substr(NEW.%1, 5, 1) = '-' AND substr(NEW.%1, 11, 1) = ' ')")
                    .arg(column),
                QStringLiteral("rp_parse_date(NEW.%1, 0)").arg(column));
        }
        for (const QString& column : flags) {
            // The server takes 'True' and 'False' (and numbers as text) for a bit.
            normalize(column, QStringLiteral("typeof(NEW.%1) = 'text'").arg(column),
                QStringLiteral("rp_bit(NEW.%1)").arg(column));
        }
    }
    return made;
}
