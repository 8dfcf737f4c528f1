#pragma once

#include <QList>

#include "texttools/JsonValue.h"

// The elements of a JSON array, in text order; positions are 1-based.
class JsonCollection
{
public:
    int Count() const;
    void Add(const JsonValue& value);
    // The element at 1-based `position`; run-time error 9 outside 1..Count.
    JsonValue Item(int position) const;

private:
    QList<JsonValue> m_items;
};
