#include "reportengine/SelectionPlanner.h"

#include <QDateTime>

#include "platform/AdoTypes.h"
#include "platform/RuntimeError.h"
#include "reportengine/FormulaContext.h"
#include "reportengine/FormulaEvaluator.h"
#include "reportengine/FormulaText.h"

namespace {

// The embedded database's text collation; it compares exactly as FormulaText does.
const QString kTextCollation = QStringLiteral(" COLLATE TEXTO");
const QString kLikeEscape = QStringLiteral(" ESCAPE '\\'");

struct Sql
{
    QString text;
    QList<Value> parameters;
};

struct Operand
{
    QString sql;
    ColumnKind kind = ColumnKind::Unknown;
    bool wrapped = false; // inside TrimLeft/TrimRight/Trim: IsNull of it is not IS NULL
};

// Evaluates constant sub-formulas at planning time; a record-dependent one never gets here.
class ConstantContext final : public FormulaContext
{
public:
    explicit ConstantContext(const FormulaContext* clock)
        : m_clock(clock)
    {
    }
    Value fieldValue(const FormulaNode& field) const override
    {
        throw RuntimeError(RuntimeError::InvalidCall, field.name());
    }
    QDateTime currentDateTime() const override
    {
        if (!m_clock)
            throw RuntimeError(RuntimeError::InvalidCall, QStringLiteral("CurrentDate"));
        return m_clock->currentDateTime();
    }

private:
    const FormulaContext* m_clock;
};

QString sqlOp(FormulaOp op)
{
    switch (op) {
    case FormulaOp::Equal:
        return QStringLiteral(" = ");
    case FormulaOp::NotEqual:
        return QStringLiteral(" <> ");
    case FormulaOp::Less:
        return QStringLiteral(" < ");
    case FormulaOp::LessEqual:
        return QStringLiteral(" <= ");
    case FormulaOp::Greater:
        return QStringLiteral(" > ");
    default:
        return QStringLiteral(" >= ");
    }
}

FormulaOp mirrored(FormulaOp op)
{
    switch (op) {
    case FormulaOp::Less:
        return FormulaOp::Greater;
    case FormulaOp::LessEqual:
        return FormulaOp::GreaterEqual;
    case FormulaOp::Greater:
        return FormulaOp::Less;
    case FormulaOp::GreaterEqual:
        return FormulaOp::LessEqual;
    default:
        return op;
    }
}

// Terms joined by one connector. SQLite nests "a OR b OR c" one level per term and refuses more
// than a thousand levels, so a long chain is grouped in halves: the depth grows with its log.
QString joinShallow(const QStringList& parts, const QString& connector)
{
    constexpr qsizetype kFlat = 64;
    if (parts.size() <= kFlat)
        return parts.join(connector);
    const qsizetype half = parts.size() / 2;
    return u'(' + joinShallow(parts.mid(0, half), connector) + u')' + connector + u'('
        + joinShallow(parts.mid(half), connector) + u')';
}

const FormulaNode& nodeOf(const FormulaNode* n)
{
    return *n;
}

const FormulaNode& nodeOf(const FormulaNodePtr* n)
{
    return **n;
}

const FormulaNode* childOf(const FormulaNode* n, std::size_t i)
{
    return n->child(i);
}

const FormulaNodePtr* childOf(const FormulaNodePtr* n, std::size_t i)
{
    return &(*n)->childPtr(i);
}

// The terms joined by `op` ("a Or b Or c" gives a, b, c), in order, however the chain leans:
// gone through with a list of what is left to see, not one call inside the other.
template <typename Node, typename Take> void forEachTerm(Node root, FormulaOp op, Take take)
{
    std::vector<Node> pending { root };
    while (!pending.empty()) {
        const Node n = pending.back();
        pending.pop_back();
        if (nodeOf(n).kind() == FormulaNodeKind::Binary && nodeOf(n).op() == op) {
            pending.push_back(childOf(n, 1));
            pending.push_back(childOf(n, 0));
            continue;
        }
        take(n);
    }
}

class Planner
{
public:
    Planner(SqlDialect dialect, const ColumnResolver& resolve, const FormulaContext* clock)
        : m_dialect(dialect)
        , m_resolve(resolve)
        , m_clock(clock)
        , m_constants(clock)
    {
    }

