#pragma once

#include <vector>

#include <QString>

// The program writes its SQL in the SQL Server dialect. On an Oracle connection every statement is
// turned into something Oracle accepts by these text rewrites, and a SQL Server batch (GO lines,
// several statements, transaction words) is cut into the statements Oracle runs one at a time.
// Every search ignores letter case; inserted texts are written as they stand here. Nothing here
// looks at a connection: DB_Dll decides when a statement is bound for Oracle.
namespace OracleRewrite {

// One statement in Oracle form: row limits (TOP n) become ROWNUM conditions, LEN becomes LENGTH,
// brackets become double quotes, date literals become TO_DATE(...), CHARINDEX/CONVERT/SUBSTRING/
// ISNULL their Oracle twins, and "= ''" after the first WHERE becomes IS NULL (Oracle stores the
// empty text as NULL). A single word comes back unchanged except LEN, which becomes LENGTH.
// Raises run-time error 5 when a quoted literal is never closed or a row limit has nothing after
// it, instead of guessing.
QString ORACLE_Dicc(const QString& valor);

// Statements with no Oracle meaning: a text holding "SET NOCOUNT" (the caller's variable is
// emptied as well) or "IF NOT EXIST" gives the empty text; anything else comes back as it is.
QString FiltraSentenciaOracle(QString& sentencia);

// What one piece of a batch asks of the connection.
struct BatchStep
{
    enum class Kind
    {
        BeginTrans,
        CommitTrans,
        RollbackTrans,
        Statement
    };
    Kind kind = Kind::Statement;
    QString text; // the statement, trimmed, in its SQL Server form (Statement only)
    qsizetype from = 0; // where the step starts in the normalised batch
};

// The batch as it is cut: SET NOCOUNT and GO lines gone, carriage returns made blanks,
// BEGIN/COMMIT/ROLLBACK TRANSACTION (or TRANS) made SET TRANSACTION, COMMIT and ROLLBACK.
QString normalizaLote(const QString& lote);

// Cuts a normalised batch into its steps, in order. Each statement starts at one of the batch
// keywords (INSERT, DELETE, UPDATE, CREATE, DROP, ALTER, SET TRANSACTION, COMMIT, ROLLBACK,
// IF NOT EXIST, IF EXIST, GRANT) and runs to the next one; text before the first keyword is never
// run.
std::vector<BatchStep> divideLote(const QString& loteNormalizado);

} // namespace OracleRewrite
