#pragma once

// Interprets a FormulaNode tree against a FormulaContext.
//
//     FormulaEvaluator eval(context, QStringLiteral("Seleccion"));
//     if (eval.selects(*tree)) keepTheRecord();
//     FormulaValue v = eval.evaluate(*tree);
//
// Semantics: Null follows SQL's three-valued logic (comparisons and arithmetic with Null give
// Null; Not Null is Null; False And Null is False; True Or Null is True; IsNull sees it). Text
// comparison and Like ignore case and trailing blanks (FormulaText); a text compared with a
// number is read as a number, as the suite's server converts it. Numbers keep their kind:
// whole numbers, Currency (exact, four decimals) and doubles. Failures (type mismatch, division
// by zero, a bad argument) raise RuntimeError whose source names the formula.

#include <QString>

#include "reportengine/FormulaContext.h"
#include "reportengine/FormulaNode.h"
#include "reportengine/FormulaValue.h"

class FormulaEvaluator
{
public:
    FormulaEvaluator(const FormulaContext& context, QString formulaName);

    FormulaValue evaluate(const FormulaNode& node) const;
    // Scalar result; an array or range where a scalar is needed is a type mismatch.
    Value evaluateScalar(const FormulaNode& node) const;
    // True only when the result is Boolean True: Null and False leave the record out.
    bool selects(const FormulaNode& node) const;

private:
    Value evaluateChain(const FormulaNode& node) const;
    // One operator of a chain, its left operand already worked out.
    Value evaluateBinary(const FormulaNode& node, const Value& left) const;
    Value evaluateLogical(const FormulaNode& node, const Value& left) const;
    // In, Like and StartsWith, against a list, a range or one value.
    Value evaluateMembership(const FormulaNode& node, const Value& left) const;
    Value arithmetic(FormulaOp op, const Value& left, const Value& right) const;
    Value evaluateSubscript(const FormulaNode& node, const Value& base) const;
    Value evaluateCall(const FormulaNode& node) const;
    [[noreturn]] void fail(int number, const QString& text) const;

    const FormulaContext& m_context;
    QString m_name;
};
