#include "reportengine/ReportRenderer.h"

#include <cmath>

#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include "platform/RuntimeError.h"
#include "reportengine/FontSubstitution.h"
#include "reportengine/FormulaContext.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaFolding.h"
#include "reportengine/FormulaText.h"
#include "reportengine/Paginator.h"
#include "platform/QrCode.h"
#include "reportengine/ReportCompiler.h"
#include "reportengine/SummaryAccumulator.h"
#include "reportengine/TextMeasurer.h"
#include "reportengine/ValueFormat.h"

namespace {

// TotalPageCount is unknown while pages are laid out. Formulas that use it are evaluated with
// this stand-in and the printed digits become a deferred text, filled in when pagination ends.
constexpr qint64 TotalPagesStandIn = 987654321;

// A QR item's symbol, one pixel a module with its quiet zone; the outputs scale it without
// smoothing. A null image when the text cannot be encoded (empty, or too long for any symbol).
QImage qrImage(const QString& text)
{
    const std::optional<QrCode::Simbolo> s = QrCode::simbolo(text);
    if (!s)
        return QImage();
    const int size = s->ancho + 2 * QrCode::ZonaSilencio;
    QImage img(size, size, QImage::Format_Mono);
    img.setColor(0, qRgb(255, 255, 255));
    img.setColor(1, qRgb(0, 0, 0));
    img.fill(0);
    for (int y = 0; y < s->ancho; ++y)
        for (int x = 0; x < s->ancho; ++x)
            if (s->oscuro(x, y))
                img.setPixel(x + QrCode::ZonaSilencio, y + QrCode::ZonaSilencio, 1);
    return img;
}

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
    std::vector<qint32> numberingSlots;
    Coord bodyWidth = 0; // between the side margins: where snapped items end at the latest
};

enum class Role { Body, ReportHeader, GroupHeader, PageHeader, PageFooter };

// Rows already selected and ordered by the engine, in slot order.
class BufferedRows final : public RowSource
{
public:
    explicit BufferedRows(QList<QList<Value>> rows) : m_rows(std::move(rows)) { }
    QStringList columnNames() const override { return {}; }
    bool next() override { return ++m_pos < m_rows.size(); }
    Value value(int column) const override { return m_rows[m_pos][column]; }

private:
    QList<QList<Value>> m_rows;
    qsizetype m_pos = -1;
};

class ReportRun final : public FormulaContext, public Paginator::Host
{
public:
    ReportRun(const CompiledReport& report, LayoutShared& shared, Coord dx)
        : m_report(report)
        , m_shared(shared)
        , m_dx(dx)
        , m_acc(report.summaries.size())
        , m_fixedValues(std::size_t(report.fixedTrees))
        , m_formulaCache(report.formulaTrees.size())
        , m_runTrees(report.formulaTrees.size())
        , m_runTreeReady(report.formulaTrees.size())
    {
        m_cur.resize(std::size_t(report.columns.size()));
        m_prev.resize(std::size_t(report.columns.size()));
        m_row = &m_cur;
        m_open.resize(report.groups.size());
    }

    void execute(const QList<Value>& linkParameters)
    {
        DataQuery query = m_report.query;
        query.parameters += linkParameters;
        std::unique_ptr<RowSource> rows = m_shared.data.open(query);
        mapColumns(*rows);
        if (!m_report.localOrder.empty())
            rows = sortLocally(*rows);

        const std::size_t groups = m_report.groups.size();
        std::vector<Value> keys(groups);
        std::vector<Value> lastKeys(groups);
        bool have = nextSelected(*rows);
        const bool labels = m_report.def->labels.enabled();
        const bool layout = m_shared.paginator != nullptr;
        if (!labels && layout) {
            for (const CompiledSection& s : m_report.reportHeaders)
                placeSection(s, Role::ReportHeader);
        }
        bool first = true;
        while (have) {
            ++m_recordNumber;
            if (m_shared.onRecord)
                m_shared.onRecord(++m_shared.recordsRead);
            for (std::size_t i = 0; i < groups; ++i)
                keys[i] = m_report.groups[i].key ? eval(*m_report.groups[i].key, QStringLiteral("Grupo")) : Value();
            std::size_t changed = 0;
            if (!first) {
                while (changed < groups && sameKey(keys[changed], lastKeys[changed]))
                    ++changed;
                m_row = &m_prev;
                closeGroups(int(changed), false);
                m_row = &m_cur;
                ++m_generation;
            }
            if (first || changed < groups)
                openGroups(int(first ? 0 : changed), keys);
            for (std::size_t i = 0; i < m_acc.size(); ++i) {
                const SummarySpec& spec = m_report.summaries[i];
                m_acc[i].add(spec.expr ? eval(*spec.expr, spec.name) : Value(true));
            }
            // Detail values are worked out for the record stream only when there is one.
            std::vector<Value>& record = m_recordValues;
            record.assign(m_shared.records ? m_report.recordColumns.size() : 0, Value());
            m_record = m_shared.records ? &record : nullptr;
            // A record whose detail sections are all hidden is not printed, nor written.
            // Its sections go on one page: a margin line never starts the next page alone.
            bool printed = false;
            const bool keep = layout && !labels && m_report.details.size() > 1;
            if (keep)
                m_shared.paginator->beginKeep();
            for (const CompiledSection& s : m_report.details) {
                if (!layout)
                    printed |= fillRecord(s);
                else if (labels)
                    printed |= placeLabel(s);
                else
                    printed |= placeSection(s, Role::Body);
            }
            if (keep)
                m_shared.paginator->endKeep();
            m_record = nullptr;
            if (!layout && m_recordNumber % 1024 == 0)
                checkPageSink();
            if (m_shared.records && printed && !record.empty())
                m_shared.records->record(shownValues(record));
            lastKeys.swap(keys);
            std::swap(m_cur, m_prev);
            first = false;
            have = nextSelected(*rows);
        }
        rows.reset();
        m_row = &m_prev;
        ++m_generation;
        if (!first)
            closeGroups(0, true);
        if (first)
            m_row = &m_cur; // no record: fields read as Null
        if (first && layout && m_main)
            placeNoData();
        if (!labels && layout) {
            for (const CompiledSection& s : m_report.reportFooters)
                placeSection(s, Role::Body);
        }
        resolvePending(-1);
    }

