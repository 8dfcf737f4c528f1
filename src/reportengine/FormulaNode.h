#pragma once

// The typed tree a report formula parses into (see FormulaParser for how to get one).
//
// A tree is immutable once built and shared through FormulaNodePtr, so the planner can hand back
// parts of a selection as its residual without copying. Walk it with kind() and children(); the
// helpers at the end collect the fields and summaries a formula needs before the data pass. The
// only mutable bit is a field's or formula reference's slot, which the engine may set once when it
// binds a definition to its record layout and its formulas (FormulaContext::fieldValue and
// formulaRefValue can then index instead of looking names up).

#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QVarLengthArray>

#include "platform/Value.h"

class FormulaNode;
using FormulaNodePtr = std::shared_ptr<const FormulaNode>;

enum class FormulaNodeKind
{
    Constant, // constant(): a literal, or a folded Date(...) / DateTime(...)
    Field, // {table.field}: table(), field()
    FormulaRef, // {@name}: name()
    Array, // [a, b, ...]: children()
    Range, // a to b, UpTo b, UpFrom a: children() low/high (null when open), rangeFlags()
    Unary, // op() Not or Negate; child(0)
    Binary, // op(); child(0), child(1)
    If, // If child(0) Then child(1) [Else child(2)]
    Call, // function(); children() are the arguments
};

enum class FormulaOp
{
    None,
    Not,
    Negate,
    And,
    Or,
    Xor,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDivide,
    Modulo,
    Power,
    Concat, // &
    In, // child(1) is an array or a range
    Like, // child(1) a pattern or an array of patterns; * any run, ? one character
    StartsWith,
    Subscript, // text[i] or text[i to j]
};

// The operators that order two values: =, <>, <, <=, >, >=.
bool isComparison(FormulaOp op);

// Built-in functions. Summaries take the summarised field and, optionally, the group's field.
enum class FormulaFunction
{
    None,
    TrimLeft,
    TrimRight,
    Trim,
    ToNumber,
    ToText,
    IsNull,
    InStr,
    Left,
    Right,
    Mid,
    Length,
    UpperCase,
    LowerCase,
    Round,
    Truncate,
    Abs,
    Remainder,
    Year,
    Month,
    Day,
    Date,
    DateTime,
    CurrentDate,
    CurrentDateTime,
    Replace,
    Space,
    ReplicateString,
    IIf,
    Chr,
    Val,
    PageNumber,
    TotalPageCount,
    RecordNumber,
    GroupNumber,
    Sum,
    Count,
    Average,
    Minimum,
    Maximum,
    DistinctCount,
    RtfToText,
};

// What a node yields, when it can be told without data (Unknown otherwise).
enum class FormulaType
{
    Unknown,
    Boolean,
    Number,
    Currency,
    Text,
    Date,
    DateTime,
    Array,
    Range,
};

// Which ends of a range are included: "a to b" both, "a _to b" not a, "a to_ b" not b.
struct RangeFlags
{
    bool includeLow = true;
    bool includeHigh = true;
};

class FormulaNode
{
public:
    FormulaNode(FormulaNodeKind kind, int position);
    FormulaNode(const FormulaNode&) = default;
    // Frees a tree of any size without recursing.
    ~FormulaNode();

    static FormulaNodePtr constant(Value value, int position);
    static FormulaNodePtr field(QString table, QString field, int position);
    static FormulaNodePtr formulaRef(QString name, int position);
    static FormulaNodePtr array(std::vector<FormulaNodePtr> items, int position);
    static FormulaNodePtr range(
        FormulaNodePtr low, FormulaNodePtr high, RangeFlags flags, int position);
    static FormulaNodePtr unary(FormulaOp op, FormulaNodePtr operand, int position);
    static FormulaNodePtr binary(
        FormulaOp op, FormulaNodePtr left, FormulaNodePtr right, int position);
    static FormulaNodePtr ifThenElse(
        FormulaNodePtr condition, FormulaNodePtr then, FormulaNodePtr otherwise, int position);
    static FormulaNodePtr call(
        FormulaFunction function, std::vector<FormulaNodePtr> arguments, int position);
    // A constant standing where `original` was, with its position and its type (an If without
    // Else gives the empty value of its Then's type, so the type must not change).
    static FormulaNodePtr folded(Value value, const FormulaNode& original);
    // A copy of this node with other children (same kind, operator, type and slot).
    FormulaNodePtr withChildren(std::vector<FormulaNodePtr> children) const;

    FormulaNodeKind kind() const { return m_kind; }
    FormulaOp op() const { return m_op; }
    FormulaFunction function() const { return m_function; }
    FormulaType type() const { return m_type; }
    // 0-based offset of the node's first character in the formula text.
    int position() const { return m_position; }
    // Levels of nesting from this node down to its deepest leaf (1 for a leaf). The left
    // operand of an operator is on the operator's own level when it is an operator too, so a
    // chain "a + b - c ..." of any length costs two levels: every walk over a tree goes down such
    // a chain in a loop and recurses only into the other operands.
    int depth() const { return m_depth; }

