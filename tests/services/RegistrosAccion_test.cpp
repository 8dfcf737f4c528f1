#include "services/RegistrosAccion.h"

#include <gtest/gtest.h>

#include "platform/AdoRecordset.h"
#include "platform/Environment.h"
#include "services/BaseInicio.h"
#include "services/FechaServidor.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

class RegistrosAccion : public BaseInicio
{
protected:
    void SetUp() override
    {
        BaseInicio::SetUp();
        conecta();
        m_inicio.gUsuarioLogeado = QStringLiteral("VENDEDOR");
        m_inicio.gParametroAdicional = QStringLiteral("C");
        exec(QStringLiteral("DELETE FROM V_MV_CPTEACCIONES"));
        exec(QStringLiteral("DELETE FROM AUX_ERR"));
        exec(QStringLiteral("DELETE FROM MA_CUENTAS"));
    }
};

} // namespace

TEST_F(RegistrosAccion, a_failed_login_writes_its_action_row)
{
    QString complemento;

    RegistraAccionCpte(QString(), QString(), complemento, true, false, false,
        QStringLiteral("Intento de inicio de sesion fallido"), QString(), false);

    EXPECT_EQ(complemento, QStringLiteral("0"));
    const auto filas = this->filas(QStringLiteral(
        "SELECT TC, IdComprobante, IdComplemento, Tipo_accion, Usuario, PC, SYSTEMUSER, Proceso, "
        "ProcesoLote, Cuenta FROM V_MV_CPTEACCIONES"));
    ASSERT_EQ(filas.size(), 1);
    const QString proceso = (executableName() + QStringLiteral(" C")).leftJustified(255);
    EXPECT_EQ(filas.at(0),
        (QStringList { QString(), QString(), QStringLiteral("0"), QStringLiteral("A"),
            QStringLiteral("VENDEDOR"), QStringLiteral("PUESTO01"),
            QStringLiteral("Intento de inicio de sesion fallido"), proceso, QString(),
            QString() }));
}

TEST_F(RegistrosAccion, the_action_code_and_texts_that_once_broke_the_row)
{
    struct Fila
    {
        bool alta, modificacion, error;
        const char16_t* accion;
    };
    const Fila filas[] = {
        { false, false, false, u"B" },
        { true, true, true, u"ER" },
        { false, true, false, u"M" },
    };
    for (const Fila& fila : filas) {
        QString complemento = QStringLiteral("3");
        // An apostrophe in the texts is kept, not a broken statement.
        RegistraAccionCpte(QStringLiteral("FC"), QStringLiteral("000100000012A"), complemento,
            fila.alta, fila.modificacion, false, QStringLiteral("D'Angelo ") + QString(300, u'x'),
            QStringLiteral(" 1.1.01'  "), fila.error);
    }

    const auto filas2
        = this->filas(QStringLiteral("SELECT Tipo_accion, TC, IdComplemento, SYSTEMUSER, Cuenta "
                                     "FROM V_MV_CPTEACCIONES ORDER BY ID"));
    ASSERT_EQ(filas2.size(), 3);
    EXPECT_EQ(filas2.at(0).at(0), QStringLiteral("B"));
    EXPECT_EQ(filas2.at(1).at(0), QStringLiteral("ER"));
    EXPECT_EQ(filas2.at(2).at(0), QStringLiteral("M"));
    EXPECT_EQ(filas2.at(0).at(1), QStringLiteral("FC"));
    EXPECT_EQ(filas2.at(0).at(2), QStringLiteral("3"));
    EXPECT_EQ(filas2.at(0).at(3), (QStringLiteral("D'Angelo ") + QString(300, u'x')).left(255));
    EXPECT_EQ(filas2.at(0).at(4), QStringLiteral("1.1.01'"));
}

TEST_F(RegistrosAccion, the_action_row_is_stamped_with_the_server_time)
{
    QString complemento;

    RegistraAccionCpte(
        QString(), QString(), complemento, true, false, false, QString(), QString(), false);

    // The embedded engine's server clock is the workstation's, pinned in the tests.
    EXPECT_EQ(valor(QStringLiteral("SELECT FECHAHORA FROM V_MV_CPTEACCIONES")).toDateTime(),
        testsupport::pinnedNow());
}

