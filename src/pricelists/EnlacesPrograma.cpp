#include "pricelists/EnlacesPrograma.h"

#include "lookup/Lib_ClsCons3.h"
#include "reports/DLL_Print.h"

void EnlacesPrograma::PreparaConsultas(
    const QString& gConnString, bool gUsarMascarasConsultas, const QString& gRutaMascaraConsultas)
{
    // The main connection is open here, so the lookup object can read its settings when this
    // first use creates it.
    Lib_ClsCons3& consultas = gConsultas();
    consultas.gConnString = gConnString;
    consultas.gUsarMascarasConsultas = gUsarMascarasConsultas;
    consultas.gRutaMascaraConsultas = gRutaMascaraConsultas;
}

void EnlacesPrograma::CarpetaSistemaInformes(const QString& pPathSistema)
{
    gReporte().pPathSistema = pPathSistema;
}
