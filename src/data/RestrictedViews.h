#pragma once

#include <QString>

// The suite's database offers restricted counterparts ("SS_" views) of the account, journal,
// depot, family and cash-box objects. A user who is not an administrator reads those instead; the
// marker "@Admin_" in a statement keeps the account table unrestricted and never reaches the
// server.
namespace RestrictedViews {

// What decides the rewrite besides the statement itself.
struct Context
{
    bool esAdmin = false; // the logged user is an administrator: nothing is restricted
    bool confidencialidad = false; // the SS_CONFIDENCIALIDAD setting
    QString programName; // the running program's name, compared ignoring case
};

// The statement with every restricted object name replaced by its "SS_" view where it stands as a
// whole name (between blanks, line breaks, tabs, the text's ends, "(", "," or "." as the program
// writes them; "{MA_CUENTAS." too, as report fields do) and every "@Admin_" removed.
QString SS_TSinonimos(const QString& sql, const Context& context);

// The statement with every "@Admin_" (any case) removed.
QString quitaMarcaAdmin(const QString& sql);

} // namespace RestrictedViews
