#include "data/DB_Dll.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "data/ConnectionDialog.h"
#include "data/DataObjects.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "support/FakeAdoProvider.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

using testsupport::FakeAdoConnection;
using Command = FakeAdoConnection::Command;

constexpr int E_FAIL_ = AdoErrorNumber::Fail;

const QString SqlServerText
    = QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV;Database =GESTION;UId=GESTION;Pwd=GESTION;");

class DB_DllConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::environment().setExecutableFolder(m_programDir.path());
        db().gServidor = QStringLiteral("SRV");
        db().gDBName = QStringLiteral("GESTION");
        db().gUsuario = QStringLiteral("GESTION");
        db().gUserPassWord = QStringLiteral("GESTION");
    }

    DB_Dll& db() { return m_objects.gDB; }
    // The connection of db(), made on first use (other instances make their own).
    FakeAdoConnection& cnn()
    {
        if (!m_cnn) {
            db().gCnn();
            m_cnn = m_provider.connections().last();
            // These tests are about the link, not the rows: any read answers none.
            m_cnn->unscriptedQueriesAnswerEmpty = true;
        }
        return *m_cnn;
    }
    void open()
    {
        db().OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(db().gOpenFlag);
        db().gEsAdmin = false; // an operator, so the restricted views apply
        cnn().clearLog();
    }
    static AdoError lostLink() { return FakeAdoConnection::lostLink(); }
    static AdoError unreachable() { return FakeAdoConnection::genericFailure(); }
    static const QList<testsupport::ShownBox>& boxes() { return testsupport::messages().shown(); }
    int opensLogged() { return cnn().count(QStringLiteral("Open ")); }
    int execsLogged() { return cnn().count(QStringLiteral("Execute ")); }

    QTemporaryDir m_programDir;
    FakeAdoConnection* m_cnn = nullptr;
    testsupport::FakeAdoProvider m_provider;
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
};

class ScriptedLogin final : public ConnectionDialog
{
public:
    bool accept = true;
    int retries = 0;
    QStringList calls;

    bool loginExchange(DB_Dll& db) override
    {
        calls << QStringLiteral("login");
        if (!accept)
            return false;
        db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("VENTAS");
        db.gServidor = QStringLiteral("SRV2");
        return true;
    }
    bool retryAfterFailure(DB_Dll& db, const RuntimeError& error) override
    {
        calls << QStringLiteral("failure %1").arg(error.number());
        if (retries-- <= 0)
            return false;
        return loginExchange(db);
    }
    void administratorDecision(DB_Dll& db, bool muestraError) override
    {
        calls << QStringLiteral("admin %1").arg(muestraError);
        db.gEsAdmin = true;
    }
};

} // namespace

TEST_F(DB_DllConnectionTest, opens_on_the_text_built_from_the_members)
{
    db().OpenServerADODB(false, adUseClient, QString(), false, false);

    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_TRUE(db().gEsAdmin); // the check was waived
    EXPECT_EQ(db().gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(db().gConnString, SqlServerText);
    EXPECT_EQ(cnn().log(), QStringList { QStringLiteral("Open ") + SqlServerText });
    EXPECT_EQ(cnn().CursorLocation(), adUseClient);
}

TEST_F(DB_DllConnectionTest, an_open_connection_is_closed_and_opened_once_more)
{
    open();

    db().OpenServerADODB(
        false, adUseServer, QStringLiteral("PROVIDER=SQLOLEDB;Server=X;"), false, false);

    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(cnn().log(),
        (QStringList {
            QStringLiteral("Close"), QStringLiteral("Open PROVIDER=SQLOLEDB;Server=X;") }));
}

TEST_F(DB_DllConnectionTest, a_failed_open_leaves_the_flag_down_quietly)
{
    cnn().failNext(Command::Open, { unreachable() });

    db().OpenServerADODB(false, adUseClient, QString(), true, false);

    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConnectionTest, the_login_dialog_replaces_a_given_text_and_cancel_opens_nothing)
{
    ScriptedLogin login;
    ScopedService<ConnectionDialog> installed(login);

    db().OpenServerADODB(true, adUseClient, QStringLiteral("PROVIDER=SQLOLEDB;Server=X;"));

    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gConnString,
        QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV2;Database =VENTAS;UId=VENTAS;"
                       "Pwd=VENTAS;"));
    EXPECT_EQ(login.calls, (QStringList { QStringLiteral("login"), QStringLiteral("admin 1") }));

    const qsizetype before = m_provider.connections().size();
    DB_Dll other;
    login.accept = false;
    other.OpenServerADODB(true);
    EXPECT_FALSE(other.gOpenFlag);
    EXPECT_EQ(m_provider.connections().size(), before); // no connection was even made
}