    // FormulaContext
    Value fieldValue(const FormulaNode& field) const override
    {
        const int slot = field.slot();
        if (slot < 0 || std::size_t(slot) >= m_row->size())
            throw RuntimeError(RuntimeError::InvalidCall,
                QStringLiteral("El campo %1 no está en los datos del informe").arg(field.name()));
        return (*m_row)[std::size_t(slot)];
    }

    FormulaValue formulaValue(const QString& name) const override
    {
        const auto found = m_report.formulaIndex.constFind(name.toLower());
        if (found == m_report.formulaIndex.constEnd())
            return FormulaContext::formulaValue(name);
        return formulaAt(std::size_t(found.value()), name);
    }

    FormulaValue formulaRefValue(const FormulaNode& reference) const override
    {
        const int slot = reference.slot();
        if (slot < 0 || std::size_t(slot) >= m_formulaCache.size())
            return formulaValue(reference.name());
        return formulaAt(std::size_t(slot), reference.name());
    }

    // The report run by the caller, not a sub-report: an empty one says so on its page.
    void setMain() { m_main = true; }

    QDateTime currentDateTime() const override { return m_shared.options.printTime; }
    qint64 pageNumber() const override { return currentPage(); }
    qint64 totalPageCount() const override { return TotalPagesStandIn; }
    qint64 recordNumber() const override { return m_recordNumber; }
    qint64 groupNumber() const override { return m_groupNumber; }
    Value summaryValue(const FormulaNode& summary) const override
    {
        const auto found = m_report.summaryByNode.constFind(&summary);
        if (found == m_report.summaryByNode.constEnd())
            return FormulaContext::summaryValue(summary);
        const int index = found.value();
        return m_acc[std::size_t(index)].value(m_report.summaries[std::size_t(index)].function);
    }

    // Paginator::Host
    void pageOpened(Paginator& paginator) override
    {
        ++m_generation;
        for (const CompiledSection& s : m_report.pageHeaders) {
            if (auto band = buildBand(s, Role::PageHeader))
                paginator.placeFixed(*band);
        }
    }

    void pageClosing(Paginator& paginator) override
    {
        ++m_generation;
        Coord y = paginator.geometry().bodyBottom;
        for (const CompiledSection& s : m_report.pageFooters) {
            if (auto band = buildBand(s, Role::PageFooter)) {
                paginator.placeFooter(*band, y);
                y += band->height;
            }
        }
    }

    void pageDone(const PageDisplayList& page) override
    {
        if (!m_shared.pages->page(page, m_shared.resources, nullptr))
            throw SinkFailure {m_shared.pages->errorString()};
        if (m_shared.onPage)
            m_shared.onPage(page.number);
    }

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
    const FormulaValue& formulaAt(std::size_t index, const QString& name) const
    {
        CachedFormula& entry = m_formulaCache[index];
        if (entry.generation == m_generation || entry.generation == FixedGeneration) {
            if (entry.busy)
                throw RuntimeError(RuntimeError::InvalidCall,
                    QStringLiteral("La fórmula «%1» se usa a sí misma").arg(name));
            return entry.value;
        }
        entry.generation = m_generation;
        entry.busy = true;
        const FormulaNodePtr& tree = runTree(index);
        try {
            entry.value = tree ? FormulaEvaluator(*this, m_report.formulaSpellings[qsizetype(index)])
                                     .evaluate(*tree)
                               : FormulaValue(Value(QString()));
        } catch (const RuntimeError&) {
            // Worked out again when asked again: a failure the run's folding caught must be
            // the failure the record then meets, not a formula "using itself".
            entry.busy = false;
            entry.generation = 0;
            throw;
        }
        entry.busy = false;
        if (m_report.formulaFixed[index]
            || (tree && tree->kind() == FormulaNodeKind::Constant))
            entry.generation = FixedGeneration;
        return entry.value;
    }

    // The tree a record evaluates for the formula: its parts that read only fixed formulas
    // worked out for the run, on first use.
    const FormulaNodePtr& runTree(std::size_t index) const
    {
        if (m_report.formulaFixed[index])
            return m_report.formulaTrees[index];
        if (!m_runTreeReady[index]) {
            m_runTreeReady[index] = true;
            m_runTrees[index] = FormulaFolding::fold(m_report.formulaTrees[index], known());
        }
        return m_runTrees[index];
    }

