#include "platform/qt/TsqlTranslator.h"

#include <QSet>

#include "platform/qt/SqlServerFunctions.h"
#include "platform/qt/SqliteText.h"
#include "platform/qt/TsqlLexer.h"

namespace {

using Type = TsqlToken::Type;

// The words of a text with one blank between each, as a set.
QSet<QString> wordSet(const char* words)
{
    const QStringList list = QString::fromLatin1(words).split(u' ');
    return QSet<QString>(list.begin(), list.end());
}

// Words that are never an operand of an expression.
const QSet<QString>& keywords()
{
    static const QSet<QString> set = wordSet(
        "SELECT FROM WHERE AND OR NOT ON THEN ELSE WHEN CASE "
        "END AS BY SET HAVING VALUES IN IS LIKE BETWEEN DISTINCT ALL TOP INTO JOIN INNER LEFT "
        "RIGHT OUTER CROSS FULL ORDER GROUP ESCAPE ASC DESC UNION EXCEPT INTERSECT INSERT UPDATE "
        "DELETE EXISTS WITH COLLATE PERCENT LIMIT OFFSET");
    return set;
}

const QSet<QString>& tableHints()
{
    static const QSet<QString> set = wordSet(
        "NOLOCK READUNCOMMITTED READCOMMITTED REPEATABLEREAD "
        "SERIALIZABLE ROWLOCK PAGLOCK TABLOCK TABLOCKX UPDLOCK XLOCK HOLDLOCK NOWAIT READPAST "
        "FASTFIRSTROW");
    return set;
}

// Functions whose result is text: a "+" next to them joins texts.
const QSet<QString>& textFunctions()
{
    static const QSet<QString> set = wordSet("LTRIM RTRIM LEFT RIGHT SUBSTRING UPPER LOWER REPLACE "
                                             "REPLICATE SPACE STR CHAR NCHAR TRIM");
    return set;
}

const QSet<QString>& numberFunctions()
{
    static const QSet<QString> set = wordSet("LEN CHARINDEX COUNT SUM AVG ABS ROUND DATEDIFF "
                                             "DATEPART YEAR MONTH DAY FLOOR CEILING");
    return set;
}

const QSet<QString>& statementStarters()
{
    static const QSet<QString> set = wordSet(
        "SELECT INSERT UPDATE DELETE CREATE DROP ALTER BEGIN "
        "COMMIT ROLLBACK IF SET TRUNCATE EXEC EXECUTE DECLARE PRINT GRANT WHILE RETURN USE SAVE "
        "RAISERROR");
    return set;
}

struct Tok
{
    TsqlToken token;
    QString out;
    QString prefix;
    QString suffix;
    bool removed = false;
};

// One statement being rewritten: its tokens and the significant ones by position.
class Work
{
public:
    explicit Work(const QList<TsqlToken>& tokens)
    {
        for (const TsqlToken& t : tokens)
            m_toks.append({ t, t.text, {}, {}, false });
        reindex();
    }

    QString error;

    void reindex()
    {
        m_sig.clear();
        for (int i = 0; i < m_toks.size(); ++i) {
            if (m_toks.at(i).token.significant() && !m_toks.at(i).removed)
                m_sig.append(i);
        }
        m_match = QList<int>(m_sig.size(), -1);
        QList<int> open;
        QList<int> cases;
        for (int s = 0; s < m_sig.size(); ++s) {
            const TsqlToken& t = tok(s);
            if (t.isSymbol("(")) {
                open.append(s);
            } else if (t.isSymbol(")") && !open.isEmpty()) {
                m_match[s] = open.last();
                m_match[open.takeLast()] = s;
            } else if (t.isWord("CASE")) {
                cases.append(s);
            } else if (t.isWord("END") && !cases.isEmpty()) {
                m_match[s] = cases.last();
                m_match[cases.takeLast()] = s;
            }
        }
    }

    int size() const { return int(m_sig.size()); }
    // Past either end, a blank: a statement may end anywhere, even where a rewrite looks ahead.
    const TsqlToken& tok(int s) const
    {
        static const TsqlToken none;
        return s >= 0 && s < size() ? m_toks.at(m_sig.at(s)).token : none;
    }
    Tok& edit(int s) { return m_toks[m_sig.at(s)]; }
    bool word(int s, const char* w) const { return s >= 0 && s < size() && tok(s).isWord(w); }
    bool sym(int s, const char* w) const { return s >= 0 && s < size() && tok(s).isSymbol(w); }
    int match(int s) const { return m_match.at(s); }
    QString upper(int s) const
    {
        return tok(s).type == Type::Word ? tok(s).text.toUpper() : QString();
    }
    bool isKeyword(int s) const { return keywords().contains(upper(s)); }

    void remove(int s) { m_toks[m_sig.at(s)].removed = true; }
    void removeRange(int from, int to)
    {
        // Blanks between removed tokens go too, so no double blanks pile up.
        for (int i = m_sig.at(from); i <= m_sig.at(to); ++i)
            m_toks[i].removed = true;
    }

