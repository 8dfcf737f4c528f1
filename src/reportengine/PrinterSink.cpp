#include "reportengine/PrinterSink.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

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

PrinterSink::PrinterSink(QPrinter& printer) : m_printer(&printer) { }

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
    return true;
}

bool PrinterSink::page(
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

bool PrinterSink::finish(const DeferredValues&)
{
    if (!m_painter->end() || m_printer->printerState() == QPrinter::Error) {
        m_error = QStringLiteral("No se pudo imprimir en %1").arg(m_printer->printerName());
        return false;
    }
    return true;
}
