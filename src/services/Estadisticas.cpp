#include "services/Estadisticas.h"

#include <cmath>

#include <QFileInfo>

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Clock.h"
#include "platform/Entorno.h"
#include "platform/Environment.h"
#include "platform/LeadingNumber.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/ConstructorSentencias.h"
#include "services/Formatos.h"
#include "services/Globales.h"
#include "services/RegistrosAccion.h"
#include "services/VariablesInicio.h"

namespace {

using ConsultasDatos::literal;

constexpr qint16 TimeOutPorDefecto = 90;

bool esMotorEmbebido(const DB_Dll& db)
{
    return db.gServidor.trimmed().compare(QStringLiteral("SQLITE"), Qt::CaseInsensitive) == 0;
}

// Where the statistics database lies: beside a main database given as a path, else by name.
QString nombreBaseEstadisticas(const DB_Dll& principal)
{
    const QString nombre = QString::fromLatin1(BaseEstadisticas);
    if (!esMotorEmbebido(principal))
        return nombre;
    QString ruta = principal.gDBName;
    ruta.replace(u'\\', u'/');
    if (!ruta.contains(u'/'))
        return nombre;
    return QFileInfo(ruta).path() + u'/' + nombre + QStringLiteral(".db");
}

} // namespace

void ConectaBaseEstadisticas()
{
    Globales& g = gGlobales();
    g.gTimeOutComandos = TimeOutPorDefecto;
    DB_Dll& principal = gDB();
    DB_Dll& estadisticas = gDBEstadisticas();
    Steps pasos = Steps::silent();

    pasos.run([&] {
        if (estadisticas.gOpenFlag && estadisticas.gCnn().State() == adStateOpen)
            estadisticas.gCnn().Close();
    });
    // The statistics database is reached with a login and a password equal to its name, on the
    // server's own provider whatever engine the main connection uses.
    estadisticas.gProveedor = DB_Dll::pSQLOLEDB();
    estadisticas.gServidor = principal.gServidor;
    estadisticas.gDBName = nombreBaseEstadisticas(principal);
    estadisticas.gUsuario = QString::fromLatin1(BaseEstadisticas);
    estadisticas.gUserPassWord = QString::fromLatin1(BaseEstadisticas);
    pasos.run([&] { estadisticas.OpenServerADODB(false, adUseClient, QString(), true, false); });

    if (estadisticas.gOpenFlag) {
        if (!esMotorEmbebido(principal))
            estadisticas.gCnn().setDefaultDatabase(QString::fromLatin1(BaseEstadisticas));
        pasos.run([&] {
            const double segundos
                = std::nearbyint(leadingNumber(Configuracion::CfgKZQ(QStringLiteral("TimeOut"))));
            if (segundos < -32768 || segundos > 32767)
                throw RuntimeError(6, QStringLiteral("Desbordamiento"));
            g.gTimeOutComandos = qint16(segundos);
            if (g.gTimeOutComandos == 0) {
                Configuracion::GrabaCfgKZQ(QStringLiteral("TimeOut"), Value(qint32(0)), QString(),
                    false, QStringLiteral("BaseDeDatos"), true);
            }
        });
    }
    // No time-out, or a negative one, would leave every command without a usable limit.
    if (g.gTimeOutComandos <= 0)
        g.gTimeOutComandos = TimeOutPorDefecto;
}

void RegistraAccesoPrograma(const QString& Programa)
{
    const QString programa = Programa.isEmpty() ? executableName() : Programa;
    VariablesInicio& inicio = gInicio();
    DB_Dll& db = gDB();
    if (inicio.gUsuarioLogeado.isEmpty())
        inicio.gUsuarioLogeado = db.gUsuario;
    // The suite's other programs record some of their entries under another process name, or
    // not at all; this program records its own name.
    const QString proceso = programa;
    Steps pasos = Steps::silent();

    QString tarea;
    AdoRecordset registro;
    pasos.run([&] {
        QString sql = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
                                     "TA_MENU.Nombre ")
            + QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON "
                             "TA_TAREAS.TAREA = TA_MENU.Clave ")
            // The blank after the user's name inside its literal is the suite's own.
            + QStringLiteral(" WHERE (TA_TAREAS.USUARIO = ")
            + literal(inicio.gUsuarioLogeado + u' ')
            + QStringLiteral(") AND (TA_MENU.Proceso LIKE ") + literal(u'%' + proceso + u'%')
            + QStringLiteral(")");
        db.AbrirRecordset(sql, registro);
    });
    pasos.run([&] {
        if (registro.State() == adStateOpen && !registro.Eof()) {
            tarea = gUtilidades().ValorCampo(registro.Fields(QStringLiteral("nombre")).Value());
        } else if (db.gDBName.compare(db.gUsuario, Qt::CaseInsensitive) == 0
            || db.gUsuario.compare(QStringLiteral("SUPERVISOR CORVANE MC"), Qt::CaseInsensitive)
                == 0) {
            // The database login and the suite's supervisor run every program without a task.
            tarea = executableName();
        }
    });
    pasos.run([&] { db.CierraRecordset(registro); });

    // The suite's main program keeps no access log.
    if (executableName().compare(QStringLiteral("ZR417PX"), Qt::CaseInsensitive) == 0)
        return;

    Globales& g = gGlobales();
    g.gSentenciasSQL = QStringList { QString() };
    const QString comilla = QStringLiteral("'");
    // The suite's other programs read the entry moment as the text "dd/mm/yy hh:mm".
    const QString ingreso = FormateaMomento(Now(), FmtFecha() + u' ' + FmtHora());
    QString valores[] = {
        gEntorno().NombrePC().trimmed().toUpper(),
        inicio.gUsuarioLogeado.trimmed().toUpper(),
        proceso.trimmed().toUpper(),
        tarea.trimmed().toUpper(),
        ingreso,
        inicio.gUsuarioLogeado,
    };
    const char* columnas[]
        = { "Maquina", "Usuario", "Formulario", "Tarea", "Ingreso", "NombreUsuario" };
    for (int i = 0; i < 6; ++i) {
        pasos.run([&] {
            ConstructorSentencias::AgregaCampoValor(
                QString::fromLatin1(columnas[i]), valores[i], comilla, i == 0);
        });
    }
    pasos.run([&] {
        QString condicion;
        ConstructorSentencias::ArmaSentenciaSQL(g.gCamposValores, g.gSentenciasSQL,
            QStringLiteral("Control_Acceso"), false, condicion, false);
    });
    pasos.run([&] {
        bool hayError = false;
        qint32 numero = 0;
        QString script;
        QString descripcion;
        GActualizarDatoScript(
            g.gSentenciasSQL, hayError, numero, false, false, script, descripcion, true);
    });
}
