#pragma once

#include <QString>

#include "texttools/JsonValue.h"

// A lenient reader of JSON-like text: single-quoted strings, bare keys, missing commas, "//" and
// "/* */" comments and stray parentheses are accepted. It does not stop at the first fault: each
// fault adds a line (ending in CR LF) to the error text of the last parse, and the reader returns
// what it has built. Numbers are read with "." as the decimal separator on every workstation.
namespace JSON {

// Reads `text` and returns its top-level object (a Dictionary) or array (a Collection); anything
// after that value is ignored. Returns Empty, with the error text exactly "Invalid JSON", when the
// text (after blanks and comments) starts with neither "{" nor "[". Never raises.
JsonValue ParseJsonText(const QString& text);

// The error text of the last ParseJsonText; empty when that parse found no fault. A caller decides
// success by this being empty and the result being an object.
QString ParserErrorText();

} // namespace JSON
