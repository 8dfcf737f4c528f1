#pragma once

#include <QString>

#include "platform/Service.h"

// The program's global settings, filled by the global-settings loader and read across the
// program (the start-up values are in VariablesInicio). One instance, installed by src/app and
// reached through gGlobales(); a test installs its own. Loaders add their members here.
struct Globales
{
    // Name of the configuration table on the main database; a blank name is repaired to
    // "TA_CONFIGURACION" by the readers (Cfg, CfgAux), not by the writer.
    QString gTablaConfiguracion;
    // The skin number the form look read last.
    qint16 gEstiloSkin = 4;
};

inline Globales& gGlobales()
{
    return Service<Globales>::get();
}
