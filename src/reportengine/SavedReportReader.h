#pragma once

#include <QFile>
#include <QString>

#include "reportengine/PageSink.h"

// Opens a saved-report file (see SavedReportWriter) and replays it, page by page, into any page
// sink: its deferred texts are resolved on the way, so the sink receives finished pages. Memory
// stays at one page plus the document's fonts and images.
class SavedReportReader
{
public:
    SavedReportReader() = default;

    // False with errorString() for a missing file, a file that is not a saved report (checked by
    // its magic bytes and trailer) or a format version this build does not know.
    bool open(const QString& path);

    const DocumentInfo& info() const { return m_info; }
    const DeferredValues& deferred() const { return m_deferred; }
    int pageCount() const;

    // Streams every page to `pages` (resolved) and, when given, the records to `records`.
    bool replay(PageSink& pages, RecordSink* records = nullptr);

    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);

    QString m_path;
    QFile m_file;
    qint64 m_bodyStart = 0;
    quint32 m_version = 0; // files of version 1 keep no group captions
    qint64 m_deferredOffset = 0;
    DocumentInfo m_info;
    DeferredValues m_deferred;
    QString m_error;
};
