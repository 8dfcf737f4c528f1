#include "demo/DemoVoucherPrint.h"

#include <tuple>
#include <utility>

#include <QString>

#include "data/ConsultasDatos.h"
#include "platform/qt/SystemEnvironment.h"
#include "demo/SqliteFile.h"

namespace DemoVoucherPrint {

namespace {

// The invoice the receipt pays, and the receipt.
const char* const kInvoice = "000200001201A";
const char* const kReceipt = "000200000900X";

// The demo file is written as UTF-8 statements.
QByteArray literal(const QString& text)
{
    return ConsultasDatos::literal(text).toUtf8();
}

void vatConditions(SqliteFile& file)
{
    // The company's VAT condition is the suite's numeric code, which the program-wide condition
    // reads as a number; the letter codes stay for the customers' vouchers.
    SqlInsert condition(file, "TA_CONDIVA", "Codigo,DESCRIPCION");
    for (const auto& [code, name] : { std::pair { "1", "Responsable Inscripto" }, { "4", "Exento" },
             { "5", "Consumidor Final" }, { "6", "Responsable Monotributo" } }) {
        condition << code << name;
        condition.done();
    }
    file.exec("UPDATE TA_CONFIGURACION SET VALOR = '1' "
              "WHERE CLAVE IN ('CONDIVAEMPRESA', 'CONDICIONIVA_UN_1')");
}

void voucherTypes(SqliteFile& file)
{
    // Receipts and payment orders belong to the treasury: as accounting types they would print
    // as journal entries instead of receipts.
    file.exec("UPDATE V_TA_CPTE SET SISTEMA = 'TESORERIA' WHERE Codigo IN ('CB', 'PG')");
    SqlInsert type(file, "V_TA_CPTE", "Codigo,Descripcion,SISTEMA");
    for (const auto& [code, name, system] :
        { std::tuple { "CBCT", "Recibo de Contado", "TESORERIA" },
            { "CBFP", "Recibo de Factura Proforma", "TESORERIA" },
            { "PGFP", "Pago de Factura Proforma", "TESORERIA" },
            { "OPG", "Orden de Pago General", "TESORERIA" },
            { "AS", "Asiento Contable", "CONTABLE" } }) {
        type << code << name << system;
        type.done();
    }
}

void accountingVoucher(SqliteFile& file)
{
    SqlInsert entry(file, "MV_ASIENTOS",
        "TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,PERIODO,FECHA,FECHASUBDIARIO,"
        "CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER]");
    const struct
    {
        int number;
        const char* account;
        const char* detail;
        double amount;
        const char* side;
    } lines[] = {
        { 5001, "5110100", "Compra de insumos de limpieza", 48500.0, "D" },
        { 5001, "1110101", "Pago en efectivo", 48500.0, "H" },
        { 5002, "1110201", "Depósito de la recaudación", 312750.5, "D" },
        { 5002, "1110101", "Depósito de la recaudación", 312750.5, "H" },
    };
    for (const auto& l : lines) {
        entry << "AS"
              << "0002"
              << "00000001"
              << "X" << l.number << 11 << 2026 << "2026-11-20 00:00:00"
              << "2026-11-20 00:00:00" << l.amount << l.account << l.detail << l.amount << l.side;
        entry.done();
    }
}

void printSettings(SqliteFile& file)
{
    // The workstation that generates the demo, as the suite stores it: the raw key in any case.
    SystemEnvironment machine;
    const QString key = (machine.computerName() + u'|' + machine.userName()).toLower();
    SqlInsert printer(file, "TA_CONFIG_IMP_CPTE",
        "TC,LETRA,USUARIO,impresora,CantCopias,CantLineas,DestinoDefault");
    printer << "FC"
            << "A" << key << "PDF|"
            << "2"
            << "30"
            << "Pantalla";
    printer.done();

    SqlInsert report(file, "TA_REPORTES", "NOMBRE,Descripcion,Archivo,Archivo2,Archivo3,Archivo4");
    report << "FC-A"
           << "Factura A"
           << "FC.rpt"
           << "FC.rpt"
           << "FC.rpt"
           << "FC.rpt";
    report.done();
}

void paidInvoice(SqliteFile& file)
{
    // Accounts without a payment medium hold none, as the suite stores them.
    file.exec("UPDATE MA_CUENTAS SET MedioDePago = NULL WHERE TRIM(MedioDePago) = ''");
    const QByteArray invoice = literal(QString::fromLatin1(kInvoice));
    const QByteArray receipt = QString::fromLatin1(kReceipt).toUtf8();
    const QByteArray number = receipt.mid(4, 8);
    file.exec("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,Moneda,"
              "IMPORTE) SELECT 'CBCT', '"
        + receipt
        + "', 0, UNEGOCIO, FECHA, CUENTA, Moneda, "
          "IMPORTE FROM V_MV_CPTE WHERE TC = 'FC' AND IDCOMPROBANTE = "
        + invoice);
    file.exec("INSERT INTO MV_APLICACION (TC,Sucursal,Numero,Letra,IDCOMPROBANTE,TCO_ORIGEN,"
              "SUCURSAL_ORIGEN,NUMERO_ORIGEN,LETRA_ORIGEN,IDCOMPROBANTE_ORIGEN,TC_PRINT,"
              "IDCOMPROBANTE_PRINT,CUENTA,IMPORTE) SELECT 'CBCT', '0002', '"
        + number + "', 'X', '" + receipt
        + "', 'FC', substr(IDCOMPROBANTE, 1, 4), substr(IDCOMPROBANTE, 5, 8), "
          "substr(IDCOMPROBANTE, 13, 1), IDCOMPROBANTE, 'CBCT', '"
        + receipt
        + "', CUENTA, "
          "IMPORTE FROM V_MV_CPTE WHERE TC = 'FC' AND IDCOMPROBANTE = "
        + invoice);
    // Half in cash, three tenths by card, the rest by cheque; the customer's account credited.
    const struct
    {
        const char* account;
        const char* detail;
        const char* amount;
        const char* side;
    } lines[] = {
        { "'1110101'", "Efectivo", "round(IMPORTE * 0.5, 2)", "D" },
        { "'1110401'", "Tarjeta de crédito", "round(IMPORTE * 0.3, 2)", "D" },
        { "'1110301'", "Cheque",
            "round(IMPORTE - round(IMPORTE * 0.5, 2) - round(IMPORTE * 0.3, 2), 2)", "D" },
        { "CUENTA", "Cancelación de facturas", "IMPORTE", "H" },
    };
    for (const auto& l : lines)
        file.exec(QByteArray("INSERT INTO MV_ASIENTOS (TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],"
                             "MES_OPERATIVO,PERIODO,FECHA,FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,"
                             "Importe,[DEBE-HABER],Moneda,Cotizacion) SELECT 'CBCT', '0002', '")
            + number + "', 'X', 3900, CAST(strftime('%m', FECHA) AS INTEGER), "
            + "CAST(strftime('%Y', FECHA) AS INTEGER), FECHA, FECHA, IMPORTE, " + l.account + ", '"
            + l.detail + "', " + l.amount + ", '" + l.side
            + "', '   1', 1 FROM V_MV_CPTE WHERE TC = 'FC' AND IDCOMPROBANTE = " + invoice);
}

void purchaseLines(SqliteFile& file)
{
    // A purchase voucher a payment order settles keeps the amount the order applies: its three
    // lines split that amount (half, three tenths, the rest). Every other purchase voucher gets
    // three lines priced at six tenths of the articles' first price, and their sum as its amount.
    // The second line carries serial numbers.
    const QByteArray settled = "EXISTS (SELECT 1 FROM MV_APLICACION a WHERE a.TCO_ORIGEN = c.TC "
                               "AND a.IDCOMPROBANTE_ORIGEN = c.IDCOMPROBANTE)";
    const char* const shares[] = { "round(c.IMPORTE * 0.5, 2)", "round(c.IMPORTE * 0.3, 2)",
        "round(c.IMPORTE - round(c.IMPORTE * 0.5, 2) - round(c.IMPORTE * 0.3, 2), 2)" };
    for (int line = 0; line < 3; ++line) {
        const QByteArray quantity = QByteArray::number(line + 2);
        const QByteArray article = "a.IDARTICULO = substr('000000' || (1 + (c.ID * 7 + "
            + QByteArray::number(line * 5) + ") % 20), -6)";
        const QByteArray series = line == 1 ? "'S-1001 S-1002'" : "NULL";
        const QByteArray insert = "INSERT INTO C_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                                  "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,alicIva,"
                                  "Nro_Serie) SELECT c.TC, c.IDCOMPROBANTE, 0, a.IDARTICULO, "
                                  "a.Descripcion, 'UN', ";
        file.exec(insert + quantity + ", round(a.PRECIO1 * 0.6, 2), round(a.PRECIO1 * 0.6 * "
            + quantity + ", 2), 21, " + series + " FROM C_MV_CPTE c JOIN V_MA_ARTICULOS a ON "
            + article + " WHERE NOT " + settled);
        file.exec(insert + "1, " + shares[line] + ", " + shares[line] + ", 21, " + series
            + " FROM C_MV_CPTE c JOIN V_MA_ARTICULOS a ON " + article + " WHERE " + settled);
    }
    file.exec("UPDATE C_MV_CPTE SET IMPORTE = (SELECT round(sum(i.Total), 2) FROM "
              "C_MV_CPTEINSUMOS i WHERE i.TC = C_MV_CPTE.TC AND i.IDCOMPROBANTE = "
              "C_MV_CPTE.IDCOMPROBANTE) WHERE EXISTS (SELECT 1 FROM C_MV_CPTEINSUMOS i WHERE "
              "i.TC = C_MV_CPTE.TC AND i.IDCOMPROBANTE = C_MV_CPTE.IDCOMPROBANTE) AND NOT "
              "EXISTS (SELECT 1 FROM MV_APLICACION a WHERE a.TCO_ORIGEN = C_MV_CPTE.TC AND "
              "a.IDCOMPROBANTE_ORIGEN = C_MV_CPTE.IDCOMPROBANTE)");
}

// The first stock delivery note as a sales voucher too, with the lines of the first invoice, so
// that it prints with its items.
void deliveryNote(SqliteFile& file)
{
    file.exec("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
              "CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,transporte) SELECT 'RM', "
              "'000200000300R', 0, UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, documentotipo, "
              "DOCUMENTONUMERO, Moneda, 0, 'Reparto propio' FROM V_MV_CPTE WHERE TC = 'FC' AND "
              "IDCOMPROBANTE = '000200001201A'");
    file.exec("INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,"
              "IdUnidad,CANTIDAD,Nro_Lote,Nro_Serie) SELECT 'RM', '000200000300R', 0, IDARTICULO, "
              "DESCRIPCION, IdUnidad, CANTIDAD, Nro_Lote, Nro_Serie FROM V_MV_CPTEINSUMOS WHERE "
              "TC = 'FC' AND IDCOMPROBANTE = '000200001201A' ORDER BY ID");
}

} // namespace

void seed(SqliteFile& file)
{
    vatConditions(file);
    voucherTypes(file);
    accountingVoucher(file);
    printSettings(file);
    paidInvoice(file);
    purchaseLines(file);
    deliveryNote(file);
}

} // namespace DemoVoucherPrint
