#include "reportengine/FormulaText.h"

#include <utility>

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

inline char32_t decodeUtf16(const char16_t* s, qsizetype n, qsizetype& i)
{
    return codePointAt(QStringView(s, n), i);
}

} // namespace

int FormulaText::compare(QStringView a, QStringView b)
{
    return compareTextWeights(a.utf16(), a.size(), b.utf16(), b.size(), &decodeUtf16);
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

// A selection matches the same pattern on every row: keep the last one compiled. A prefix has
// no wildcards of its own: it is the text followed by any run.
const TextPattern& compiled(QStringView pattern, bool prefix)
{
    struct Cache
    {
        QString pattern;
        bool prefix = false;
        bool valid = false;
        TextPattern compiled;
    };
    thread_local Cache cache;
    if (!cache.valid || cache.prefix != prefix || cache.pattern != pattern) {
        TextPattern tokens;
        tokens.reserve(std::size_t(pattern.size()) + 1);
        qsizetype i = 0;
        while (i < pattern.size()) {
            const char32_t cp = codePointAt(pattern, i);
            if (!prefix && cp == '*')
                tokens.addAnyRun();
            else if (!prefix && cp == '?')
                tokens.addAnyOne();
            else
                tokens.addLiteral(cp);
        }
        if (prefix)
            tokens.addAnyRun();
        cache.compiled = std::move(tokens);
        cache.pattern = pattern.toString();
        cache.prefix = prefix;
        cache.valid = true;
    }
    return cache.compiled;
}

} // namespace

bool FormulaText::like(QStringView text, QStringView pattern)
{
    return compiled(pattern, false).matches(text.utf16(), text.size(), &decodeUtf16);
}

bool FormulaText::startsWith(QStringView text, QStringView prefix)
{
    return compiled(prefix, true).matches(text.utf16(), text.size(), &decodeUtf16);
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
