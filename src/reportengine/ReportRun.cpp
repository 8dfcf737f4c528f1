#include "reportengine/ReportRun.h"

#include <algorithm>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/ValueFormat.h"

namespace {

// Rows already selected and ordered by the engine, in slot order.
class BufferedRows final : public RowSource
{
public:
    explicit BufferedRows(QList<QList<Value>> rows)
        : m_rows(std::move(rows))
    {
    }
    QStringList columnNames() const override { return {}; }
    bool next() override { return ++m_pos < m_rows.size(); }
    Value value(int column) const override { return m_rows[m_pos][column]; }

private:
    QList<QList<Value>> m_rows;
    qsizetype m_pos = -1;
};

bool readsPageCount(const FormulaNode& node)
{
    return anyFormulaNode(node, [](const FormulaNode& n) {
        return n.kind() == FormulaNodeKind::Call && n.function() == FormulaFunction::TotalPageCount;
    });
}

// True when the tree is a constant that prints as true, or And and Or of such constants that
// give true whatever the rest reads. A chain of them is gone through in a loop.
bool alwaysTrue(const FormulaNode& node)
{
    const auto connector = [](const FormulaNode& n) {
        return n.kind() == FormulaNodeKind::Binary
            && (n.op() == FormulaOp::Or || n.op() == FormulaOp::And);
    };
    std::vector<const FormulaNode*> chain;
    const FormulaNode* first = &node;
    for (; connector(*first) && first->child(0); first = first->child(0))
        chain.push_back(first);
    bool result = false;
    if (first->kind() == FormulaNodeKind::Constant) {
        const Value& v = first->constant();
        result = v.type() == ValueType::Boolean ? v.toBool() : v.isNumeric() && v.toDouble() != 0;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const FormulaNode& n = **it;
        const bool right = n.child(1) && alwaysTrue(*n.child(1));
        result = n.op() == FormulaOp::Or ? result || right : result && right;
    }
    return result;
}

} // namespace

ReportRun::ReportRun(const CompiledReport& report, LayoutShared& shared, Coord dx)
    : m_report(report)
    , m_shared(shared)
    , m_dx(dx)
    , m_acc(report.summaries.size())
    , m_fixedValues(std::size_t(report.fixedTrees))
    , m_formulaCache(report.formulaTrees.size())
    , m_runTrees(report.formulaTrees.size())
    , m_runTreeReady(report.formulaTrees.size())
    , m_bands(report, shared, dx, *this)
{
    m_cur.resize(std::size_t(report.columns.size()));
    m_prev.resize(std::size_t(report.columns.size()));
    m_row = &m_cur;
    m_open.resize(report.groups.size());
}

void ReportRun::execute(const QList<Value>& linkParameters)
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
            keys[i] = m_report.groups[i].key
                ? eval(*m_report.groups[i].key, QStringLiteral("Grupo"))
                : Value();
        std::size_t changed = 0;
        if (!first) {
            while (changed < groups && sameKey(keys[changed], lastKeys[changed]))
                ++changed;
            // The keys were worked out for this record: formulas cached meanwhile are its
            // own, and the closing footers must see the previous record's.
            m_row = &m_prev;
            ++m_generation;
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

Value ReportRun::fieldValue(const FormulaNode& field) const
{
    const int slot = field.slot();
    if (slot < 0 || std::size_t(slot) >= m_row->size())
        throw RuntimeError(RuntimeError::InvalidCall,
            QStringLiteral("El campo %1 no está en los datos del informe").arg(field.name()));
    return (*m_row)[std::size_t(slot)];
}

FormulaValue ReportRun::formulaValue(const QString& name) const
{
    const auto found = m_report.formulaIndex.constFind(name.toLower());
    if (found == m_report.formulaIndex.constEnd())
        return FormulaContext::formulaValue(name);
    return formulaAt(std::size_t(found.value()), name);
}

FormulaValue ReportRun::formulaRefValue(const FormulaNode& reference) const
{
    const int slot = reference.slot();
    if (slot < 0 || std::size_t(slot) >= m_formulaCache.size())
        return formulaValue(reference.name());
    return formulaAt(std::size_t(slot), reference.name());
}

Value ReportRun::summaryValue(const FormulaNode& summary) const
{
    const auto found = m_report.summaryByNode.constFind(&summary);
    if (found == m_report.summaryByNode.constEnd())
        return FormulaContext::summaryValue(summary);
    const int index = found.value();
    return m_acc[std::size_t(index)].value(m_report.summaries[std::size_t(index)].function);
}

void ReportRun::pageOpened(Paginator& paginator)
{
    ++m_generation;
    for (const CompiledSection& s : m_report.pageHeaders) {
        if (auto band = m_bands.buildBand(s, Role::PageHeader))
            paginator.placeFixed(*band);
    }
}

void ReportRun::pageClosing(Paginator& paginator)
{
    ++m_generation;
    Coord y = paginator.geometry().bodyBottom;
    for (const CompiledSection& s : m_report.pageFooters) {
        if (auto band = m_bands.buildBand(s, Role::PageFooter)) {
            paginator.placeFooter(*band, y);
            y += band->height;
        }
    }
}

void ReportRun::pageDone(const PageDisplayList& page)
{
    if (!m_shared.pages->page(page, m_shared.resources, nullptr))
        throw SinkFailure { m_shared.pages->errorString() };
    if (m_shared.onPage)
        m_shared.onPage(page.number);
}

const FormulaValue& ReportRun::formulaAt(std::size_t index, const QString& name) const
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
        entry.value = tree
            ? FormulaEvaluator(*this, m_report.formulaSpellings[qsizetype(index)]).evaluate(*tree)
            : FormulaValue(Value(QString()));
    } catch (const RuntimeError&) {
        // Worked out again when asked again: a failure the run's folding caught must be
        // the failure the record then meets, not a formula "using itself".
        entry.busy = false;
        entry.generation = 0;
        throw;
    }
    entry.busy = false;
    if (m_report.formulaFixed[index] || (tree && tree->kind() == FormulaNodeKind::Constant))
        entry.generation = FixedGeneration;
    return entry.value;
}

