#pragma once

#include <functional>
#include <vector>

#include <QByteArray>
#include <QHash>
#include <QString>

#include "reportengine/DisplayList.h"
#include "reportengine/Paginator.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/TextMeasurer.h"

// A page or record sink that failed while the run was under way: the run stops with its message.
struct SinkFailure
{
    QString message;
};

// What the main report and its sub-reports share while a document is laid out.
struct LayoutShared
{
    const RenderOptions& options;
    ReportDataSource& data;
    DocumentResources& resources;
    TextMeasurer& measurer;
    DeferredValues deferred;
    Paginator* paginator = nullptr;
    PageSink* pages = nullptr;
    RecordSink* records = nullptr;
    std::function<void(int)> onPage;
    std::function<void(qint64)> onRecord;
    qint64 recordsRead = 0;
    QHash<QByteArray, int> imageByHash;
    QString lastQrText;
    int lastQrImage = -1;
    // Deferred slot of each page numbering's page count; slot 0 (the document's) serves alone
    // when no group numbers its pages on its own.
    std::vector<qint32> numberingSlots {};
    Coord bodyWidth = 0; // between the side margins: where snapped items end at the latest
};
