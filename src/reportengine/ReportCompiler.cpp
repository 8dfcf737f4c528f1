#include "reportengine/ReportCompiler.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "platform/ArchivoImagen.h"
#include "reportengine/FormulaOverrides.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/FormulaText.h"
#include "reportengine/SelectionPlanner.h"

namespace {

QString fieldKey(const QString& table, const QString& field)
{
    return table.trimmed().toLower() + u'.' + field.trimmed().toLower();
}

bool isPlainIdentifier(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

QString quoteIdentifier(const QString& name, SqlDialect dialect)
{
    if (isPlainIdentifier(name))
        return name;
    if (dialect == SqlDialect::SqlServer)
        return u'[' + name + u']';
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

quint8 alignFlags(HAlign h, VAlign v)
{
    quint8 f = 0;
    if (h == HAlign::Center)
        f |= DisplayFlag::AlignCenter;
    else if (h == HAlign::Right)
        f |= DisplayFlag::AlignRight;
    if (v == VAlign::Middle)
        f |= DisplayFlag::VAlignMiddle;
    else if (v == VAlign::Bottom)
        f |= DisplayFlag::VAlignBottom;
    return f;
}

} // namespace

ReportCompiler::ReportCompiler(const RenderOptions& options, ReportDataSource& data,
    DocumentResources& resources, QStringList& log)
    : m_options(options)
    , m_data(data)
    , m_resources(resources)
    , m_log(log)
{
}

std::unique_ptr<CompiledReport> ReportCompiler::compile(const ReportDefinition& def,
    const std::optional<QString>& selection, const QStringList& sortFields,
    const QStringList& linkFields)
{
    auto r = std::make_unique<CompiledReport>();
    r->def = &def;
    m_report = r.get();
    m_formulasReached = false;

    // Indexes first: every tree parsed from here on has its {@name} nodes bound to them.
    for (const FormulaDefinition& f : def.formulas) {
        const QString key = f.name.toLower();
        if (r->formulaIndex.contains(key))
            continue;
        r->formulaIndex.insert(key, int(r->formulaSpellings.size()));
        r->formulaSpellings << f.name;
    }
    for (const FormulaDefinition& f : def.formulas) {
        r->formulas.insert(f.name.toLower(), parse(f.name, f.text));
        r->formulaNames.insert(f.name.toLower(), f.name);
    }
    // The caller's overrides are the main report's; a sub-report keeps its own formulas.
    const QStringList assignments = m_depth == 0 ? m_options.formulas : QStringList();
    const FormulaOverrideSet overrides = FormulaOverrides::resolve(
        assignments, [&def](const QString& name) -> std::optional<DeclaredFormula> {
            const FormulaDefinition* f = def.formula(name);
            if (!f)
                return std::nullopt;
            return DeclaredFormula { f->name, f->type };
        });
    for (const FormulaOverride& o : overrides.applied) {
        r->formulas.insert(o.name.toLower(), o.tree);
        bindTree(o.tree, o.name);
    }
    m_log << overrides.log;
    // Every formula's depth with what it names is known before any other tree is read, so each
    // of those is refused as soon as it reaches too deep (and before a walk that follows the
    // formulas it names can go down a chain of them).
    m_reach.clear();
    for (auto it = r->formulas.cbegin(); it != r->formulas.cend(); ++it) {
        if (it.value())
            formulaReach(it.key(), 0, r->formulaNames.value(it.key()));
    }
    m_formulasReached = true;

    const FormulaNodePtr selectionTree
        = parse(QStringLiteral("Seleccion"), selection.value_or(def.selection));

    for (const ReportGroup& g : def.groups) {
        CompiledGroup cg;
        cg.def = &g;
        cg.key = parse(QStringLiteral("Grupo %1").arg(g.name), g.expression);
        cg.newPageBefore
            = parse(QStringLiteral("Grupo %1 newPageBefore").arg(g.name), g.newPageBefore);
        cg.newPageAfter
            = parse(QStringLiteral("Grupo %1 newPageAfter").arg(g.name), g.newPageAfter);
        cg.restartPageNumbers = parse(
            QStringLiteral("Grupo %1 restartPageNumbers").arg(g.name), g.restartPageNumbers);
        r->restartsPageNumbers |= cg.restartPageNumbers != nullptr;
        r->groups.push_back(std::move(cg));
    }
    // The formulas were bound before the groups were known: a Sum(x, {group}) in one of them
    // resets with that group, as the same summary written in a field does.
    for (auto it = r->summaryByNode.cbegin(); it != r->summaryByNode.cend(); ++it) {
        if (const FormulaNode* by = it.key()->child(1))
            r->summaries[std::size_t(it.value())].level = groupLevelOf(*by);
    }
    for (std::size_t i = 0; i < def.groups.size(); ++i) {
        for (const ReportSection& s : def.groups[i].headers)
            r->groups[i].headers.push_back(
                section(s, QStringLiteral("Encabezado %1").arg(def.groups[i].name)));
        for (const ReportSection& s : def.groups[i].footers)
            r->groups[i].footers.push_back(
                section(s, QStringLiteral("Pie %1").arg(def.groups[i].name)));
    }
    for (const ReportSection& s : def.reportHeaders)
        r->reportHeaders.push_back(section(s, QStringLiteral("Encabezado del informe")));
    for (const ReportSection& s : def.pageHeaders)
        r->pageHeaders.push_back(section(s, QStringLiteral("Encabezado de página")));
    for (const ReportSection& s : def.details)
        r->details.push_back(section(s, QStringLiteral("Detalle")));
    for (const ReportSection& s : def.pageFooters) {
        r->pageFooters.push_back(section(s, QStringLiteral("Pie de página")));
        r->pageFooterHeight += mmToCoord(s.heightMm);
    }
    for (const ReportSection& s : def.reportFooters)
        r->reportFooters.push_back(section(s, QStringLiteral("Pie del informe")));
    {
        ReportItem message;
        QRgb color = 0;
        HAlign align = HAlign::Left;
        r->noDataFont = fontOf(message, &color, &align);
    }

    // Record columns: the detail fields in reading order (top to bottom, left to right).
    std::vector<std::pair<const CompiledSection*, CompiledItem*>> fields;
    for (CompiledSection& s : r->details) {
        for (CompiledItem& it : s.items) {
            if (it.def->kind == ItemKind::Field)
                fields.emplace_back(&s, &it);
        }
    }
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
        return std::tie(a.second->def->yMm, a.second->def->xMm)
            < std::tie(b.second->def->yMm, b.second->def->xMm);
    });
    for (const auto& [s, it] : fields) {
        it->recordColumn = int(r->recordColumns.size());
        r->recordColumns.push_back({ it->def->name.isEmpty() ? it->def->expression : it->def->name,
            it->def->format, it->def->hasAlign ? it->def->align : HAlign::Left });
        r->recordItems.emplace_back(s, it);
    }

