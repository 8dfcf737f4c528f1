// The item block of a voucher: its title, one "IN" row per item line with prices, lots and units,
// the dispatch notes ("XX") and the closing row with the lots of the whole voucher ("ZZ").

#include "vouchers/GeneradorAuxiliar.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/CampoLeido.h"
#include "platform/RuntimeError.h"
#include "platform/Utilidades.h"
#include "services/Configuracion.h"
#include "services/ConstructorSentencias.h"
#include "services/Formatos.h"
#include "services/Globales.h"
#include "texttools/ModGlobal.h"

using ConsultasDatos::literal;

namespace {

Currency moneda(const Value& valor)
{
    return valor.isNull() || valor.isEmpty() ? Currency() : valor.toCurrency();
}

// The dispatch whose lot is `clave`, compared trimmed on both sides. The key goes in without a
// trailing blank, so the comparison finds the dispatch on every engine.
QString sqlDespacho(const QString& clave)
{
    return QStringLiteral(" select * from stk_despachos where ltrim(rtrim(NroLote)) = ")
        + literal(clave.trimmed());
}

} // namespace

// The item's ControladoPor, kept as a text, is read as a figure for its column.
QString GeneradorAuxiliar::controladoPor(const Value& valor, QChar separador)
{
    return CampoLeido::numeroDeTexto(valor, QStringLiteral("V_MV_CPTEINSUMOS.ControladoPor"))
        .toString(separador);
}

void GeneradorAuxiliar::AgregaInsumos()
{
    if (!m_p.IdTarea.isEmpty())
        return;
    // Read once for the voucher's lines: a setting does not change halfway through a voucher.
    m_robaIvaProforma = false;
    paso(QStringLiteral("RobaIvaProforma"), [&] {
        m_robaIvaProforma = Configuracion::Cfg(QStringLiteral("RobaIvaProforma"))
                                .compare(QLatin1String("SI"), Qt::CaseInsensitive)
            == 0;
    });
    QString resumenLotes;
    AdoRecordset lineas;
    if (!paso(QStringLiteral("AgregaInsumos"), [&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * FROM V_MV_CPTEINSUMOS ") + m_condicion
                    + QStringLiteral(" ORDER BY ID"),
                lineas);
        }))
        return;
    if (!lineas.Eof()) {
        AgregaTituloSeccion(esUnoDe(m_tc.trimmed(), { "PR", "OT" })
                ? QStringLiteral("Insumos - Materiales a Utilizar - Productos")
                : QStringLiteral("Insumos - Materiales Utilizados - Productos"));
        while (!lineas.Eof()) {
            paso(QStringLiteral("AgregaInsumos"), [&] { agregaLinea(lineas, resumenLotes); });
            if (!paso(QStringLiteral("AgregaInsumos"), [&] { lineas.MoveNext(); }))
                break;
        }
    }
    gDB().CierraRecordset(lineas);

    resumenLotes = resumenLotes.trimmed();
    if (!resumenLotes.isEmpty())
        AgregaCierreSeccion(resumenLotes);
}

