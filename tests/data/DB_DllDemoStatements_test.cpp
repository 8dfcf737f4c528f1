#include "data/DB_Dll.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

// Real statements on a demo database file through the real provider.
class DB_DllDemoStatementsTest : public testsupport::DemoDatabaseTest
{
protected:
    DB_DllDemoStatementsTest()
        : DemoDatabaseTest(40)
    {
    }

    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        gDB().gServidor = QStringLiteral("SQLITE");
        gDB().gDBName = m_file;
        gDB().gUsuario = gDB().gUserPassWord = QStringLiteral("DEMO");
    }

    void open(bool admin = true)
    {
        gDB().OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(gDB().gOpenFlag);
        gDB().gEsAdmin = admin;
    }

    QString scalar(const QString& sql)
    {
        AdoRecordset rs;
        gDB().AbrirRecordset(sql, rs);
        const QString value = rs.Eof() ? QStringLiteral("<none>") : rs.Fields(0).Value().toString();
        gDB().CierraRecordset(rs);
        return value;
    }
};

} // namespace

TEST_F(DB_DllDemoStatementsTest, the_program_wide_object_opens_the_demo_file_and_keeps_it)
{
    open();

    EXPECT_EQ(gDB().gConnString,
        QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =") + gDB().gDBName
            + QStringLiteral(";UId=DEMO;Pwd=DEMO;"));
    AdoRecordset rs;
    QString sql = QStringLiteral(
        "SELECT TOP 3 IDARTICULO FROM V_MA_ARTICULOS with(nolock) ORDER BY IDARTICULO");
    gDB().AbrirRecordset(sql, rs);
    int rows = 0;
    for (; !rs.Eof(); rs.MoveNext())
        ++rows;
    gDB().CierraRecordset(rs);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT COUNT(*) FROM TA_USUARIOS with(nolock)")) == u"0", false);
    EXPECT_EQ(gDB().gCnn().State(), adStateOpen);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(DB_DllDemoStatementsTest, a_bare_database_name_is_the_file_in_the_program_folder)
{
    gDB().gDBName = QStringLiteral("DEMO");

    open();

    EXPECT_NE(scalar(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS")), QStringLiteral("0"));
}

TEST_F(DB_DllDemoStatementsTest, an_operator_reads_the_restricted_views)
{
    open(false);
    QString sql = QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE Codigo <> ''");
    AdoRecordset rs;

    gDB().AbrirRecordset(sql, rs);

    EXPECT_EQ(sql, QStringLiteral("SELECT COUNT(*) FROM SS_MA_CUENTAS WHERE Codigo <> ''"));
    ASSERT_FALSE(rs.Eof());
    EXPECT_GT(rs.Fields(0).Value().toLongLong(), 0);
}

TEST_F(DB_DllDemoStatementsTest, statements_leave_their_failures_in_the_errors_for_the_caller)
{
    open();
    const QString insert
        = QStringLiteral("INSERT INTO @Admin_MA_CUENTAS (Codigo, Descripcion) VALUES (")
        + gDB().SQLValue(QStringLiteral("ZZ-1")) + u',' + gDB().SQLValue(QStringLiteral("D'Angelo"))
        + u')';
    QString sql = insert;
    qint64 affected = 0;

    gDB().EjecutaConsultaSQL(sql, &affected);

    EXPECT_EQ(sql,
        QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES "
                       "('ZZ-1','D''Angelo')"));
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(gDB().gCnn().Errors().Count(), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM MA_CUENTAS WHERE Codigo = 'zz-1'")),
        QStringLiteral("D'Angelo"));

    gDB().EjecutaConsultaSQL(QString(insert));

    ASSERT_GE(gDB().gCnn().Errors().Count(), 1);
    EXPECT_EQ(gDB().gCnn().Errors().Item(0).NativeError(), 2627);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(DB_DllDemoStatementsTest, a_local_file_that_is_not_there_is_looked_for)
{
    DB_Dll local;
    local.gProveedor = DB_Dll::pJETOLEDB40();
    local.gDBName = m_dir.filePath(QStringLiteral("NO_ESTA.db"));
    local.gUsuario = QStringLiteral("Admin");
    testsupport::fileDialogs().answer(gDB().gDBName);

    local.OpenLocalADODB();

    EXPECT_EQ(local.gDBName, gDB().gDBName);
    EXPECT_EQ(local.gCnn().State(), adStateOpen);
    EXPECT_TRUE(local.gConnString.startsWith(
        QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + gDB().gDBName));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}
