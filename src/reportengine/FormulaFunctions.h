#pragma once

// The built-in functions of the formula language, one family to a file (text, dates, numbers,
// conversions), and what the evaluator and they share about values. Internal to the evaluator.
//
//     if (const FormulaFunctions::Function f = FormulaFunctions::find(node.function()))
//         return f(FormulaFunctions::Arguments(node.function(), args, formulaName));
//
// A function sees its arguments worked out, none of them Null; a wrong one is refused through
// Arguments, whose failures name the function, the argument and the formula.

#include <optional>

#include <QDateTime>
#include <QString>
#include <QVarLengthArray>

#include "platform/Value.h"
#include "reportengine/FormulaNode.h"

namespace FormulaFunctions {

constexpr int DivisionByZero = 11;

enum class NumKind
{
    None,
    Int,
    Cur,
    Dbl
};

inline NumKind numKind(const Value& v)
{
    switch (v.type()) {
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
        return NumKind::Int;
    case ValueType::Currency:
        return NumKind::Cur;
    case ValueType::Double:
    case ValueType::Single:
        return NumKind::Dbl;
    default:
        return NumKind::None;
    }
}

inline bool isNullish(const Value& v)
{
    return v.isNull() || v.isEmpty();
}

// Numbers become text with two decimals, as amounts are shown; whole numbers (page and record
// numbers, counts) without any.
inline int defaultDecimals(const Value& v)
{
    return numKind(v) == NumKind::Int ? 0 : 2;
}

// Money worked out through a double is still money: beyond its range it is refused as a sum
// past the range is, never printed as a number no price can be.
inline Value currencyFromDouble(double d)
{
    return Value(Value(d).toCurrency());
}

// A date column of the embedded database may come as its ISO text, or as a date written by hand.
std::optional<QDateTime> textAsDate(const QString& text);

[[noreturn]] void fail(const QString& formulaName, int number, const QString& text);

using Args = QVarLengthArray<Value, 4>;

class Arguments
{
public:
    // `call`, when given, is the call the arguments were worked out from: an argument that is not
    // what the function needs and came straight from a field is told with that field.
    Arguments(FormulaFunction function, const Args& args, const QString& formulaName,
        const FormulaNode* call = nullptr)
        : m_function(function)
        , m_args(args)
        , m_formulaName(formulaName)
        , m_call(call)
    {
    }

    FormulaFunction function() const { return m_function; }
    qsizetype size() const { return m_args.size(); }
    const Value& operator[](qsizetype i) const { return m_args[i]; }

    QString text(qsizetype i) const;
    double number(qsizetype i) const;
    // A count past the 64-bit range means "all of it".
    qint64 whole(qsizetype i) const;
    QDateTime date(qsizetype i) const;
    // Only failures need the function's name.
    QString name() const { return formulaFunctionName(m_function); }
    [[noreturn]] void fail(int number, const QString& text) const;

private:
    // "El argumento i no es ...": the failure of argument `i`, with its field when it is one.
    [[noreturn]] void argumentFails(qsizetype i, const char* needed) const;

    FormulaFunction m_function;
    const Args& m_args;
    const QString& m_formulaName;
    const FormulaNode* m_call;
};

using Function = Value (*)(const Arguments&);

// The function of a name; nullptr for those the evaluator answers itself (page values, summaries,
// IsNull and IIf, which see Null or leave an argument unevaluated).
Function find(FormulaFunction function);

// Each family's functions, for the one table in find().
Value trimLeft(const Arguments& a);
Value trimRight(const Arguments& a);
Value trim(const Arguments& a);
Value inStr(const Arguments& a);
Value left(const Arguments& a);
Value right(const Arguments& a);
Value mid(const Arguments& a);
Value length(const Arguments& a);
Value upperCase(const Arguments& a);
Value lowerCase(const Arguments& a);
Value rtfToText(const Arguments& a);
Value replace(const Arguments& a);
Value space(const Arguments& a);
Value replicateString(const Arguments& a);
Value chr(const Arguments& a);

Value year(const Arguments& a);
Value month(const Arguments& a);
Value day(const Arguments& a);
Value date(const Arguments& a);

Value roundOrTruncate(const Arguments& a);
Value abs(const Arguments& a);
Value remainder(const Arguments& a);

Value toNumber(const Arguments& a);
Value toText(const Arguments& a);

} // namespace FormulaFunctions
