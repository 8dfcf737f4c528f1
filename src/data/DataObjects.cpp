#include "data/DataObjects.h"

DB_Dll& gDB()
{
    return Service<DataObjects>::get().gDB;
}

DB_Dll& gDBEstadisticas()
{
    return Service<DataObjects>::get().gDBEstadisticas;
}

DB_Dll& gUDBC()
{
    return Service<DataObjects>::get().gUDBC;
}

DB_Dll& gDBRSQL()
{
    return Service<DataObjects>::get().gDBRSQL;
}
