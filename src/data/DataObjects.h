#pragma once

#include "data/DB_Dll.h"
#include "platform/Service.h"

// The program-wide data objects, installed by src/app (Service<DataObjects>); a test installs its
// own with ScopedService. Each instance opens its connection only when asked to.
struct DataObjects
{
    // The suite's trading database, used by every subsystem.
    DB_Dll gDB;
    // The statistics database (access log, its own settings).
    DB_Dll gDBEstadisticas;
    // The lookup grid's alternative instance.
    DB_Dll gUDBC;
    // Never opened: EjecutaConsultaRSQL inspects its errors.
    DB_Dll gDBRSQL;
};

DB_Dll& gDB();
DB_Dll& gDBEstadisticas();
DB_Dll& gUDBC();
DB_Dll& gDBRSQL();

// Program-wide settings the data layer reads, written by the global-settings loader
// (Service<DataSettings>). Until one is installed every setting reads as its default.
struct DataSettings
{
    // SS_CONFIDENCIALIDAD: when false, statements about journal entries read unrestricted.
    bool gConfidencialidad = false;
};
