#include "texttools/cJSONScript.h"

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "support/FakeDialogs.h"

namespace {

class cJSONScriptTest : public ::testing::Test
{
protected:
    // Arrays nested `levels` deep inside the script's own array, around `inner`.
    static QString nested(int levels, const QString& inner)
    {
        return u'[' + QString(levels, u'[') + inner + QString(levels, u']') + u']';
    }

    int errorOf(const QString& script)
    {
        try {
            script_.Eval(script);
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    testsupport::FakeMessageDialog boxes_;
    testsupport::FakeInputDialog inputs_;
    ScopedService<MessageDialog> installBoxes_ { boxes_ };
    ScopedService<InputDialog> installInputs_ { inputs_ };
    cJSONScript script_;
};

struct Case
{
    const char* script;
    const char* output;
};

const Case kOutputs[] = {
    { R"(["hola ", "mundo"])", "hola mundo" },
    { R"([null, "x", []])", "nullx" },
    { R"([[1.5, -20, true, false, null, "t"]])", "1.5-20truefalsenullt" },
    { R"([{"return": "ok"}, {"RETURN": "!"}])", "ok!" },
    // Unknown keys become placeholders, upper-cased, with their arguments.
    { R"([{"price": "10"}])", "<%PRICE(10)%>" },
    { R"([{"Price": {"a": 1, "b": 2}}])", "<%PRICE(1,2)%>" },
    { R"([{"fmt": {"n": 1.50, "s": "t", "b": true, "z": null}}])", "<%FMT(1.5,t,true,null)%>" },
    { R"([{"price": ["a"]}])", "<%PRICE()%>" },
    { R"([{"return": "a", "x": "b", "RETURN": "c"}])", "a<%X(b)%>c" },
    // A text never borrows the arguments of an earlier key of the same object.
    { R"([{"a": {"p": 1}, "b": "2"}])", "<%A(1)%><%B(2)%>" },
    { R"({"return": "one object"})", "one object" },
    { R"([{"if": {"type": "EQ", "value1": "ABC", "value2": "abc", "true": "si", "false": "no"}}])",
        "si" },
    // Binary text comparison: "10" sorts before "9".
    { R"([{"if": {"type": "gt", "value1": "10", "value2": "9", "true": "si", "false": "no"}}])",
        "no" },
    { R"([{"if": {"type": "lt", "value1": "10", "value2": "9", "true": "si", "false": "no"}}])",
        "si" },
    { R"([{"if": {"type": "gte", "value1": "a", "value2": "a", "true": "si", "false": "no"}}])",
        "si" },
    { R"([{"if": {"type": "lte", "value1": "b", "value2": "a", "true": "si", "false": "no"}}])",
        "no" },
    { R"([{"if": {"type": "gt", "value1": "b", "value2": "B", "true": "si", "false": "no"}}])",
        "si" },
    { R"([{"if": {"type": "ne", "value1": "a", "value2": "b", "true": "si", "false": "no"}}])",
        "no" },
    { R"([{"if": {"type": "eq", "value1": {"return": "x"}, "value2": "X",
        "true": {"price": "1"}}}])",
        "<%PRICE(1)%>" },
    { R"([{"switch": {"case": "B", "default": "ninguno", "items": [
        {"case": "a", "return": "uno"}, {"case": "b", "return": {"return": "dos"}}]}}])",
        "dos" },
    { R"([{"switch": {"case": "1.5", "items": [{"case": 1.50, "return": "num"}]}}])", "num" },
    { R"([{"switch": {"case": "null", "default": "d", "items": [{"case": null, "return": "n"}]}}])",
        "d" },
    { R"([{"switch": {"case": "z", "default": {"return": "def"}, "items": [
        {"case": "a", "return": "uno"}]}}])",
        "def" },
    { R"([{"get": {"name": "nada", "default": {"return": "por omision"}}}])", "por omision" },
};

} // namespace

TEST_F(cJSONScriptTest, emits_texts_commands_and_placeholders)
{
    for (const Case& c : kOutputs) {
        SCOPED_TRACE(c.script);

        const QString output = script_.Eval(QString::fromUtf8(c.script));

        EXPECT_EQ(output.toStdString(), c.output);
    }
    EXPECT_TRUE(boxes_.shown().isEmpty());
}

TEST_F(cJSONScriptTest, variables_live_across_evaluations)
{
    EXPECT_EQ(script_.Eval(QStringLiteral(R"([{"set": {"name": "v", "value": "42"}}])")), u"");

    EXPECT_EQ(script_.Eval(QStringLiteral(R"([{"get": {"name": "v", "default": "no"}}])")), u"42");
    EXPECT_EQ(script_.Eval(QStringLiteral(R"([{"get": {"name": "V", "default": "no"}}])")), u"no");
    script_.Eval(QStringLiteral(R"([{"set": {"name": "v", "value": {"return": "43"}}}])"));
    EXPECT_EQ(script_.Eval(QStringLiteral(R"([{"get": {"name": "v"}}])")), u"43");
}

