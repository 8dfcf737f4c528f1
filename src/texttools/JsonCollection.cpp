#include "texttools/JsonCollection.h"

#include "platform/RuntimeError.h"
#include "texttools/ErroresEjecucion.h"

int JsonCollection::Count() const
{
    return static_cast<int>(m_items.size());
}

void JsonCollection::Add(const JsonValue& value)
{
    m_items.append(value);
}

JsonValue JsonCollection::Item(int position) const
{
    if (position < 1 || position > m_items.size())
        ErroresEjecucion::Lanza(RuntimeError::SubscriptOutOfRange, QStringLiteral("Collection"));
    return m_items.at(position - 1);
}
