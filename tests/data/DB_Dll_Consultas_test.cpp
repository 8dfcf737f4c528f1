#include "data/DB_Dll.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "support/FakeAdoProvider.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

// The answer flows of the existence queries, on a connection told where to fail. Results on real
// tables are checked on the demo database (DB_Dll_Demo_test.cpp).

namespace {

using testsupport::FakeAdoConnection;
using Command = FakeAdoConnection::Command;

constexpr int E_FAIL_ = AdoErrorNumber::Fail;

class DB_DllConsultasTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setExecutableFolder(m_programDir.path());
        db().gServidor = QStringLiteral("SRV");
        db().gDBName = QStringLiteral("GESTION");
        db().OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(db().gOpenFlag);
        db().gEsAdmin = true;
        // Every read of MA_X finds one row.
        cnn().script(QStringLiteral("MA_X"),
            { { { QStringLiteral("A"), adInteger, 4 } }, { { Value(qint32(1)) } } });
        cnn().clearLog();
    }

    DB_Dll& db() { return m_objects.gDB; }
    FakeAdoConnection& cnn() { return *m_provider.connections().first(); }
    static AdoError fallo()
    {
        return AdoError(
            E_FAIL_, QStringLiteral("El objeto MA_X no existe."), QStringLiteral("42S02"), 208);
    }
    static AdoError enlacePerdido() { return FakeAdoConnection::lostLink(); }
    static const QList<testsupport::ShownBox>& boxes() { return testsupport::messages().shown(); }
    int opens() { return cnn().count(QStringLiteral("Open ")); }
    int queries() { return cnn().count(QStringLiteral("Query ")); }

    QTemporaryDir m_programDir;
    testsupport::FakeAdoProvider m_provider;
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
};

} // namespace

TEST_F(DB_DllConsultasTest, sends_the_statement_and_finds_the_row)
{
    EXPECT_TRUE(db().ExisteEnTabla(QStringLiteral("MA_X"), QStringLiteral("ABC")));

    EXPECT_EQ(cnn().log(),
        QStringList { QStringLiteral(
            "Query SELECT TOP 1  * FROM MA_X with(nolock)  WHERE LTRIM(RTRIM(Codigo)) ='ABC'") });
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConsultasTest, a_failure_asks_abort_retry_ignore)
{
    struct Row
    {
        int answer;
        bool found;
        int cursors;
        int boxes;
    };
    const Row rows[] = {
        { Msg::Retry, true, 2, 1 }, // the open runs again and finds the row
        { Msg::Abort, false, 1, 1 },
        // Ignore goes on with a recordset that never opened: its reading fails and asks again.
        { Msg::Ignore, false, 1, 2 },
    };
    for (const Row& row : rows) {
        testsupport::messages().clear();
        cnn().clearLog();
        cnn().failNext(Command::Query, { fallo() });
        testsupport::messages().answer(row.answer);
        if (row.boxes > 1)
            testsupport::messages().answer(Msg::Abort);

        const bool found = db().ExisteEnTabla(QStringLiteral("MA_X"), QStringLiteral("ABC"));

        SCOPED_TRACE(row.answer);
        EXPECT_EQ(found, row.found);
        EXPECT_EQ(queries(), row.cursors);
        ASSERT_EQ(boxes().size(), row.boxes);
        EXPECT_EQ(boxes()[0].title, QStringLiteral("Aviso al Operador"));
        EXPECT_EQ(boxes()[0].style, Msg::AbortRetryIgnore + Msg::Critical);
        EXPECT_TRUE(boxes()[0].text.contains(QStringLiteral("El objeto MA_X no existe.")))
            << boxes()[0].text.toStdString();
    }
}

TEST_F(DB_DllConsultasTest, a_lost_link_is_reconnected_and_the_read_runs_again)
{
    cnn().failNext(Command::Query, { enlacePerdido() });

    EXPECT_TRUE(db().ExisteEnTablaST(QStringLiteral("MA_X"), QStringLiteral("ABC")));

    EXPECT_EQ(opens(), 1);
    EXPECT_EQ(queries(), 2);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConsultasTest, existence_asks_after_one_more_failed_reconnect)
{
    cnn().failNext(Command::Query, { enlacePerdido() });
    cnn().failNext(Command::Open, { FakeAdoConnection::genericFailure() }, 2);
    testsupport::messages().answer(Msg::No);

    EXPECT_THROW(db().ExisteEnTabla(QStringLiteral("MA_X"), QStringLiteral("ABC")),
        testsupport::ProgramEnded);

    EXPECT_EQ(opens(), 2);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_TRUE(boxes()[0].text.startsWith(
        QStringLiteral("\r\n\r\n\r\nSe perdio la conexion con la base de datos GESTION\r\n")));
}

TEST_F(DB_DllConsultasTest, a_lookup_told_to_ignore_errors_answers_empty_without_a_word)
{
    // The statement runs; the column asked for is not in the row.
    const Value dato
        = db().DatosTabla(QStringLiteral("MA_X"), QStringLiteral("ABC"), QStringLiteral("NoExiste"),
            QStringLiteral("Codigo"), Value(qint32(8)), QString(), true, true);

    EXPECT_EQ(dato, Value(QString()));
    EXPECT_TRUE(boxes().isEmpty());
}