    FormulaFolding::Known known() const
    {
        FormulaFolding::Known k;
        k.fixedFormula = [this](int index) {
            return std::size_t(index) < m_report.formulaFixed.size()
                && m_report.formulaFixed[std::size_t(index)];
        };
        k.value = [this](const FormulaNode& node) -> std::optional<Value> {
            try {
                const FormulaValue v = FormulaEvaluator(*this, QString()).evaluate(node);
                if (v.isScalar())
                    return v.scalar();
            } catch (const RuntimeError&) {
            }
            return std::nullopt;
        };
        return k;
    }

public:
    // The record stream's columns as a reader of the data expects them: only the fields the
    // pages show (a field or section hidden for the whole run, such as a list column not
    // chosen or the stock without a warehouse, is left out), each named by the caption printed
    // above it unless the definition names it. Records given to record() afterwards are cut to
    // these columns.
    std::vector<RecordColumn> shownColumns()
    {
        std::vector<RecordColumn> columns;
        m_columnMap.clear();
        bool all = true;
        for (std::size_t i = 0; i < m_report.recordItems.size(); ++i) {
            const auto& [section, item] = m_report.recordItems[i];
            if (hiddenForRun(section->suppress) || hiddenForRun(item->suppress)) {
                all = false;
                continue;
            }
            m_columnMap.push_back(i);
            // A field the definition names keeps its name.
            RecordColumn column = m_report.recordColumns[i];
            const QString caption = item->def->name.isEmpty() ? captionOf(*item->def) : QString();
            if (!caption.isEmpty())
                column.name = caption;
            columns.push_back(std::move(column));
        }
        // A caption twice (the margin printed under its price): the later one says what it is.
        for (std::size_t i = 0; i < columns.size(); ++i) {
            int same = 1;
            for (std::size_t j = 0; j < i; ++j)
                same += columns[j].name == columns[i].name ? 1 : 0;
            if (same == 1)
                continue;
            columns[i].name += QStringLiteral(" (%1)").arg(same);
        }
        if (all)
            m_columnMap.clear();
        return columns;
    }

private:
    const std::vector<Value>& shownValues(const std::vector<Value>& record)
    {
        if (m_columnMap.empty())
            return record;
        m_shownValues.resize(m_columnMap.size());
        for (std::size_t i = 0; i < m_columnMap.size(); ++i)
            m_shownValues[i] = record[m_columnMap[i]];
        return m_shownValues;
    }

    // True when `suppress` hides its item on every record of this run: what the fixed formulas
    // decide is worked out, and an Or with one side true (or an And with both) is true.
    bool hiddenForRun(const FormulaNodePtr& suppress) const
    {
        if (!suppress)
            return false;
        const std::function<bool(const FormulaNode&)> alwaysTrue = [&](const FormulaNode& n) {
            if (n.kind() == FormulaNodeKind::Constant) {
                const Value& v = n.constant();
                return v.type() == ValueType::Boolean ? v.toBool()
                                                      : v.isNumeric() && v.toDouble() != 0;
            }
            if (n.kind() != FormulaNodeKind::Binary
                || (n.op() != FormulaOp::Or && n.op() != FormulaOp::And))
                return false;
            const bool left = n.child(0) && alwaysTrue(*n.child(0));
            const bool right = n.child(1) && alwaysTrue(*n.child(1));
            return n.op() == FormulaOp::Or ? left || right : left && right;
        };
        const FormulaNodePtr folded = FormulaFolding::fold(suppress, known());
        return folded && alwaysTrue(*folded);
    }

    // The caption printed above a detail field: the lowest text of the heading (a literal, or a
    // field the whole run prints alike) that stands over the field and reaches no further
    // than half the field's width beyond either edge (a title across the page is no caption);
    // the widest overlap among those on one line. Empty when there is none.
    QString captionOf(const ReportItem& field)
    {
        // Where the page header has none, the captions are in a group's heading (repeated on
        // every page), else in the report's.
        QString caption = captionIn(m_report.pageHeaders, field);
        for (std::size_t g = 0; caption.isEmpty() && g < m_report.groups.size(); ++g)
            caption = captionIn(m_report.groups[g].headers, field);
        return caption.isEmpty() ? captionIn(m_report.reportHeaders, field) : caption;
    }

    QString captionIn(const std::vector<CompiledSection>& sections, const ReportItem& field)
    {
        const double left = field.xMm;
        const double right = field.xMm + field.widthMm;
        const CompiledItem* best = nullptr;
        double bestY = 0;
        double bestOverlap = 0;
        double sectionTop = 0;
        for (const CompiledSection& s : sections) {
            if (hiddenForRun(s.suppress)) {
                sectionTop += s.def->heightMm;
                continue;
            }
            for (const CompiledItem& ci : s.items) {
                const ReportItem& item = *ci.def;
                const bool literal = item.kind == ItemKind::Text;
                if (!literal && (item.kind != ItemKind::Field || ci.fixedExpr < 0 || !ci.expr))
                    continue;
                const double overlap = std::min(right, item.xMm + item.widthMm)
                    - std::max(left, item.xMm);
                const double slack = field.widthMm / 2;
                if (overlap <= 0 || item.xMm < left - slack
                    || item.xMm + item.widthMm > right + slack || hiddenForRun(ci.suppress))
                    continue;
                const double y = sectionTop + item.yMm;
                if (!best || y > bestY || (y == bestY && overlap > bestOverlap)) {
                    best = &ci;
                    bestY = y;
                    bestOverlap = overlap;
                }
            }
            sectionTop += s.def->heightMm;
        }
        if (!best)
            return QString();
        QString text = best->def->kind == ItemKind::Text
            ? best->def->text
            : ValueFormat::format(eval(*best->expr, best->fixedExpr, best->formulaName),
                best->def->format, m_shared.options.locale);
        return text.simplified();
    }

    int currentPage() const
    {
        const Paginator* p = m_shared.paginator;
        return p ? p->displayPageNumber() : 1;
    }

