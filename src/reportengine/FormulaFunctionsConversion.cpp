#include <algorithm>

#include <QLocale>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaFunctions.h"

namespace FormulaFunctions {

// ToNumber and Val; Val reads the number a text begins with, and 0 when there is none.
Value toNumber(const Arguments& a)
{
    const Value& v = a[0];
    if (numKind(v) != NumKind::None)
        return v;
    if (v.type() == ValueType::Boolean)
        return Value(qint64(v.toBool() ? 1 : 0));
    QString s = a.text(0).trimmed();
    if (a.function() == FormulaFunction::Val) {
        qsizetype n = 0;
        while (
            n < s.size() && (s.at(n).isDigit() || s.at(n) == u'.' || (n == 0 && s.at(n) == u'-')))
            ++n;
        s = s.left(n);
        if (s.isEmpty() || s == u"-")
            return Value(qint64(0));
    }
    bool ok = false;
    const qint64 i = s.toLongLong(&ok);
    if (ok)
        return Value(i);
    double d = s.toDouble(&ok);
    if (!ok)
        d = QLocale().toDouble(s, &ok);
    if (!ok)
        a.fail(RuntimeError::TypeMismatch,
            QStringLiteral("ToNumber: «%1» no es un número").arg(v.toString()));
    return Value(d);
}

Value toText(const Arguments& a)
{
    const Value& v = a[0];
    if (v.type() == ValueType::Text)
        return v;
    if (v.type() == ValueType::Boolean)
        return Value(v.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
    if (v.type() == ValueType::Date) {
        const QDateTime dt = v.toDateTime();
        if (a.size() > 1)
            return Value(dt.toString(a.text(1)));
        if (dt.time() == QTime(0, 0))
            return Value(dt.date().toString(QStringLiteral("dd/MM/yyyy")));
        return Value(dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    }
    const int decimals = std::clamp(a.size() > 1 ? int(a.whole(1)) : defaultDecimals(v), 0, 15);
    QLocale locale;
    if (a.size() <= 2)
        return Value(locale.toString(v.toDouble(), 'f', decimals));
    const QString thousands = a.text(2);
    const QString point = a.size() > 3 ? a.text(3) : QString(locale.decimalPoint());
    QString s = QLocale::c().toString(v.toDouble(), 'f', decimals);
    s.replace(u',', QChar(0x1));
    s.replace(u'.', QChar(0x2));
    s.replace(QChar(0x1), thousands);
    s.replace(QChar(0x2), point);
    return Value(s);
}

} // namespace FormulaFunctions
