#include "startup/DialogoConexion.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "formhelpers/FormularioModalGuionado.h"
#include "startup/frmAcceso.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "AccesoPrueba.h"

namespace {

class DialogoConexionTest : public AccesoPrueba
{
protected:
    void SetUp() override
    {
        AccesoPrueba::SetUp();
        // A registry exists: "Conectar" registers nothing.
        QFile bases(dir.filePath(QStringLiteral("BASES.TXT")));
        ASSERT_TRUE(bases.open(QIODevice::WriteOnly));
        inicio.gUsuarioLogeado = QStringLiteral("ANA");
        inicio.gClaveUsuario = QStringLiteral("* *");
    }

    // The operator types a database and a server, picks a platform and confirms.
    void confirma(const char* base, const char* servidor, int plataforma)
    {
        modal.pasos.push_back([=](QDialog& form) {
            auto& acceso = static_cast<frmAcceso&>(form);
            acceso.TxtDbName()->setText(QString::fromUtf8(base));
            acceso.TxtServidor()->setText(QString::fromUtf8(servidor));
            acceso.CboPlataformaDB()->setCurrentIndex(plataforma);
            acceso.findChild<QPushButton*>(QStringLiteral("bcAceptar"))->click();
        });
    }
    void cancela()
    {
        modal.pasos.push_back([](QDialog& form) {
            form.findChild<QPushButton*>(QStringLiteral("bcCancelar"))->click();
        });
    }

