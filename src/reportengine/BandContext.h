#pragma once

#include <vector>

#include <QString>

#include "platform/Value.h"
#include "reportengine/FormulaNode.h"

// What a BandBuilder asks of the run it builds bands for: the values of the record being
// printed, the page it goes on and the report's totals so far.
class BandContext
{
public:
    virtual ~BandContext() = default;

    // An item's value / whether a switch is on, for the record being printed; `fixed` >= 0 is
    // the run's kept value of a tree no record or page changes (-1: worked out every time).
    virtual Value eval(const FormulaNode& tree, int fixed, const QString& name) const = 0;
    virtual bool isTrue(const FormulaNodePtr& tree, int fixed, const QString& name) const = 0;
    // The record stream's values of the record being read, filled as its bands are built;
    // null when no record is written.
    virtual std::vector<Value>* recordValues() = 0;

    virtual int currentPage() const = 0;
    // The deferred slot that receives the page count of the numbering the page belongs to.
    virtual qint32 pageCountSlot() = 0;
    // The deferred slot that receives a field's text once the page count of the page's
    // numbering is known: `tree` (which reads the count) is worked out now for all the rest,
    // the record, the page and the totals as they stand, and formatted with `format` then.
    virtual qint32 deferPageCountText(
        const FormulaNodePtr& tree, const QString& format, const QString& name)
        = 0;
    virtual qint64 recordNumber() const = 0;
    virtual qint64 groupNumber() const = 0;
    // Building the copy of a group header for the pages that continue the group.
    virtual bool continuing() const = 0;

    // The report's summary `summary` as it stands, and a deferred slot that receives it,
    // formatted, when its group (or the report) ends.
    virtual Value summaryTotal(int summary) const = 0;
    virtual qint32 deferTotal(int summary, const QString& format) = 0;
};