    // The deferred slot that receives the page count of the numbering the page belongs to.
    qint32 pageCountSlot()
    {
        const Paginator* p = m_shared.paginator;
        if (!p || !m_report.restartsPageNumbers)
            return 0;
        std::vector<qint32>& slots = m_shared.numberingSlots;
        while (slots.size() <= std::size_t(p->numbering()))
            slots.push_back(newSlot());
        return slots[std::size_t(p->numbering())];
    }

    void placeNoData()
    {
        const Paginator::Geometry& g = m_shared.paginator->geometry();
        Band band;
        band.height = mmToCoord(12);
        band.strings.push_back(QStringLiteral("No hay datos para los criterios elegidos"));
        DisplayItem d;
        d.kind = DisplayKind::Text;
        d.x = g.left;
        d.y = mmToCoord(4);
        d.w = m_shared.bodyWidth;
        d.h = mmToCoord(6);
        d.font = quint16(m_report.noDataFont);
        d.flags = DisplayFlag::AlignCenter;
        d.ref = 0;
        band.items.push_back(d);
        m_shared.paginator->place(std::move(band));
    }

    void mapColumns(RowSource& rows)
    {
        m_columnOfSlot.resize(std::size_t(m_report.columns.size()));
        if (!m_report.literalSql) {
            for (std::size_t i = 0; i < m_columnOfSlot.size(); ++i)
                m_columnOfSlot[i] = int(i);
            return;
        }
        const QStringList names = rows.columnNames();
        for (std::size_t i = 0; i < m_columnOfSlot.size(); ++i) {
            const QString& qualified = m_report.columns[qsizetype(i)];
            const QString field = qualified.mid(qualified.indexOf(u'.') + 1);
            int found = -1;
            for (int c = 0; c < names.size() && found < 0; ++c) {
                if (names[c].compare(field, Qt::CaseInsensitive) == 0)
                    found = c;
            }
            if (found < 0)
                throw RuntimeError(RuntimeError::InvalidCall,
                    QStringLiteral("La consulta del informe %1 no devuelve la columna %2")
                        .arg(m_report.def->name, field));
            m_columnOfSlot[i] = found;
        }
    }

