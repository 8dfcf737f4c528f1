#pragma once

#include <memory>
#include <vector>

#include <QColor>
#include <QString>
#include <QStringList>

#include "reportengine/FormulaNode.h"

// The in-memory form of a report definition file (<name>.rpt). Lengths are millimetres, font
// sizes points. Expressions (selection, group keys, fields, suppress and page-break conditions)
// are kept as formula text; the job compiles them once before the first row is read.

enum class PageOrientation
{
    Portrait,
    Landscape
};

struct PageSetup
{
    QString paper = QStringLiteral("A4"); // A4, A3, A5, Letter, Legal or Custom
    double widthMm = 210.0; // portrait width, after the paper name is resolved
    double heightMm = 297.0;
    PageOrientation orientation = PageOrientation::Portrait;
    double marginLeftMm = 10.0;
    double marginTopMm = 10.0;
    double marginRightMm = 10.0;
    double marginBottomMm = 10.0;

    // Page size as laid out, orientation applied.
    double pageWidthMm() const;
    double pageHeightMm() const;
};

struct FontSpec
{
    QString family = QStringLiteral("Arial"); // as written; substituted when painted
    double sizePt = 9.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontSpec&) const = default;
};

enum class HAlign
{
    Left,
    Center,
    Right,
    Justify
};
enum class VAlign
{
    Top,
    Middle,
    Bottom
};

struct ReportStyle
{
    QString name;
    FontSpec font;
    QColor color = Qt::black;
    HAlign align = HAlign::Left;
};

enum class JoinKind
{
    None,
    Inner,
    Left
};

// One table or view of the data description. The first has JoinKind::None.
struct DataTable
{
    QString name; // table or view in the database
    QString alias; // the name formulas use in {alias.field}; the table name when not given
    JoinKind join = JoinKind::None;
    QString on; // join condition in SQL, written with the aliases
};

struct DataDescription
{
    std::vector<DataTable> tables;
    QString sql; // literal SQL source: used instead of the tables when not empty
};

struct FormulaDefinition
{
    QString name;
    FormulaType type = FormulaType::Unknown; // Unknown: the text decides
    QString text; // the formula's default text; a run-time override replaces it
};

struct SortField
{
    QString expression; // usually a field reference, "{alias.field}"
    bool descending = false;
};

enum class ItemKind
{
    Text,
    Field,
    Line,
    Box,
    Image,
    Qr,
    Special,
    Summary,
    Subreport
};

enum class SpecialField
{
    PageNumber,
    TotalPages,
    PageNofM,
    PrintDate,
    PrintTime,
    RecordNumber,
    GroupNumber,
    Continued, // its format ("(continuación)" when empty), only where a group header repeats
};

enum class SummaryFunction
{
    Sum,
    Count,
    Average,
    Minimum,
    Maximum
};

// How a text or field meets the next item shown to its right on the same band and height (or
// the right margin when none is): so that columns a run hides leave no hole and a description takes
// the room they leave.
enum class SnapRight
{
    None,
    Stretch, // keeps its x; its width reaches to the gap before that item
    Move, // keeps its width; it moves to end at the gap before that item
};

struct ReportItem
{
    ItemKind kind = ItemKind::Text;
    QString name;
    double xMm = 0, yMm = 0, widthMm = 0, heightMm = 0; // a line runs from (x,y) to (x+w,y+h)
    QString style; // name of a ReportStyle; empty: the report's default style
    bool hasFont = false; // the item's own font overrides the style's
    FontSpec font;
    bool hasAlign = false;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Top;
    bool hasColor = false;
    QColor color = Qt::black;
    QString text; // Text: the literal text
    QString expression; // Field, Qr, Summary, Image from a column: formula text
    QString format; // number pattern ("#,##0.00") or date pattern ("dd/MM/yyyy")
    bool canGrow = false;
    // Field, Summary: a value wider than the item stops the run naming the item and the value,
    // where it would show '#' marks (a number) or lose its last words (a text).
    bool wholeOrFail = false;
    SnapRight snap = SnapRight::None;
    double snapGapMm = 1.5;
    QString suppress; // formula; the item is not drawn when it is True
    double penWidthMm = 0.2; // Line and Box
    QColor fillColor; // Box: invalid means no fill
    QString file; // Image from a file, relative to the definition's folder
    SpecialField special = SpecialField::PageNumber;
    SummaryFunction function = SummaryFunction::Sum;
    QString scope; // Summary: group name, empty for the whole report
    QString subreport; // Subreport: name of the sub-report
    QStringList links; // Subreport: "{main.field}={sub.field}" pairs
};

enum class SectionKind
{
    ReportHeader,
    PageHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    PageFooter,
    ReportFooter,
};

struct ReportSection
{
    SectionKind kind = SectionKind::Detail;
    QString name;
    double heightMm = 0;
    bool canGrow = false;
    bool keepTogether = true; // a band is never split; kept for the file's sake
    QString suppress; // formula: the band is left out when True
    QString newPageBefore; // formula
    QString newPageAfter; // formula
    std::vector<ReportItem> items;
};

struct ReportGroup
{
    QString name;
    QString expression; // group key
    bool descending = false;
    QString newPageBefore; // formula, evaluated when a group starts (not before the first one)
    QString newPageAfter; // formula, evaluated when a group ends (not after the last one)
    bool repeatHeader = false;
    bool keepTogether = false;
    // Formula, evaluated when a group starts: True numbers the group's pages on their own
    // ("Página 1 de N" for each), starting it on a new page.
    QString restartPageNumbers;
    std::vector<ReportSection> headers; // usually one
    std::vector<ReportSection> footers;
};

enum class LabelDirection
{
    Across,
    Down
};

// Multi-column detail: label sheets. When columns > 0 every detail band fills one label.
struct LabelSheet
{
    int columns = 0;
    int rows = 0;
    double labelWidthMm = 0;
    double labelHeightMm = 0;
    double gapXMm = 0;
    double gapYMm = 0;
    LabelDirection direction = LabelDirection::Across;

    bool enabled() const { return columns > 0; }
};

struct ReportDefinition
{
    int version = 1;
    QString name;
    QString title;
    QString fileName; // the file it was loaded from; empty when built in code
    PageSetup page;
    std::vector<ReportStyle> styles;
    std::vector<std::pair<QString, QString>> fontSubstitutions; // the file's own, before defaults
    DataDescription data;
    std::vector<FormulaDefinition> formulas;
    QString selection;
    std::vector<SortField> sort;
    std::vector<ReportGroup> groups; // outermost first
    std::vector<ReportSection> reportHeaders;
    std::vector<ReportSection> pageHeaders;
    std::vector<ReportSection> details;
    std::vector<ReportSection> pageFooters;
    std::vector<ReportSection> reportFooters;
    LabelSheet labels;
    std::vector<std::shared_ptr<ReportDefinition>> subreports;

    const ReportStyle* style(const QString& name) const;
    const FormulaDefinition* formula(const QString& name) const; // ignoring case
    FormulaDefinition* formula(const QString& name);
    const ReportDefinition* subreport(const QString& name) const; // ignoring case
    int groupIndex(const QString& name) const; // -1 when absent
};
