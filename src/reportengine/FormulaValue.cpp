#include "reportengine/FormulaValue.h"

FormulaValue FormulaValue::array(QList<Value> items)
{
    FormulaValue v;
    v.m_kind = Kind::Array;
    v.m_items = std::move(items);
    return v;
}

FormulaValue FormulaValue::range(FormulaRange range)
{
    FormulaValue v;
    v.m_kind = Kind::Range;
    v.m_range = std::move(range);
    return v;
}

bool FormulaValue::isTrue() const
{
    return isScalar() && m_scalar.type() == ValueType::Boolean && m_scalar.toBool();
}
