#pragma once

// What a formula can see while it is evaluated. The engine implements it for the record being
// printed; the planner and the tests implement it for a row of their own.
//
// Only fieldValue() and currentDateTime() must be given. The page and summary values raise a
// clear run-time error by default, which is right for record selections (they cannot use them).
// formulaValue() should cache per record and must itself detect a formula that refers to itself.

#include <QDateTime>
#include <QString>

#include "platform/Value.h"
#include "reportengine/FormulaValue.h"

class FormulaNode;

class FormulaContext
{
public:
    virtual ~FormulaContext() = default;

    // Value of the Field node {table.field} (names ignore case; node.slot() when bound). A field
    // the data lacks is a run-time error (RuntimeError) naming it.
    virtual Value fieldValue(const FormulaNode& field) const = 0;
    // Value of {@name}; the default raises "formula not found".
    virtual FormulaValue formulaValue(const QString& name) const;
    // Value of the FormulaRef node {@name}: the engine indexes by node.slot() when it bound the
    // formula; the default looks the name up.
    virtual FormulaValue formulaRefValue(const FormulaNode& reference) const;
    // Now, from the engine's injectable clock; CurrentDate is its date part.
    virtual QDateTime currentDateTime() const = 0;

    virtual qint64 pageNumber() const;
    virtual qint64 totalPageCount() const;
    virtual qint64 recordNumber() const;
    virtual qint64 groupNumber() const;
    // A summary call node: function() is Sum/Count/Average/Minimum/Maximum/DistinctCount,
    // child(0) the summarised field or formula, child(1) the group's field or null for the
    // whole report. The engine accumulates them (collectSummaries finds them beforehand).
    virtual Value summaryValue(const FormulaNode& summary) const;
};
