#include "startup/frmAcceso.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/FileNames.h"
#include "platform/Utilidades.h"
#include "startup/LBM_Common.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestFiles.h"
#include "AccesoPrueba.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString Fixtures = QStringLiteral(STARTUP_FIXTURES);

class frmAccesoTest : public AccesoPrueba
{
protected:
    void SetUp() override
    {
        AccesoPrueba::SetUp();
        LBM_Common::gArchivoBases.clear();
    }
    void TearDown() override { LBM_Common::gArchivoBases.clear(); }

    QString enCarpeta(const QString& nombre) const { return dir.filePath(nombre); }
    // The registry the dialog reads: the data folder's once the program wrote one.
    static QString registro() { return FileNames::helperFileToRead(QStringLiteral("BASES.TXT")); }
    void conFixture(const char* nombre)
    {
        ASSERT_TRUE(QFile::copy(
            Fixtures + u'/' + QString::fromLatin1(nombre), enCarpeta(QStringLiteral("BASES.TXT"))));
    }
    void escribeBases(const QByteArray& contenido)
    {
        writeFile(enCarpeta(QStringLiteral("BASES.TXT")), contenido);
    }
    static QPushButton* boton(const frmAcceso& form, const char* nombre)
    {
        return form.findChild<QPushButton*>(QString::fromLatin1(nombre));
    }
    static QLineEdit* caja(const frmAcceso& form, const char* nombre)
    {
        return form.findChild<QLineEdit*>(QString::fromLatin1(nombre));
    }
    QByteArray registroVentas() const
    {
        return "VENTAS / SRV1,Ventas,Ventas,"
            + gUtilidades().Encripta(QStringLiteral("Ventas")).toLatin1() + ",srv1:1450\r\n";
    }
    static QString textoPrueba(const char* servidor, const char* base)
    {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=%2;Pwd=%2;")
            .arg(QString::fromUtf8(servidor), QString::fromUtf8(base));
    }
    const QList<testsupport::ShownBox>& cajas() const { return testsupport::messages().shown(); }
};

