#include "reportengine/FormulaText.h"

#include <cstdint>
#include <vector>

#include <QChar>

#include "platform/TextWeight.h"

namespace {

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
            tokens.push_back(textWeightKey(cp));
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
        if (p < count && (tokens[p] == kAnyOne || tokens[p] == textWeightKey(cp))) {
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
        const TextWeight wa = textWeight(codePointAt(a.left(na), i));
        const TextWeight wb = textWeight(codePointAt(b.left(nb), j));
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
