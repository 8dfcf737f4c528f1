#include "reportengine/FormulaParser.h"

#include <algorithm>
#include <cstdint>

#include <QDate>
#include <QDateTime>

#include <sys/resource.h>

namespace {

// Stack the parser may use: half of what the stack may grow to ("ulimit -s"; a thread gets as
// much), the other half left for the walks after the parse. A level of nesting takes under
// 1.3 KB in the optimised build (1.7 KB inside a run of And or Or, over 5 KB where each
// parenthesis stands in the operand of every kind of operator), so on the 1 MB stack a user may
// give the program the nesting limit is reached first in ordinary formulas; a build with larger
// frames (the sanitizers', some 9 KB a level) refuses a formula here before it runs out.
std::uintptr_t parserStackAllowance()
{
    static const std::uintptr_t allowance = [] {
        // Without a limit a thread still gets a stack of its own size: count the smallest.
        constexpr rlim_t Unlimited = 2 * 1024 * 1024;
        rlimit limit {};
        const bool known = getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
        return std::uintptr_t(known ? limit.rlim_cur : Unlimited) / 2;
    }();
    return allowance;
}

enum class Tok
{
    End,
    Number,
    Text,
    Field,
    FormulaRef,
    Word,
    Symbol
};

struct Token
{
    Tok kind = Tok::End;
    QString text; // word or symbol; text literal content; formula name
    QString table;
    QString field;
    Value number;
    int position = 0;
};

struct ParseFailure
{
    int position;
    QString text;
};

const QString TooComplex = QStringLiteral("Fórmula demasiado compleja");

QString shown(const QString& s)
{
    return QStringLiteral("«") + s + QStringLiteral("»");
}

class Lexer
{
public:
    explicit Lexer(const QString& text)
        : m_text(text)
    {
    }

    Token next()
    {
        skipBlanksAndComments();
        Token t;
        t.position = m_pos;
        if (m_pos >= m_text.size())
            return t;
        const QChar c = m_text.at(m_pos);
        if (c == u'\'' || c == u'"')
            return textLiteral(c);
        if (c == u'{')
            return braced();
        if (c.isDigit()
            || (c == u'.' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1).isDigit()))
            return numberLiteral();
        if (c.isLetter() || c == u'_') {
            const int start = m_pos;
            while (m_pos < m_text.size()
                && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_'))
                ++m_pos;
            t.kind = Tok::Word;
            t.text = m_text.mid(start, m_pos - start);
            return t;
        }
        static const QString twoChar[] = { QStringLiteral("<>"), QStringLiteral("<="),
            QStringLiteral(">="), QStringLiteral("!=") };
        for (const auto& s : twoChar) {
            if (QStringView(m_text).mid(m_pos, 2) == s) {
                m_pos += 2;
                t.kind = Tok::Symbol;
                t.text = s == QStringLiteral("!=") ? QStringLiteral("<>") : s;
                return t;
            }
        }
        if (QStringLiteral("=<>+-*/\\^&()[],;").contains(c)) {
            ++m_pos;
            t.kind = Tok::Symbol;
            t.text = c;
            return t;
        }
        throw ParseFailure { m_pos, QStringLiteral("carácter inesperado ") + shown(c) };
    }

private:
    void skipBlanksAndComments()
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c.isSpace()) {
                ++m_pos;
            } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'/') {
                while (m_pos < m_text.size() && m_text.at(m_pos) != u'\n')
                    ++m_pos;
            } else {
                break;
            }
        }
    }

    Token textLiteral(QChar quote)
    {
        Token t;
        t.kind = Tok::Text;
        t.position = m_pos;
        ++m_pos;
        while (true) {
            if (m_pos >= m_text.size())
                throw ParseFailure { t.position, QStringLiteral("falta cerrar el texto") };
            const QChar c = m_text.at(m_pos++);
            if (c == quote) {
                if (m_pos < m_text.size() && m_text.at(m_pos) == quote) {
                    t.text += quote;
                    ++m_pos;
                    continue;
                }
                return t;
            }
            t.text += c;
        }
    }

    Token braced()
    {
        Token t;
        t.position = m_pos;
        const int close = m_text.indexOf(u'}', m_pos);
        if (close < 0)
            throw ParseFailure { m_pos,
                QStringLiteral("falta cerrar la llave ") + shown(QStringLiteral("}")) };
        const QString inside = m_text.mid(m_pos + 1, close - m_pos - 1).trimmed();
        m_pos = close + 1;
        if (inside.startsWith(u'@')) {
            t.kind = Tok::FormulaRef;
            t.text = inside.mid(1).trimmed();
            if (t.text.isEmpty())
                throw ParseFailure { t.position, QStringLiteral("falta el nombre de la fórmula") };
            return t;
        }
        // The field part may hold blanks ("NUMERO ASIENTO") and the table part an owner
        // ("dbo.TABLA"), so the last dot separates them.
        const int dot = inside.lastIndexOf(u'.');
        if (dot <= 0 || dot == inside.size() - 1)
            throw ParseFailure { t.position,
                QStringLiteral("se esperaba {tabla.campo} en ") + shown(u'{' + inside + u'}') };
        t.kind = Tok::Field;
        t.table = inside.left(dot).trimmed();
        t.field = inside.mid(dot + 1).trimmed();
        return t;
    }

    Token numberLiteral()
    {
        Token t;
        t.kind = Tok::Number;
        t.position = m_pos;
        const int start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
            ++m_pos;
        bool fraction = false;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'.') {
            fraction = true;
            ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
                ++m_pos;
        }
        const QString digits = m_text.mid(start, m_pos - start);
        if (m_pos < m_text.size() && (m_text.at(m_pos).isLetter() || m_text.at(m_pos) == u'_'))
            throw ParseFailure { m_pos, QStringLiteral("número mal escrito") };
        bool ok = false;
        if (!fraction) {
            const qint64 whole = digits.toLongLong(&ok);
            if (ok) {
                t.number = Value(whole);
                return t;
            }
        }
        t.number = Value(digits.toDouble(&ok));
        if (!ok)
            throw ParseFailure { start, QStringLiteral("número mal escrito") };
        return t;
    }

    const QString& m_text;
    int m_pos = 0;
};

