#include "startup/Inicio.h"

#include <deque>
#include <functional>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>

#include <gtest/gtest.h>

#include "formhelpers/Dll_DisplayQt.h"
#include "formhelpers/FormularioModal.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "services/BaseInicio.h"
#include "services/MascarasConsulta.h"
#include "startup/frmAcceso.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

// The login dialog worked by the test: each showing runs the next scripted action on the form.
class AccesoGuionado final : public FormularioModal
{
public:
    int muestra(QDialog& form) override
    {
        auto* acceso = dynamic_cast<frmAcceso*>(&form);
        EXPECT_NE(acceso, nullptr);
        if (m_acciones.empty() || !acceso) {
            ADD_FAILURE() << "login dialog shown without a scripted action";
            return 0;
        }
        ++m_mostrados;
        // A pointer to a dialog deleted since reads null: an address reused does not pass.
        if (m_mostrados == 1)
            m_primero = &form;
        m_mismoFormulario = m_mismoFormulario && m_primero == &form;
        m_vistos.append({ acceso->TxtDbName()->text(), acceso->TxtServidor()->text(),
            acceso->TxtUserId()->text(), acceso->TxtUserPassword()->text() });
        const auto accion = m_acciones.front();
        m_acciones.pop_front();
        accion(*acceso);
        return acceso->Aceptar ? 1 : 0;
    }

    void conecta(const QString& clave = QString())
    {
        m_acciones.push_back([clave](frmAcceso& acceso) {
            if (!clave.isNull())
                acceso.TxtUserPassword()->setText(clave);
            acceso.bcAceptar_Click();
        });
    }
    void cancela()
    {
        m_acciones.push_back([](frmAcceso& acceso) { acceso.bcCancelar_Click(); });
    }

    int m_mostrados = 0;
    QPointer<QDialog> m_primero;
    bool m_mismoFormulario = true;
    QList<QStringList> m_vistos;

private:
    std::deque<std::function<void(frmAcceso&)>> m_acciones;
};

class EnlacesGuardados final : public EnlacesInicio
{
public:
    void PreparaConsultas(
        const QString& connString, bool usarMascaras, const QString& rutaMascaras) override
    {
        m_connString = connString;
        m_usarMascaras = usarMascaras;
        m_rutaMascaras = rutaMascaras;
    }
    void CarpetaSistemaInformes(const QString& carpeta) override { m_carpeta = carpeta; }

    QString m_connString;
    bool m_usarMascaras = false;
    QString m_rutaMascaras;
    QString m_carpeta;
};

class Inicio : public BaseInicio
{
protected:
    Inicio()
    {
        // A registry already there: confirming the dialog registers nothing.
        QFile bases(carpeta() + QStringLiteral("/BASES.TXT"));
        bases.open(QIODevice::WriteOnly);
    }
    ~Inicio() override { m_cartel->CartelCerrar(); }

    // Runs the start-up; true when it returned, false when it ended the program.
    bool inicia(const QString& parametros)
    {
        QString cadena;
        try {
            IniciaAplicacion(false, parametros, cadena, adUseClient);
            return true;
        } catch (const testsupport::ProgramEnded&) {
            return false;
        }
    }

    int acciones()
    {
        AdoRecordset registro;
        const Value n = valor(QStringLiteral("SELECT COUNT(*) FROM V_MV_CPTEACCIONES"));
        return int(n.toLongLong());
    }

    QStringList titulos() const
    {
        QStringList lista;
        for (const auto& caja : testsupport::messages().shown())
            lista << caja.title + QStringLiteral(": ") + caja.text;
        return lista;
    }

    std::unique_ptr<Dll_DisplayQt> m_cartel = std::make_unique<Dll_DisplayQt>();
    ScopedService<Dll_Display> m_cartelServicio { m_cartel.get() };
    AccesoGuionado m_acceso;
    ScopedService<FormularioModal> m_accesoServicio { m_acceso };
    EnlacesGuardados m_enlaces;
    ScopedService<EnlacesInicio> m_enlacesServicio { m_enlaces };
};

