#include "platform/AdoRecordset.h"

#include <functional>

#include <gtest/gtest.h>

#include "support/FakeAdoProvider.h"

namespace {

using testsupport::FakeAdoConnection;

// Recordset rules common to every provider, on scripted rows.
class AdoRecordsetRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_cnn = m_provider.createConnection();
        m_fake = m_provider.connections().first();
        FakeAdoConnection::Result rows;
        rows.columns = { { QStringLiteral("Codigo"), adVarChar, 4 },
            { QStringLiteral("Nombre"), adVarChar, 20 } };
        for (const char* code : { "A", "B", "C" })
            rows.rows.append({ Value(QString::fromLatin1(code)), Value(QStringLiteral("n")) });
        rows.table = QStringLiteral("T");
        m_fake->script(QStringLiteral("FROM T"), rows);
        ASSERT_TRUE(m_cnn->Open(QStringLiteral("x")));
    }

    QString code(AdoRecordset& rs)
    {
        return rs.Fields(QStringLiteral("codigo")).Value().toString();
    }

    int raised(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const RuntimeError& e) {
            return e.number();
        }
        return 0;
    }

    testsupport::FakeAdoProvider m_provider;
    std::unique_ptr<AdoConnection> m_cnn;
    FakeAdoConnection* m_fake = nullptr;
};

TEST_F(AdoRecordsetRules, a_forward_only_set_moves_only_forward)
{
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get()));

    EXPECT_EQ(raised([&] { rs.MovePrevious(); }), AdoErrorNumber::NotSupported);
    EXPECT_EQ(raised([&] { rs.MoveLast(); }), AdoErrorNumber::NotSupported);
    EXPECT_EQ(raised([&] { rs.Fields(0).setValue(Value(QStringLiteral("Z"))); }),
        AdoErrorNumber::NotSupported);
    EXPECT_FALSE(rs.AddNew());
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::NotSupported);
    rs.MoveNext();
    rs.MoveNext();
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(raised([&] { rs.MoveNext(); }), AdoErrorNumber::NoCurrentRecord);
    rs.MoveFirst();
    EXPECT_EQ(code(rs), QStringLiteral("A"));
    EXPECT_EQ(m_fake->count(QStringLiteral("Query")), 2);
}

TEST_F(AdoRecordsetRules, a_client_set_scrolls_both_ways)
{
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get(), adOpenStatic));

    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveLast();
    EXPECT_EQ(code(rs), QStringLiteral("C"));
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.MovePrevious();
    rs.MovePrevious();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(raised([&] { rs.MovePrevious(); }), AdoErrorNumber::NoCurrentRecord);
    rs.MoveFirst();
    EXPECT_EQ(rs.GetRows().size(), 3);
    EXPECT_TRUE(rs.Eof());
}

TEST_F(AdoRecordsetRules, an_edit_is_stored_when_the_row_changes_and_dropped_on_cancel)
{
    AdoRecordset rs;
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get(), adOpenDynamic, adLockOptimistic));

    rs.Fields(QStringLiteral("Nombre")).setValue(Value(QStringLiteral("uno")));
    EXPECT_EQ(rs.EditMode(), adEditInProgress);
    rs.MoveNext();
    rs.Fields(QStringLiteral("Nombre")).setValue(Value(QStringLiteral("dos")));
    EXPECT_TRUE(rs.CancelUpdate());
    EXPECT_EQ(rs.Fields(QStringLiteral("Nombre")).Value(), Value(QStringLiteral("n")));
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("Codigo")).setValue(Value(QStringLiteral("D")));
    EXPECT_TRUE(rs.CancelUpdate());
    EXPECT_EQ(code(rs), QStringLiteral("B"));
    rs.MovePrevious();
    EXPECT_EQ(rs.Fields(QStringLiteral("Nombre")).Value(), Value(QStringLiteral("uno")));

    EXPECT_EQ(m_fake->log().filter(QStringLiteral("Update")),
        QStringList { QStringLiteral("Update T Nombre=uno") });
    EXPECT_EQ(m_fake->count(QStringLiteral("Insert")), 0);
}

TEST_F(AdoRecordsetRules, a_deleted_row_is_current_until_the_next_move)
{
    AdoRecordset rs;
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get(), adOpenKeyset, adLockOptimistic));
    rs.MoveNext();

    ASSERT_TRUE(rs.Delete());

    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(raised([&] { rs.Fields(0).Value(); }), AdoErrorNumber::NoCurrentRecord);
    rs.MoveNext();
    EXPECT_EQ(code(rs), QStringLiteral("C"));
    EXPECT_EQ(rs.RecordCount(), 2);
}

TEST_F(AdoRecordsetRules, a_failed_write_keeps_the_edit_and_the_providers_errors)
{
    AdoRecordset rs;
    ASSERT_TRUE(
        rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("Codigo")).setValue(Value(QStringLiteral("A")));
    m_fake->failNext(FakeAdoConnection::Command::Write, { FakeAdoConnection::duplicateKey() });

    EXPECT_FALSE(rs.Update());

    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::IntegrityViolation);
    EXPECT_EQ(m_cnn->Errors().Item(0).NativeError(), 2627);
    EXPECT_EQ(rs.EditMode(), adEditAdd);
    EXPECT_FALSE(rs.Close());
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::IllegalOperation);
    EXPECT_TRUE(rs.Update());
    EXPECT_TRUE(rs.Close());
}

TEST_F(AdoRecordsetRules, objects_refuse_calls_in_the_wrong_state)
{
    AdoRecordset rs;
    EXPECT_EQ(raised([&] { rs.Eof(); }), AdoErrorNumber::ObjectClosed);
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT * FROM T"), nullptr));
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::InvalidConnection);
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get()));
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get()));
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::ObjectOpen);
    EXPECT_EQ(raised([&] { rs.Fields(7); }), AdoErrorNumber::ItemNotFound);

    // Closing the connection closes a forward-only read with it.
    ASSERT_TRUE(m_cnn->Close());
    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT * FROM T"), m_cnn.get()));
    EXPECT_EQ(rs.LastError().number(), AdoErrorNumber::InvalidConnection);
}

} // namespace
