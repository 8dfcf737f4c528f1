#include "data/RestrictedViews.h"

#include <initializer_list>

namespace RestrictedViews {

namespace {

constexpr auto CI = Qt::CaseInsensitive;

// A blank, or what a statement laid out on several lines has in its place. The ends of the text
// count as well: a name that starts or ends a statement is still a name.
bool isSpaceOrEnd(const QString& text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return true;
    const QChar c = text.at(at);
    return c == u' ' || c == u'\r' || c == u'\n' || c == u'\t';
}

// The delimiter pairs the suite writes around an object name: blank-blank, "("-blank, blank-".",
// "("-".", ","-"." and, for the account table's report fields, "{"-".". A comma before a blank is
// not among them: the suite never lists restricted objects that way.
bool standsAsName(const QString& text, qsizetype at, qsizetype length, bool braceForm)
{
    const qsizetype before = at - 1;
    const qsizetype after = at + length;
    const QChar b = before >= 0 ? text.at(before) : QChar();
    const bool afterPoint = after < text.size() && text.at(after) == u'.';
    const bool afterSpace = isSpaceOrEnd(text, after);
    if (isSpaceOrEnd(text, before) || b == u'(')
        return afterSpace || afterPoint;
    if (b == u',')
        return afterPoint;
    if (b == u'{')
        return braceForm && afterPoint;
    return false;
}

QString restrict(
    const QString& text, const QString& name, const QString& restricted, bool braceForm = false)
{
    QString result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(name, 0, CI); at >= 0; at = text.indexOf(name, at + 1, CI)) {
        if (!standsAsName(text, at, name.size(), braceForm))
            continue;
        result += QStringView(text).mid(from, at - from);
        result += restricted;
        from = at + name.size();
        at = from - 1;
    }
    result += QStringView(text).mid(from);
    return result;
}

bool isOneOf(const QString& program, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (program.compare(QLatin1String(name), CI) == 0)
            return true;
    }
    return false;
}

} // namespace

QString quitaMarcaAdmin(const QString& sql)
{
    QString result = sql;
    return result.replace(QLatin1String("@Admin_"), QString(), CI);
}

QString SS_TSinonimos(const QString& sql, const Context& context)
{
    if (context.esAdmin)
        return quitaMarcaAdmin(sql);
    // With confidentiality off the journal is open to everyone, and so is everything a statement
    // about it reads.
    if (sql.contains(QLatin1String("MV_ASIENTOS"), CI) && !context.confidencialidad)
        return quitaMarcaAdmin(sql);

    QString w = restrict(sql, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), true);
    // The marker anywhere lifts the restriction from every account-table reference of the
    // statement, including ones written as SS_MA_CUENTAS on purpose.
    if (w.contains(QLatin1String("@admin_"), CI)) {
        w.replace(QLatin1String("@Admin_MA_CUENTAS"), QLatin1String("MA_CUENTAS"), CI);
        w.replace(QLatin1String("SS_MA_CUENTAS"), QLatin1String("MA_CUENTAS"), CI);
    }
    // Two programs of the suite work on every depot, two on every family.
    if (!isOneOf(context.programName, { "V_CONS_Bralvo", "Rp_Almeno" }))
        w = restrict(w, QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("SS_V_TA_DEPOSITO"));
    w = restrict(w, QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"));
    if (!isOneOf(context.programName, { "Trosvalle", "Quibel" }))
        w = restrict(w, QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("SS_V_TA_FAMILIAS"));
    w = restrict(w, QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"));
    w = restrict(w, QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"));
    // The view's name has an underscore more than the table's; that is how the suite created it.
    w = restrict(w, QStringLiteral("AC_CUENTASDIARIO_CCOSTO"),
        QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"));
    return quitaMarcaAdmin(w);
}

} // namespace RestrictedViews