    // Every formula of the definition is bound, used or not: {@x} may be reached from any.
    for (auto it = r->formulas.cbegin(); it != r->formulas.cend(); ++it)
        bindTree(it.value(), r->formulaNames.value(it.key()));

    findFixedFormulas(*r);
    r->formulaTrees.resize(std::size_t(r->formulaSpellings.size()));
    r->formulaFixed.resize(r->formulaTrees.size());
    for (auto it = r->formulaIndex.cbegin(); it != r->formulaIndex.cend(); ++it) {
        r->formulaTrees[std::size_t(it.value())] = r->formulas.value(it.key());
        r->formulaFixed[std::size_t(it.value())] = r->fixedFormulas.contains(it.key());
    }
    markFixedTrees(*r);
    buildQuery(*r, selectionTree, sortFields, linkFields);
    return r;
}

FormulaNodePtr ReportCompiler::parse(const QString& name, const QString& text)
{
    if (text.trimmed().isEmpty())
        return nullptr;
    FormulaParseResult result = FormulaParser::parse(name, text);
    if (!result.ok())
        throw CompileError {
            QStringLiteral("%1 (informe %2)").arg(result.error.message(), m_report->def->name)
        };
    // A formula of nothing but comments is an empty one.
    if (!result.tree)
        return nullptr;
    bindTree(result.tree, name);
    checkTypes(*result.tree, name, text, name == u"Seleccion");
    if (m_formulasReached)
        reach(*result.tree, 0, name);
    return result.tree;
}

