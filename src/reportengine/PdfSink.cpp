#include "reportengine/PdfSink.h"

#include <algorithm>

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QThread>

#include "reportengine/OutputFile.h"
#include "reportengine/PagePainter.h"
#include "reportengine/PageSpool.h"
#include "reportengine/PdfJoin.h"

namespace {
constexpr int Resolution = 1200;

QString cannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("No se pudo escribir el archivo PDF %1: %2").arg(path, reason);
}
} // namespace

PdfSink::PdfSink(const QString& path)
    : m_path(path)
{
}

PdfSink::PdfSink(QFileDevice* part, const QString& path)
    : m_path(path)
    , m_part(part)
{
}

PdfSink::~PdfSink()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PdfSink::begin(const DocumentInfo& info)
{
    // QPdfWriter reports nothing when it cannot write: the file says it, and keeps the old
    // document in place until the new one is whole.
    if (!m_part) {
        m_file = std::make_unique<OutputFile>(m_path);
        if (!m_file->create()) {
            m_error = QStringLiteral("No se pudo crear el archivo PDF %1: %2")
                          .arg(m_path, m_file->reason());
            return false;
        }
    }
    m_writer = m_part ? std::make_unique<QPdfWriter>(m_part)
                      : std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(Resolution);
    m_writer->setTitle(info.title);
    m_writer->setCreator(info.creator);
    const QPageSize size(QSizeF(coordToMm(info.pageWidth), coordToMm(info.pageHeight)),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    m_writer->setPageLayout(
        QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get()))
        return writeFailed();
    m_firstPage = true;
    m_pagePainter = std::make_unique<PagePainter>(Resolution / 2540.0, true);
    return true;
}

bool PdfSink::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    if (!m_firstPage && !m_writer->newPage())
        return writeFailed();
    m_firstPage = false;
    m_pagePainter->paint(*m_painter, page, resources, deferred);
    // A full disk shows on the file long before the painter ends.
    return !failed() || writeFailed();
}

bool PdfSink::finish(const DeferredValues&)
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    m_writer.reset();
    if (m_part)
        return (m_part->flush() && !failed()) || writeFailed();
    if (!m_file || !m_file->finish())
        return writeFailed();
    return true;
}

bool PdfSink::failed() const
{
    return m_part ? m_part->error() != QFileDevice::NoError : m_file->failed();
}

bool PdfSink::writeFailed()
{
    const QString reason = m_part ? OutputFile::reasonFor(*m_part)
        : m_file                  ? m_file->reason()
                                  : OutputFile::reasonFor(0);
    m_error = cannotWrite(m_path, reason);
    return false;
}

bool PdfSink::writeSpool(PageSpool& spool, const QString& path, QString* error, int parts)
{
    if (parts <= 0) {
        // A part's fixed cost (its fonts, the join) pays off from some hundreds of pages; past
        // four parts the writers mostly wait on memory.
        const qint64 byLength = spool.pageCount() / 200;
        parts = int(std::clamp<qint64>(byLength, 1, std::min(4, QThread::idealThreadCount())));
    }
    parts = int(std::min<qint64>(parts, std::max<qint64>(1, spool.pageCount())));
    const auto failWith = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (parts == 1) {
        PdfSink sink(path);
        return spool.replay(sink) || failWith(spool.errorString());
    }
    OutputFile out(path);
    if (!out.create())
        return failWith(
            QStringLiteral("No se pudo crear el archivo PDF %1: %2").arg(path, out.reason()));
    std::vector<std::unique_ptr<QFile>> files;
    std::vector<std::unique_ptr<PdfSink>> sinks;
    std::vector<PageSink*> runs;
    std::vector<QFileDevice*> written;
    for (int i = 0; i < parts; ++i) {
        files.push_back(std::make_unique<QFile>());
        QString why;
        if (!OutputFile::createScratch(QStringLiteral("pdf"), *files.back(), nullptr, &why, {}))
            return failWith(
                QStringLiteral("No se pudo crear el archivo temporal del informe: %1").arg(why));
        sinks.push_back(std::make_unique<PdfSink>(files.back().get(), path));
        runs.push_back(sinks.back().get());
        written.push_back(files.back().get());
    }
    if (!spool.replay(runs))
        return failWith(spool.errorString());
    QString why;
    if (!PdfJoin::join(written, out, &why))
        return failWith(cannotWrite(path, out.failed() ? out.reason() : why));
    if (!out.finish())
        return failWith(cannotWrite(path, out.reason()));
    return true;
}