const QString Admin = QStringLiteral("@server=SQLITE;@dbname=DEMO;@usuario=ADMIN;@Password=");

} // namespace

TEST_F(Inicio, starts_as_the_suite_starts_it)
{
    const bool volvio = inicia(Admin + QStringLiteral("admin;@ParametroAdicional=C;@Caja=2"));

    ASSERT_TRUE(volvio);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty()) << titulos().join(u'\n').toStdString();
    EXPECT_EQ(m_acceso.m_mostrados, 0);
    EXPECT_TRUE(gDB().gOpenFlag);
    EXPECT_TRUE(gDBEstadisticas().gOpenFlag);
    EXPECT_EQ(gDB().gCnn().CommandTimeout(), 90);
    EXPECT_EQ(m_inicio.gUsuarioLogeado, QStringLiteral("ADMIN"));
    EXPECT_EQ(m_inicio.gParametroAdicional, QStringLiteral("C"));
    EXPECT_EQ(m_inicio.gCaja, QStringLiteral("2"));
    EXPECT_EQ(m_inicio.gPuesto, QStringLiteral("PUESTO01|OPERADOR"));
    EXPECT_EQ(m_globales.gCantidadDecimales, QStringLiteral("2"));
    EXPECT_EQ(m_globales.gCadenaODBC, QStringLiteral("DSN=DEMO; UID=DEMO; PWD=DEMO"));
    EXPECT_EQ(m_globales.gArchivoAyuda, carpeta() + QStringLiteral("/htmlhelp/zododovorir.chm"));
    // The default masks go to the data folder: an installed program folder is read-only.
    EXPECT_EQ(QFileInfo(dataFolder() + QStringLiteral("/consultas.qzk")).size(), 13222);
    EXPECT_FALSE(QFile::exists(carpeta() + QStringLiteral("/consultas.qzk")));
    EXPECT_TRUE(m_enlaces.m_usarMascaras);
    EXPECT_EQ(m_enlaces.m_rutaMascaras, dataFolder() + QStringLiteral("/consultas.qzk"));
    EXPECT_EQ(m_enlaces.m_connString, gDB().gConnString);
    EXPECT_EQ(m_enlaces.m_carpeta, carpeta() + u'/');
    EXPECT_EQ(m_cartel->formulario(), nullptr); // the banner is closed
    const auto accesos = filas(QStringLiteral(
        "SELECT Maquina, Usuario, Formulario, Tarea, NombreUsuario, Ingreso FROM Control_Acceso"));
    ASSERT_EQ(accesos.size(), 1);
    // The entry moment goes as the suite's text "15/03/24 10:30", day first, which the demo
    // database keeps as that moment.
    EXPECT_EQ(accesos.at(0),
        (QStringList { QStringLiteral("PUESTO01"), QStringLiteral("ADMIN"),
            executableName().toUpper(), QStringLiteral("LISTAS DE PRECIOS"),
            QStringLiteral("ADMIN"), QStringLiteral("2024-03-15 10:30:00") }));
    EXPECT_TRUE(m_globales.gSentenciasSQL.join(u'\n').contains(QStringLiteral("'15/03/24 10:30'")))
        << m_globales.gSentenciasSQL.join(u'\n').toStdString();
    EXPECT_EQ(acciones(), 0);
}

TEST_F(Inicio, an_existing_mask_file_is_left_as_it_is)
{
    QFile mascaras(carpeta() + QStringLiteral("/CONSULTAS.QZK"));
    ASSERT_TRUE(mascaras.open(QIODevice::WriteOnly));
    mascaras.close();

    ASSERT_TRUE(inicia(Admin + QStringLiteral("admin")));

    EXPECT_EQ(QFileInfo(mascaras).size(), 0);
    EXPECT_FALSE(QFile::exists(carpeta() + QStringLiteral("/consultas.qzk")));
    EXPECT_FALSE(QFile::exists(dataFolder() + QStringLiteral("/consultas.qzk")));
    EXPECT_EQ(m_enlaces.m_rutaMascaras, mascaras.fileName());
}