const FormulaNodePtr& ReportRun::runTree(std::size_t index) const
{
    if (m_report.formulaFixed[index])
        return m_report.formulaTrees[index];
    if (!m_runTreeReady[index]) {
        m_runTreeReady[index] = true;
        m_runTrees[index] = FormulaFolding::fold(m_report.formulaTrees[index], known());
    }
    return m_runTrees[index];
}

FormulaFolding::Known ReportRun::known() const
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

std::vector<RecordColumn> ReportRun::shownColumns()
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

const std::vector<Value>& ReportRun::shownValues(const std::vector<Value>& record)
{
    if (m_columnMap.empty())
        return record;
    m_shownValues.resize(m_columnMap.size());
    for (std::size_t i = 0; i < m_columnMap.size(); ++i)
        m_shownValues[i] = record[m_columnMap[i]];
    return m_shownValues;
}

bool ReportRun::hiddenForRun(const FormulaNodePtr& suppress) const
{
    if (!suppress)
        return false;
    const FormulaNodePtr folded = FormulaFolding::fold(suppress, known());
    return folded && alwaysTrue(*folded);
}

QString ReportRun::captionOf(const ReportItem& field)
{
    // Where the page header has none, the captions are in a group's heading (repeated on
    // every page), else in the report's.
    QString caption = captionIn(m_report.pageHeaders, field);
    for (std::size_t g = 0; caption.isEmpty() && g < m_report.groups.size(); ++g)
        caption = captionIn(m_report.groups[g].headers, field);
    return caption.isEmpty() ? captionIn(m_report.reportHeaders, field) : caption;
}

QString ReportRun::captionIn(const std::vector<CompiledSection>& sections, const ReportItem& field)
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
            const double overlap
                = std::min(right, item.xMm + item.widthMm) - std::max(left, item.xMm);
            const double slack = field.widthMm / 2;
            if (overlap <= 0 || item.xMm < left - slack || item.xMm + item.widthMm > right + slack
                || hiddenForRun(ci.suppress))
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
    const auto textOf = [this](const CompiledItem& ci) {
        const QString text = ci.def->kind == ItemKind::Text
            ? ci.def->text
            : ValueFormat::format(eval(*ci.expr, ci.fixedExpr, ci.formulaName), ci.def->format,
                m_shared.options.locale);
        return text.simplified();
    };
    // A heading over several columns, ruled over their width, names each of them too ("Lista 4"
    // over "P. Venta", "Util. %" and "Oferta").
    const auto near = [](double a, double b) { return std::abs(a - b) < 0.5; };
    std::vector<std::pair<double, const CompiledItem*>> items; // with their y on the heading
    sectionTop = 0;
    for (const CompiledSection& s : sections) {
        if (!hiddenForRun(s.suppress)) {
            for (const CompiledItem& ci : s.items) {
                if (!hiddenForRun(ci.suppress))
                    items.emplace_back(sectionTop + ci.def->yMm, &ci);
            }
        }
        sectionTop += s.def->heightMm;
    }
    const CompiledItem* spanner = nullptr;
    double spannerY = 0;
    for (const auto& [ruleY, rule] : items) {
        if (rule->def->kind != ItemKind::Line || rule->def->heightMm != 0 || ruleY > bestY
            || rule->def->xMm > left + 0.5 || rule->def->xMm + rule->def->widthMm < right - 0.5)
            continue;
        for (const auto& [y, ci] : items) {
            const ReportItem& item = *ci->def;
            const bool fixed = item.kind == ItemKind::Text
                || (item.kind == ItemKind::Field && ci->fixedExpr >= 0 && ci->expr);
            if (fixed && ci != best && near(item.xMm, rule->def->xMm)
                && near(item.widthMm, rule->def->widthMm) && y < ruleY
                && (!spanner || y > spannerY)) {
                spanner = ci;
                spannerY = y;
            }
        }
    }
    const QString heading = spanner ? textOf(*spanner) : QString();
    return heading.isEmpty() ? textOf(*best) : heading + u' ' + textOf(*best);
}