    const Value& constant() const { return m_constant; }
    const QString& table() const { return m_table; }
    const QString& field() const { return m_field; }
    // Formula name of a FormulaRef; "{table.field}" as written for a Field.
    const QString& name() const { return m_name; }
    RangeFlags rangeFlags() const { return m_rangeFlags; }

    const std::vector<FormulaNodePtr>& children() const { return m_children; }
    // Null when the child is absent (open range end, If without Else).
    const FormulaNode* child(std::size_t index) const
    {
        return index < m_children.size() ? m_children[index].get() : nullptr;
    }
    const FormulaNodePtr& childPtr(std::size_t index) const;

    // Field slot (Field) or formula index (FormulaRef) chosen by the engine when it binds the
    // formula; -1 until then.
    int slot() const { return m_slot; }
    void setSlot(int slot) const { m_slot = slot; }

    bool isSummary() const;
    // True for a node whose own value changes from record to record or page to page: a field,
    // a summary, PageNumber, TotalPageCount, RecordNumber, GroupNumber (children not looked at).
    bool variesByRecordOrPage() const;
    // True when the value depends neither on the record, the page, the other formulas nor, unless
    // `clockIsFixed`, on the clock (CurrentDate, CurrentDateTime).
    bool isConstant(bool clockIsFixed = false) const;

    // The formula written back in the language (normalised spacing); for logs and tests.
    QString toText() const;

private:
    FormulaNodeKind m_kind;
    FormulaOp m_op = FormulaOp::None;
    FormulaFunction m_function = FormulaFunction::None;
    FormulaType m_type = FormulaType::Unknown;
    int m_position = 0;
    int m_depth = 1;
    Value m_constant;
    QString m_table;
    QString m_field;
    QString m_name;
    RangeFlags m_rangeFlags;
    std::vector<FormulaNodePtr> m_children;
    mutable int m_slot = -1;
};

// Name of a built-in function as the language spells it ("TrimLeft"); empty for None.
QString formulaFunctionName(FormulaFunction function);

struct FormulaFunctionInfo
{
    FormulaFunction function = FormulaFunction::None;
    int minArguments = 0;
    int maxArguments = 0;
};
// The built-in function a name calls (ignoring case; "Len", "UCase", "CStr", "LTrim" and the
// like are other names of the same functions); nullopt when there is none.
std::optional<FormulaFunctionInfo> formulaFunctionByName(QStringView name);

// How deep a formula may nest, counting parentheses, signs, Not, powers, lists, subscripts and
// function calls, and the formulas it names (depth()); a chain of operators is no nesting. The
// walks over a tree recurse one level per level of nesting, so a deeper one is refused as
// "Fórmula demasiado compleja" before it can exhaust the stack. The deepest walk takes under
// 1.5 KB a level in the optimised build (a formula naming the next, evaluated), so a formula at
// the limit needs some 300 KB of stack: within the 1 MB a user may give the program with
// "ulimit -s 1024", with room for a build with larger frames. The program's own formulas stay
// under 64 levels.
inline constexpr int MaxFormulaDepth = 200;

// True when `test` holds for a node of the tree; nodes are looked at in reading order (a node
// before its children), without recursion.
template <typename Test> bool anyFormulaNode(const FormulaNode& root, Test test)
{
    // Most trees are small: no allocation for them.
    QVarLengthArray<const FormulaNode*, 32> pending { &root };
    while (!pending.empty()) {
        const FormulaNode& node = *pending.back();
        pending.pop_back();
        if (test(node))
            return true;
        const auto& children = node.children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (*it)
                pending.push_back(it->get());
        }
    }
    return false;
}

// The operators of the chain "a + b - c ..." that `link` (an operator) ends, outermost first,
// into `links`; returns the chain's first operand. Such a chain leans left: the walks over a
// tree go along it with this loop and recurse only into the right operands.
template <typename Links> const FormulaNodePtr& operatorChain(const FormulaNode& link, Links& links)
{
    for (const FormulaNode* n = &link;; n = n->child(0)) {
        links.push_back(n);
        const FormulaNodePtr& left = n->childPtr(0);
        if (left->kind() != FormulaNodeKind::Binary)
            return left;
    }
}

// Whether child `index` of a node of kind `parent` is on that node's own level of nesting, as
// depth() counts it: the left operand of an operator that is an operator too.
inline bool onParentLevel(FormulaNodeKind parent, std::size_t index, const FormulaNode& child)
{
    return index == 0 && parent == FormulaNodeKind::Binary
        && child.kind() == FormulaNodeKind::Binary;
}

// Every {table.field} in the tree, in order of appearance (duplicates kept).
void collectFields(const FormulaNode& root, std::vector<const FormulaNode*>& out);
// Every {@name} in the tree.
void collectFormulaRefs(const FormulaNode& root, std::vector<const FormulaNode*>& out);
// Every summary call (Sum, Count, ...) in the tree.
void collectSummaries(const FormulaNode& root, std::vector<const FormulaNode*>& out);
