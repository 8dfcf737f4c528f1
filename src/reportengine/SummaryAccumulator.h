#pragma once

#include "platform/Value.h"
#include "reportengine/ReportDefinition.h"

// Order of two values as the report compares them: numbers by amount, dates by time, texts by
// the suite's text order. -1, 0 or 1.
int compareValues(const Value& a, const Value& b);

// Group keys break on a change the database would also see: texts ignore case and trailing
// blanks, as the rows were ordered by the suite's collation.
bool sameKey(const Value& a, const Value& b);

// One summary of a report (a total, count, average, minimum or maximum) as rows are added;
// null and unassigned values are not counted.
class SummaryAccumulator
{
public:
    void reset() { *this = SummaryAccumulator(); }

    void add(const Value& v);

    Value value(SummaryFunction function) const;

private:
    qint64 m_count = 0;
    bool m_numeric = false;
    bool m_double = false;
    bool m_allInteger = true;
    double m_dsum = 0;
    Currency m_csum;
    Value m_min;
    Value m_max;
};
