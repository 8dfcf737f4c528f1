#pragma once

#include <vector>

#include <QString>

#include "platform/Value.h"
#include "reportengine/DisplayList.h"

// Where laid-out pages go. The layout calls begin() once, page() for each page in order (the
// list is reused afterwards: copy what must be kept), then finish() once with the values of the
// deferred texts. A sink that cannot go on returns false and sets errorString(); the layout then
// stops and the job fails with that text.
//
// Deferred texts (total pages, group totals shown in headers) are resolved before a page reaches
// a sink whose wantsResolvedPages() is true: the job then spools the pages and replays them
// when pagination ends. A sink that keeps pages itself (the saved report, a preview) answers false
// and receives the values in finish().
class PageSink
{
public:
    virtual ~PageSink() = default;

    virtual bool begin(const DocumentInfo& info) = 0;
    // `resources` holds every font and image the page refers to. `deferred` is null while
    // pagination is still running; a resolving replay passes the final values.
    virtual bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred)
        = 0;
    virtual bool finish(const DeferredValues& deferred) = 0;

    virtual bool wantsResolvedPages() const { return true; }
    // False for a sink that throws the pages away (the data-only outputs): the engine then reads
    // the records without laying out pages, unless the record stream depends on the layout.
    virtual bool wantsPages() const { return true; }
    virtual QString errorString() const { return QString(); }
};

// One column of the record stream: a field of the detail sections, in reading order.
struct RecordColumn
{
    QString name; // the item's name, else its expression
    QString format; // the item's number or date pattern
    HAlign align = HAlign::Left;
};

// The data rows as printed, for data-only outputs (spreadsheet, CSV) and the saved report:
// group starts and ends around the detail records, values typed as the database gave them. A
// record whose detail sections are all hidden is not printed and not in the stream either.
class RecordSink
{
public:
    virtual ~RecordSink() = default;

    virtual void beginRecords(const std::vector<RecordColumn>& columns) = 0;
    // level 0 is the outermost group; `key` is the value the group breaks on; `caption` is the
    // group's heading as its header prints it (its texts and fields in reading order, blank
    // separated), empty when the header prints none.
    virtual void groupStart(int level, const Value& key, const QString& caption) = 0;
    virtual void record(const std::vector<Value>& values) = 0;
    // `caption` is the group's footer as printed (its counts and totals with their texts),
    // empty when the footer prints none.
    virtual void groupEnd(int level, const QString& caption) = 0;
    virtual void endRecords() = 0;
};
