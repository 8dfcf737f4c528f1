#include "reportengine/FormulaText.h"

#include <array>
#include <cstdint>
#include <vector>

#include <QChar>

namespace {

// A character's place in the dictionary order. Texts compare first on the primary weights alone
// (case and accents gone); only when those are all equal do the accents (secondary weights)
// decide. Case never decides. These are the rules of the embedded database's "TEXTO" collation;
// both must stay the same or a pushed-down condition would select other rows than the engine.
struct Weight
{
    std::uint32_t primary = 0;
    std::uint32_t secondary = 0;
};

// Latin letters keep their code-point order on the primary level; doubling leaves a free slot
// after every letter, which "ñ" takes: in Spanish it is a letter of its own after "n".
constexpr std::uint32_t kEnyePrimary = 'n' * 2 + 1;

Weight computeWeight(char32_t cp)
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

constexpr char32_t kTableSize = 0x250;

const std::array<Weight, kTableSize>& weightTable()
{
    static const std::array<Weight, kTableSize> table = [] {
        std::array<Weight, kTableSize> t {};
        for (char32_t cp = 0; cp < kTableSize; ++cp)
            t[cp] = computeWeight(cp);
        return t;
    }();
    return table;
}

inline Weight weightOf(char32_t cp)
{
    return cp < kTableSize ? weightTable()[cp] : computeWeight(cp);
}

inline char32_t codePointAt(QStringView s, qsizetype& i)
{
    const QChar c = s.at(i++);
    if (c.isHighSurrogate() && i < s.size() && s.at(i).isLowSurrogate())
        return QChar::surrogateToUcs4(c, s.at(i++));
    return c.unicode();
}

// Only the plain space counts as a blank at the end, as on the server.
inline qsizetype lengthWithoutTrailingBlanks(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return n;
}

constexpr std::uint64_t kAnyOne = ~std::uint64_t { 0 };
constexpr std::uint64_t kAnyMany = ~std::uint64_t { 0 } - 1;

inline std::uint64_t tokenOf(char32_t cp)
{
    const Weight w = weightOf(cp);
    return (std::uint64_t { w.primary } << 32) | w.secondary;
}

std::vector<std::uint64_t> compilePattern(QStringView pattern, bool literalOnly)
{
    std::vector<std::uint64_t> tokens;
    tokens.reserve(std::size_t(pattern.size()) + 1);
    qsizetype i = 0;
    while (i < pattern.size()) {
        const char32_t cp = codePointAt(pattern, i);
        if (!literalOnly && cp == '*') {
            if (tokens.empty() || tokens.back() != kAnyMany)
                tokens.push_back(kAnyMany);
        } else if (!literalOnly && cp == '?') {
            tokens.push_back(kAnyOne);
        } else {
            tokens.push_back(tokenOf(cp));
        }
    }
    return tokens;
}

// Greedy wildcard match with one back-tracking point.
bool matchTokens(const std::vector<std::uint64_t>& tokens, QStringView s)
{
    const std::size_t count = tokens.size();
    std::size_t p = 0;
    qsizetype i = 0;
    std::size_t starToken = count;
    qsizetype starText = 0;
    while (i < s.size()) {
        qsizetype next = i;
        const char32_t cp = codePointAt(s, next);
        if (p < count && tokens[p] == kAnyMany) {
            starToken = p++;
            starText = i;
            continue;
        }
        if (p < count && (tokens[p] == kAnyOne || tokens[p] == tokenOf(cp))) {
            ++p;
            i = next;
            continue;
        }
        if (starToken == count)
            return false;
        p = starToken + 1;
        codePointAt(s, starText);
        i = starText;
    }
    while (p < count && tokens[p] == kAnyMany)
        ++p;
    return p == count;
}

// Blanks at the end of the text do not count, those of the pattern do: try the text without its
// blanks first, then giving back one blank at a time.
bool matchIgnoringTrailingBlanks(const std::vector<std::uint64_t>& tokens, QStringView text)
{
    for (qsizetype n = lengthWithoutTrailingBlanks(text); n <= text.size(); ++n) {
        if (matchTokens(tokens, text.left(n)))
            return true;
    }
    return false;
}

} // namespace

int FormulaText::compare(QStringView a, QStringView b)
{
    const qsizetype na = lengthWithoutTrailingBlanks(a);
    const qsizetype nb = lengthWithoutTrailingBlanks(b);
    qsizetype i = 0;
    qsizetype j = 0;
    int accents = 0;
    while (i < na && j < nb) {
        const char16_t ca = a.at(i).unicode();
        const char16_t cb = b.at(j).unicode();
        if (ca < 0x80 && cb < 0x80) {
            if (ca != cb) {
                const char16_t la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
                const char16_t lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
                if (la != lb)
                    return la < lb ? -1 : 1;
            }
            ++i;
            ++j;
            continue;
        }
        const Weight wa = weightOf(codePointAt(a.left(na), i));
        const Weight wb = weightOf(codePointAt(b.left(nb), j));
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

std::optional<Value> FormulaText::numberFromText(QStringView text)
{
    const QStringView t = text.trimmed();
    bool ok = false;
    const qint64 whole = t.toLongLong(&ok);
    if (ok)
        return Value(whole);
    // toDouble would also take exponents, "inf" and "nan", which the server does not.
    qsizetype i = (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t.at(i).isDigit())
            digits = true;
        else if (t.at(i) == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    const double d = t.toDouble(&ok);
    return ok ? std::optional(Value(d)) : std::nullopt;
}

QString FormulaText::trimmedLeft(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    return text.mid(i).toString();
}

QString FormulaText::trimmedRight(QStringView text)
{
    return text.left(lengthWithoutTrailingBlanks(text)).toString();
}

QString FormulaText::quoted(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'\'';
    for (const QChar c : text) {
        out += c;
        if (c == u'\'')
            out += c;
    }
    out += u'\'';
    return out;
}

namespace {

// A selection matches the same pattern on every row: keep the last one compiled.
const std::vector<std::uint64_t>& compiled(QStringView pattern, bool prefix)
{
    struct Cache
    {
        QString pattern;
        bool prefix = false;
        bool valid = false;
        std::vector<std::uint64_t> tokens;
    };
    thread_local Cache cache;
    if (!cache.valid || cache.prefix != prefix || cache.pattern != pattern) {
        cache.tokens = compilePattern(pattern, prefix);
        if (prefix)
            cache.tokens.push_back(kAnyMany);
        cache.pattern = pattern.toString();
        cache.prefix = prefix;
        cache.valid = true;
    }
    return cache.tokens;
}

} // namespace

bool FormulaText::like(QStringView text, QStringView pattern)
{
    return matchIgnoringTrailingBlanks(compiled(pattern, false), text);
}

bool FormulaText::startsWith(QStringView text, QStringView prefix)
{
    return matchIgnoringTrailingBlanks(compiled(prefix, true), text);
}