void GeneradorAuxiliar::agregaLinea(AdoRecordset& linea, QString& resumenLotes)
{
    const Utilidades& util = gUtilidades();
    DB_Dll& db = gDB();
    const auto valor = [&](const char* nombre) {
        return CampoLeido::valor(linea, QStringLiteral("V_MV_CPTEINSUMOS"), QLatin1String(nombre));
    };
    const auto texto = [&](const char* nombre) { return util.ValorCampo(valor(nombre)); };

    ListaValores lista = nuevaLista(QStringLiteral("IN"));
    const auto agrega = [&](const char* columna, const std::function<QString()>& calcula) {
        agregaValor(lista, columna, calcula);
    };
    const auto sinApostrofes
        = [&](const QString& t) { return util.QuitaCaracteres(t, QStringLiteral("'")); };

    agrega("Columna1", [&] { return literal(texto("IdArticulo").trimmed()); });
    agrega("Columna2", [&] { return literal(sinApostrofes(texto("Descripcion").trimmed())); });
    agrega("Columna3", [&] { return literal(texto("IdUnidad")); });
    agrega("Columna4", [&] { return literal(textoNumero(valor("Cantidad"))); });

    // A line without a VAT rate has none to add.
    const auto alicuota = [&] {
        const Value tasa = valor("alicIva");
        return tasa.isNull() ? 0.0 : tasa.toDouble();
    };
    // Letter B invoices, electronic credit invoices and their credit and debit notes, and
    // proformas under RobaIvaProforma, print the price with VAT when the stored one lacks it: the
    // TOTAL of such a voucher holds the VAT, and its lines must add up to it.
    const auto conIva = [&] {
        const QString tipoLinea = texto("TC").trimmed();
        const Currency importe = moneda(valor("Importe"));
        const bool sinIva = importe == moneda(valor("Importe_S_IVA")) && alicuota() > 0;
        const bool proforma = m_robaIvaProforma && esUnoDe(tipoLinea, { "FP", "NCFP" })
            && util.ValorCampo(comprobante("CondicionIva")).trimmed() == u"1" && sinIva;
        if (proforma)
            return true;
        return texto("IdComprobante").trimmed().endsWith(u'B', Qt::CaseInsensitive)
            && esUnoDe(tipoLinea, { "FC", "NC", "ND", "FCE" }) && sinIva;
    };
    const QChar separador = SeparadorDecimal().at(0);
    const auto precio = [&](const char* campo, bool agregaIva) {
        Currency monto = moneda(valor(campo));
        if (agregaIva) {
            const double base = monto.toDouble();
            monto = Currency::fromDouble(base + base * alicuota() / 100.0).value_or(monto);
        }
        return literal(FmtMoneda(monto.toString(separador), DecimalesMoneda::Configurados, false));
    };
    bool agregaIva = false;
    paso(QStringLiteral("AgregaInsumos precio"), [&] { agregaIva = conIva(); });
    agrega("Columna5", [&] { return precio("Importe", agregaIva); });
    agrega("Columna6", [&] { return precio("Total", agregaIva); });
    agrega("Columna7", [&] { return precio("Importe_S_IVA", false); });

    // Lot text (what the closing row gathers) and lot key (what the row prints and the dispatch
    // is found by).
    const QString lotes = texto("Nro_Lote");
    const QString series = texto("Nro_Serie");
    QString copiaLotes = lotes;
    QString textoLote = ModGlobal::Cuenta_Series_Lotes(copiaLotes, series);
    const QList<ModGlobal::LoteConCantidad> conCantidad
        = ModGlobal::lotesConCantidad(copiaLotes, series);
    QString claveLote = textoLote;
    if (m_tc.trimmed().compare(QLatin1String("NC"), Qt::CaseInsensitive) == 0)
        textoLote = util.QuitaCaracteres(lotes, QString(QChar(0xFF)), QStringLiteral("|"));
    if (textoLote.trimmed().size() > 50)
        textoLote = util.RellenaDerecha(textoLote.trimmed(), 50);
    if (!claveLote.trimmed().isEmpty())
        paso(QStringLiteral("CompletaDespachoLote"),
            [&] { claveLote = CompletaDespachoLote(claveLote); });
    else
        claveLote = lotes;
    // The lot key and the serial text keep their columns as every site form reads them. A
    // delivery note's line also gets, on rows "LC" right after it, what its own form prints in
    // the lot column: the list of each batch with its own quantity ("LT-2611A: 2, D26-0102: 5"),
    // where the quantities written one after the other would run into one figure, else the lot
    // key and the serials; whole, in pieces no wider than the lot key's column. A lone batch
    // keeps what its dispatch adds after the quantity.
    QString impreso = ModGlobal::textoLotesConCantidad(conCantidad);
    if (!impreso.isEmpty() && conCantidad.size() == 1) {
        const QString lote = conCantidad.front().lote.trimmed();
        const QString clave = claveLote.trimmed();
        impreso += clave.startsWith(lote) ? clave.mid(lote.size()) : QString();
    }
    agrega("Columna8", [&] { return literal(util.RellenaDerecha(claveLote.trimmed(), 50)); });
    resumenLotes += u' ' + textoLote.trimmed();

    agrega("Columna9", [&] {
        return literal(util.LimpiaTexto(util.QuitaCaracteres(series, QStringLiteral("|"))));
    });
    agrega("Columna10", [&] { return literal(textoNumero(valor("PorcDto"))); });
    agrega("Columna11", [&] { return literal(textoNumero(valor("Impuestos"))); });
    agrega("Columna12", [&] { return literal(controladoPor(valor("ControladoPor"), separador)); });
    agrega("Columna13", [&] { return literal(textoNumero(valor("CantidadUd"))); });
    agrega("Columna14", [&] { return literal(texto("IdUnidadBase")); });
    agrega("Columna15", [&] { return literal(textoNumero(valor("Equiv_UDBase"))); });
    agrega("CANTIDAD_ORIGEN",
        [&] { return db.SQLValue(Value(texto("CANTIDAD_ORIGEN")), QStringLiteral("@")); });
    if (gGlobales().gMaderera) {
        agrega("COLUMNA16", [&] { return db.SQLValue(Value(texto("Ud_Pr"))); });
        agrega("COLUMNA17",
            [&] { return db.SQLValue(Value(texto("Importe_Ud")), QStringLiteral("@")); });
    } else {
        agrega(
            "COLUMNA17", [&] { return db.SQLValue(Value(texto("alicIva")), QStringLiteral("@")); });
        agrega("Columna16", [&] {
            return literal(util.RellenaDerecha(sinApostrofes(texto("Descripcion").trimmed()), 50));
        });
        agrega("PiedePagina", [&] {
            return literal(
                util.ValorCampo(
                        db.DatosTabla(QStringLiteral("V_MA_ARTICULOS"), texto("IdArticulo"),
                            QStringLiteral("CodigoArtProveedor"), QStringLiteral("idarticulo"),
                            Value(qint32(8)), QString(), true, false))
                    .trimmed());
        });
    }
    // The order printing rules select the rows by article.
    agrega("IDARTICULO", [&] { return literal(texto("IdArticulo").trimmed()); });

    if (!inserta(lista, QStringLiteral("AgregaInsumos")))
        m_avisos.append(db.gCnn().Errors().Item(0).Description());
    else if (esUnoDe(m_tc.trimmed(), { "RM" })) {
        const QString celda = !impreso.isEmpty()
            ? impreso
            : (claveLote.trimmed().replace(u'|', QStringLiteral(", ")) + u' '
                + util.LimpiaTexto(util.QuitaCaracteres(series, QStringLiteral("|"))))
                  .trimmed();
        for (const QString& pieza : enPiezas(celda, 50)) {
            ListaValores fila = nuevaLista(QStringLiteral("LC"));
            agregaValor(fila, "Columna8", [&] { return literal(pieza); });
            if (!inserta(fila, QStringLiteral("AgregaInsumos")))
                m_avisos.append(db.gCnn().Errors().Item(0).Description());
        }
    }

    if (claveLote.trimmed() == u"|")
        claveLote.clear();
    if (!claveLote.trimmed().isEmpty())
        paso(QStringLiteral("AgregaDespachoLote"), [&] { AgregaDespachoLote(claveLote); });
}

