#include "reportengine/FormulaText.h"

#include <cstdint>
#include <vector>

#include <QChar>
#include <QStringList>

#include "platform/TextWeight.h"
#include "platform/Windows1252.h"

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
    const auto decode = [](const char16_t* s, qsizetype n, qsizetype& i) {
        return codePointAt(QStringView(s, n), i);
    };
    return compareTextWeights(a.utf16(), a.size(), b.utf16(), b.size(), decode);
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

QString FormulaText::plainFromRtf(QStringView text)
{
    // Only a text that is rich text is converted; anything else is shown as it is.
    const QStringView body = text.trimmed();
    if (!body.startsWith(QLatin1String("{\\rtf"), Qt::CaseInsensitive))
        return text.toString();

    // Groups whose content is never shown: font, colour and style tables, document information,
    // and any "{\*\..." destination.
    static const QStringList hidden { QStringLiteral("fonttbl"), QStringLiteral("colortbl"),
        QStringLiteral("stylesheet"), QStringLiteral("info"), QStringLiteral("pict") };
    QString out;
    QByteArray pendingBytes; // \'xx escapes, decoded together so a run keeps its characters
    const auto flush = [&] {
        if (!pendingBytes.isEmpty())
            out += Windows1252::decode(pendingBytes);
        pendingBytes.clear();
    };
    int depth = 0;
    int hiddenFrom = -1; // depth of the hidden group being skipped, -1 when none
    int skipChars = 0; // fallback characters after a \u escape
    const qsizetype n = body.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = body.at(i);
        if (c == u'{') {
            flush();
            ++depth;
            if (hiddenFrom < 0 && i + 2 < n && body.at(i + 1) == u'\\' && body.at(i + 2) == u'*')
                hiddenFrom = depth;
            continue;
        }
        if (c == u'}') {
            flush();
            if (hiddenFrom == depth)
                hiddenFrom = -1;
            --depth;
            continue;
        }
        if (c == u'\r' || c == u'\n')
            continue;
        if (c != u'\\') {
            if (skipChars > 0) {
                --skipChars;
                continue;
            }
            flush();
            if (hiddenFrom < 0)
                out += c;
            continue;
        }
        // A control: "\'xx", a symbol ("\\", "\{", "\}"), or a word with an optional number
        // and one optional blank.
        if (i + 1 >= n)
            break;
        const QChar next = body.at(i + 1);
        if (next == u'\'' && i + 3 < n) {
            bool ok = false;
            const uint byte = body.mid(i + 2, 2).toUInt(&ok, 16);
            i += 3;
            if (ok && hiddenFrom < 0 && skipChars == 0)
                pendingBytes.append(char(byte));
            else if (skipChars > 0)
                --skipChars;
            continue;
        }
        if (!next.isLetter()) {
            flush();
            if (hiddenFrom < 0 && (next == u'\\' || next == u'{' || next == u'}'))
                out += next;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && body.at(j).isLetter())
            ++j;
        const QString word = body.mid(i + 1, j - i - 1).toString();
        qsizetype k = j;
        if (k < n && body.at(k) == u'-')
            ++k;
        while (k < n && body.at(k).isDigit())
            ++k;
        const QStringView number = body.mid(j, k - j);
        if (k < n && body.at(k) == u' ')
            ++k;
        i = k - 1;
        flush();
        if (hidden.contains(word)) {
            if (hiddenFrom < 0)
                hiddenFrom = depth;
            continue;
        }
        if (hiddenFrom >= 0)
            continue;
        if (word == u"par" || word == u"line")
            out += u'\n';
        else if (word == u"tab")
            out += u'\t';
        else if (word == u"u" && !number.isEmpty()) {
            const int code = number.toInt();
            out += QChar(char16_t(code < 0 ? code + 65536 : code));
            skipChars = 1;
        }
    }
    flush();
    // The last paragraph mark ends the text, it adds no empty line.
    while (out.endsWith(u'\n'))
        out.chop(1);
    return out;
}