    FormularioModalGuionado modal;
    ScopedService<FormularioModal> modalInstalado { modal };
    DialogoConexion dialogo;
    ScopedService<ConnectionDialog> dialogoInstalado { dialogo };
};

TEST_F(DialogoConexionTest, login_exchange_prefills_and_takes_the_database_as_login)
{
    DB_Dll& db = datos.gDB;
    db.gDBName = QStringLiteral("Viejo");
    db.gServidor = QStringLiteral("SRVX");
    modal.pasos.push_back([](QDialog& form) {
        auto& acceso = static_cast<frmAcceso&>(form);
        EXPECT_EQ(acceso.TxtDbName()->text(), QStringLiteral("Viejo"));
        EXPECT_EQ(acceso.TxtServidor()->text(), QStringLiteral("SRVX"));
        EXPECT_EQ(acceso.TxtUserId()->text(), QStringLiteral("ANA"));
        EXPECT_EQ(acceso.TxtUserPassword()->text(), QStringLiteral("* *"));
        EXPECT_EQ(acceso.CboPlataformaDB()->currentIndex(), 0);
        acceso.findChild<QPushButton*>(QStringLiteral("bcCancelar"))->click();
    });

    EXPECT_FALSE(dialogo.loginExchange(db));

    const struct
    {
        const char* servidor;
        int plataforma;
        const char* guardado;
        const char* proveedorEsperado;
    } casos[] = {
        { "SRV1", 0, "SRV1", "SQLOLEDB" },
        { "ORA1", 1, "#ORA1", "OraOLEDB.Oracle.1" },
        // A "#" anywhere already marks the server.
        { "grupo/#ORA1", 1, "grupo/#ORA1", "OraOLEDB.Oracle.1" },
        // An SQLite file is no Oracle one.
        { "SQLITE", 2, "SQLITE", "SQLOLEDB" },
    };
    for (const auto& caso : casos) {
        confirma("Ventas", caso.servidor, caso.plataforma);
        ASSERT_TRUE(dialogo.loginExchange(db));
        EXPECT_EQ(db.gDBName, QStringLiteral("Ventas"));
        EXPECT_EQ(db.gUsuario, QStringLiteral("Ventas"));
        EXPECT_EQ(db.gUserPassWord, QStringLiteral("Ventas"));
        EXPECT_EQ(db.gServidor, QString::fromUtf8(caso.guardado));
        EXPECT_EQ(db.gProveedor, QString::fromUtf8(caso.proveedorEsperado));
    }
}

TEST_F(DialogoConexionTest, the_dialog_shows_the_platform_of_the_connection_it_edits)
{
    DB_Dll& db = datos.gDB;
    const struct
    {
        const char* servidor;
        const char* conexion;
        int plataforma;
        bool puerto;
    } casos[] = {
        { "SRV1", "", 0, true }, { "ORA1", "Provider=OraOLEDB.Oracle.1;Data Source=V;", 1, true },
        { "sqlite", "", 2, false }, // a file: no port
    };
    for (const auto& caso : casos) {
        db.gServidor = QString::fromUtf8(caso.servidor);
        db.gConnString = QString::fromUtf8(caso.conexion);
        frmAcceso acceso;

        acceso.PrecargaIngreso(db);

        EXPECT_EQ(acceso.CboPlataformaDB()->currentIndex(), caso.plataforma) << caso.servidor;
        EXPECT_EQ(!acceso.TxtPuerto()->isHidden(), caso.puerto) << caso.servidor;
    }
}

TEST_F(DialogoConexionTest, cancelled_dialog_opens_nothing)
{
    DB_Dll& db = datos.gDB;
    cancela();

    db.OpenServerADODB(true);

    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_TRUE(proveedor.journal().isEmpty());
}

TEST_F(DialogoConexionTest, failed_open_asks_and_yes_runs_the_dialog_again)
{
    DB_Dll& db = datos.gDB;
    db.gServidor = QStringLiteral("SRV1");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("Ventas");
    proveedor.acceptedOpens() << QStringLiteral(
        "PROVIDER=SQLOLEDB;Server=SRV2;Database =Compras;UId=Compras;Pwd=Compras;");
    testsupport::messages().answer(Msg::Yes);
    confirma("Compras", "SRV2", 0);

    db.OpenServerADODB(false, adUseClient, QString(), false);

    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, QStringLiteral("SRV2"));
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const auto& pregunta = testsupport::messages().shown()[0];
    EXPECT_EQ(pregunta.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(pregunta.style, Msg::YesNo + Msg::Critical);
    EXPECT_EQ(pregunta.text,
        QStringLiteral(" Estado de Sql: 28000\rNumero de Error: -2147467259\r"
                       "Descripcion: Login failed for user\rCodigo Nativo: 18456\r\r\n"
                       "Nombre de Proceso: Rp_Tarifolio\r\r\n\r\n"
                       "1. Verifique el Usuario, contraseña y base de datos\r\n"
                       "2. Verifique el nombre del servidor, quizas necesite agregarle el "
                       "nombre de la instancia, por ejemplo : SRV1\\ORBALIS\r\n"
                       "3. Verifique si el inicio de sesion para el usuario Ventas existe"
                       "\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? "));
}

TEST_F(DialogoConexionTest, answering_no_or_cancelling_leaves_it_closed)
{
    DB_Dll& db = datos.gDB;
    db.gServidor = QStringLiteral("SRV1");
    testsupport::messages().answer(Msg::No);

    db.OpenServerADODB();

    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(modal.mostrados, 0);

    testsupport::messages().answer(Msg::Yes);
    cancela();
    db.OpenServerADODB();

    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(modal.mostrados, 1);
}

TEST_F(DialogoConexionTest, failure_without_provider_errors_shows_its_description)
{
    DB_Dll& db = datos.gDB;
    testsupport::messages().answer(Msg::Ok);

    EXPECT_FALSE(dialogo.retryAfterFailure(
        db, RuntimeError(3706, QStringLiteral("No se encuentra el proveedor."))));

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(
        testsupport::messages().shown()[0].text, QStringLiteral("No se encuentra el proveedor."));
    EXPECT_EQ(testsupport::messages().shown()[0].style, Msg::OkOnly);
    EXPECT_EQ(testsupport::messages().shown()[0].title, QString());
}

TEST_F(DialogoConexionTest, administrator_from_the_user_table)
{
    DB_Dll& db = datos.gDB;
    db.gServidor = QStringLiteral("SRV1");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("Ventas");
    proveedor.acceptedOpens() << db.connectionTextFromMembers();
    conexion().script(QStringLiteral("OpenSchema"), tablas({ QStringLiteral("ta_usuarios") }));
    // The read of a user finds the row whose Administrador column holds the value; the read of
    // a user not listed finds none.
    const QPair<const char*, Value> administradores[] = {
        { "='UNO'", Value(QStringLiteral("1")) },
        { "='BLANCOS'", Value(QStringLiteral(" 1 ")) },
        { "='DECIMAL'", Value(QStringLiteral("1.0")) },
        { "='CERO'", Value(QStringLiteral("0")) },
        { "='MENOS'", Value(QStringLiteral("-1")) },
        { "='NULO'", Value::null() },
    };
    for (const auto& [lectura, valor] : administradores)
        conexion().script(QString::fromLatin1(lectura),
            { { { QStringLiteral("Administrador"), adVarChar, 10 } }, { { valor } } });
    conexion().script(
        QStringLiteral("='NADIE'"), { { { QStringLiteral("Administrador"), adVarChar, 10 } }, {} });
    const struct
    {
        const char* usuario;
        bool esAdmin;
    } casos[] = { { "UNO", true }, { "BLANCOS", true }, { "DECIMAL", true }, { "CERO", false },
        { "MENOS", false }, { "NULO", false }, { "NADIE", false } };

    for (const auto& caso : casos) {
        inicio.gUsuarioLogeado = QString::fromUtf8(caso.usuario);
        db.gEsAdmin = !caso.esAdmin;
        db.OpenServerADODB();
        EXPECT_TRUE(db.gOpenFlag) << caso.usuario;
        EXPECT_EQ(db.gEsAdmin, caso.esAdmin) << caso.usuario;
        db.gCnn().Close();
    }
    EXPECT_TRUE(proveedor.journal().contains(
        QStringLiteral("#1 Query SELECT TOP 1 * FROM ta_usuarios with(nolock)  WHERE "
                       "LTRIM(RTRIM(nombre)) ='NADIE' ")));
}

TEST_F(DialogoConexionTest, administrator_decision_without_check_or_user_table)
{
    DB_Dll& db = datos.gDB;
    db.gServidor = QStringLiteral("SRV1");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("Ventas");
    proveedor.acceptedOpens() << db.connectionTextFromMembers();
    inicio.gUsuarioLogeado = QStringLiteral("NADIE");

    // No user table: the flag keeps its value.
    db.gEsAdmin = false;
    db.OpenServerADODB();
    EXPECT_FALSE(db.gEsAdmin);
    db.gCnn().Close();

    // No check asked: administrator.
    db.OpenServerADODB(false, adUseClient, QString(), false);
    EXPECT_TRUE(db.gEsAdmin);
    db.gCnn().Close();

    // A caller that wants no messages is not asked about the user.
    conexion().script(QStringLiteral("OpenSchema"), tablas({ QStringLiteral("TA_USUARIOS") }));
    db.gEsAdmin = false;
    db.OpenServerADODB(false, adUseClient, QString(), true, false);
    EXPECT_TRUE(db.gEsAdmin);
    EXPECT_EQ(db.gCnn().DefaultDatabase(), QStringLiteral("Ventas"));
}

} // namespace
