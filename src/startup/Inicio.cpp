#include "startup/Inicio.h"

#include <memory>

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "formhelpers/FormularioModal.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorLog.h"
#include "platform/FileNames.h"
#include "platform/LeadingNumber.h"
#include "platform/LectorIni.h"
#include "platform/MessageDialog.h"
#include "platform/ProgramEnd.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/ConfiguracionGlobal.h"
#include "services/Dll_Display.h"
#include "services/Estadisticas.h"
#include "services/Globales.h"
#include "services/ManejoErrores.h"
#include "services/MascarasConsulta.h"
#include "services/ParametrosSesion.h"
#include "services/RegistrosAccion.h"
#include "services/VariablesInicio.h"
#include "startup/frmAcceso.h"

namespace {

const QString Rutina = QStringLiteral("IniciaAplicacion");

bool mismoTexto(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The start-up's own failures: the banner goes first; an invalid argument (5) is passed over, any
// other error ends the program. The operator is told why before it ends (a program that vanished
// at start would leave only a log line to go by), and the error is written to the error log.
Steps pasosInicio()
{
    return Steps([](const RuntimeError& error) -> int {
        if (Dll_Display* cartel = Service<Dll_Display>::tryGet())
            cartel->CartelCerrar();
        if (error.number() == RuntimeError::InvalidCall)
            return Msg::Ignore;
        const QString mensaje = ErrorLog::messageText(error);
        MsgBox(QStringLiteral("No se puede iniciar el programa.\r\n") + mensaje,
            Msg::Critical + Msg::OkOnly, QStringLiteral("Aviso al Operador"));
        ErrorLog::append(
            archivoErroresPrograma(), ErrorLog::line(Now(), Rutina, mensaje, Msg::Abort));
        endProgram(1);
    });
}

// The parameter string's server, database and user: kept for the run of the start-up, also
// across a change of database in the login dialog.
struct Conexion
{
    QString servidor;
    QString dbName;
    QString usuario;
    QString password;
};

QString lineaDeComandos()
{
    QStringList argumentos = QCoreApplication::arguments();
    if (!argumentos.isEmpty())
        argumentos.removeFirst();
    return argumentos.join(u' ');
}

enum class Acceso
{
    Aceptado,
    Reconectar
};

// The login dialog, three attempts at most. Ends the program on a cancel or a third failure.
// One dialog serves every attempt of the run, so what the operator left in it (a chosen
// registered connection, the port) is there again; the four boxes are filled anew each time.
Acceso cicloAcceso(Conexion& conexion, std::unique_ptr<frmAcceso>& acceso)
{
    VariablesInicio& inicio = gInicio();
    DB_Dll& db = gDB();
    MsgBox(QStringLiteral(
               "El usuario o clave en la base de datos es incorrecto!\r\nIntentelo nuevamente"),
        Msg::Critical + Msg::OkOnly, QStringLiteral("Atencion!"));
    for (int intento = 1; intento <= 3; ++intento) {
        if (!acceso)
            acceso = std::make_unique<frmAcceso>();
        acceso->PrecargaIngreso(db);
        MuestraModal(*acceso);
        if (!acceso->Aceptar)
            endProgram(0);
        if (ValidaUsuario(inicio.gUsuarioLogeado, inicio.gClaveUsuario)) {
            const QString base = acceso->TxtDbName()->text();
            const QString servidor = acceso->TxtServidor()->text();
            if (mismoTexto(base, db.gDBName) && mismoTexto(servidor, db.gServidor))
                return Acceso::Aceptado;
            conexion.dbName = base;
            conexion.servidor = servidor;
            return Acceso::Reconectar;
        }
        MsgBox(QStringLiteral("Usuario o Clave incorrecta"), Msg::Information + Msg::OkOnly,
            QStringLiteral("Atencion"));
        QString complemento = QStringLiteral("0");
        RegistraAccionCpte(QString(), QString(), complemento, true, false, false,
            QStringLiteral("Intento de inicio de sesion fallido"), QString(), false);
    }
    MsgBox(QStringLiteral("Demasiados intentos para iniciar sesión!\r\nComuniquese con el "
                          "administrador de sistemas"),
        Msg::Critical + Msg::OkOnly, QStringLiteral("Atencion!"));
    endProgram(0);
}

} // namespace

bool ValidaUsuario(const QString& Usuario, const QString& Clave)
{
    VariablesInicio& inicio = gInicio();
    DB_Dll& db = gDB();
    if (mismoTexto(Usuario, db.gDBName)) {
        inicio.gUsuarioLogeado = Usuario;
        return true;
    }
    const QString nombre = ConsultasDatos::literal(Usuario.trimmed());
    QString sql = QStringLiteral("SELECT * FROM TA_USUARIOS WHERE NOMBRE = ") + nombre
        + QStringLiteral(" AND SISTEMA = ");
    // The suite's users are kept per system; this program admits its own and the suite's.
    if (mismoTexto(executableName(), QStringLiteral("VOLDAN")))
        sql += QStringLiteral("'VOLDAN'");
    else
        sql += QStringLiteral("'zr417px' OR NOMBRE = ") + nombre
            + QStringLiteral(" AND SISTEMA = 'ORBA'");
    AdoRecordset registro;
    db.AbrirRecordset(sql, registro, nullptr, adOpenForwardOnly, adLockReadOnly, -1, true);
    bool aceptado = false;
    if (registro.State() == adStateOpen && !registro.Eof()) {
        inicio.gUsuarioLogeado = Usuario;
        const QString guardada = gUtilidades().Desencripta(
            gUtilidades().ValorCampo(registro.Fields(QStringLiteral("Password")).Value()));
        aceptado = mismoTexto(guardada, Clave);
    }
    db.CierraRecordset(registro);
    return aceptado;
}

void IniciaAplicacion(
    bool UsarIni, const QString& Parametros, QString& CadenaConexion, int TipoCursor)
{
    VariablesInicio& inicio = gInicio();
    Globales& g = gGlobales();
    DB_Dll& db = gDB();
    Dll_Display& cartel = gDisplay();
    Steps pasos = pasosInicio();

    pasos.run([&] {
        cartel.CartelInicio(QStringLiteral("Conectando Base de Datos"), 0);
        cartel.CartelMostrar(Value(QStringLiteral("Iniciando Aplicacion")), Value(executableName()),
            Value(QStringLiteral("Espere por favor")));
    });
    const QString carpeta = gUtilidades().RutaConBarra(programFolder());
    g.gArchivoAyuda = carpeta + QStringLiteral("htmlhelp/zododovorir.chm");
    g.gColorLetra = 0;
    g.gColorFondo = 0xFFFFFF;

    QString cadena = Parametros.isEmpty() ? lineaDeComandos() : Parametros;
    if (cadena.trimmed().isEmpty() && UsarIni)
        pasos.run([&] { cadena = ParametrosSesion::CadenaDesdeIni(); });

    inicio.gPuesto = ClaveEstacion();
    pasos.run([&] {
        inicio.gFlatToolbars
            = Value(leadingNumber(gLectorIni().LeeIni(QStringLiteral("ZR417px.INI"), inicio.gPuesto,
                QStringLiteral("FlatToolbars"), QStringLiteral("1"))));
    });

    Conexion conexion;
    std::unique_ptr<frmAcceso> acceso;
    bool conectar = !db.gOpenFlag;
    if (conectar) {
        pasos.run([&] {
            const ParametrosSesion::Parametros leidos = ParametrosSesion::LeeParametros(cadena);
            ParametrosSesion::AplicaParametros(leidos, inicio);
            conexion.servidor = leidos.servidor;
            conexion.dbName = leidos.dbName;
            conexion.usuario = leidos.usuario;
            conexion.password = leidos.password.value_or(QString());
        });
        // "#" in front of the server means Oracle; its data source is the database name.
        const QString servidor = conexion.servidor.trimmed();
        if (!servidor.isEmpty() && servidor.startsWith(u'#')) {
            conexion.servidor = servidor.mid(1);
            if (CadenaConexion.isEmpty()) {
                CadenaConexion = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=")
                    + conexion.dbName + QStringLiteral(";User Id=") + conexion.usuario
                    + QStringLiteral(";Password=") + conexion.password + u';';
            }
        }
    }

    for (;;) {
        if (conectar) {
            // The suite's SQL Server logins are named like the database, with that password.
            db.gUsuario = conexion.dbName;
            db.gDBName = conexion.dbName;
            db.gUserPassWord = conexion.dbName;
            db.gServidor = ExtraeNombreServidor(conexion.servidor);
            const bool pideParametros
                = conexion.servidor.trimmed().isEmpty() || conexion.usuario.trimmed().isEmpty();
            pasos.run([&] {
                db.OpenServerADODB(pideParametros, TipoCursor, CadenaConexion, true, true);
            });
            // The data object has told the operator whatever there was to tell.
            if (!db.gOpenFlag) {
                cartel.CartelCerrar();
                endProgram(1);
            }
            pasos.run([&] { ConectaBaseEstadisticas(); });
            db.gCnn().setCommandTimeout(g.gTimeOutComandos);
            db.gCnn().setIsolationLevel(adXactReadUncommitted);
        }

        if (!db.gDBName.isEmpty()) {
            g.gCadenaODBC = QStringLiteral("DSN=") + db.gDBName + QStringLiteral("; UID=")
                + db.gUsuario + QStringLiteral("; PWD=") + db.gUserPassWord;
            EnlacesInicio* enlaces = Service<EnlacesInicio>::tryGet();
            if (enlaces)
                pasos.run([&] { enlaces->CarpetaSistemaInformes(carpeta); });
            db.gCnn().setDefaultDatabase(db.gDBName);
            // The masks a site keeps in the program folder are read there; the defaults are
            // written to the data folder, the program folder being read-only when installed.
            const QString nombreMascaras = QString::fromLatin1(MascarasConsulta::NombreArchivo);
            QString mascaras = FileNames::helperFileToRead(nombreMascaras);
            if (!QFileInfo(mascaras).isFile())
                pasos.run([&] { mascaras = FileNames::checkedHelperFileToWrite(nombreMascaras); });
            if (enlaces)
                pasos.run([&] { enlaces->PreparaConsultas(db.gConnString, true, mascaras); });
            pasos.run([&] {
                if (!QFileInfo(mascaras).isFile())
                    MascarasConsulta::GeneraMascarasConsultaDefault(mascaras);
            });
            db.gCnn().setDefaultDatabase(db.gDBName);
            pasos.run([&] { CargaConfiguracionGlobal(carpeta); });
        }

        if (inicio.gClaveUsuario == VariablesInicio::ClaveGuardada) {
            pasos.run([&] {
                AdoRecordset registro;
                QString sql
                    = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = ")
                    + ConsultasDatos::literal(inicio.gUsuarioLogeado);
                db.AbrirRecordset(sql, registro);
                if (registro.State() == adStateOpen && !registro.Eof()) {
                    inicio.gClaveUsuario = gUtilidades().Desencripta(gUtilidades().ValorCampo(
                        registro.Fields(QStringLiteral("Password")).Value()));
                }
                db.CierraRecordset(registro);
            });
        }

        bool valido = false;
        pasos.run([&] { valido = ValidaUsuario(inicio.gUsuarioLogeado, inicio.gClaveUsuario); });
        if (valido || cicloAcceso(conexion, acceso) == Acceso::Aceptado)
            break;
        conectar = true;
    }

    pasos.run([&] { RegistraAccesoPrograma(QString()); });
    cartel.CartelCerrar();
}