    // Reads every selected row and hands them back in the order of the report's keys. Only for
    // reports ordered by a formula: the rows of one run are then held in memory.
    std::unique_ptr<RowSource> sortLocally(RowSource& rows)
    {
        struct Entry
        {
            std::vector<Value> keys;
            QList<Value> values;
        };
        std::vector<Entry> entries;
        while (nextSelected(rows)) {
            Entry e;
            for (const auto& [tree, descending] : m_report.localOrder)
                e.keys.push_back(eval(*tree, QStringLiteral("Orden")));
            e.values = QList<Value>(m_cur.begin(), m_cur.end());
            entries.push_back(std::move(e));
        }
        std::stable_sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
            for (std::size_t k = 0; k < a.keys.size(); ++k) {
                const bool aNull = a.keys[k].isNull() || a.keys[k].isEmpty();
                const bool bNull = b.keys[k].isNull() || b.keys[k].isEmpty();
                int c = aNull || bNull ? int(bNull) - int(aNull) : compareValues(a.keys[k], b.keys[k]);
                if (m_report.localOrder[k].second)
                    c = -c;
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
        QList<QList<Value>> sorted;
        sorted.reserve(qsizetype(entries.size()));
        for (Entry& e : entries)
            sorted.push_back(std::move(e.values));
        for (std::size_t i = 0; i < m_columnOfSlot.size(); ++i)
            m_columnOfSlot[i] = int(i);
        m_presorted = true;
        return std::make_unique<BufferedRows>(std::move(sorted));
    }

    bool nextSelected(RowSource& rows)
    {
        m_row = &m_cur;
        while (rows.next()) {
            for (std::size_t i = 0; i < m_cur.size(); ++i)
                m_cur[i] = rows.value(m_columnOfSlot[i]);
            ++m_generation;
            if (m_presorted || !m_report.residual)
                return true;
            if (!m_residual)
                m_residual = FormulaFolding::fold(m_report.residual, known());
            if (FormulaEvaluator(*this, QStringLiteral("Seleccion")).selects(*m_residual))
                return true;
        }
        return false;
    }

    // The value of a formula named by a {@name} node, kept for the record; null when the node
    // names none of the report's formulas.
    const FormulaValue* formulaOf(const FormulaNode& reference) const
    {
        const int slot = reference.slot();
        if (slot < 0 || std::size_t(slot) >= m_formulaCache.size())
            return nullptr;
        return &formulaAt(std::size_t(slot), reference.name());
    }

    // Items, keys and switches are mostly a field or a formula: those are read straight, as the
    // evaluator reads them. Anything else, and every failure, goes through the evaluator.
    Value eval(const FormulaNode& tree, const QString& name) const
    {
        if (tree.kind() == FormulaNodeKind::Field) {
            Value v = fieldValue(tree);
            return v.isEmpty() ? Value::null() : v;
        }
        if (tree.kind() == FormulaNodeKind::FormulaRef) {
            const FormulaValue* v = formulaOf(tree);
            if (v && v->isScalar())
                return v->scalar().isEmpty() ? Value::null() : v->scalar();
        }
        return FormulaEvaluator(*this, name).evaluateScalar(tree);
    }

    bool isTrue(const FormulaNodePtr& tree, const QString& name) const
    {
        if (!tree)
            return false;
        if (tree->kind() == FormulaNodeKind::FormulaRef) {
            const FormulaValue* v = formulaOf(*tree);
            if (v && v->isScalar()) {
                const Value& s = v->scalar();
                if (s.isNull() || s.isEmpty())
                    return false;
                if (s.type() == ValueType::Boolean)
                    return s.toBool();
                if (s.isNumeric())
                    return s.toDouble() != 0;
            }
        }
        return FormulaEvaluator(*this, name).selects(*tree);
    }

    // isTrue / eval of a tree marked fixed (index >= 0): worked out on first use, then kept.
    bool isTrue(const FormulaNodePtr& tree, int fixed, const QString& name) const
    {
        if (fixed < 0 || !tree)
            return isTrue(tree, name);
        std::optional<Value>& kept = m_fixedValues[std::size_t(fixed)];
        if (!kept)
            kept = Value(isTrue(tree, name));
        return kept->toBool();
    }

    Value eval(const FormulaNode& tree, int fixed, const QString& name) const
    {
        if (fixed < 0)
            return eval(tree, name);
        std::optional<Value>& kept = m_fixedValues[std::size_t(fixed)];
        if (!kept)
            kept = eval(tree, name);
        return *kept;
    }

    void openGroups(int from, const std::vector<Value>& keys)
    {
        const bool labels = m_report.def->labels.enabled();
        for (int level = from; level < int(m_report.groups.size()); ++level) {
            const CompiledGroup& g = m_report.groups[std::size_t(level)];
            ++m_groupNumber;
            for (std::size_t i = 0; i < m_acc.size(); ++i) {
                if (m_report.summaries[i].level >= level)
                    m_acc[i].reset();
            }
            if (m_shared.records)
                m_shared.records->groupStart(level, keys[std::size_t(level)]);
            if (!m_shared.paginator)
                continue;
            Paginator& p = *m_shared.paginator;
            if (isTrue(g.restartPageNumbers, g.def->name))
                p.restartNumbering();
            if (m_started[level] && isTrue(g.newPageBefore, g.def->name))
                p.requestBreak();
            m_started[level] = true;
            if (labels)
                continue;
            if (g.def->keepTogether)
                p.beginKeep();
            m_open[std::size_t(level)] = true;
            bool firstHeader = true;
            for (const CompiledSection& s : g.headers) {
                if (auto band = buildBand(s, Role::GroupHeader, level)) {
                    if (firstHeader && g.def->repeatHeader) {
                        band->repeatLevel = level;
                        // The copy on the pages that continue the group says so.
                        if (s.marksContinuation) {
                            m_continuing = true;
                            if (auto again = buildBand(s, Role::GroupHeader, level))
                                band->repeatAs = std::make_shared<const Band>(std::move(*again));
                            m_continuing = false;
                        }
                    }
                    firstHeader = false;
                    placeBand(s, std::move(*band), true);
                }
            }
        }
    }

    void closeGroups(int downTo, bool atEnd)
    {
        const bool labels = m_report.def->labels.enabled();
        for (int level = int(m_report.groups.size()) - 1; level >= downTo; --level) {
            const CompiledGroup& g = m_report.groups[std::size_t(level)];
            if (!m_shared.paginator) {
                if (m_shared.records)
                    m_shared.records->groupEnd(level);
                continue;
            }
            Paginator& p = *m_shared.paginator;
            if (!labels) {
                for (const CompiledSection& s : g.footers)
                    placeSection(s, Role::Body);
            }
            resolvePending(level);
            if (m_shared.records)
                m_shared.records->groupEnd(level);
            p.groupClosed(level);
            if (!labels && g.def->keepTogether)
                p.endKeep();
            m_open[std::size_t(level)] = false;
            // A page break after the last group would only leave the report footer alone.
            if (!atEnd && isTrue(g.newPageAfter, g.def->name))
                p.requestBreak();
        }
    }

    void resolvePending(int level)
    {
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (level < 0 || it->level == level) {
                const SummarySpec& spec = m_report.summaries[std::size_t(it->summary)];
                m_shared.deferred.slots[std::size_t(it->slot)] = ValueFormat::format(
                    m_acc[std::size_t(it->summary)].value(spec.function), it->format,
                    m_shared.options.locale);
                it = m_pending.erase(it);
            } else {
                ++it;
            }
        }
    }

    // False when the section is hidden.
    bool placeSection(const CompiledSection& s, Role role)
    {
        auto band = buildBand(s, role);
        if (band)
            placeBand(s, std::move(*band), false);
        return band.has_value();
    }

    void placeBand(const CompiledSection& s, Band band, bool withNext)
    {
        Paginator& p = *m_shared.paginator;
        if (isTrue(s.newPageBefore, s.name))
            p.requestBreak();
        p.place(std::move(band), withNext);
        runSubreports(s);
        if (isTrue(s.newPageAfter, s.name))
            p.requestBreak();
    }

    // Records only: the detail fields' values as buildBand() records them, with no band built.
    // False when the section is hidden.
    bool fillRecord(const CompiledSection& s)
    {
        if (isTrue(s.suppress, s.name))
            return false;
        if (!m_record)
            return true;
        for (const CompiledItem& ci : s.items) {
            if (ci.recordColumn >= 0 && ci.expr)
                (*m_record)[std::size_t(ci.recordColumn)] = eval(*ci.expr, ci.formulaName);
        }
        return true;
    }

    // Without pages the page sink is not called while the records run: ask it now and then
    // whether the output behind it has failed, to stop reading.
    void checkPageSink() const
    {
        QString error = m_shared.pages->errorString();
        if (!error.isEmpty())
            throw SinkFailure {std::move(error)};
    }

