#include "reportengine/FormulaNode.h"

#include <algorithm>
#include <array>

#include "reportengine/FormulaText.h"

namespace {

struct FunctionEntry
{
    const char16_t* name;
    FormulaFunction function;
    int minArguments;
    int maxArguments;
};

// The first entry of a function is its spelling in the language; later ones are other names
// that report definitions may use for it.
constexpr std::array kFunctions = {
    FunctionEntry { u"TrimLeft", FormulaFunction::TrimLeft, 1, 1 },
    FunctionEntry { u"LTrim", FormulaFunction::TrimLeft, 1, 1 },
    FunctionEntry { u"TrimRight", FormulaFunction::TrimRight, 1, 1 },
    FunctionEntry { u"RTrim", FormulaFunction::TrimRight, 1, 1 },
    FunctionEntry { u"Trim", FormulaFunction::Trim, 1, 1 },
    FunctionEntry { u"ToNumber", FormulaFunction::ToNumber, 1, 1 },
    FunctionEntry { u"CDbl", FormulaFunction::ToNumber, 1, 1 },
    FunctionEntry { u"ToText", FormulaFunction::ToText, 1, 4 },
    FunctionEntry { u"CStr", FormulaFunction::ToText, 1, 4 },
    FunctionEntry { u"IsNull", FormulaFunction::IsNull, 1, 1 },
    FunctionEntry { u"InStr", FormulaFunction::InStr, 2, 3 },
    FunctionEntry { u"Left", FormulaFunction::Left, 2, 2 },
    FunctionEntry { u"Right", FormulaFunction::Right, 2, 2 },
    FunctionEntry { u"Mid", FormulaFunction::Mid, 2, 3 },
    FunctionEntry { u"Length", FormulaFunction::Length, 1, 1 },
    FunctionEntry { u"Len", FormulaFunction::Length, 1, 1 },
    FunctionEntry { u"UpperCase", FormulaFunction::UpperCase, 1, 1 },
    FunctionEntry { u"UCase", FormulaFunction::UpperCase, 1, 1 },
    FunctionEntry { u"LowerCase", FormulaFunction::LowerCase, 1, 1 },
    FunctionEntry { u"LCase", FormulaFunction::LowerCase, 1, 1 },
    FunctionEntry { u"Round", FormulaFunction::Round, 1, 2 },
    FunctionEntry { u"Truncate", FormulaFunction::Truncate, 1, 2 },
    FunctionEntry { u"Abs", FormulaFunction::Abs, 1, 1 },
    FunctionEntry { u"Remainder", FormulaFunction::Remainder, 2, 2 },
    FunctionEntry { u"Year", FormulaFunction::Year, 1, 1 },
    FunctionEntry { u"Month", FormulaFunction::Month, 1, 1 },
    FunctionEntry { u"Day", FormulaFunction::Day, 1, 1 },
    FunctionEntry { u"Date", FormulaFunction::Date, 1, 3 },
    FunctionEntry { u"CDate", FormulaFunction::Date, 1, 3 },
    FunctionEntry { u"DateTime", FormulaFunction::DateTime, 1, 6 },
    FunctionEntry { u"CDateTime", FormulaFunction::DateTime, 1, 6 },
    FunctionEntry { u"CurrentDate", FormulaFunction::CurrentDate, 0, 0 },
    FunctionEntry { u"CurrentDateTime", FormulaFunction::CurrentDateTime, 0, 0 },
    FunctionEntry { u"Replace", FormulaFunction::Replace, 3, 3 },
    FunctionEntry { u"Space", FormulaFunction::Space, 1, 1 },
    FunctionEntry { u"ReplicateString", FormulaFunction::ReplicateString, 2, 2 },
    FunctionEntry { u"IIf", FormulaFunction::IIf, 3, 3 },
    FunctionEntry { u"Chr", FormulaFunction::Chr, 1, 1 },
    FunctionEntry { u"ChrW", FormulaFunction::Chr, 1, 1 },
    FunctionEntry { u"Val", FormulaFunction::Val, 1, 1 },
    FunctionEntry { u"PageNumber", FormulaFunction::PageNumber, 0, 0 },
    FunctionEntry { u"TotalPageCount", FormulaFunction::TotalPageCount, 0, 0 },
    FunctionEntry { u"RecordNumber", FormulaFunction::RecordNumber, 0, 0 },
    FunctionEntry { u"GroupNumber", FormulaFunction::GroupNumber, 0, 0 },
    FunctionEntry { u"Sum", FormulaFunction::Sum, 1, 2 },
    FunctionEntry { u"Count", FormulaFunction::Count, 1, 2 },
    FunctionEntry { u"Average", FormulaFunction::Average, 1, 2 },
    FunctionEntry { u"Minimum", FormulaFunction::Minimum, 1, 2 },
    FunctionEntry { u"Maximum", FormulaFunction::Maximum, 1, 2 },
    FunctionEntry { u"DistinctCount", FormulaFunction::DistinctCount, 1, 2 },
    FunctionEntry { u"RtfToText", FormulaFunction::RtfToText, 1, 1 },
};

FormulaType typeOfValue(const Value& v)
{
    switch (v.type()) {
    case ValueType::Boolean:
        return FormulaType::Boolean;
    case ValueType::Int16:
    case ValueType::Int32:
    case ValueType::Int64:
    case ValueType::Double:
    case ValueType::Single:
        return FormulaType::Number;
    case ValueType::Currency:
        return FormulaType::Currency;
    case ValueType::Date:
        return v.toDateTime().time() == QTime(0, 0) ? FormulaType::Date : FormulaType::DateTime;
    case ValueType::Text:
        return FormulaType::Text;
    default:
        return FormulaType::Unknown;
    }
}

FormulaType typeOfFunction(FormulaFunction f)
{
    switch (f) {
    case FormulaFunction::TrimLeft:
    case FormulaFunction::TrimRight:
    case FormulaFunction::Trim:
    case FormulaFunction::ToText:
    case FormulaFunction::Left:
    case FormulaFunction::Right:
    case FormulaFunction::Mid:
    case FormulaFunction::UpperCase:
    case FormulaFunction::LowerCase:
    case FormulaFunction::Replace:
    case FormulaFunction::Space:
    case FormulaFunction::ReplicateString:
    case FormulaFunction::Chr:
    case FormulaFunction::RtfToText:
        return FormulaType::Text;
    case FormulaFunction::ToNumber:
    case FormulaFunction::InStr:
    case FormulaFunction::Length:
    case FormulaFunction::Year:
    case FormulaFunction::Month:
    case FormulaFunction::Day:
    case FormulaFunction::Val:
    case FormulaFunction::PageNumber:
    case FormulaFunction::TotalPageCount:
    case FormulaFunction::RecordNumber:
    case FormulaFunction::GroupNumber:
    case FormulaFunction::Count:
    case FormulaFunction::DistinctCount:
        return FormulaType::Number;
    case FormulaFunction::IsNull:
        return FormulaType::Boolean;
    case FormulaFunction::Date:
    case FormulaFunction::CurrentDate:
        return FormulaType::Date;
    case FormulaFunction::DateTime:
    case FormulaFunction::CurrentDateTime:
        return FormulaType::DateTime;
    default:
        return FormulaType::Unknown;
    }
}

QString constantText(const Value& v)
{
    switch (v.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QStringLiteral("Null");
    case ValueType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ValueType::Date: {
        const QDateTime dt = v.toDateTime();
        const QDate d = dt.date();
        if (dt.time() == QTime(0, 0))
            return QStringLiteral("Date(%1,%2,%3)").arg(d.year()).arg(d.month()).arg(d.day());
        const QTime t = dt.time();
        return QStringLiteral("DateTime(%1,%2,%3,%4,%5,%6)")
            .arg(d.year())
            .arg(d.month())
            .arg(d.day())
            .arg(t.hour())
            .arg(t.minute())
            .arg(t.second());
    }
    case ValueType::Text:
        return FormulaText::quoted(v.toString());
    default:
        return v.toString();
    }
}

QString opText(FormulaOp op)
{
    switch (op) {
    case FormulaOp::Not:
        return QStringLiteral("Not");
    case FormulaOp::Negate:
    case FormulaOp::Subtract:
        return QStringLiteral("-");
    case FormulaOp::And:
        return QStringLiteral("And");
    case FormulaOp::Or:
        return QStringLiteral("Or");
    case FormulaOp::Xor:
        return QStringLiteral("Xor");
    case FormulaOp::Equal:
        return QStringLiteral("=");
    case FormulaOp::NotEqual:
        return QStringLiteral("<>");
    case FormulaOp::Less:
        return QStringLiteral("<");
    case FormulaOp::LessEqual:
        return QStringLiteral("<=");
    case FormulaOp::Greater:
        return QStringLiteral(">");
    case FormulaOp::GreaterEqual:
        return QStringLiteral(">=");
    case FormulaOp::Add:
        return QStringLiteral("+");
    case FormulaOp::Multiply:
        return QStringLiteral("*");
    case FormulaOp::Divide:
        return QStringLiteral("/");
    case FormulaOp::IntDivide:
        return QStringLiteral("\\");
    case FormulaOp::Modulo:
        return QStringLiteral("Mod");
    case FormulaOp::Power:
        return QStringLiteral("^");
    case FormulaOp::Concat:
        return QStringLiteral("&");
    case FormulaOp::In:
        return QStringLiteral("In");
    case FormulaOp::Like:
        return QStringLiteral("Like");
    case FormulaOp::StartsWith:
        return QStringLiteral("StartsWith");
    default:
        return QString();
    }
}

int depthOf(FormulaNodeKind kind, const std::vector<FormulaNodePtr>& children)
{
    int deepest = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const FormulaNodePtr& c = children[i];
        if (!c)
            continue;
        // An operator's left operand that is an operator too is walked in the same loop.
        deepest = std::max(deepest, onParentLevel(kind, i, *c) ? c->depth() - 1 : c->depth());
    }
    return deepest + 1;
}