TEST_F(Inicio, the_stored_password_serves_when_the_database_name_is_given)
{
    ASSERT_TRUE(
        inicia(QStringLiteral("@server=SQLITE;@dbname=DEMO;@usuario=VENDEDOR;@Password=demo")));

    EXPECT_TRUE(testsupport::messages().shown().isEmpty()) << titulos().join(u'\n').toStdString();
    EXPECT_EQ(m_inicio.gClaveUsuario, QStringLiteral("vendedor"));
}

TEST_F(Inicio, a_wrong_password_three_times_ends_the_program)
{
    m_acceso.conecta();
    m_acceso.conecta(QStringLiteral("otra"));
    m_acceso.conecta(QStringLiteral("ADMINN"));
    for (int i = 0; i < 5; ++i)
        testsupport::messages().answer(Msg::Ok);

    const bool volvio = inicia(Admin + QStringLiteral("mala"));

    EXPECT_FALSE(volvio);
    EXPECT_EQ(testsupport::programEnd().calls(), 1);
    EXPECT_EQ(titulos(),
        (QStringList {
            QStringLiteral("Atencion!: El usuario o clave en la base de datos es "
                           "incorrecto!\r\nIntentelo nuevamente"),
            QStringLiteral("Atencion: Usuario o Clave incorrecta"),
            QStringLiteral("Atencion: Usuario o Clave incorrecta"),
            QStringLiteral("Atencion: Usuario o Clave incorrecta"),
            QStringLiteral("Atencion!: Demasiados intentos para iniciar sesión!\r\nComuniquese con "
                           "el administrador de sistemas"),
        }));
    EXPECT_EQ(testsupport::messages().shown().at(0).style, Msg::Critical);
    EXPECT_EQ(testsupport::messages().shown().at(1).style, Msg::Information);
    // The dialog comes pre-filled with the connection and what was typed last.
    EXPECT_EQ(m_acceso.m_vistos.at(0),
        (QStringList { QStringLiteral("DEMO"), QStringLiteral("SQLITE"), QStringLiteral("ADMIN"),
            QStringLiteral("mala") }));
    EXPECT_EQ(m_acceso.m_vistos.at(2).at(3), QStringLiteral("otra"));
    EXPECT_TRUE(m_acceso.m_mismoFormulario); // one dialog for the three attempts
    const auto filas = this->filas(QStringLiteral(
        "SELECT Tipo_accion, SYSTEMUSER, Usuario, IdComplemento FROM V_MV_CPTEACCIONES"));
    ASSERT_EQ(filas.size(), 3);
    for (const QStringList& fila : filas)
        EXPECT_EQ(fila,
            (QStringList { QStringLiteral("A"),
                QStringLiteral("Intento de inicio de sesion fallido"), QStringLiteral("ADMIN"),
                QStringLiteral("0") }));
    EXPECT_EQ(valor(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")).toLongLong(), 0);
}

TEST_F(Inicio, the_right_password_on_the_second_attempt_lets_the_user_in)
{
    m_acceso.conecta();
    m_acceso.conecta(QStringLiteral("ADMIN"));
    for (int i = 0; i < 2; ++i)
        testsupport::messages().answer(Msg::Ok);

    ASSERT_TRUE(inicia(Admin + QStringLiteral("mala")));

    EXPECT_EQ(acciones(), 1);
    EXPECT_EQ(m_inicio.gClaveUsuario, QStringLiteral("ADMIN"));
    EXPECT_EQ(valor(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")).toLongLong(), 1);
}

TEST_F(Inicio, a_cancelled_login_ends_the_program_quietly)
{
    m_acceso.cancela();
    testsupport::messages().answer(Msg::Ok);

    EXPECT_FALSE(inicia(Admin + QStringLiteral("mala")));

    EXPECT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(acciones(), 0);
    EXPECT_EQ(testsupport::programEnd().calls(), 1);
}

TEST_F(Inicio, a_missing_database_ends_the_program)
{
    EXPECT_FALSE(
        inicia(QStringLiteral("@server=SQLITE;@dbname=NOEXISTE;@usuario=ADMIN;@Password=admin")));

    EXPECT_FALSE(gDB().gOpenFlag);
    EXPECT_EQ(testsupport::programEnd().calls(), 1);
    EXPECT_FALSE(QFile::exists(carpeta() + QStringLiteral("/consultas.qzk")));
    EXPECT_EQ(m_cartel->formulario(), nullptr);
}

TEST_F(Inicio, an_unexpected_error_is_told_and_logged_before_the_program_ends)
{
    // A folder where the mask file should be: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(dataFolder() + QStringLiteral("/consultas.qzk")));
    testsupport::environment().setVariable(QStringLiteral("TEMP"), carpeta());
    testsupport::messages().answer(Msg::Ok);

    EXPECT_FALSE(inicia(Admin + QStringLiteral("admin")));

    // The operator learns why the program does not start, and which file stopped it.
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    const testsupport::ShownBox& caja = testsupport::messages().shown().at(0);
    EXPECT_EQ(caja.title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(caja.style, Msg::Critical + Msg::OkOnly);
    EXPECT_TRUE(caja.text.startsWith(QStringLiteral("No se puede iniciar el programa.\r\nHa "
                                                    "ocurrido el Siguiente Error (75) Error de "
                                                    "acceso a la ruta o el archivo: ")
        + dataFolder() + QStringLiteral("/consultas.qzk")))
        << caja.text.toStdString();

    QFile log(carpeta() + QStringLiteral("/KZQERR.LOG"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString linea = QString::fromLatin1(log.readAll());
    EXPECT_TRUE(linea.contains(
        QStringLiteral("Rutina: - IniciaAplicacion Mensaje Ha ocurrido el Siguiente Error (75)")))
        << linea.toStdString();
    EXPECT_EQ(m_cartel->formulario(), nullptr);
}

TEST_F(Inicio, checks_users_of_this_program_only)
{
    conecta();
    exec(QStringLiteral("INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES "
                        "('OTRO', 'VOLDAN', '') , ('D''ANGELO', 'ORBA', '%1')")
             .arg(gUtilidades().Encripta(QStringLiteral("Clave"))));
    struct Fila
    {
        const char16_t* usuario;
        const char16_t* clave;
        bool aceptado;
    };
    const Fila filas[] = {
        { u"demo", u"", true }, // the database login, any case, needs no password
        { u"ADMIN", u"ADMIN", true }, // a password differing in case only is the same
        { u" admin ", u"admin", true }, // the name is looked up trimmed
        { u"ADMIN", u"vendedor", false }, // another user's password does not stand in
        { u"OTRO", u"", false }, // a user of another system only
        { u"D'ANGELO", u"clave", true }, // the suite's shared users, names with an apostrophe
        { u"NADIE", u"", false },
    };
    for (const Fila& fila : filas) {
        m_inicio.gUsuarioLogeado = QStringLiteral("antes");

        const bool aceptado
            = ValidaUsuario(QString::fromUtf16(fila.usuario), QString::fromUtf16(fila.clave));

        EXPECT_EQ(aceptado, fila.aceptado) << QString::fromUtf16(fila.usuario).toStdString();
        const bool conocido = fila.aceptado || QString::fromUtf16(fila.usuario) == u"ADMIN";
        EXPECT_EQ(m_inicio.gUsuarioLogeado,
            conocido ? QString::fromUtf16(fila.usuario) : QStringLiteral("antes"));
    }
}
