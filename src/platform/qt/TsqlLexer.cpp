#include "platform/qt/TsqlLexer.h"

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$' || c == u'@';
}

} // namespace

bool TsqlToken::isWord(const char* upperWord) const
{
    return type == Type::Word && text.compare(QLatin1String(upperWord), Qt::CaseInsensitive) == 0;
}

bool TsqlToken::isSymbol(const char* symbol) const
{
    return type == Type::Symbol && text == QLatin1String(symbol);
}

QString TsqlToken::name() const
{
    if (type != Type::Name)
        return text;
    const QChar close = text.front() == u'[' ? u']' : u'"';
    QString inner = text.mid(1, text.size() - 2);
    inner.replace(QString(2, close), QString(close));
    return inner;
}

QString TsqlToken::stringValue() const
{
    const qsizetype start = text.indexOf(u'\'');
    QString inner = text.mid(start + 1, text.size() - start - 2);
    inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    return inner;
}

bool tokenizeTsql(const QString& text, QList<TsqlToken>& tokens, QString& error)
{
    tokens.clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto push = [&](TsqlToken::Type type, qsizetype from, qsizetype to) {
        tokens.append({ type, text.mid(from, to - from) });
    };
    // Reads a quoted run closed by `close`, where a doubled `close` stands for one.
    auto quoted = [&](qsizetype from, QChar close, qsizetype& end) {
        qsizetype j = from + 1;
        while (j < n) {
            if (text.at(j) == close) {
                if (j + 1 < n && text.at(j + 1) == close) {
                    j += 2;
                    continue;
                }
                end = j + 1;
                return true;
            }
            ++j;
        }
        return false;
    };
    while (i < n) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        qsizetype j = i;
        if (c.isSpace()) {
            while (j < n && text.at(j).isSpace())
                ++j;
            push(TsqlToken::Type::Space, i, j);
        } else if (c == u'-' && next == u'-') {
            while (j < n && text.at(j) != u'\n' && text.at(j) != u'\r')
                ++j;
            push(TsqlToken::Type::Comment, i, j);
        } else if (c == u'/' && next == u'*') {
            int depth = 0;
            while (j < n) {
                if (text.at(j) == u'/' && j + 1 < n && text.at(j + 1) == u'*') {
                    ++depth;
                    j += 2;
                } else if (text.at(j) == u'*' && j + 1 < n && text.at(j + 1) == u'/') {
                    j += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++j;
                }
            }
            if (depth != 0) {
                error = QStringLiteral("comentario sin cerrar");
                return false;
            }
            push(TsqlToken::Type::Comment, i, j);
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && next == u'\'')) {
            if (!quoted(c == u'\'' ? i : i + 1, u'\'', j)) {
                error = QStringLiteral("texto entre apóstrofos sin cerrar");
                return false;
            }
            push(TsqlToken::Type::String, i, j);
        } else if (c == u'[' || c == u'"') {
            if (!quoted(i, c == u'[' ? u']' : u'"', j)) {
                error = QStringLiteral("nombre entre corchetes o comillas sin cerrar");
                return false;
            }
            push(TsqlToken::Type::Name, i, j);
        } else if (c == u'@') {
            j = i + 1;
            if (j < n && text.at(j) == u'@')
                ++j;
            while (j < n && isNamePart(text.at(j)))
                ++j;
            push(TsqlToken::Type::Variable, i, j);
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            if (c == u'0' && (next == u'x' || next == u'X')) {
                j = i + 2;
                while (j < n && isxdigit(text.at(j).toLatin1()))
                    ++j;
            } else {
                while (j < n && text.at(j).isDigit())
                    ++j;
                if (j < n && text.at(j) == u'.') {
                    ++j;
                    while (j < n && text.at(j).isDigit())
                        ++j;
                }
                if (j < n && (text.at(j) == u'e' || text.at(j) == u'E')) {
                    qsizetype k = j + 1;
                    if (k < n && (text.at(k) == u'+' || text.at(k) == u'-'))
                        ++k;
                    if (k < n && text.at(k).isDigit()) {
                        j = k;
                        while (j < n && text.at(j).isDigit())
                            ++j;
                    }
                }
            }
            push(TsqlToken::Type::Number, i, j);
        } else if (isNameStart(c)) {
            while (j < n && isNamePart(text.at(j)))
                ++j;
            push(TsqlToken::Type::Word, i, j);
        } else {
            static const char* const pairs[] = { "<=", ">=", "<>", "!=", "!<", "!>", "||" };
            j = i + 1;
            for (const char* p : pairs) {
                if (c == QLatin1Char(p[0]) && next == QLatin1Char(p[1])) {
                    j = i + 2;
                    break;
                }
            }
            push(TsqlToken::Type::Symbol, i, j);
        }
        i = j;
    }
    return true;
}
