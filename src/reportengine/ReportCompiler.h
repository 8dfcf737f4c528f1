#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include "reportengine/CompiledReport.h"
#include "reportengine/FontSubstitution.h"
#include "reportengine/ReportRenderer.h"

// A definition that cannot run: a formula that does not parse or names what the data lacks.
struct CompileError
{
    QString message;
};

// Builds a CompiledReport: parses every formula once, gives each field a slot, registers the
// summaries and writes the statement.
class ReportCompiler
{
public:
    ReportCompiler(const RenderOptions& options, ReportDataSource& data,
        DocumentResources& resources, QStringList& log);

    void setFontSubstitution(FontSubstitution fonts) { m_fonts = std::move(fonts); }

    std::unique_ptr<CompiledReport> compile(const ReportDefinition& def,
        const std::optional<QString>& selection, const QStringList& sortFields,
        const QStringList& linkFields);

private:
    FormulaNodePtr parse(const QString& name, const QString& text);

    // What a node yields, a field's type taken from its column.
    FormulaType staticType(const FormulaNode& n);

    static bool isNumber(FormulaType t);

    // Mistakes of type that no data can make right are told when the formula is read, whatever
    // rows exist: a text column compared with a number, a number column with a text that is no
    // number (a quoted number is read as one, as the server does), a list of texts and numbers,
    // a selection that gives no True or False.
    void checkTypes(
        const FormulaNode& root, const QString& name, const QString& text, bool selection);

    // Gives each field of the tree its slot and registers its summaries.
    void bindTree(const FormulaNodePtr& tree, const QString& name);

    int groupLevelOf(const FormulaNode& node) const;

    // Depth of a tree counting the formulas it names, its root at `level`; past MaxFormulaDepth
    // the report is refused, naming `name`. The evaluator and the walks over the formulas
    // recurse through {@name} references, so a chain of thousands of formulas would exhaust the
    // stack as surely as one formula nested too deep. A reference cycle counts as nothing here;
    // it is told when it is evaluated.
    int reach(const FormulaNode& tree, int level, const QString& name);

    // reach() of a formula (by lower-case name) whose root is at `level`, worked out once and
    // checked again wherever the formula is reached.
    int formulaReach(const QString& key, int level, const QString& name);

    [[noreturn]] void tooComplex(const QString& name) const;

    void checkTable(const FormulaNode* f, const QString& formula);

    const DataTable* tableOf(const QString& name) const;

    int fontOf(const ReportItem& item, QRgb* color, HAlign* align) const;

    CompiledSection section(const ReportSection& s, const QString& sectionName);

    // Formulas whose value cannot change from one record or page to the next (the column
    // captions and switches the program passes): evaluated once per run instead of per row.
    static void findFixedFormulas(CompiledReport& r);

    // True when nothing but constants and formulas `fixedFormula` accepts (by lower-case name)
    // make the value of `n`.
    static bool isFixedTree(
        const FormulaNode& n, const std::function<bool(const QString&)>& fixedFormula);

    // The column switches of a list ("{@Col5} = -1") are the same on every row: their values are
    // kept for the run instead of being worked out for each item of each record.
    static void markFixedTrees(CompiledReport& r);

    // `node` with every {@name} that reads the page count replaced by its formula's tree, so
    // that the count is all it still reads once its record has gone; null when it reads none.
    // `path`: the formulas being written out (a cycle is told when it is evaluated); `done`:
    // those written out already, null for those that read no count.
    FormulaNodePtr pageCountTree(const FormulaNodePtr& node, QSet<QString>& path,
        QHash<QString, FormulaNodePtr>& done) const;

    void compileSubreport(CompiledItem& ci);

    void buildQuery(CompiledReport& r, const FormulaNodePtr& selection,
        const QStringList& sortFields, const QStringList& linkFields);

    const RenderOptions& m_options;
    ReportDataSource& m_data;
    DocumentResources& m_resources;
    QStringList& m_log;
    CompiledReport* m_report = nullptr;
    int m_depth = 0;
    QHash<QString, int> m_reach; // lower-case formula name -> depth with what it names
    bool m_formulasReached = false; // m_reach holds every formula of m_report
    QSet<QString> m_reaching;
    FontSubstitution m_fonts;
};
