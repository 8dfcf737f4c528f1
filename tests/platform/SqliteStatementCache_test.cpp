#include "platform/qt/SqliteStatementCache.h"

#include <gtest/gtest.h>

namespace {

struct Row
{
    bool query;
    const char* sql;
    // Null: the statement runs as written.
    const char* shape;
    QList<Value> values;
};

const Row rows[] = {
    { false, "INSERT INTO Aux (Usuario, Tipo, Nota, N) VALUES ('ana', 'IN', 'l''Ami', -12)",
        "INSERT INTO Aux (Usuario, Tipo, Nota, N) VALUES (?, ?, ?, -?)",
        { Value(QStringLiteral("ana")), Value(QStringLiteral("IN")), Value(QStringLiteral("l'Ami")),
            Value(qint64(12)) } },
    // Names with digits and quoted names stay; a decimal number, a blob and a number past 64
    // bits would not come back the same from a parameter.
    { false,
        "update \"T 1\" set Columna1 = 1.50, [B] = x'0A', C = 99999999999999999999 where Id2 = 7",
        "update \"T 1\" set Columna1 = 1.50, [B] = x'0A', C = 99999999999999999999 where Id2 = ?",
        { Value(qint64(7)) } },
    { false, "DELETE FROM Aux -- it's gone\n WHERE Usuario = 'a' /* 'b' */",
        "DELETE FROM Aux -- it's gone\n WHERE Usuario = ? /* 'b' */",
        { Value(QStringLiteral("a")) } },
    // Reads keep their column names; a number after ORDER BY or GROUP BY names a column.
    { false, "SELECT 'a' FROM T", nullptr, {} },
    { false, "INSERT INTO T SELECT A, 2 FROM U ORDER BY 1", nullptr, {} },
    { false, "INSERT INTO T SELECT A FROM U GROUP BY 1", nullptr, {} },
    { false, "INSERT INTO T VALUES (?, 'a')", nullptr, {} },
    { false, "UPDATE T SET A = @valor", nullptr, {} },
    { false, "INSERT INTO T VALUES ('sin cerrar)", nullptr, {} },
    // A query keeps its columns' names and its numbers: only the texts past its own WHERE go.
    { true,
        "SELECT 'a', (SELECT 1 FROM U WHERE B = 'b') AS C FROM T WHERE A = 'x''y' AND N = 2 "
        "AND M IN (SELECT M FROM U WHERE K = 'k') ORDER BY 1",
        "SELECT 'a', (SELECT 1 FROM U WHERE B = 'b') AS C FROM T WHERE A = ? AND N = 2 "
        "AND M IN (SELECT M FROM U WHERE K = ?) ORDER BY 1",
        { Value(QStringLiteral("x'y")), Value(QStringLiteral("k")) } },
    { true, "INSERT INTO T VALUES (1)", nullptr, {} },
};

TEST(SqliteStatementCache, takes_the_literals_of_a_statement_out_as_parameters)
{
    for (const Row& row : rows) {
        const QString sql = QString::fromUtf8(row.sql);
        const auto shape = row.query ? SqliteStatementCache::shapeOfQuery(sql)
                                     : SqliteStatementCache::shapeOf(sql);

        ASSERT_EQ(shape.has_value(), row.shape != nullptr) << row.sql;
        if (!shape)
            continue;
        EXPECT_EQ(shape->sql, QByteArray(row.shape)) << row.sql;
        EXPECT_EQ(shape->values, row.values) << row.sql;
    }
}

} // namespace
