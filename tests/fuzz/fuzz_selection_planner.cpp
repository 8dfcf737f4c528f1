// A record selection of any bytes, split into what each database dialect evaluates and what the
// rows must still pass, and its lines taken as sort keys; the statement's values then written in
// as literals, as the log line and the connections without bound values do.

#include <cstddef>
#include <cstdint>

#include <QDate>
#include <QHash>
#include <QString>

#include "FormulaTestContext.h"
#include "reportengine/FormulaParser.h"
#include "reportengine/SelectionPlanner.h"

namespace {

// One column of every kind in table "t"; other names are not columns of the statement.
std::optional<SqlColumn> column(const QString& table, const QString& field)
{
    static const QHash<QString, SqlColumn> columns = {
        { QStringLiteral("t.s"), { QStringLiteral("T1.S"), ColumnKind::Text } },
        { QStringLiteral("t.n"), { QStringLiteral("T1.N"), ColumnKind::Number } },
        { QStringLiteral("t.b"), { QStringLiteral("T1.B"), ColumnKind::Boolean } },
        { QStringLiteral("t.d"), { QStringLiteral("T1.D"), ColumnKind::Date } },
        { QStringLiteral("t.u"), { QStringLiteral("T1.U"), ColumnKind::Unknown } },
    };
    const auto it = columns.constFind((table + u'.' + field).toLower());
    if (it == columns.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const FormulaParseResult parsed = FormulaParser::parse(QStringLiteral("Seleccion"), text);
    const FormulaTestContext clock;
    for (const SqlDialect dialect :
        { SqlDialect::SQLite, SqlDialect::SqlServer, SqlDialect::Oracle }) {
        if (parsed.ok() && parsed.tree) {
            const SelectionPlan plan = SelectionPlanner::plan(parsed.tree, dialect, column, &clock);
            const QString sql = QStringLiteral("SELECT T1.S FROM t T1 WHERE ") + plan.where;
            (void)SelectionPlanner::sqlLogLine(sql, plan.parameters, dialect);
        }
        const OrderPlan order = SelectionPlanner::orderBy({}, text.split(u'\n'), dialect, column);
        (void)order;
        // The input as a statement: its "?" outside texts, names and comments take the values.
        (void)SelectionPlanner::withLiterals(text,
            { Value(QStringLiteral("it's")), Value(qint64(-7)), Value(QDate(2024, 2, 29)),
                Value::null() },
            dialect);
    }
    return 0;
}