template <typename Predicate>
void collect(const FormulaNode& root, std::vector<const FormulaNode*>& out, Predicate take)
{
    anyFormulaNode(root, [&](const FormulaNode& node) {
        if (take(node))
            out.push_back(&node);
        return false;
    });
}

} // namespace

FormulaNode::FormulaNode(FormulaNodeKind kind, int position)
    : m_kind(kind)
    , m_position(position)
{
}

FormulaNode::~FormulaNode()
{
    // The children this node alone holds are taken apart here, so that freeing a long chain
    // does not go down it one destructor inside the other.
    std::vector<FormulaNodePtr> pending = std::move(m_children);
    while (!pending.empty()) {
        FormulaNodePtr node = std::move(pending.back());
        pending.pop_back();
        if (node && node.use_count() == 1) {
            // Nodes are made non-const (make_shared) and this is the last owner.
            auto& children = const_cast<FormulaNode&>(*node).m_children;
            for (FormulaNodePtr& child : children)
                pending.push_back(std::move(child));
            children.clear();
        }
    }
}

FormulaNodePtr FormulaNode::constant(Value value, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Constant, position);
    n->m_type = typeOfValue(value);
    n->m_constant = std::move(value);
    return n;
}

FormulaNodePtr FormulaNode::field(QString table, QString field, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Field, position);
    n->m_name = u'{' + table + u'.' + field + u'}';
    n->m_table = std::move(table);
    n->m_field = std::move(field);
    return n;
}

