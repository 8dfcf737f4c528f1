#include "reportengine/FormulaOverrides.h"

#include <QDateTime>
#include <QRegularExpression>

#include "reportengine/FormulaParser.h"

namespace {

QString shown(const QString& s)
{
    return QStringLiteral("«") + s + QStringLiteral("»");
}

bool isNumberType(FormulaType t)
{
    return t == FormulaType::Number || t == FormulaType::Currency;
}

bool isDateType(FormulaType t)
{
    return t == FormulaType::Date || t == FormulaType::DateTime;
}

std::optional<Value> textAsNumber(const QString& text)
{
    // The suite writes numbers with the workstation's decimal comma as often as with a point.
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+([.,][0-9]+)?$"));
    QString t = text.trimmed();
    if (!number.match(t).hasMatch())
        return std::nullopt;
    t.replace(u',', u'.');
    bool ok = false;
    const qint64 whole = t.toLongLong(&ok);
    if (ok)
        return Value(whole);
    const double d = t.toDouble(&ok);
    return ok ? std::optional(Value(d)) : std::nullopt;
}

std::optional<Value> textAsBoolean(const QString& text)
{
    const QString t = text.trimmed();
    if (t == u"-1" || t == u"1" || t.compare(u"True", Qt::CaseInsensitive) == 0)
        return Value(true);
    if (t == u"0" || t.compare(u"False", Qt::CaseInsensitive) == 0)
        return Value(false);
    return std::nullopt;
}

std::optional<Value> textAsDate(const QString& text)
{
    const QString t = text.trimmed();
    QDate d = QDate::fromString(t, Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (d.isValid())
        return Value(d);
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    return dt.isValid() ? std::optional(Value(dt)) : std::nullopt;
}

// The constant converted to the declared type when nothing is lost; nullopt otherwise.
std::optional<Value> convert(const Value& v, FormulaType declared)
{
    const ValueType t = v.type();
    if (declared == FormulaType::Text) {
        if (t == ValueType::Boolean)
            return Value(v.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
        if (t == ValueType::Date) {
            const QDateTime dt = v.toDateTime();
            return Value(dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                                  : dt.toString(Qt::ISODate));
        }
        return Value(v.toString());
    }
    if (isNumberType(declared)) {
        std::optional<Value> n;
        if (t == ValueType::Text)
            n = textAsNumber(v.toString());
        else if (t == ValueType::Boolean)
            n = Value(qint64(v.toBool() ? 1 : 0));
        else if (t != ValueType::Date && t != ValueType::Null)
            n = v;
        if (n && declared == FormulaType::Currency && n->type() != ValueType::Currency) {
            const auto c = Currency::fromString(n->toString());
            if (!c)
                return std::nullopt;
            return Value(*c);
        }
        return n;
    }
    if (declared == FormulaType::Boolean) {
        if (t == ValueType::Text)
            return textAsBoolean(v.toString());
        if (t == ValueType::Int16 || t == ValueType::Int32 || t == ValueType::Int64)
            return textAsBoolean(v.toString());
        return std::nullopt;
    }
    if (isDateType(declared)) {
        if (t == ValueType::Text)
            return textAsDate(v.toString());
        return std::nullopt;
    }
    return std::nullopt;
}

bool sameKind(const Value& v, FormulaType declared)
{
    switch (v.type()) {
    case ValueType::Text:
        return declared == FormulaType::Text;
    case ValueType::Boolean:
        return declared == FormulaType::Boolean;
    case ValueType::Date:
        return isDateType(declared);
    case ValueType::Currency:
        return declared == FormulaType::Currency;
    case ValueType::Null:
        return true;
    default:
        return declared == FormulaType::Number;
    }
}

} // namespace

std::optional<std::pair<QString, QString>> FormulaOverrides::split(const QString& assignment)
{
    const int eq = assignment.indexOf(u'=');
    if (assignment.trimmed().isEmpty() || eq < 0)
        return std::nullopt;
    return std::pair(assignment.left(eq).trimmed(), assignment.mid(eq + 1).trimmed());
}

FormulaOverrideSet FormulaOverrides::resolve(
    const QStringList& assignments, const FormulaLookup& lookup)
{
    FormulaOverrideSet set;
    for (const QString& assignment : assignments) {
        if (assignment.trimmed().isEmpty())
            continue;
        const auto parts = split(assignment);
        if (!parts || parts->first.isEmpty()) {
            set.log << QStringLiteral("Fórmula sin nombre o sin «=», se ignora: ")
                    + shown(assignment);
            continue;
        }
        const auto declared = lookup(parts->first);
        if (!declared) {
            set.log << QStringLiteral("El reporte no tiene la fórmula %1, se ignora: %2")
                           .arg(shown(parts->first), shown(assignment));
            continue;
        }
        const QString& valueText = parts->second;
        if (valueText.isEmpty()) {
            set.log << QStringLiteral("Fórmula %1 sin valor, se ignora").arg(shown(declared->name));
            continue;
        }

        FormulaParseResult parsed = FormulaParser::parse(declared->name, valueText);
        FormulaNodePtr tree = parsed.tree;
        if (!parsed.ok()) {
            // Values are pasted between apostrophes without doubling the ones inside
            // ("'D'Angelo'"); the text between the outer apostrophes is what was meant.
            if (valueText.size() >= 2 && valueText.startsWith(u'\'') && valueText.endsWith(u'\'')) {
                tree = FormulaNode::constant(Value(valueText.mid(1, valueText.size() - 2)), 0);
            } else if (const auto n = textAsNumber(valueText)) {
                tree = FormulaNode::constant(*n, 0);
            } else {
                set.log << parsed.error.message() + QStringLiteral(", se ignora");
                continue;
            }
        }

        if (tree && tree->kind() == FormulaNodeKind::Constant
            && declared->type != FormulaType::Unknown
            && !sameKind(tree->constant(), declared->type)) {
            const auto converted = convert(tree->constant(), declared->type);
            if (!converted) {
                set.log << QStringLiteral("Fórmula %1: el valor %2 no es del tipo de la fórmula, "
                                          "se ignora")
                               .arg(shown(declared->name), shown(valueText));
                continue;
            }
            tree = FormulaNode::constant(*converted, 0);
            set.log << QStringLiteral("Fórmula %1: el valor %2 se tomó como %3")
                           .arg(shown(declared->name), shown(valueText), shown(tree->toText()));
        }

        FormulaOverride o { declared->name, valueText, tree };
        auto existing = std::find_if(set.applied.begin(), set.applied.end(),
            [&](const FormulaOverride& a) { return a.name == o.name; });
        if (existing != set.applied.end())
            *existing = std::move(o);
        else
            set.applied.push_back(std::move(o));
    }
    return set;
}
