#pragma once

#include <memory>

#include <QString>

class PageSink;

// The preview window as the screen destination opens it. The window is a widget and lives in a
// room of its own: src/app, and the tools and tests that show a preview, install the
// implementation (Service<ReportPreviews>); while none is installed, a print to the screen answers
// that the preview is not available, as any destination this machine cannot produce.
class ReportPreviews
{
public:
    virtual ~ReportPreviews() = default;

    // Opens a modeless preview window captioned `title` (the report's own caption when empty) and
    // answers the sink that fills it: the first page shows while the rest is laid out. The window
    // keeps the pages it was given and lives on after the print until the operator closes it.
    virtual std::shared_ptr<PageSink> open(const QString& title) = 0;
};
