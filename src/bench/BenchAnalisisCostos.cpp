#include "bench/BenchAnalisisCostos.h"

#include <QElapsedTimer>

#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"
#include "pricelists/TarifolioReglas.h"
#include "bench/SesionBench.h"

namespace {

// The entries of the window's list picker in purchase mode, in its order.
QStringList entradasDelSelector()
{
    QStringList entradas;
    const QStringList sentencias = TarifolioReglas::sentenciasListasAnalisis();
    const QStringList campos = TarifolioReglas::camposListasAnalisis();
    for (qsizetype i = 0; i < sentencias.size(); ++i) {
        AdoRecordset rs;
        QString sql = sentencias[i];
        gDB().AbrirRecordset(sql, rs);
        for (; rs.State() == adStateOpen && !rs.Eof(); rs.MoveNext())
            entradas << gUtilidades().ValorCampo(rs.Fields(campos[i]).Value());
        gDB().CierraRecordset(rs);
    }
    return entradas;
}

// The purchase-mode window with the cost analysis ticked, price classes 1 to 4, by article code.
EstadoImpresion estadoCompras(const QStringList& listas)
{
    EstadoImpresion e;
    e.ModoCompras = true;
    e.TipoLista = QStringLiteral("C");
    e.chkAnalisisCostos = 1;
    for (int i = 0; i <= 8; ++i)
        e.ChkFiltro << CasillaPrecio { i >= 1 && i <= 4 ? 1 : 0, QString::number(i),
            QStringLiteral("CLASE %1").arg(i) };
    e.OptOrden << OpcionOrden { true, QStringLiteral("{v_ma_articulos.idarticulo}") }
               << OpcionOrden { false, QStringLiteral("{v_ma_articulos.descripcion}") };
    e.OptGROUP = { false, false, false, true };
    e.ListasAnalisis = listas;
    return e;
}

} // namespace

AnalisisCostosBench corridaAnalisisCostos(const QString& archivo, int listas)
{
    AnalisisCostosBench r;
    SesionBench sesion(archivo);
    if (!sesion.error().isEmpty()) {
        r.error = sesion.error();
        return r;
    }

    r.listas = entradasDelSelector().mid(0, listas);
    if (r.listas.isEmpty()) {
        r.error = QStringLiteral("La base no tiene listas de venta");
        return r;
    }
    bool entregado = false;
    ImpresionPrecios impresion([&](const TrabajoImpresion& t) {
        r.trabajo = t;
        entregado = true;
    });
    QElapsedTimer reloj;
    reloj.start();
    const bool ok = impresion.ImprimirReportePrecios(estadoCompras(r.listas));
    r.llenadoS = double(reloj.nsecsElapsed()) / 1e9;
    r.ok = ok && entregado && sesion.cuadros() == 0;
    if (!r.ok)
        r.error = QStringLiteral("El análisis de costos no llegó al informe");
    return r;
}
