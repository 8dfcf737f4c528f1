#include "platform/qt/QtAdoProvider.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/AdoRecordset.h"
#include "platform/qt/OdbcEngine.h"
#include "platform/qt/QtAdoConnection.h"
#include "support/DemoDatabaseFiles.h"

namespace {

// Debian puts the driver under the architecture's library folder (x86_64-linux-gnu,
// aarch64-linux-gnu, ...); the package is one the set-up script installs, so a missing driver
// fails the test rather than skipping it.
QString sqliteOdbcDriver()
{
    const QString name = QStringLiteral("odbc/libsqlite3odbc.so");
    for (const QString& root : { QStringLiteral("/usr/lib"), QStringLiteral("/usr/lib64") }) {
        if (QFileInfo::exists(root + u'/' + name))
            return root + u'/' + name;
        const QStringList arch = QDir(root).entryList(
            { QStringLiteral("*-linux-gnu*") }, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& a : arch) {
            const QString path = root + u'/' + a + u'/' + name;
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return QString();
}

// The server path for real: the program's SQL Server connection text, mapped onto QODBC, with the
// Debian SQLite ODBC driver registered for this test only (its own odbcinst.ini via ODBCSYSINI)
// standing in for the server's driver, on a demo database.
class OdbcProvider : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QByteArray driver = sqliteOdbcDriver().toUtf8();
        ASSERT_FALSE(driver.isEmpty()) << "libsqliteodbc is not installed (scripts/setup.sh)";
        ASSERT_TRUE(m_dir.isValid());
        m_file = testsupport::writeDemoDatabases(m_dir.path(), 40);
        ASSERT_FALSE(m_file.isEmpty());
        QFile ini(m_dir.filePath(QStringLiteral("odbcinst.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        // The system's name for the driver goes in too, so a later test of this process that
        // names it still finds it whichever file unixODBC read first.
        for (const char* name : { "RpPruebaSqlite", "SQLite3" })
            ini.write(QByteArray("[") + name
                + "]\nDescription=SQLite para pruebas\nDriver=" + driver + "\n\n");
        ini.close();
        m_previousIni = qgetenv("ODBCSYSINI");
        qputenv("ODBCSYSINI", m_dir.path().toUtf8());
        m_provider = std::make_unique<QtAdoProvider>(QtAdoProvider::Settings {
            m_dir.path(), QStringLiteral("RpPruebaSqlite"), QStringLiteral("Oracle") });
        m_cnn = m_provider->createConnection();
        // What the program appends to a SQL Server text goes to the driver: here the extension
        // that gives the file its text comparisons.
        const QString text = QStringLiteral("PROVIDER=SQLOLEDB;Server=localhost:1433;Database =%1;"
                                            "UId=sa;Pwd=x;LoadExt=%2;")
                                 .arg(m_file, QStringLiteral(RP_SQLITE_TEXT_MODULE));
        const bool opened = m_cnn->Open(text);
        // unixODBC reads odbcinst.ini once per process: under ctest every test has its own.
        if (!opened && m_cnn->LastError().description().contains(QStringLiteral("RpPruebaSqlite")))
            GTEST_SKIP() << "unixODBC read another odbcinst.ini earlier in this process";
        ASSERT_TRUE(opened) << m_cnn->LastError().description().toStdString();
        EXPECT_EQ(m_cnn->ConnectionString(), text);
    }

    void TearDown() override
    {
        m_cnn.reset();
        if (m_previousIni.isNull())
            qunsetenv("ODBCSYSINI");
        else
            qputenv("ODBCSYSINI", m_previousIni);
    }

    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_previousIni;
    std::unique_ptr<QtAdoProvider> m_provider;
    std::unique_ptr<AdoConnection> m_cnn;
};

TEST_F(OdbcProvider, reads_with_the_servers_comparisons_and_sizes)
{
    AdoRecordset rs;

    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS WHERE Codigo "
                                       "= (SELECT MIN(Codigo) FROM MA_CUENTAS)"),
        m_cnn.get()));

    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(QStringLiteral("codigo")).DefinedSize(), 15);
    EXPECT_EQ(rs.Fields(QStringLiteral("codigo")).Value().type(), ValueType::Text);
    const QString code = rs.Fields(0).Value().toString();
    rs.Close();
    ASSERT_TRUE(rs.Open(
        QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS WHERE Codigo = '%1  '").arg(code.toLower()),
        m_cnn.get()));
    EXPECT_EQ(rs.Fields(0).Value().toLongLong(), 1);
}

