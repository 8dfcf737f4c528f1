#include "platform/AdoCursor.h"

#include <utility>

AdoCursor::~AdoCursor() = default;

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
