#include "lookup/SentenciaConsulta.h"

#include <gtest/gtest.h>

#include "support/QtPrinters.h"

TEST(SentenciaConsulta, conditions_go_between_the_statements_own_filter_and_its_tail)
{
    const struct
    {
        const char* sentencia;
        QStringList condiciones;
        const char* esperada;
    } casos[] = {
        { "SELECT A FROM T ORDER BY A", { "A like 'x%'" },
            "SELECT A FROM T  where A like 'x%' ORDER BY A" },
        // Its own filter stays whole: an OR in it cannot let rows past the added condition.
        { "SELECT A FROM T WHERE B = 1 OR B = 2 ORDER BY A", { "A like 'x%'", "C like 'y%'" },
            "SELECT A FROM T WHERE (B = 1 OR B = 2)  and A like 'x%'  and C like 'y%' ORDER BY A" },
        // A GROUP BY takes the conditions in front of it, the ORDER BY after it stays in the tail.
        { "SELECT A FROM T GROUP BY A ORDER BY A", { "A like 'x%'" },
            "SELECT A FROM T  where A like 'x%' GROUP BY A ORDER BY A" },
        // Words inside a sub-select, a literal, a bracketed name or a comment are not the
        // statement's own clauses.
        { "SELECT A, (SELECT TOP 1 B FROM U WHERE U.A = T.A ORDER BY B) AS [order by] FROM T "
          "-- where order by\n",
            { "A like 'x%'" },
            "SELECT A, (SELECT TOP 1 B FROM U WHERE U.A = T.A ORDER BY B) AS [order by] FROM T "
            "-- where order by\n where A like 'x%' " },
        { "SELECT A FROM T WHERE N = 'group by' /* order by */", { "A like 'x%'" },
            "SELECT A FROM T WHERE (N = 'group by' /* order by */)  and A like 'x%' " },
        // Nothing added: the statement as it came.
        { "SELECT A FROM T WHERE B = 1", {}, "SELECT A FROM T WHERE B = 1" },
    };
    for (const auto& caso : casos) {
        SentenciaConsulta sentencia(QString::fromLatin1(caso.sentencia));

        for (const QString& condicion : caso.condiciones)
            sentencia.agregaCondicion(condicion);

        EXPECT_EQ(sentencia.texto(), QString::fromLatin1(caso.esperada));
    }
}
