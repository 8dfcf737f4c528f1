#pragma once

#include <memory>

#include <QString>

class JsonDictionary;
class JsonCollection;

// One value of a tree read by the JSON reader: Empty, Null, Boolean, a decimal number (kept as its
// exact text, "." as separator), text, an object (JsonDictionary) or an array (JsonCollection).
// Objects and arrays are shared, not copied: copies of a value reach the same container, as the
// script evaluator expects of the objects it passes around.
class JsonValue
{
public:
    enum class Type
    {
        Empty,
        Null,
        Boolean,
        Decimal,
        String,
        Dictionary,
        Collection
    };

    JsonValue() = default;
    static JsonValue null();
    static JsonValue boolean(bool value);
    // `text` is a number as normalised by the reader: optional "-", digits, optional "." and
    // digits, no exponent ("1.5", "-20", "0.001").
    static JsonValue decimal(QString text);
    static JsonValue string(QString text);
    static JsonValue dictionary(std::shared_ptr<JsonDictionary> dictionary);
    static JsonValue collection(std::shared_ptr<JsonCollection> collection);

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    // A Dictionary or a Collection.
    bool isObject() const;

    bool toBool() const { return m_bool; }
    // The text of a String or of a Decimal; empty for the other types.
    const QString& text() const { return m_text; }
    // The container of a Dictionary or Collection value; null for the other types.
    JsonDictionary* toDictionary() const { return m_dictionary.get(); }
    JsonCollection* toCollection() const { return m_collection.get(); }

private:
    Type m_type = Type::Empty;
    bool m_bool = false;
    QString m_text;
    std::shared_ptr<JsonDictionary> m_dictionary;
    std::shared_ptr<JsonCollection> m_collection;
};
