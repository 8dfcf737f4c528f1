#include "platform/AdoCursor.h"

#include <utility>

#include "platform/AdoTypes.h"

AdoCursor::~AdoCursor() = default;

QList<AdoColumn> adoSchemaColumns(int schema)
{
    QList<AdoColumn> columns { { QStringLiteral("TABLE_CATALOG"), adVarWChar, 128 },
        { QStringLiteral("TABLE_SCHEMA"), adVarWChar, 128 },
        { QStringLiteral("TABLE_NAME"), adVarWChar, 128 } };
    if (schema == adSchemaTables) {
        columns.append({ QStringLiteral("TABLE_TYPE"), adVarWChar, 128 });
    } else {
        columns.append({ { QStringLiteral("COLUMN_NAME"), adVarWChar, 128 },
            { QStringLiteral("ORDINAL_POSITION"), adInteger, 4 },
            { QStringLiteral("DATA_TYPE"), adInteger, 4 },
            { QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), adBigInt, 8 } });
    }
    return columns;
}

QString adoSchemaRestriction(const QList<Value>& restrictions, int index)
{
    const Value v = restrictions.value(index);
    return v.isEmpty() || v.isNull() ? QString() : v.toString().trimmed();
}

AdoMemoryCursor::AdoMemoryCursor(QList<AdoColumn> columns, QList<QList<Value>> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{
}

bool AdoMemoryCursor::fetch(AdoRow& row)
{
    if (m_next >= m_rows.size())
        return false;
    row.values = m_rows.at(m_next++);
    row.key.clear();
    return true;
}