FormulaNodePtr FormulaNode::formulaRef(QString name, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::FormulaRef, position);
    n->m_name = std::move(name);
    return n;
}

FormulaNodePtr FormulaNode::array(std::vector<FormulaNodePtr> items, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Array, position);
    n->m_type = FormulaType::Array;
    n->m_children = std::move(items);
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

FormulaNodePtr FormulaNode::range(
    FormulaNodePtr low, FormulaNodePtr high, RangeFlags flags, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Range, position);
    n->m_type = FormulaType::Range;
    n->m_rangeFlags = flags;
    n->m_children = { std::move(low), std::move(high) };
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

FormulaNodePtr FormulaNode::unary(FormulaOp op, FormulaNodePtr operand, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Unary, position);
    n->m_op = op;
    if (op == FormulaOp::Not)
        n->m_type = FormulaType::Boolean;
    else if (operand
        && (operand->type() == FormulaType::Number || operand->type() == FormulaType::Currency))
        n->m_type = operand->type();
    n->m_children = { std::move(operand) };
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

bool isComparison(FormulaOp op)
{
    switch (op) {
    case FormulaOp::Equal:
    case FormulaOp::NotEqual:
    case FormulaOp::Less:
    case FormulaOp::LessEqual:
    case FormulaOp::Greater:
    case FormulaOp::GreaterEqual:
        return true;
    default:
        return false;
    }
}

