#pragma once

#include <memory>
#include <vector>

#include <QPageRanges>
#include <QString>
#include <QStringList>

#include "reportengine/PagePainter.h"
#include "reportengine/PageSink.h"

class QPainter;
class QPrinter;

// Prints the pages straight to a printer, with no dialog: the default printer or the one named,
// the number of copies asked, each page on paper of the report's size and orientation, drawn
// from the paper's corner as laid out. A printer given by the caller (the preview's print
// dialog, a PDF printer in the tests) is used as it is set up: only the pages of its page range
// are printed, and the copies it asks for are drawn here when the printer cannot make them
// itself (a file), collated or not as it says.
class PrinterSink final : public PageSink
{
public:
    // Blank `printerName`: the system's default printer.
    explicit PrinterSink(const QString& printerName = QString(), int copies = 1);
    // The caller's printer; not owned.
    explicit PrinterSink(QPrinter& printer);
    ~PrinterSink() override;

    // The queue of `queues` a printer setting names: the name itself, or the last part of a share
    // name (\\srv\cola is "cola"); an exact match wins, else one ignoring case. Empty when no
    // queue has the name: the print fails rather than go to another printer.
    static QString localQueue(const QString& printerName, const QStringList& queues);

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    QString errorString() const override { return m_error; }

private:
    bool paint(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred);

    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter* m_printer = nullptr;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<PagePainter> m_pagePainter;
    bool m_firstPage = true;
    QString m_error;
    QPageRanges m_pages; // empty: every page
    int m_pageNumber = 0; // pages received, printed or not
    int m_ownCopies = 1; // copies drawn here
    bool m_collate = true;
    // Collated copies drawn here: the pages printed, to print again at the end.
    std::vector<PageDisplayList> m_printed;
    const DocumentResources* m_resources = nullptr;
};