    bool placeLabel(const CompiledSection& s)
    {
        auto band = buildBand(s, Role::Body);
        if (band) {
            if (isTrue(s.newPageBefore, s.name))
                m_shared.paginator->requestBreak();
            m_shared.paginator->placeLabel(std::move(*band), m_report.def->labels);
        }
        return band.has_value();
    }

    void runSubreports(const CompiledSection& s)
    {
        for (const CompiledItem& ci : s.items) {
            if (!ci.sub)
                continue;
            QList<Value> params;
            for (const FormulaNodePtr& link : ci.linkValues)
                params << (link ? eval(*link, ci.formulaName) : Value::null());
            ReportRun sub(*ci.sub, m_shared, m_dx + mmToCoord(ci.def->xMm));
            sub.execute(params);
        }
    }

    std::optional<Band> buildBand(const CompiledSection& s, Role role, int headerLevel = -1)
    {
        if (isTrue(s.suppress, s.fixedSuppress, s.name))
            return std::nullopt;
        if (s.snaps)
            return buildSnappedBand(s, role, headerLevel);
        Band band;
        band.height = mmToCoord(s.def->heightMm);
        for (const CompiledItem& ci : s.items) {
            Value recordValue;
            const bool field = ci.def->kind == ItemKind::Field;
            const bool suppressed = isTrue(ci.suppress, ci.fixedSuppress, ci.formulaName);
            // The record stream gets every detail field, shown or not.
            if (field && ci.expr && (m_record || !suppressed))
                recordValue = eval(*ci.expr, ci.fixedExpr, ci.formulaName);
            if (m_record && ci.recordColumn >= 0)
                (*m_record)[std::size_t(ci.recordColumn)] = recordValue;
            if (suppressed)
                continue;
            addItem(band, s, ci, role, headerLevel, recordValue);
        }
        return band;
    }

    static bool isText(const ReportItem& item)
    {
        return item.kind == ItemKind::Text || item.kind == ItemKind::Field
            || item.kind == ItemKind::Summary || item.kind == ItemKind::Special;
    }

    // buildBand() for a section whose items meet their right neighbours (items beside them, on
    // the same height): which items show is known first, then the snapped ones are placed from
    // the right, then the band is built.
    std::optional<Band> buildSnappedBand(const CompiledSection& s, Role role, int headerLevel)
    {
        const std::size_t count = s.items.size();
        std::vector<char> shown(count);
        std::vector<Value> values(count);
        std::vector<std::pair<Coord, Coord>> placement(count); // x from the left margin, width
        std::vector<std::size_t> snapped;
        for (std::size_t i = 0; i < count; ++i) {
            const CompiledItem& ci = s.items[i];
            const bool suppressed = isTrue(ci.suppress, ci.fixedSuppress, ci.formulaName);
            if (ci.def->kind == ItemKind::Field && ci.expr && (m_record || !suppressed))
                values[i] = eval(*ci.expr, ci.fixedExpr, ci.formulaName);
            if (m_record && ci.recordColumn >= 0)
                (*m_record)[std::size_t(ci.recordColumn)] = values[i];
            shown[i] = !suppressed;
            placement[i] = {mmToCoord(ci.def->xMm), mmToCoord(ci.def->widthMm)};
            if (!suppressed && ci.def->snap != SnapRight::None)
                snapped.push_back(i);
        }
        std::sort(snapped.begin(), snapped.end(), [&s](std::size_t a, std::size_t b) {
            return s.items[a].def->xMm > s.items[b].def->xMm;
        });
        for (const std::size_t i : snapped) {
            const ReportItem& item = *s.items[i].def;
            Coord edge = m_shared.bodyWidth;
            for (std::size_t j = 0; j < count; ++j) {
                const ReportItem& other = *s.items[j].def;
                const bool besides = other.yMm < item.yMm + item.heightMm
                    && item.yMm < other.yMm + other.heightMm;
                if (j != i && shown[j] && isText(other) && besides && other.xMm > item.xMm)
                    edge = std::min(edge, placement[j].first);
            }
            edge -= mmToCoord(item.snapGapMm);
            auto& [x, w] = placement[i];
            if (item.snap == SnapRight::Stretch)
                w = std::max<Coord>(0, edge - x);
            else
                x = edge - w;
        }
        Band band;
        band.height = mmToCoord(s.def->heightMm);
        for (std::size_t i = 0; i < count; ++i) {
            if (!shown[i])
                continue;
            m_placement = &placement[i];
            addItem(band, s, s.items[i], role, headerLevel, values[i]);
            m_placement = nullptr;
        }
        return band;
    }

    DisplayItem baseItem(const CompiledItem& ci) const
    {
        DisplayItem d;
        d.x = m_dx + (m_placement ? m_placement->first : mmToCoord(ci.def->xMm));
        d.y = mmToCoord(ci.def->yMm);
        d.w = m_placement ? m_placement->second : mmToCoord(ci.def->widthMm);
        d.h = mmToCoord(ci.def->heightMm);
        d.color = ci.color;
        d.font = quint16(ci.font);
        d.flags = ci.flags;
        return d;
    }

    // A text that does not fit its item loses whole words; a number never loses a digit: it
    // shows '#' marks across its field instead.
    QString fitted(const CompiledItem& ci, const QString& text, Coord width, bool number)
    {
        TextMeasurer& m = m_shared.measurer;
        if (text.isEmpty() || width <= 0 || m.width(ci.font, text) <= width)
            return text;
        return number ? m.overflowMarks(ci.font, width) : m.cutAtWord(ci.font, text, width);
    }