    std::optional<Sql> push(const FormulaNode& n) const
    {
        switch (n.kind()) {
        case FormulaNodeKind::Binary:
            return pushBinary(n);
        case FormulaNodeKind::Unary:
            if (n.op() == FormulaOp::Not) {
                auto inner = push(*n.child(0));
                if (!inner)
                    return std::nullopt;
                inner->text = QStringLiteral("NOT (") + inner->text + u')';
                return inner;
            }
            return std::nullopt;
        case FormulaNodeKind::Field: {
            // A flag standing alone as a condition: true when not zero, unknown when Null.
            const auto op = operand(n);
            if (!op || (op->kind != ColumnKind::Boolean && op->kind != ColumnKind::Number))
                return std::nullopt;
            return Sql { op->sql + QStringLiteral(" <> 0"), {} };
        }
        case FormulaNodeKind::Call:
            if (n.function() == FormulaFunction::IsNull) {
                const auto op = operand(*n.child(0));
                if (!op || op->wrapped)
                    return std::nullopt;
                return Sql { op->sql + QStringLiteral(" IS NULL"), {} };
            }
            return std::nullopt;
        default:
            return std::nullopt;
        }
    }

private:
    std::optional<Operand> operand(const FormulaNode& n) const
    {
        if (n.kind() == FormulaNodeKind::Field) {
            const auto column = m_resolve(n.table(), n.field());
            if (!column || column->kind == ColumnKind::Unknown || column->expression.isEmpty())
                return std::nullopt;
            return Operand { column->expression, column->kind, false };
        }
        if (n.kind() != FormulaNodeKind::Call || n.children().size() != 1)
            return std::nullopt;
        auto inner = operand(*n.child(0));
        if (!inner)
            return std::nullopt;
        switch (n.function()) {
        case FormulaFunction::ToNumber:
            // Only a number column is its own ToNumber; on text the engine would fail where
            // the database converts silently.
            if (inner->kind != ColumnKind::Number)
                return std::nullopt;
            return inner;
        case FormulaFunction::TrimLeft:
        case FormulaFunction::TrimRight:
        case FormulaFunction::Trim: {
            if (inner->kind != ColumnKind::Text)
                return std::nullopt;
            const FormulaFunction f = n.function();
            QString fn;
            if (m_dialect == SqlDialect::SQLite)
                fn = f == FormulaFunction::TrimLeft   ? QStringLiteral("ltrim")
                    : f == FormulaFunction::TrimRight ? QStringLiteral("rtrim")
                                                      : QStringLiteral("trim");
            else if (m_dialect == SqlDialect::Oracle)
                fn = f == FormulaFunction::TrimLeft   ? QStringLiteral("LTRIM")
                    : f == FormulaFunction::TrimRight ? QStringLiteral("RTRIM")
                                                      : QStringLiteral("TRIM");
            else if (f == FormulaFunction::Trim)
                return Operand { QStringLiteral("LTRIM(RTRIM(") + inner->sql + QStringLiteral("))"),
                    ColumnKind::Text, true };
            else
                fn = f == FormulaFunction::TrimLeft ? QStringLiteral("LTRIM")
                                                    : QStringLiteral("RTRIM");
            // TrimLeft(TrimRight(x)) is one trim on every dialect.
            if (f == FormulaFunction::TrimLeft && inner->wrapped
                && inner->sql.startsWith(
                    fn == u"ltrim" ? QStringLiteral("rtrim(") : QStringLiteral("RTRIM("))) {
                const QString arg = inner->sql.mid(6, inner->sql.size() - 7);
                if (m_dialect == SqlDialect::SqlServer)
                    return Operand { QStringLiteral("LTRIM(RTRIM(") + arg + QStringLiteral("))"),
                        ColumnKind::Text, true };
                return Operand { (m_dialect == SqlDialect::SQLite ? QStringLiteral("trim(")
                                                                  : QStringLiteral("TRIM("))
                        + arg + u')',
                    ColumnKind::Text, true };
            }
            return Operand { fn + u'(' + inner->sql + u')', ColumnKind::Text, true };
        }
        default:
            return std::nullopt;
        }
    }

