#include "MemoryDataSource.h"

#include <QRegularExpression>

#include "platform/RuntimeError.h"

namespace {

class MemoryRows final : public RowSource
{
public:
    MemoryRows(QStringList names, QList<QList<Value>> rows)
        : m_names(std::move(names))
        , m_rows(std::move(rows))
    {
    }
    QStringList columnNames() const override { return m_names; }
    bool next() override { return ++m_pos < m_rows.size(); }
    Value value(int column) const override { return m_rows[m_pos][column]; }

private:
    QStringList m_names;
    QList<QList<Value>> m_rows;
    qsizetype m_pos = -1;
};

} // namespace

void MemoryDataSource::addTable(
    const QString& table, const QStringList& columns, QList<QList<Value>> rows)
{
    m_tables.insert(table.toLower(), { columns, std::move(rows) });
}

std::unique_ptr<RowSource> MemoryDataSource::open(const DataQuery& query)
{
    statements << query.sql;
    if (query.columns.isEmpty())
        throw RuntimeError(RuntimeError::InvalidCall, QStringLiteral("sin columnas"));
    const QString table = query.columns.first().section(u'.', 0, 0).toLower();
    const auto found = m_tables.constFind(table);
    if (found == m_tables.constEnd())
        throw RuntimeError(
            RuntimeError::InvalidCall, QStringLiteral("no existe la tabla ") + table);
    QList<int> map;
    for (const QString& c : query.columns) {
        const int index = int(
            found->columns.indexOf(QRegularExpression(u'^' + QRegularExpression::escape(c) + u'$',
                QRegularExpression::CaseInsensitiveOption)));
        if (index < 0)
            throw RuntimeError(
                RuntimeError::InvalidCall, QStringLiteral("no existe la columna ") + c);
        map << index;
    }
    // Link conditions are the only "?" a statement of these tests carries.
    QList<QPair<int, Value>> filters;
    static const QRegularExpression link(QStringLiteral("(\\w+)\\.(\\w+) = \\?"));
    auto it = link.globalMatch(query.sql);
    int parameter = 0;
    while (it.hasNext()) {
        const auto m = it.next();
        const int index = int(found->columns.indexOf(
            QRegularExpression(u'^' + m.captured(1) + QStringLiteral("\\.") + m.captured(2) + u'$',
                QRegularExpression::CaseInsensitiveOption)));
        filters << qMakePair(index, query.parameters.value(parameter++));
    }
    QList<QList<Value>> rows;
    for (const QList<Value>& row : found->rows) {
        bool keep = true;
        for (const auto& [index, value] : filters)
            keep = keep && row[index].toString() == value.toString();
        if (!keep)
            continue;
        QList<Value> out;
        for (int index : map)
            out << row[index];
        rows << out;
    }
    return std::make_unique<MemoryRows>(query.columns, std::move(rows));
}
