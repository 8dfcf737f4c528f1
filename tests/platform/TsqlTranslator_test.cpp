#include "platform/qt/TsqlTranslator.h"

#include <gtest/gtest.h>

namespace {

QString single(const char* tsql)
{
    const TsqlTranslator::Batch batch = TsqlTranslator::translate(QString::fromUtf8(tsql));
    EXPECT_TRUE(batch.error.isEmpty()) << batch.error.toStdString();
    EXPECT_EQ(batch.statements.size(), 1) << tsql;
    return batch.statements.isEmpty() ? QString() : batch.statements.first().sql;
}

struct Row
{
    const char* tsql;
    const char* sqlite;
};

// Statements as the program writes them, and what SQLite gets.
const Row statements[] = {
    // The families tree: TOP 100 PERCENT goes, the correlated TOP 1 keeps its ORDER BY and gets
    // LIMIT 1 inside its own parentheses, [relative] and dbo. are SQLite's.
    { "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM "
      "v_ta_familias a   Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < "
      "Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC) AS [relative] FROM "
      "dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia",
        "SELECT      IdFamilia, Descripcion, (SELECT      idfamilia FROM v_ta_familias a   Where "
        "a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < "
        "Len(LTrim(RTrim(b.IdFamilia))))  ORDER BY idfamilia DESC LIMIT 1) AS \"relative\" FROM "
        "V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia" },
    // Configuration reads, both spellings of the hint.
    { "SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TituloClientes'",
        "SELECT VALOR, valoraux FROM ta_configuracion   WHERE CLAVE = 'TituloClientes'" },
    { "SELECT VALOR, valoraux FROM TA_CONFIGURACION WITH (NOLOCK)  WHERE CLAVE = 'x' AND GRUPO "
      "='BaseDeDatos'",
        "SELECT VALOR, valoraux FROM TA_CONFIGURACION   WHERE CLAVE = 'x' AND GRUPO "
        "='BaseDeDatos'" },
    { "Select * from ta_usuarios  with(nolock)  where Nombre = 'ana'",
        "Select * from ta_usuarios    where Nombre = 'ana'" },
    { "select  top 1 * from AUX_ERR  with(nolock) ", "select   * from AUX_ERR LIMIT 1" },
    { "SELECT a FROM T (NOLOCK) INNER JOIN U WITH (NOLOCK, INDEX(IX_U)) ON U.k = T.k",
        "SELECT a FROM T  INNER JOIN U  ON U.k = T.k" },
    { "SELECT TOP 0 * FROM T", "SELECT  * FROM T LIMIT 0" },
    { "SELECT TOP (5) a FROM T ORDER BY a", "SELECT  a FROM T ORDER BY a LIMIT 5" },
    { "SELECT DISTINCT TOP 2 a FROM T", "SELECT DISTINCT  a FROM T LIMIT 2" },
    // SQL Server rounds a percentage of rows up.
    { "SELECT TOP 10 PERCENT a FROM T ORDER BY a",
        "SELECT  a FROM T ORDER BY a LIMIT (SELECT (COUNT(*) * 10 + 99) / 100 FROM (SELECT a "
        "FROM T))" },
    { "DELETE TA_CONFIG_FORM WHERE FORMULARIO = 'a' AND USUARIO= 'b'",
        "DELETE FROM TA_CONFIG_FORM WHERE FORMULARIO = 'a' AND USUARIO= 'b'" },
    { "Delete ta_config_form where formulario = 'x'",
        "Delete FROM ta_config_form where formulario = 'x'" },
    { "DELETE FROM T WHERE a = 1", "DELETE FROM T WHERE a = 1" },
    { "TRUNCATE TABLE AUX_MV_CPTE", "DELETE FROM AUX_MV_CPTE" },
    { "SELECT @@IDENTITY AS ID FROM AUX_MV_CPTE",
        "SELECT last_insert_rowid() AS ID FROM AUX_MV_CPTE" },
    { "select  getDate() as fecha", "select  getDate() as fecha" },
    // A trimmed or converted text compared with a text keeps the server's order (case ignored);
    // calls that are not compared are left alone.
    { "SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='abc'",
        "SELECT   * FROM MA_X   WHERE LTRIM(RTRIM(Codigo)) COLLATE TEXTO ='abc' LIMIT 1" },
    { "SELECT a FROM T WHERE 'X' = UPPER(b) AND ISNULL(c,'') <> '' ORDER BY LTRIM(d)",
        "SELECT a FROM T WHERE 'X' = UPPER(b) COLLATE TEXTO AND IFNULL(c,'') COLLATE TEXTO <> '' "
        "ORDER BY LTRIM(d)" },
    { "SELECT CURRENT_TIMESTAMP", "SELECT GETDATE()" },
    { "SELECT top 1 * FROM TA_COTIZACION WITH(NOLOCK) WHERE DBO.FN_SOLO_FECHA(FECHA_HORA) = "
      "'05/03/2024' AND ID = (SELECT MAX(ID) AS ELID FROM TA_COTIZACION WHERE "
      "DBO.FN_SOLO_FECHA(FECHA_HORA) = '05/03/2024')",
        "SELECT  * FROM TA_COTIZACION  WHERE FN_SOLO_FECHA(FECHA_HORA) = '2024-03-05 00:00:00' "
        "AND ID = (SELECT MAX(ID) AS ELID FROM TA_COTIZACION WHERE FN_SOLO_FECHA(FECHA_HORA) = "
        "'2024-03-05 00:00:00') LIMIT 1" },
    // Day-first dates only where they are compared; a text that merely holds "/" stays.
    { "SELECT * FROM T WHERE F BETWEEN '1/1/24' AND '31/12/2024 10:30' AND G >= '2024-02-01' "
      "AND R = 'a/b/c'",
        "SELECT * FROM T WHERE F BETWEEN '2024-01-01 00:00:00' AND '2024-12-31 10:30:00' AND G "
        ">= '2024-02-01 00:00:00' AND R = 'a/b/c'" },
    { "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo) values('05/03/2024 10:00','A')",
        "INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo) values('05/03/2024 10:00','A')" },
    // "+" joins texts when a term is a text; otherwise the row decides (rp_add).
    { "SELECT tc + ' ' + SUCURSAL + NUMERO FROM MV_ASIENTOS",
        "SELECT tc || ' ' || SUCURSAL || NUMERO FROM MV_ASIENTOS" },
    { "SELECT SUCURSAL + NUMERO + LETRA FROM MV_ASIENTOS",
        "SELECT rp_add(rp_add(SUCURSAL , NUMERO) , LETRA) FROM MV_ASIENTOS" },
    { "SELECT a - b + c * 2 FROM T", "SELECT rp_add(a - b , c * 2) FROM T" },
    { "SELECT 1 + 2, LEN(x) + 1 FROM T", "SELECT 1 + 2, LEN(x) + 1 FROM T" },
    { "SELECT 'A' + LEFT(x, 2) + RIGHT(y,3) FROM T",
        "SELECT 'A' || rp_left(x, 2) || rp_right(y,3) FROM T" },
    { "SELECT ISNULL(a,0) + 1, SUBSTRING(x,1,2) FROM [dbo].[T] LEFT JOIN U ON U.k = T.k",
        "SELECT rp_add(IFNULL(a,0) , 1), substr(x,1,2) FROM \"T\" LEFT JOIN U ON U.k = T.k" },
    { "SELECT CONVERT(varchar(10), FECHA, 103), CONVERT(INT, '12'), CAST(x AS varchar(5)), "
      "CONVERT(datetime, '25/12/2024', 103), CAST(p AS decimal(18,2)) FROM T",
        "SELECT substr(rp_format_date( FECHA, 103), 1, 10), rp_int( '12'), substr(rp_text(x ), "
        "1, 5), rp_parse_date( '25/12/2024', 103), round(rp_real(p ), 2) FROM T" },
    { "SELECT DATEADD(day, -30, GETDATE()), DATEDIFF(dd, a, b), DATEPART(yy, c), "
      "CHARINDEX('x', d) FROM T",
        "SELECT DATEADD('day', -30, GETDATE()), DATEDIFF('dd', a, b), DATEPART('yy', c), "
        "CHARINDEX('x', d) FROM T" },
    // Names and literals holding keywords are left alone.
    { "SELECT [top], name FROM T WHERE name = N'Ñandú' AND laptop = 'top ' AND c = 'with(nolock)'",
        "SELECT \"top\", name FROM T WHERE name = 'Ñandú' AND laptop = 'top ' AND c = "
        "'with(nolock)'" },
    { "ALTER TABLE dbo.T ADD C int Not Null  CONSTRAINT DF_T_C DEFAULT (0)",
        "ALTER TABLE T ADD C int Not Null  CONSTRAINT DF_T_C DEFAULT (0)" },
    { "SELECT GRUPO FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND NOT GRUPO IS NULL GROUP BY GRUPO",
        "SELECT GRUPO FROM V_MA_PRECIOSCAB WHERE TIPOLISTA='V' AND NOT GRUPO IS NULL GROUP BY "
        "GRUPO" },
};

TEST(TsqlTranslator, rewrites_the_programs_statements_for_sqlite)
{
    for (const Row& row : statements)
        EXPECT_EQ(single(row.tsql).toStdString(), row.sqlite) << row.tsql;
}

// SQLite reads a statement only up to its first NUL.
TEST(TsqlTranslator, writes_a_nul_inside_a_text_as_char_0)
{
    const QString tsql = QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b', 'c'");
    const TsqlTranslator::Batch batch = TsqlTranslator::translate(tsql);
    ASSERT_TRUE(batch.error.isEmpty()) << batch.error.toStdString();
    ASSERT_EQ(batch.statements.size(), 1);
    EXPECT_EQ(batch.statements.first().sql.toStdString(), "SELECT ('a' || char(0) || 'b'), 'c'");
}

QString describe(const QList<TsqlStatement>& list)
{
    QStringList parts;
    for (const TsqlStatement& st : list) {
        switch (st.kind) {
        case TsqlStatement::Kind::Sql:
            parts.append(st.sql);
            break;
        case TsqlStatement::Kind::Begin:
            parts.append(QStringLiteral("<begin>"));
            break;
        case TsqlStatement::Kind::Commit:
            parts.append(QStringLiteral("<commit>"));
            break;
        case TsqlStatement::Kind::Rollback:
            parts.append(QStringLiteral("<rollback>"));
            break;
        case TsqlStatement::Kind::IfExists:
            parts.append(QStringLiteral("<if %1 then {%2} else {%3}>")
                             .arg(st.sql, describe(st.then), describe(st.otherwise)));
            break;
        }
    }
    return parts.join(QStringLiteral(" | "));
}

const Row batches[] = {
    // The script runner's batch: the transaction opens inside it, statements follow on their own
    // lines, separated by carriage returns only.
    { "BEGIN TRANSACTION \r\r\r INSERT INTO T (a) VALUES ('x')\r UPDATE T SET a = 'y' WHERE b = "
      "1\r",
        "<begin> | INSERT INTO T (a) VALUES ('x') | UPDATE T SET a = 'y' WHERE b = 1" },
    { "BEGIN TRAN\nINSERT INTO T VALUES (1)\nGO\nINSERT INTO T VALUES (2)\nGO\nCOMMIT "
      "TRANSACTION",
        "<begin> | INSERT INTO T VALUES (1) | INSERT INTO T VALUES (2) | <commit>" },
    { "ROLLBACK TRANSACTION", "<rollback>" },
    { "COMMIT TRAN", "<commit>" },
    { "SET NOCOUNT ON; INSERT INTO X (a) SELECT TOP 3 a FROM Y ORDER BY a; SELECT 1",
        "INSERT INTO X (a) SELECT  a FROM Y ORDER BY a LIMIT 3 | SELECT 1" },
    { "INSERT INTO T SELECT a FROM U UNION ALL SELECT b FROM V UPDATE T SET a = 1",
        "INSERT INTO T SELECT a FROM U UNION ALL SELECT b FROM V | UPDATE T SET a = 1" },
    { "IF NOT EXISTS (SELECT * FROM T WITH(NOLOCK) WHERE a = 1) INSERT INTO T (a) VALUES (1)",
        "<if SELECT NOT EXISTS (SELECT * FROM T  WHERE a = 1) then {INSERT INTO T (a) VALUES "
        "(1)} else {}>" },
    { "IF EXISTS (SELECT 1 FROM T) BEGIN UPDATE T SET a=1 DELETE T WHERE a=2 END ELSE INSERT "
      "INTO T VALUES (1)",
        "<if SELECT EXISTS (SELECT 1 FROM T) then {UPDATE T SET a=1 | DELETE FROM T WHERE a=2} "
        "else {INSERT INTO T VALUES (1)}>" },
    { "SELECT CASE WHEN a = 1 THEN 'x' ELSE 'y' END FROM T",
        "SELECT CASE WHEN a = 1 THEN 'x' ELSE 'y' END FROM T" },
    // Statements cut short go as they are, for SQLite to tell what is wrong.
    { "SELECT * FROM MA_X WHERE LTRIM(", "SELECT * FROM MA_X WHERE LTRIM(" },
    { "DELETE\nSELECT 1", "DELETE | SELECT 1" },
    { "SELECT DATEADD(", "SELECT DATEADD(" },
};

TEST(TsqlTranslator, splits_batches_into_statements_and_transaction_words)
{
    for (const Row& row : batches) {
        const TsqlTranslator::Batch batch = TsqlTranslator::translate(QString::fromUtf8(row.tsql));
        EXPECT_TRUE(batch.error.isEmpty()) << row.tsql << ": " << batch.error.toStdString();
        EXPECT_EQ(describe(batch.statements).toStdString(), row.sqlite) << row.tsql;
    }
}

TEST(TsqlTranslator, refuses_what_it_cannot_translate_faithfully)
{
    const char* refused[] = {
        "DECLARE @x int",
        "SELECT * FROM T WHERE a = @valor",
        "EXEC sp_who",
        "SELECT TOP 5 a FROM T UNION SELECT b FROM U",
        "SELECT TOP 5 WITH TIES a FROM T ORDER BY a",
        "SELECT CONVERT(xml, a) FROM T",
        "IF @@ROWCOUNT > 0 DELETE T",
        "SELECT 'sin cerrar FROM T",
        "INSERT INTO T VALUES (1); SET @x = 2",
        "INSERT INTO T VALUES (1); SET",
        "SELECT TOP (",
    };
    for (const char* tsql : refused) {
        const TsqlTranslator::Batch batch = TsqlTranslator::translate(QString::fromUtf8(tsql));
        EXPECT_TRUE(batch.statements.isEmpty()) << tsql;
        EXPECT_TRUE(batch.error.startsWith(
            QStringLiteral("La instrucción no se puede traducir para la base de datos SQLite")))
            << tsql << ": " << batch.error.toStdString();
    }
}

TEST(TsqlTranslator, puts_the_rowid_first_for_an_updatable_set)
{
    const TsqlTranslator::Query q = TsqlTranslator::translateQuery(
        QStringLiteral("SELECT * FROM ta_configuracion a with(nolock)  WHERE CLAVE = 'x'"),
        QStringLiteral("k"));

    EXPECT_TRUE(q.error.isEmpty());
    EXPECT_TRUE(q.hasRowid);
    EXPECT_EQ(q.table, QStringLiteral("ta_configuracion"));
    EXPECT_EQ(q.sql.toStdString(),
        "SELECT \"a\".rowid AS k, * FROM ta_configuracion a   WHERE CLAVE = 'x'");

    const TsqlTranslator::Query grouped = TsqlTranslator::translateQuery(
        QStringLiteral("SELECT a, COUNT(*) FROM T GROUP BY a"), QStringLiteral("k"));
    EXPECT_FALSE(grouped.hasRowid);
    EXPECT_EQ(TsqlTranslator::baseTable(QStringLiteral("select * from [dbo].[TA_X] with(nolock)")),
        QStringLiteral("TA_X"));
}

} // namespace
