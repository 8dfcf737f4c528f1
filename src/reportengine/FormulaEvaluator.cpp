#include "reportengine/FormulaEvaluator.h"

#include <cmath>

#include <QLocale>
#include <QVarLengthArray>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaFunctions.h"
#include "reportengine/FormulaText.h"

using FormulaFunctions::Args;
using FormulaFunctions::Arguments;
using FormulaFunctions::currencyFromDouble;
using FormulaFunctions::defaultDecimals;
using FormulaFunctions::DivisionByZero;
using FormulaFunctions::Function;
using FormulaFunctions::isNullish;
using FormulaFunctions::NumKind;
using FormulaFunctions::numKind;
using FormulaFunctions::textAsDate;

namespace {

// Whole numbers beyond this do not fit a Currency amount.
constexpr qint64 kCurrencyWholeLimit = 900'000'000'000'000;

Value fromDouble(double d)
{
    return Value(d);
}

// The smallest whole number has no positive counterpart: it goes on as a double.
Value negated(qint64 x)
{
    qint64 out = 0;
    if (!__builtin_sub_overflow(qint64(0), x, &out))
        return Value(out);
    return Value(-double(x));
}

Currency toCurrencyExact(const Value& v)
{
    return numKind(v) == NumKind::Cur ? v.toCurrency() : Currency::fromInteger(v.toLongLong());
}

// Three-valued truth of a value: nullopt for Null.
std::optional<bool> truthOf(const Value& v, bool& ok)
{
    ok = true;
    if (isNullish(v))
        return std::nullopt;
    if (v.type() == ValueType::Boolean)
        return v.toBool();
    if (numKind(v) != NumKind::None)
        return v.toDouble() != 0;
    ok = false;
    return std::nullopt;
}

} // namespace

FormulaEvaluator::FormulaEvaluator(const FormulaContext& context, QString formulaName)
    : m_context(context)
    , m_name(std::move(formulaName))
{
}

void FormulaEvaluator::fail(int number, const QString& text) const
{
    FormulaFunctions::fail(m_name, number, text);
}

bool FormulaEvaluator::selects(const FormulaNode& node) const
{
    const FormulaValue v = evaluate(node);
    bool ok = false;
    const std::optional<bool> t = v.isScalar() ? truthOf(v.scalar(), ok) : std::nullopt;
    if (!ok)
        fail(RuntimeError::TypeMismatch, QStringLiteral("la selección no da Verdadero o Falso"));
    return t.value_or(false);
}

Value FormulaEvaluator::evaluateScalar(const FormulaNode& node) const
{
    // The common nodes go straight to their value, without the array-or-range wrapper: a
    // selection runs on every row of a list.
    switch (node.kind()) {
    case FormulaNodeKind::Constant:
        return node.constant();
    case FormulaNodeKind::Field: {
        Value v = m_context.fieldValue(node);
        return v.isEmpty() ? Value::null() : v;
    }
    case FormulaNodeKind::Binary:
        return evaluateChain(node);
    case FormulaNodeKind::Call:
        return evaluateCall(node);
    default:
        break;
    }
    FormulaValue v = evaluate(node);
    if (!v.isScalar())
        fail(RuntimeError::TypeMismatch, QStringLiteral("se esperaba un valor y no una lista"));
    if (v.scalar().isEmpty())
        return Value::null();
    return v.scalar();
}

