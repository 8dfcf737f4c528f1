#include "reportengine/AdoReportDataSource.h"

#include <cmath>
#include <vector>

#include <QLocale>

#include "platform/AdoRecordset.h"
#include "platform/AdoTypes.h"
#include "platform/CampoLeido.h"
#include "platform/RuntimeError.h"

namespace {

class AdoRows final : public RowSource
{
public:
    // `names` are the columns as the report names them ("alias.field"), when it built the
    // statement; the recordset's own names serve otherwise.
    AdoRows(std::unique_ptr<AdoRecordset> rs, const QStringList& names)
        : m_rs(std::move(rs))
    {
        for (int i = 0; i < m_rs->FieldCount(); ++i) {
            m_names << m_rs->Fields(i).Name();
            m_types.push_back(m_rs->Fields(i).Type());
        }
        m_shownNames = names.size() == m_names.size() ? names : m_names;
    }
    QStringList columnNames() const override { return m_names; }
    bool next() override
    {
        if (m_started)
            m_rs->MoveNext();
        m_started = true;
        if (m_rs->Eof())
            return false;
        ++m_row;
        return true;
    }
    Value value(int column) const override
    {
        const Value v = m_rs->Fields(column).Value();
        const int type = m_types[std::size_t(column)];
        // A money column hands a plain number only for what money cannot hold: printed, or
        // summed as a double, it would be an amount no price can be.
        if (type == adCurrency && (v.type() == ValueType::Double || v.type() == ValueType::Single))
            outOfRange(column, v.toDouble());
        // Nor is a text in a number or date column printed, or read by a formula, as that
        // figure or date: the field is named.
        return CampoLeido::comoColumna(v, type, m_shownNames.at(column));
    }

private:
    [[noreturn]] void outOfRange(int column, double amount) const
    {
        const QString shown = std::isfinite(amount) && std::fabs(amount) < 1e21
            ? Value(amount).toString()
            : QString::number(amount, 'g', QLocale::FloatingPointShortest);
        throw RuntimeError(RuntimeError::Overflow,
            QStringLiteral("Desbordamiento: el importe %1 de %2 en la fila %3 excede el rango de "
                           "la moneda")
                .arg(shown, m_shownNames.at(column))
                .arg(m_row));
    }

    std::unique_ptr<AdoRecordset> m_rs;
    QStringList m_names;
    QStringList m_shownNames;
    std::vector<int> m_types;
    qint64 m_row = 0;
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
    return std::make_unique<AdoRows>(std::move(rs), query.columns);
}
