#include "reportengine/FormulaFolding.h"

namespace FormulaFolding {
namespace {

bool isFixed(const FormulaNode& n, const Known& known)
{
    if (known.unknown)
        return !known.unknown(n);
    return !anyFormulaNode(n, [&known](const FormulaNode& m) {
        if (m.variesByRecordOrPage())
            return true;
        return m.kind() == FormulaNodeKind::FormulaRef
            && !(m.slot() >= 0 && known.fixedFormula(m.slot()));
    });
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

FormulaNodePtr foldNode(const FormulaNodePtr& node, const Known& known);

// `node` with its children folded to `children`, and what those make of it.
FormulaNodePtr rebuilt(const FormulaNodePtr& node, std::vector<FormulaNodePtr> children)
{
    bool changed = false;
    for (std::size_t i = 0; i < children.size(); ++i)
        changed |= children[i] != node->children()[i];
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

// The value a fixed part folds to; null when it folds to nothing (or is not fixed), and
// `node` itself, untouched, when it is fixed and must stay whole.
FormulaNodePtr foldedWhole(const FormulaNodePtr& node, bool fixed, const Known& known)
{
    if (!fixed)
        return nullptr;
    // Empty stays out: a reference reads as Empty where a constant could not.
    const std::optional<Value> v = known.value(*node);
    if (v && !v->isEmpty())
        return FormulaNode::folded(*v, *node);
    return known.unknown ? nullptr : node;
}

// A chain of operators ("a + b - c ...") is folded in a loop, from its first operand out, so that
// its length costs no stack; the outermost fixed part is worked out whole, as foldNode does.
FormulaNodePtr foldChain(const FormulaNodePtr& node, const Known& known)
{
    std::vector<const FormulaNode*> chain;
    const FormulaNodePtr& first = operatorChain(*node, chain);
    // Link i as the one above it holds it.
    auto link = [&](std::size_t i) -> const FormulaNodePtr& {
        return i == 0 ? node : chain[i - 1]->childPtr(0);
    };
    // Without `unknown` a link is fixed when all below it is: told from the first operand out,
    // once for the chain.
    std::vector<bool> fixed(chain.size());
    if (!known.unknown) {
        bool below = isFixed(*first, known);
        for (std::size_t i = chain.size(); i-- > 0;) {
            below = below && isFixed(*chain[i]->child(1), known);
            fixed[i] = below;
        }
    }
    std::size_t inner = chain.size();
    FormulaNodePtr value;
    for (std::size_t i = 0; i < chain.size() && !value; ++i) {
        const bool whole = known.unknown ? isFixed(*chain[i], known) : bool(fixed[i]);
        value = foldedWhole(link(i), whole, known);
        inner = i;
    }
    if (!value) {
        inner = chain.size();
        value = foldNode(first, known);
    }
    while (inner-- > 0) {
        const FormulaNodePtr& n = link(inner);
        value = rebuilt(n, { value, foldNode(n->childPtr(1), known) });
    }
    return value;
}

FormulaNodePtr foldNode(const FormulaNodePtr& node, const Known& known)
{
    if (!node || node->kind() == FormulaNodeKind::Constant)
        return node;
    if (node->kind() == FormulaNodeKind::Binary)
        return foldChain(node, known);
    if (FormulaNodePtr whole = foldedWhole(node, isFixed(*node, known), known))
        return whole;
    std::vector<FormulaNodePtr> children;
    children.reserve(node->children().size());
    for (const FormulaNodePtr& c : node->children())
        children.push_back(foldNode(c, known));
    return rebuilt(node, std::move(children));
}

} // namespace

FormulaNodePtr fold(const FormulaNodePtr& tree, const Known& known)
{
    return foldNode(tree, known);
}

} // namespace FormulaFolding