FormulaValue FormulaEvaluator::evaluate(const FormulaNode& node) const
{
    switch (node.kind()) {
    case FormulaNodeKind::Constant:
    case FormulaNodeKind::Field:
        return evaluateScalar(node);
    case FormulaNodeKind::FormulaRef:
        return m_context.formulaRefValue(node);
    case FormulaNodeKind::Array: {
        QList<Value> items;
        for (const auto& c : node.children()) {
            const FormulaValue v = evaluate(*c);
            if (v.kind() == FormulaValue::Kind::Array)
                items += v.items();
            else
                items << evaluateScalar(*c);
        }
        return FormulaValue::array(std::move(items));
    }
    case FormulaNodeKind::Range: {
        FormulaRange r;
        r.flags = node.rangeFlags();
        if (node.child(0))
            r.low = evaluateScalar(*node.child(0));
        if (node.child(1))
            r.high = evaluateScalar(*node.child(1));
        return FormulaValue::range(std::move(r));
    }
    case FormulaNodeKind::Unary: {
        const Value v = evaluateScalar(*node.child(0));
        if (isNullish(v))
            return Value::null();
        if (node.op() == FormulaOp::Not) {
            bool ok = false;
            const auto t = truthOf(v, ok);
            if (!ok)
                fail(RuntimeError::TypeMismatch, QStringLiteral("Not necesita Verdadero o Falso"));
            return Value(!*t);
        }
        switch (numKind(v)) {
        case NumKind::Int:
            return negated(v.toLongLong());
        case NumKind::Cur:
            return Value(-v.toCurrency());
        case NumKind::Dbl:
            return Value(-v.toDouble());
        case NumKind::None:
            break;
        }
        fail(RuntimeError::TypeMismatch, QStringLiteral("se necesita un número"));
    }
    case FormulaNodeKind::Binary:
        return evaluateChain(node);
    case FormulaNodeKind::If: {
        const Value c = evaluateScalar(*node.child(0));
        bool ok = false;
        const auto t = truthOf(c, ok);
        if (!ok)
            fail(RuntimeError::TypeMismatch, QStringLiteral("If necesita Verdadero o Falso"));
        if (t.value_or(false))
            return evaluate(*node.child(1));
        if (node.child(2))
            return evaluate(*node.child(2));
        // If without Else gives the empty value of the Then's kind: "", 0 or False.
        switch (node.child(1)->type()) {
        case FormulaType::Text:
            return Value(QString());
        case FormulaType::Number:
            return Value(qint64(0));
        case FormulaType::Boolean:
            return Value(false);
        default:
            return Value::null();
        }
    }
    case FormulaNodeKind::Call:
        return evaluateCall(node);
    }
    return Value::null();
}

