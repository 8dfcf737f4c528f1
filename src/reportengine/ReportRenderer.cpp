#include "reportengine/ReportRenderer.h"

#include <QSet>

#include "platform/Clock.h"
#include "platform/RuntimeError.h"
#include "reportengine/FontSubstitution.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/Paginator.h"
#include "reportengine/ReportCompiler.h"
#include "reportengine/ReportRun.h"
#include "reportengine/TextMeasurer.h"
#include "reportengine/ValueFormat.h"

namespace {

bool hasDeferred(const CompiledReport& r);

// True when the formula, or one it names, asks for the page number or the page count.
bool readsPages(const CompiledReport& r, const FormulaNode& node, QSet<QString>& seen)
{
    // The formulas it names are looked at in turn, not one inside the other.
    std::vector<const FormulaNode*> trees { &node };
    while (!trees.empty()) {
        const FormulaNode* tree = trees.back();
        trees.pop_back();
        const bool reads = anyFormulaNode(*tree, [&](const FormulaNode& n) {
            if (n.kind() == FormulaNodeKind::FormulaRef) {
                const QString key = n.name().toLower();
                const auto named = r.formulas.constFind(key);
                if (!seen.contains(key) && named != r.formulas.constEnd() && named.value())
                    trees.push_back(named.value().get());
                seen.insert(key);
            }
            return n.kind() == FormulaNodeKind::Call
                && (n.function() == FormulaFunction::PageNumber
                    || n.function() == FormulaFunction::TotalPageCount);
        });
        if (reads)
            return true;
    }
    return false;
}

// True when the record stream cannot be told without laying out the pages: a value it carries
// (selection, order, group keys, totals, the detail sections and their fields) reads the page,
// or a sub-report adds its records where its band is placed.
bool recordsNeedLayout(const CompiledReport& r)
{
    if (!r.subs.empty())
        return true;
    QSet<QString> seen;
    const auto reads
        = [&](const FormulaNodePtr& tree) { return tree && readsPages(r, *tree, seen); };
    if (reads(r.residual))
        return true;
    for (const auto& [tree, descending] : r.localOrder) {
        if (reads(tree))
            return true;
    }
    for (const CompiledGroup& g : r.groups) {
        if (reads(g.key))
            return true;
    }
    for (const SummarySpec& spec : r.summaries) {
        if (reads(spec.expr))
            return true;
    }
    for (const CompiledSection& s : r.details) {
        if (reads(s.suppress))
            return true;
        for (const CompiledItem& ci : s.items) {
            if (ci.recordColumn >= 0 && reads(ci.expr))
                return true;
        }
    }
    return false;
}

bool sectionsDefer(const std::vector<CompiledSection>& sections, bool header)
{
    for (const CompiledSection& s : sections) {
        for (const CompiledItem& ci : s.items) {
            if (ci.pageCountExpr || (header && ci.def->kind == ItemKind::Summary))
                return true;
            if (ci.def->kind == ItemKind::Special
                && (ci.def->special == SpecialField::TotalPages
                    || ci.def->special == SpecialField::PageNofM))
                return true;
            if (ci.sub && hasDeferred(*ci.sub))
                return true;
        }
    }
    return false;
}

bool hasDeferred(const CompiledReport& r)
{
    if (sectionsDefer(r.reportHeaders, true) || sectionsDefer(r.pageHeaders, false)
        || sectionsDefer(r.details, false) || sectionsDefer(r.pageFooters, false)
        || sectionsDefer(r.reportFooters, false))
        return true;
    for (const CompiledGroup& g : r.groups) {
        if (sectionsDefer(g.headers, true) || sectionsDefer(g.footers, false))
            return true;
    }
    return false;
}

// What a page count field reads when pagination has ended: the count; the rest of its formula
// was worked out while its page was laid out.
class PageCountContext final : public FormulaContext
{
public:
    PageCountContext(qint64 count, QDateTime now)
        : m_count(count)
        , m_now(std::move(now))
    {
    }

    // Only a field the record could not give is left in the tree: it fails as it failed then.
    Value fieldValue(const FormulaNode& field) const override
    {
        throw RuntimeError(RuntimeError::InvalidCall,
            QStringLiteral("El campo %1 no está en los datos del informe").arg(field.name()));
    }
    QDateTime currentDateTime() const override { return m_now; }
    qint64 totalPageCount() const override { return m_count; }

private:
    qint64 m_count;
    QDateTime m_now;
};

// The texts of the fields that read the page count, into their deferred slots, once the count
// of each numbering is in its own.
void resolvePageCountTexts(LayoutShared& shared)
{
    std::vector<QString>& slots = shared.deferred.slots;
    for (const PageCountText& t : shared.pageCountTexts) {
        const PageCountContext context(
            slots[std::size_t(t.countSlot)].toLongLong(), shared.options.printTime);
        const Value value = FormulaEvaluator(context, t.name).evaluateScalar(*t.tree);
        slots[std::size_t(t.slot)] = ValueFormat::format(value, t.format, shared.options.locale);
    }
}

} // namespace

