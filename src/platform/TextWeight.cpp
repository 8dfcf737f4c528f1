#include "platform/TextWeight.h"

#include <array>

#include <QChar>
#include <QString>

namespace {

// Latin letters keep their code-point order on the primary level; doubling leaves a free slot
// after every letter, which "ñ" takes: in Spanish it is a letter of its own after "n".
constexpr std::uint32_t kEnyePrimary = 'n' * 2 + 1;

TextWeight computeWeight(char32_t cp)
{
    if (cp < 0x80) {
        const char32_t lower = (cp >= 'A' && cp <= 'Z') ? cp + ('a' - 'A') : cp;
        return { static_cast<std::uint32_t>(lower) * 2, 0 };
    }
    const char32_t folded = QChar::toCaseFolded(cp);
    char32_t base = folded;
    char32_t firstMark = 0;
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QString parts = QChar::decomposition(base);
        if (parts.isEmpty())
            break;
        const char32_t head = parts.at(0).isHighSurrogate() && parts.size() > 1
            ? QChar::surrogateToUcs4(parts.at(0), parts.at(1))
            : parts.at(0).unicode();
        if (firstMark == 0 && parts.size() > 1 && !parts.at(0).isHighSurrogate())
            firstMark = parts.at(1).unicode();
        if (head == base)
            break;
        base = head;
    }
    if (base == folded)
        return { static_cast<std::uint32_t>(folded) * 2, 0 };
    if (base == 'n' && firstMark == 0x0303)
        return { kEnyePrimary, 0 };
    return { static_cast<std::uint32_t>(QChar::toCaseFolded(base)) * 2,
        static_cast<std::uint32_t>(folded) };
}

// Latin-1 and Latin Extended A/B cover every Spanish text; they come from a table built once.
constexpr char32_t kTableSize = 0x250;

const std::array<TextWeight, kTableSize>& weightTable()
{
    static const std::array<TextWeight, kTableSize> table = [] {
        std::array<TextWeight, kTableSize> t {};
        for (char32_t cp = 0; cp < kTableSize; ++cp)
            t[cp] = computeWeight(cp);
        return t;
    }();
    return table;
}

} // namespace

TextWeight textWeight(char32_t codePoint)
{
    return codePoint < kTableSize ? weightTable()[codePoint] : computeWeight(codePoint);
}
