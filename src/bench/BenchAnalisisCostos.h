#pragma once

#include <QString>
#include <QStringList>

#include "pricelists/ImpresionPrecios.h"

// The cost analysis as the purchase-mode window runs it, for rp_bench: the window's state with
// the cost analysis ticked and the first `listas` entries of its list picker (groups first, then
// the lists outside a group, as the window lists them) chosen, printed through the price-list
// printing on the database file `archivo`. The printing fills the work table; the job it hands to
// the report comes back here for the bench to render.
struct AnalisisCostosBench
{
    bool ok = false;
    QString error;
    QStringList listas; // the entries chosen
    TrabajoImpresion trabajo; // what the window hands to the report
    double llenadoS = 0; // seconds from the print button to the job handed over
};

AnalisisCostosBench corridaAnalisisCostos(const QString& archivo, int listas);