    void addText(Band& band, const CompiledSection& s, const CompiledItem& ci, const QString& text,
        qint32 slot = -1, bool number = false)
    {
        const DisplayItem base = baseItem(ci);
        const bool multiLine = text.contains(u'\n') || text.contains(u'\r');
        if (slot >= 0 || (!ci.def->canGrow && !multiLine)) {
            band.strings.push_back(slot >= 0 ? text : fitted(ci, text, base.w, number));
            DisplayItem d = base;
            d.kind = DisplayKind::Text;
            d.ref = qint32(band.strings.size() - 1);
            d.slot = slot;
            band.items.push_back(d);
            return;
        }
        TextMeasurer& m = m_shared.measurer;
        const QStringList lines = ci.def->canGrow ? m.wrap(ci.font, text, base.w)
                                                  : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        const Coord lh = m.lineHeight(ci.font);
        Coord y = base.y;
        // Lines that fit the item's height stand where its vertical alignment puts them, so a
        // short caption sits on the line of its neighbours' and a long one wraps upwards.
        const Coord block = Coord(lines.size()) * lh;
        const quint8 valign = base.flags & DisplayFlag::VAlignMask;
        const bool aligned = block <= base.h && valign != 0;
        if (aligned)
            y += valign == DisplayFlag::VAlignBottom ? base.h - block : (base.h - block) / 2;
        for (const QString& line : lines) {
            // A fixed item shows what fits; a growing one shows every line.
            if (!ci.def->canGrow && y + lh > base.y + std::max(base.h, lh))
                break;
            band.strings.push_back(ci.def->canGrow ? line : fitted(ci, line, base.w, false));
            DisplayItem d = base;
            d.kind = DisplayKind::Text;
            d.flags &= ~DisplayFlag::VAlignMask;
            if (aligned && valign == DisplayFlag::VAlignBottom)
                d.flags |= DisplayFlag::VAlignBottom;
            d.y = y;
            d.h = lh;
            d.ref = qint32(band.strings.size() - 1);
            band.items.push_back(d);
            y += lh;
        }
        if (ci.def->canGrow && y > base.y + base.h) {
            const Coord below = std::max<Coord>(0, mmToCoord(s.def->heightMm) - (base.y + base.h));
            band.height = std::max(band.height, y + below);
        }
    }

    qint32 newSlot()
    {
        m_shared.deferred.slots.emplace_back();
        return qint32(m_shared.deferred.slots.size() - 1);
    }

    int imageFromBytes(const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return -1;
        const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
        const auto found = m_shared.imageByHash.constFind(hash);
        if (found != m_shared.imageByHash.constEnd())
            return found.value();
        const QImage img = QImage::fromData(bytes);
        const int index = img.isNull() ? -1 : m_shared.resources.addImage(img);
        m_shared.imageByHash.insert(hash, index);
        return index;
    }

    void addItem(Band& band, const CompiledSection& s, const CompiledItem& ci, Role role,
        int headerLevel, const Value& fieldValue)
    {
        const ReportItem& item = *ci.def;
        const QLocale& locale = m_shared.options.locale;
        switch (item.kind) {
        case ItemKind::Text:
            addText(band, s, ci, item.text);
            break;
        case ItemKind::Field: {
            QString text = ValueFormat::format(fieldValue, item.format, locale);
            if (ci.usesTotalPages) {
                const QString standIn = ValueFormat::format(Value(TotalPagesStandIn), item.format, locale);
                const QString raw = QString::number(TotalPagesStandIn);
                if (text.contains(standIn) || text.contains(raw)) {
                    text.replace(standIn, QString(DeferredMark)).replace(raw, QString(DeferredMark));
                    addText(band, s, ci, text, pageCountSlot());
                    break;
                }
            }
            addText(band, s, ci, text, -1, fieldValue.isNumeric());
            break;
        }
        case ItemKind::Summary: {
            const SummarySpec& spec = m_report.summaries[std::size_t(ci.summary)];
            const bool header = role == Role::ReportHeader || role == Role::GroupHeader;
            // A total printed above its rows is known only when its group (or the report)
            // ends: it is left as a deferred text and filled in then.
            if (header && (spec.level < 0 || spec.level >= headerLevel)) {
                const qint32 slot = newSlot();
                m_pending.push_back({slot, ci.summary, spec.level, item.format});
                addText(band, s, ci, QString(DeferredMark), slot);
            } else {
                const Value total = m_acc[std::size_t(ci.summary)].value(spec.function);
                addText(band, s, ci, ValueFormat::format(total, item.format, locale), -1,
                    total.isNumeric());
            }
            break;
        }
        case ItemKind::Special:
            addSpecial(band, s, ci);
            break;
        case ItemKind::Line: {
            DisplayItem d = baseItem(ci);
            d.kind = DisplayKind::Line;
            d.pen = mmToCoord(item.penWidthMm);
            band.items.push_back(d);
            break;
        }
        case ItemKind::Box: {
            DisplayItem d = baseItem(ci);
            d.kind = DisplayKind::Rect;
            d.pen = mmToCoord(item.penWidthMm);
            d.flags = item.penWidthMm > 0 ? DisplayFlag::Stroked : 0;
            if (item.fillColor.isValid()) {
                d.flags |= DisplayFlag::Filled;
                d.fillColor = item.fillColor.rgba();
            }
            band.items.push_back(d);
            break;
        }
        case ItemKind::Image: {
            int index = ci.image;
            if (ci.expr)
                index = imageFromBytes(eval(*ci.expr, ci.formulaName).toBytes());
            if (index >= 0) {
                DisplayItem d = baseItem(ci);
                d.kind = DisplayKind::Image;
                d.ref = index;
                band.items.push_back(d);
            }
            break;
        }
        case ItemKind::Qr: {
            const QString text = ci.expr ? eval(*ci.expr, ci.formulaName).toString() : QString();
            if (text != m_shared.lastQrText || m_shared.lastQrImage < 0) {
                const QImage img = qrImage(text);
                m_shared.lastQrText = text;
                m_shared.lastQrImage = img.isNull() ? -1 : m_shared.resources.addImage(img);
            }
            if (m_shared.lastQrImage >= 0) {
                DisplayItem d = baseItem(ci);
                d.kind = DisplayKind::Image;
                d.ref = m_shared.lastQrImage;
                band.items.push_back(d);
            }
            break;
        }
        case ItemKind::Subreport:
            break; // run after the band is placed
        }
    }

