#pragma once

#include <QString>

#include "texttools/JsonDictionary.h"
#include "texttools/JsonValue.h"

// Evaluates scripts written as JSON: an array whose elements are texts to emit or objects whose
// keys are commands ("alert", "input", "switch", "set", "get", "if", "return"; keys compare
// ignoring case). A key it does not know is emitted as the placeholder "<%KEY(arguments)%>" for
// whoever fills the text in later. Variables set by one Eval are seen by the next on the same
// instance. Message and input boxes go through the MessageDialog and InputDialog services.
class cJSONScript
{
public:
    // Parses and evaluates `sJSON` and returns everything it emitted. A text the reader faults
    // shows its error text in a box titled "Parser Error" and gives "". An object instead of an
    // array is evaluated as a script of that one element.
    // Raises RuntimeError for a script element that is a number or a Boolean, a command whose
    // value is neither a text nor an object, a command that needs an object and was given a text,
    // and a "return" given an object.
    QString Eval(const QString& sJSON);

    // Evaluates one value and returns what it emits. Past 41 nested levels a level emits
    // "ERROR: Nesting level exceeded." instead and the levels above it go on.
    QString ExecCommand(const JsonValue& obj);

private:
    QString comandos(const JsonDictionary& comando);

    int m_scriptDepth = 0;
    JsonDictionary m_scriptVariables;
};
