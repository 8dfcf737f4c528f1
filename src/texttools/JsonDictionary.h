#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "texttools/JsonValue.h"

// The members of a JSON object in the order they were added. Keys compare exactly (case matters).
class JsonDictionary
{
public:
    int Count() const;
    // Keys in the order they were added.
    const QStringList& keys() const { return m_keys; }
    bool Exists(const QString& key) const;
    // Raises run-time error 457 when `key` is already there; nothing is added then.
    void Add(const QString& key, const JsonValue& value);
    // The value under `key`; Empty when there is none.
    JsonValue Item(const QString& key) const;
    // Replaces the value under `key`, or adds the key at the end.
    void setItem(const QString& key, const JsonValue& value);

private:
    QStringList m_keys;
    QList<JsonValue> m_values;
    QHash<QString, qsizetype> m_index;
};
