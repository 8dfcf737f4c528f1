#pragma once

#include <memory>
#include <QString>

#include "reportengine/PagePainter.h"
#include "reportengine/PageSink.h"

class OutputFile;
class PageSpool;
class QFileDevice;
class QPdfWriter;
class QPainter;

// Writes pages to a PDF file through QPdfWriter, one page at a time (nothing is kept between
// pages but the fonts). Fonts are embedded (subsets of the substituted TrueType fonts); the
// document title and creator come from the document info. The file replaces the old one when
// finished, never before.
class PdfSink final : public PageSink
{
public:
    // Fonts are taken as the document's resources name them (the layout substituted them).
    explicit PdfSink(const QString& path);
    // Writes into `part`, already open, which stays the caller's: a run of pages of the
    // document `path` names in its messages (see writeSpool).
    PdfSink(QFileDevice* part, const QString& path);
    ~PdfSink() override;

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    QString errorString() const override { return m_error; }

    // Writes the pages of `spool` to `path`. A long document is drawn on several threads, each
    // into a scratch part of its own, and the parts are joined; `parts` 0 chooses by the
    // document's length and the machine, 1 draws on the calling thread alone.
    static bool writeSpool(PageSpool& spool, const QString& path, QString* error, int parts = 0);

private:
    bool writeFailed();
    bool failed() const;

    QString m_path;
    QFileDevice* m_part = nullptr;
    std::unique_ptr<OutputFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<PagePainter> m_pagePainter;
    bool m_firstPage = true;
    QString m_error;
};
