#include "texttools/JSON.h"

#include <QStringList>

#include <gtest/gtest.h>

#include "texttools/JsonCollection.h"
#include "texttools/JsonDictionary.h"

namespace {

// A compact picture of a tree: {key:value,...}, [value,...], 'text', numbers as read, true,
// false, null, empty.
QString describe(const JsonValue& v)
{
    switch (v.type()) {
    case JsonValue::Type::Empty:
        return QStringLiteral("empty");
    case JsonValue::Type::Null:
        return QStringLiteral("null");
    case JsonValue::Type::Boolean:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case JsonValue::Type::Decimal:
        return v.text();
    case JsonValue::Type::String:
        return u'\'' + v.text() + u'\'';
    case JsonValue::Type::Dictionary: {
        QStringList members;
        for (const QString& key : v.toDictionary()->keys())
            members << key + u':' + describe(v.toDictionary()->Item(key));
        return u'{' + members.join(u',') + u'}';
    }
    case JsonValue::Type::Collection: {
        QStringList items;
        for (int i = 1; i <= v.toCollection()->Count(); ++i)
            items << describe(v.toCollection()->Item(i));
        return u'[' + items.join(u',') + u']';
    }
    }
    return QString();
}

struct Case
{
    const char* text;
    const char* tree;
    const char* errors;
};

const Case kCases[] = {
    { "{}", "{}", "" },
    { "[]", "[]", "" },
    { "{a: 1, 'b': 'x', \"c\": true}", "{a:1,b:'x',c:true}", "" },
    { "[true, false, null, \"s\"]", "[true,false,null,'s']", "" },
    // Blanks never belong to a key, not even inside quotes.
    { "{\"a b\": 1}", "{ab:1}", "" },
    { "{'a:b': 1}", "{a:b:1}", "" },
    { "{\"A\": 1, \"a\": 2}", "{A:1,a:2}", "" },
    // Commas are optional between members; one right after the opening brace is fine.
    { "{a:1 b:2}", "{a:1,b:2}", "" },
    { "{,a:1}", "{a:1}", "" },
    { "[1 2]", "[1,2]", "" },
    { "// note\n{\"a\":1}", "{a:1}", "" },
    { "/* block\n comment */ {\"a\":1}", "{a:1}", "" },
    { "[1, // one\n 2 /* two */, (3)]", "[1,2,3]", "" },
    { "[1] and anything after", "[1]", "" },
    { "[{\"a\": [1, {\"b\": null}]}, []]", "[{a:[1,{b:null}]},[]]", "" },
    // Numbers use "." whatever the workstation's separator.
    { "[1.5, -0.50, 1e3, 2.5E-2, +7, 007, -0, .5, 1., 123456789012345678901234567890e-2]",
        "[1.5,-0.5,1000,0.025,7,7,0,0.5,1,1234567890123456789012345678.9]", "" },
    // Beyond 28 decimals a decimal rounds half to even.
    { "[0.00000000000000000000000000005, 0.00000000000000000000000000015]",
        "[0,0.0000000000000000000000000002]", "" },
    { "['it\\'s', \"q\\\"\", 'a\\tb', '\\z', 'caf\\u00e9', '\\u41zzB', 'x\\/y', \"a'b\"]",
        "['it's','q\"','a\tb','z','café','AB','x/y','a'b']", "" },
    // A string the text ends inside is taken as it is.
    { "['abc", "['abc']", "Missing ']': ['abc\r\n" },

    { "abc", "empty", "Invalid JSON" },
    { "", "empty", "Invalid JSON" },
    { "  42", "empty", "Invalid JSON" },
    { "{\"a\":1,\"a\":2}", "{a:1}",
        "Esta clave ya está asociada a un elemento de esta colección: a\r\n" },
    { "{\"a\" 1}", "{a:1}", "Invalid Key at position 6 : a\r\n" },
    { "{\"a\": -}", "{}", "No coinciden los tipos: a\r\n" },
    { "{\"a\": 1e40}", "{}", "Desbordamiento: a\r\n" },
    { "{\"a\": 1", "{a:empty}", "Missing '}': {\"a\": 1\r\n" },
    { "{\"a\": 1, \"b\": \"abcdefghijklmnopqrstuvwxyz", "{a:1,b:'abcdefghijklmnopqrstuvwxyz'}",
        "Missing '}': ghijklmnopqrstuvwxyz\r\n" },
    // The number that runs to the end of the text is never converted.
    { "[1, 2", "[1,empty]", "Missing ']': [1, 2\r\n" },
    { "[1,]", "[1]", "No coinciden los tipos: ]\r\n" },
    { "[1, 2, x, 4]", "[1,2]", "No coinciden los tipos: x, 4]\r\n" },
    { "[tru]", "[false]", "Invalid Boolean at position 2 : tru]\r\n" },
    { "[1, nul, 3]", "[1,empty]", "Invalid null value at position 5 : nul, 3]\r\n" },
    { "{\"a\": tru}", "{a:false,tru}:empty}",
        "Invalid Boolean at position 7 : tru}\r\nMissing '}': {\"a\": tru}\r\n" },
    // An error ends only the container it happens in; the outer one reads on from there, where
    // the inner closing bracket now closes it.
    { "{\"a\": {\"x\": -}, \"b\": 2}", "{a:{}}", "No coinciden los tipos: x\r\n" },
    { "[[1, -], 2]", "[[1]]", "No coinciden los tipos: ], 2]\r\n" },
};

} // namespace

TEST(JSON, reads_lenient_text_and_records_each_fault)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);

        const JsonValue tree = JSON::ParseJsonText(QString::fromUtf8(c.text));

        EXPECT_EQ(describe(tree).toStdString(), std::string(c.tree));
        EXPECT_EQ(JSON::ParserErrorText().toStdString(), c.errors);
    }
}

TEST(JSON, each_parse_starts_with_a_clean_error_text)
{
    JSON::ParseJsonText(QStringLiteral("[tru]"));
    ASSERT_FALSE(JSON::ParserErrorText().isEmpty());

    JSON::ParseJsonText(QStringLiteral("[true]"));

    EXPECT_EQ(JSON::ParserErrorText(), QString());
}

TEST(JSON, nesting_too_deep_stops_the_parse_with_one_error)
{
    const QString text = QString(100000, u'[') + QString(100000, u']');

    const JsonValue tree = JSON::ParseJsonText(text);

    EXPECT_EQ(tree.type(), JsonValue::Type::Collection);
    EXPECT_EQ(JSON::ParserErrorText(),
        QStringLiteral("Espacio de pila insuficiente: [[[[[[[[[[[[[[[[[[[[\r\n"));
}

TEST(JSON, objects_keep_their_keys_in_text_order)
{
    const JsonValue tree = JSON::ParseJsonText(QStringLiteral("{z:1, a:2, m:3}"));

    EXPECT_EQ(tree.toDictionary()->keys(),
        QStringList({ QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("m") }));
}
