#pragma once

#include <QList>
#include <QString>

// One statement of a translated batch.
struct TsqlStatement
{
    enum class Kind
    {
        Sql, // `sql` is a statement for SQLite
        Begin, // BEGIN TRAN[SACTION]
        Commit, // COMMIT [TRAN[SACTION]]
        Rollback, // ROLLBACK [TRAN[SACTION]]
        IfExists, // `sql` gives 1 or 0; run `then` on 1, `otherwise` on 0
    };
    Kind kind = Kind::Sql;
    QString sql;
    QList<TsqlStatement> then;
    QList<TsqlStatement> otherwise;
};

// The program writes its SQL in the SQL Server dialect; this turns it into SQLite's, token by
// token (the text is never searched and replaced as a whole, so names and literals that happen to
// hold a keyword are left alone). Handled: table hints ("with(nolock)", "WITH (NOLOCK)"), "dbo."
// prefixes, [names], N'' literals, TOP n / TOP (n) / TOP n PERCENT also in sub-selects, DELETE
// without FROM, TRUNCATE TABLE, ISNULL, LEFT, RIGHT, SUBSTRING, CONVERT and CAST, DATEADD /
// DATEDIFF / DATEPART parts, CURRENT_TIMESTAMP, @@IDENTITY / SCOPE_IDENTITY(), "+" between texts,
// quoted dd/mm/yyyy dates in comparisons, IF [NOT] EXISTS (...) with BEGIN...END and ELSE, batches
// split by GO, ";" or the start of the next statement, transaction words, and SET options that
// have no meaning here (NOCOUNT, ANSI_..., DATEFORMAT, TRANSACTION ISOLATION LEVEL). The
// functions the rewritten text calls (LEN, CHARINDEX, DATEADD, rp_add, ...) are registered on
// every connection by SqlServerFunctions.
//
// A construct with no faithful translation (variables, EXEC, TOP ... WITH TIES, a TOP inside a
// UNION, ...) makes the whole batch fail with `error` set; nothing is run then.
class TsqlTranslator
{
public:
    struct Batch
    {
        QList<TsqlStatement> statements;
        QString error;
    };
    static Batch translate(const QString& tsql);

    // One SELECT for a recordset. With `rowidColumn` not empty and a plain table after the first
    // FROM (no DISTINCT, GROUP BY or UNION), that table's rowid comes first under that name and
    // `hasRowid` is set. `table` is the name after the first FROM (empty for a sub-select).
    struct Query
    {
        QString sql;
        QString table;
        bool hasRowid = false;
        QString error;
    };
    static Query translateQuery(const QString& tsql, const QString& rowidColumn);

    // The table named after the first top-level FROM of a SELECT, brackets and "dbo." removed;
    // empty when there is none (the ODBC provider's updatable sets use it).
    static QString baseTable(const QString& sql);
};