    void addSpecial(Band& band, const CompiledSection& s, const CompiledItem& ci)
    {
        const ReportItem& item = *ci.def;
        const QLocale& locale = m_shared.options.locale;
        switch (item.special) {
        case SpecialField::PageNumber:
            addText(band, s, ci, QString::number(currentPage()));
            break;
        case SpecialField::TotalPages:
            addText(band, s, ci, QString(DeferredMark), pageCountSlot());
            break;
        case SpecialField::PageNofM: {
            const QString templ = item.format.isEmpty() ? QStringLiteral("Página %1 de %2") : item.format;
            addText(band, s, ci, QString(templ).replace(QLatin1String("%1"), QString::number(currentPage()))
                .replace(QLatin1String("%2"), QString(DeferredMark)), pageCountSlot());
            break;
        }
        case SpecialField::PrintDate:
            addText(band, s, ci, locale.toString(m_shared.options.printTime.date(),
                item.format.isEmpty() ? QStringLiteral("dd/MM/yyyy") : item.format));
            break;
        case SpecialField::PrintTime:
            addText(band, s, ci, locale.toString(m_shared.options.printTime.time(),
                item.format.isEmpty() ? QStringLiteral("HH:mm") : item.format));
            break;
        case SpecialField::RecordNumber:
            addText(band, s, ci, QString::number(m_recordNumber));
            break;
        case SpecialField::GroupNumber:
            addText(band, s, ci, QString::number(m_groupNumber));
            break;
        case SpecialField::Continued:
            if (m_continuing)
                addText(band, s, ci,
                    item.format.isEmpty() ? QStringLiteral("(continuación)") : item.format);
            break;
        }
    }

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
    const std::pair<Coord, Coord>* m_placement = nullptr; // a snapped item's x and width
    qint64 m_recordNumber = 0;
    qint64 m_groupNumber = 0;
    quint64 m_generation = 1;
    mutable std::vector<std::optional<Value>> m_fixedValues;
    std::vector<std::size_t> m_columnMap; // shown record column -> column; empty: all shown
    std::vector<Value> m_shownValues;
    mutable std::vector<CachedFormula> m_formulaCache; // by formula index
    std::vector<Value> m_recordValues; // the record being read, for the record stream
    mutable std::vector<FormulaNodePtr> m_runTrees;     // by formula index, see runTree()
    mutable std::vector<bool> m_runTreeReady;
    FormulaNodePtr m_residual; // the selection left to the engine, folded for the run
};

bool hasDeferred(const CompiledReport& r);

// True when the formula, or one it names, asks for the page number or the page count.
bool readsPages(const CompiledReport& r, const FormulaNode& node, QSet<QString>& seen)
{
    if (node.kind() == FormulaNodeKind::Call
        && (node.function() == FormulaFunction::PageNumber
            || node.function() == FormulaFunction::TotalPageCount))
        return true;
    if (node.kind() == FormulaNodeKind::FormulaRef) {
        const QString key = node.name().toLower();
        if (!seen.contains(key)) {
            seen.insert(key);
            const auto tree = r.formulas.constFind(key);
            if (tree != r.formulas.constEnd() && tree.value() && readsPages(r, *tree.value(), seen))
                return true;
        }
    }
    for (const FormulaNodePtr& child : node.children()) {
        if (child && readsPages(r, *child, seen))
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
    const auto reads = [&](const FormulaNodePtr& tree) { return tree && readsPages(r, *tree, seen); };
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
            if (ci.usesTotalPages || (header && ci.def->kind == ItemKind::Summary))
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

} // namespace

ReportRenderer::ReportRenderer(const ReportDefinition& definition, RenderOptions options)
    : m_definition(definition)
    , m_options(std::move(options))
    , m_resources(std::make_unique<DocumentResources>())
{
    if (!m_options.printTime.isValid())
        m_options.printTime = QDateTime::currentDateTime();
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
    LayoutShared shared {m_options, data, *m_resources, measurer, {}, nullptr, &pages, records,
        {}, {}, 0, {}, {}, -1};
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
    geometry.bodyBottom = geometry.pageHeight - mmToCoord(setup.marginBottomMm)
        - m_compiled->pageFooterHeight;

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
    const std::vector<int>& numberings = paginator.numberingPages();
    for (std::size_t i = 0; i < shared.numberingSlots.size() && i < numberings.size(); ++i)
        shared.deferred.slots[std::size_t(shared.numberingSlots[i])] = QString::number(numberings[i]);
    shared.deferred.slots[0] = QString::number(paginator.pageCount());
    m_pageCount = paginator.pageCount();
    if (!pages.finish(shared.deferred)) {
        m_error = pages.errorString();
        return false;
    }
    return true;
}
