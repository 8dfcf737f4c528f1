#pragma once

#include <vector>

#include <QFile>
#include <QString>

#include "reportengine/PageSink.h"

// Holds the pages of a run that prints values known only at its end (total pages, totals above
// their rows) until pagination ends, then hands them to a destination with those values filled
// in. The pages wait in a temporary file in the engine's own scratch form (items as they lie in
// memory, texts as UTF-16), which only this build writes and reads; memory stays at a few pages.
class PageSpool final : public PageSink
{
public:
    PageSpool();
    ~PageSpool() override;

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override { return false; }
    QString errorString() const override { return m_error; }

    // After finish(): begin(), every page resolved, finish() on `sink`. The pages are read and
    // resolved on a thread of their own while `sink` takes the one before. False with
    // errorString() when the file cannot be read back or the sink stops.
    bool replay(PageSink& sink);
    // The same, the pages cut into as many runs as there are sinks, in order: each sink has a run
    // of its own, on a thread of its own (the first on the calling thread).
    bool replay(const std::vector<PageSink*>& sinks);
    qint64 pageCount() const { return qint64(m_offsets.size()); }

private:
    bool fail(const QString& message);

    QFile m_file;
    QFile m_readBack; // the same file, opened before its name was removed
    QByteArray m_buffer;
    DocumentInfo m_info;
    DocumentResources m_resources;
    std::size_t m_fontsKept = 0;
    std::size_t m_imagesKept = 0;
    DeferredValues m_deferred;
    std::vector<qint64> m_offsets; // where each page starts in the file
    qint64 m_written = 0;
    QString m_error;
};
