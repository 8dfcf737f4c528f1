#include "services/ModEjecutar.h"

#include "data/DataObjects.h"
#include "platform/Entorno.h"
#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/Launcher.h"
#include "platform/MessageDialog.h"
#include "platform/Steps.h"
#include "platform/Utilidades.h"
#include "services/ManejoErrores.h"
#include "services/ParametrosSesion.h"
#include "services/VariablesInicio.h"

namespace ModEjecutar {

namespace {

// The suite's menu names its programs "SHELL:<name>".
constexpr qsizetype LargoPrefijo = 6;

// A path of its own: the suite's "\" paths, and absolute paths of this system.
bool esRuta(const QString& programa)
{
    return programa.contains(u'\\') || programa.contains(u'/');
}

bool esAbsoluta(const QString& ruta)
{
    return ruta.startsWith(u'/') || ruta.startsWith(QStringLiteral("\\\\"))
        || (ruta.size() > 1 && ruta.at(1) == u':');
}

QString carpetaPrograma()
{
    return gUtilidades().RutaConBarra(programFolder());
}

} // namespace

QString citaArgumento(const QString& texto)
{
    // Inside double quotes a literal double quote is written three times.
    QString citado = texto;
    citado.replace(u'"', QStringLiteral("\"\"\""));
    return u'"' + citado + u'"';
}

QString ComandoPrograma::lineaComando() const
{
    return citaArgumento(programa) + u' ' + citaArgumento(parametros);
}

ComandoPrograma ArmaComandoPrograma(const QString& programa, const QString& parametros)
{
    ComandoPrograma comando;
    comando.parametros = parametros;
    if (esRuta(programa)) {
        // The prefix is dropped without looking at it: a path given without "SHELL:" loses its
        // first six characters, as the suite's menus have always had it.
        comando.programa = FileNames::resolve(programa.mid(LargoPrefijo));
    } else if (programa.contains(QStringLiteral("SHELL"), Qt::CaseInsensitive)) {
        comando.programa = FileNames::inProgramFolder(programa.mid(LargoPrefijo));
    } else {
        comando.programa = FileNames::inProgramFolder(programa);
    }
    return comando;
}

void MenuExes(const QString& programa, QString& parametroAdicional, qint64& idTarea,
    const QString& servidor, const QString& dbName)
{
    const qsizetype blanco = parametroAdicional.indexOf(u' ');
    if (blanco >= 0)
        parametroAdicional = parametroAdicional.mid(blanco + 1);

    // The sibling opens on the same session: the application user goes as database user and as
    // logged user, with the password in clear.
    const VariablesInicio& inicio = gInicio();
    const QString parametros
        = ParametrosSesion::ArmaCadena(servidor, dbName, inicio.gUsuarioLogeado,
            inicio.gClaveUsuario, parametroAdicional, inicio.gUsuarioLogeado, inicio.gCaja);

    Steps pasos = reportAs(QStringLiteral("MenuExes"));
    const ComandoPrograma comando = ArmaComandoPrograma(programa, parametros);
    if (!pasos.run(
            [&] { idTarea = Service<Launcher>::get().startProgram(comando.lineaComando()); }))
        return;

    if (idTarea == 0) {
        MsgBox(QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"),
            Msg::Critical, QStringLiteral("Atención"));
    }
}

void MenuExes(const QString& programa, QString& parametroAdicional, qint64& idTarea)
{
    const DB_Dll& db = gDB();
    MenuExes(programa, parametroAdicional, idTarea, db.gServidor, db.gDBName);
}

QString RutaCompletaArchivo(const QString& ruta)
{
    if (ruta.size() <= 2)
        return QString();

    const Utilidades& util = gUtilidades();
    // A "." after the first character makes it a file name; a leading "." alone (".config")
    // does not.
    const bool esArchivo = ruta.indexOf(u'.') >= 1;
    if (esArchivo)
        return esAbsoluta(ruta) ? ruta : carpetaPrograma() + ruta;
    return util.RutaConBarra(esAbsoluta(ruta) ? ruta : carpetaPrograma() + ruta);
}

void AbreArchivoAsociado(const QString& archivo, bool minimizado)
{
    QString texto = archivo;
    if (!texto.contains(u'"') && texto.contains(u' '))
        texto = u'"' + texto + u'"';

    int resultado = 0;
    gEntorno().AbrirArchivo(0, QString(), texto, QString(), QString(),
        minimizado ? Entorno::MinimizedNoActivate : Entorno::Normal, resultado);
}

} // namespace ModEjecutar
