#pragma once

#include "reportengine/PageSink.h"

// Takes every page laid out and keeps none: for runs that exercise the whole layout and want no
// output (the fuzzers).
class DiscardedPages final : public PageSink
{
public:
    bool begin(const DocumentInfo&) override { return true; }
    bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
    {
        return true;
    }
    bool finish(const DeferredValues&) override { return true; }
};