namespace {

struct Comparison
{
    bool isNull = false;
    bool mismatch = false;
    int order = 0;
};

Comparison compareValues(const Value& a, const Value& b)
{
    Comparison r;
    if (isNullish(a) || isNullish(b)) {
        r.isNull = true;
        return r;
    }
    const ValueType ta = a.type();
    const ValueType tb = b.type();
    if (ta == ValueType::Text && tb == ValueType::Text) {
        r.order = FormulaText::compare(a.toString(), b.toString());
        return r;
    }
    const NumKind ka = numKind(a);
    const NumKind kb = numKind(b);
    // A Boolean against a number compares truth: the suite stores flags as 0 and -1 or 1.
    if (ta == ValueType::Boolean || tb == ValueType::Boolean) {
        if ((ta == ValueType::Boolean || ka != NumKind::None)
            && (tb == ValueType::Boolean || kb != NumKind::None)) {
            const bool ba = ta == ValueType::Boolean ? a.toBool() : a.toDouble() != 0;
            const bool bb = tb == ValueType::Boolean ? b.toBool() : b.toDouble() != 0;
            r.order = int(ba) - int(bb);
            return r;
        }
        r.mismatch = true;
        return r;
    }
    if (ka != NumKind::None && kb != NumKind::None) {
        if (ka == NumKind::Int && kb == NumKind::Int) {
            const qint64 x = a.toLongLong();
            const qint64 y = b.toLongLong();
            r.order = x < y ? -1 : (x > y ? 1 : 0);
        } else if (ka == NumKind::Dbl || kb == NumKind::Dbl
            || std::abs(a.toDouble()) > double(kCurrencyWholeLimit)
            || std::abs(b.toDouble()) > double(kCurrencyWholeLimit)) {
            const double x = a.toDouble();
            const double y = b.toDouble();
            r.order = x < y ? -1 : (x > y ? 1 : 0);
        } else {
            const Currency x = toCurrencyExact(a);
            const Currency y = toCurrencyExact(b);
            r.order = x < y ? -1 : (x > y ? 1 : 0);
        }
        return r;
    }
    // A number against a text: the text is read as a number, as the suite's server converts it
    // (the accounting entries compare the numeric period with a quoted value).
    if ((ka != NumKind::None && tb == ValueType::Text)
        || (kb != NumKind::None && ta == ValueType::Text)) {
        const auto x
            = ka != NumKind::None ? std::optional(a) : FormulaText::numberFromText(a.toString());
        const auto y
            = kb != NumKind::None ? std::optional(b) : FormulaText::numberFromText(b.toString());
        if (x && y)
            return compareValues(*x, *y);
        r.mismatch = true;
        return r;
    }
    if (ta == ValueType::Date || tb == ValueType::Date) {
        // The embedded database may hand a date column over as its ISO text.
        std::optional<QDateTime> x = ta == ValueType::Date ? std::optional(a.toDateTime())
            : ta == ValueType::Text                        ? textAsDate(a.toString())
                                                           : std::nullopt;
        std::optional<QDateTime> y = tb == ValueType::Date ? std::optional(b.toDateTime())
            : tb == ValueType::Text                        ? textAsDate(b.toString())
                                                           : std::nullopt;
        if (x && y) {
            r.order = *x < *y ? -1 : (*x > *y ? 1 : 0);
            return r;
        }
    }
    r.mismatch = true;
    return r;
}

QString typeName(const Value& v)
{
    switch (v.type()) {
    case ValueType::Boolean:
        return QStringLiteral("Verdadero/Falso");
    case ValueType::Text:
        return QStringLiteral("texto");
    case ValueType::Date:
        return QStringLiteral("fecha");
    default:
        return numKind(v) != NumKind::None ? QStringLiteral("número") : QStringLiteral("valor");
    }
}

// Whole numbers stay whole; a result past their range goes on as a double. The divisor is not 0.
Value wholeArithmetic(FormulaOp op, qint64 x, qint64 y)
{
    qint64 out = 0;
    switch (op) {
    case FormulaOp::Add:
        if (!__builtin_add_overflow(x, y, &out))
            return Value(out);
        return fromDouble(double(x) + double(y));
    case FormulaOp::Subtract:
        if (!__builtin_sub_overflow(x, y, &out))
            return Value(out);
        return fromDouble(double(x) - double(y));
    case FormulaOp::Multiply:
        if (!__builtin_mul_overflow(x, y, &out))
            return Value(out);
        return fromDouble(double(x) * double(y));
    case FormulaOp::Divide:
        if (y == -1)
            return negated(x);
        if (x % y == 0)
            return Value(x / y);
        return fromDouble(double(x) / double(y));
    case FormulaOp::IntDivide:
        if (y == -1)
            return negated(x);
        return Value(x / y);
    case FormulaOp::Modulo:
        return Value(y == -1 ? qint64(0) : x % y);
    default:
        return fromDouble(std::pow(double(x), double(y)));
    }
}

// The comparison of two values that can be compared; any other pair is refused, naming both.
Comparison comparable(const Value& a, const Value& b, const QString& formulaName)
{
    const Comparison c = compareValues(a, b);
    if (c.mismatch)
        FormulaFunctions::fail(formulaName, RuntimeError::TypeMismatch,
            QStringLiteral("no se puede comparar %1 con %2").arg(typeName(a), typeName(b)));
    return c;
}

} // namespace

Value FormulaEvaluator::evaluateChain(const FormulaNode& node) const
{
    // "a + b - c ..." leans left: its first operand is worked out, then each operator from the
    // innermost out, in a loop, so that a chain of any length takes no more stack than one.
    QVarLengthArray<const FormulaNode*, 16> chain;
    Value value = evaluateScalar(*operatorChain(node, chain));
    for (auto i = chain.size(); i-- > 0;) {
        const FormulaNode& n = *chain[i];
        value = n.op() == FormulaOp::Subscript ? evaluateSubscript(n, value)
                                               : evaluateBinary(n, value);
    }
    return value;
}

