#include <algorithm>

#include "platform/RuntimeError.h"
#include "reportengine/FormulaFunctions.h"

namespace FormulaFunctions {

std::optional<QDateTime> textAsDate(const QString& text)
{
    const QString t = text.trimmed();
    for (const auto format : { Qt::ISODate, Qt::ISODateWithMs }) {
        QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid())
            return dt;
        const QDate d = QDate::fromString(t, format);
        if (d.isValid())
            return d.startOfDay();
    }
    QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (dt.isValid())
        return dt;
    const QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (d.isValid())
        return d.startOfDay();
    return std::nullopt;
}

Value year(const Arguments& a)
{
    return Value(qint64(a.date(0).date().year()));
}

Value month(const Arguments& a)
{
    return Value(qint64(a.date(0).date().month()));
}

Value day(const Arguments& a)
{
    return Value(qint64(a.date(0).date().day()));
}

// Date and DateTime: of one date or text, or of its year, month, day and maybe time.
Value date(const Arguments& a)
{
    const bool dateOnly = a.function() == FormulaFunction::Date;
    if (a.size() == 1) {
        const QDateTime dt = a.date(0);
        return dateOnly ? Value(dt.date()) : Value(dt);
    }
    if (a.size() < 3)
        a.fail(RuntimeError::InvalidCall, a.name() + QStringLiteral(" lleva año, mes y día"));
    const QDate d(int(a.whole(0)), int(a.whole(1)), int(a.whole(2)));
    QTime t(0, 0);
    if (a.size() > 3)
        t = QTime(int(a.whole(3)), a.size() > 4 ? int(a.whole(4)) : 0,
            a.size() > 5 ? int(a.whole(5)) : 0);
    if (d.isValid() && t.isValid())
        return Value(QDateTime(d, t));
    // Date(0,0,0) is how the suite writes "no date"; any other impossible date is a mistake
    // that must not pass as a blank.
    bool allZero = true;
    for (qsizetype i = 0; i < a.size(); ++i)
        allZero = allZero && a[i].toDouble() == 0;
    if (allZero)
        return Value::null();
    a.fail(RuntimeError::InvalidCall,
        QStringLiteral("%1: la fecha %2-%3-%4 no existe")
            .arg(a.name())
            .arg(a.whole(0))
            .arg(a.whole(1))
            .arg(a.whole(2)));
}

} // namespace FormulaFunctions
