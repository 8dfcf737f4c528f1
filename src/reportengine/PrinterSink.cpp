#include "reportengine/PrinterSink.h"

#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// Where Qt's CUPS support keeps the job options of the print dialog ("page-ranges" among them)
// as name, value, name, value...
constexpr auto CupsJobOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The pages the print dialog asked for; empty for all of them. "Páginas desde ... a ..." is the
// printer's own range; the free list of pages ("1-3,7") is a CUPS option that CUPS applies on
// the server, so it is applied here only when the job goes to a file and never reaches CUPS.
QPageRanges chosenPages(QPrinter& printer)
{
    if (printer.printRange() == QPrinter::PageRange)
        return printer.pageRanges();
    if (printer.outputFileName().isEmpty() || !printer.printEngine())
        return QPageRanges();
    const QStringList options = printer.printEngine()->property(CupsJobOptions).toStringList();
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (options.at(i) == QLatin1String("page-ranges"))
            return QPageRanges::fromString(options.at(i + 1));
    }
    return QPageRanges();
}

} // namespace

QString PrinterSink::localQueue(const QString& printerName, const QStringList& queues)
{
    // The suite's workstations name shared printers "\\server\queue"; here the queue is local.
    QString name = printerName.trimmed();
    const qsizetype cut = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    if (cut >= 0)
        name = name.mid(cut + 1).trimmed();
    if (name.isEmpty())
        return QString();
    for (const QString& queue : queues)
        if (queue == name)
            return queue;
    for (const QString& queue : queues)
        if (queue.compare(name, Qt::CaseInsensitive) == 0)
            return queue;
    return QString();
}

PrinterSink::PrinterSink(const QString& printerName, int copies)
    : m_ownPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer = m_ownPrinter.get();
    if (!printerName.trimmed().isEmpty()) {
        const QString queue = localQueue(printerName, QPrinterInfo::availablePrinterNames());
        if (queue.isEmpty())
            m_error = QStringLiteral("No se encuentra la impresora %1").arg(printerName.trimmed());
        else
            m_printer->setPrinterName(queue);
    } else if (QPrinterInfo::defaultPrinterName().isEmpty()) {
        m_error = QStringLiteral("No hay una impresora predeterminada");
    }
    m_printer->setCopyCount(std::max(1, copies));
}

PrinterSink::PrinterSink(QPrinter& printer)
    : m_printer(&printer)
{
}

PrinterSink::~PrinterSink()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PrinterSink::begin(const DocumentInfo& info)
{
    if (!m_error.isEmpty())
        return false;
    m_printer->setFullPage(true);
    m_printer->setDocName(info.title.isEmpty() ? info.reportName : info.title);
    m_printer->setCreator(info.creator);
    const QSizeF paper(coordToMm(info.pageWidth), coordToMm(info.pageHeight));
    // The page size is the portrait sheet; a landscape report turns it.
    const QSizeF portrait = paper.width() > paper.height() ? paper.transposed() : paper;
    m_printer->setPageSize(QPageSize(portrait, QPageSize::Millimeter));
    m_printer->setPageOrientation(
        paper.width() > paper.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer)) {
        m_error = QStringLiteral("No se pudo imprimir en %1").arg(m_printer->printerName());
        return false;
    }
    // Device pixels per hundredth of a millimetre.
    m_pagePainter = std::make_unique<PagePainter>(m_printer->resolution() / 2540.0);
    m_pages = chosenPages(*m_printer);
    // A queue makes the copies itself; a file gets each one drawn.
    const bool file = !m_printer->outputFileName().isEmpty();
    m_ownCopies
        = m_printer->supportsMultipleCopies() && !file ? 1 : std::max(1, m_printer->copyCount());
    m_collate = m_printer->collateCopies();
    return true;
}

bool PrinterSink::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    ++m_pageNumber;
    if (!m_pages.isEmpty() && !m_pages.contains(m_pageNumber))
        return true;
    if (m_ownCopies > 1 && m_collate) {
        m_printed.push_back(page);
        m_resources = &resources;
        return paint(page, resources, deferred);
    }
    for (int copy = 0; copy < m_ownCopies; ++copy) {
        if (!paint(page, resources, deferred))
            return false;
    }
    return true;
}

bool PrinterSink::paint(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    if (!m_firstPage && !m_printer->newPage()) {
        m_error = QStringLiteral("No se pudo imprimir en %1").arg(m_printer->printerName());
        return false;
    }
    m_firstPage = false;
    m_pagePainter->paint(*m_painter, page, resources, deferred);
    return true;
}

bool PrinterSink::finish(const DeferredValues& deferred)
{
    for (int copy = 1; copy < m_ownCopies && m_resources; ++copy) {
        for (const PageDisplayList& page : m_printed) {
            if (!paint(page, *m_resources, &deferred))
                return false;
        }
    }
    m_printed.clear();
    if (!m_painter->end() || m_printer->printerState() == QPrinter::Error) {
        m_error = QStringLiteral("No se pudo imprimir en %1").arg(m_printer->printerName());
        return false;
    }
    return true;
}
