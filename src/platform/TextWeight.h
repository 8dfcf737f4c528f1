#pragma once

// A character's place in the suite's text order, the one its server compares with and the
// embedded database's "TEXTO" collation and LIKE copy (platform/qt/SqliteText), as do the report
// engine's formulas (reportengine/FormulaText). One definition, so the three cannot drift apart.
//
// Texts compare first on the primary weights alone (case and accents gone); only when those are
// all equal do the accents (secondary weights) decide. Case never decides. An accented letter
// sorts beside its base letter; "ñ" is a letter of its own after "n".

#include <cstdint>

struct TextWeight
{
    std::uint32_t primary = 0;
    std::uint32_t secondary = 0;

    bool operator==(const TextWeight&) const = default;
};

TextWeight textWeight(char32_t codePoint);

// Both weights in one number: equal keys mean the same letter for matching (LIKE), whatever the
// case. The two largest values are never a character's key; matchers use them as wildcards.
inline std::uint64_t textWeightKey(char32_t codePoint)
{
    const TextWeight w = textWeight(codePoint);
    return (std::uint64_t { w.primary } << 32) | w.secondary;
}