TEST_F(cJSONScriptTest, alert_shows_an_information_box_and_emits_nothing)
{
    boxes_.answer(Msg::Ok);

    const QString output = script_.Eval(
        QStringLiteral(R"(["a", {"ALERT": {"message": "Hola", "title": "Aviso"}}, "b"])"));

    EXPECT_EQ(output, u"ab");
    ASSERT_EQ(boxes_.shown().size(), 1);
    EXPECT_EQ(boxes_.shown()[0].title, u"Aviso");
    EXPECT_EQ(boxes_.shown()[0].text, u"Hola");
    EXPECT_EQ(boxes_.shown()[0].style, 64);
}

TEST_F(cJSONScriptTest, input_emits_what_the_operator_typed)
{
    const QString askName = QStringLiteral(
        R"(["Nombre: ", {"input": {"prompt": "Su nombre", "title": "Datos", "default": "Juan"}}])");
    inputs_.answer(QStringLiteral("Pedro"));
    inputs_.answer(QString()); // cancelled

    EXPECT_EQ(script_.Eval(askName), u"Nombre: Pedro");
    EXPECT_EQ(script_.Eval(askName), u"Nombre: ");

    ASSERT_EQ(inputs_.shown().size(), 2);
    EXPECT_EQ(inputs_.shown()[0].text, u"Su nombre");
    EXPECT_EQ(inputs_.shown()[0].title, u"Datos");
    EXPECT_EQ(inputs_.defaults()[0], u"Juan");
}

TEST_F(cJSONScriptTest, only_the_chosen_branch_asks)
{
    inputs_.answer(QStringLiteral("respuesta"));

    const QString output = script_.Eval(QStringLiteral(R"([{"set": {"name": "r",
        "value": {"if": {"type": "eq", "value1": "a", "value2": "b",
            "true": {"input": {"prompt": "nunca"}}, "false": {"input": {"prompt": "siempre"}}}}}},
        {"get": {"name": "r"}}])"));

    EXPECT_EQ(output, u"respuesta");
    ASSERT_EQ(inputs_.shown().size(), 1);
    EXPECT_EQ(inputs_.shown()[0].text, u"siempre");
}

TEST_F(cJSONScriptTest, a_faulty_script_shows_the_reader_errors_and_emits_nothing)
{
    struct Fault
    {
        const char* script;
        const char* message;
    };
    const Fault faults[] = {
        { "abc", "Invalid JSON" },
        { "[tru]", "Invalid Boolean at position 2 : tru]\r\n" },
        { "[\"a\", ", "Missing ']': [\"a\", \r\n" },
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.script);
        boxes_.clear();
        boxes_.answer(Msg::Ok);

        const QString output = script_.Eval(QString::fromUtf8(f.script));

        EXPECT_EQ(output, u"");
        ASSERT_EQ(boxes_.shown().size(), 1);
        EXPECT_EQ(boxes_.shown()[0].title, u"Parser Error");
        EXPECT_EQ(boxes_.shown()[0].text.toStdString(), f.message);
        EXPECT_EQ(boxes_.shown()[0].style, 48);
    }
}

TEST_F(cJSONScriptTest, values_it_cannot_run_raise_runtime_errors)
{
    struct Fault
    {
        const char* script;
        int error;
    };
    const Fault faults[] = {
        { "[1]", 424 },
        { "[true]", 424 },
        { R"([{"price": 10}])", 424 },
        { R"([{"price": null}])", 424 },
        // A command that needs parameters, given a text.
        { R"([{"alert": "hola"}])", 424 },
        { R"([{"alert": ["x"]}])", 5 },
        { R"([{"return": {"a": "b"}}])", 13 },
        { R"([{"switch": {"case": "a"}}])", 424 },
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.script);

        EXPECT_EQ(errorOf(QString::fromUtf8(f.script)), f.error);
    }
    EXPECT_TRUE(boxes_.shown().isEmpty());
}

TEST_F(cJSONScriptTest, nesting_past_41_levels_yields_the_error_text_there_only)
{
    const QString x = QStringLiteral("\"x\"");

    // The script's own array is not a level; its 40 inner arrays are, and the text is the 41st.
    EXPECT_EQ(script_.Eval(nested(40, x)), u"x");
    EXPECT_EQ(script_.Eval(nested(41, x)), u"ERROR: Nesting level exceeded.");
    EXPECT_EQ(script_.Eval(u'[' + nested(40, x) + QStringLiteral(", \"y\"]")),
        u"ERROR: Nesting level exceeded.y");
}

TEST_F(cJSONScriptTest, an_error_deep_inside_gives_back_every_level)
{
    ASSERT_EQ(errorOf(nested(30, QStringLiteral(R"({"price": 10})"))), 424);

    EXPECT_EQ(script_.Eval(nested(40, QStringLiteral("\"x\""))), u"x");
}