TEST_F(frmAccesoTest, loads_with_its_controls_texts_and_hints)
{
    frmAcceso acceso;

    EXPECT_EQ(acceso.windowTitle(), QStringLiteral("Control de Acceso"));
    EXPECT_EQ(boton(acceso, "bcAceptar")->text(), QStringLiteral("Conectar"));
    EXPECT_EQ(boton(acceso, "bcCancelar")->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(boton(acceso, "CmdRegistrar")->text(), QStringLiteral("Registrar"));
    EXPECT_EQ(boton(acceso, "CmdLineaComando")->text(), QStringLiteral("Crear Acceso Directo"));
    EXPECT_EQ(caja(acceso, "TxtPuerto")->text(), QStringLiteral("1433"));
    EXPECT_EQ(caja(acceso, "TxtPuerto")->toolTip(), QStringLiteral("Ingrese el Puerto "));
    EXPECT_EQ(caja(acceso, "TxtUserPassword")->echoMode(), QLineEdit::Password);
    const auto* plataforma = acceso.findChild<QComboBox*>(QStringLiteral("CboPlataformaDB"));
    ASSERT_EQ(plataforma->count(), 3);
    EXPECT_EQ(plataforma->itemText(0), QStringLiteral("SQL Server"));
    EXPECT_EQ(plataforma->itemText(1), QStringLiteral("ORACLE"));
    EXPECT_EQ(plataforma->itemText(2), QStringLiteral("SQLite"));
    EXPECT_EQ(acceso.findChild<QListWidget*>(QStringLiteral("lstBases"))->count(), 0);

    // The user box starts as one blank: at load it shows its hint and reads empty.
    const struct
    {
        const char* nombre;
        const char* pista;
        const char* ayuda;
    } cajasConPista[] = {
        { "TxtUserId", "Ingrese el usuario", "Ingrese el nombre de usuario" },
        { "TxtUserPassword", "", "Ingrese la contraseña" },
        { "TxtDbName", "ingrese el nombre de la base de datos",
            "ingrese el nombre de la base de datos" },
        { "TxtServidor", "ingrese el nombre del servidor e instancia",
            "ingrese el nombre del servidor e instancia" },
    };
    for (const auto& c : cajasConPista) {
        EXPECT_EQ(caja(acceso, c.nombre)->text(), QString()) << c.nombre;
        EXPECT_EQ(caja(acceso, c.nombre)->placeholderText(), QString::fromUtf8(c.pista))
            << c.nombre;
        EXPECT_EQ(caja(acceso, c.nombre)->toolTip(), QString::fromUtf8(c.ayuda)) << c.nombre;
    }
}

TEST_F(frmAccesoTest, a_box_showing_its_hint_reads_empty)
{
    escribeBases(QByteArray());
    frmAcceso acceso;
    // Typing the hint's own words, or blanks, leaves the box empty.
    caja(acceso, "TxtDbName")->setText(QStringLiteral("ingrese el nombre de la base de datos"));
    caja(acceso, "TxtServidor")->setText(QStringLiteral("   "));
    caja(acceso, "TxtUserId")->setText(QStringLiteral("ANA"));

    boton(acceso, "bcAceptar")->click();

    EXPECT_TRUE(acceso.Aceptar);
    EXPECT_EQ(acceso.BaseActual, QString());
    EXPECT_EQ(acceso.ServidorActual, QString());
    EXPECT_EQ(inicio.gUsuarioLogeado, QStringLiteral("ANA"));
}

TEST_F(frmAccesoTest, lists_the_registry_and_applies_the_first_entry)
{
    conFixture("BASES.TXT");

    frmAcceso acceso;

    const auto* lista = acceso.lstBases();
    ASSERT_EQ(lista->count(), 3);
    EXPECT_EQ(lista->item(0)->text(), QStringLiteral("VENTAS / SRV1"));
    EXPECT_EQ(lista->item(1)->text(), QStringLiteral("AÑO / SRV2"));
    EXPECT_EQ(lista->currentRow(), 0);
    // "srv1:1450": the server upper-cased without its port, the port in its own box.
    EXPECT_EQ(acceso.TxtServidor()->text(), QStringLiteral("SRV1"));
    EXPECT_EQ(acceso.TxtPuerto()->text(), QStringLiteral("1450"));
    EXPECT_EQ(acceso.TxtDbName()->text(), QStringLiteral("Ventas"));
    EXPECT_EQ(acceso.TxtUserId()->text(), QString());
}

TEST_F(frmAccesoTest, choosing_an_entry_clears_user_and_keeps_the_port_of_before)
{
    conFixture("BASES.TXT");
    frmAcceso acceso;
    acceso.TxtUserId()->setText(QStringLiteral("ANA"));
    acceso.TxtUserPassword()->setText(QStringLiteral("x"));

    acceso.lstBases()->setCurrentRow(1);

    EXPECT_EQ(acceso.TxtServidor()->text(), QStringLiteral("#SRV2"));
    EXPECT_EQ(acceso.TxtDbName()->text(), QStringLiteral("Año"));
    EXPECT_EQ(acceso.TxtPuerto()->text(), QStringLiteral("1450"));
    EXPECT_EQ(acceso.TxtUserId()->text(), QString());
    EXPECT_EQ(acceso.TxtUserPassword()->text(), QString());
}

TEST_F(frmAccesoTest, a_key_in_an_empty_list_empties_the_boxes)
{
    frmAcceso acceso;
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtServidor()->setText(QStringLiteral("SRV"));
    acceso.TxtUserId()->setText(QStringLiteral("ANA"));

    QTest::keyClick(acceso.lstBases(), Qt::Key_Down);

    EXPECT_EQ(acceso.TxtDbName()->text(), QString());
    EXPECT_EQ(acceso.TxtServidor()->text(), QString());
    EXPECT_EQ(acceso.TxtUserId()->text(), QString());
}

TEST_F(frmAccesoTest, display_name_lookup_is_trimmed_and_case_sensitive)
{
    conFixture("BASES.TXT");
    frmAcceso acceso;
    const struct
    {
        const char* nombre;
        const char* servidor; // nullptr: not found, the previous values stay
    } casos[] = {
        { "  COMPRAS / SRV1 ", "SRV1" },
        { "compras / srv1", nullptr },
        { "VENTAS / SRV1", "srv1:1450" },
    };

    for (const auto& caso : casos) {
        acceso.ServidorActual = QStringLiteral("antes");
        acceso.DatosBase(QString::fromUtf8(caso.nombre));
        EXPECT_EQ(acceso.ServidorActual,
            caso.servidor ? QString::fromUtf8(caso.servidor) : QStringLiteral("antes"))
            << caso.nombre;
    }
}

TEST_F(frmAccesoTest, enter_walks_the_boxes_to_conectar)
{
    frmAcceso acceso;

    const struct
    {
        const char* desde;
        const char* hacia;
    } pasos[] = { { "TxtUserId", "TxtUserPassword" }, { "TxtUserPassword", "TxtDbName" },
        { "TxtDbName", "TxtServidor" }, { "TxtServidor", "bcAceptar" } };
    for (const auto& paso : pasos) {
        QTest::keyClick(caja(acceso, paso.desde), Qt::Key_Return);
        ASSERT_NE(acceso.focusWidget(), nullptr);
        EXPECT_EQ(acceso.focusWidget()->objectName(), QString::fromLatin1(paso.hacia));
    }
    EXPECT_FALSE(acceso.Aceptar);
    EXPECT_TRUE(proveedor.journal().isEmpty());
}

TEST_F(frmAccesoTest, conectar_without_a_registry_registers_the_typed_connection)
{
    proveedor.acceptedOpens() << textoPrueba("srv1:1450", "VENTAS");
    frmAcceso acceso;
    acceso.TxtUserId()->setText(QStringLiteral("ANA"));
    acceso.TxtUserPassword()->setText(QStringLiteral("clave"));
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtServidor()->setText(QStringLiteral(" srv1:1450 "));
    acceso.show();

    boton(acceso, "bcAceptar")->click();

    EXPECT_TRUE(acceso.Aceptar);
    EXPECT_FALSE(acceso.isVisible());
    EXPECT_EQ(inicio.gUsuarioLogeado, QStringLiteral("ANA"));
    EXPECT_EQ(inicio.gClaveUsuario, QStringLiteral("clave"));
    // The registration refreshed the list, whose first entry is now the new connection.
    EXPECT_EQ(acceso.ServidorActual, QStringLiteral("SRV1"));
    EXPECT_EQ(acceso.TxtServidor()->text(), QStringLiteral("SRV1"));
    EXPECT_EQ(acceso.TxtUserId()->text(), QString());
    EXPECT_EQ(readFile(registro()), registroVentas());
    // The trial ran on a connection of its own and closed it.
    EXPECT_EQ(proveedor.journal(),
        QStringList({ QStringLiteral("#1 Open ") + textoPrueba("srv1:1450", "VENTAS"),
            QStringLiteral("#1 Close") }));
    EXPECT_TRUE(cajas().isEmpty());
}

TEST_F(frmAccesoTest, registration_port_duplicate_and_list_refresh)
{
    const QByteArray compras = "COMPRAS / SRV2,Compras,Compras,0A,SRV2\r\n";
    escribeBases(compras);
    proveedor.acceptedOpens() << textoPrueba("srv1:1450", "VENTAS");
    frmAcceso acceso;
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtServidor()->setText(QStringLiteral("srv1:1450"));
    acceso.TxtPuerto()->setText(QStringLiteral("0"));

    boton(acceso, "CmdRegistrar")->click();

    // The port is not part of the record; the refreshed list's first entry has none of its own.
    EXPECT_EQ(acceso.PuertoActual.toString(), QStringLiteral("1433"));
    EXPECT_EQ(acceso.TxtPuerto()->text(), QStringLiteral("1433"));
    EXPECT_EQ(readFile(registro()), compras + registroVentas());
    ASSERT_EQ(acceso.lstBases()->count(), 2);
    EXPECT_EQ(acceso.TxtDbName()->text(), QStringLiteral("Compras"));

    // The same database and server in another letter case is the same connection.
    testsupport::messages().answer(Msg::Ok);
    acceso.TxtDbName()->setText(QStringLiteral("ventas"));
    acceso.TxtServidor()->setText(QStringLiteral("SRV1"));
    boton(acceso, "CmdRegistrar")->click();

    ASSERT_EQ(cajas().size(), 1);
    EXPECT_EQ(cajas()[0].text, QStringLiteral("La conexion que intenta registrar ya existe "));
    EXPECT_EQ(cajas()[0].title, QStringLiteral("Atencion"));
    EXPECT_EQ(cajas()[0].style, Msg::Information);
    EXPECT_EQ(readFile(registro()), compras + registroVentas());
}

TEST_F(frmAccesoTest, refuses_a_comma_before_any_trial_or_write)
{
    const struct
    {
        const char* base;
        const char* servidor;
        const char* mensaje;
    } casos[] = {
        { "Ven,tas", "SRV1",
            "El nombre de la base de datos no puede contener comas ni saltos de linea." },
        { "Ventas", "SRV,1", "El nombre del servidor no puede contener comas ni saltos de linea." },
    };

    for (const auto& caso : casos) {
        testsupport::messages().clear();
        testsupport::messages().answer(Msg::Ok);
        frmAcceso acceso;
        acceso.TxtDbName()->setText(QString::fromUtf8(caso.base));
        acceso.TxtServidor()->setText(QString::fromUtf8(caso.servidor));

        boton(acceso, "CmdRegistrar")->click();

        ASSERT_EQ(cajas().size(), 1);
        EXPECT_EQ(cajas()[0].text, QString::fromUtf8(caso.mensaje));
        EXPECT_EQ(cajas()[0].title, QStringLiteral("Atencion"));
        EXPECT_EQ(cajas()[0].style, Msg::Exclamation);
    }
    EXPECT_FALSE(QFile::exists(registro()));
    EXPECT_TRUE(proveedor.journal().isEmpty());
}

TEST_F(frmAccesoTest, failed_trial_tries_the_typed_user_on_the_program_connection)
{
    DB_Dll& db = datos.gDB;
    frmAcceso acceso;
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtServidor()->setText(QStringLiteral("SRV9"));
    acceso.TxtUserId()->setText(QStringLiteral("ana"));
    acceso.TxtUserPassword()->setText(QStringLiteral("x"));
    testsupport::messages().answer(Msg::Ok);

    boton(acceso, "CmdRegistrar")->click();

    EXPECT_EQ(db.gUsuario, QStringLiteral("ana"));
    EXPECT_EQ(db.gDBName, QStringLiteral("Ventas"));
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(cajas().size(), 1);
    EXPECT_EQ(cajas()[0].text,
        QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR SRV9 VERIFIQUE EL "
                       "NOMBRE DE USUARIO Y PASSWORD INGRESADO"));
    EXPECT_EQ(cajas()[0].title, QStringLiteral("AVISO AL OPERADOR"));
    EXPECT_FALSE(QFile::exists(registro()));

    // Now the server knows the user: the record is written and the connection stays open.
    proveedor.acceptedOpens() << QStringLiteral(
        "PROVIDER=SQLOLEDB;Server=SRV9;Database =Ventas;UId=ana;Pwd=x;");
    boton(acceso, "CmdRegistrar")->click();

    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn().State(), adStateOpen);
    EXPECT_TRUE(QFile::exists(registro()));
}

