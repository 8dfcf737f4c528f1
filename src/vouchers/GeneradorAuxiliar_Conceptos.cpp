// The blocks that follow the items: the pending lines of the order a delivery note came from,
// and the voucher's other concepts.

#include "vouchers/GeneradorAuxiliar.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/CampoLeido.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/Formatos.h"

using ConsultasDatos::literal;

void GeneradorAuxiliar::AgregaOtrosConceptos()
{
    if (!m_p.IdTarea.isEmpty())
        return;
    const Utilidades& util = gUtilidades();
    bool ceroVacio = false;
    paso(QStringLiteral("IgnoraImportesCeroEnOC"), [&] {
        ceroVacio = Configuracion::Cfg(QStringLiteral("IgnoraImportesCeroEnOC"))
                        .compare(QLatin1String("SI"), Qt::CaseInsensitive)
            == 0;
    });
    AdoRecordset notas;
    if (!paso(QStringLiteral("AgregaOtrosConceptos"), [&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTE_Observ ") + m_condicion
                    + QStringLiteral(" AND Tipo_Obs = 'OC' ") + QStringLiteral(" ORDER BY ID"),
                notas);
        }))
        return;
    if (!notas.Eof())
        AgregaTituloSeccion(QStringLiteral("Otros Conceptos - Observaciones - Comentarios"));
    for (; !notas.Eof(); notas.MoveNext()) {
        const auto valor = [&](const char* nombre) {
            return CampoLeido::valor(
                notas, QStringLiteral("V_MV_CPTE_Observ"), QLatin1String(nombre));
        };
        // With the setting on, a zero amount prints as nothing; each column decides for itself.
        const auto importe = [&](const char* nombre) {
            const Value v = valor(nombre);
            if (ceroVacio && util.ValorMoneda(util.ValorCampo(v)) == Currency())
                return QStringLiteral("''");
            return literal(FmtMoneda(textoNumero(v), DecimalesMoneda::Configurados, false));
        };
        const bool letraA
            = util.ValorCampo(valor("IdComprobante")).trimmed().endsWith(u'A', Qt::CaseInsensitive);

        // A note longer than the column goes on as many rows as it takes, the first one with
        // the amounts and the rest with the text alone, so that the form prints it whole.
        QStringList piezas;
        ListaValores lista = nuevaLista(QStringLiteral("OC"));
        agregaValor(lista, "Columna1", [&] { return QStringLiteral("''"); });
        agregaValor(lista, "Columna2", [&] {
            const QString texto = util.QuitaCaracteres(
                util.ValorCampo(valor("Observacion")).trimmed(), QStringLiteral("'"));
            piezas = texto.size() > AnchoColumna ? enPiezas(texto, AnchoColumna)
                                                 : QStringList { texto };
            return literal(piezas.takeFirst());
        });
        for (const char* columna : { "Columna3", "Columna4", "Columna5" })
            agregaValor(lista, columna, [&] { return QStringLiteral("'0'"); });
        agregaValor(
            lista, "Columna6", [&] { return importe(letraA ? "Importe_S_IVA" : "Importe"); });
        agregaValor(lista, "Columna7", [&] { return importe("Importe_S_IVA"); });
        agregaValor(lista, "Columna8", [&] { return QStringLiteral("'0'"); });
        agregaValor(lista, "Columna12", [&] {
            const Value fecha = valor("fechavj");
            return fecha.isNull() || fecha.isEmpty()
                ? QStringLiteral("Null")
                : literal(fecha.toDateTime().date().toString(QStringLiteral("dd/MM/yyyy")));
        });
        agregaValor(lista, "Columna13", [&] { return gDB().SQLValue(valor("NroViaje")); });
        if (!inserta(lista, QStringLiteral("AgregaOtrosConceptos")))
            continue;
        for (const QString& pieza : std::as_const(piezas)) {
            ListaValores fila = nuevaLista(QStringLiteral("OC"));
            agregaValor(fila, "Columna1", [&] { return QStringLiteral("''"); });
            agregaValor(fila, "Columna2", [&] { return literal(pieza); });
            inserta(fila, QStringLiteral("AgregaOtrosConceptos"));
        }
    }
    gDB().CierraRecordset(notas);
}