FormulaNodePtr FormulaNode::binary(
    FormulaOp op, FormulaNodePtr left, FormulaNodePtr right, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Binary, position);
    n->m_op = op;
    switch (op) {
    case FormulaOp::And:
    case FormulaOp::Or:
    case FormulaOp::Xor:
    case FormulaOp::Equal:
    case FormulaOp::NotEqual:
    case FormulaOp::Less:
    case FormulaOp::LessEqual:
    case FormulaOp::Greater:
    case FormulaOp::GreaterEqual:
    case FormulaOp::In:
    case FormulaOp::Like:
    case FormulaOp::StartsWith:
        n->m_type = FormulaType::Boolean;
        break;
    case FormulaOp::Concat:
    case FormulaOp::Subscript:
        n->m_type = FormulaType::Text;
        break;
    case FormulaOp::Add:
        if (left->type() == FormulaType::Text && right->type() == FormulaType::Text)
            n->m_type = FormulaType::Text;
        [[fallthrough]];
    default:
        if (left->type() == FormulaType::Number && right->type() == FormulaType::Number)
            n->m_type = FormulaType::Number;
        break;
    }
    n->m_children = { std::move(left), std::move(right) };
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

FormulaNodePtr FormulaNode::ifThenElse(
    FormulaNodePtr condition, FormulaNodePtr then, FormulaNodePtr otherwise, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::If, position);
    if (!otherwise || otherwise->type() == then->type())
        n->m_type = then->type();
    n->m_children = { std::move(condition), std::move(then), std::move(otherwise) };
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

FormulaNodePtr FormulaNode::call(
    FormulaFunction function, std::vector<FormulaNodePtr> arguments, int position)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Call, position);
    n->m_function = function;
    n->m_type = typeOfFunction(function);
    if (function == FormulaFunction::IIf && arguments.size() == 3
        && arguments[1]->type() == arguments[2]->type())
        n->m_type = arguments[1]->type();
    n->m_children = std::move(arguments);
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

FormulaNodePtr FormulaNode::folded(Value value, const FormulaNode& original)
{
    auto n = std::make_shared<FormulaNode>(FormulaNodeKind::Constant, original.m_position);
    n->m_type = original.m_type;
    n->m_constant = std::move(value);
    return n;
}

FormulaNodePtr FormulaNode::withChildren(std::vector<FormulaNodePtr> children) const
{
    auto n = std::make_shared<FormulaNode>(*this);
    n->m_children = std::move(children);
    n->m_depth = depthOf(n->m_kind, n->m_children);
    return n;
}

const FormulaNodePtr& FormulaNode::childPtr(std::size_t index) const
{
    static const FormulaNodePtr none;
    return index < m_children.size() ? m_children[index] : none;
}

bool FormulaNode::isSummary() const
{
    if (m_kind != FormulaNodeKind::Call)
        return false;
    switch (m_function) {
    case FormulaFunction::Sum:
    case FormulaFunction::Count:
    case FormulaFunction::Average:
    case FormulaFunction::Minimum:
    case FormulaFunction::Maximum:
    case FormulaFunction::DistinctCount:
        return true;
    default:
        return false;
    }
}

bool FormulaNode::variesByRecordOrPage() const
{
    if (m_kind == FormulaNodeKind::Field)
        return true;
    if (m_kind != FormulaNodeKind::Call)
        return false;
    switch (m_function) {
    case FormulaFunction::PageNumber:
    case FormulaFunction::TotalPageCount:
    case FormulaFunction::RecordNumber:
    case FormulaFunction::GroupNumber:
        return true;
    default:
        return isSummary();
    }
}

bool FormulaNode::isConstant(bool clockIsFixed) const
{
    return !anyFormulaNode(*this, [clockIsFixed](const FormulaNode& n) {
        if (n.m_kind == FormulaNodeKind::FormulaRef || n.variesByRecordOrPage())
            return true;
        return n.m_kind == FormulaNodeKind::Call && !clockIsFixed
            && (n.m_function == FormulaFunction::CurrentDate
                || n.m_function == FormulaFunction::CurrentDateTime);
    });
}

