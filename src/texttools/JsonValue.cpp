#include "texttools/JsonValue.h"

#include <utility>

#include "texttools/JsonCollection.h"
#include "texttools/JsonDictionary.h"

JsonValue JsonValue::null()
{
    JsonValue v;
    v.m_type = Type::Null;
    return v;
}

JsonValue JsonValue::boolean(bool value)
{
    JsonValue v;
    v.m_type = Type::Boolean;
    v.m_bool = value;
    return v;
}

JsonValue JsonValue::decimal(QString text)
{
    JsonValue v;
    v.m_type = Type::Decimal;
    v.m_text = std::move(text);
    return v;
}

JsonValue JsonValue::string(QString text)
{
    JsonValue v;
    v.m_type = Type::String;
    v.m_text = std::move(text);
    return v;
}

JsonValue JsonValue::dictionary(std::shared_ptr<JsonDictionary> dictionary)
{
    JsonValue v;
    v.m_type = Type::Dictionary;
    v.m_dictionary = std::move(dictionary);
    return v;
}

JsonValue JsonValue::collection(std::shared_ptr<JsonCollection> collection)
{
    JsonValue v;
    v.m_type = Type::Collection;
    v.m_collection = std::move(collection);
    return v;
}

bool JsonValue::isObject() const
{
    return m_type == Type::Dictionary || m_type == Type::Collection;
}
