#pragma once

#include "data/DataObjects.h"
#include "platform/Environment.h"
#include "platform/Service.h"
#include "platform/qt/QtAdoProvider.h"
#include "services/Globales.h"
#include "services/VariablesInicio.h"

// The data layer a tool's session installs to run the program's own code on a database file:
// the database provider, the data settings and objects, the start-up variables and the globals,
// each reachable through its service for as long as the session lives.
struct ServiciosDatos
{
    // The data objects open their connections through the provider; it outlives them.
    QtAdoProvider proveedor { QtAdoProvider::Settings {
        .programFolder = programFolder(), .dataFolder = dataFolder() } };
    ScopedService<AdoProvider> proveedorServicio { proveedor };
    DataSettings datos;
    ScopedService<DataSettings> datosServicio { datos };
    DataObjects objetos;
    ScopedService<DataObjects> objetosServicio { objetos };
    VariablesInicio inicio;
    ScopedService<VariablesInicio> inicioServicio { inicio };
    Globales globales;
    ScopedService<Globales> globalesServicio { globales };
};
