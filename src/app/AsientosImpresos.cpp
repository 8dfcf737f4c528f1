#include "app/AsientosImpresos.h"

#include "receipts/ImprimeAsiento.h"

void AsientosImpresos::ImprimeAsiento(const QString& TC, const QString& Sucursal,
    const QString& Numero, const QString& Letra, const QString& MesOperativo,
    const QString& NumeroAsiento, const QString& Periodo, bool ConCentroCosto)
{
    ImpresionAsientos::ImprimeAsiento(TC, Sucursal, Numero, Letra, MesOperativo, NumeroAsiento,
        Periodo, ConCentroCosto, true, false);
}