Value FormulaEvaluator::evaluateBinary(const FormulaNode& node, const Value& left) const
{
    switch (node.op()) {
    case FormulaOp::And:
    case FormulaOp::Or:
    case FormulaOp::Xor:
        return evaluateLogical(node, left);
    case FormulaOp::In:
    case FormulaOp::Like:
    case FormulaOp::StartsWith:
        return evaluateMembership(node, left);
    default:
        break;
    }
    const FormulaOp op = node.op();
    const Value right = evaluateScalar(*node.child(1));
    if (isComparison(op)) {
        const Comparison c = comparable(left, right, m_name);
        if (c.isNull)
            return Value::null();
        switch (op) {
        case FormulaOp::Equal:
            return Value(c.order == 0);
        case FormulaOp::NotEqual:
            return Value(c.order != 0);
        case FormulaOp::Less:
            return Value(c.order < 0);
        case FormulaOp::LessEqual:
            return Value(c.order <= 0);
        case FormulaOp::Greater:
            return Value(c.order > 0);
        default:
            return Value(c.order >= 0);
        }
    }
    if (op == FormulaOp::Concat) {
        if (isNullish(left) || isNullish(right))
            return Value::null();
        auto asText = [](const Value& v) {
            if (v.type() == ValueType::Text)
                return v.toString();
            if (numKind(v) != NumKind::None)
                return QLocale().toString(v.toDouble(), 'f', defaultDecimals(v));
            if (v.type() == ValueType::Date)
                return QLocale().toString(v.toDateTime().date(), QStringLiteral("dd/MM/yyyy"));
            return v.toString();
        };
        return Value(asText(left) + asText(right));
    }
    return arithmetic(op, left, right);
}

Value FormulaEvaluator::evaluateLogical(const FormulaNode& node, const Value& left) const
{
    const FormulaOp op = node.op();
    auto truth = [this](const Value& v) {
        bool ok = false;
        const auto t = truthOf(v, ok);
        if (!ok)
            fail(RuntimeError::TypeMismatch,
                QStringLiteral("And, Or y Xor necesitan Verdadero o Falso"));
        return t;
    };
    const auto leftTruth = truth(left);
    if (op == FormulaOp::And && leftTruth == false)
        return Value(false);
    if (op == FormulaOp::Or && leftTruth == true)
        return Value(true);
    const auto right = truth(evaluateScalar(*node.child(1)));
    if (op == FormulaOp::Xor) {
        if (!leftTruth || !right)
            return Value::null();
        return Value(*leftTruth != *right);
    }
    if (op == FormulaOp::And) {
        if (right == false)
            return Value(false);
        if (!leftTruth || !right)
            return Value::null();
        return Value(true);
    }
    if (right == true)
        return Value(true);
    if (!leftTruth || !right)
        return Value::null();
    return Value(false);
}

Value FormulaEvaluator::evaluateMembership(const FormulaNode& node, const Value& left) const
{
    const FormulaOp op = node.op();
    const FormulaValue right = evaluate(*node.child(1));
    if (isNullish(left))
        return Value::null();
    QList<Value> candidates;
    if (right.kind() == FormulaValue::Kind::Range) {
        if (op != FormulaOp::In)
            fail(RuntimeError::TypeMismatch, QStringLiteral("Like no admite un rango"));
        const FormulaRange& r = right.rangeValue();
        bool unknown = false;
        if (!r.low.isEmpty()) {
            const Comparison c = comparable(left, r.low, m_name);
            if (c.isNull)
                unknown = true;
            else if (c.order < 0 || (c.order == 0 && !r.flags.includeLow))
                return Value(false);
        }
        if (!r.high.isEmpty()) {
            const Comparison c = comparable(left, r.high, m_name);
            if (c.isNull)
                unknown = true;
            else if (c.order > 0 || (c.order == 0 && !r.flags.includeHigh))
                return Value(false);
        }
        return unknown ? Value::null() : Value(true);
    }
    if (right.kind() == FormulaValue::Kind::Array)
        candidates = right.items();
    else
        candidates << right.scalar();
    if (op == FormulaOp::In && right.kind() == FormulaValue::Kind::Scalar) {
        // "text in text" asks whether the first occurs inside the second.
        if (isNullish(right.scalar()))
            return Value::null();
        if (left.type() != ValueType::Text || right.scalar().type() != ValueType::Text)
            fail(RuntimeError::TypeMismatch, QStringLiteral("In necesita una lista"));
        return Value(right.scalar().toString().contains(left.toString(), Qt::CaseInsensitive));
    }
    const QString text = left.type() == ValueType::Text ? left.toString() : QString();
    if (op != FormulaOp::In && left.type() != ValueType::Text && numKind(left) == NumKind::None)
        fail(RuntimeError::TypeMismatch, QStringLiteral("Like necesita un texto"));
    const QString subject = left.type() == ValueType::Text ? text : left.toString();
    bool unknown = false;
    for (const Value& candidate : candidates) {
        if (isNullish(candidate)) {
            unknown = true;
            continue;
        }
        if (op == FormulaOp::In) {
            const Comparison c = comparable(left, candidate, m_name);
            if (c.order == 0)
                return Value(true);
        } else {
            if (candidate.type() != ValueType::Text)
                fail(RuntimeError::TypeMismatch, QStringLiteral("el patrón debe ser un texto"));
            const bool hit = op == FormulaOp::Like
                ? FormulaText::like(subject, candidate.toString())
                : FormulaText::startsWith(subject, candidate.toString());
            if (hit)
                return Value(true);
        }
    }
    return unknown ? Value::null() : Value(false);
}

