#include "receipts/ReciboEnCurso.h"

#include "data/ConsultasDatos.h"
#include "data/DataObjects.h"
#include "platform/AdoTypes.h"
#include "platform/CampoLeido.h"
#include "platform/Clock.h"
#include "platform/ErrorLog.h"
#include "platform/MessageDialog.h"
#include "platform/Utilidades.h"
#include "receipts/AuxiliarRecibo.h"
#include "receipts/CuentasMedioPago.h"
#include "receipts/TextosRecibo.h"
#include "services/Configuracion.h"
#include "services/Formatos.h"
#include "services/ManejoErrores.h"
#include "services/VariablesInicio.h"
#include "texttools/NumerosEnLetras.h"

using ConsultasDatos::literal;

namespace {

const QString Rutina = QStringLiteral("GeneraAuxiliarRecibo_PagoCobranza");

// The runtime's error for a window shown over a modal one; harmless here.
constexpr int VentanaSobreModal = 401;

bool unoDe(const QString& texto, std::initializer_list<const char*> lista)
{
    for (const char* elemento : lista)
        if (texto.compare(QLatin1String(elemento), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString A(Currency importe)
{
    return FmtMoneda(importe.toString(), 2, true);
}

} // namespace

ReciboEnCurso::ReciboEnCurso(const Parametros& parametros, InformeRecibo& informe)
    : m_p(parametros)
    , m_informe(informe)
    , m_pasos([this](const RuntimeError& error) { return respuestaError(error); })
    , m_esperas(gDB().gCnn())
{
}

int ReciboEnCurso::respuestaError(const RuntimeError& error)
{
    // Nobody is asked about a locked database: every step after it would wait as long again.
    if (detenida())
        return Msg::Abort;
    if (error.number() == VentanaSobreModal || error.number() == AdoErrorNumber::ErrorsInCommand) {
        // Passed over without a box, as the suite always did, but no longer without a trace.
        const QString mensaje = ErrorLog::messageText(error);
        ErrorLog::append(
            archivoErroresPrograma(), ErrorLog::line(Now(), Rutina, mensaje, Msg::Ignore));
        anotaOmitido(error);
        return Msg::Ignore;
    }
    const int respuesta = ManejoErrores(error, Rutina);
    if (respuesta == Msg::Ignore)
        anotaOmitido(error);
    return respuesta;
}

void ReciboEnCurso::anotaOmitido(const RuntimeError& error)
{
    m_informe.erroresOmitidos.append(
        QStringLiteral("(%1) %2").arg(error.number()).arg(error.description().trimmed()));
}

void ReciboEnCurso::paso(const std::function<void()>& sentencia)
{
    // A value that is not what its column holds is no error to pass over: printed, the receipt
    // would be wrong.
    const auto leida = [&] {
        try {
            sentencia();
        } catch (const CampoLeido::Invalido& error) {
            datoInvalido(error);
        }
    };
    // Reads and writes that pass their errors over (the buffer's clearing) still stop the run.
    if (!m_pasos.run(leida) || detenida())
        throw Abandono {};
}

bool ReciboEnCurso::detenida()
{
    if (!m_informe.bloqueo.isEmpty())
        return true;
    if (!m_esperas.hubo())
        return false;
    m_informe.bloqueo = m_esperas.mensaje();
    ErrorLog::append(archivoErroresPrograma(), ErrorLog::line(Now(), Rutina, m_informe.bloqueo, 0));
    return true;
}

bool ReciboEnCurso::genera(QStringList& lista)
{
    // The rows go in one transaction, as the voucher buffer's do: on a local file a commit per
    // row costs a disk flush each. A failing statement is still skipped on its own, and what
    // was written before the operator left is kept, as without the transaction.
    AdoConnection& cnn = gDB().gCnn();
    m_esperas.reinicia();
    bool transaccion = false;
    const auto termina = [&] {
        // A run the lock stopped keeps none of the receipt's rows (a commit too may wait it out).
        if (!transaccion)
            return;
        if (detenida() || !m_informe.importeInvalido.isEmpty())
            cnn.RollbackTrans();
        else if (!cnn.CommitTrans()) {
            if (detenida())
                cnn.RollbackTrans();
            else
                anotaOmitido(cnn.LastError());
        }
    };
    try {
        preparacion();
        if (m_cantAplicaciones == 0 && m_cantAsientos == 0) {
            m_informe.sinMovimientos = true;
            return true;
        }
        transaccion = cnn.BeginTrans();
        if (detenida())
            throw Abandono {};
        cuerpo();
        otrosComprobantes();
        filasEnBlanco();
        copias();
        retencionesCabecera();
        formulas(lista);
    } catch (const Abandono&) {
        // The row being built when the operator left is not stored.
        if (m_rsAux.State() == adStateOpen && m_rsAux.EditMode() != adEditNone)
            m_rsAux.CancelUpdate();
        termina();
        return false;
    }
    termina();
    return !detenida();
}

// ---------------------------------------------------------------------------------------------
// Helpers

bool ReciboEnCurso::hayFila(AdoRecordset& rs) const
{
    return rs.State() == adStateOpen && !rs.Bof() && !rs.Eof();
}

Currency ReciboEnCurso::importeLeido(AdoRecordset& rs, const QString& tabla, const QString& nombre,
    const QString& de, bool textoLeible)
{
    const Value valor = campo(rs, nombre);
    // A text reads as the workstation writes amounts; a blank one is no amount.
    if (textoLeible && valor.isText() && !valor.toString().trimmed().isEmpty()) {
        try {
            return gUtilidades().ValorMoneda(valor.toString());
        } catch (const RuntimeError&) {
        }
    }
    try {
        return CampoLeido::importe(valor,
            tabla + u'.' + nombre
                + (de.trimmed().isEmpty() ? QString() : QStringLiteral(" de ") + de.trimmed()));
    } catch (const CampoLeido::Invalido& error) {
        datoInvalido(error);
    }
}

void ReciboEnCurso::datoInvalido(const RuntimeError& error)
{
    m_informe.importeInvalido = QStringLiteral("No se imprimió el comprobante %1 %2: %3")
                                    .arg(m_p.tc.trimmed(), idComprobante(), error.description());
    ErrorLog::append(
        archivoErroresPrograma(), ErrorLog::line(Now(), Rutina, m_informe.importeInvalido, 0));
    throw Abandono {};
}

Value ReciboEnCurso::campo(AdoRecordset& rs, const QString& nombre) const
{
    return rs.Fields(nombre).Value();
}

QString ReciboEnCurso::texto(AdoRecordset& rs, const QString& nombre) const
{
    return gUtilidades().ValorCampo(rs.Fields(nombre).Value());
}

void ReciboEnCurso::pon(const QString& columna, const Value& valor)
{
    m_rsAux.Fields(columna).setValue(valor);
}

bool ReciboEnCurso::directo(const QString& sql, AdoRecordset* filas)
{
    AdoConnection& cnn = gDB().gCnn();
    if (filas && filas->State() == adStateOpen)
        filas->Close();
    if (!cnn.Execute(sql, nullptr, -1, filas))
        throw cnn.LastError();
    return filas && hayFila(*filas);
}

QString ReciboEnCurso::restriccionCuenta() const
{
    const QString cuenta = m_p.cuenta.trimmed();
    if (cuenta.isEmpty())
        return QString();
    return QStringLiteral(" AND CUENTA = ") + literal(cuenta) + QStringLiteral(" ");
}

QString ReciboEnCurso::idComprobante() const
{
    return m_p.sucursal + m_p.numero + m_p.letra;
}

// ---------------------------------------------------------------------------------------------
// Set-up

void ReciboEnCurso::preparacion()
{
    m_tc4 = gUtilidades().FormateaCodigo(m_p.tc.trimmed(), 4);
    m_clave = ClaveEstacion();
    paso([&] {
        m_incluirCuitLibrador = Configuracion::Cfg(QStringLiteral("IncluirCuitLibrador"))
                                    .trimmed()
                                    .compare(QLatin1String("SI"), Qt::CaseInsensitive)
            == 0;
    });
    m_esCobranza = unoDe(m_p.tc.trimmed(), { "CB", "CBFP", "CBCT" });
    paso([&] {
        CuentasMedioPago::CuentaIVADF(
            m_ctaRetIVA, m_ctaRetIIBB, m_ctaRetGanancias, m_ctaDescuento, m_esCobranza);
    });
    paso([&] {
        gDB().EjecutaConsultaSQL(
            QStringLiteral("DELETE AUX_MV_CPTE WHERE USUARIO = ") + literal(m_clave));
    });
    paso([&] {
        gDB().AbrirRecordset(QStringLiteral("SELECT TOP 1 * FROM AUX_MV_CPTE "), m_rsAux, nullptr,
            adOpenDynamic, adLockOptimistic, -1);
    });

    const QString id = literal(idComprobante());
    const QString tc4 = literal(m_tc4);
    abreLista(QStringLiteral("SELECT CUENTA,TCO_ORIGEN, IDCOMPROBANTE_ORIGEN, SUM(IMPORTE) AS "
                             "IMPORTE, TC_PRINT, IDCOMPROBANTE_PRINT, SUCURSAL_ORIGEN, "
                             "NUMERO_ORIGEN, LETRA_ORIGEN From MV_APLICACION ")
            + QStringLiteral(" WHERE TC_PRINT = ") + tc4
            + QStringLiteral(" AND IDCOMPROBANTE_PRINT = ") + id
            + QStringLiteral(" GROUP BY CUENTA, TCO_ORIGEN, IDCOMPROBANTE_ORIGEN, TC_PRINT, "
                             "IDCOMPROBANTE_PRINT, SUCURSAL_ORIGEN, NUMERO_ORIGEN, LETRA_ORIGEN "
                             "ORDER BY TCO_ORIGEN, IDCOMPROBANTE_ORIGEN"),
        m_rsAplicaciones, m_cantAplicaciones);
    abreLista(QStringLiteral("SELECT * FROM MV_ASIENTOS WHERE TC = ") + tc4
            + QStringLiteral(" AND SUCURSAL = ") + literal(m_p.sucursal)
            + QStringLiteral(" AND NUMERO = ") + literal(m_p.numero)
            + QStringLiteral(" AND LETRA = ") + literal(m_p.letra),
        m_rsAsientos, m_cantAsientos);
    // A tie leads with the applied documents.
    m_aplicacionesLideran = m_cantAplicaciones >= m_cantAsientos;
    if (m_cantAplicaciones > 0)
        compruebaAplicados();
}

void ReciboEnCurso::compruebaAplicados()
{
    AdoRecordset rs;
    paso([&] {
        gDB().AbrirRecordset(QStringLiteral("SELECT TCO_ORIGEN, IDCOMPROBANTE_ORIGEN, IMPORTE FROM "
                                            "MV_APLICACION WHERE TC_PRINT = ")
                + literal(m_tc4) + QStringLiteral(" AND IDCOMPROBANTE_PRINT = ")
                + literal(idComprobante()),
            rs);
    });
    while (hayFila(rs)) {
        // The engine's sum would read a text's leading digits alone ("1234,5" as 1234).
        importeLeido(rs, QStringLiteral("MV_APLICACION"), QStringLiteral("IMPORTE"),
            texto(rs, QStringLiteral("TCO_ORIGEN")).trimmed() + u' '
                + texto(rs, QStringLiteral("IDCOMPROBANTE_ORIGEN")),
            false);
        paso([&] { rs.MoveNext(); });
    }
    gDB().CierraRecordset(rs);
}

void ReciboEnCurso::abreLista(const QString& sql, AdoRecordset& rs, qint64& cantidad)
{
    cantidad = 0;
    // Counted on a static cursor, read from the first row.
    paso([&] { gDB().AbrirRecordset(sql, rs, nullptr, adOpenStatic, adLockReadOnly, -1); });
    // A list that did not open (a table that is not there) fails here, naming why.
    paso([&] {
        if (!(rs.Bof() && rs.Eof())) {
            cantidad = rs.RecordCount();
            rs.MoveFirst();
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Body rows

void ReciboEnCurso::cuerpo()
{
    AdoRecordset& lider = m_aplicacionesLideran ? m_rsAplicaciones : m_rsAsientos;
    AdoRecordset& siguiente = m_aplicacionesLideran ? m_rsAsientos : m_rsAplicaciones;
    while (hayFila(lider)) {
        nuevaFila();
        if (hayFila(m_rsAplicaciones)) {
            ladoAplicacion();
            paso([&] {
                const auto leido = [&](const char* columna) {
                    return gUtilidades().ValorMoneda(texto(m_rsAux, QLatin1String(columna)));
                };
                // The totals add the printed, rounded amounts, all three once every one is read:
                // a retried read adds nothing twice.
                const Currency comprobante = leido("COLUMNA9");
                const Currency aplicado = leido("COLUMNA3");
                const Currency saldo = leido("COLUMNA11");
                m_totalComprobantes += comprobante;
                m_totalAplicado += aplicado;
                m_totalSaldo += saldo;
            });
        }
        if (hayFila(m_rsAsientos))
            agregaMedioDePago();
        guardaFila();
        paso([&] {
            if (hayFila(lider))
                lider.MoveNext();
            // The following list stops at its end; the rows after carry only the leading half.
            if (hayFila(lider) && hayFila(siguiente))
                siguiente.MoveNext();
        });
    }
}

void ReciboEnCurso::nuevaFila()
{
    // Each statement is a step of its own: a retried key does not add the row again.
    paso([&] {
        if (!m_rsAux.AddNew())
            throw m_rsAux.LastError();
    });
    paso([&] {
        pon(QStringLiteral("USUARIO"), m_clave);
        pon(QStringLiteral("TC"), m_p.tc);
        pon(QStringLiteral("IDCOMPROBANTE"), idComprobante());
        pon(QStringLiteral("IDCOMPLEMENTO"), QStringLiteral("0"));
        pon(QStringLiteral("TIPO"), QStringLiteral("1"));
    });
}

void ReciboEnCurso::guardaFila()
{
    paso([&] {
        if (m_rsAux.EditMode() != adEditNone && !m_rsAux.Update())
            throw m_rsAux.LastError();
    });
    // A row passed over is dropped, or the next row's AddNew would try to store it again.
    if (m_rsAux.EditMode() != adEditNone)
        m_rsAux.CancelUpdate();
}

void ReciboEnCurso::ladoAplicacion()
{
    AdoRecordset& apl = m_rsAplicaciones;
    QString tco, sucursal, numero, letra;
    paso([&] {
        tco = texto(apl, QStringLiteral("TCO_ORIGEN"));
        sucursal = texto(apl, QStringLiteral("SUCURSAL_ORIGEN"));
        numero = texto(apl, QStringLiteral("NUMERO_ORIGEN"));
        letra = texto(apl, QStringLiteral("LETRA_ORIGEN"));
        pon(QStringLiteral("COLUMNA2"), tco + u'-' + sucursal + numero + letra);
    });
    const QString tco4 = literal(gUtilidades().FormateaCodigo(tco, 4));
    const QString origen = literal(sucursal + numero + letra);
    const QString restriccion = restriccionCuenta();
    const QString ventas = QStringLiteral("SELECT FECHA,IMPORTE FROM V_MV_CPTE WHERE TC = ") + tco4
        + QStringLiteral(" AND IDCOMPROBANTE = ") + origen + QStringLiteral(" ") + restriccion;

    const QString documento = tco.trimmed() + u' ' + sucursal + numero + letra;
    AdoRecordset rs;
    // An amount of the document read from `rs`, as the buffer writes it.
    const auto monto = [&](const QString& tabla, const QString& nombre) {
        return FmtMoneda(importeLeido(rs, tabla, nombre, documento).toString());
    };
    const auto leido = [&](const QString& tabla, const QString& nombre) {
        return CampoLeido::valor(rs, tabla, nombre);
    };
    // A date of the document read from `rs`, as the buffer writes it.
    const auto fecha = [&](const QString& tabla, const QString& nombre) {
        return TextosRecibo::fechaTexto(leido(tabla, nombre));
    };
    paso([&] {
        if (m_aplicacionesLideran) {
            const bool compras = gDB()
                                     .DatosTabla(QStringLiteral("V_TA_CPTE"), tco,
                                         QStringLiteral("SISTEMA"), QStringLiteral("Codigo"))
                                     .toString()
                                     .trimmed()
                                     .compare(QLatin1String("COMPRAS"), Qt::CaseInsensitive)
                == 0;
            QString sql = ventas;
            if (compras)
                sql.replace(QLatin1String("FROM V_MV_CPTE"), QLatin1String("FROM C_MV_CPTE"));
            QString tabla = compras ? QStringLiteral("C_MV_CPTE") : QStringLiteral("V_MV_CPTE");
            if (!directo(sql, &rs)) {
                tabla = QStringLiteral("MV_ASIENTOS");
                if (!directo(QStringLiteral("SELECT FECHA,IMPORTE FROM MV_ASIENTOS WHERE TC = ")
                            + tco4 + QStringLiteral(" AND SUCURSAL + NUMERO + LETRA = ") + origen
                            + QStringLiteral(" ") + restriccion,
                        &rs))
                    return;
            }
            pon(QStringLiteral("COLUMNA1"), fecha(tabla, QStringLiteral("FECHA")));
            pon(QStringLiteral("COLUMNA9"), monto(tabla, QStringLiteral("IMPORTE")));
            return;
        }
        if (directo(ventas, &rs)) {
            pon(QStringLiteral("COLUMNA1"),
                fecha(QStringLiteral("V_MV_CPTE"), QStringLiteral("FECHA")));
            pon(QStringLiteral("COLUMNA9"),
                monto(QStringLiteral("V_MV_CPTE"), QStringLiteral("IMPORTE")));
            return;
        }
        if (!directo(QStringLiteral("SELECT FECHA,CABIMPORTE, FECHASUBDIARIO FROM MV_ASIENTOS "
                                    "WHERE TC = ")
                    + tco4 + QStringLiteral(" AND SUCURSAL = ") + literal(sucursal)
                    + QStringLiteral(" AND NUMERO = ") + literal(numero)
                    + QStringLiteral(" AND LETRA = ") + literal(letra) + QStringLiteral(" ")
                    + restriccion,
                &rs))
            return;
        const bool sinSubdiario
            = leido(QStringLiteral("MV_ASIENTOS"), QStringLiteral("FECHASUBDIARIO")).isNull();
        pon(QStringLiteral("COLUMNA1"),
            fecha(QStringLiteral("MV_ASIENTOS"),
                sinSubdiario ? QStringLiteral("FECHA") : QStringLiteral("FECHASUBDIARIO")));
        pon(QStringLiteral("COLUMNA9"),
            monto(QStringLiteral("MV_ASIENTOS"), QStringLiteral("CABIMPORTE")));
    });
    paso([&] {
        const bool conSaldo
            = directo(QStringLiteral("SELECT SALDO FROM VE_SALDOAPLICACION WHERE TCO_ORIGEN = ")
                    + tco4 + QStringLiteral(" AND SUCURSAL_ORIGEN = ") + literal(sucursal)
                    + QStringLiteral(" AND NUMERO_ORIGEN = ") + literal(numero)
                    + QStringLiteral(" AND LETRA_ORIGEN = ") + literal(letra) + QStringLiteral(" ")
                    + restriccion,
                &rs);
        pon(QStringLiteral("COLUMNA11"),
            conSaldo ? monto(QStringLiteral("VE_SALDOAPLICACION"), QStringLiteral("SALDO"))
                     : QStringLiteral("0"));
    });
    // The sum of the document's applications, each of them read already.
    paso([&] {
        pon(QStringLiteral("COLUMNA3"),
            FmtMoneda(importeLeido(
                apl, QStringLiteral("MV_APLICACION"), QStringLiteral("IMPORTE"), documento)
                          .toString()));
    });
}

// ---------------------------------------------------------------------------------------------
// Other vouchers, blank rows, copies

void ReciboEnCurso::otrosComprobantes()
{
    const QString tc = m_p.tc.trimmed();
    QString tipos;
    if (unoDe(tc, { "CB", "CBCT", "CBFP" }))
        tipos = QStringLiteral(" AND (TC = 'NC' OR TC = 'CB' OR TC = 'CBCT' OR TC = 'CBFP') ");
    else if (unoDe(tc, { "PG", "OPG", "PGFP" }))
        tipos = QStringLiteral(" AND (TC = 'NCC' OR TC = 'NCCP' OR TC = 'ND' OR TC = 'FC'  OR "
                               "TC = 'PG' OR TC = 'OPG' OR TC = 'CJA' OR TC = 'CC' OR TC = 'RC') ");
    else
        return;
    QString sql = QStringLiteral("SELECT * FROM MV_APLICACION WHERE TC_PRINT = ") + literal(m_tc4)
        + QStringLiteral(" AND IDCOMPROBANTE_PRINT = ") + literal(idComprobante()) + tipos;
    if (!m_p.cuenta.trimmed().isEmpty())
        sql += QStringLiteral(" AND CUENTA = ") + literal(m_p.cuenta.trimmed())
            + QStringLiteral(" ");
    // The receipt's own applications are left out by its type as passed.
    sql += QStringLiteral(" AND (TC + IDCOMPROBANTE <> ") + literal(m_p.tc + idComprobante())
        + QStringLiteral(") ORDER BY IDCOMPROBANTE_PRINT");

    AdoRecordset rs;
    paso([&] { gDB().AbrirRecordset(sql, rs); });
    while (hayFila(rs)) {
        // The row, its amount in the total and its storing are steps of their own: Retry runs
        // again only the one that failed, so the amount is counted once.
        nuevaFila();
        Currency importe;
        paso([&] {
            const QString tipo = texto(rs, QStringLiteral("TC"));
            pon(QStringLiteral("COLUMNA4"), tipo);
            pon(QStringLiteral("COLUMNA6"),
                tipo + u' ' + texto(rs, QStringLiteral("IDCOMPROBANTE")));
            importe = importeLeido(rs, QStringLiteral("MV_APLICACION"), QStringLiteral("Importe"),
                tipo.trimmed() + u' ' + texto(rs, QStringLiteral("IDCOMPROBANTE")));
            pon(QStringLiteral("COLUMNA8"), FmtMoneda(importe.toString()));
            pon(QStringLiteral("COLUMNA10"), QStringLiteral("   1"));
        });
        m_totalMediosPago += importe;
        guardaFila();
        paso([&] { rs.MoveNext(); });
    }
    gDB().CierraRecordset(rs);
}

void ReciboEnCurso::filasEnBlanco()
{
    if (m_p.cantidadItems == -1)
        return;
    const QString id = literal(idComprobante());
    qint64 filas = 0;
    AdoRecordset rs;
    paso([&] {
        gDB().AbrirRecordset(QStringLiteral("SELECT COUNT(*) FROM AUX_MV_CPTE WHERE TC = ")
                + literal(m_p.tc) + QStringLiteral(" AND IDCOMPROBANTE = ") + id
                + QStringLiteral(" AND USUARIO = ") + literal(m_clave),
            rs);
        if (hayFila(rs))
            filas = rs.Fields(0).Value().toLongLong();
    });
    if (filas == 0 || filas >= m_p.cantidadItems)
        return;
    const QString insercion
        = QStringLiteral(" INSERT INTO AUX_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO, "
                         "USUARIO,COLUMNA4,TIPO) VALUES (")
        + literal(m_p.tc) + QStringLiteral(",") + id + QStringLiteral(",0,") + literal(m_clave)
        + QStringLiteral(",'  ','1')");
    for (qint64 i = filas; i < m_p.cantidadItems; ++i)
        paso([&] { directo(insercion); });
}

void ReciboEnCurso::copias()
{
    // Each copy repeats the first copy's rows of this workstation, every column included, with
    // its number in TIPO.
    static const QString columnas = QStringLiteral(
        "Seccion, IDCOMPROBANTE, IDCOMPLEMENTO, COLUMNA1, COLUMNA2, COLUMNA3, COLUMNA4, "
        "COLUMNA5, COLUMNA6, COLUMNA7, COLUMNA8, Encabezado, PieDePagina, COLUMNA9, COLUMNA10, "
        "COLUMNA11, COLUMNA12, COLUMNA13");
    for (int copia = 2; copia <= m_p.copiasPorPagina; ++copia) {
        paso([&] {
            directo(QStringLiteral(" INSERT INTO AUX_MV_CPTE (TC, USUARIO, TIPO, ") + columnas
                + QStringLiteral(") SELECT TC, USUARIO, '") + QString::number(copia)
                + QStringLiteral("', ") + columnas
                + QStringLiteral(" FROM AUX_MV_CPTE WHERE IDCOMPROBANTE = ")
                + literal(idComprobante()) + QStringLiteral(" AND TC = ") + literal(m_p.tc)
                + QStringLiteral(" AND USUARIO = ") + literal(m_clave)
                + QStringLiteral(" AND TIPO = '1'"));
        });
    }
}

// ---------------------------------------------------------------------------------------------
// Header withholdings and formulas

void ReciboEnCurso::retencionesCabecera()
{
    const QString sql = QStringLiteral("SELECT * From V_MV_CPTE ") + QStringLiteral(" WHERE TC = ")
        + literal(m_tc4) + QStringLiteral(" AND IDCOMPROBANTE = ") + literal(idComprobante());
    const auto importe = [&](AdoRecordset& rs, const char* columna) {
        return importeLeido(rs, QStringLiteral("V_MV_CPTE"), QLatin1String(columna), QString());
    };
    AdoRecordset rs;
    if ((m_retGanancias + m_retIVA + m_retIBrutos + m_descuentosOtorgados) == Currency()
        && m_cantAsientos == 0) {
        paso([&] { gDB().AbrirRecordset(sql, rs); });
        paso([&] {
            if (!hayFila(rs))
                return;
            m_retGanancias = importe(rs, "RetGan_Importe");
            m_retIVA = importe(rs, "RetIVA_importe");
            m_retIBrutos = importe(rs, "RETIBR_Importe");
            m_descuentosOtorgados = importe(rs, "ImpDescuento1");
            m_retSUSS = importe(rs, "retsuss_importe");
        });
        gDB().CierraRecordset(rs);
    }
    if (m_retSUSS == Currency()) {
        paso([&] { gDB().AbrirRecordset(sql, rs); });
        paso([&] {
            if (hayFila(rs))
                m_retSUSS = importe(rs, "retsuss_importe");
        });
        gDB().CierraRecordset(rs);
    }
}

void ReciboEnCurso::formulas(QStringList& lista)
{
    const Currency diferencia = m_totalMediosPago + m_descuentosOtorgados + m_retGanancias
        + m_retIBrutos + m_retIVA + m_retOtras + m_retSUSS - m_totalAplicado;
    const QString cero = lista.value(0);
    lista = QStringList { cero };
    const auto agrega
        = [&](const std::function<QString()>& formula) { paso([&] { lista.append(formula()); }); };
    agrega([&] { return QStringLiteral("Prm_ImporteCpte = '") + A(m_totalComprobantes) + u'\''; });
    // Read back as a number by the reports: no grouping, and always a point.
    agrega([&] {
        return QStringLiteral("Prm_ImporteAplicado = '")
            + FmtMoneda(m_totalAplicado.toString(), 2, false).replace(u',', u'.') + u'\'';
    });
    agrega([&] { return QStringLiteral("Prm_ImporteSaldo = '") + A(m_totalSaldo) + u'\''; });
    agrega([&] {
        return QStringLiteral("Prm_ImporteEnLetras = '")
            + TextosRecibo::primeraMayuscula(
                NumerosEnLetras::NumeroEnLetras(m_totalMediosPago, 0, QStringLiteral(" Pesos ")))
            + u'\'';
    });
    agrega([&] { return QStringLiteral("Prm_ImporteMP = '") + A(m_totalMediosPago) + u'\''; });
    agrega([&] { return QStringLiteral("Prm_RetGanancias = '") + A(m_retGanancias) + u'\''; });
    agrega([&] { return QStringLiteral("Prm_RetIVA = '") + A(m_retIVA + m_retOtras) + u'\''; });
    agrega([&] { return QStringLiteral("Prm_RetIBrtos = '") + A(m_retIBrutos) + u'\''; });
    agrega([&] { return QStringLiteral("Prm_RetSUSS = '") + A(m_retSUSS) + u'\''; });
    agrega([&] {
        return QStringLiteral("Prm_DescuentosOtorgados = '") + A(m_descuentosOtorgados) + u'\'';
    });
    agrega([&] {
        // The concept stands inside the quoted value: its own apostrophes are doubled.
        return QStringLiteral("Prm_Concepto = ") + literal(gUtilidades().LimpiaTexto(m_concepto));
    });
    agrega([&] {
        if (m_p.tc.left(2).compare(QLatin1String("CB"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("TOTAL =  '") + A(diferencia) + u'\'';
        if (diferencia > Currency())
            return QStringLiteral("Anticipo =  '") + A(diferencia) + u'\'';
        return QStringLiteral("Anticipo =  '0'");
    });
}

// ---------------------------------------------------------------------------------------------

bool GeneraAuxiliarRecibo_PagoCobranza(const QString& TC, const QString& Sucursal,
    const QString& Numero, const QString& Letra, const QString& Cuenta, QStringList& Formulas,
    int CopiasPorPagina, int CantidadItems, InformeRecibo* informe)
{
    InformeRecibo propio;
    ReciboEnCurso recibo({ TC, Sucursal, Numero, Letra, Cuenta, CopiasPorPagina, CantidadItems },
        informe ? *informe : propio);
    return recibo.genera(Formulas);
}
