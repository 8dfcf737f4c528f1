#include "demo/DemoSending.h"

#include <utility>

#include <QByteArray>
#include <QString>

#include "demo/SqliteFile.h"

namespace DemoSending {

namespace {

// The payment order the new ones are copied from: supplier 2110001, every kind of withholding.
const QByteArray kOrigin = "'OPG' AND IDCOMPROBANTE = '000200000910X'";
const QByteArray kOriginLines
    = "TC = 'OPG' AND SUCURSAL = '0002' AND NUMERO = '00000910' AND LETRA = 'X'";

const QByteArray kLineColumns
    = "SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,PERIODO,FECHA,FECHASUBDIARIO,"
      "CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER],mediodepago,Moneda,Cotizacion,ChPropio,"
      "NROCOMPROBANTEBANCARIO,tj_observaciones,IdBanco,vencimiento,TJ_NroCupon,TJ_NroSocio,"
      "TJ_cuotas";

struct Order
{
    const char* number;
    // Withholdings on the header and on the supplier's journal line.
    double gananciasRet;
    double ivaRet;
    double ingresosBrutosRet;
    double sussRet;
    // Withholding accounts whose lines the order keeps; the others' amounts go to the cheque.
    const char* keptAccounts;
};

void copyOrder(SqliteFile& file, const Order& o)
{
    const QByteArray number(o.number);
    const QByteArray id = "0002" + number + "X";
    const auto n = [](double v) { return QByteArray::number(v, 'f', 2); };
    file.exec("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
              "Moneda,IMPORTE,RetGan_Importe,RetIVA_importe,RETIBR_Importe,ImpDescuento1,"
              "retsuss_importe) SELECT 'PG', '"
        + id
        + "', 0, UNEGOCIO, FECHA, CUENTA, nombre, "
          "Moneda, IMPORTE, "
        + n(o.gananciasRet) + ", " + n(o.ivaRet) + ", " + n(o.ingresosBrutosRet) + ", 0, "
        + n(o.sussRet) + " FROM V_MV_CPTE WHERE TC = " + kOrigin);
    // The order pays purchase invoices of its own, copies of the original's numbered 100 times
    // the order's place on (7001 becomes 7101 for order 930), each with its lines, journal entry
    // and balance: an invoice is paid once.
    const QByteArray offset = QByteArray::number((number.toInt() - 929) * 100);
    const auto renumbered = [&](const char* column) {
        return "substr('00000000' || (CAST(" + QByteArray(column) + " AS INTEGER) + " + offset
            + "), -8)";
    };
    const auto renumberedId = [&](const char* column) {
        const QByteArray c(column);
        return "substr(" + c + ", 1, 4) || substr('00000000' || (CAST(substr(" + c
            + ", 5, 8) AS INTEGER) + " + offset + "), -8) || substr(" + c + ", 13, 1)";
    };
    const QByteArray paid
        = "(SELECT IDCOMPROBANTE_ORIGEN FROM MV_APLICACION WHERE TC = " + kOrigin + ")";
    file.exec("INSERT INTO C_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,IMPORTE) SELECT "
              "TC, "
        + renumberedId("IDCOMPROBANTE") + ", IDCOMPLEMENTO, FECHA, CUENTA, IMPORTE FROM C_MV_CPTE "
        + "WHERE TC = 'FCC' AND IDCOMPROBANTE IN " + paid);
    file.exec("INSERT INTO C_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,"
              "IdUnidad,CANTIDAD,IMPORTE,Total,alicIva,Nro_Serie) SELECT TC, "
        + renumberedId("IDCOMPROBANTE")
        + ", IDCOMPLEMENTO, IDARTICULO, DESCRIPCION, IdUnidad, CANTIDAD, IMPORTE, Total, alicIva, "
          "Nro_Serie FROM C_MV_CPTEINSUMOS WHERE TC = 'FCC' AND IDCOMPROBANTE IN "
        + paid + " ORDER BY ID");
    file.exec("INSERT INTO MV_ASIENTOS (TC,SUCURSAL,NUMERO,LETRA,FECHA,FECHASUBDIARIO,CABIMPORTE,"
              "CUENTA,Detalle,Importe,[DEBE-HABER]) SELECT TC, SUCURSAL, "
        + renumbered("NUMERO")
        + ", LETRA, FECHA, FECHASUBDIARIO, CABIMPORTE, CUENTA, Detalle, Importe, [DEBE-HABER] "
          "FROM MV_ASIENTOS WHERE TC = 'FCC' AND SUCURSAL || NUMERO || LETRA IN "
        + paid);
    file.exec("INSERT INTO VE_SALDOAPLICACION (TCO_ORIGEN,SUCURSAL_ORIGEN,NUMERO_ORIGEN,"
              "LETRA_ORIGEN,CUENTA,SALDO) SELECT TCO_ORIGEN, SUCURSAL_ORIGEN, "
        + renumbered("NUMERO_ORIGEN")
        + ", LETRA_ORIGEN, CUENTA, SALDO FROM VE_SALDOAPLICACION WHERE TCO_ORIGEN = 'FCC' AND "
          "SUCURSAL_ORIGEN || NUMERO_ORIGEN || LETRA_ORIGEN IN "
        + paid);
    file.exec("INSERT INTO MV_APLICACION (TC,Sucursal,Numero,Letra,IDCOMPROBANTE,TCO_ORIGEN,"
              "SUCURSAL_ORIGEN,NUMERO_ORIGEN,LETRA_ORIGEN,IDCOMPROBANTE_ORIGEN,TC_PRINT,"
              "IDCOMPROBANTE_PRINT,CUENTA,IMPORTE) SELECT 'PG', Sucursal, '"
        + number + "', Letra, '" + id + "', TCO_ORIGEN, SUCURSAL_ORIGEN, "
        + renumbered("NUMERO_ORIGEN") + ", LETRA_ORIGEN, " + renumberedId("IDCOMPROBANTE_ORIGEN")
        + ", 'PG', '" + id + "', CUENTA, IMPORTE FROM MV_APLICACION WHERE TC = " + kOrigin);
    const QByteArray select
        = QByteArray(kLineColumns).replace("NUMERO,LETRA", "'" + number + "',LETRA");
    file.exec("INSERT INTO MV_ASIENTOS (TC," + kLineColumns + ") SELECT 'PG'," + select
        + " FROM MV_ASIENTOS WHERE " + kOriginLines);
    const QByteArray lines
        = "TC = 'PG' AND SUCURSAL = '0002' AND NUMERO = '" + number + "' AND LETRA = 'X'";
    const QByteArray dropped = lines + " AND CUENTA LIKE '11301%' AND CUENTA NOT IN ("
        + QByteArray(o.keptAccounts) + ")";
    file.exec("UPDATE MV_ASIENTOS SET Importe = Importe + (SELECT COALESCE(SUM(Importe), 0) FROM "
              "MV_ASIENTOS WHERE "
        + dropped + ") WHERE " + lines + " AND CUENTA = '1110301'");
    file.exec("DELETE FROM MV_ASIENTOS WHERE " + dropped);
    file.exec("UPDATE MV_ASIENTOS SET LIVA_Ret_IBtos = " + n(o.ingresosBrutosRet)
        + ", LIVA_Ret_Ganancias = " + n(o.gananciasRet) + ", LIVA_Ret_Perc = " + n(o.ivaRet)
        + " WHERE " + lines + " AND CUENTA = '2110001'");
}

// A budget for customer 1120002 with the lines of its invoice 000200001201A, for the budget link.
void budget(SqliteFile& file)
{
    for (const QByteArray& table : { QByteArray("V_MV_CPTE"), QByteArray("V_MV_CPTEINSUMOS") }) {
        file.exec("CREATE TEMP TABLE copia AS SELECT * FROM " + table
            + " WHERE TC = 'FC' AND IDCOMPROBANTE = '000200001201A'");
        file.exec("UPDATE copia SET ID = NULL, TC = 'PR', IDCOMPROBANTE = '000200003001A'");
        file.exec("INSERT INTO " + table + " SELECT * FROM copia");
        file.exec("DROP TABLE copia");
    }
}

} // namespace

void write(SqliteFile& file)
{
    SqlInsert report(file, "TA_REPORTES", "NOMBRE,Descripcion,Archivo,Archivo2,Archivo3,Archivo4");
    for (const auto& [name, caption] : { std::pair { "RETIBR",
                                             "Certificado de retención de "
                                             "Ingresos Brutos" },
             { "RETIGAN", "Certificado de retención de Ganancias" },
             { "RETIVA", "Certificado de retención de IVA" },
             { "RETSUSS", "Certificado de retención de SUSS" } }) {
        report << name << caption << QString::fromLatin1(name) + QStringLiteral(".rpt") << ""
               << ""
               << "";
        report.done();
    }

    // VAT 1130101, income tax 1130102, gross income 1130103 (TA_CUENTASIVA).
    copyOrder(
        file, { "00000930", 8000, 12000, 5000, 2500, "'1130101','1130102','1130103','1130104'" });
    copyOrder(file, { "00000931", 0, 12000, 0, 0, "'1130101'" });
    copyOrder(file, { "00000932", 0, 0, 0, 0, "''" });

    SqlInsert rule(
        file, "v_ma_email", "codigoactivador,baja,SinConfirmacion,De,Para,Asunto,Mensaje");
    rule << "PG" << false << true << "pagos@elprogreso.example"
         << ""
         << "Orden de pago"
         << "Le enviamos la orden de pago y los certificados de retención que correspondan.";
    rule.done();

    budget(file);
}

} // namespace DemoSending
