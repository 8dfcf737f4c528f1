#pragma once

#include <QString>

// The statistics database and the access log, run once per start-up.

// The statistics database's name: on the embedded engine the file "KZQ_ESTADISTICAS.db" beside
// the main database, elsewhere the database of that name on the main connection's server.
inline constexpr char BaseEstadisticas[] = "KZQ_ESTADISTICAS";

// Connects gDBEstadisticas() to the statistics database (showing nothing when it cannot) and
// reads its "TimeOut" into gGlobales().gTimeOutComandos: 90 seconds when the database is not
// there, the setting is missing, blank, not a number, 0 or less, or out of range. A missing or
// zero setting is stored back as "0" (group "BaseDeDatos"), as the suite's programs do.
void ConectaBaseEstadisticas();

// Appends to Control_Acceso the row saying that the logged user (the database login when none)
// entered `Programa` (this program when empty) on this computer, with the menu task under which
// the user runs it. Written through GActualizarDatoScript; nothing is reported here.
void RegistraAccesoPrograma(const QString& Programa = QString());
