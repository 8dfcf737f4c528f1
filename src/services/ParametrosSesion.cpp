#include "services/ParametrosSesion.h"

#include "platform/Entorno.h"
#include "platform/LectorIni.h"
#include "platform/Utilidades.h"
#include "services/VariablesInicio.h"

namespace ParametrosSesion {

namespace {

const QString ArchivoIni = QStringLiteral("ZR417px.INI");

// The connection used when the workstation never stored one: the suite's fixed login.
const QString UsuarioFijo = QStringLiteral("Corvane");
const QString ClaveFija = QStringLiteral("rozadev");

bool esBlanco(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

std::optional<QString> ValorParametro(const QString& cadena, const QString& clave)
{
    Q_ASSERT(!clave.isEmpty());
    if (clave.isEmpty())
        return std::nullopt;

    qsizetype desde = 0;
    for (;;) {
        const qsizetype posicion = cadena.indexOf(clave, desde, Qt::CaseInsensitive);
        if (posicion < 0)
            return std::nullopt;
        const qsizetype inicioValor = posicion + clave.size();
        qsizetype i = inicioValor;
        while (i < cadena.size() && esBlanco(cadena.at(i)))
            ++i;
        // Without the "=" this is the start of a longer key ("@Usuario" inside
        // "@UsuarioLogeado") or a stray word: look further on.
        if (i < cadena.size() && cadena.at(i) == u'=') {
            const qsizetype finValor = cadena.indexOf(u';', inicioValor);
            QString valor = cadena.mid(inicioValor, finValor < 0 ? -1 : finValor - inicioValor);
            // Every "=" goes, not only the one after the key: the writers put blanks around it
            // and a value can never carry one.
            valor.remove(u'=');
            return valor.trimmed();
        }
        desde = posicion + 1;
    }
}

Parametros LeeParametros(const QString& cadena)
{
    Parametros p;
    const auto valor = [&cadena](const char* clave) {
        return ValorParametro(cadena, QString::fromLatin1(clave));
    };

    p.parametroAdicional = valor("@ParametroAdicional").value_or(QString());
    p.menu = valor("@Menu").value_or(QString());
    p.servidor = valor("@Server").value_or(QString());
    p.dbName = valor("@DbName").value_or(QString());
    p.usuario = valor("@Usuario").value_or(QString());
    p.password = valor("@Password");
    p.caja = valor("@Caja").value_or(QStringLiteral("1"));

    p.usuarioLogeado = valor("@UsuarioLogeado").value_or(QString());
    if (p.usuarioLogeado.isEmpty())
        p.usuarioLogeado = p.usuario;

    // A password equal to the database name is the database login's: the user's stored password
    // is to be used instead.
    if (p.password) {
        if (p.password->compare(p.dbName, Qt::CaseInsensitive) == 0)
            p.claveUsuario = VariablesInicio::ClaveGuardada;
        else
            p.claveUsuario = *p.password;
    }
    return p;
}

void AplicaParametros(const Parametros& parametros, VariablesInicio& variables)
{
    variables.gParametroAdicional = parametros.parametroAdicional;
    variables.gMenu = parametros.menu;
    variables.gUsuarioLogeado = parametros.usuarioLogeado;
    if (parametros.claveUsuario)
        variables.gClaveUsuario = *parametros.claveUsuario;
    variables.gCaja = parametros.caja;
}

QString ArmaCadena(const QString& servidor, const QString& dbName, const QString& usuario,
    const QString& password, const QString& parametroAdicional, const QString& usuarioLogeado,
    const QString& caja)
{
    return QStringLiteral(" ; @server=") + servidor + QStringLiteral("; @dbname=") + dbName
        + QStringLiteral("; @usuario=") + usuario + QStringLiteral("; @Password=") + password
        + QStringLiteral("; @ParametroAdicional=") + parametroAdicional
        + QStringLiteral("; orba@ ; @UsuarioLogeado = ") + usuarioLogeado
        + QStringLiteral("; @Caja=") + caja + QStringLiteral(";");
}

QString CadenaDesdeIni()
{
    const Entorno& entorno = gEntorno();
    const Utilidades& util = gUtilidades();
    const LectorIni& ini = gLectorIni();

    const QString seccion = entorno.NombrePC().toUpper() + u'|' + entorno.UsuarioWindows().toUpper()
        + QStringLiteral("BaseDeDatos");
    const QString barra = QStringLiteral("|");

    QString servidor = ini.LeeIni(ArchivoIni, seccion, QStringLiteral("Servidor"), QString());
    QString dbName = ini.LeeIni(ArchivoIni, seccion, QStringLiteral("DbName"), QString());
    // User and password are stored scrambled; a missing key gives the fixed login in clear.
    QString usuario = util.Desencripta(
        ini.LeeIni(ArchivoIni, seccion, QStringLiteral("Usuario"), util.Encripta(UsuarioFijo)));
    QString password = util.Desencripta(
        ini.LeeIni(ArchivoIni, seccion, QStringLiteral("UserPassWord"), util.Encripta(ClaveFija)));

    servidor = util.QuitaCaracteres(servidor, barra);
    dbName = util.QuitaCaracteres(dbName, barra);
    usuario = util.QuitaCaracteres(usuario, barra);
    password = util.QuitaCaracteres(password, barra);

    return QStringLiteral("@server=") + servidor + QStringLiteral("; @dbname= ") + dbName
        + QStringLiteral("; @usuario= ") + usuario + QStringLiteral("; @Password= ") + password
        + QStringLiteral("; @ParametroAdicional=; @Caja=1;orba@");
}

} // namespace ParametrosSesion