FormulaType ReportCompiler::staticType(const FormulaNode& n)
{
    if (n.kind() != FormulaNodeKind::Field)
        return n.type();
    if (!m_report->def->data.sql.trimmed().isEmpty())
        return FormulaType::Unknown;
    const DataTable* t = tableOf(n.table());
    switch (t ? m_data.columnKind(t->name, n.field().trimmed()) : ColumnKind::Unknown) {
    case ColumnKind::Text:
        return FormulaType::Text;
    case ColumnKind::Number:
        return FormulaType::Number;
    case ColumnKind::Boolean:
        return FormulaType::Boolean;
    case ColumnKind::Date:
        return FormulaType::Date;
    case ColumnKind::Unknown:
        break;
    }
    return FormulaType::Unknown;
}

bool ReportCompiler::isNumber(FormulaType t)
{
    return t == FormulaType::Number || t == FormulaType::Currency;
}

void ReportCompiler::checkTypes(
    const FormulaNode& root, const QString& name, const QString& text, bool selection)
{
    auto refuse = [&](const FormulaNode& at, const QString& what) {
        throw CompileError {
            QStringLiteral("%1 (informe %2)")
                .arg(FormulaParser::errorAt(name, text, at.position(), what).message(),
                    m_report->def->name)
        };
    };
    if (selection) {
        const FormulaType t = staticType(root);
        if (t != FormulaType::Unknown && t != FormulaType::Boolean)
            refuse(root, QStringLiteral("la selección no da Verdadero o Falso"));
    }
    std::vector<const FormulaNode*> pending { &root };
    while (!pending.empty()) {
        const FormulaNode& n = *pending.back();
        pending.pop_back();
        for (const FormulaNodePtr& c : n.children()) {
            if (c)
                pending.push_back(c.get());
        }
        if (n.kind() == FormulaNodeKind::Field && m_report->def->data.sql.trimmed().isEmpty()) {
            const DataTable* t = tableOf(n.table());
            if (t && !m_data.hasColumn(t->name, n.field().trimmed()))
                refuse(
                    n, QStringLiteral("la tabla %1 no tiene el campo %2").arg(t->name, n.name()));
            continue;
        }
        if (n.kind() == FormulaNodeKind::Array) {
            bool texts = false;
            bool numbers = false;
            for (const FormulaNodePtr& c : n.children()) {
                const FormulaType t = c ? staticType(*c) : FormulaType::Unknown;
                texts = texts || t == FormulaType::Text;
                numbers = numbers || isNumber(t);
            }
            if (texts && numbers)
                refuse(n, QStringLiteral("la lista mezcla textos y números"));
            continue;
        }
        if (n.kind() != FormulaNodeKind::Binary
            || !(isComparison(n.op()) || n.op() == FormulaOp::In))
            continue;
        const FormulaNode& left = *n.child(0);
        const FormulaNode& right = *n.child(1);
        std::vector<const FormulaNode*> others { &right };
        if (n.op() == FormulaOp::In && right.kind() != FormulaNodeKind::Constant) {
            others = {};
            for (const FormulaNodePtr& c : right.children()) {
                if (c)
                    others.push_back(c.get());
            }
        }
        const FormulaType lt = staticType(left);
        for (const FormulaNode* other : others) {
            const FormulaType rt = staticType(*other);
            if (!(lt == FormulaType::Text && isNumber(rt))
                && !(isNumber(lt) && rt == FormulaType::Text))
                continue;
            // A quoted number against a number column is read as a number.
            const FormulaNode& textSide = lt == FormulaType::Text ? left : *other;
            if (textSide.kind() == FormulaNodeKind::Constant
                && FormulaText::numberFromText(textSide.constant().toString()))
                continue;
            refuse(n, QStringLiteral("no se puede comparar un texto con un número"));
        }
    }
}

