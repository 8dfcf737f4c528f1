#pragma once

// Parses a formula of the report language into a FormulaNode tree.
//
//     FormulaParseResult r = FormulaParser::parse(QStringLiteral("Seleccion"), text);
//     if (!r.ok()) log(r.error.message());   // names the formula, the line and the column
//     FormulaEvaluator(context, name).evaluate(*r.tree);
//
// The language: {table.field} (the field part may hold blanks, as "{MV_ASIENTOS.NUMERO ASIENTO}"),
// {@formula}, text in '...' or "..." (the quote doubled inside), numbers, True/False, Date(y,m,d),
// DateTime(y,m,d[,h,n,s]), = <> < <= > >=, And Or Xor Not, + - * / \ Mod ^, & (and + on texts),
// in [a, b] and in a to b (also _to, to_, _to_, UpTo, UpFrom), Like with * and ?, StartsWith,
// If Then Else, text[i] and text[i to j], function calls, // comments. Keywords and function
// names ignore case. Date(...) and DateTime(...) of constants are folded into constants, so a
// planner sees a plain date; "Date(0,0,0)" is Null, which no comparison selects, and any other
// date that does not exist is an error. Nesting deeper than MaxFormulaDepth is refused as
// "Fórmula demasiado compleja". An empty (or blank) formula parses to a null tree with no error.

#include <QString>

#include "reportengine/FormulaNode.h"

struct FormulaError
{
    QString formulaName;
    int line = 0; // 1-based
    int column = 0; // 1-based, within the line
    QString text; // what is wrong, in the program's words

    // "Error en la fórmula «Seleccion», columna 12: se esperaba «)»" (line named when not 1).
    QString message() const;
};

struct FormulaParseResult
{
    FormulaNodePtr tree; // null for an empty formula or after an error
    FormulaError error; // error.text empty on success
    bool ok() const { return error.text.isEmpty(); }
};

namespace FormulaParser {

FormulaParseResult parse(const QString& formulaName, const QString& text);

// The error `what` at the 0-based `position` of `text`, with its line and column worked out;
// for checks made on a parsed tree (its nodes carry their positions).
FormulaError errorAt(
    const QString& formulaName, const QString& text, int position, const QString& what);

} // namespace FormulaParser