QString ReportRun::printedText(const std::vector<CompiledSection>& sections, bool totals) const
{
    struct Piece
    {
        double y;
        double x;
        QString text;
    };
    std::vector<Piece> pieces;
    double sectionTop = 0;
    for (const CompiledSection& s : sections) {
        const double top = sectionTop;
        sectionTop += s.def->heightMm;
        if (isTrue(s.suppress, s.name))
            continue;
        for (const CompiledItem& ci : s.items) {
            const ReportItem& item = *ci.def;
            QString text;
            if (item.kind == ItemKind::Text) {
                text = item.text;
            } else if (item.kind == ItemKind::Field && ci.expr) {
                text = ValueFormat::format(eval(*ci.expr, ci.fixedExpr, ci.formulaName),
                    item.format, m_shared.options.locale);
            } else if (item.kind == ItemKind::Summary && totals) {
                text = ValueFormat::format(
                    summaryTotal(ci.summary), item.format, m_shared.options.locale);
            } else {
                continue;
            }
            text = text.simplified();
            if (text.isEmpty() || isTrue(ci.suppress, ci.fixedSuppress, ci.formulaName))
                continue;
            pieces.push_back({ top + item.yMm, item.xMm, text });
        }
    }
    // Items a little lower on the same line (a caption set a size smaller) still read left to
    // right: a line takes what starts within 2 mm below its first item.
    std::stable_sort(
        pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.y < b.y; });
    for (auto line = pieces.begin(); line != pieces.end();) {
        auto end = line;
        while (end != pieces.end() && end->y < line->y + 2)
            ++end;
        std::stable_sort(line, end, [](const Piece& a, const Piece& b) { return a.x < b.x; });
        line = end;
    }
    QStringList texts;
    for (const Piece& p : pieces)
        texts << p.text;
    return texts.join(u' ');
}

int ReportRun::currentPage() const
{
    const Paginator* p = m_shared.paginator;
    return p ? p->displayPageNumber() : 1;
}

qint32 ReportRun::pageCountSlot()
{
    const Paginator* p = m_shared.paginator;
    if (!p || !m_report.restartsPageNumbers)
        return 0;
    std::vector<qint32>& slots = m_shared.numberingSlots;
    while (slots.size() <= std::size_t(p->numbering()))
        slots.push_back(newSlot());
    return slots[std::size_t(p->numbering())];
}

qint32 ReportRun::deferPageCountText(
    const FormulaNodePtr& tree, const QString& format, const QString& name)
{
    FormulaFolding::Known k = known();
    k.unknown = readsPageCount;
    FormulaNodePtr folded = FormulaFolding::fold(tree, k);
    const qint32 countSlot = pageCountSlot();
    std::vector<PageCountText>& texts = m_shared.pageCountTexts;
    const auto last = m_shared.lastPageCountText.constFind(tree.get());
    if (last != m_shared.lastPageCountText.constEnd()) {
        const PageCountText& t = texts[last.value()];
        if (t.tree == folded && t.countSlot == countSlot)
            return t.slot;
    }
    texts.push_back({ newSlot(), countSlot, std::move(folded), format, name });
    m_shared.lastPageCountText.insert(tree.get(), texts.size() - 1);
    return texts.back().slot;
}

void ReportRun::placeNoData()
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

void ReportRun::mapColumns(RowSource& rows)
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

std::unique_ptr<RowSource> ReportRun::sortLocally(RowSource& rows)
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

bool ReportRun::nextSelected(RowSource& rows)
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

const FormulaValue* ReportRun::formulaOf(const FormulaNode& reference) const
{
    const int slot = reference.slot();
    if (slot < 0 || std::size_t(slot) >= m_formulaCache.size())
        return nullptr;
    return &formulaAt(std::size_t(slot), reference.name());
}

