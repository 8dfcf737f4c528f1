#include "tools/BenchAnalisisCostos.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include "data/DataObjects.h"
#include "platform/AdoRecordset.h"
#include "platform/Environment.h"
#include "platform/MessageDialog.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "platform/qt/QtAdoProvider.h"
#include "platform/qt/QtPlatform.h"
#include "pricelists/TarifolioReglas.h"
#include "startup/ConfiguracionGlobal.h"
#include "startup/Dll_Display.h"
#include "startup/Globales.h"
#include "startup/VariablesInicio.h"

namespace {

// A box in a measured run is a failure of the run: it is written out and answered with the
// choice that stops without repeating anything.
class MensajesDeMedicion final : public MessageDialog
{
public:
    int show(const QString& text, int style, const QString& title) override
    {
        QTextStream(stderr) << "Aviso: " << (title.isEmpty() ? text : title + QStringLiteral(": ") + text).simplified()
                            << "\n";
        ++cuadros;
        switch (Msg::buttonsOf(style)) {
        case Msg::AbortRetryIgnore:
            return Msg::Abort;
        case Msg::YesNo:
            return Msg::No;
        case Msg::OkOnly:
            return Msg::Ok;
        default:
            return Msg::Cancel;
        }
    }
    int cuadros = 0;
};

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
        e.ChkFiltro << CasillaPrecio {i >= 1 && i <= 4 ? 1 : 0, QString::number(i),
            QStringLiteral("CLASE %1").arg(i)};
    e.OptOrden << OpcionOrden {true, QStringLiteral("{v_ma_articulos.idarticulo}")}
               << OpcionOrden {false, QStringLiteral("{v_ma_articulos.descripcion}")};
    e.OptGROUP = {false, false, false, true};
    e.ListasAnalisis = listas;
    return e;
}

} // namespace

AnalisisCostosBench corridaAnalisisCostos(const QString& archivo, int listas)
{
    AnalisisCostosBench r;
    QtPlatform plataforma;
    MensajesDeMedicion mensajes;
    const ScopedService<MessageDialog> mensajesServicio(mensajes);
    QtAdoProvider proveedor(QtAdoProvider::Settings {programFolder()});
    const ScopedService<AdoProvider> proveedorServicio(proveedor);
    DataSettings datos;
    const ScopedService<DataSettings> datosServicio(datos);
    DataObjects objetos;
    const ScopedService<DataObjects> objetosServicio(objetos);
    VariablesInicio inicio;
    const ScopedService<VariablesInicio> inicioServicio(inicio);
    Globales globales;
    const ScopedService<Globales> globalesServicio(globales);
    Dll_Display cartel;
    const ScopedService<Dll_Display> cartelServicio(cartel);

    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("SQLITE");
    db.gDBName = QFileInfo(archivo).absoluteFilePath();
    db.OpenServerADODB(false, adUseClient, QString(), false, false);
    if (!db.gOpenFlag) {
        r.error = QStringLiteral("No se pudo abrir %1: %2")
                      .arg(archivo, db.gCnn().LastError().description());
        return r;
    }
    inicio.gUsuarioLogeado = QStringLiteral("ADMIN");
    inicio.gPuesto = ClaveEstacion();
    CargaConfiguracionGlobal(programFolder() + u'/');

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
    r.ok = ok && entregado && mensajes.cuadros == 0;
    if (!r.ok)
        r.error = QStringLiteral("El análisis de costos no llegó al informe");
    return r;
}
