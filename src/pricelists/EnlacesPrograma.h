#pragma once

#include "startup/Inicio.h"

// What the start-up hands on in this program: the connection text and the query masks to the
// lookup object gConsultas(), the program folder to the report object gReporte(). src/app installs
// one (Service<EnlacesInicio>) beside those objects.
class EnlacesPrograma final : public EnlacesInicio
{
public:
    void PreparaConsultas(const QString& gConnString, bool gUsarMascarasConsultas,
        const QString& gRutaMascaraConsultas) override;
    void CarpetaSistemaInformes(const QString& pPathSistema) override;
};
