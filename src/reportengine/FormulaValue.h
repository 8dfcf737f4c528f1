#pragma once

// What a formula yields: a scalar Value (Null, Boolean, numbers, Currency, Date, text), or, for
// the right-hand side of "in", an array of scalars or a range "a to b".
//
//     FormulaValue v = evaluator.evaluate(*tree);
//     if (v.isScalar()) use(v.scalar());
//
// isTrue() is how a selection decides a record: only a Boolean True selects it; False and Null
// (unknown, SQL's three-valued logic) do not.

#include <memory>

#include <QList>

#include "platform/Value.h"
#include "reportengine/FormulaNode.h"

struct FormulaRange
{
    Value low; // Empty when the range is open below (UpTo)
    Value high; // Empty when the range is open above (UpFrom)
    RangeFlags flags;
};

class FormulaValue
{
public:
    enum class Kind
    {
        Scalar,
        Array,
        Range
    };

    FormulaValue() = default;
    FormulaValue(Value value)
        : m_scalar(std::move(value))
    {
    }
    static FormulaValue array(QList<Value> items);
    static FormulaValue range(FormulaRange range);

    Kind kind() const { return m_kind; }
    bool isScalar() const { return m_kind == Kind::Scalar; }
    const Value& scalar() const { return m_scalar; }
    const QList<Value>& items() const;
    const FormulaRange& rangeValue() const;

    bool isNull() const { return isScalar() && m_scalar.isNull(); }
    bool isTrue() const;

private:
    struct List
    {
        QList<Value> items;
        FormulaRange range;
    };

    Kind m_kind = Kind::Scalar;
    Value m_scalar;
    // Arrays and ranges are rare; a scalar, copied for every formula of every record, carries
    // no room for them.
    std::shared_ptr<const List> m_list;
};
