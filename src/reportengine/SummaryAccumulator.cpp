#include "reportengine/SummaryAccumulator.h"

#include "reportengine/FormulaText.h"

int compareValues(const Value& a, const Value& b)
{
    if (a.isNumeric() && b.isNumeric()) {
        if (a.type() == ValueType::Double || a.type() == ValueType::Single
            || b.type() == ValueType::Double || b.type() == ValueType::Single) {
            const double x = a.toDouble();
            const double y = b.toDouble();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const Currency x = a.toCurrency();
        const Currency y = b.toCurrency();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.type() == ValueType::Date && b.type() == ValueType::Date) {
        const QDateTime x = a.toDateTime();
        const QDateTime y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.type() == ValueType::Boolean && b.type() == ValueType::Boolean)
        return int(a.toBool()) - int(b.toBool());
    return FormulaText::compare(a.toString(), b.toString());
}

bool sameKey(const Value& a, const Value& b)
{
    if (a.isNull() || a.isEmpty() || b.isNull() || b.isEmpty())
        return (a.isNull() || a.isEmpty()) == (b.isNull() || b.isEmpty());
    return compareValues(a, b) == 0;
}

void SummaryAccumulator::add(const Value& v)
{
    if (v.isNull() || v.isEmpty())
        return;
    ++m_count;
    if (v.isNumeric()) {
        m_numeric = true;
        const ValueType t = v.type();
        if (t == ValueType::Double || t == ValueType::Single)
            m_double = true;
        else if (t == ValueType::Currency)
            m_allInteger = false;
        m_dsum += v.toDouble();
        if (!m_double)
            m_csum += v.toCurrency();
    }
    if (m_min.isEmpty() || compareValues(v, m_min) < 0)
        m_min = v;
    if (m_max.isEmpty() || compareValues(v, m_max) > 0)
        m_max = v;
}

Value SummaryAccumulator::value(SummaryFunction function) const
{
    switch (function) {
    case SummaryFunction::Count:
        return Value(m_count);
    case SummaryFunction::Sum:
        if (!m_numeric)
            return Value(qint64(0));
        if (m_double)
            return Value(m_dsum);
        if (m_allInteger)
            return Value(m_csum.raw() / Currency::Scale);
        return Value(m_csum);
    case SummaryFunction::Average:
        if (!m_numeric || m_count == 0)
            return Value::null();
        return Value(m_dsum / double(m_count));
    case SummaryFunction::Minimum:
        return m_min.isEmpty() ? Value::null() : m_min;
    case SummaryFunction::Maximum:
        return m_max.isEmpty() ? Value::null() : m_max;
    }
    return Value::null();
}
