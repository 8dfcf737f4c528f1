#pragma once

// What one run of a report already knows about a formula: the formulas no record or page
// changes (column switches, captions, surcharges) have a single value for the run, so the parts
// of a formula that only read them are worked out once and the tree each record walks is small.
//
//     FormulaNodePtr perRecord = FormulaFolding::fold(tree, known);
//
// The folded tree gives, for every record, the value and the failure the original gives.

#include <functional>
#include <optional>

#include "reportengine/FormulaNode.h"

namespace FormulaFolding {

struct Known
{
    // True for the formula of that index (a {@name} node's slot) when it is fixed for the run.
    std::function<bool(int)> fixedFormula;
    // The run's value of a part that reads no record or page; nullopt when working it out fails
    // or gives no single value (the part is then left to fail, or not, where it is reached).
    std::function<std::optional<Value>(const FormulaNode&)> value;
    // Set to fold a formula for the record and page being printed rather than for the run: the
    // parts it is true for stay (their other parts folded), everything else is worked out
    // through value(); a part that cannot be is kept with its own parts folded, so the tree
    // reads nothing of the record any more.
    std::function<bool(const FormulaNode&)> unknown;
};

// The tree with its fixed parts replaced by their values and the branches of an If whose
// condition is fixed cut away; `tree` itself when nothing is known.
FormulaNodePtr fold(const FormulaNodePtr& tree, const Known& known);

} // namespace FormulaFolding
