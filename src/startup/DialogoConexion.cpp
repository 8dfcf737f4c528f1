#include "startup/DialogoConexion.h"

#include <QComboBox>
#include <QLineEdit>

#include "data/DB_Dll.h"
#include "data/DataObjects.h"
#include "formhelpers/FormularioModal.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"
#include "startup/frmAcceso.h"

namespace {

const QString ProveedorOracle = QStringLiteral("OraOLEDB.Oracle.1");

} // namespace

bool DialogoConexion::loginExchange(DB_Dll& db)
{
    frmAcceso acceso;
    acceso.PrecargaIngreso(db);

    MuestraModal(acceso);

    if (!acceso.Aceptar)
        return false;
    // The database name is also the login and its password; the user and password boxes are the
    // application's, checked later against the user table.
    const QString base = acceso.TxtDbName()->text();
    db.gDBName = base;
    db.gUsuario = base;
    db.gUserPassWord = base;
    db.gServidor = acceso.TxtServidor()->text();
    if (acceso.CboPlataformaDB()->currentIndex() == frmAcceso::Oracle) {
        db.gProveedor = ProveedorOracle;
        if (!db.gServidor.contains(u'#'))
            db.gServidor.prepend(u'#');
    } else {
        db.gProveedor = DB_Dll::pSQLOLEDB();
    }
    return true;
}

QString DialogoConexion::textoPregunta(DB_Dll& db)
{
    const AdoError& e = db.gCnn().Errors().Item(0);
    const QString cr = QStringLiteral("\r");
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral(" Estado de Sql: ") + e.SQLState() + cr
        + QStringLiteral("Numero de Error: ") + QString::number(e.Number()) + cr
        + QStringLiteral("Descripcion: ") + e.Description() + cr + QStringLiteral("Codigo Nativo: ")
        + QString::number(e.NativeError()) + cr + crlf + QStringLiteral("Nombre de Proceso: ")
        + executableName() + cr + crlf + crlf
        + QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + crlf
        + QStringLiteral("2. Verifique el nombre del servidor, quizas necesite agregarle el nombre "
                         "de la instancia, por ejemplo : ")
        + db.gServidor + QStringLiteral("\\ORBALIS") + crlf
        + QStringLiteral("3. Verifique si el inicio de sesion para el usuario ") + db.gUsuario
        + QStringLiteral(" existe") + crlf + crlf + crlf
        + QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
}

bool DialogoConexion::retryAfterFailure(DB_Dll& db, const RuntimeError& error)
{
    if (db.gCnn().Errors().Count() == 0) {
        MsgBox(error.description());
        return false;
    }
    const int respuesta = MsgBox(textoPregunta(db), Msg::YesNo + Msg::Critical,
        QStringLiteral(" Error de Conexion a Base de Datos"));
    if (respuesta != Msg::Yes)
        return false;
    return loginExchange(db);
}

void DialogoConexion::administratorDecision(DB_Dll& db, bool muestraError)
{
    if (db.gDBName.trimmed().isEmpty())
        return;
    db.gCnn().setDefaultDatabase(db.gDBName);
    // A database without the suite's user table has no administrators to tell apart: the flag
    // keeps its value. The table is looked for on the program's main database.
    if (!gDB().ExisteTablaDB(QStringLiteral("TA_USUARIOS")))
        return;
    // Callers that want no messages (the statistics database) are not asked about the user.
    if (!muestraError) {
        db.gEsAdmin = true;
        return;
    }
    const QString administrador
        = gUtilidades()
              .ValorCampo(db.DatosTabla(QStringLiteral("ta_usuarios"), gInicio().gUsuarioLogeado,
                  QStringLiteral("Administrador"), QStringLiteral("nombre"), Value(qint32(adBSTR)),
                  QString(), true, false))
              .trimmed();
    bool esNumero = false;
    const double valor = administrador.toDouble(&esNumero);
    db.gEsAdmin = esNumero && valor == 1.0;
}