Value FormulaEvaluator::arithmetic(FormulaOp op, const Value& left, const Value& right) const
{
    if (isNullish(left) || isNullish(right))
        return Value::null();
    const NumKind ka = numKind(left);
    const NumKind kb = numKind(right);
    if (op == FormulaOp::Add && left.type() == ValueType::Text && right.type() == ValueType::Text)
        return Value(left.toString() + right.toString());
    if (left.type() == ValueType::Date && (op == FormulaOp::Add || op == FormulaOp::Subtract)) {
        const QDateTime d = left.toDateTime();
        if (kb != NumKind::None) {
            const double days = op == FormulaOp::Add ? right.toDouble() : -right.toDouble();
            return Value(d.addSecs(qint64(std::llround(days * 86400.0))));
        }
        if (op == FormulaOp::Subtract && right.type() == ValueType::Date) {
            const qint64 secs = right.toDateTime().secsTo(d);
            if (secs % 86400 == 0)
                return Value(qint64(secs / 86400));
            return Value(double(secs) / 86400.0);
        }
    }
    if (right.type() == ValueType::Date && op == FormulaOp::Add && ka != NumKind::None)
        return Value(right.toDateTime().addSecs(qint64(std::llround(left.toDouble() * 86400.0))));
    if (ka == NumKind::None || kb == NumKind::None)
        fail(RuntimeError::TypeMismatch,
            QStringLiteral("no se puede operar %1 con %2").arg(typeName(left), typeName(right)));

    const bool divides
        = op == FormulaOp::Divide || op == FormulaOp::IntDivide || op == FormulaOp::Modulo;
    if (divides && right.toDouble() == 0)
        fail(DivisionByZero, QStringLiteral("División por cero"));

    if (ka == NumKind::Int && kb == NumKind::Int)
        return wholeArithmetic(op, left.toLongLong(), right.toLongLong());
    const bool currency = ka == NumKind::Cur || kb == NumKind::Cur;
    const auto exactWithMoney = [](NumKind k, const Value& v) {
        return k == NumKind::Cur
            || (k == NumKind::Int && v.toLongLong() > -kCurrencyWholeLimit
                && v.toLongLong() < kCurrencyWholeLimit);
    };
    if (currency && exactWithMoney(ka, left) && exactWithMoney(kb, right)) {
        // Money stays exact for sums, differences and products.
        const Currency x = toCurrencyExact(left);
        const Currency y = toCurrencyExact(right);
        switch (op) {
        case FormulaOp::Add:
            return Value(x + y);
        case FormulaOp::Subtract:
            return Value(x - y);
        case FormulaOp::Multiply:
            return Value(x * y);
        default:
            break;
        }
    }
    const double x = left.toDouble();
    const double y = right.toDouble();
    double out = 0;
    switch (op) {
    case FormulaOp::Add:
        out = x + y;
        break;
    case FormulaOp::Subtract:
        out = x - y;
        break;
    case FormulaOp::Multiply:
        out = x * y;
        break;
    case FormulaOp::Divide:
        out = x / y;
        // Money divided by a plain number is still money; money by money is a ratio.
        if (currency && !(ka == NumKind::Cur && kb == NumKind::Cur))
            return currencyFromDouble(out);
        return fromDouble(out);
    case FormulaOp::IntDivide:
        return Value(std::trunc(x / y));
    case FormulaOp::Modulo:
        out = std::fmod(x, y);
        break;
    default:
        return fromDouble(std::pow(x, y));
    }
    return currency ? currencyFromDouble(out) : fromDouble(out);
}

