#include "reportengine/PdfSink.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "reportengine/OutputFile.h"
#include "reportengine/PagePainter.h"

namespace {
constexpr int Resolution = 1200;
}

PdfSink::PdfSink(const QString& path) : m_path(path) { }

PdfSink::~PdfSink()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PdfSink::begin(const DocumentInfo& info)
{
    // QPdfWriter reports nothing when it cannot write: the file says it, and keeps the old
    // document in place until the new one is whole.
    m_file = std::make_unique<OutputFile>(m_path);
    if (!m_file->create()) {
        m_error = QStringLiteral("No se pudo crear el archivo PDF %1: %2").arg(m_path, m_file->reason());
        return false;
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(Resolution);
    m_writer->setTitle(info.title);
    m_writer->setCreator(info.creator);
    const QPageSize size(QSizeF(coordToMm(info.pageWidth), coordToMm(info.pageHeight)),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    m_writer->setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
        QPageLayout::Millimeter));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_writer.get()))
        return writeFailed();
    m_firstPage = true;
    m_pagePainter = std::make_unique<PagePainter>(Resolution / 2540.0);
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
    return !m_file->failed() || writeFailed();
}

bool PdfSink::finish(const DeferredValues&)
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    m_writer.reset();
    if (!m_file || !m_file->finish())
        return writeFailed();
    return true;
}

bool PdfSink::writeFailed()
{
    m_error = QStringLiteral("No se pudo escribir el archivo PDF %1: %2")
                  .arg(m_path, m_file ? m_file->reason() : OutputFile::reasonFor(0));
    return false;
}

#include <zlib.h>

// QPdfWriter compresses every page's content with zlib's default level, and its pages write one
// text operator per glyph: on a dense price list deflate alone took a third of the run. The
// fastest level gives files about two fifths larger at a quarter of the cost. Qt asks zlib for its level
// through deflateInit_, which this definition answers for the whole program (PNG images use
// deflateInit2_ and keep theirs).
extern "C" int deflateInit_(z_streamp stream, int, const char* version, int streamSize)
{
    return deflateInit2_(stream, Z_BEST_SPEED, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
        version, streamSize);
}
