#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QHash>
#include <QList>
#include <QString>

#include "reportengine/BandBuilder.h"
#include "reportengine/BandContext.h"
#include "reportengine/CompiledReport.h"
#include "reportengine/FormulaContext.h"
#include "reportengine/FormulaFolding.h"
#include "reportengine/FormulaValue.h"
#include "reportengine/LayoutShared.h"
#include "reportengine/Paginator.h"
#include "reportengine/SummaryAccumulator.h"

// Runs one report, or one sub-report where its band is placed: reads the rows, breaks them into
// groups, keeps the summaries and places the bands its BandBuilder builds on the pages.
class ReportRun final : public FormulaContext, public Paginator::Host, public BandContext
{
public:
    ReportRun(const CompiledReport& report, LayoutShared& shared, Coord dx);

    void execute(const QList<Value>& linkParameters);

    // FormulaContext
    Value fieldValue(const FormulaNode& field) const override;

    FormulaValue formulaValue(const QString& name) const override;

    FormulaValue formulaRefValue(const FormulaNode& reference) const override;

    // The report run by the caller, not a sub-report: an empty one says so on its page.
    void setMain() { m_main = true; }

    QDateTime currentDateTime() const override { return m_shared.options.printTime; }
    qint64 pageNumber() const override { return currentPage(); }
    qint64 totalPageCount() const override { return TotalPagesStandIn; }
    qint64 recordNumber() const override { return m_recordNumber; }
    qint64 groupNumber() const override { return m_groupNumber; }
    Value summaryValue(const FormulaNode& summary) const override;

    // BandContext
    Value eval(const FormulaNode& tree, int fixed, const QString& name) const override;
    bool isTrue(const FormulaNodePtr& tree, int fixed, const QString& name) const override;
    std::vector<Value>* recordValues() override { return m_record; }
    int currentPage() const override;
    qint32 pageCountSlot() override;
    qint32 deferPageCountText(
        const FormulaNodePtr& tree, const QString& format, const QString& name) override;
    bool continuing() const override { return m_continuing; }
    Value summaryTotal(int summary) const override;
    qint32 deferTotal(int summary, const QString& format) override;

    // Paginator::Host
    void pageOpened(Paginator& paginator) override;

    void pageClosing(Paginator& paginator) override;

    void pageDone(const PageDisplayList& page) override;

private:
    static constexpr quint64 FixedGeneration = ~quint64(0);

    struct CachedFormula
    {
        quint64 generation = 0;
        bool busy = false;
        FormulaValue value;
    };

    struct PendingSlot
    {
        int slot;
        int summary;
        int level;
        QString format;
    };

    // A formula's value for the current record (or the run, when fixed), worked out once; the
    // reference holds until the next record.
    const FormulaValue& formulaAt(std::size_t index, const QString& name) const;

    // The tree a record evaluates for the formula: its parts that read only fixed formulas
    // worked out for the run, on first use.
    const FormulaNodePtr& runTree(std::size_t index) const;

    FormulaFolding::Known known() const;

public:
    // The record stream's columns as a reader of the data expects them: only the fields the
    // pages show (a field or section hidden for the whole run, such as a list column not
    // chosen or the stock without a warehouse, is left out), each named by the caption printed
    // above it unless the definition names it. Records given to record() afterwards are cut to
    // these columns.
    std::vector<RecordColumn> shownColumns();

private:
    const std::vector<Value>& shownValues(const std::vector<Value>& record);

    // True when `suppress` hides its item on every record of this run: what the fixed formulas
    // decide is worked out, and an Or with one side true (or an And with both) is true.
    bool hiddenForRun(const FormulaNodePtr& suppress) const;

    // The caption printed above a detail field: the lowest text of the heading (a literal, or a
    // field the whole run prints alike) that stands over the field and reaches no further
    // than half the field's width beyond either edge (a title across the page is no caption);
    // the widest overlap among those on one line, after the heading ruled over several columns
    // above it, when there is one ("4 P. Venta"). Empty when there is none.
    QString captionOf(const ReportItem& field);

    QString captionIn(const std::vector<CompiledSection>& sections, const ReportItem& field);
    // What a group's header or footer prints as text, for the record stream: its shown texts,
    // fields and (in a footer) totals in reading order, blank separated.
    QString printedText(const std::vector<CompiledSection>& sections, bool totals) const;

    void placeNoData();

    void mapColumns(RowSource& rows);

    // Reads every selected row and hands them back in the order of the report's keys. Only for
    // reports ordered by a formula: the rows of one run are then held in memory.
    std::unique_ptr<RowSource> sortLocally(RowSource& rows);

    bool nextSelected(RowSource& rows);

    // The value of a formula named by a {@name} node, kept for the record; null when the node
    // names none of the report's formulas.
    const FormulaValue* formulaOf(const FormulaNode& reference) const;

    // Items, keys and switches are mostly a field or a formula: those are read straight, as the
    // evaluator reads them. Anything else, and every failure, goes through the evaluator.
    Value eval(const FormulaNode& tree, const QString& name) const;

    bool isTrue(const FormulaNodePtr& tree, const QString& name) const;

    void openGroups(int from, const std::vector<Value>& keys);

    void closeGroups(int downTo, bool atEnd);

    void resolvePending(int level);

    // False when the section is hidden.
    bool placeSection(const CompiledSection& s, Role role);

    void placeBand(const CompiledSection& s, Band band, bool withNext);

    // Records only: the detail fields' values as buildBand() records them, with no band built.
    // False when the section is hidden.
    bool fillRecord(const CompiledSection& s);

    // Without pages the page sink is not called while the records run: ask it now and then
    // whether the output behind it has failed, to stop reading.
    void checkPageSink() const;

    bool placeLabel(const CompiledSection& s);

    void runSubreports(const CompiledSection& s);

    qint32 newSlot();

    const CompiledReport& m_report;
    LayoutShared& m_shared;
    Coord m_dx;
    std::vector<SummaryAccumulator> m_acc;
    std::vector<Value> m_cur;
    std::vector<Value> m_prev;
    const std::vector<Value>* m_row = nullptr;
    std::vector<int> m_columnOfSlot;
    std::vector<bool> m_open;
    QHash<int, bool> m_started;
    std::vector<Value>* m_record = nullptr;
    std::vector<PendingSlot> m_pending;
    bool m_presorted = false;
    bool m_main = false;
    bool m_continuing = false; // building the copy of a group header for continued pages
    qint64 m_recordNumber = 0;
    qint64 m_groupNumber = 0;
    quint64 m_generation = 1;
    mutable std::vector<std::optional<Value>> m_fixedValues;
    std::vector<std::size_t> m_columnMap; // shown record column -> column; empty: all shown
    std::vector<Value> m_shownValues;
    mutable std::vector<CachedFormula> m_formulaCache; // by formula index
    std::vector<Value> m_recordValues; // the record being read, for the record stream
    mutable std::vector<FormulaNodePtr> m_runTrees; // by formula index, see runTree()
    mutable std::vector<bool> m_runTreeReady;
    FormulaNodePtr m_residual; // the selection left to the engine, folded for the run
    BandBuilder m_bands;
};
