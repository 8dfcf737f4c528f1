#include "reportengine/FormulaValue.h"

FormulaValue FormulaValue::array(QList<Value> items)
{
    FormulaValue v;
    v.m_kind = Kind::Array;
    v.m_list = std::make_shared<const List>(List { std::move(items), {} });
    return v;
}

FormulaValue FormulaValue::range(FormulaRange range)
{
    FormulaValue v;
    v.m_kind = Kind::Range;
    v.m_list = std::make_shared<const List>(List { {}, std::move(range) });
    return v;
}

const QList<Value>& FormulaValue::items() const
{
    static const QList<Value> none;
    return m_list ? m_list->items : none;
}

const FormulaRange& FormulaValue::rangeValue() const
{
    static const FormulaRange none;
    return m_list ? m_list->range : none;
}

bool FormulaValue::isTrue() const
{
    return isScalar() && m_scalar.type() == ValueType::Boolean && m_scalar.toBool();
}
