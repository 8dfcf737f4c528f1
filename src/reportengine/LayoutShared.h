#pragma once

#include <functional>
#include <vector>

#include <QByteArray>
#include <QHash>
#include <QString>

#include "reportengine/DisplayList.h"
#include "reportengine/FormulaNode.h"
#include "reportengine/Paginator.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/TextMeasurer.h"

// A page or record sink that failed while the run was under way: the run stops with its message.
struct SinkFailure
{
    QString message;
};

// A field that reads the page count, left for when the count is known: its formula as its record
// and page had it, with only the count still to read.
struct PageCountText
{
    qint32 slot = -1; // the deferred slot its text goes to
    qint32 countSlot = 0; // the deferred slot of its numbering's page count
    FormulaNodePtr tree;
    QString format;
    QString name;
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
    std::vector<PageCountText> pageCountTexts {};
    // The last of pageCountTexts of each item's tree: the next page's text takes its slot when
    // it is the same (a formula of the count alone).
    QHash<const FormulaNode*, std::size_t> lastPageCountText {};
};
