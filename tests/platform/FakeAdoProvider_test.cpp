#include "support/FakeAdoProvider.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/AdoRecordset.h"

namespace {

using testsupport::FakeAdoConnection;

TEST(FakeAdoProvider, answers_scripted_rows_and_logs_every_command)
{
    testsupport::FakeAdoProvider provider;
    auto cnn = provider.createConnection();
    auto& fake = *provider.connections().first();
    fake.script(QStringLiteral("FROM TA_CONFIGURACION"),
        { { { QStringLiteral("VALOR"), adVarChar, 255 } }, { { Value(QStringLiteral("SI")) } }, 0,
            QString() });
    ASSERT_TRUE(cnn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=S;")));

    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION"), cnn.get()));

    EXPECT_EQ(rs.Fields(QStringLiteral("valor")).Value(), Value(QStringLiteral("SI")));
    EXPECT_EQ(fake.log(),
        QStringList({ QStringLiteral("Open PROVIDER=SQLOLEDB;Server=S;"),
            QStringLiteral("Query SELECT VALOR FROM TA_CONFIGURACION") }));
}

TEST(FakeAdoProvider, a_statement_the_test_did_not_script_fails_it)
{
    testsupport::FakeAdoProvider provider;
    auto cnn = provider.createConnection();
    ASSERT_TRUE(cnn->Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=S;")));
    AdoRecordset rs;

    EXPECT_NONFATAL_FAILURE(rs.Open(QStringLiteral("SELECT * FROM TA_OTRA"), cnn.get()),
        "statement not scripted: SELECT * FROM TA_OTRA");
}

TEST(FakeAdoProvider, injects_a_lost_link_e_fail_and_3709)
{
    testsupport::FakeAdoProvider provider;
    auto cnn = provider.createConnection();
    auto& fake = *provider.connections().first();
    fake.failNextWith(FakeAdoConnection::Command::Open, AdoErrorNumber::InvalidConnection,
        QStringLiteral("cerrada"));
    EXPECT_FALSE(cnn->Open(QStringLiteral("x")));
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::InvalidConnection);
    EXPECT_EQ(cnn->Errors().Count(), 0);

    fake.failNext(FakeAdoConnection::Command::Open, { FakeAdoConnection::genericFailure() });
    EXPECT_FALSE(cnn->Open(QStringLiteral("x")));
    EXPECT_EQ(cnn->LastError().number(), AdoErrorNumber::Fail);
    ASSERT_TRUE(cnn->Open(QStringLiteral("x")));

    fake.failNext(FakeAdoConnection::Command::Execute, { FakeAdoConnection::lostLink() }, 2);
    EXPECT_FALSE(cnn->Execute(QStringLiteral("UPDATE T SET a = 1")));
    EXPECT_EQ(cnn->Errors().Item(0).NativeError(), 11);
    EXPECT_FALSE(cnn->Execute(QStringLiteral("UPDATE T SET a = 1")));
    EXPECT_TRUE(cnn->Execute(QStringLiteral("UPDATE T SET a = 1")));
    EXPECT_EQ(fake.count(QStringLiteral("Execute UPDATE")), 3);
}

} // namespace
