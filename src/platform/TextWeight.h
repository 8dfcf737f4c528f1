#pragma once

// A character's place in the suite's text order, the one its server compares with and the
// embedded database's "TEXTO" collation and LIKE copy (platform/qt/SqliteText), as do the report
// engine's formulas (reportengine/FormulaText). One definition, so the three cannot drift apart.
//
// Texts compare first on the primary weights alone (case and accents gone); only when those are
// all equal do the accents (secondary weights) decide. Case never decides. An accented letter
// sorts beside its base letter; "ñ" is a letter of its own after "n".

#include <cstddef>
#include <cstdint>
#include <vector>

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

// Compares two texts in the suite's order: negative, zero or positive. Blanks at the end do not
// count (only the plain space), case never decides, accents only when all else is equal. `Unit`
// is the texts' code unit (UTF-8 bytes or UTF-16); `decode(s, n, i)` reads the code point at `i`
// of `s` (`n` units long) and moves `i` past it. The one loop behind the database's collation
// and the formulas' comparison.
template <typename Unit, typename Index, typename Decode>
int compareTextWeights(const Unit* a, Index na, const Unit* b, Index nb, Decode decode)
{
    while (na > 0 && a[na - 1] == Unit(' '))
        --na;
    while (nb > 0 && b[nb - 1] == Unit(' '))
        --nb;
    Index i = 0;
    Index j = 0;
    int accents = 0;
    while (i < na && j < nb) {
        const char32_t ca = a[i];
        const char32_t cb = b[j];
        // Most texts are plain ASCII codes and names: compare those units without decoding.
        if (ca < 0x80 && cb < 0x80) {
            if (ca != cb) {
                const char32_t la = (ca >= 'A' && ca <= 'Z') ? ca + ('a' - 'A') : ca;
                const char32_t lb = (cb >= 'A' && cb <= 'Z') ? cb + ('a' - 'A') : cb;
                if (la != lb)
                    return la < lb ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        const TextWeight wa = textWeight(decode(a, na, i));
        const TextWeight wb = textWeight(decode(b, nb, j));
        if (wa.primary != wb.primary)
            return wa.primary < wb.primary ? -1 : 1;
        if (accents == 0 && wa.secondary != wb.secondary)
            accents = wa.secondary < wb.secondary ? -1 : 1;
    }
    if (i < na)
        return 1;
    if (j < nb)
        return -1;
    return accents;
}

// A wildcard pattern under the same rules, and the one loop that matches it: the database's LIKE
// and the formulas' Like and StartsWith build their patterns with it from their own wildcard
// characters, so a selection picks the same rows whether the database or the engine runs it.
// Letters match when their keys are equal (case ignored, accents kept); blanks at the end of the
// matched text do not count, those of the pattern do.
class TextPattern
{
public:
    void reserve(std::size_t characters) { m_tokens.reserve(characters); }
    void addLiteral(char32_t codePoint) { m_tokens.push_back(textWeightKey(codePoint)); }
    void addAnyOne() { m_tokens.push_back(AnyOne); }
    void addAnyRun()
    {
        if (m_tokens.empty() || m_tokens.back() != AnyRun)
            m_tokens.push_back(AnyRun);
    }

    // `decode` as for compareTextWeights. Tries the text without its blanks at the end first,
    // then giving back one blank at a time.
    template <typename Unit, typename Index, typename Decode>
    bool matches(const Unit* s, Index n, Decode decode) const
    {
        Index trimmed = n;
        while (trimmed > 0 && s[trimmed - 1] == Unit(' '))
            --trimmed;
        for (Index length = trimmed; length <= n; ++length) {
            if (matchesWhole(s, length, decode))
                return true;
        }
        return false;
    }

private:
    static constexpr std::uint64_t AnyOne = ~std::uint64_t { 0 };
    static constexpr std::uint64_t AnyRun = ~std::uint64_t { 0 } - 1;

    // Greedy, with one back-tracking point: linear for patterns with a single run wildcard, at
    // worst pattern length times text length.
    template <typename Unit, typename Index, typename Decode>
    bool matchesWhole(const Unit* s, Index n, Decode decode) const
    {
        const std::size_t count = m_tokens.size();
        std::size_t p = 0;
        Index i = 0;
        std::size_t runToken = count;
        Index runText = 0;
        while (i < n) {
            if (p < count && m_tokens[p] == AnyRun) {
                runToken = p++;
                runText = i;
                continue;
            }
            Index next = i;
            const char32_t cp = decode(s, n, next);
            if (p < count && (m_tokens[p] == AnyOne || m_tokens[p] == textWeightKey(cp))) {
                ++p;
                i = next;
                continue;
            }
            if (runToken == count)
                return false;
            p = runToken + 1;
            decode(s, n, runText);
            i = runText;
        }
        while (p < count && m_tokens[p] == AnyRun)
            ++p;
        return p == count;
    }

    std::vector<std::uint64_t> m_tokens;
};