Value FormulaEvaluator::evaluateSubscript(const FormulaNode& node, const Value& base) const
{
    const FormulaValue index = evaluate(*node.child(1));
    if (isNullish(base))
        return Value::null();
    if (base.type() != ValueType::Text)
        fail(RuntimeError::TypeMismatch, QStringLiteral("solo un texto admite [ ]"));
    const QString s = base.toString();
    auto position = [this](const Value& v) {
        if (numKind(v) == NumKind::None)
            fail(RuntimeError::TypeMismatch, QStringLiteral("el índice debe ser un número"));
        return qint64(std::llround(v.toDouble()));
    };
    if (index.kind() == FormulaValue::Kind::Range) {
        const qint64 from = position(index.rangeValue().low);
        const qint64 to = position(index.rangeValue().high);
        if (from < 1 || to > s.size() || from > to + 1)
            fail(RuntimeError::SubscriptOutOfRange, QStringLiteral("índice fuera del texto"));
        return Value(s.mid(from - 1, to - from + 1));
    }
    const qint64 at = position(index.scalar());
    if (at < 1 || at > s.size())
        fail(RuntimeError::SubscriptOutOfRange, QStringLiteral("índice fuera del texto"));
    return Value(QString(s.at(at - 1)));
}

Value FormulaEvaluator::evaluateCall(const FormulaNode& node) const
{
    const FormulaFunction f = node.function();
    switch (f) {
    case FormulaFunction::CurrentDate:
        return Value(m_context.currentDateTime().date());
    case FormulaFunction::CurrentDateTime:
        return Value(m_context.currentDateTime());
    case FormulaFunction::PageNumber:
        return Value(m_context.pageNumber());
    case FormulaFunction::TotalPageCount:
        return Value(m_context.totalPageCount());
    case FormulaFunction::RecordNumber:
        return Value(m_context.recordNumber());
    case FormulaFunction::GroupNumber:
        return Value(m_context.groupNumber());
    case FormulaFunction::Sum:
    case FormulaFunction::Count:
    case FormulaFunction::Average:
    case FormulaFunction::Minimum:
    case FormulaFunction::Maximum:
    case FormulaFunction::DistinctCount: {
        const Value v = m_context.summaryValue(node);
        return v.isEmpty() ? Value::null() : v;
    }
    case FormulaFunction::IsNull:
        return Value(isNullish(evaluateScalar(*node.child(0))));
    case FormulaFunction::IIf: {
        bool ok = false;
        const auto t = truthOf(evaluateScalar(*node.child(0)), ok);
        if (!ok)
            fail(RuntimeError::TypeMismatch, QStringLiteral("IIf necesita Verdadero o Falso"));
        return evaluateScalar(*node.child(t.value_or(false) ? 1 : 2));
    }
    default:
        break;
    }

    // Functions take few arguments: they stay on the stack.
    Args args;
    args.reserve(qsizetype(node.children().size()));
    for (const auto& c : node.children())
        args.push_back(evaluateScalar(*c));
    for (const Value& a : args) {
        if (isNullish(a))
            return Value::null();
    }
    const Function function = FormulaFunctions::find(f);
    if (!function)
        fail(RuntimeError::InvalidCall,
            QStringLiteral("función no disponible: ") + formulaFunctionName(f));
    return function(Arguments(f, args, m_name, &node));
}