TEST_F(DB_DllConnectionTest, the_operator_may_try_again_after_a_failed_open)
{
    ScriptedLogin login;
    login.retries = 1;
    ScopedService<ConnectionDialog> installed(login);
    cnn().failNext(Command::Open, { unreachable() });

    db().OpenServerADODB();

    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(db().gServidor, QStringLiteral("SRV2"));
    EXPECT_EQ(login.calls,
        (QStringList { QStringLiteral("failure %1").arg(E_FAIL_), QStringLiteral("login"),
            QStringLiteral("admin 1") }));
    EXPECT_EQ(opensLogged(), 2);
    EXPECT_EQ(cnn().log().last(),
        QStringLiteral("Open PROVIDER=SQLOLEDB;Server=SRV2;Database =VENTAS;"
                       "UId=VENTAS;Pwd=VENTAS;"));
}

TEST_F(DB_DllConnectionTest, reconnects_a_closed_connection_with_its_own_login)
{
    open();
    cnn().Close();
    cnn().clearLog();
    db().gUsuario = QStringLiteral("KZQ_ESTADISTICAS");
    db().gUserPassWord = QStringLiteral("clave");

    db().ReintentaConectar();

    EXPECT_TRUE(db().gOpenFlag);
    EXPECT_EQ(cnn().CommandTimeout(), 90);
    EXPECT_EQ(cnn().log(), QStringList { QStringLiteral("Open ") + SqlServerText });
    EXPECT_EQ(cnn().lastUserId(), QStringLiteral("KZQ_ESTADISTICAS"));
    EXPECT_EQ(cnn().lastPassword(), QStringLiteral("clave"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConnectionTest, reconnect_failures_end_silently_or_ask_with_the_routine_name)
{
    open();
    cnn().failNext(Command::Open, { unreachable() });

    db().ReintentaConectar();

    EXPECT_FALSE(db().gOpenFlag);
    EXPECT_TRUE(boxes().isEmpty());

    cnn().failNextWith(Command::Open, 3706, QStringLiteral("Proveedor no encontrado."));
    testsupport::messages().answer(Msg::Retry);
    db().ReintentaConectar();

    EXPECT_TRUE(db().gOpenFlag);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(
        boxes()[0].title, QStringLiteral("Connection - AbrirRecordset Aviso al operador!!! - 5 "));
}

TEST_F(DB_DllConnectionTest, statements_lose_the_marker_and_the_caller_sees_what_ran)
{
    open();
    struct Row
    {
        const char* in;
        const char* ran;
    };
    const Row rows[] = {
        { "UPDATE @admin_MA_CUENTAS SET A = 1", "UPDATE MA_CUENTAS SET A = 1" },
        // Plain data statements reach the real tables.
        { "UPDATE MA_CUENTAS SET A = 1", "UPDATE MA_CUENTAS SET A = 1" },
        // A script that drops and creates objects reads the restricted views...
        { "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM MA_CUENTAS WHERE 1=1",
            "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM SS_MA_CUENTAS WHERE 1=1" },
        // ...unless it holds the marker, or deletes.
        { "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM @Admin_MA_CUENTAS WHERE 1=1",
            "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM MA_CUENTAS WHERE 1=1" },
        { "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM MA_CUENTAS WHERE 1=1 DELETE X",
            "DROP VIEW V1 CREATE VIEW V1 AS SELECT * FROM MA_CUENTAS WHERE 1=1 DELETE X" },
        { "CREATE TABLE T (A INT) INSERT INTO MA_CUENTAS VALUES (1)",
            "CREATE TABLE T (A INT) INSERT INTO MA_CUENTAS VALUES (1)" },
    };
    for (const Row& row : rows) {
        QString sql = QString::fromUtf8(row.in);
        cnn().clearLog();

        db().EjecutaConsultaSQL(sql);

        EXPECT_EQ(sql, QString::fromUtf8(row.ran));
        EXPECT_EQ(
            cnn().log(), QStringList { QStringLiteral("Execute ") + QString::fromUtf8(row.ran) });
    }
}

TEST_F(DB_DllConnectionTest, a_lost_link_on_a_healthy_server_runs_the_statement_three_times)
{
    open();
    cnn().failNext(Command::Execute, { lostLink() }, 3);

    db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO T VALUES (1)"));

    EXPECT_EQ(execsLogged(), 3);
    EXPECT_EQ(opensLogged(), 3);
    EXPECT_TRUE(boxes().isEmpty());
    // The caller still finds the failure.
    ASSERT_EQ(cnn().Errors().Count(), 1);
    EXPECT_EQ(cnn().Errors().Item(0).NativeError(), 11);
}

TEST_F(DB_DllConnectionTest, a_lost_link_that_stays_lost_asks_the_operator_and_no_ends_the_program)
{
    open();
    cnn().failNext(Command::Execute, { lostLink() });
    cnn().failNext(Command::Open, { unreachable() }, 4);
    testsupport::messages().answer(Msg::No);

    EXPECT_THROW(db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO T VALUES (1)")),
        testsupport::ProgramEnded);

    EXPECT_EQ(testsupport::programEnd().calls(), 1);
    // The first reconnect and three more before the question.
    EXPECT_EQ(opensLogged(), 4);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_EQ(boxes()[0].style, Msg::YesNo + Msg::Critical);
    EXPECT_EQ(boxes()[0].text,
        QStringLiteral("\r\n\r\n\r\nSe perdio la conexion con la base de datos GESTION\r\n"
                       " Servidor SRV\r\n\r\nElija SI para reintentar conectarse\r\n"
                       "Elija NO para cerrar la aplicacion\r\n\r\n\r\n"));
}

TEST_F(DB_DllConnectionTest, yes_keeps_trying_and_the_statement_runs_once_connected)
{
    open();
    cnn().failNext(Command::Execute, { lostLink() });
    cnn().failNext(Command::Open, { unreachable() }, 5);
    testsupport::messages().answer(Msg::Yes);
    testsupport::messages().answer(Msg::Yes);

    db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO T VALUES (1)"));

    EXPECT_EQ(boxes().size(), 2); // asked again after every failed attempt
    EXPECT_EQ(opensLogged(), 6);
    EXPECT_EQ(execsLogged(), 2);
    EXPECT_EQ(cnn().Errors().Count(), 0);
}

TEST_F(DB_DllConnectionTest, errors_stay_for_the_caller_except_the_truncation_warning)
{
    open();
    const AdoError truncation(
        E_FAIL_, QStringLiteral("Se truncarían los datos."), QStringLiteral("22001"), 8152);
    const AdoError terminated(
        E_FAIL_, QStringLiteral("Se terminó la instrucción."), QStringLiteral("01000"), 3621);
    struct Row
    {
        const char* sql;
        std::optional<AdoError> fault;
        QList<AdoError> warnings;
        int errorsLeft;
        int runs;
    };
    const Row rows[] = {
        { "INSERT INTO T VALUES ('x')", FakeAdoConnection::duplicateKey(), {}, 1, 1 },
        { "INSERT INTO T VALUES ('x')", FakeAdoConnection::truncated(), {}, 0, 1 },
        // Warnings on a statement that ran: one or two cleared, three kept.
        { "UPDATE T SET A = 'x'", std::nullopt, { truncation, terminated }, 0, 1 },
        { "UPDATE T SET A = 'x'", std::nullopt, { truncation, terminated, terminated }, 3, 1 },
        // An explicit transaction is never repeated nor cleaned up.
        { "BEGIN TRANSACTION UPDATE T SET A = 1", lostLink(), {}, 1, 1 },
        { "BEGIN TRANSACTION UPDATE T SET A = 'x'", std::nullopt, { truncation }, 1, 1 },
    };
    for (const Row& row : rows) {
        cnn().clearLog();
        if (row.fault)
            cnn().failNext(Command::Execute, { *row.fault });
        cnn().warnNext(Command::Execute, row.warnings);

        db().EjecutaConsultaSQL(QString::fromUtf8(row.sql));

        EXPECT_EQ(cnn().Errors().Count(), row.errorsLeft) << row.sql;
        EXPECT_EQ(execsLogged(), row.runs) << row.sql;
        EXPECT_EQ(opensLogged(), 0) << row.sql;
    }
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConnectionTest, hands_back_the_rows_and_the_count)
{
    open();
    AdoRecordset rows;
    qint64 affected = -5;
    cnn().script(QStringLiteral("SELECT 1"),
        { { { QStringLiteral("A"), adInteger, 4 } }, { { Value(qint32(1)) } }, 4 });

    db().EjecutaConsultaSQL(QStringLiteral("UPDATE T SET A = 1 SELECT 1"), &affected, &rows);

    EXPECT_EQ(affected, 4);
    ASSERT_EQ(rows.State(), adStateOpen);
    EXPECT_EQ(rows.Fields(0).Value(), Value(qint32(1)));
}

TEST_F(DB_DllConnectionTest, a_read_after_a_lost_link_reconnects_and_lets_the_operator_retry)
{
    open();
    cnn().failNext(Command::Query, { lostLink() });
    testsupport::messages().answer(Msg::Retry);
    AdoRecordset rs;
    QString sql = QStringLiteral("SELECT * FROM MA_CUENTAS WHERE 1=1");

    db().AbrirRecordset(sql, rs);

    EXPECT_EQ(sql, QStringLiteral("SELECT * FROM SS_MA_CUENTAS WHERE 1=1"));
    EXPECT_EQ(opensLogged(), 1);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title,
        QStringLiteral("Proveedor de prueba - AbrirRecordset Aviso al operador!!! - 5 "));
    EXPECT_EQ(rs.State(), adStateOpen);
    EXPECT_EQ(cnn().count(QStringLiteral("Query ")), 2);
}

TEST_F(DB_DllConnectionTest, a_read_whose_reconnect_fails_asks_after_one_more_attempt)
{
    open();
    cnn().failNext(Command::Query, { lostLink() });
    cnn().failNext(Command::Open, { unreachable() }, 2);
    testsupport::messages().answer(Msg::No);
    AdoRecordset rs;

    EXPECT_THROW(db().AbrirRecordset(QStringLiteral("SELECT 1"), rs), testsupport::ProgramEnded);

    EXPECT_EQ(opensLogged(), 2);
    EXPECT_EQ(boxes()[0].title, QStringLiteral("AVISO AL OPERADOR"));
}

TEST_F(DB_DllConnectionTest, a_read_lets_pending_events_run_before_returning)
{
    open();
    bool ran = false;
    QTimer::singleShot(0, QCoreApplication::instance(), [&ran] { ran = true; });
    AdoRecordset rs;

    db().AbrirRecordset(QStringLiteral("SELECT 1"), rs);

    EXPECT_TRUE(ran);
}

TEST_F(DB_DllConnectionTest, on_oracle_reads_run_the_oracle_form_and_batches_run_step_by_step)
{
    db().gServidor = QStringLiteral("#ORA");
    db().gDBName = QStringLiteral("XE");
    open();
    AdoRecordset rs;
    QString sql = QStringLiteral("SELECT TOP 1 ISNULL(A,0) FROM T WHERE 1=1");

    db().AbrirRecordset(sql, rs);
    db().AbrirRecordset(QStringLiteral("SELECT ISNULL(A,0) FROM T WHERE 1=1"), rs, nullptr,
        adOpenForwardOnly, adLockReadOnly, -1, false);

    EXPECT_EQ(sql, QStringLiteral("SELECT TOP 1 ISNULL(A,0) FROM T WHERE 1=1"));
    EXPECT_EQ(cnn().log(),
        (QStringList { QStringLiteral("Query SELECT  NVL(A,0) FROM T WHERE 1=1  AND ROWNUM <= 1  "),
            QStringLiteral("Query SELECT ISNULL(A,0) FROM T WHERE 1=1") }));

    cnn().clearLog();
    cnn().script(QStringLiteral("INSERT INTO T"), { {}, {}, 2 });
    QString batch = QStringLiteral("SET NOCOUNT ON\r\nBEGIN TRANSACTION\r\nGO\r\n"
                                   "INSERT INTO T VALUES (1)\r\nGO\r\n"
                                   "INSERT INTO T VALUES (ISNULL(NULL,2))\r\nGO\r\n"
                                   "COMMIT TRANSACTION\r\n");
    qint64 affected = 0;

    db().EjecutaConsultaSQL(batch, &affected);

    EXPECT_EQ(cnn().log(),
        (QStringList { QStringLiteral("BeginTrans"),
            QStringLiteral("Execute INSERT INTO T VALUES (1)"),
            QStringLiteral("Execute INSERT INTO T VALUES (NVL(NULL,2))"),
            QStringLiteral("CommitTrans") }));
    EXPECT_EQ(affected, 4);
    EXPECT_EQ(batch, QString());

    // A lone "no result" status left by the last statement is no error; two entries stay.
    const AdoError noResult(0x40EC9, QStringLiteral("sin resultado"));
    cnn().warnNext(Command::Execute, { noResult });
    db().EjecutaConsultaSQL(QStringLiteral("DELETE FROM T"));
    EXPECT_EQ(cnn().Errors().Count(), 0);
    cnn().warnNext(Command::Execute, { noResult, noResult });
    db().EjecutaConsultaSQL(QStringLiteral("DELETE FROM T"));
    EXPECT_EQ(cnn().Errors().Count(), 2);
}

TEST_F(DB_DllConnectionTest, closing_a_recordset_in_the_middle_of_an_edit_drops_the_edit)
{
    open();
    cnn().script(QStringLiteral("FROM T"),
        { { { QStringLiteral("A"), adInteger, 4 } }, { { Value(qint32(1)) } }, 0,
            QStringLiteral("T") });
    AdoRecordset rs;
    db().AbrirRecordset(
        QStringLiteral("SELECT A FROM T"), rs, nullptr, adOpenStatic, adLockOptimistic);
    ASSERT_TRUE(rs.AddNew());

    db().CierraRecordset(rs);
    db().CierraRecordset(rs); // already closed: nothing happens

    EXPECT_EQ(rs.State(), adStateClosed);
    EXPECT_TRUE(boxes().isEmpty());
}

class OpenLocalADODBTest : public DB_DllConnectionTest
{
protected:
    void SetUp() override
    {
        DB_DllConnectionTest::SetUp();
        db().gProveedor = DB_Dll::pJETOLEDB40();
        db().gDBName = QStringLiteral("/datos/GESTION.MDB");
        db().gUsuario = QStringLiteral("Admin");
        db().gUserPassWord = QString();
    }

    static AdoError jet(const char* state)
    {
        return AdoError(E_FAIL_, QStringLiteral("Jet"), QString::fromLatin1(state));
    }
    QString textFor(const QString& file) const
    {
        return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + file
            + QStringLiteral(";User Id=Admin;Password=;");
    }
};

TEST_F(OpenLocalADODBTest, a_file_not_found_is_looked_for_and_a_cancelled_choice_opens_nothing)
{
    cnn().failNext(Command::Open, { jet("3024") });
    testsupport::fileDialogs().answer(QStringLiteral("/otra/GESTION.db"));

    db().OpenLocalADODB();

    EXPECT_EQ(db().gDBName, QStringLiteral("/otra/GESTION.db"));
    EXPECT_EQ(db().gConnString, textFor(QStringLiteral("/otra/GESTION.db")));
    ASSERT_EQ(testsupport::fileDialogs().requests().size(), 1);
    EXPECT_EQ(
        testsupport::fileDialogs().requests()[0].title, QStringLiteral("Buscar Base de Datos"));
    EXPECT_EQ(testsupport::fileDialogs().requests()[0].filter,
        QStringLiteral("Base de Datos de Microsoft Access |*.MDB"));

    DB_Dll other;
    testsupport::fileDialogs().answer(std::nullopt);
    other.OpenLocalADODB();
    EXPECT_EQ(other.gConnString, QString());
}

TEST_F(OpenLocalADODBTest, a_refused_password_is_asked_for_three_times_at_most)
{
    cnn().failNext(Command::Open, { jet("3031") }, 4);
    for (const char* password : { "uno", "dos", "tres" })
        testsupport::inputs().answer(QString::fromLatin1(password));
    testsupport::messages().answer(Msg::Ok);

    db().OpenLocalADODB();

    EXPECT_EQ(testsupport::inputs().shown().size(), 3);
    EXPECT_EQ(testsupport::inputs().shown()[0].title, QStringLiteral("Password Access"));
    EXPECT_EQ(cnn().log().last(),
        QStringLiteral("Open ") + textFor(db().gDBName)
            + QStringLiteral(" Jet OLEDB:Database Password=tres;"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("%1  Jet").arg(E_FAIL_));
    EXPECT_EQ(boxes()[0].style, Msg::Critical);
    EXPECT_EQ(db().gConnString, QString());
}

TEST_F(OpenLocalADODBTest, the_stored_password_is_tried_first_and_cancel_leaves)
{
    db().gIgnoraPassWord = true;
    db().gUserPassWord = QStringLiteral("guardada");
    cnn().failNext(Command::Open, { jet("3031") }, 2);
    testsupport::inputs().answer(QString());

    db().OpenLocalADODB();

    EXPECT_EQ(opensLogged(), 2);
    EXPECT_TRUE(cnn().log().last().endsWith(
        QStringLiteral("Password=guardada;Jet OLEDB:Database Password=guardada;")));
    EXPECT_EQ(testsupport::inputs().shown().size(), 1);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DB_DllConnectionTest, the_reduced_runner_never_reconnects_and_looks_at_its_twin)
{
    open();
    // It inspects gDBRSQL's connection, which is never opened: nothing there to clear.
    for (const AdoError& fault : { lostLink(), FakeAdoConnection::truncated() }) {
        cnn().clearLog();
        cnn().failNext(Command::Execute, { fault });
        QString sql = QStringLiteral("UPDATE @Admin_T SET A = 1");

        db().EjecutaConsultaRSQL(sql);

        EXPECT_EQ(sql, QStringLiteral("UPDATE T SET A = 1"));
        EXPECT_EQ(execsLogged(), 1);
        EXPECT_EQ(opensLogged(), 0);
        EXPECT_EQ(cnn().Errors().Count(), 1);
    }
    EXPECT_TRUE(boxes().isEmpty());
}