    std::optional<Value> constant(const FormulaNode& n) const
    {
        if (n.kind() == FormulaNodeKind::Constant)
            return n.constant();
        if (!n.isConstant(m_clock != nullptr))
            return std::nullopt;
        try {
            const FormulaValue v = FormulaEvaluator(m_constants, QString()).evaluate(n);
            if (!v.isScalar())
                return std::nullopt;
            return v.scalar();
        } catch (const RuntimeError&) {
            // Left to the rows, where the failure is reported as the engine reports it.
            return std::nullopt;
        }
    }

    // "x op ?" for one operand and one constant, when the database answers exactly as the
    // engine would; nullopt otherwise.
    std::optional<Sql> compare(const Operand& x, FormulaOp op, const Value& c) const
    {
        if (c.isNull() || c.isEmpty())
            return std::nullopt;
        switch (x.kind) {
        case ColumnKind::Text: {
            if (!c.isText())
                return std::nullopt;
            if (m_dialect == SqlDialect::Oracle) {
                // Oracle compares case and blanks; equality with a non-blank text is the one
                // form that can be made to agree.
                const QString value = FormulaText::trimmedRight(c.toString());
                if (op != FormulaOp::Equal || value.isEmpty())
                    return std::nullopt;
                return Sql { QStringLiteral("UPPER(") + rtrimmed(x)
                        + QStringLiteral(") = UPPER(?)"),
                    { Value(value) } };
            }
            return Sql { textColumn(x) + sqlOp(op) + u'?', { c } };
        }
        case ColumnKind::Number:
            if (c.isNumeric())
                return Sql { x.sql + sqlOp(op) + u'?', { numberParameter(c) } };
            // A quoted number against a number column compares as that number, on the rows too.
            if (c.isText()) {
                if (const auto n = FormulaText::numberFromText(c.toString()))
                    return Sql { x.sql + sqlOp(op) + u'?', { *n } };
            }
            return std::nullopt;
        case ColumnKind::Boolean: {
            // Flags may be stored as 0 and -1 or 1: only "is zero" and "is not zero" are safe.
            if (c.type() != ValueType::Boolean
                || (op != FormulaOp::Equal && op != FormulaOp::NotEqual))
                return std::nullopt;
            const bool wantTrue = c.toBool() == (op == FormulaOp::Equal);
            return Sql { x.sql + (wantTrue ? QStringLiteral(" <> 0") : QStringLiteral(" = 0")),
                {} };
        }
        case ColumnKind::Date:
            if (c.type() != ValueType::Date)
                return std::nullopt;
            return Sql { dateColumn(x) + sqlOp(op) + dateParameter(), { c } };
        case ColumnKind::Unknown:
            break;
        }
        return std::nullopt;
    }

    QString textColumn(const Operand& x) const
    {
        return m_dialect == SqlDialect::SQLite ? x.sql + kTextCollation : x.sql;
    }

    QString rtrimmed(const Operand& x) const
    {
        return x.wrapped ? x.sql : QStringLiteral("RTRIM(") + x.sql + u')';
    }

    QString dateColumn(const Operand& x) const
    {
        return m_dialect == SqlDialect::SQLite ? QStringLiteral("julianday(") + x.sql + u')'
                                               : x.sql;
    }

    QString dateParameter() const
    {
        return m_dialect == SqlDialect::SQLite ? QStringLiteral("julianday(?)")
                                               : QStringLiteral("?");
    }