TEST_F(frmAccesoTest, registration_leaves_the_program_connection_open)
{
    DB_Dll& db = datos.gDB;
    const QString programa
        = QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV0;Database =Base0;UId=u;Pwd=p;");
    proveedor.acceptedOpens() << programa << textoPrueba("SRV1", "COMPRAS")
                              << textoPrueba("SRV1", "COMPRAS2");
    ASSERT_TRUE(db.gCnn().Open(programa));
    db.gOpenFlag = true;
    frmAcceso acceso;
    acceso.TxtDbName()->setText(QStringLiteral("Compras"));
    acceso.TxtServidor()->setText(QStringLiteral("SRV1"));

    boton(acceso, "CmdRegistrar")->click();
    // A second registration while the dialog stays loaded.
    acceso.TxtDbName()->setText(QStringLiteral("Compras2"));
    boton(acceso, "CmdRegistrar")->click();

    EXPECT_EQ(acceso.lstBases()->count(), 2);
    EXPECT_EQ(db.gCnn().State(), adStateOpen);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_FALSE(proveedor.journal().contains(QStringLiteral("#1 Close")));
}

TEST_F(frmAccesoTest, odbc_program_started_only_when_it_exists)
{
    proveedor.acceptedOpens() << textoPrueba("SRV1", "VENTAS");
    frmAcceso acceso;
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtServidor()->setText(QStringLiteral("SRV1"));
    boton(acceso, "CmdRegistrar")->click();
    EXPECT_TRUE(testsupport::launcher().started().isEmpty());

    QFile odbc(enCarpeta(QStringLiteral("odbc.EXE")));
    ASSERT_TRUE(odbc.open(QIODevice::WriteOnly));
    odbc.close();
    datos.gDB.gDBName = QStringLiteral("BaseActual");
    acceso.TxtDbName()->setText(QStringLiteral("Ventas2"));
    proveedor.acceptedOpens() << textoPrueba("SRV1", "VENTAS2");
    boton(acceso, "CmdRegistrar")->click();

    ASSERT_EQ(testsupport::launcher().started().size(), 1);
    EXPECT_EQ(testsupport::launcher().started()[0],
        u'"' + enCarpeta(QStringLiteral("odbc.EXE"))
            + QStringLiteral("\" \"Server=SRV1;DB=BaseActual;\""));
}