ReportRenderer::ReportRenderer(const ReportDefinition& definition, RenderOptions options)
    : m_definition(definition)
    , m_options(std::move(options))
    , m_resources(std::make_unique<DocumentResources>())
{
    if (!m_options.printTime.isValid())
        m_options.printTime = NowOrSystemTime();
}

ReportRenderer::~ReportRenderer() = default;

bool ReportRenderer::prepare(ReportDataSource& data)
{
    m_error.clear();
    try {
        ReportCompiler compiler(m_options, data, *m_resources, m_log);
        compiler.setFontSubstitution(FontSubstitution(m_definition.fontSubstitutions));
        m_compiled = compiler.compile(
            m_definition, m_options.selection, m_options.sortFields, QStringList());
    } catch (const CompileError& e) {
        m_error = e.message;
        m_compiled.reset();
        return false;
    } catch (const RuntimeError& e) {
        m_error = e.description();
        m_compiled.reset();
        return false;
    }
    return true;
}

const DataQuery& ReportRenderer::query() const
{
    static const DataQuery none;
    return m_compiled ? m_compiled->query : none;
}

bool ReportRenderer::needsResolution() const
{
    return m_compiled && hasDeferred(*m_compiled);
}

DocumentInfo ReportRenderer::documentInfo() const
{
    DocumentInfo info;
    info.title = m_definition.title.isEmpty() ? m_definition.name : m_definition.title;
    info.creator = m_options.creator;
    info.reportName = m_definition.name;
    info.pageWidth = mmToCoord(m_definition.page.pageWidthMm());
    info.pageHeight = mmToCoord(m_definition.page.pageHeightMm());
    info.landscape = m_definition.page.orientation == PageOrientation::Landscape;
    return info;
}

bool ReportRenderer::run(ReportDataSource& data, PageSink& pages, RecordSink* records)
{
    if (!m_compiled && !prepare(data))
        return false;
    m_pageCount = 0;
    m_recordCount = 0;
    TextMeasurer measurer(*m_resources, FontSubstitution(m_definition.fontSubstitutions));
    LayoutShared shared { m_options, data, *m_resources, measurer, {}, nullptr, &pages, records, {},
        {}, 0, {}, {}, -1 };
    shared.deferred.slots.emplace_back(); // slot 0: total pages
    shared.onPage = [this](int page) {
        m_pageCount = page;
        if (onPage)
            onPage(page);
    };
    shared.onRecord = [this](qint64 n) {
        m_recordCount = n;
        if (onRecord)
            onRecord(n);
    };

    const PageSetup& setup = m_definition.page;
    Paginator::Geometry geometry;
    geometry.pageWidth = mmToCoord(setup.pageWidthMm());
    geometry.pageHeight = mmToCoord(setup.pageHeightMm());
    geometry.left = mmToCoord(setup.marginLeftMm);
    geometry.top = mmToCoord(setup.marginTopMm);
    geometry.bodyBottom
        = geometry.pageHeight - mmToCoord(setup.marginBottomMm) - m_compiled->pageFooterHeight;

    // Items are placed at their x from the left margin.
    shared.bodyWidth = geometry.pageWidth - geometry.left - mmToCoord(setup.marginRightMm);
    ReportRun main(*m_compiled, shared, geometry.left);
    main.setMain();
    Paginator paginator(geometry, main);
    // A data-only output gets the records without any page laid out, unless they depend on it.
    const bool layout = pages.wantsPages() || recordsNeedLayout(*m_compiled);
    shared.paginator = layout ? &paginator : nullptr;
    if (!pages.begin(documentInfo())) {
        m_error = pages.errorString();
        return false;
    }
    if (records)
        records->beginRecords(main.shownColumns());
    try {
        main.execute({});
        if (layout)
            paginator.finish();
        const std::vector<int>& numberings = paginator.numberingPages();
        for (std::size_t i = 0; i < shared.numberingSlots.size() && i < numberings.size(); ++i)
            shared.deferred.slots[std::size_t(shared.numberingSlots[i])]
                = QString::number(numberings[i]);
        shared.deferred.slots[0] = QString::number(paginator.pageCount());
        resolvePageCountTexts(shared);
    } catch (const RuntimeError& e) {
        m_error = e.source().isEmpty() ? e.description()
                                       : QStringLiteral("%1 (%2)").arg(e.description(), e.source());
        return false;
    } catch (const SinkFailure& e) {
        m_error = e.message;
        return false;
    }
    if (records)
        records->endRecords();
    m_pageCount = paginator.pageCount();
    if (!pages.finish(shared.deferred)) {
        m_error = pages.errorString();
        return false;
    }
    return true;
}