QString GeneradorAuxiliar::CompletaDespachoLote(const QString& claveLote)
{
    const Utilidades& util = gUtilidades();
    QString clave = claveLote;
    AdoRecordset rs;
    gDB().AbrirRecordset(sqlDespacho(clave), rs);
    if (!rs.Eof()) {
        clave = clave.trimmed();
        const QString controlador
            = util.ValorCampo(rs.Fields(QStringLiteral("ControladoPor")).Value()).trimmed();
        if (!controlador.isEmpty())
            clave = clave.trimmed() + QStringLiteral(" /") + controlador;
        const QString origen = util.ValorCampo(rs.Fields(QStringLiteral("Descripcion")).Value());
        if (!origen.trimmed().isEmpty())
            clave = clave.trimmed() + QStringLiteral("/Orig.")
                + util.AjustaDescripcion(origen).trimmed();
        clave = util.LimpiaTexto(clave);
    }
    gDB().CierraRecordset(rs);
    return clave;
}

void GeneradorAuxiliar::AgregaDespachoLote(QString& claveLote)
{
    const Utilidades& util = gUtilidades();
    AdoRecordset rs;
    gDB().AbrirRecordset(sqlDespacho(claveLote), rs);
    if (!rs.Eof()) {
        claveLote = claveLote + QStringLiteral(" - ")
            + util.AjustaDescripcion(
                      util.ValorCampo(rs.Fields(QStringLiteral("ControladoPor")).Value()))
                  .trimmed()
            + QStringLiteral(" Orig.")
            + util.ValorCampo(rs.Fields(QStringLiteral("Descripcion")).Value()).trimmed();
        claveLote = util.LimpiaTexto(claveLote);
        gDB().CierraRecordset(rs);
        // At most one note per workstation, voucher and text.
        ejecuta(QStringLiteral("if not exists(select Usuario,TC,IdComprobante,IdComplemento,Tipo,"
                               "SECCION from Aux_MV_Cpte where Usuario = ")
                + literal(m_usuario) + QStringLiteral(" and TC = ") + literal(m_tc)
                + QStringLiteral(" and IdComprobante = ") + literal(idComprobante())
                + QStringLiteral(" and IdComplemento = ") + literal(m_complemento)
                + QStringLiteral(" and Tipo = 'XX' and SECCION = ") + literal(claveLote)
                + QStringLiteral(")  INSERT INTO Aux_MV_Cpte(Usuario,TC,IdComprobante,"
                                 "IdComplemento,Tipo,SECCION) VALUES (")
                + claveFija() + QStringLiteral(",'XX',") + literal(claveLote) + u')',
            QStringLiteral("AgregaDespachoLote"));
        return;
    }
    gDB().CierraRecordset(rs);
}