QString FormulaNode::toText() const
{
    auto text = [](const FormulaNodePtr& n) { return n ? n->toText() : QString(); };
    switch (m_kind) {
    case FormulaNodeKind::Constant:
        return constantText(m_constant);
    case FormulaNodeKind::Field:
        return m_name;
    case FormulaNodeKind::FormulaRef:
        return QStringLiteral("{@") + m_name + u'}';
    case FormulaNodeKind::Array: {
        QStringList items;
        for (const auto& c : m_children)
            items << text(c);
        return u'[' + items.join(QStringLiteral(", ")) + u']';
    }
    case FormulaNodeKind::Range: {
        if (!m_children[0])
            return (m_rangeFlags.includeHigh ? QStringLiteral("UpTo ") : QStringLiteral("UpTo_ "))
                + text(m_children[1]);
        if (!m_children[1])
            return (m_rangeFlags.includeLow ? QStringLiteral("UpFrom ")
                                            : QStringLiteral("UpFrom_ "))
                + text(m_children[0]);
        QString to = QStringLiteral("to");
        if (!m_rangeFlags.includeLow)
            to.prepend(u'_');
        if (!m_rangeFlags.includeHigh)
            to.append(u'_');
        return text(m_children[0]) + u' ' + to + u' ' + text(m_children[1]);
    }
    case FormulaNodeKind::Unary:
        if (m_op == FormulaOp::Not)
            return QStringLiteral("Not (") + text(m_children[0]) + u')';
        return QStringLiteral("-") + text(m_children[0]);
    case FormulaNodeKind::Binary: {
        // A chain is written in a loop: the opening parentheses of all its operators, its first
        // operand, then each operator with its right operand, from the innermost out.
        std::vector<const FormulaNode*> chain;
        const FormulaNodePtr& first = operatorChain(*this, chain);
        QString s;
        for (const FormulaNode* n : chain) {
            if (n->m_op != FormulaOp::Subscript)
                s += u'(';
        }
        s += first->toText();
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const FormulaNode& n = **it;
            if (n.m_op == FormulaOp::Subscript)
                s += u'[' + text(n.m_children[1]) + u']';
            else
                s += u' ' + opText(n.m_op) + u' ' + text(n.m_children[1]) + u')';
        }
        return s;
    }
    case FormulaNodeKind::If: {
        QString s = QStringLiteral("If ") + text(m_children[0]) + QStringLiteral(" Then ")
            + text(m_children[1]);
        if (m_children[2])
            s += QStringLiteral(" Else ") + text(m_children[2]);
        return s;
    }
    case FormulaNodeKind::Call: {
        QStringList args;
        for (const auto& c : m_children)
            args << text(c);
        return formulaFunctionName(m_function) + u'(' + args.join(QStringLiteral(", ")) + u')';
    }
    }
    return QString();
}

QString formulaFunctionName(FormulaFunction function)
{
    for (const auto& e : kFunctions) {
        if (e.function == function)
            return QString::fromUtf16(e.name);
    }
    return QString();
}

std::optional<FormulaFunctionInfo> formulaFunctionByName(QStringView name)
{
    for (const auto& e : kFunctions) {
        if (name.compare(QStringView(e.name), Qt::CaseInsensitive) == 0)
            return FormulaFunctionInfo { e.function, e.minArguments, e.maxArguments };
    }
    return std::nullopt;
}

void collectFields(const FormulaNode& root, std::vector<const FormulaNode*>& out)
{
    collect(root, out, [](const FormulaNode& n) { return n.kind() == FormulaNodeKind::Field; });
}

void collectFormulaRefs(const FormulaNode& root, std::vector<const FormulaNode*>& out)
{
    collect(
        root, out, [](const FormulaNode& n) { return n.kind() == FormulaNodeKind::FormulaRef; });
}

void collectSummaries(const FormulaNode& root, std::vector<const FormulaNode*>& out)
{
    collect(root, out, [](const FormulaNode& n) { return n.isSummary(); });
}