TEST_F(frmAccesoTest, cancel_and_escape)
{
    frmAcceso acceso;
    acceso.show();
    boton(acceso, "bcCancelar")->click();
    EXPECT_FALSE(acceso.Aceptar);
    EXPECT_FALSE(acceso.isVisible());

    acceso.Aceptar = true;
    acceso.show();
    QTest::keyClick(&acceso, Qt::Key_Escape);
    EXPECT_FALSE(acceso.Aceptar);
    EXPECT_FALSE(acceso.isVisible());
}

TEST_F(frmAccesoTest, desktop_shortcut_once_without_password)
{
    QTemporaryDir escritorio;
    frmAcceso acceso;
    acceso.CarpetaEscritorio = escritorio.path();
    acceso.TxtServidor()->setText(QStringLiteral("SRV1"));
    acceso.TxtDbName()->setText(QStringLiteral("Ventas"));
    acceso.TxtUserId()->setText(QStringLiteral("ANA"));
    acceso.TxtUserPassword()->setText(QStringLiteral("secreta"));
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Ok);

    boton(acceso, "CmdLineaComando")->click();
    boton(acceso, "CmdLineaComando")->click();

    const QString nombre = QGuiApplication::applicationDisplayName();
    const QString archivo = escritorio.filePath(nombre + QStringLiteral(".desktop"));
    const QByteArray contenido = readFile(archivo);
    // The program folder is not the executable's: the launcher carries it.
    EXPECT_EQ(contenido,
        ("[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + nombre
            + "\nExec=env RP_TARIFOLIO_HOME=\"" + dir.path() + "\" \""
            + testsupport::environment().executableFolder()
            + "/Rp_Tarifolio\" \" ; @server=SRV1; @dbname=Ventas; @usuario=ANA; @Password=; "
              "@ParametroAdicional=; orba@ ; @UsuarioLogeado = ; @Caja=;\"\nTerminal=false\n")
            .toUtf8());
    EXPECT_TRUE(QFile::permissions(archivo) & QFileDevice::ExeOwner);
    ASSERT_EQ(cajas().size(), 2);
    EXPECT_EQ(
        cajas()[0].text, QStringLiteral("Acceso directo creado correctamente en el escritorio."));
    EXPECT_EQ(cajas()[0].title, QStringLiteral("Acceso Directo"));
    EXPECT_EQ(cajas()[1].text, QStringLiteral("El acceso directo ya existe."));
    EXPECT_EQ(cajas()[1].style, Msg::Information);
}