void ReportCompiler::bindTree(const FormulaNodePtr& tree, const QString& name)
{
    if (!tree)
        return;
    std::vector<const FormulaNode*> fields;
    collectFields(*tree, fields);
    for (const FormulaNode* f : fields) {
        const QString key = fieldKey(f->table(), f->field());
        auto found = m_report->slotByKey.constFind(key);
        if (found == m_report->slotByKey.constEnd()) {
            if (m_report->def->data.sql.trimmed().isEmpty())
                checkTable(f, name);
            const int slot = int(m_report->columns.size());
            m_report->columns << f->table().trimmed() + u'.' + f->field().trimmed();
            found = m_report->slotByKey.insert(key, slot);
        }
        f->setSlot(found.value());
    }
    std::vector<const FormulaNode*> references;
    collectFormulaRefs(*tree, references);
    for (const FormulaNode* f : references)
        f->setSlot(m_report->formulaIndex.value(f->name().toLower(), -1));
    std::vector<const FormulaNode*> summaries;
    collectSummaries(*tree, summaries);
    for (const FormulaNode* s : summaries) {
        if (m_report->summaryByNode.contains(s))
            continue;
        SummarySpec spec;
        switch (s->function()) {
        case FormulaFunction::Count:
        case FormulaFunction::DistinctCount:
            spec.function = SummaryFunction::Count;
            break;
        case FormulaFunction::Average:
            spec.function = SummaryFunction::Average;
            break;
        case FormulaFunction::Minimum:
            spec.function = SummaryFunction::Minimum;
            break;
        case FormulaFunction::Maximum:
            spec.function = SummaryFunction::Maximum;
            break;
        default:
            spec.function = SummaryFunction::Sum;
            break;
        }
        spec.expr = s->childPtr(0);
        spec.level = s->child(1) ? groupLevelOf(*s->child(1)) : -1;
        spec.name = name;
        m_report->summaryByNode.insert(s, int(m_report->summaries.size()));
        m_report->summaries.push_back(spec);
    }
}