bool isWord(const Token& t, const char16_t* word)
{
    return t.kind == Tok::Word && t.text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
}

bool isSymbol(const Token& t, const char16_t* symbol)
{
    return t.kind == Tok::Symbol && t.text == QStringView(symbol);
}

// Words that end an operand and so cannot start one.
bool isReserved(const Token& t)
{
    static const char16_t* words[] = { u"and", u"or", u"xor", u"not", u"in", u"like", u"startswith",
        u"to", u"_to", u"to_", u"_to_", u"then", u"else", u"if", u"mod" };
    for (const auto* w : words) {
        if (isWord(t, w))
            return true;
    }
    return false;
}

std::optional<QDateTime> dateFromParts(const std::vector<qint64>& parts)
{
    const QDate date { int(parts[0]), int(parts[1]), int(parts[2]) };
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (parts.size() > 3) {
        time = QTime(int(parts[3]), parts.size() > 4 ? int(parts[4]) : 0,
            parts.size() > 5 ? int(parts[5]) : 0);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

class Parser
{
public:
    explicit Parser(const QString& text)
        : m_lexer(text)
    {
        const char here = 0;
        m_stackBase = reinterpret_cast<std::uintptr_t>(&here);
        advance();
    }

    FormulaNodePtr formula()
    {
        if (m_tok.kind == Tok::End)
            return nullptr;
        FormulaNodePtr e = expression();
        while (isSymbol(m_tok, u";"))
            advance();
        if (m_tok.kind != Tok::End)
            throw ParseFailure { m_tok.position, QStringLiteral("sobra texto desde aquí") };
        return e;
    }

private:
    // One more level of the parser's own recursion: nested parentheses, Not, signs, powers,
    // lists and subscripts each go one level deeper.
    class Nesting
    {
    public:
        Nesting(Parser& parser, int position)
            : m_parser(parser)
        {
            // On a small stack, or with a build's larger frames (the sanitizers'), the stack
            // would run out before the level count does.
            const char here = 0;
            const std::uintptr_t used
                = m_parser.m_stackBase - reinterpret_cast<std::uintptr_t>(&here);
            if (++m_parser.m_nesting > MaxFormulaDepth || used > m_parser.m_stackAllowance)
                throw ParseFailure { position, TooComplex };
        }
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    // A long chain ("a + b + c ...") is built in a loop, so its depth is checked on each link.
    static FormulaNodePtr checked(FormulaNodePtr node)
    {
        if (node->depth() > MaxFormulaDepth)
            throw ParseFailure { node->position(), TooComplex };
        return node;
    }

    // A printing rule may join hundreds of terms with Or (or And): the chain is built balanced,
    // so its depth grows with the logarithm of its length. Short chains keep the plain
    // left-to-right shape. Evaluation still goes from the first term to the last.
    static FormulaNodePtr chain(FormulaOp op, const std::vector<FormulaNodePtr>& terms,
        const std::vector<int>& at, std::size_t from, std::size_t to)
    {
        constexpr std::size_t LongChain = 16;
        if (to - from == 1)
            return terms[from];
        if (to - from <= LongChain) {
            FormulaNodePtr left = terms[from];
            for (std::size_t i = from + 1; i < to; ++i)
                left = FormulaNode::binary(op, left, terms[i], at[i]);
            return left;
        }
        const std::size_t middle = from + (to - from) / 2;
        return FormulaNode::binary(
            op, chain(op, terms, at, from, middle), chain(op, terms, at, middle, to), at[middle]);
    }

    void advance() { m_tok = m_lexer.next(); }

    void expectSymbol(const char16_t* symbol)
    {
        if (!isSymbol(m_tok, symbol))
            throw ParseFailure { m_tok.position,
                QStringLiteral("se esperaba ") + shown(QString::fromUtf16(symbol)) };
        advance();
    }

    void expectWord(const char16_t* word)
    {
        if (!isWord(m_tok, word))
            throw ParseFailure { m_tok.position,
                QStringLiteral("se esperaba ") + shown(QString::fromUtf16(word)) };
        advance();
    }

    FormulaNodePtr expression()
    {
        const Nesting nesting(*this, m_tok.position);
        if (isWord(m_tok, u"if")) {
            const int at = m_tok.position;
            advance();
            FormulaNodePtr condition = expression();
            expectWord(u"then");
            FormulaNodePtr then = expression();
            FormulaNodePtr otherwise;
            if (isWord(m_tok, u"else")) {
                advance();
                otherwise = expression();
            }
            return checked(FormulaNode::ifThenElse(condition, then, otherwise, at));
        }
        return operation(OrLevel);
    }

    // The operators from the loosest binding up; Not and the ranges sit among them.
    enum Level
    {
        OrLevel = 1, // Or Xor
        AndLevel,
        NotLevel,
        CompareLevel, // = <> < <= > >= In Like StartsWith: one to an operand
        RangeLevel, // a to b, UpTo b, UpFrom a: one to an operand
        ConcatLevel, // &
        AddLevel, // + -
        ModLevel,
        IntDivideLevel, // '\'
        MultiplyLevel, // * /
        PowerLevel, // ^, from the right
    };

    struct Operator
    {
        FormulaOp op = FormulaOp::None;
        int level = 0;
    };

    static Operator binaryOperator(const Token& t)
    {
        static const struct
        {
            Tok kind;
            const char16_t* text;
            Operator op;
        } operators[] = {
            { Tok::Word, u"or", { FormulaOp::Or, OrLevel } },
            { Tok::Word, u"xor", { FormulaOp::Xor, OrLevel } },
            { Tok::Word, u"and", { FormulaOp::And, AndLevel } },
            { Tok::Symbol, u"=", { FormulaOp::Equal, CompareLevel } },
            { Tok::Symbol, u"<>", { FormulaOp::NotEqual, CompareLevel } },
            { Tok::Symbol, u"<", { FormulaOp::Less, CompareLevel } },
            { Tok::Symbol, u"<=", { FormulaOp::LessEqual, CompareLevel } },
            { Tok::Symbol, u">", { FormulaOp::Greater, CompareLevel } },
            { Tok::Symbol, u">=", { FormulaOp::GreaterEqual, CompareLevel } },
            { Tok::Word, u"in", { FormulaOp::In, CompareLevel } },
            { Tok::Word, u"like", { FormulaOp::Like, CompareLevel } },
            { Tok::Word, u"startswith", { FormulaOp::StartsWith, CompareLevel } },
            { Tok::Symbol, u"&", { FormulaOp::Concat, ConcatLevel } },
            { Tok::Symbol, u"+", { FormulaOp::Add, AddLevel } },
            { Tok::Symbol, u"-", { FormulaOp::Subtract, AddLevel } },
            { Tok::Word, u"mod", { FormulaOp::Modulo, ModLevel } },
            { Tok::Symbol, u"\\", { FormulaOp::IntDivide, IntDivideLevel } },
            { Tok::Symbol, u"*", { FormulaOp::Multiply, MultiplyLevel } },
            { Tok::Symbol, u"/", { FormulaOp::Divide, MultiplyLevel } },
            { Tok::Symbol, u"^", { FormulaOp::Power, PowerLevel } },
        };
        for (const auto& o : operators) {
            if (o.kind == Tok::Word ? isWord(t, o.text) : isSymbol(t, o.text))
                return o.op;
        }
        return {};
    }

    // The operations binding at `lowest` or tighter, by precedence climbing: a run of operators
    // of one level is gathered in a loop, and the parser goes one call deeper only for an operand
    // that binds tighter, so a long chain costs no depth and a parenthesis costs a few calls.
    FormulaNodePtr operation(int lowest)
    {
        // Operators at `ceiling` or above cannot follow what has been read: a comparison or a
        // range takes one operator, Not takes the comparison inside it.
        int ceiling = PowerLevel + 1;
        FormulaNodePtr left;
        if (lowest <= NotLevel && isWord(m_tok, u"not")) {
            const int at = m_tok.position;
            const Nesting nesting(*this, at);
            advance();
            left = checked(FormulaNode::unary(FormulaOp::Not, operation(NotLevel), at));
            ceiling = NotLevel;
        } else if (lowest <= RangeLevel
            && (isWord(m_tok, u"upto") || isWord(m_tok, u"upto_") || isWord(m_tok, u"upfrom")
                || isWord(m_tok, u"upfrom_"))) {
            const bool upTo = m_tok.text.startsWith(u"upto", Qt::CaseInsensitive);
            const bool open = m_tok.text.endsWith(u'_');
            const int at = m_tok.position;
            advance();
            FormulaNodePtr bound = operation(ConcatLevel);
            RangeFlags flags;
            if (upTo)
                flags.includeHigh = !open;
            else
                flags.includeLow = !open;
            left = checked(upTo ? FormulaNode::range(nullptr, bound, flags, at)
                                : FormulaNode::range(bound, nullptr, flags, at));
            ceiling = RangeLevel;
        } else {
            left = unary();
        }
        while (true) {
            if (lowest <= RangeLevel && RangeLevel < ceiling
                && (isWord(m_tok, u"to") || isWord(m_tok, u"_to") || isWord(m_tok, u"to_")
                    || isWord(m_tok, u"_to_"))) {
                RangeFlags flags;
                flags.includeLow = !m_tok.text.startsWith(u'_');
                flags.includeHigh = !m_tok.text.endsWith(u'_');
                const int at = m_tok.position;
                advance();
                left = checked(FormulaNode::range(left, operation(ConcatLevel), flags, at));
                ceiling = RangeLevel;
                continue;
            }
            const Operator o = binaryOperator(m_tok);
            if (o.op == FormulaOp::None || o.level < lowest || o.level >= ceiling)
                return left;
            if (o.level == OrLevel || o.level == AndLevel) {
                left = connectorRun(std::move(left), o.level);
                ceiling = o.level + 1;
                continue;
            }
            const int at = m_tok.position;
            if (o.level == PowerLevel) {
                // 2 ^ 3 ^ 2 is 2 ^ 9: each power nests in the one before.
                const Nesting nesting(*this, at);
                advance();
                left = checked(FormulaNode::binary(o.op, left, operation(PowerLevel), at));
                continue;
            }
            advance();
            left = checked(FormulaNode::binary(o.op, left, operation(o.level + 1), at));
            ceiling = o.level == CompareLevel ? CompareLevel : o.level + 1;
        }
    }

    // A run of And (or of Or and Xor) after its first term. Runs of the same connector are
    // gathered and built balanced; Or and Xor bind alike, so a change of connector closes the
    // run so far as the left operand of the next.
    FormulaNodePtr connectorRun(FormulaNodePtr first, int level)
    {
        std::vector<FormulaNodePtr> terms { std::move(first) };
        std::vector<int> at { 0 };
        FormulaOp op = FormulaOp::None;
        while (true) {
            const Operator o = binaryOperator(m_tok);
            if (o.level != level)
                break;
            if (op != FormulaOp::None && o.op != op) {
                terms = { checked(chain(op, terms, at, 0, terms.size())) };
                at = { 0 };
            }
            op = o.op;
            at.push_back(m_tok.position);
            advance();
            terms.push_back(operation(level + 1));
        }
        return checked(chain(op, terms, at, 0, terms.size()));
    }

    FormulaNodePtr unary()
    {
        if (isSymbol(m_tok, u"-")) {
            const int at = m_tok.position;
            const Nesting nesting(*this, at);
            advance();
            FormulaNodePtr operand = unary();
            // Fold "-5" into a constant so that "x >= -5" is still field op constant.
            if (operand->kind() == FormulaNodeKind::Constant) {
                const Value& v = operand->constant();
                if (v.type() == ValueType::Int64)
                    return FormulaNode::constant(Value(-v.toLongLong()), at);
                if (v.type() == ValueType::Double)
                    return FormulaNode::constant(Value(-v.toDouble()), at);
            }
            return checked(FormulaNode::unary(FormulaOp::Negate, operand, at));
        }
        if (isSymbol(m_tok, u"+")) {
            const Nesting nesting(*this, m_tok.position);
            advance();
            return unary();
        }
        return postfix();
    }

    FormulaNodePtr postfix()
    {
        FormulaNodePtr base = primary();
        while (isSymbol(m_tok, u"[")) {
            const int at = m_tok.position;
            const Nesting nesting(*this, at);
            advance();
            FormulaNodePtr index = operation(RangeLevel);
            expectSymbol(u"]");
            base = checked(FormulaNode::binary(FormulaOp::Subscript, base, index, at));
        }
        return base;
    }

    FormulaNodePtr primary()
    {
        const Token t = m_tok;
        switch (t.kind) {
        case Tok::End:
            throw ParseFailure { t.position, QStringLiteral("falta un valor al final") };
        case Tok::Number:
            advance();
            return FormulaNode::constant(t.number, t.position);
        case Tok::Text:
            advance();
            return FormulaNode::constant(Value(t.text), t.position);
        case Tok::Field:
            advance();
            return FormulaNode::field(t.table, t.field, t.position);
        case Tok::FormulaRef:
            advance();
            return FormulaNode::formulaRef(t.text, t.position);
        case Tok::Symbol:
            if (t.text == u"(") {
                advance();
                FormulaNodePtr e = expression();
                expectSymbol(u")");
                return e;
            }
            if (t.text == u"[") {
                const Nesting nesting(*this, t.position);
                advance();
                std::vector<FormulaNodePtr> items;
                if (!isSymbol(m_tok, u"]")) {
                    items.push_back(operation(RangeLevel));
                    while (isSymbol(m_tok, u",")) {
                        advance();
                        items.push_back(operation(RangeLevel));
                    }
                }
                expectSymbol(u"]");
                return checked(FormulaNode::array(std::move(items), t.position));
            }
            throw ParseFailure { t.position,
                QStringLiteral("falta un valor antes de ") + shown(t.text) };
        case Tok::Word:
            break;
        }
        if (isWord(t, u"true") || isWord(t, u"false")) {
            advance();
            return FormulaNode::constant(Value(isWord(t, u"true")), t.position);
        }
        if (isReserved(t))
            throw ParseFailure { t.position,
                QStringLiteral("falta un valor antes de ") + shown(t.text) };
        const auto info = formulaFunctionByName(t.text);
        if (!info)
            throw ParseFailure { t.position,
                QStringLiteral("función desconocida ") + shown(t.text) };
        advance();
        std::vector<FormulaNodePtr> arguments;
        if (isSymbol(m_tok, u"(")) {
            advance();
            if (!isSymbol(m_tok, u")")) {
                arguments.push_back(expression());
                while (isSymbol(m_tok, u",")) {
                    advance();
                    arguments.push_back(expression());
                }
            }
            expectSymbol(u")");
        }
        const int count = int(arguments.size());
        if (count < info->minArguments || count > info->maxArguments) {
            QString expected = info->minArguments == info->maxArguments
                ? QString::number(info->minArguments)
                : QStringLiteral("%1 a %2").arg(info->minArguments).arg(info->maxArguments);
            throw ParseFailure { t.position,
                QStringLiteral("%1 lleva %2 argumento(s), no %3")
                    .arg(shown(formulaFunctionName(info->function)), expected)
                    .arg(count) };
        }
        return checked(foldDate(info->function, std::move(arguments), t.position));
    }

    // Date(y,m,d) and DateTime(y,m,d,h,n,s) of whole-number constants become date constants.
    // "Date(0,0,0)", the date literal of a blank date field, becomes Null, the engine's "no
    // date", which no comparison selects; any other date that does not exist (30 February,
    // month 13) is a mistake in the formula.
    FormulaNodePtr foldDate(
        FormulaFunction function, std::vector<FormulaNodePtr> arguments, int position)
    {
        const bool isDate = function == FormulaFunction::Date;
        if ((isDate && arguments.size() == 3)
            || (function == FormulaFunction::DateTime && arguments.size() >= 3)) {
            std::vector<qint64> parts;
            for (const auto& a : arguments) {
                if (a->kind() != FormulaNodeKind::Constant
                    || a->constant().type() != ValueType::Int64)
                    return FormulaNode::call(function, std::move(arguments), position);
                parts.push_back(a->constant().toLongLong());
            }
            const auto dt = dateFromParts(parts);
            if (!dt && std::any_of(parts.begin(), parts.end(), [](qint64 p) { return p != 0; }))
                throw ParseFailure {
                    position,
                    QStringLiteral("la fecha %1 no existe")
                        .arg(shown(
                            QStringLiteral("%1-%2-%3").arg(parts[0]).arg(parts[1]).arg(parts[2])))
                };
            return FormulaNode::constant(dt ? Value(*dt) : Value::null(), position);
        }
        return FormulaNode::call(function, std::move(arguments), position);
    }

    Lexer m_lexer;
    Token m_tok;
    int m_nesting = 0;
    std::uintptr_t m_stackBase = 0; // where the parse began; the stack grows down from it
    const std::uintptr_t m_stackAllowance = parserStackAllowance();
};

} // namespace

QString FormulaError::message() const
{
    if (line > 1)
        return QStringLiteral("Error en la fórmula «%1», línea %2, columna %3: %4")
            .arg(formulaName)
            .arg(line)
            .arg(column)
            .arg(text);
    return QStringLiteral("Error en la fórmula «%1», columna %2: %3")
        .arg(formulaName)
        .arg(column)
        .arg(text);
}

FormulaParseResult FormulaParser::parse(const QString& formulaName, const QString& text)
{
    FormulaParseResult result;
    try {
        Parser parser(text);
        result.tree = parser.formula();
    } catch (const ParseFailure& failure) {
        result.tree = nullptr;
        result.error = FormulaParser::errorAt(formulaName, text, failure.position, failure.text);
    }
    return result;
}

FormulaError FormulaParser::errorAt(
    const QString& formulaName, const QString& text, int position, const QString& what)
{
    FormulaError error;
    error.formulaName = formulaName;
    error.text = what;
    const int pos = std::clamp<int>(position, 0, int(text.size()));
    const int lineStart = pos > 0 ? int(text.lastIndexOf(u'\n', pos - 1)) + 1 : 0;
    error.line = int(QStringView(text).left(pos).count(u'\n')) + 1;
    error.column = pos - lineStart + 1;
    return error;
}