    static Value numberParameter(const Value& c)
    {
        return c.type() == ValueType::Currency ? Value(c.toDouble()) : c;
    }

    std::optional<Sql> pushBinary(const FormulaNode& n) const
    {
        const FormulaOp op = n.op();
        if (op == FormulaOp::And || op == FormulaOp::Or) {
            // A chain of the same connector is written flat: a printing rule may join hundreds
            // of items with Or, and the database limits how deep an expression may nest.
            std::vector<const FormulaNode*> terms;
            flatten(n, op, terms);
            Sql out;
            QStringList parts;
            for (const FormulaNode* term : terms) {
                auto sql = push(*term);
                if (!sql)
                    return std::nullopt;
                parts << sql->text;
                out.parameters += sql->parameters;
            }
            out.text = u'('
                + joinShallow(
                    parts, op == FormulaOp::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "))
                + u')';
            return out;
        }
        if (isComparison(op)) {
            if (auto x = operand(*n.child(0))) {
                if (const auto c = constant(*n.child(1)))
                    return compare(*x, op, *c);
                return std::nullopt;
            }
            if (auto x = operand(*n.child(1))) {
                if (const auto c = constant(*n.child(0)))
                    return compare(*x, mirrored(op), *c);
            }
            return std::nullopt;
        }
        if (op == FormulaOp::In)
            return pushIn(n);
        if (op == FormulaOp::Like || op == FormulaOp::StartsWith)
            return pushLike(n);
        return std::nullopt;
    }

    static void flatten(const FormulaNode& n, FormulaOp op, std::vector<const FormulaNode*>& out)
    {
        forEachTerm(&n, op, [&out](const FormulaNode* term) { out.push_back(term); });
    }

    std::optional<Sql> pushIn(const FormulaNode& n) const
    {
        const auto x = operand(*n.child(0));
        if (!x)
            return std::nullopt;
        const FormulaNode& set = *n.child(1);
        if (set.kind() == FormulaNodeKind::Range) {
            Sql out;
            QStringList parts;
            const RangeFlags flags = set.rangeFlags();
            const struct
            {
                const FormulaNode* bound;
                FormulaOp op;
            } ends[] = {
                { set.child(0), flags.includeLow ? FormulaOp::GreaterEqual : FormulaOp::Greater },
                { set.child(1), flags.includeHigh ? FormulaOp::LessEqual : FormulaOp::Less },
            };
            for (const auto& end : ends) {
                if (!end.bound)
                    continue;
                const auto c = constant(*end.bound);
                if (!c)
                    return std::nullopt;
                if (x->kind == ColumnKind::Text && m_dialect == SqlDialect::Oracle)
                    return std::nullopt;
                auto part = compare(*x, end.op, *c);
                if (!part)
                    return std::nullopt;
                parts << part->text;
                out.parameters += part->parameters;
            }
            if (parts.isEmpty())
                return std::nullopt;
            out.text = parts.size() == 1 ? parts.first()
                                         : u'(' + parts.join(QStringLiteral(" AND ")) + u')';
            return out;
        }
        if (set.kind() != FormulaNodeKind::Array || set.children().empty())
            return std::nullopt;
        if (x->kind == ColumnKind::Boolean)
            return std::nullopt;
        Sql out;
        QStringList marks;
        for (const auto& item : set.children()) {
            const auto c = constant(*item);
            if (!c)
                return std::nullopt;
            // Each item must be a comparison the database answers as the engine does.
            const auto single = compare(*x, FormulaOp::Equal, *c);
            if (!single)
                return std::nullopt;
            out.parameters += single->parameters;
            marks << (m_dialect == SqlDialect::Oracle && x->kind == ColumnKind::Text
                    ? QStringLiteral("UPPER(?)")
                    : x->kind == ColumnKind::Date ? dateParameter()
                                                  : QStringLiteral("?"));
        }
        QString column = x->kind == ColumnKind::Text
            ? (m_dialect == SqlDialect::Oracle ? QStringLiteral("UPPER(") + rtrimmed(*x) + u')'
                                               : textColumn(*x))
            : x->kind == ColumnKind::Date ? dateColumn(*x)
                                          : x->sql;
        out.text = column + QStringLiteral(" IN (") + marks.join(QStringLiteral(", ")) + u')';
        return out;
    }

    std::optional<Sql> pushLike(const FormulaNode& n) const
    {
        // Oracle's LIKE sees case and blanks: patterns stay with the engine there.
        if (m_dialect == SqlDialect::Oracle)
            return std::nullopt;
        const auto x = operand(*n.child(0));
        if (!x || x->kind != ColumnKind::Text)
            return std::nullopt;
        QList<Value> patterns;
        const FormulaNode& right = *n.child(1);
        if (right.kind() == FormulaNodeKind::Array) {
            for (const auto& item : right.children()) {
                const auto c = constant(*item);
                if (!c || !c->isText())
                    return std::nullopt;
                patterns << *c;
            }
        } else {
            const auto c = constant(right);
            if (!c || !c->isText())
                return std::nullopt;
            patterns << *c;
        }
        if (patterns.isEmpty())
            return std::nullopt;
        const bool prefix = n.op() == FormulaOp::StartsWith;
        Sql out;
        QStringList parts;
        for (const Value& p : patterns) {
            parts << x->sql + QStringLiteral(" LIKE ?") + kLikeEscape;
            out.parameters << Value(sqlPattern(p.toString(), prefix));
        }
        out.text
            = parts.size() == 1 ? parts.first() : u'(' + parts.join(QStringLiteral(" OR ")) + u')';
        return out;
    }

    QString sqlPattern(const QString& pattern, bool prefix) const
    {
        QString out;
        out.reserve(pattern.size() + 4);
        for (const QChar c : pattern) {
            if (c == u'\\' || c == u'%' || c == u'_'
                || (c == u'[' && m_dialect == SqlDialect::SqlServer)) {
                out += u'\\';
                out += c;
            } else if (!prefix && c == u'*') {
                out += u'%';
            } else if (!prefix && c == u'?') {
                out += u'_';
            } else {
                out += c;
            }
        }
        if (prefix)
            out += u'%';
        return out;
    }

    SqlDialect m_dialect;
    const ColumnResolver& m_resolve;
    const FormulaContext* m_clock;
    ConstantContext m_constants;
};

void splitConjuncts(const FormulaNodePtr& n, std::vector<FormulaNodePtr>& out)
{
    forEachTerm(&n, FormulaOp::And, [&out](const FormulaNodePtr* term) { out.push_back(*term); });
}

QString literal(const Value& v, SqlDialect dialect)
{
    switch (v.type()) {
    case ValueType::Empty:
    case ValueType::Null:
        return QStringLiteral("NULL");
    case ValueType::Boolean:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case ValueType::Text:
        return FormulaText::quoted(v.toString());
    case ValueType::Date: {
        const QDateTime dt = v.toDateTime();
        if (dialect == SqlDialect::Oracle)
            return QStringLiteral("TIMESTAMP '")
                + dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\'';
        if (dialect == SqlDialect::SqlServer)
            return u'\'' + dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + u'\'';
        return u'\'' + dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\'';
    }
    default:
        return v.toString();
    }
}

} // namespace

SelectionPlan SelectionPlanner::plan(const FormulaNodePtr& selection, SqlDialect dialect,
    const ColumnResolver& resolve, const FormulaContext* constants)
{
    SelectionPlan result;
    if (!selection)
        return result;
    std::vector<FormulaNodePtr> conjuncts;
    splitConjuncts(selection, conjuncts);
    Planner planner(dialect, resolve, constants);
    QStringList pushed;
    FormulaNodePtr residual;
    for (const auto& term : conjuncts) {
        if (auto sql = planner.push(*term)) {
            pushed << sql->text;
            result.parameters += sql->parameters;
        } else {
            residual = residual
                ? FormulaNode::binary(FormulaOp::And, residual, term, term->position())
                : term;
        }
    }
    result.where = joinShallow(pushed, QStringLiteral(" AND "));
    result.residual = residual;
    return result;
}

OrderPlan SelectionPlanner::orderBy(const QStringList& groupFields, const QStringList& sortFields,
    SqlDialect dialect, const ColumnResolver& resolve)
{
    OrderPlan plan;
    QStringList keys;
    QStringList seen;
    for (const QString& raw : groupFields + sortFields) {
        QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        bool descending = false;
        if (entry.startsWith(u'+') || entry.startsWith(u'-')) {
            descending = entry.startsWith(u'-');
            entry = entry.mid(1).trimmed();
        }
        if (!plan.unresolved.isEmpty()) {
            // Once a key cannot be ordered by the statement, the later ones cannot either.
            plan.unresolved << raw.trimmed();
            continue;
        }
        std::optional<SqlColumn> column;
        if (entry.startsWith(u'{') && entry.endsWith(u'}') && !entry.startsWith(u"{@")) {
            const QString inside = entry.mid(1, entry.size() - 2).trimmed();
            const int dot = inside.lastIndexOf(u'.');
            if (dot > 0)
                column = resolve(inside.left(dot).trimmed(), inside.mid(dot + 1).trimmed());
        }
        if (!column || column->expression.isEmpty()) {
            plan.unresolved << raw.trimmed();
            continue;
        }
        if (seen.contains(column->expression, Qt::CaseInsensitive))
            continue;
        seen << column->expression;
        QString key = column->expression;
        if (dialect == SqlDialect::SQLite && column->kind == ColumnKind::Text)
            key += kTextCollation;
        if (descending)
            key += QStringLiteral(" DESC");
        // Every dialect puts Nulls first going up, as the suite's server does.
        if (dialect == SqlDialect::Oracle)
            key += descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
        keys << key;
    }
    plan.clause = keys.join(QStringLiteral(", "));
    return plan;
}

ColumnKind columnKindForAdoType(int adoType)
{
    switch (adoTypeClass(adoType)) {
    case AdoTypeClass::Boolean:
        return ColumnKind::Boolean;
    case AdoTypeClass::Date:
        return ColumnKind::Date;
    case AdoTypeClass::Text:
        return ColumnKind::Text;
    case AdoTypeClass::Number:
        return ColumnKind::Number;
    case AdoTypeClass::Other:
        break;
    }
    return ColumnKind::Unknown;
}

QString SelectionPlanner::sqlLogLine(
    const QString& sql, const QList<Value>& parameters, SqlDialect dialect)
{
    return QStringLiteral("SQL: ") + withLiterals(sql, parameters, dialect);
}

QString SelectionPlanner::withLiterals(
    const QString& sql, const QList<Value>& parameters, SqlDialect dialect)
{
    // A '?' is a parameter only outside texts, quoted names ("x", [x], `x`) and comments: an
    // apostrophe inside a comment or a quoted name must not flip the text state, or every later
    // parameter would stay unreplaced and the statement would select nothing.
    QString out;
    out.reserve(sql.size() + 16 * parameters.size());
    qsizetype next = 0;
    const qsizetype n = sql.size();
    auto copyThrough = [&](qsizetype from, qsizetype to) {
        out += QStringView(sql).mid(from, std::min(to, n) - from);
        return std::min(to, n);
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        const QChar after = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype end = i + 1;
            while (end < n) {
                if (sql.at(end) == close) {
                    // A doubled closing quote stays inside.
                    if (end + 1 < n && sql.at(end + 1) == close && close != u']') {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            i = copyThrough(i, end + 1);
        } else if (c == u'-' && after == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            i = copyThrough(i, end < 0 ? n : end);
        } else if (c == u'/' && after == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = copyThrough(i, end < 0 ? n : end + 2);
        } else if (c == u'?' && next < parameters.size()) {
            out += literal(parameters.at(next++), dialect);
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