TEST_F(RegistrosAccion, a_failing_script_rolls_back_logs_and_tells_the_operator)
{
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Caja')"));
    const QStringList sentencias {
        QString(),
        QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('2', 'Banco')"),
        QStringLiteral("   "),
        QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Otra')"),
        QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('3', 'Tarjeta')"),
    };
    testsupport::messages().answer(Msg::Ok);
    bool hayError = false;
    qint32 numero = -1;
    QString script;
    QString descripcion;

    GActualizarDatoScript(sentencias, hayError, numero, false, false, script, descripcion, true);

    EXPECT_TRUE(hayError);
    EXPECT_EQ(numero, 2627);
    EXPECT_EQ(script,
        QStringLiteral("BEGIN TRANSACTION \r\r\r") + sentencias.at(1) + u'\r' + sentencias.at(3)
            + u'\r' + sentencias.at(4) + u'\r');
    EXPECT_EQ(valor(QStringLiteral("SELECT COUNT(*) FROM MA_CUENTAS")).toLongLong(), 1);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const testsupport::ShownBox caja = testsupport::messages().shown().at(0);
    EXPECT_EQ(caja.title, QStringLiteral("Aviso al Operador!"));
    EXPECT_EQ(caja.style, Msg::Critical);
    // Only the first error: the server's note that the statement ended is not listed.
    EXPECT_TRUE(caja.text.startsWith(QStringLiteral("2627 : "))) << caja.text.toStdString();
    EXPECT_TRUE(caja.text.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(caja.text.count(QStringLiteral("\r\n")), 1);
    EXPECT_EQ(descripcion, caja.text);
    const auto errores = filas(
        QStringLiteral("SELECT Proceso, Error, Sql, PC, Usuario, Descripcion, fecha FROM AUX_ERR"));
    ASSERT_EQ(errores.size(), 1);
    EXPECT_EQ(errores.at(0).mid(0, 5),
        (QStringList { executableName(), QStringLiteral("2627"), script, QStringLiteral("PUESTO01"),
            QStringLiteral("VENDEDOR") }));
    EXPECT_EQ(errores.at(0).at(5), caja.text.leftJustified(250));
    // Written as the suite's text "15/03/24 10:30", day first; the demo database keeps that moment.
    EXPECT_EQ(errores.at(0).at(6), QStringLiteral("2024-03-15 10:30:00"));
}

// The embedded database gives no error number: its Spanish sentence is the whole message.
TEST_F(RegistrosAccion, a_script_on_a_read_only_database_says_so_in_one_spanish_sentence)
{
    exec(QStringLiteral("PRAGMA query_only = 1"));
    testsupport::messages().answer(Msg::Ok);
    bool hayError = false;
    qint32 numero = -1;
    QString script;
    QString descripcion;

    GActualizarDatoScript(
        { QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('2', 'Banco')") },
        hayError, numero, false, false, script, descripcion, true);

    EXPECT_TRUE(hayError);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().at(0).text,
        QStringLiteral("No se puede escribir en la base de datos: es de solo lectura para este "
                       "usuario (el archivo o su carpeta).\r\n"));
    exec(QStringLiteral("PRAGMA query_only = 0"));
}

TEST_F(RegistrosAccion, a_tolerated_duplicate_is_rolled_back_without_a_message)
{
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Caja')"));
    const QStringList sentencias { QStringLiteral(
        "INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1', 'Otra')") };
    bool hayError = false;
    qint32 numero = 0;
    QString script;
    QString descripcion;

    GActualizarDatoScript(sentencias, hayError, numero, true, false, script, descripcion, true);

    EXPECT_TRUE(hayError);
    EXPECT_EQ(numero, 2627);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_FALSE(descripcion.contains(QStringLiteral("2627 : ")));
    EXPECT_EQ(valor(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR")).toLongLong(), 1);
}

TEST_F(RegistrosAccion, a_good_script_commits_and_blank_lists_send_nothing)
{
    bool hayError = true;
    qint32 numero = 77;
    QString script;
    QString descripcion;

    GActualizarDatoScript({ QString(), QStringLiteral("  ") }, hayError, numero, false, false,
        script, descripcion, true);

    EXPECT_FALSE(hayError);
    EXPECT_EQ(numero, 77);
    EXPECT_TRUE(script.isEmpty());

    GActualizarDatoScript(
        { QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('5', 'Caja')") },
        hayError, numero, false, false, script, descripcion, true);

    EXPECT_FALSE(hayError);
    EXPECT_EQ(numero, 0);
    EXPECT_EQ(
        valor(QStringLiteral("SELECT Descripcion FROM MA_CUENTAS WHERE Codigo = '5'")).toString(),
        QStringLiteral("Caja"));
    EXPECT_EQ(valor(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR")).toLongLong(), 0);
}

TEST_F(RegistrosAccion, accounts_are_found_by_either_code)
{
    exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, Descripcion) "
                        "VALUES ('1.1.01', '100', 'Caja')"));
    struct Fila
    {
        const char16_t* codigo;
        bool opcionalPrimero;
        bool encontrada;
        const char16_t* codigoDespues;
        bool opcionalDespues;
    };
    const Fila filas[] = {
        { u"100", false, true, u"1.1.01", true }, // found by the optional code after the main one
        { u"1.1.01", true, true, u"1.1.01", true }, // found by the main code: nothing changes
        { u"100", true, true, u"1.1.01", true },
        { u"1.1.01", false, true, u"1.1.01", false },
        { u"9'9", false, false, u"9'9", false },
    };
    for (const Fila& fila : filas) {
        QString codigo = QString::fromUtf16(fila.codigo);
        bool opcional = fila.opcionalPrimero;
        AdoRecordset registro;

        const bool encontrada = ExisteCuenta(codigo, &registro, true, opcional);

        EXPECT_EQ(encontrada, fila.encontrada) << QString::fromUtf16(fila.codigo).toStdString();
        EXPECT_EQ(codigo, QString::fromUtf16(fila.codigoDespues));
        EXPECT_EQ(opcional, fila.opcionalDespues);
        if (encontrada)
            EXPECT_EQ(registro.Fields(QStringLiteral("Descripcion")).Value().toString(),
                QStringLiteral("Caja"));
        else
            EXPECT_TRUE(registro.State() == adStateOpen && registro.Eof());
    }
}

TEST_F(RegistrosAccion, the_server_date_in_whole_seconds)
{
    testsupport::clock().set(testsupport::pinnedNow().addMSecs(250));

    EXPECT_EQ(FechaServidor(), testsupport::pinnedNow());
}
