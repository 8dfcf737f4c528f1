#include "reportengine/FormulaFolding.h"

namespace FormulaFolding {
namespace {

bool isFixed(const FormulaNode& n, const Known& known)
{
    if (known.unknown)
        return !known.unknown(n);
    if (n.variesByRecordOrPage())
        return false;
    if (n.kind() == FormulaNodeKind::FormulaRef)
        return n.slot() >= 0 && known.fixedFormula(n.slot());
    for (const FormulaNodePtr& c : n.children()) {
        if (c && !isFixed(*c, known))
            return false;
    }
    return true;
}

// The truth an If reads from a known value, as the evaluator reads it: Null is False, numbers
// are true when not zero; nullopt for a value the evaluator refuses.
std::optional<bool> truthOf(const Value& v)
{
    if (v.isNull() || v.isEmpty())
        return false;
    if (v.type() == ValueType::Boolean)
        return v.toBool();
    if (v.isNumeric())
        return v.toDouble() != 0;
    return std::nullopt;
}

FormulaNodePtr foldNode(const FormulaNodePtr& node, const Known& known)
{
    if (!node || node->kind() == FormulaNodeKind::Constant)
        return node;
    if (isFixed(*node, known)) {
        // Empty stays out: a reference reads as Empty where a constant could not.
        const std::optional<Value> v = known.value(*node);
        if (v && !v->isEmpty())
            return FormulaNode::folded(*v, *node);
        if (!known.unknown)
            return node;
    }
    std::vector<FormulaNodePtr> children;
    children.reserve(node->children().size());
    bool changed = false;
    for (const FormulaNodePtr& c : node->children()) {
        children.push_back(foldNode(c, known));
        changed |= children.back() != c;
    }
    const FormulaNode* first = children.empty() ? nullptr : children[0].get();
    const bool firstKnown = first && first->kind() == FormulaNodeKind::Constant;
    if (node->kind() == FormulaNodeKind::If) {
        const FormulaNodePtr& then = children[1];
        const bool hasElse = children.size() > 2 && children[2];
        if (const std::optional<bool> t = firstKnown ? truthOf(first->constant()) : std::nullopt) {
            if (*t)
                return then;
            if (hasElse)
                return children[2];
            // No Else: the empty value of the Then's kind, as the evaluator gives it.
            switch (node->child(1)->type()) {
            case FormulaType::Text:
                return FormulaNode::folded(Value(QString()), *node);
            case FormulaType::Number:
                return FormulaNode::folded(Value(qint64(0)), *node);
            case FormulaType::Boolean:
                return FormulaNode::folded(Value(false), *node);
            default:
                return FormulaNode::folded(Value::null(), *node);
            }
        }
        // Without Else the Then's type gives the value when the condition fails: it must stay.
        if (!hasElse && then->type() != node->child(1)->type())
            children[1] = node->childPtr(1);
    }
    if (node->kind() == FormulaNodeKind::Binary
        && (node->op() == FormulaOp::And || node->op() == FormulaOp::Or)) {
        // The right side is not read when the left decides (a Null left does not).
        const bool decides = firstKnown && !first->constant().isNull()
            && truthOf(first->constant()) == (node->op() == FormulaOp::Or);
        if (decides)
            return FormulaNode::folded(Value(node->op() == FormulaOp::Or), *node);
    }
    if (!changed)
        return node;
    return node->withChildren(std::move(children));
}

} // namespace

FormulaNodePtr fold(const FormulaNodePtr& tree, const Known& known)
{
    return foldNode(tree, known);
}

} // namespace FormulaFolding
