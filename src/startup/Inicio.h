#pragma once

#include <QString>

#include "platform/AdoTypes.h"

// What the start-up hands to the program-wide objects of the subsystems above it: the lookup
// object (connection text and query masks) and the report object (the program folder). src/app
// installs an implementation that passes them on (Service<EnlacesInicio>); without one installed
// nothing is handed.
class EnlacesInicio
{
public:
    virtual ~EnlacesInicio() = default;

    // The lookup object opens its queries with `gConnString` and, with `gUsarMascarasConsultas`,
    // looks every table up in the query-mask file at `gRutaMascaraConsultas` first.
    virtual void PreparaConsultas(const QString& gConnString, bool gUsarMascarasConsultas,
        const QString& gRutaMascaraConsultas)
        = 0;
    // The report object's program folder (ends in "/").
    virtual void CarpetaSistemaInformes(const QString& pPathSistema) = 0;
};

// The program's start: shows the banner, reads the start-up parameter string (`Parametros`, else
// the command line; with `UsarIni` and nothing given, the workstation's INI section), connects
// gDB() (`CadenaConexion` when given; an Oracle server fills it when empty), connects the
// statistics database, writes the query-mask file to the data folder when neither it nor the
// program folder has one, loads the global settings, checks the user (the login dialog three
// times at most when the check fails), records the access and closes the banner. Returns with
// gDB() connected and a user accepted; otherwise the program has ended (ProgramEnd): no
// connection, the login cancelled, three failed logins, or an unexpected error (told in a box and
// written to the error log first).
void IniciaAplicacion(
    bool UsarIni, const QString& Parametros, QString& CadenaConexion, int TipoCursor = adUseClient);

// True when `Usuario` may use the program with `Clave`: the database login (the user named like
// the database, any case) needs no password; any other user needs its row of TA_USUARIOS for
// this program and a password equal to the stored one ignoring case. When the user is the
// database login or its row is found, gInicio().gUsuarioLogeado becomes `Usuario`.
bool ValidaUsuario(const QString& Usuario, const QString& Clave);
