#include "reportengine/FormulaFunctions.h"

#include <array>
#include <cmath>
#include <limits>

#include "platform/RuntimeError.h"

namespace FormulaFunctions {

void fail(const QString& formulaName, int number, const QString& text)
{
    throw RuntimeError(number, text, QStringLiteral("Fórmula ") + formulaName);
}

void Arguments::fail(int number, const QString& text) const
{
    FormulaFunctions::fail(m_formulaName, number, text);
}

void Arguments::argumentFails(qsizetype i, const char* needed) const
{
    QString text = QStringLiteral("%1 necesita %2 en el argumento %3")
                       .arg(name(), QString::fromUtf8(needed))
                       .arg(i + 1);
    const FormulaNode* argument = m_call ? m_call->child(std::size_t(i)) : nullptr;
    if (argument && argument->kind() == FormulaNodeKind::Field)
        text += QStringLiteral(": %1.%2 vale '%3'")
                    .arg(argument->table(), argument->field(), m_args[i].toString());
    fail(RuntimeError::TypeMismatch, text);
}

QString Arguments::text(qsizetype i) const
{
    const Value& v = m_args[i];
    if (v.type() != ValueType::Text)
        argumentFails(i, "un texto");
    return v.toString();
}

double Arguments::number(qsizetype i) const
{
    const Value& v = m_args[i];
    if (numKind(v) == NumKind::None)
        argumentFails(i, "un número");
    return v.toDouble();
}

qint64 Arguments::whole(qsizetype i) const
{
    const double d = number(i);
    if (numKind(m_args[i]) == NumKind::Int)
        return m_args[i].toLongLong();
    // llround would give the lowest number.
    if (d >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(std::llround(d));
}

QDateTime Arguments::date(qsizetype i) const
{
    const Value& v = m_args[i];
    if (v.type() == ValueType::Date)
        return v.toDateTime();
    if (v.type() == ValueType::Text) {
        if (const auto d = textAsDate(v.toString()))
            return *d;
    }
    argumentFails(i, "una fecha");
}

namespace {

struct Entry
{
    FormulaFunction name;
    Function function;
};

constexpr Entry Table[] = {
    { FormulaFunction::TrimLeft, trimLeft },
    { FormulaFunction::TrimRight, trimRight },
    { FormulaFunction::Trim, trim },
    { FormulaFunction::InStr, inStr },
    { FormulaFunction::Left, left },
    { FormulaFunction::Right, right },
    { FormulaFunction::Mid, mid },
    { FormulaFunction::Length, length },
    { FormulaFunction::UpperCase, upperCase },
    { FormulaFunction::LowerCase, lowerCase },
    { FormulaFunction::RtfToText, rtfToText },
    { FormulaFunction::Replace, replace },
    { FormulaFunction::Space, space },
    { FormulaFunction::ReplicateString, replicateString },
    { FormulaFunction::Chr, chr },
    { FormulaFunction::Year, year },
    { FormulaFunction::Month, month },
    { FormulaFunction::Day, day },
    { FormulaFunction::Date, date },
    { FormulaFunction::DateTime, date },
    { FormulaFunction::Round, roundOrTruncate },
    { FormulaFunction::Truncate, roundOrTruncate },
    { FormulaFunction::Abs, abs },
    { FormulaFunction::Remainder, remainder },
    { FormulaFunction::ToNumber, toNumber },
    { FormulaFunction::Val, toNumber },
    { FormulaFunction::ToText, toText },
};

// The last of the names, for the size of the lookup by name.
constexpr auto LastFunction = FormulaFunction::RtfToText;

} // namespace

Function find(FormulaFunction function)
{
    // Looked up for every call of every record: by index, built once from the table.
    static const auto byName = [] {
        std::array<Function, std::size_t(LastFunction) + 1> all {};
        for (const Entry& e : Table)
            all[std::size_t(e.name)] = e.function;
        return all;
    }();
    const auto i = std::size_t(function);
    return i < byName.size() ? byName[i] : nullptr;
}

} // namespace FormulaFunctions