int ReportCompiler::groupLevelOf(const FormulaNode& node) const
{
    const QString text = node.toText();
    for (std::size_t i = 0; i < m_report->groups.size(); ++i) {
        const FormulaNodePtr& key = m_report->groups[i].key;
        if (key && key->toText().compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int ReportCompiler::reach(const FormulaNode& tree, int level, const QString& name)
{
    // Levels as depth() counts them: the left operand of an operator that is an operator too is
    // on its level.
    struct Pending
    {
        const FormulaNode* node;
        int level;
    };
    std::vector<Pending> pending { { &tree, level } };
    int deepest = level;
    while (!pending.empty()) {
        const Pending p = pending.back();
        pending.pop_back();
        if (p.level > MaxFormulaDepth)
            tooComplex(name);
        int bottom = p.level;
        if (p.node->kind() == FormulaNodeKind::FormulaRef)
            bottom += formulaReach(p.node->name().toLower(), p.level + 1, name);
        deepest = std::max(deepest, bottom);
        const auto& children = p.node->children();
        for (std::size_t i = 0; i < children.size(); ++i) {
            const FormulaNode* c = children[i].get();
            if (!c)
                continue;
            pending.push_back({ c, onParentLevel(p.node->kind(), i, *c) ? p.level : p.level + 1 });
        }
    }
    return deepest - level + 1;
}

int ReportCompiler::formulaReach(const QString& key, int level, const QString& name)
{
    auto known = m_reach.constFind(key);
    if (known == m_reach.constEnd()) {
        const FormulaNodePtr tree = m_report->formulas.value(key);
        if (!tree || m_reaching.contains(key))
            return 0;
        m_reaching.insert(key);
        const int depth = reach(*tree, level, name);
        m_reaching.remove(key);
        known = m_reach.insert(key, depth);
    }
    // Reached before from nearer the top: from here its deepest level may be past the limit.
    if (level + known.value() - 1 > MaxFormulaDepth)
        tooComplex(name);
    return known.value();
}

void ReportCompiler::tooComplex(const QString& name) const
{
    throw CompileError { QStringLiteral("Error en la fórmula «%1»: Fórmula demasiado "
                                        "compleja (informe %2)")
                             .arg(name, m_report->def->name) };
}

void ReportCompiler::checkTable(const FormulaNode* f, const QString& formula)
{
    if (tableOf(f->table()))
        return;
    throw CompileError { QStringLiteral("La fórmula «%1» usa el campo %2, y el informe %3 no "
                                        "tiene la tabla %4")
                             .arg(formula, f->name(), m_report->def->name, f->table()) };
}

const DataTable* ReportCompiler::tableOf(const QString& name) const
{
    for (const DataTable& t : m_report->def->data.tables) {
        if (t.alias.compare(name.trimmed(), Qt::CaseInsensitive) == 0
            || t.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

int ReportCompiler::fontOf(const ReportItem& item, QRgb* color, HAlign* align) const
{
    const ReportStyle* style = m_report->def->style(item.style);
    if (!style)
        style = m_report->def->style(QStringLiteral("default"));
    FontSpec font = item.hasFont ? item.font : (style ? style->font : FontSpec());
    // Resources carry the family that prints, so saved reports need no definition.
    font.family = m_fonts.family(font.family);
    *color = item.hasColor ? item.color.rgba() : (style ? style->color.rgba() : 0xff000000);
    *align = item.hasAlign ? item.align : (style ? style->align : HAlign::Left);
    return m_resources.addFont(font);
}

CompiledSection ReportCompiler::section(const ReportSection& s, const QString& sectionName)
{
    CompiledSection cs;
    cs.def = &s;
    cs.name = s.name.isEmpty() ? sectionName : s.name;
    cs.suppress = parse(cs.name + QStringLiteral(" suppress"), s.suppress);
    cs.newPageBefore = parse(cs.name + QStringLiteral(" newPageBefore"), s.newPageBefore);
    cs.newPageAfter = parse(cs.name + QStringLiteral(" newPageAfter"), s.newPageAfter);
    int index = 0;
    for (const ReportItem& item : s.items) {
        ++index;
        CompiledItem ci;
        ci.def = &item;
        ci.formulaName = QStringLiteral("%1/%2").arg(
            cs.name, item.name.isEmpty() ? QString::number(index) : item.name);
        ci.suppress = parse(ci.formulaName + QStringLiteral(" suppress"), item.suppress);
        HAlign align = HAlign::Left;
        ci.font = fontOf(item, &ci.color, &align);
        ci.flags = alignFlags(align, item.valign);
        if (item.kind == ItemKind::Line || item.kind == ItemKind::Box)
            ci.color = item.hasColor ? item.color.rgba() : 0xff000000;
        if (!item.expression.isEmpty()) {
            ci.expr = parse(ci.formulaName, item.expression);
            if (ci.expr) {
                QSet<QString> path;
                QHash<QString, FormulaNodePtr> done;
                ci.pageCountExpr = pageCountTree(ci.expr, path, done);
            }
        }
        if (item.kind == ItemKind::Summary) {
            ci.level = item.scope.isEmpty() ? -1 : m_report->def->groupIndex(item.scope);
            if (!item.scope.isEmpty() && ci.level < 0)
                throw CompileError { QStringLiteral("El resumen «%1» nombra el grupo "
                                                    "desconocido «%2»")
                                         .arg(ci.formulaName, item.scope) };
            ci.summary = int(m_report->summaries.size());
            m_report->summaries.push_back({ item.function, ci.expr, ci.level, ci.formulaName });
        }
        if (item.kind == ItemKind::Image && !item.file.isEmpty()) {
            const QString base = QFileInfo(m_report->def->fileName).absolutePath();
            const QString path
                = QFileInfo(item.file).isAbsolute() ? item.file : base + u'/' + item.file;
            QString porque;
            const std::optional<QByteArray> bytes = ArchivoImagen::lee(path, &porque);
            const QImage img = bytes ? QImage::fromData(*bytes) : QImage();
            if (!bytes && !QFileInfo::exists(path))
                m_log << QStringLiteral("Imagen no encontrada: %1").arg(path);
            else if (img.isNull())
                m_log << QStringLiteral("Imagen omitida: %1 (%2)")
                             .arg(path,
                                 bytes ? QStringLiteral("no es una imagen que se pueda leer")
                                       : porque);
            else
                ci.image = m_resources.addImage(img);
        }
        if (item.kind == ItemKind::Subreport)
            compileSubreport(ci);
        cs.marksContinuation
            |= item.kind == ItemKind::Special && item.special == SpecialField::Continued;
        cs.snaps |= item.snap != SnapRight::None;
        cs.items.push_back(std::move(ci));
    }
    return cs;
}

void ReportCompiler::findFixedFormulas(CompiledReport& r)
{
    QHash<QString, int> state; // 1 in progress, 2 fixed, 3 variable
    std::function<bool(const QString&)> fixed;
    fixed = [&](const QString& name) -> bool {
        const int s = state.value(name);
        if (s == 1 || s == 3)
            return false;
        if (s == 2)
            return true;
        state.insert(name, 1);
        const auto tree = r.formulas.constFind(name);
        const bool result
            = tree != r.formulas.constEnd() && (!tree.value() || isFixedTree(*tree.value(), fixed));
        state.insert(name, result ? 2 : 3);
        return result;
    };
    for (auto it = r.formulas.cbegin(); it != r.formulas.cend(); ++it) {
        if (fixed(it.key()))
            r.fixedFormulas.insert(it.key());
    }
}

bool ReportCompiler::isFixedTree(
    const FormulaNode& n, const std::function<bool(const QString&)>& fixedFormula)
{
    return !anyFormulaNode(n, [&fixedFormula](const FormulaNode& m) {
        if (m.variesByRecordOrPage())
            return true;
        return m.kind() == FormulaNodeKind::FormulaRef && !fixedFormula(m.name().toLower());
    });
}

void ReportCompiler::markFixedTrees(CompiledReport& r)
{
    const std::function<bool(const QString&)> fixed
        = [&r](const QString& name) { return r.fixedFormulas.contains(name); };
    const auto mark = [&](const FormulaNodePtr& tree, int& index) {
        if (tree && isFixedTree(*tree, fixed))
            index = r.fixedTrees++;
    };
    const auto sections = [&](std::vector<CompiledSection>& list) {
        for (CompiledSection& s : list) {
            mark(s.suppress, s.fixedSuppress);
            for (CompiledItem& it : s.items) {
                mark(it.suppress, it.fixedSuppress);
                if (it.def->kind == ItemKind::Field && !it.pageCountExpr)
                    mark(it.expr, it.fixedExpr);
            }
        }
    };
    sections(r.reportHeaders);
    sections(r.pageHeaders);
    sections(r.details);
    sections(r.pageFooters);
    sections(r.reportFooters);
    for (CompiledGroup& g : r.groups) {
        sections(g.headers);
        sections(g.footers);
    }
}

FormulaNodePtr ReportCompiler::pageCountTree(
    const FormulaNodePtr& node, QSet<QString>& path, QHash<QString, FormulaNodePtr>& done) const
{
    if (!node)
        return nullptr;
    if (node->kind() == FormulaNodeKind::Call
        && node->function() == FormulaFunction::TotalPageCount)
        return node;
    if (node->kind() == FormulaNodeKind::FormulaRef) {
        const QString key = node->name().toLower();
        const auto found = done.constFind(key);
        if (found != done.constEnd())
            return found.value();
        if (path.contains(key))
            return nullptr;
        path.insert(key);
        const FormulaNodePtr tree = pageCountTree(m_report->formulas.value(key), path, done);
        path.remove(key);
        done.insert(key, tree);
        return tree;
    }
    if (node->kind() == FormulaNodeKind::Binary) {
        // A chain of operators is rewritten in a loop, from its first operand out.
        std::vector<const FormulaNode*> chain;
        FormulaNodePtr tree = pageCountTree(operatorChain(*node, chain), path, done);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const FormulaNode& link = **it;
            FormulaNodePtr right = pageCountTree(link.childPtr(1), path, done);
            if (tree || right)
                tree = link.withChildren({ tree ? std::move(tree) : link.childPtr(0),
                    right ? std::move(right) : link.childPtr(1) });
        }
        return tree;
    }
    std::vector<FormulaNodePtr> children;
    children.reserve(node->children().size());
    bool reads = false;
    for (const FormulaNodePtr& child : node->children()) {
        FormulaNodePtr tree = pageCountTree(child, path, done);
        reads |= tree != nullptr;
        children.push_back(tree ? std::move(tree) : child);
    }
    return reads ? node->withChildren(std::move(children)) : nullptr;
}

void ReportCompiler::compileSubreport(CompiledItem& ci)
{
    const ReportDefinition* subDef = m_report->def->subreport(ci.def->subreport);
    if (!subDef)
        throw CompileError { QStringLiteral("El informe %1 no tiene el subinforme «%2»")
                                 .arg(m_report->def->name, ci.def->subreport) };
    QStringList subFields;
    std::vector<FormulaNodePtr> mainSides;
    for (const QString& link : ci.def->links) {
        const int eq = int(link.indexOf(u'='));
        mainSides.push_back(parse(ci.formulaName + QStringLiteral(" vínculo"), link.left(eq)));
        subFields << link.mid(eq + 1).trimmed();
    }
    std::optional<QString> selection;
    for (const auto& s : m_options.subreportSelections) {
        if (s.name.compare(subDef->name, Qt::CaseInsensitive) == 0)
            selection = s.selection;
    }
    CompiledReport* outer = m_report;
    QHash<QString, int> outerReach = std::move(m_reach);
    m_formulasReached = false;
    ++m_depth;
    auto sub = compile(*subDef, selection, {}, subFields);
    --m_depth;
    m_report = outer;
    m_reach = std::move(outerReach);
    m_formulasReached = true;
    ci.sub = sub.get();
    ci.linkValues = std::move(mainSides);
    m_report->subs.push_back(std::move(sub));
}

void ReportCompiler::buildQuery(CompiledReport& r, const FormulaNodePtr& selection,
    const QStringList& sortFields, const QStringList& linkFields)
{
    const ReportDefinition& def = *r.def;
    const SqlDialect dialect = m_data.dialect();
    r.literalSql = !def.data.sql.trimmed().isEmpty();
    const ColumnResolver resolve
        = [&](const QString& table, const QString& field) -> std::optional<SqlColumn> {
        if (r.literalSql)
            return SqlColumn { QStringLiteral("q.") + quoteIdentifier(field.trimmed(), dialect),
                ColumnKind::Unknown };
        const DataTable* t = tableOf(table);
        if (!t)
            return std::nullopt;
        return SqlColumn { quoteIdentifier(t->alias, dialect) + u'.'
                + quoteIdentifier(field.trimmed(), dialect),
            m_data.columnKind(t->name, field.trimmed()) };
    };

    QString from;
    if (r.literalSql) {
        from = QStringLiteral("(") + def.data.sql + QStringLiteral(") q");
    } else {
        for (const DataTable& t : def.data.tables) {
            const QString named = t.alias.compare(t.name, Qt::CaseInsensitive) == 0
                ? quoteIdentifier(t.name, dialect)
                : quoteIdentifier(t.name, dialect) + u' ' + quoteIdentifier(t.alias, dialect);
            if (t.join == JoinKind::None)
                from = named;
            else
                from += (t.join == JoinKind::Left ? QStringLiteral(" LEFT JOIN ")
                                                  : QStringLiteral(" INNER JOIN "))
                    + named + QStringLiteral(" ON ") + t.on;
        }
    }

    QStringList groupKeys;
    for (const CompiledGroup& g : r.groups)
        groupKeys << (g.def->descending ? u'-' : u'+') + g.def->expression;
    QStringList sorts = sortFields;
    if (sorts.isEmpty()) {
        for (const SortField& s : def.sort)
            sorts << (s.descending ? u'-' : u'+') + s.expression;
    }
    const OrderPlan order = SelectionPlanner::orderBy(groupKeys, sorts, dialect, resolve);
    if (!order.unresolved.isEmpty()) {
        // A key the database cannot order by (a formula): the rows are ordered here, by
        // every key in turn. Parsed before the select list, whose fields they may add.
        for (const QString& key : groupKeys + sorts) {
            const QString text = key.trimmed();
            if (text.isEmpty())
                continue;
            const bool descending = text.startsWith(u'-');
            const QString expr
                = text.startsWith(u'-') || text.startsWith(u'+') ? text.mid(1) : text;
            if (FormulaNodePtr tree = parse(QStringLiteral("Orden"), expr))
                r.localOrder.emplace_back(tree, descending);
        }
        m_log << QStringLiteral("Orden hecho en el informe %1 (la base no puede dar: %2)")
                     .arg(def.name, order.unresolved.join(QStringLiteral(", ")));
    }

    QStringList select;
    if (r.literalSql) {
        select << QStringLiteral("q.*");
    } else {
        for (const QString& c : std::as_const(r.columns)) {
            const int dot = int(c.indexOf(u'.'));
            select << resolve(c.left(dot), c.mid(dot + 1))->expression;
        }
        if (select.isEmpty())
            select << QStringLiteral("1");
        r.query.columns = r.columns;
    }

    SelectionPlan plan = SelectionPlanner::plan(selection, dialect, resolve, nullptr);
    r.residual = plan.residual;
    if (r.residual)
        m_log << QStringLiteral("Selección evaluada en el informe %1: %2")
                     .arg(def.name, r.residual->toText());
    QStringList where;
    if (!plan.where.isEmpty())
        where << QStringLiteral("(") + plan.where + QStringLiteral(")");
    r.query.parameters = plan.parameters;
    // Sub-report links: one "= ?" per link, bound with the main record's values each time.
    for (const QString& link : linkFields) {
        FormulaParseResult f = FormulaParser::parse(QStringLiteral("vínculo"), link);
        if (!f.ok() || !f.tree || f.tree->kind() != FormulaNodeKind::Field)
            throw CompileError { QStringLiteral("Vínculo de subinforme no válido: %1").arg(link) };
        const auto column = resolve(f.tree->table(), f.tree->field());
        if (!column)
            throw CompileError {
                QStringLiteral("Vínculo de subinforme con tabla desconocida: %1").arg(link)
            };
        where << column->expression + QStringLiteral(" = ?");
    }

    r.query.sql = QStringLiteral("SELECT ") + select.join(QStringLiteral(", "))
        + QStringLiteral(" FROM ") + from;
    if (!where.isEmpty())
        r.query.sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (!order.clause.isEmpty())
        r.query.sql += QStringLiteral(" ORDER BY ") + order.clause;
}
