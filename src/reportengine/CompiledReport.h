#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include "reportengine/DisplayList.h"
#include "reportengine/FormulaNode.h"
#include "reportengine/PageSink.h"
#include "reportengine/ReportDataSource.h"
#include "reportengine/ReportDefinition.h"

// A definition made ready to run: every formula parsed once, every field given its slot in the
// row, the summaries registered and the statement written. Built by ReportCompiler, read by
// ReportRun; it points into the definition, which must outlive it.
struct CompiledReport;

struct CompiledItem
{
    const ReportItem* def = nullptr;
    FormulaNodePtr expr;
    FormulaNodePtr suppress;
    int font = 0;
    QRgb color = 0xff000000;
    quint8 flags = 0;
    int image = -1; // file image
    int summary = -1; // accumulator of a Summary item
    int level = -1; // Summary item: group level of its scope, -1 for the report
    // `expr` with the formulas it names that read the page count written out in it; null when
    // the item reads no page count. Worked out when the count is known (see BandContext).
    FormulaNodePtr pageCountExpr;
    const CompiledReport* sub = nullptr;
    std::vector<FormulaNodePtr> linkValues; // main-report side of each link
    int recordColumn = -1;
    QString formulaName;
    // Index of the run's stored value of `suppress` / `expr` when no record or page changes it
    // (-1 when it is evaluated every time).
    int fixedSuppress = -1;
    int fixedExpr = -1;
};

struct CompiledSection
{
    const ReportSection* def = nullptr;
    FormulaNodePtr suppress;
    FormulaNodePtr newPageBefore;
    FormulaNodePtr newPageAfter;
    std::vector<CompiledItem> items;
    QString name;
    int fixedSuppress = -1;
    bool marksContinuation = false; // holds a "continued" special field
    bool snaps = false; // an item meets its right neighbour (SnapRight)
};

struct CompiledGroup
{
    const ReportGroup* def = nullptr;
    FormulaNodePtr key;
    FormulaNodePtr newPageBefore;
    FormulaNodePtr newPageAfter;
    FormulaNodePtr restartPageNumbers;
    std::vector<CompiledSection> headers;
    std::vector<CompiledSection> footers;
};

struct SummarySpec
{
    SummaryFunction function = SummaryFunction::Sum;
    FormulaNodePtr expr;
    int level = -1; // reset when this group level starts; -1 never
    QString name;
};

struct CompiledReport
{
    const ReportDefinition* def = nullptr;
    QStringList columns; // slot -> "alias.field" as first written
    QHash<QString, int> slotByKey; // "alias.field" lower-case -> slot
    QHash<QString, FormulaNodePtr> formulas; // lower-case name -> tree
    QHash<QString, QString> formulaNames; // lower-case name -> definition's spelling
    QSet<QString> fixedFormulas; // lower-case names of formulas that no record or page changes
    // The formulas by index ({@name} nodes carry theirs as their slot): tree, spelling, fixed.
    QHash<QString, int> formulaIndex; // lower-case name -> index
    std::vector<FormulaNodePtr> formulaTrees;
    QStringList formulaSpellings;
    std::vector<bool> formulaFixed;
    int fixedTrees = 0; // item and section trees whose value is kept for the run
    FormulaNodePtr residual;
    DataQuery query;
    bool literalSql = false;
    std::vector<CompiledGroup> groups;
    std::vector<CompiledSection> reportHeaders, pageHeaders, details, pageFooters, reportFooters;
    std::vector<SummarySpec> summaries;
    QHash<const FormulaNode*, int> summaryByNode;
    std::vector<RecordColumn> recordColumns;
    // The detail field of each record column, and its section.
    std::vector<std::pair<const CompiledSection*, const CompiledItem*>> recordItems;
    std::vector<std::pair<FormulaNodePtr, bool>> localOrder; // keys the engine sorts by, desc
    std::vector<std::unique_ptr<CompiledReport>> subs;
    Coord pageFooterHeight = 0;
    bool restartsPageNumbers = false; // a group may number its pages on its own
    int noDataFont = 0;
};
