#include "texttools/JsonDictionary.h"

#include "texttools/ErroresEjecucion.h"

int JsonDictionary::Count() const
{
    return static_cast<int>(m_keys.size());
}

bool JsonDictionary::Exists(const QString& key) const
{
    return m_index.contains(key);
}

void JsonDictionary::Add(const QString& key, const JsonValue& value)
{
    if (Exists(key))
        ErroresEjecucion::Lanza(ErroresEjecucion::ClaveDuplicada, QStringLiteral("Dictionary"));
    m_index.insert(key, m_keys.size());
    m_keys.append(key);
    m_values.append(value);
}

JsonValue JsonDictionary::Item(const QString& key) const
{
    const auto found = m_index.constFind(key);
    return found == m_index.constEnd() ? JsonValue() : m_values.at(*found);
}

void JsonDictionary::setItem(const QString& key, const JsonValue& value)
{
    const auto found = m_index.constFind(key);
    if (found == m_index.constEnd())
        Add(key, value);
    else
        m_values[*found] = value;
}
