#include "ReciboPrueba.h"

#include "platform/AdoRecordset.h"
#include "platform/Utilidades.h"

void ReciboPrueba::SetUp()
{
    DemoDatabaseTest::SetUp();
    abrePrincipal();
    for (const char* tabla : { "MA_CUENTAS", "TA_CUENTASIVA", "MV_APLICACION", "MV_ASIENTOS",
             "AUX_MV_CPTE", "VE_SALDOAPLICACION", "V_TA_BANCOS" })
        exec(QStringLiteral("DELETE FROM ") + QLatin1String(tabla));
    m_globales.gCantidadDecimales = QStringLiteral("2");
    planDeCuentas();
}

void ReciboPrueba::planDeCuentas()
{
    const char* cuentas[][5] = {
        { "1.1.01", "Caja", "EF", "", "CJ" },
        { "1.1.02", "Valores a depositar", "CH", "", "" },
        { "1.1.03", "Banco Central", "CH", "BC", "" },
        { "1.1.04", "Tarjeta Visa", "TJ", "", "" },
        { "1.1.05", "Caja dolares", "DC", "", "" },
        { "1.1.06", "Debito bancario", "DB", "", "" },
        { "2.1.01", "Retencion IVA", "RI", "", "" },
        { "2.1.02", "Retencion Ganancias", "RG", "", "" },
        { "2.1.03", "Retencion IIBB", "RB", "", "" },
        { "2.1.04", "Otras retenciones", "RO", "", "" },
        { "2.1.05", "Retencion SUSS", "RO", "", "" },
        { "4.1.01", "Descuentos otorgados", "", "", "" },
        { "C001", "Cliente Uno", "", "", "" },
    };
    for (const auto& c : cuentas)
        exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion, MedioDePago, TipoVista, "
                            "CodigoOpcional) VALUES ('%1','%2','%3','%4','%5')")
                 .arg(QLatin1String(c[0]), QLatin1String(c[1]), QLatin1String(c[2]),
                     QLatin1String(c[3]), QLatin1String(c[4])));
    exec(QStringLiteral("INSERT INTO TA_CUENTASIVA (CB_RETIVA, CB_DESCUENTO, PG_DESCUENTO) "
                        "VALUES ('2.1.01', '4.1.01', '4.1.01')"));
    exec(QStringLiteral(
        "INSERT INTO V_TA_BANCOS (IDBANCO, DESCRIPCION) VALUES ('7', 'Banco Siete')"));
    configura(QStringLiteral("CTA_RET_OTRA_2.1.05"), QStringLiteral("su"));
}

void ReciboPrueba::configura(const QString& clave, const QString& valor)
{
    Configuracion::GrabaDfg(clave, Value(valor));
}

void ReciboPrueba::aplica(const QString& tc, const QString& tco, const QString& idOrigen,
    const QString& importe, const QString& cuenta)
{
    exec(QStringLiteral("INSERT INTO MV_APLICACION (TC, IDCOMPROBANTE, TCO_ORIGEN, "
                        "SUCURSAL_ORIGEN, NUMERO_ORIGEN, LETRA_ORIGEN, IDCOMPROBANTE_ORIGEN, "
                        "TC_PRINT, IDCOMPROBANTE_PRINT, CUENTA, IMPORTE) VALUES "
                        "('%1','%2','%3','%4','%5','%6','%7','%1','%2','%8',%9)")
             .arg(tc, QLatin1String(Id), tco, idOrigen.left(4), idOrigen.mid(4, 8),
                 idOrigen.mid(12), idOrigen, cuenta, importe));
}

void ReciboPrueba::notaDeCreditoListada()
{
    exec(QStringLiteral("INSERT INTO MV_APLICACION (TC, IDCOMPROBANTE, TCO_ORIGEN, "
                        "SUCURSAL_ORIGEN, NUMERO_ORIGEN, LETRA_ORIGEN, TC_PRINT, "
                        "IDCOMPROBANTE_ORIGEN, IDCOMPROBANTE_PRINT, CUENTA, IMPORTE) VALUES ('NC', "
                        "'099900000007A', 'FC', '0999', '00000013', 'A', 'CB', '099900000013A', "
                        "'%1', 'C001', 30)")
             .arg(QLatin1String(Id)));
}

void ReciboPrueba::documento(const QString& tabla, const QString& tc, const QString& id,
    const QString& fecha, const QString& importe, const QString& cuenta)
{
    exec(QStringLiteral("INSERT INTO %1 (TC, IDCOMPROBANTE, FECHA, CUENTA, IMPORTE) VALUES "
                        "('%2','%3','%4','%5',%6)")
             .arg(tabla, tc, id, fecha, cuenta, importe));
}

void ReciboPrueba::asiento(const QString& tc, const QString& cuenta, const QString& importe,
    const QString& debeHaber, const QStringList& extra)
{
    QString columnas = QStringLiteral("TC, SUCURSAL, NUMERO, LETRA, CUENTA, Importe, [DEBE-HABER]");
    QString valores = QStringLiteral("'%1','0001','00000099','X','%2',%3,'%4'")
                          .arg(tc, cuenta, importe, debeHaber);
    for (const QString& par : extra) {
        columnas += u',' + par.section(u'=', 0, 0);
        valores += u',' + par.section(u'=', 1);
    }
    exec(QStringLiteral("INSERT INTO MV_ASIENTOS (%1) VALUES (%2)").arg(columnas, valores));
}

bool ReciboPrueba::genera(const QString& tc, QStringList& formulas, const QString& cuenta,
    int copias, int items, InformeRecibo* informe)
{
    return GeneraAuxiliarRecibo_PagoCobranza(tc, QStringLiteral("0001"), QStringLiteral("00000099"),
        QStringLiteral("X"), cuenta, formulas, copias, items, informe);
}

QStringList ReciboPrueba::filas(const QStringList& columnas, const QString& usuario)
{
    AdoRecordset rs;
    m_objects.gDB.AbrirRecordset(QStringLiteral("SELECT %1 FROM AUX_MV_CPTE WHERE USUARIO = '%2' "
                                                "ORDER BY ID")
                                     .arg(columnas.join(u','), usuario),
        rs);
    QStringList resultado;
    while (rs.State() == adStateOpen && !rs.Eof()) {
        QStringList fila;
        for (int i = 0; i < columnas.size(); ++i)
            fila.append(gUtilidades().ValorCampo(rs.Fields(i).Value()));
        resultado.append(fila.join(u'|'));
        rs.MoveNext();
    }
    return resultado;
}
