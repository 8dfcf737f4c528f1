#pragma once

// Run-time formula overrides: the texts "Name=value" that the report driver's formula slots and
// the report object's formula list carry ("CortePorLista = '-1'", "QuePrecio=4").
//
//     FormulaOverrideSet set = FormulaOverrides::resolve(texts, lookup);
//     for (const auto& o : set.applied) definition.replaceFormula(o.name, o.tree);
//     for (const auto& line : set.log) qCInfo(...) << line;
//
// Rules: any number of texts, applied in order (a later one for the same formula wins); the name
// is matched ignoring case against the definition's formulas (lookup), blanks around "=" allowed;
// an empty or blank text changes nothing; a text without "=" or a name the definition lacks is
// logged and ignored; the value is a formula of the language, and a constant whose type differs
// from the declared one is converted when that loses nothing ('4' for a number formula becomes 4,
// 4 for a text formula becomes '4', '-1' / 0 / 'True' for a Boolean), otherwise logged and
// ignored. Two forms the suite writes are read leniently: a text value whose apostrophes were
// not doubled ("'D'Angelo'") is taken between the first and the last apostrophe, and a bare
// number with the workstation's decimal comma ("10,5") is a number.

#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "reportengine/FormulaNode.h"

struct DeclaredFormula
{
    QString name; // as the definition spells it
    FormulaType type = FormulaType::Unknown; // Unknown: take the value as it comes
};

// Finds a formula of the definition by name, ignoring case.
using FormulaLookup = std::function<std::optional<DeclaredFormula>(const QString& name)>;

struct FormulaOverride
{
    QString name; // the definition's spelling
    QString text; // the value as written after "=", trimmed
    FormulaNodePtr tree;
};

struct FormulaOverrideSet
{
    std::vector<FormulaOverride> applied; // one per formula, in order of first appearance
    QStringList log; // one line per ignored or converted text
};

namespace FormulaOverrides {

// Splits "Name = value" at the first "="; nullopt for a blank text or one without "=".
std::optional<std::pair<QString, QString>> split(const QString& assignment);

FormulaOverrideSet resolve(const QStringList& assignments, const FormulaLookup& lookup);

} // namespace FormulaOverrides
