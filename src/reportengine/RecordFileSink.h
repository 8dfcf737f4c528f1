#pragma once

#include <QString>

#include "reportengine/PageSink.h"

// A record stream written to a file (spreadsheet, CSV). The record calls cannot fail, so a
// write error is kept and reported by errorString(); close() ends the file and answers whether
// it was written whole. The file replaces the old one at close(), never before: a failed run
// leaves the old file and nothing beside it.
class RecordFileSink : public RecordSink
{
public:
    virtual bool close() = 0;
    virtual QString errorString() const = 0;
};

// The pages of a data-only export go nowhere, so the engine lays none out: it reads the records
// and feeds the record file only. A report whose record values depend on the pages (a page
// number in a detail field, a sub-report) is still laid out, so those values stay as printed.
// Either way the run stops soon after the record file has failed.
class NullPageSink final : public PageSink
{
public:
    explicit NullPageSink(const RecordFileSink* watched = nullptr)
        : m_watched(watched)
    {
    }

    bool begin(const DocumentInfo&) override { return healthy(); }
    bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
    {
        return healthy();
    }
    bool finish(const DeferredValues&) override { return healthy(); }
    bool wantsResolvedPages() const override { return false; }
    bool wantsPages() const override { return false; }
    QString errorString() const override
    {
        return m_watched ? m_watched->errorString() : QString();
    }

private:
    bool healthy() const { return !m_watched || m_watched->errorString().isEmpty(); }

    const RecordFileSink* m_watched;
};
