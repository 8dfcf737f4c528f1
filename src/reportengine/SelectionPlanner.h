#pragma once

// Data planning: which part of a record selection the database evaluates, and the order of the
// rows.
//
//     SelectionPlan plan = SelectionPlanner::plan(selectionTree, SqlDialect::SQLite, resolve);
//     sql += plan.where.isEmpty() ? "" : " WHERE " + plan.where;   // "?" placeholders
//     bind(plan.parameters);                                      // in order
//     OrderPlan order = SelectionPlanner::orderBy(groups, sorts, SqlDialect::SQLite, resolve);
//     sql += order.clause.isEmpty() ? "" : " ORDER BY " + order.clause;
//     log(SelectionPlanner::sqlLogLine(sql, plan.parameters, SqlDialect::SQLite));
//     // or, on a connection that takes no bound values:
//     run(SelectionPlanner::withLiterals(sql, plan.parameters, SqlDialect::SQLite));
//     for each row: if (!plan.residual || evaluator.selects(*plan.residual)) keep it;
//
// The selection is split into its top-level And terms. A term goes to the WHERE clause only when
// the database is sure to give exactly the answer the engine would give on the row, Null
// included: field op constant, IsNull(field), a Boolean field, Like, StartsWith, in [..], ranges,
// And/Or/Not of those, through TrimLeft/TrimRight/Trim and ToNumber of a number column. The
// resolver must say each column's kind; a column of unknown kind is never pushed. Text on Oracle
// (which compares case and blanks differently) is pushed only as equality with a non-blank
// constant. SQL Server is taken to compare as the suite's server does (case-insensitive,
// accent-sensitive Spanish collation). Everything else stays in `residual`, evaluated on the
// returned rows. Long And/Or chains are grouped so that SQLite's nesting limit is never reached.

#include <functional>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Value.h"
#include "reportengine/FormulaNode.h"

class FormulaContext;

enum class SqlDialect
{
    SQLite,
    SqlServer,
    Oracle
};

enum class ColumnKind
{
    Unknown,
    Text,
    Number,
    Boolean,
    Date
};

struct SqlColumn
{
    QString expression; // as the statement must write it, with the engine's alias ("T1.IDLISTA")
    ColumnKind kind = ColumnKind::Unknown;
};

// The kind of a column from its field type code (the provider's schema rowset or a field's Type).
ColumnKind columnKindForAdoType(int adoType);

// Maps {table.field} (names as written in the formula; match ignoring case) to its column.
// nullopt: not a column of the statement (the term stays local).
using ColumnResolver
    = std::function<std::optional<SqlColumn>(const QString& table, const QString& field)>;

struct SelectionPlan
{
    QString where; // without "WHERE"; empty when nothing could be pushed
    QList<Value> parameters; // one per "?" in `where`, in order
    FormulaNodePtr residual; // what the rows must still pass; null when all was pushed
};

struct OrderPlan
{
    QString clause; // without "ORDER BY"; empty when no key
    // Keys the statement could not order by ({@formula}, unknown column): the engine must sort
    // the rows itself when this is not empty. In the order given.
    QStringList unresolved;
};

namespace SelectionPlanner {

// `constants` (optional) folds CurrentDate and the like with the engine's clock; without it
// terms that need them stay local.
SelectionPlan plan(const FormulaNodePtr& selection, SqlDialect dialect,
    const ColumnResolver& resolve, const FormulaContext* constants = nullptr);

// Group fields first, then sort fields. Each entry "+{t.f}" ascending, "-{t.f}" descending,
// "{t.f}" ascending; blank entries are skipped; a column already ordered is not repeated.
OrderPlan orderBy(const QStringList& groupFields, const QStringList& sortFields, SqlDialect dialect,
    const ColumnResolver& resolve);

// The statement with each "?" (outside texts, quoted names and comments) replaced by its value as a
// literal of the dialect: texts with their apostrophes doubled, dates as unambiguous ISO literals.
// Gives the same rows as the statement with bound values.
QString withLiterals(const QString& sql, const QList<Value>& parameters, SqlDialect dialect);

// The "show SQL" log line: "SQL: " and withLiterals(), so the line shows what ran.
QString sqlLogLine(const QString& sql, const QList<Value>& parameters, SqlDialect dialect);

} // namespace SelectionPlanner