void GeneradorAuxiliar::AgregaInsumosOrigenNP()
{
    const Utilidades& util = gUtilidades();
    const Value origen = comprobante("ComprobanteOrigen");
    if (origen.isNull() || origen.isEmpty())
        return;
    if (util.ValorCampo(comprobante("TcOrigen")).compare(QLatin1String("NP"), Qt::CaseInsensitive)
        != 0)
        return;
    AdoRecordset lineas;
    if (!paso(QStringLiteral("AgregaInsumosOrigenNP"), [&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTEINSUMOS WHERE TC = 'NP' "
                                                "AND IDCOMPROBANTE =")
                    + literal(util.ValorCampo(origen)) + QStringLiteral("  ORDER BY ID"),
                lineas, &gDB().gCnn());
        }))
        return;
    // The title goes first, even when every line of the order was already delivered.
    if (!lineas.Eof())
        AgregaTituloSeccion(
            QStringLiteral("Insumos - Materiales Utilizados - Productos (Sin Preparación)"));
    for (; !lineas.Eof(); lineas.MoveNext())
        paso(QStringLiteral("AgregaInsumosOrigenNP"), [&] { agregaPendiente(lineas); });
    gDB().CierraRecordset(lineas);
}

void GeneradorAuxiliar::agregaPendiente(AdoRecordset& linea)
{
    const Utilidades& util = gUtilidades();
    DB_Dll& db = gDB();
    const auto valor = [&](const char* nombre) {
        return CampoLeido::valor(linea, QStringLiteral("V_MV_CPTEINSUMOS"), QLatin1String(nombre));
    };
    const auto texto = [&](const char* nombre) { return util.ValorCampo(valor(nombre)); };
    const auto importe = [&](const char* nombre) {
        return literal(FmtMoneda(textoNumero(valor(nombre)), DecimalesMoneda::Configurados, false));
    };

    AdoRecordset pendiente;
    const bool hay = db.ExisteEnTabla(QStringLiteral("VT_V_MV_Insumos_NPPendiente"),
        QStringLiteral("NP"), QStringLiteral("TC"), &pendiente, Value(qint32(8)),
        QStringLiteral(" TC = 'NP' AND IDCOMPROBANTE = ") + literal(texto("IdComprobante"))
            + QStringLiteral(" AND IDARTICULO = ") + literal(texto("IdArticulo")));
    db.CierraRecordset(pendiente);
    if (!hay)
        return;

    const QChar separador = SeparadorDecimal().at(0);
    ListaValores lista = nuevaLista(QStringLiteral("IN"));
    agregaValor(lista, "Columna1", [&] { return literal(texto("IdArticulo").trimmed()); });
    agregaValor(lista, "Columna2", [&] {
        return literal(util.QuitaCaracteres(texto("Descripcion").trimmed(), QStringLiteral("'")));
    });
    agregaValor(lista, "Columna3", [&] { return literal(texto("IdUnidad")); });
    agregaValor(lista, "Columna4", [&] { return QStringLiteral("'0'"); });
    agregaValor(lista, "Columna5", [&] { return importe("Importe"); });
    agregaValor(lista, "Columna6", [&] { return importe("Total"); });
    agregaValor(lista, "Columna7", [&] { return importe("Importe_S_IVA"); });
    agregaValor(lista, "Columna8", [&] {
        return literal(
            util.LimpiaTexto(util.QuitaCaracteres(texto("Nro_Lote"), QStringLiteral("|")))
                .trimmed());
    });
    agregaValor(lista, "Columna9", [&] {
        return literal(
            util.LimpiaTexto(util.QuitaCaracteres(texto("Nro_Serie"), QStringLiteral("|"))));
    });
    agregaValor(lista, "Columna10", [&] { return literal(textoNumero(valor("PorcDto"))); });
    agregaValor(lista, "Columna11", [&] { return literal(textoNumero(valor("Impuestos"))); });
    agregaValor(lista, "Columna12",
        [&] { return literal(controladoPor(valor("ControladoPor"), separador)); });
    agregaValor(lista, "Columna13", [&] { return literal(textoNumero(valor("CantidadUd"))); });
    agregaValor(lista, "Columna14", [&] { return literal(texto("IdUnidadBase")); });
    agregaValor(lista, "Columna15", [&] { return literal(textoNumero(valor("Equiv_UDBase"))); });
    agregaValor(lista, "CANTIDAD_ORIGEN",
        [&] { return db.SQLValue(Value(texto("Cantidad")), QStringLiteral("@")); });
    agregaValor(lista, "IDARTICULO", [&] { return literal(texto("IdArticulo").trimmed()); });
    inserta(lista, QStringLiteral("AgregaInsumosOrigenNP"));
}
