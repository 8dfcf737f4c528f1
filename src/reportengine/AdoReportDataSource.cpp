#include "reportengine/AdoReportDataSource.h"

#include "platform/AdoRecordset.h"

namespace {

class AdoRows final : public RowSource
{
public:
    explicit AdoRows(std::unique_ptr<AdoRecordset> rs)
        : m_rs(std::move(rs))
    {
        for (int i = 0; i < m_rs->FieldCount(); ++i)
            m_names << m_rs->Fields(i).Name();
    }
    QStringList columnNames() const override { return m_names; }
    bool next() override
    {
        if (m_started)
            m_rs->MoveNext();
        m_started = true;
        return !m_rs->Eof();
    }
    Value value(int column) const override { return m_rs->Fields(column).Value(); }

private:
    std::unique_ptr<AdoRecordset> m_rs;
    QStringList m_names;
    bool m_started = false;
};

} // namespace

AdoReportDataSource::AdoReportDataSource(AdoConnection& connection, SqlDialect dialect)
    : m_connection(connection)
    , m_dialect(dialect)
{
}

const QHash<QString, ColumnKind>& AdoReportDataSource::columnsOf(const QString& table)
{
    const QString key = table.toLower();
    auto found = m_kinds.find(key);
    if (found == m_kinds.end()) {
        QHash<QString, ColumnKind> kinds;
        AdoRecordset schema;
        if (m_connection.OpenSchema(adSchemaColumns, { Value(), Value(), Value(table) }, schema)) {
            while (!schema.Eof()) {
                kinds.insert(
                    schema.Fields(QStringLiteral("COLUMN_NAME")).Value().toString().toLower(),
                    columnKindForAdoType(
                        int(schema.Fields(QStringLiteral("DATA_TYPE")).Value().toLongLong())));
                schema.MoveNext();
            }
            schema.Close();
        } else {
            // Not knowing the columns is no reason to stop; a lock is: waiting again on each
            // statement would keep the user far longer than the time-out.
            throwIfLocked(m_connection.LastError());
        }
        found = m_kinds.insert(key, kinds);
    }
    return found.value();
}

ColumnKind AdoReportDataSource::columnKind(const QString& table, const QString& field)
{
    return columnsOf(table).value(field.toLower(), ColumnKind::Unknown);
}

bool AdoReportDataSource::hasColumn(const QString& table, const QString& field)
{
    // A table whose columns could not be read (no schema rowset) is taken on trust.
    const QHash<QString, ColumnKind>& columns = columnsOf(table);
    return columns.isEmpty() || columns.contains(field.toLower());
}

void AdoReportDataSource::throwIfLocked(const RuntimeError& error) const
{
    const AdoErrors& errors = m_connection.Errors();
    for (int i = 0; i < errors.Count(); ++i) {
        if (errors.Item(i).SQLState() == u"HYT00")
            throw m_connection.timeoutError(error);
    }
}

std::unique_ptr<RowSource> AdoReportDataSource::open(const DataQuery& query)
{
    // Recordsets take no bound parameters: the values go in as literals (apostrophes doubled,
    // dates unambiguous), the same text the "show SQL" log line shows.
    const QString sql = SelectionPlanner::withLiterals(query.sql, query.parameters, m_dialect);
    auto rs = std::make_unique<AdoRecordset>();
    if (!rs->Open(sql, &m_connection, adOpenForwardOnly, adLockReadOnly)) {
        throwIfLocked(rs->LastError());
        throw rs->LastError();
    }
    return std::make_unique<AdoRows>(std::move(rs));
}
