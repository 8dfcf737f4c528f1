#include "bench/BenchSample.h"

BenchSample::BenchSample(int pages, int records, RecordSink* next)
    : m_pageLimit(pages)
    , m_recordLimit(records)
    , m_next(next)
{
}

bool BenchSample::begin(const DocumentInfo& info)
{
    m_info = info;
    return true;
}

bool BenchSample::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues*)
{
    m_pages.push_back(page);
    // Resources only grow: the last page's copy holds every earlier page's.
    m_fonts = resources.fonts();
    m_images = resources.images();
    return int(m_pages.size()) < m_pageLimit;
}

bool BenchSample::finish(const DeferredValues&)
{
    return true;
}

QString BenchSample::errorString() const
{
    return QStringLiteral("Muestra completa");
}

void BenchSample::beginRecords(const std::vector<RecordColumn>& columns)
{
    m_columns = columns;
    if (m_next)
        m_next->beginRecords(columns);
}

void BenchSample::groupStart(int level, const Value& key, const QString& caption)
{
    if (m_next)
        m_next->groupStart(level, key, caption);
}

void BenchSample::record(const std::vector<Value>& values)
{
    if (int(m_records.size()) < m_recordLimit)
        m_records.push_back(values);
    if (m_next)
        m_next->record(values);
}

void BenchSample::groupEnd(int level, const QString& caption)
{
    if (m_next)
        m_next->groupEnd(level, caption);
}

void BenchSample::endRecords()
{
    if (m_next)
        m_next->endRecords();
}