    // Output text of significant tokens [from, to), with what lies between them.
    QString render(int from, int to) const
    {
        if (from >= to)
            return QString();
        return renderTokens(m_sig.at(from), m_sig.at(to - 1) + 1);
    }
    QString renderAll() const { return renderTokens(0, int(m_toks.size())).trimmed(); }

private:
    QString renderTokens(int from, int to) const
    {
        QString text;
        for (int i = from; i < to; ++i) {
            const Tok& t = m_toks.at(i);
            text += t.prefix;
            if (!t.removed)
                text += t.out;
            else if (!t.token.significant() && !text.endsWith(u' '))
                text += u' ';
            text += t.suffix;
        }
        return text;
    }

    QList<Tok> m_toks;
    QList<int> m_sig;
    QList<int> m_match;
};

bool isComparison(const TsqlToken& t)
{
    static const QSet<QString> ops = wordSet("= <> != < > <= >= !< !>");
    return t.type == Type::Symbol && ops.contains(t.text);
}

QString quoteName(const QString& name)
{
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QString untranslatable(const QString& what)
{
    return QStringLiteral("La instrucción no se puede traducir para la base de datos SQLite: %1.")
        .arg(what);
}

// --- rewrites of one statement ------------------------------------------------------------

void removeOwnerAndHints(Work& w)
{
    for (int s = 0; s < w.size(); ++s) {
        const TsqlToken& t = w.tok(s);
        if ((t.type == Type::Word || t.type == Type::Name)
            && t.name().compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0
            && w.sym(s + 1, ".")) {
            w.remove(s);
            w.remove(s + 1);
            continue;
        }
        int open = -1;
        if (t.isWord("WITH") && w.sym(s + 1, "("))
            open = s + 1;
        else if (t.isSymbol("(") && s > 0
            && (w.tok(s - 1).type == Type::Word || w.tok(s - 1).type == Type::Name)
            && !w.isKeyword(s - 1) && tableHints().contains(w.upper(s + 1)))
            open = s;
        if (open < 0 || w.match(open) < 0)
            continue;
        bool hints = w.match(open) > open + 1;
        for (int k = open + 1; k < w.match(open) && hints; ++k) {
            // INDEX(name) and INDEX = name pick an index; SQLite picks its own.
            if (w.word(k, "INDEX") && w.sym(k + 1, "(") && w.match(k + 1) > k)
                k = w.match(k + 1);
            else if (w.word(k, "INDEX") && w.sym(k + 1, "="))
                k += 2;
            else
                hints = w.sym(k, ",") || tableHints().contains(w.upper(k));
        }
        if (hints)
            w.removeRange(s, w.match(open));
    }
    w.reindex();
}

void rewriteNamesAndLiterals(Work& w)
{
    for (int s = 0; s < w.size(); ++s) {
        const TsqlToken& t = w.tok(s);
        if (t.type == Type::Name) {
            w.edit(s).out = quoteName(t.name());
        } else if (t.type == Type::String) {
            QString text = t.text.front() == u'\'' ? t.text : t.text.mid(1);
            // SQLite reads a statement only up to its first NUL: one inside a text is written
            // as char(0), so the rest of the text and of the statement are not lost.
            if (text.contains(QChar(0)))
                text = u'(' + text.split(QChar(0)).join(QStringLiteral("' || char(0) || '")) + u')';
            if (text != t.text)
                w.edit(s).out = text;
        } else if (t.type == Type::Variable) {
            if (t.text.compare(QLatin1String("@@IDENTITY"), Qt::CaseInsensitive) == 0)
                w.edit(s).out = QStringLiteral("last_insert_rowid()");
            else if (w.error.isEmpty())
                w.error = untranslatable(QStringLiteral("variable %1").arg(t.text));
        } else if (t.isWord("CURRENT_TIMESTAMP")) {
            w.edit(s).out = QStringLiteral("GETDATE()");
        }
    }
}

// Functions whose text result is compared with a text in the program's statements
// ("LTRIM(RTRIM(Codigo)) ='ABC'").
const QSet<QString>& comparedTextFunctions()
{
    static const QSet<QString> set = wordSet("LTRIM RTRIM TRIM UPPER LOWER REPLACE SUBSTRING LEFT "
                                             "RIGHT ISNULL");
    return set;
}

// A function's result carries no collation on SQLite: compared as it is, "LTRIM(nombre) =
// 'admin'" would tell letter case apart where the suite's server does not. A call that stands
// on either side of a comparison gets the suite's text order explicitly.
void collateComparedCall(Work& w, int s)
{
    const int close = w.match(s + 1);
    if (close < 0)
        return;
    const bool compared = (s > 0 && isComparison(w.tok(s - 1)))
        || (close + 1 < w.size() && isComparison(w.tok(close + 1)));
    if (compared)
        w.edit(close).suffix += QStringLiteral(" COLLATE ") + QLatin1String(kSqliteTextCollation);
}

// The first argument of DATEADD, DATEDIFF and DATEPART names a date part as a bare word.
void rewriteFunctions(Work& w)
{
    for (int s = 0; s + 1 < w.size(); ++s) {
        if (w.tok(s).type != Type::Word || !w.sym(s + 1, "("))
            continue;
        const QString name = w.upper(s);
        if (comparedTextFunctions().contains(name))
            collateComparedCall(w, s);
        if (name == u"ISNULL")
            w.edit(s).out = QStringLiteral("IFNULL");
        else if (name == u"SUBSTRING")
            w.edit(s).out = QStringLiteral("substr");
        else if (name == u"LEFT")
            w.edit(s).out = QStringLiteral("rp_left");
        else if (name == u"RIGHT")
            w.edit(s).out = QStringLiteral("rp_right");
        else if (name == u"SCOPE_IDENTITY")
            w.edit(s).out = QStringLiteral("last_insert_rowid");
        else if ((name == u"DATEADD" || name == u"DATEDIFF" || name == u"DATEPART"
                     || name == u"DATENAME")
            && w.tok(s + 2).type == Type::Word)
            w.edit(s + 2).out = u'\'' + w.tok(s + 2).text.toLower() + u'\'';
    }
}

// Splits the arguments of the call whose "(" is at `open`: ranges [from, to).
QList<QPair<int, int>> arguments(const Work& w, int open)
{
    QList<QPair<int, int>> args;
    const int close = w.match(open);
    int from = open + 1;
    for (int s = open + 1; s <= close; ++s) {
        if (s == close || w.sym(s, ",")) {
            args.append({ from, s });
            from = s + 1;
        } else if ((w.sym(s, "(") || w.word(s, "CASE")) && w.match(s) > s) {
            s = w.match(s);
        }
    }
    return args;
}

enum class TargetKind
{
    Text,
    Integer,
    Real,
    DateTime,
    Date,
    Bit,
    Unknown
};

struct Target
{
    TargetKind kind = TargetKind::Unknown;
    int length = -1;
    int scale = -1;
};

Target targetType(const Work& w, int from, int to)
{
    Target target;
    if (from >= to || w.tok(from).type != Type::Word)
        return target;
    const QString name = w.upper(from);
    if (from + 1 < to && w.sym(from + 1, "(")) {
        if (w.tok(from + 2).type == Type::Number)
            target.length = w.tok(from + 2).text.toInt();
        else if (w.word(from + 2, "MAX"))
            target.length = -1;
        if (w.sym(from + 3, ",") && w.tok(from + 4).type == Type::Number)
            target.scale = w.tok(from + 4).text.toInt();
    }
    static const QSet<QString> text = wordSet("VARCHAR NVARCHAR CHAR NCHAR TEXT NTEXT SYSNAME");
    static const QSet<QString> integer = wordSet("INT INTEGER BIGINT SMALLINT TINYINT");
    static const QSet<QString> real = wordSet("DECIMAL NUMERIC MONEY SMALLMONEY FLOAT REAL");
    if (text.contains(name)) {
        target.kind = TargetKind::Text;
        if ((name == u"VARCHAR" || name == u"NVARCHAR" || name == u"CHAR" || name == u"NCHAR")
            && !w.sym(from + 1, "("))
            target.length = 30;
    } else if (integer.contains(name)) {
        target.kind = TargetKind::Integer;
    } else if (real.contains(name)) {
        target.kind = TargetKind::Real;
        if (name == u"MONEY" || name == u"SMALLMONEY")
            target.scale = 4;
        else if (name == u"DECIMAL" || name == u"NUMERIC")
            target.scale = qMax(target.scale, 0);
        target.length = -1;
    } else if (name == u"DATETIME" || name == u"SMALLDATETIME" || name == u"DATETIME2") {
        target.kind = TargetKind::DateTime;
    } else if (name == u"DATE") {
        target.kind = TargetKind::Date;
    } else if (name == u"BIT") {
        target.kind = TargetKind::Bit;
    }
    return target;
}

// CONVERT(type, expr[, style]) and CAST(expr AS type). The call keeps its tokens; only their
// output changes, so later rewrites still see one call.
void rewriteConversions(Work& w)
{
    for (int s = 0; s + 1 < w.size(); ++s) {
        const bool convert = w.word(s, "CONVERT");
        const bool cast = w.word(s, "CAST");
        if ((!convert && !cast) || !w.sym(s + 1, "(") || w.match(s + 1) < 0)
            continue;
        const int open = s + 1;
        const int close = w.match(open);
        Target target;
        QString style = QStringLiteral("0");
        QString head;
        bool styled = false;
        if (convert) {
            const QList<QPair<int, int>> args = arguments(w, open);
            if (args.size() < 2) {
                w.error = untranslatable(QStringLiteral("CONVERT sin expresión"));
                return;
            }
            target = targetType(w, args.at(0).first, args.at(0).second);
            if (args.size() > 2)
                style = w.render(args.at(2).first, args.at(2).second).trimmed();
            // The type and its comma go; the style stays as the second argument below.
            w.removeRange(args.at(0).first, args.at(0).second);
            if (args.size() > 2) {
                if (target.kind == TargetKind::Text || target.kind == TargetKind::DateTime
                    || target.kind == TargetKind::Date) {
                    // kept: ", style"
                } else {
                    w.removeRange(args.at(1).second, args.at(2).second - 1);
                    style = QStringLiteral("0");
                }
            }
            if (target.kind == TargetKind::Unknown) {
                w.error = untranslatable(QStringLiteral("CONVERT a ese tipo"));
                return;
            }
            styled = args.size() > 2;
        } else {
            int as = -1;
            for (int k = open + 1; k < close; ++k) {
                if ((w.sym(k, "(") || w.word(k, "CASE")) && w.match(k) > k)
                    k = w.match(k);
                else if (w.word(k, "AS"))
                    as = k;
            }
            if (as < 0) {
                w.error = untranslatable(QStringLiteral("CAST sin AS"));
                return;
            }
            target = targetType(w, as + 1, close);
            if (target.kind == TargetKind::Unknown) {
                w.error = untranslatable(QStringLiteral("CAST a ese tipo"));
                return;
            }
            w.removeRange(as, close - 1);
        }
        // CONVERT's style (its third argument) is the date's form in the text read or written.
        switch (target.kind) {
        case TargetKind::Text:
            head = styled ? QStringLiteral("rp_format_date") : QStringLiteral("rp_text");
            break;
        case TargetKind::Integer:
            head = QStringLiteral("rp_int");
            break;
        case TargetKind::Real:
            head = QStringLiteral("rp_real");
            break;
        case TargetKind::DateTime:
            head = QStringLiteral("rp_parse_date");
            if (!styled)
                w.edit(close).prefix += QStringLiteral(", 0");
            break;
        case TargetKind::Date:
            head = QStringLiteral("FN_SOLO_FECHA(rp_parse_date");
            if (!styled)
                w.edit(close).prefix += QStringLiteral(", 0");
            w.edit(close).suffix += u')';
            break;
        case TargetKind::Bit:
            head = QStringLiteral("rp_bit");
            break;
        case TargetKind::Unknown:
            break;
        }
        if (target.kind == TargetKind::Text && target.length > 0) {
            head = QStringLiteral("substr(") + head;
            w.edit(close).suffix += QStringLiteral(", 1, %1)").arg(target.length);
        }
        if (target.kind == TargetKind::Real && target.scale >= 0) {
            head = QStringLiteral("round(") + head;
            w.edit(close).suffix += QStringLiteral(", %1)").arg(target.scale);
        }
        w.edit(s).out = head;
    }
}

// '25/12/2024' next to a comparison is the date it reads as day first, as the suite's server
// (language Spanish) takes it, and '2024-12-25' is that day's midnight: SQLite compares the stored
// ISO texts "yyyy-MM-dd hh:mm:ss".
void rewriteDateLiterals(Work& w)
{
    for (int s = 0; s < w.size(); ++s) {
        if (w.tok(s).type != Type::String)
            continue;
        const bool compared = (s > 0 && (isComparison(w.tok(s - 1)) || w.word(s - 1, "BETWEEN")))
            || (s + 1 < w.size() && isComparison(w.tok(s + 1)))
            || (w.word(s - 1, "AND") && w.word(s - 3, "BETWEEN"));
        if (!compared)
            continue;
        const QString value = w.tok(s).stringValue();
        const bool isoDay = value.size() == 10 && value.at(4) == u'-' && value.at(7) == u'-';
        if (!value.contains(u'/') && !isoDay)
            continue;
        const QDateTime when = parseSqlDateTime(value);
        if (when.isValid())
            w.edit(s).out = u'\'' + sqlDateText(when) + u'\'';
    }
}

// --- "+" between texts ----------------------------------------------------------------------

class Expressions
{
public:
    explicit Expressions(Work& w)
        : m_w(w)
    {
    }

    int primary(int s) const
    {
        if (s >= m_w.size())
            return -1;
        const TsqlToken& t = m_w.tok(s);
        if (t.isSymbol("(") || t.isWord("CASE"))
            return m_w.match(s) > s ? m_w.match(s) + 1 : -1;
        if (t.type == Type::Number || t.type == Type::String || t.type == Type::Variable
            || t.isWord("NULL"))
            return s + 1;
        if (t.type == Type::Word || t.type == Type::Name) {
            const bool call = m_w.sym(s + 1, "(");
            if (t.type == Type::Word && m_w.isKeyword(s)
                && !(call && (t.isWord("LEFT") || t.isWord("RIGHT"))))
                return -1;
            int e = s + 1;
            while (m_w.sym(e, ".")
                && (e + 1 < m_w.size()
                    && (m_w.tok(e + 1).type == Type::Word || m_w.tok(e + 1).type == Type::Name
                        || m_w.tok(e + 1).isSymbol("*"))))
                e += 2;
            if (m_w.sym(e, "(") && m_w.match(e) > e)
                e = m_w.match(e) + 1;
            return e;
        }
        return -1;
    }

    int term(int s) const
    {
        while (m_w.sym(s, "-") || m_w.sym(s, "+") || m_w.sym(s, "~"))
            ++s;
        int e = primary(s);
        while (e > 0
            && (m_w.sym(e, "*") || m_w.sym(e, "/") || m_w.sym(e, "%") || m_w.sym(e, "&")
                || m_w.sym(e, "|") || m_w.sym(e, "^"))) {
            int next = e + 1;
            while (m_w.sym(next, "-") || m_w.sym(next, "+"))
                ++next;
            const int end = primary(next);
            if (end < 0)
                break;
            e = end;
        }
        return e;
    }

    bool startsChain(int s) const
    {
        if (s == 0)
            return true;
        const TsqlToken& prev = m_w.tok(s - 1);
        if (prev.type == Type::Symbol)
            return !(prev.isSymbol(")") || prev.isSymbol(".") || prev.isSymbol("+")
                || prev.isSymbol("-") || prev.isSymbol("*") || prev.isSymbol("/")
                || prev.isSymbol("%"));
        return prev.type == Type::Word && m_w.isKeyword(s - 1) && !prev.isWord("END");
    }

    enum class Kind
    {
        Text,
        Number,
        Unknown
    };
    Kind kindOf(int from, int to) const
    {
        if (to != primary(from))
            return Kind::Unknown;
        const TsqlToken& t = m_w.tok(from);
        if (t.type == Type::String)
            return Kind::Text;
        if (t.type == Type::Number)
            return Kind::Number;
        if (t.type == Type::Word && m_w.sym(from + 1, "(")) {
            if (textFunctions().contains(m_w.upper(from)))
                return Kind::Text;
            if (numberFunctions().contains(m_w.upper(from)))
                return Kind::Number;
        }
        return Kind::Unknown;
    }

    void rewriteChains()
    {
        for (int s = 0; s < m_w.size(); ++s) {
            if (!startsChain(s))
                continue;
            QList<QPair<int, int>> terms;
            QList<int> ops;
            int e = term(s);
            if (e < 0)
                continue;
            terms.append({ s, e });
            while (m_w.sym(e, "+") || m_w.sym(e, "-")) {
                const int end = term(e + 1);
                if (end < 0)
                    break;
                ops.append(e);
                terms.append({ e + 1, end });
                e = end;
            }
            int plus = 0;
            for (int op : ops)
                plus += m_w.sym(op, "+") ? 1 : 0;
            if (plus == 0)
                continue;
            bool allNumbers = true;
            bool anyText = false;
            bool allSimple = true;
            for (const auto& [from, to] : terms) {
                const Kind kind = kindOf(from, to);
                allNumbers = allNumbers && kind == Kind::Number;
                anyText = anyText || kind == Kind::Text;
                allSimple = allSimple && primary(from) == to;
            }
            if (allNumbers)
                continue;
            if (anyText && allSimple && plus == ops.size()) {
                for (int op : ops)
                    m_w.edit(op).out = QStringLiteral("||");
                collateCompared(s, e);
                continue;
            }
            // Types known only when the row is read: T-SQL's "+" decides then.
            m_w.edit(terms.first().first).prefix.prepend(QStringLiteral("rp_add(").repeated(plus));
            for (int k = 0; k < ops.size(); ++k) {
                if (!m_w.sym(ops.at(k), "+"))
                    continue;
                m_w.edit(ops.at(k)).out = QStringLiteral(",");
                m_w.edit(terms.at(k + 1).second - 1).suffix += u')';
            }
            collateCompared(s, e);
        }
    }

    // Joined text keeps no column's collation on SQLite: "TC + IDCOMPROBANTE <> 'cb...'" would
    // tell letter case apart where the suite's server does not. A chain from token `s` to before
    // `e` that stands beside a comparison gets the suite's text order.
    void collateCompared(int s, int e)
    {
        const bool compared = (s > 0 && isComparison(m_w.tok(s - 1)))
            || (e < m_w.size() && isComparison(m_w.tok(e)));
        if (!compared)
            return;
        m_w.edit(s).prefix.prepend(u'(');
        m_w.edit(e - 1).suffix
            += QStringLiteral(") COLLATE ") + QLatin1String(kSqliteTextCollation);
    }

private:
    Work& m_w;
};

// --- TOP ------------------------------------------------------------------------------------

void rewriteTop(Work& w)
{
    for (int s = w.size() - 1; s >= 0; --s) {
        if (!w.word(s, "SELECT"))
            continue;
        int j = s + 1;
        if (w.word(j, "DISTINCT") || w.word(j, "ALL"))
            ++j;
        if (!w.word(j, "TOP"))
            continue;
        const int top = j;
        QString count;
        int k = top + 1;
        if (k < w.size() && w.tok(k).type == Type::Number) {
            count = w.tok(k).text;
            ++k;
        } else if (w.sym(k, "(") && w.tok(k + 1).type == Type::Number && w.sym(k + 2, ")")) {
            count = w.tok(k + 1).text;
            k += 3;
        } else {
            w.error = untranslatable(QStringLiteral("TOP sin un número"));
            return;
        }
        bool percent = false;
        if (w.word(k, "PERCENT")) {
            percent = true;
            ++k;
        }
        if (w.word(k, "WITH") && w.word(k + 1, "TIES")) {
            w.error = untranslatable(QStringLiteral("TOP ... WITH TIES"));
            return;
        }
        // The end of this SELECT: the ")" around it or the end of the statement.
        int end = w.size();
        int orderBy = -1;
        bool compound = false;
        for (int m = k; m < w.size(); ++m) {
            if ((w.sym(m, "(") || w.word(m, "CASE")) && w.match(m) > m) {
                m = w.match(m);
            } else if (w.sym(m, ")")) {
                end = m;
                break;
            } else if (w.word(m, "UNION") || w.word(m, "EXCEPT") || w.word(m, "INTERSECT")) {
                compound = true;
            } else if (w.word(m, "ORDER") && w.word(m + 1, "BY")) {
                orderBy = m;
            }
        }
        const double amount = count.toDouble();
        w.removeRange(top, k - 1);
        if (percent && amount >= 100)
            continue;
        if (compound) {
            w.error = untranslatable(QStringLiteral("TOP dentro de una UNION"));
            return;
        }
        QString limit = count;
        if (percent) {
            // SQL Server rounds a percentage of rows up.
            const QString body = w.render(k, orderBy >= 0 ? orderBy : end);
            limit = QStringLiteral("(SELECT (COUNT(*) * %1 + 99) / 100 FROM (SELECT %2))")
                        .arg(count, body.trimmed());
        }
        w.edit(end - 1).suffix += QStringLiteral(" LIMIT ") + limit;
    }
}

void rewriteDelete(Work& w)
{
    if (w.word(0, "TRUNCATE") && w.word(1, "TABLE")) {
        w.edit(0).out = QStringLiteral("DELETE");
        w.edit(1).out = QStringLiteral("FROM");
        return;
    }
    if (!w.word(0, "DELETE") || w.size() < 2 || w.word(1, "FROM"))
        return;
    if (w.word(1, "TOP")) {
        w.error = untranslatable(QStringLiteral("DELETE TOP"));
        return;
    }
    for (int s = 2; s < w.size(); ++s) {
        if (w.word(s, "FROM")) {
            w.error = untranslatable(QStringLiteral("DELETE con dos FROM"));
            return;
        }
        if (w.sym(s, "("))
            s = qMax(s, w.match(s));
    }
    w.edit(1).prefix += QStringLiteral("FROM ");
}

QString translateTokens(const QList<TsqlToken>& tokens, QString& error)
{
    Work w(tokens);
    removeOwnerAndHints(w);
    rewriteNamesAndLiterals(w);
    rewriteFunctions(w);
    if (w.error.isEmpty())
        rewriteConversions(w);
    w.reindex();
    rewriteDateLiterals(w);
    Expressions(w).rewriteChains();
    if (w.error.isEmpty())
        rewriteTop(w);
    if (w.error.isEmpty())
        rewriteDelete(w);
    if (!w.error.isEmpty()) {
        error = w.error;
        return QString();
    }
    return w.renderAll();
}

// --- batches --------------------------------------------------------------------------------

class Splitter
{
public:
    Splitter(const QList<TsqlToken>& tokens)
        : m_all(tokens)
    {
        for (int i = 0; i < tokens.size(); ++i) {
            if (tokens.at(i).significant())
                m_sig.append(i);
        }
    }

    QString error;

    QList<TsqlStatement> parseAll()
    {
        int pos = 0;
        QList<TsqlStatement> list = parseList(pos, false);
        if (error.isEmpty() && pos < size())
            error = untranslatable(QStringLiteral("END sin BEGIN"));
        return list;
    }

private:
    int size() const { return int(m_sig.size()); }
    // Past the end, a blank, as in a statement.
    const TsqlToken& tok(int s) const
    {
        static const TsqlToken none;
        return s >= 0 && s < size() ? m_all.at(m_sig.at(s)) : none;
    }
    bool word(int s, const char* w) const { return s < size() && tok(s).isWord(w); }
    QString upper(int s) const { return s < size() ? tok(s).text.toUpper() : QString(); }

    // GO alone on its line.
    bool isGo(int s) const
    {
        if (!word(s, "GO"))
            return false;
        const int at = m_sig.at(s);
        auto lineBreak = [&](int i) {
            return i < 0 || i >= m_all.size()
                || (m_all.at(i).type == Type::Space
                    && (m_all.at(i).text.contains(u'\n') || m_all.at(i).text.contains(u'\r')));
        };
        return lineBreak(at - 1) && lineBreak(at + 1);
    }

    QList<TsqlToken> slice(int from, int to) const
    {
        if (from >= to)
            return {};
        return m_all.mid(m_sig.at(from), m_sig.at(to - 1) - m_sig.at(from) + 1);
    }

    QList<TsqlStatement> parseList(int& pos, bool untilEnd)
    {
        QList<TsqlStatement> list;
        while (pos < size() && error.isEmpty()) {
            if (tok(pos).isSymbol(";") || isGo(pos)) {
                ++pos;
                continue;
            }
            if (word(pos, "END") || word(pos, "ELSE")) {
                if (!untilEnd && word(pos, "ELSE"))
                    error = untranslatable(QStringLiteral("ELSE sin IF"));
                break;
            }
            list += parseOne(pos);
        }
        return list;
    }

    // Skips an optional transaction word and name after BEGIN/COMMIT/ROLLBACK.
    void skipTransactionName(int& pos)
    {
        if (word(pos, "TRAN") || word(pos, "TRANSACTION") || word(pos, "WORK")) {
            ++pos;
            if (pos < size() && tok(pos).type == Type::Word
                && !statementStarters().contains(upper(pos)) && !word(pos, "END")
                && !word(pos, "ELSE") && !isGo(pos))
                ++pos;
        }
    }

    QList<TsqlStatement> parseOne(int& pos)
    {
        const QString first = upper(pos);
        if (first == u"BEGIN") {
            if (word(pos + 1, "TRAN") || word(pos + 1, "TRANSACTION")) {
                ++pos;
                skipTransactionName(pos);
                return { TsqlStatement { TsqlStatement::Kind::Begin, {}, {}, {} } };
            }
            ++pos;
            QList<TsqlStatement> block = parseList(pos, true);
            if (!word(pos, "END")) {
                if (error.isEmpty())
                    error = untranslatable(QStringLiteral("BEGIN sin END"));
                return {};
            }
            ++pos;
            return block;
        }
        if (first == u"COMMIT" || first == u"ROLLBACK") {
            ++pos;
            skipTransactionName(pos);
            return { TsqlStatement {
                first == u"COMMIT" ? TsqlStatement::Kind::Commit : TsqlStatement::Kind::Rollback,
                {}, {}, {} } };
        }
        if (first == u"IF")
            return { parseIf(pos) };
        if (first == u"SET") {
            const int end = statementEnd(pos);
            static const QSet<QString> options = wordSet(
                "NOCOUNT ANSI_NULLS ANSI_WARNINGS "
                "ANSI_PADDING QUOTED_IDENTIFIER DATEFORMAT ARITHABORT XACT_ABORT LOCK_TIMEOUT "
                "CONCAT_NULL_YIELDS_NULL LANGUAGE DEADLOCK_PRIORITY TRANSACTION");
            if (!options.contains(upper(pos + 1)))
                error = untranslatable(pos + 1 < size()
                        ? QStringLiteral("SET %1").arg(tok(pos + 1).text)
                        : QStringLiteral("SET sin opción"));
            pos = end;
            return {};
        }
        static const QSet<QString> refused = wordSet("EXEC EXECUTE DECLARE PRINT WHILE RETURN USE "
                                                     "SAVE RAISERROR GRANT");
        if (refused.contains(first) || tok(pos).type == Type::Variable) {
            error = untranslatable(tok(pos).text.toUpper());
            return {};
        }
        const int end = statementEnd(pos);
        QString sql = translateTokens(slice(pos, end), error);
        pos = end;
        if (!error.isEmpty())
            return {};
        return { TsqlStatement { TsqlStatement::Kind::Sql, sql, {}, {} } };
    }

    TsqlStatement parseIf(int& pos)
    {
        TsqlStatement st;
        st.kind = TsqlStatement::Kind::IfExists;
        int s = pos + 1;
        bool negate = false;
        if (word(s, "NOT")) {
            negate = true;
            ++s;
        }
        if (!word(s, "EXISTS") || s + 1 >= size() || !tok(s + 1).isSymbol("(")) {
            error = untranslatable(QStringLiteral("IF sin EXISTS"));
            return st;
        }
        const int open = s + 1;
        int depth = 0;
        int close = -1;
        for (int k = open; k < size(); ++k) {
            if (tok(k).isSymbol("("))
                ++depth;
            else if (tok(k).isSymbol(")") && --depth == 0) {
                close = k;
                break;
            }
        }
        if (close < 0) {
            error = untranslatable(QStringLiteral("paréntesis sin cerrar"));
            return st;
        }
        const QString query = translateTokens(slice(open + 1, close), error);
        if (!error.isEmpty())
            return st;
        st.sql
            = (negate ? QStringLiteral("SELECT NOT EXISTS (") : QStringLiteral("SELECT EXISTS ("))
            + query + u')';
        pos = close + 1;
        while (pos < size() && (tok(pos).isSymbol(";") || isGo(pos)))
            ++pos;
        if (pos < size())
            st.then = parseOne(pos);
        while (pos < size() && tok(pos).isSymbol(";"))
            ++pos;
        if (word(pos, "ELSE")) {
            ++pos;
            st.otherwise = parseOne(pos);
        }
        return st;
    }

    // What a token does to one kind of nesting ("(" ... ")", CASE ... END) whose open count is
    // `depth`: nothing, opens or closes one (Counted), or closes one never opened.
    enum class Nesting
    {
        None,
        Counted,
        Unopened
    };
    static Nesting nest(int& depth, bool opens, bool closes)
    {
        if (opens) {
            ++depth;
            return Nesting::Counted;
        }
        if (!closes)
            return Nesting::None;
        if (depth == 0)
            return Nesting::Unopened;
        --depth;
        return Nesting::Counted;
    }

    // Where the statement starting at `pos` ends: ";", GO, an END or ELSE of a block, or the
    // first word that starts another statement (SELECT after UNION, after INSERT's column list
    // or after CREATE VIEW ... AS continues the same one, SET continues an UPDATE).
    int statementEnd(int pos) const
    {
        QString kind = upper(pos);
        int depth = 0;
        int cases = 0;
        bool insertBody = false;
        for (int s = pos + 1; s < size(); ++s) {
            const TsqlToken& t = tok(s);
            const Nesting parenthesis = nest(depth, t.isSymbol("("), t.isSymbol(")"));
            if (parenthesis == Nesting::Unopened)
                return s;
            if (parenthesis == Nesting::Counted || depth > 0)
                continue;
            if (t.isSymbol(";") || isGo(s))
                return s;
            const Nesting block = nest(cases, t.isWord("CASE"), t.isWord("END"));
            if (block == Nesting::Unopened)
                return s;
            if (block == Nesting::Counted || cases > 0)
                continue;
            if (t.isWord("ELSE"))
                return s;
            const QString w = t.type == Type::Word ? t.text.toUpper() : QString();
            // A common table expression goes on into the statement that uses it.
            if (kind == u"WITH"
                && (w == u"SELECT" || w == u"INSERT" || w == u"UPDATE" || w == u"DELETE")) {
                kind = w;
                continue;
            }
            if (kind == u"INSERT" && (w == u"VALUES" || w == u"SELECT") && !insertBody) {
                insertBody = true;
                continue;
            }
            if (!statementStarters().contains(w))
                continue;
            const QString prev = upper(s - 1);
            if (w == u"SELECT"
                && (prev == u"UNION" || prev == u"ALL" || prev == u"EXCEPT" || prev == u"INTERSECT"
                    || ((kind == u"CREATE" || kind == u"ALTER") && prev == u"AS")))
                continue;
            if (w == u"SET" && kind == u"UPDATE")
                continue;
            return s;
        }
        return size();
    }

    const QList<TsqlToken>& m_all;
    QList<int> m_sig;
};

} // namespace

TsqlTranslator::Batch TsqlTranslator::translate(const QString& tsql)
{
    Batch batch;
    QList<TsqlToken> tokens;
    if (!tokenizeTsql(tsql, tokens, batch.error)) {
        batch.error = untranslatable(batch.error);
        return batch;
    }
    Splitter splitter(tokens);
    batch.statements = splitter.parseAll();
    batch.error = splitter.error;
    if (!batch.error.isEmpty())
        batch.statements.clear();
    return batch;
}

TsqlTranslator::Query TsqlTranslator::translateQuery(
    const QString& tsql, const QString& rowidColumn)
{
    Query query;
    QList<TsqlToken> tokens;
    if (!tokenizeTsql(tsql, tokens, query.error)) {
        query.error = untranslatable(query.error);
        return query;
    }
    // Statement separators and trailing blanks of a single query go.
    while (!tokens.isEmpty() && (!tokens.last().significant() || tokens.last().isSymbol(";")))
        tokens.removeLast();
    Work probe(tokens);
    removeOwnerAndHints(probe);
    int from = -1;
    bool plain = probe.word(0, "SELECT") && !probe.word(1, "DISTINCT");
    for (int s = 0; s < probe.size(); ++s) {
        if (probe.sym(s, "(") && probe.match(s) > s) {
            s = probe.match(s);
        } else if (probe.word(s, "FROM") && from < 0) {
            from = s;
        } else if ((probe.word(s, "GROUP") && probe.word(s + 1, "BY")) || probe.word(s, "UNION")
            || probe.word(s, "EXCEPT") || probe.word(s, "INTERSECT")) {
            plain = false;
        }
    }
    QString alias;
    if (from >= 0 && from + 1 < probe.size()
        && (probe.tok(from + 1).type == Type::Word || probe.tok(from + 1).type == Type::Name)) {
        query.table = probe.tok(from + 1).name();
        alias = query.table;
        int a = from + 2;
        if (probe.word(a, "AS"))
            ++a;
        if (a < probe.size()
            && (probe.tok(a).type == Type::Name
                || (probe.tok(a).type == Type::Word && !probe.isKeyword(a)
                    && !probe.word(a, "WITH"))))
            alias = probe.tok(a).name();
    }
    QString error;
    QString sql = translateTokens(tokens, error);
    if (!error.isEmpty()) {
        query.error = error;
        return query;
    }
    query.sql = sql;
    if (!rowidColumn.isEmpty() && plain && !query.table.isEmpty()) {
        // The rowid goes right after SELECT (and after a TOP, which the text no longer has).
        query.sql = QStringLiteral("SELECT %1.rowid AS %2, ").arg(quoteName(alias), rowidColumn)
            + sql.mid(6).trimmed();
        query.hasRowid = true;
    }
    return query;
}

QString TsqlTranslator::baseTable(const QString& sql)
{
    QList<TsqlToken> tokens;
    QString error;
    if (!tokenizeTsql(sql, tokens, error))
        return QString();
    Work w(tokens);
    removeOwnerAndHints(w);
    for (int s = 0; s < w.size(); ++s) {
        if (w.sym(s, "(") && w.match(s) > s)
            s = w.match(s);
        else if (w.word(s, "FROM") && s + 1 < w.size()
            && (w.tok(s + 1).type == Type::Word || w.tok(s + 1).type == Type::Name))
            return w.tok(s + 1).name();
    }
    return QString();
}