Value ReportRun::eval(const FormulaNode& tree, const QString& name) const
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

bool ReportRun::isTrue(const FormulaNodePtr& tree, const QString& name) const
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
bool ReportRun::isTrue(const FormulaNodePtr& tree, int fixed, const QString& name) const
{
    if (fixed < 0 || !tree)
        return isTrue(tree, name);
    std::optional<Value>& kept = m_fixedValues[std::size_t(fixed)];
    if (!kept)
        kept = Value(isTrue(tree, name));
    return kept->toBool();
}

Value ReportRun::eval(const FormulaNode& tree, int fixed, const QString& name) const
{
    if (fixed < 0)
        return eval(tree, name);
    std::optional<Value>& kept = m_fixedValues[std::size_t(fixed)];
    if (!kept)
        kept = eval(tree, name);
    return *kept;
}

void ReportRun::openGroups(int from, const std::vector<Value>& keys)
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
            m_shared.records->groupStart(
                level, keys[std::size_t(level)], printedText(g.headers, false));
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
            if (auto band = m_bands.buildBand(s, Role::GroupHeader, level)) {
                if (firstHeader && g.def->repeatHeader) {
                    band->repeatLevel = level;
                    // The copy on the pages that continue the group says so.
                    if (s.marksContinuation) {
                        m_continuing = true;
                        if (auto again = m_bands.buildBand(s, Role::GroupHeader, level))
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

void ReportRun::closeGroups(int downTo, bool atEnd)
{
    const bool labels = m_report.def->labels.enabled();
    for (int level = int(m_report.groups.size()) - 1; level >= downTo; --level) {
        const CompiledGroup& g = m_report.groups[std::size_t(level)];
        if (!m_shared.paginator) {
            if (m_shared.records)
                m_shared.records->groupEnd(level, printedText(g.footers, true));
            continue;
        }
        Paginator& p = *m_shared.paginator;
        if (!labels) {
            for (const CompiledSection& s : g.footers)
                placeSection(s, Role::Body);
        }
        resolvePending(level);
        if (m_shared.records)
            m_shared.records->groupEnd(level, printedText(g.footers, true));
        p.groupClosed(level);
        if (!labels && g.def->keepTogether)
            p.endKeep();
        m_open[std::size_t(level)] = false;
        // A page break after the last group would only leave the report footer alone.
        if (!atEnd && isTrue(g.newPageAfter, g.def->name))
            p.requestBreak();
    }
}

void ReportRun::resolvePending(int level)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (level < 0 || it->level == level) {
            const SummarySpec& spec = m_report.summaries[std::size_t(it->summary)];
            m_shared.deferred.slots[std::size_t(it->slot)]
                = ValueFormat::format(m_acc[std::size_t(it->summary)].value(spec.function),
                    it->format, m_shared.options.locale);
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

bool ReportRun::placeSection(const CompiledSection& s, Role role)
{
    auto band = m_bands.buildBand(s, role);
    if (band)
        placeBand(s, std::move(*band), false);
    return band.has_value();
}

void ReportRun::placeBand(const CompiledSection& s, Band band, bool withNext)
{
    Paginator& p = *m_shared.paginator;
    if (isTrue(s.newPageBefore, s.name))
        p.requestBreak();
    p.place(std::move(band), withNext);
    runSubreports(s);
    if (isTrue(s.newPageAfter, s.name))
        p.requestBreak();
}

bool ReportRun::fillRecord(const CompiledSection& s)
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

void ReportRun::checkPageSink() const
{
    QString error = m_shared.pages->errorString();
    if (!error.isEmpty())
        throw SinkFailure { std::move(error) };
}

bool ReportRun::placeLabel(const CompiledSection& s)
{
    auto band = m_bands.buildBand(s, Role::Body);
    if (band) {
        if (isTrue(s.newPageBefore, s.name))
            m_shared.paginator->requestBreak();
        m_shared.paginator->placeLabel(std::move(*band), m_report.def->labels);
    }
    return band.has_value();
}

void ReportRun::runSubreports(const CompiledSection& s)
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

qint32 ReportRun::newSlot()
{
    m_shared.deferred.slots.emplace_back();
    return qint32(m_shared.deferred.slots.size() - 1);
}

Value ReportRun::summaryTotal(int summary) const
{
    return m_acc[std::size_t(summary)].value(m_report.summaries[std::size_t(summary)].function);
}

qint32 ReportRun::deferTotal(int summary, const QString& format)
{
    const qint32 slot = newSlot();
    m_pending.push_back({ slot, summary, m_report.summaries[std::size_t(summary)].level, format });
    return slot;
}
