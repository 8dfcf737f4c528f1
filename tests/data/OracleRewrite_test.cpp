#include "data/OracleRewrite.h"

#include <QStringList>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "support/QtPrinters.h"

using OracleRewrite::BatchStep;

namespace {

struct Row
{
    const char* in;
    const char* out;
};

// The steps of a batch as one line each, easy to compare and to read in a failure.
QStringList stepsOf(const QString& lote)
{
    QStringList out;
    for (const BatchStep& step : OracleRewrite::divideLote(OracleRewrite::normalizaLote(lote))) {
        switch (step.kind) {
        case BatchStep::Kind::BeginTrans:
            out << QStringLiteral("BeginTrans");
            break;
        case BatchStep::Kind::CommitTrans:
            out << QStringLiteral("CommitTrans");
            break;
        case BatchStep::Kind::RollbackTrans:
            out << QStringLiteral("RollbackTrans");
            break;
        case BatchStep::Kind::Statement:
            out << step.text;
            break;
        }
    }
    return out;
}

} // namespace

TEST(OracleRewrite, rewrites_single_statements)
{
    const Row rows[] = {
        // One word: only LEN means something.
        { "len", "LENGTH" },
        { "Codigo", "Codigo" },
        // The row limit goes before the ORDER BY tail; the blanks are what the suite has always
        // sent.
        { "SELECT TOP 10 * FROM T ORDER BY A",
            "SELECT  * FROM T    WHERE ROWNUM <= 10  ORDER BY A" },
        { "SELECT TOP 5 A FROM T WHERE B = 1", "SELECT  A FROM T WHERE B = 1  AND ROWNUM <= 5  " },
        { "SELECT TOP 3 A, COUNT(*) FROM T GROUP BY A",
            "SELECT  A, COUNT(*) FROM T    WHERE ROWNUM <= 3  GROUP BY A " },
        // "laptop " starts the rewrite like TOP does.
        { "SELECT laptop FROM T", "SELECT lap T  WHERE ROWNUM <= FROM  " },
        { "SELECT LEN (Nombre), len(x) FROM T", "SELECT LENGTH(Nombre), LENGTH(x) FROM T" },
        { "SELECT [Codigo] FROM [MA_ARTICULOS]", "SELECT \"Codigo\" FROM \"MA_ARTICULOS\"" },
        { "SELECT * FROM T WHERE F >= '05/03/2024' AND N = 'Perez'",
            "SELECT * FROM T WHERE F >= TO_DATE('05/03/2024','DD/MM/YYYY') AND N = 'Perez'" },
        { "SELECT * FROM T WHERE F = '2024-03-05'",
            "SELECT * FROM T WHERE F = TO_DATE('05/03/2024','DD/MM/YYYY')" },
        // Only the day of a moment is kept, as the suite's other programs rewrite it.
        { "SELECT * FROM T WHERE F < '2024-03-05 13:45:00'",
            "SELECT * FROM T WHERE F < TO_DATE('05/03/2024','DD/MM/YYYY')" },
        // Already converted: stays wrapped once, even when the same date appears twice.
        { "SELECT * FROM T WHERE F = TO_DATE('01/02/2024','DD/MM/YYYY') OR G = '01/02/2024'",
            "SELECT * FROM T WHERE F = TO_DATE('01/02/2024','DD/MM/YYYY') OR G = "
            "TO_DATE('01/02/2024','DD/MM/YYYY')" },
        { "SELECT CHARINDEX('x', A) FROM T", "SELECT InStr('x', A) FROM T" },
        { "SELECT CONVERT(NVARCHAR, F, 103), CONVERT(INT, C) FROM T",
            "SELECT TO_CHAR( F, 'DD/MM/YYYY'), TO_NUMBER( C) FROM T" },
        // A code 103 outside TO_CHAR stays a number.
        { "SELECT A FROM T WHERE C = 103", "SELECT A FROM T WHERE C = 103" },
        // Before the WHERE an empty literal is a value, after it a test.
        { "SELECT '' AS X FROM T WHERE A = '' AND B=''",
            "SELECT '' AS X FROM T WHERE A  IS NULL  AND B IS NULL " },
        { "SELECT SUBSTRING(A,1,2), ISNULL(B,0) FROM T", "SELECT SUBSTR(A,1,2), NVL(B,0) FROM T" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(OracleRewrite::ORACLE_Dicc(QString::fromUtf8(row.in)), QString::fromUtf8(row.out))
            << row.in;
}

TEST(OracleRewrite, refuses_what_it_cannot_read)
{
    for (const char* text : { "SELECT * FROM T WHERE N = 'abc", "SELECT TOP 10" }) {
        try {
            OracleRewrite::ORACLE_Dicc(QString::fromUtf8(text));
            ADD_FAILURE() << text;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), RuntimeError::InvalidCall) << text;
        }
    }
}

TEST(OracleRewrite, filters_statements_without_oracle_meaning)
{
    QString nocount = QStringLiteral("set nocount on");
    QString ifNotExists = QStringLiteral("IF NOT EXISTS (SELECT 1 FROM T)");
    QString insert = QStringLiteral("INSERT INTO T VALUES (1)");

    EXPECT_EQ(OracleRewrite::FiltraSentenciaOracle(nocount), QString());
    EXPECT_EQ(nocount, QString());
    EXPECT_EQ(OracleRewrite::FiltraSentenciaOracle(ifNotExists), QString());
    EXPECT_EQ(ifNotExists, QStringLiteral("IF NOT EXISTS (SELECT 1 FROM T)"));
    EXPECT_EQ(OracleRewrite::FiltraSentenciaOracle(insert), insert);
}

TEST(OracleRewrite, cuts_a_batch_into_transaction_steps_and_statements)
{
    const QString lote = QStringLiteral(
        "SET NOCOUNT ON\r\nBEGIN TRANSACTION\r\nGO\r\nINSERT INTO T VALUES (1)\r\nGO\r\n"
        "insert into T VALUES (2)\nGO\nCOMMIT TRANSACTION\r\nGO");

    const QStringList steps = stepsOf(lote);

    EXPECT_EQ(steps,
        (QStringList { QStringLiteral("BeginTrans"), QStringLiteral("INSERT INTO T VALUES (1)"),
            QStringLiteral("insert into T VALUES (2)"), QStringLiteral("CommitTrans") }));
}

TEST(OracleRewrite, never_runs_text_before_the_first_keyword)
{
    const QStringList steps
        = stepsOf(QStringLiteral("-- comentario\r\nUPDATE T SET A = 1 ROLLBACK TRANS"));

    EXPECT_EQ(steps,
        (QStringList { QStringLiteral("UPDATE T SET A = 1"), QStringLiteral("RollbackTrans") }));
}
