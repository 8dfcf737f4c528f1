#pragma once

#include <optional>

#include <QString>

struct VariablesInicio;

// The start-up parameter string the suite's programs hand each other:
// "@server=SRV; @dbname=VENTAS; @usuario=ANA; @Password=...; @ParametroAdicional=; @Caja=1;".
// Keys match ignoring case; a value runs to the next ";" (or to the end of the string), loses every
// "=" and its surrounding blanks.
namespace ParametrosSesion {

// What one string says, before it is applied to the program's start-up values.
struct Parametros
{
    QString servidor; // "@Server": may carry "#" (Oracle), a group before "/", ":" and a port
    QString dbName; // "@DbName"
    QString usuario; // "@Usuario": database user, fallback of the application user
    std::optional<QString> password; // "@Password", absent when not given
    QString parametroAdicional; // "@ParametroAdicional"
    QString menu; // "@Menu"
    QString usuarioLogeado; // "@UsuarioLogeado", or "@Usuario" when that one is missing or blank
    // The application password: "* *" when the given password is the database name (the database
    // login, whose stored password is to be used); absent when no "@Password" was given.
    std::optional<QString> claveUsuario;
    QString caja; // "@Caja"; "1" when absent, "" when given empty
};

// The value of `clave` ("@Caja") in `cadena`, or nothing when the key is absent. The key counts
// only where "=" follows it after optional blanks, so "@Usuario" is not found inside
// "@UsuarioLogeado=ANA".
std::optional<QString> ValorParametro(const QString& cadena, const QString& clave);

// Reads every key of the string and applies the defaults.
Parametros LeeParametros(const QString& cadena);

// Stores what the start-up keeps of `parametros`: additional parameter, menu, logged user, caja,
// and the application password when one was given (otherwise gClaveUsuario keeps its value).
void AplicaParametros(const Parametros& parametros, VariablesInicio& variables);

// The string as the suite's writers build it (sibling programs, desktop shortcuts): the user goes
// under "@usuario=" and "@UsuarioLogeado", in that order, so older readers that match "@Usuario"
// inside the longer key still find the right one first.
QString ArmaCadena(const QString& servidor, const QString& dbName, const QString& usuario,
    const QString& password, const QString& parametroAdicional, const QString& usuarioLogeado,
    const QString& caja);

// The string built from the connection this workstation stored in "ZR417px.INI" (section
// "<PC>|<USER>BaseDeDatos", keys Servidor, DbName, Usuario and UserPassWord, the last two
// scrambled); used when the program is asked to fall back on the INI file and got no string.
QString CadenaDesdeIni();

} // namespace ParametrosSesion