TEST_F(OdbcProvider, writes_through_an_updatable_set_by_primary_key)
{
    const QString sql = QStringLiteral("SELECT * FROM MA_CUENTAS WHERE Codigo = 'ODBC1'");
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(sql, m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_TRUE(rs.Eof());
    ASSERT_TRUE(rs.AddNew());
    rs.Fields(QStringLiteral("Codigo")).setValue(Value(QStringLiteral("ODBC1")));
    rs.Fields(QStringLiteral("Descripcion")).setValue(Value(QStringLiteral("Cuenta uno")));
    ASSERT_TRUE(rs.Update()) << rs.LastError().description().toStdString();
    rs.Fields(QStringLiteral("Descripcion")).setValue(Value(QStringLiteral("Cuenta única")));
    ASSERT_TRUE(rs.Update()) << rs.LastError().description().toStdString();
    ASSERT_TRUE(rs.Close());

    ASSERT_TRUE(rs.Open(sql, m_cnn.get(), adOpenDynamic, adLockOptimistic));
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(
        rs.Fields(QStringLiteral("Descripcion")).Value(), Value(QStringLiteral("Cuenta única")));
    ASSERT_TRUE(rs.Delete()) << rs.LastError().description().toStdString();
    ASSERT_TRUE(rs.Close());

    qint64 affected = -1;
    ASSERT_TRUE(
        m_cnn->Execute(QStringLiteral("DELETE FROM MA_CUENTAS WHERE Codigo = 'ODBC1'"), &affected));
    EXPECT_EQ(affected, 0);
}

TEST_F(OdbcProvider, a_command_during_a_forward_only_read_does_not_cut_the_read)
{
    AdoRecordset count;
    ASSERT_TRUE(count.Open(QStringLiteral("SELECT COUNT(*) FROM V_TA_FAMILIAS"), m_cnn.get()));
    const qint64 expected = count.Fields(0).Value().toLongLong();
    count.Close();
    AdoRecordset rs;
    ASSERT_TRUE(rs.Open(QStringLiteral("SELECT IdFamilia FROM V_TA_FAMILIAS"), m_cnn.get()));

    qint64 rows = 0;
    while (!rs.Eof()) {
        if (rows == 1) {
            ASSERT_TRUE(
                m_cnn->Execute(QStringLiteral("UPDATE V_MA_ARTICULOS SET PUNTOPEDIDO = 2")));
        }
        ++rows;
        rs.MoveNext();
    }

    EXPECT_EQ(rows, expected);
}

TEST_F(OdbcProvider, a_refused_statement_fills_errors_without_throwing)
{
    EXPECT_FALSE(m_cnn->Execute(QStringLiteral("INSERT INTO NOEXISTE VALUES (1)")));

    ASSERT_GE(m_cnn->Errors().Count(), 1);
    EXPECT_FALSE(m_cnn->Errors().Item(0).Description().isEmpty());
    EXPECT_TRUE(m_cnn->Execute(QStringLiteral("SELECT 1")));
    EXPECT_EQ(m_cnn->Errors().Count(), 0);
}

struct TextRow
{
    const char* program;
    const char* odbc;
};

TEST(OdbcConnectionText, maps_the_programs_texts_onto_odbc)
{
    const QtAdoConnection cnn(QtAdoProvider::Settings {
        QStringLiteral("/prog"), QStringLiteral("FreeTDS"), QStringLiteral("Oracle 19") });
    const TextRow rows[] = {
        { "PROVIDER=SQLOLEDB;Server=SRV:1433;Database =VENTAS;UId=sa;Pwd=clave;",
            "DRIVER={FreeTDS};SERVER=SRV;PORT=1433;DATABASE=VENTAS;UID=sa;PWD=clave;"
            "ClientCharset=UTF-8;" },
        // The extended attributes follow the last ";" without a separator of their own.
        { "PROVIDER=SQLOLEDB;Server=SRV;Database =VENTAS;UId=sa;Pwd=a;b;TDS_Version=7.4;",
            "DRIVER={FreeTDS};SERVER=SRV;DATABASE=VENTAS;UID=sa;PWD=a;ClientCharset=UTF-8;"
            "TDS_Version=7.4;" },
        { "Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=ventas;Password=x;",
            "DRIVER={Oracle 19};DBQ=ORCL;UID=ventas;PWD=x;" },
    };
    for (const TextRow& row : rows)
        EXPECT_EQ(cnn.odbcText(QString::fromLatin1(row.program), {}, {}).toStdString(), row.odbc);

    EXPECT_EQ(cnn.sqliteFile(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =demo;")),
        QStringLiteral("/prog/demo.db"));
    EXPECT_EQ(cnn.sqliteFile(QStringLiteral("PROVIDER=SQLOLEDB;Server=SQLITE;Database =/d/x.db;")),
        QStringLiteral("/d/x.db"));
    EXPECT_TRUE(
        cnn.sqliteFile(QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV;Database =demo;")).isEmpty());
}

} // namespace

// A decimal or money column as a driver hands it, its text or a double, is money to the cent and
// beyond: a whole amount's double reads as "1e+12", which is no amount.
TEST(OdbcAmounts, decimal_and_money_columns_are_read_as_exact_money)
{
    const struct
    {
        QVariant driver;
        const char* amount;
    } cases[] = {
        { QVariant(QStringLiteral("1000000000000.0000")), "1000000000000" },
        { QVariant(QStringLiteral("922337203685477.5807")), "922337203685477.5807" },
        { QVariant(QStringLiteral("-0.3700")), "-0.37" },
        { QVariant(1e12), "1000000000000" },
        { QVariant(1000000000000.37), "1000000000000.37" },
    };
    for (const auto& c : cases) {
        const Value v = OdbcEngine::amountOf(c.driver);
        ASSERT_EQ(v.type(), ValueType::Currency) << c.amount;
        EXPECT_EQ(v.toCurrency().toString(), QLatin1String(c.amount));
    }
}