TEST_F(frmAccesoTest, shortcut_that_cannot_be_written_says_why_and_nothing_more)
{
    frmAcceso acceso;
    // A folder no account may write a file in, root included.
    acceso.CarpetaEscritorio = QStringLiteral("/proc");
    testsupport::messages().answer(Msg::Ok);

    boton(acceso, "CmdLineaComando")->click();

    ASSERT_EQ(cajas().size(), 1);
    EXPECT_TRUE(cajas()[0].text.startsWith(
        QStringLiteral("Se ha producido un error: no se puede escribir el archivo /proc/")))
        << cajas()[0].text.toStdString();
    EXPECT_EQ(cajas()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(cajas()[0].style, Msg::Critical);
}

// The launcher goes where the user's desktop is, found as the desktop itself finds it.
TEST_F(frmAccesoTest, the_shortcut_goes_to_the_users_desktop_or_says_there_is_none)
{
    const struct
    {
        const char* caso;
        const char* xdgDesktopDir; // relative to HOME; empty: unset
        const char* userDirs; // user-dirs.dirs in HOME/.config; empty: none
        const char* carpeta; // made under HOME; empty: none
        const char* escritorio; // where the launcher goes, under HOME; empty: nowhere
    } casos[] = {
        { "variable", "Mesa", "", "Mesa", "Mesa" },
        { "user-dirs", "", "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n", "Escritorio", "Escritorio" },
        { "Escritorio", "", "", "Escritorio", "Escritorio" },
        { "none", "", "", "", "" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QTemporaryDir casa;
        testsupport::environment().setVariable(QStringLiteral("HOME"), casa.path());
        testsupport::environment().setVariable(QStringLiteral("XDG_CONFIG_HOME"), QString());
        testsupport::environment().setVariable(QStringLiteral("XDG_DESKTOP_DIR"),
            *c.xdgDesktopDir ? casa.filePath(QLatin1String(c.xdgDesktopDir)) : QString());
        if (*c.userDirs) {
            QDir(casa.path()).mkdir(QStringLiteral(".config"));
            writeFile(casa.filePath(QStringLiteral(".config/user-dirs.dirs")), c.userDirs);
        }
        if (*c.carpeta)
            QDir(casa.path()).mkdir(QLatin1String(c.carpeta));
        testsupport::messages().clear();
        testsupport::messages().answer(Msg::Ok);
        frmAcceso acceso;

        boton(acceso, "CmdLineaComando")->click();

        ASSERT_EQ(cajas().size(), 1);
        const QString lanzador = QGuiApplication::applicationDisplayName() + ".desktop";
        if (*c.escritorio) {
            EXPECT_TRUE(
                QFileInfo::exists(casa.filePath(QLatin1String(c.escritorio) + u'/' + lanzador)));
            EXPECT_EQ(cajas()[0].text,
                QStringLiteral("Acceso directo creado correctamente en el escritorio."));
        } else {
            EXPECT_EQ(cajas()[0].text,
                QStringLiteral("No se pudo crear el acceso directo: no se encuentra la carpeta "
                               "del escritorio (%1/Desktop).")
                    .arg(casa.path()));
            EXPECT_EQ(QDir(casa.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                QStringList());
        }
    }
    testsupport::environment().setVariable(QStringLiteral("HOME"), QString());
    testsupport::environment().setVariable(QStringLiteral("XDG_DESKTOP_DIR"), QString());
}

TEST_F(frmAccesoTest, web_link_opens_minimised)
{
    frmAcceso acceso;

    QTest::mouseClick(acceso.findChild<QLabel*>(QStringLiteral("Label8")), Qt::LeftButton);

    ASSERT_EQ(testsupport::launcher().opened().size(), 1);
    EXPECT_EQ(testsupport::launcher().opened()[0], frmAcceso::SitioWeb);
    EXPECT_TRUE(testsupport::launcher().openedMinimized()[0]);
}

TEST_F(frmAccesoTest, broken_registry_is_reported_and_the_whole_records_listed)
{
    conFixture("BASES_corto.TXT");
    const struct
    {
        int respuesta;
        int seleccion;
    } casos[] = { { Msg::Ignore, 0 }, { Msg::Abort, -1 } };

    for (const auto& caso : casos) {
        testsupport::messages().clear();
        testsupport::messages().answer(caso.respuesta);

        frmAcceso acceso;

        ASSERT_EQ(cajas().size(), 1);
        EXPECT_TRUE(
            cajas()[0].title.contains(QStringLiteral(" - FormLoad Aviso al operador!!! - 2")))
            << cajas()[0].title.toStdString();
        EXPECT_TRUE(
            cajas()[0].text.startsWith(QStringLiteral("Ha ocurrido el Siguiente Error (62)")));
        ASSERT_EQ(acceso.lstBases()->count(), 1);
        EXPECT_EQ(acceso.lstBases()->item(0)->text(), QStringLiteral("A / B"));
        EXPECT_EQ(acceso.lstBases()->currentRow(), caso.seleccion);
    }
}

} // namespace

TEST_F(frmAccesoTest, a_command_run_and_waited_for_tells_whether_it_started)
{
    struct Caso
    {
        bool arranca;
        bool resultado;
        const char* error;
    };
    const Caso casos[] = {
        { true, true, "" },
        { false, false, "Error al ejecutar el comando" },
    };
    for (const Caso& caso : casos) {
        frmAcceso acceso;
        testsupport::launcher().setSucceeds(caso.arranca);
        QString error;

        const bool resultado = acceso.EjecutarCmdRegDB(QStringLiteral("/opt/odbc/ODBC.exe"), error);

        EXPECT_EQ(resultado, caso.resultado);
        EXPECT_EQ(error, QString::fromLatin1(caso.error));
    }
    EXPECT_EQ(testsupport::launcher().started().size(), 2);
}
