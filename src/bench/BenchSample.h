#pragma once

#include <vector>

#include <QImage>

#include "reportengine/PageSink.h"

// What rp_bench's reference writers repeat: the first pages a job lays out and the first records
// of its record stream, kept as they came. As a page sink it takes the pages unresolved while they
// are laid out and stops the job once it has its pages (the job then fails: only the sample is
// wanted). As a record sink it passes every record on to `next` unchanged.
class BenchSample final : public PageSink, public RecordSink
{
public:
    BenchSample(int pages, int records, RecordSink* next = nullptr);

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override { return false; }
    QString errorString() const override;

    void beginRecords(const std::vector<RecordColumn>& columns) override;
    void groupStart(int level, const Value& key, const QString& caption) override;
    void record(const std::vector<Value>& values) override;
    void groupEnd(int level, const QString& caption) override;
    void endRecords() override;

    const DocumentInfo& info() const { return m_info; }
    const std::vector<PageDisplayList>& pages() const { return m_pages; }
    const std::vector<FontSpec>& fonts() const { return m_fonts; }
    const std::vector<QImage>& images() const { return m_images; }
    const std::vector<RecordColumn>& columns() const { return m_columns; }
    const std::vector<std::vector<Value>>& records() const { return m_records; }

private:
    int m_pageLimit;
    int m_recordLimit;
    RecordSink* m_next;
    DocumentInfo m_info;
    std::vector<PageDisplayList> m_pages;
    std::vector<FontSpec> m_fonts;
    std::vector<QImage> m_images;
    std::vector<RecordColumn> m_columns;
    std::vector<std::vector<Value>> m_records;
};
