#include "demo/DemoReceipts.h"

#include <cmath>

#include <QByteArray>
#include <QDate>
#include <QString>

#include "demo/DemoCatalog.h"
#include "demo/SqliteFile.h"

namespace DemoReceipts {

namespace {

const QDate kDate(2026, 11, 20);
const char* const kUnit = "   1";

QString day(int offset)
{
    return kDate.addDays(offset).toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
}

// Point of sale 0002, letter X: the suite's receipts; 0003: the documents they settle.
QString receiptId(int number)
{
    return QStringLiteral("0002%1X").arg(number, 8, 10, QLatin1Char('0'));
}

QString documentId(int number, char letter = 'A')
{
    return QStringLiteral("0003%1%2").arg(number, 8, 10, QLatin1Char('0')).arg(QLatin1Char(letter));
}

// The name the account has in the chart and the customer or supplier tables: 112nnnn is the
// n-th customer, 211nnnn the n-th supplier.
const char* nameOf(const char* account)
{
    const QByteArray code(account);
    const std::size_t index = static_cast<std::size_t>(code.mid(3).toInt() - 1);
    const auto& parties
        = code.startsWith("112") ? DemoCatalog::customers() : DemoCatalog::suppliers();
    return parties.at(index).name;
}

class Receipts
{
public:
    explicit Receipts(SqliteFile& file)
        : m_file(file)
    {
    }

    void write()
    {
        settings();
        paymentWithWithholdings();
        paymentOfPurchases();
        collectionWithCardAndCreditNote();
        collectionWithDollars();
        collectionWithWithholdings();
        largeCollection();
    }

private:
    struct Line
    {
        const char* account;
        const char* detail;
        double amount;
        const char* side;
        const char* currency = "   1";
        double rate = 1;
        bool own = false;
        const char* number = "";
        const char* remarks = "";
        const char* bank = nullptr;
        int dueInDays = 0;
        const char* coupon = "";
        const char* member = nullptr;
        int instalments = 0;
    };

    void settings()
    {
        SqlInsert account(
            m_file, "MA_CUENTAS", "Codigo,CodigoOpcional,Descripcion,MedioDePago,TipoVista");
        account << "1130105"
                << ""
                << "Retenciones municipales sufridas"
                << "RO"
                << "";
        account.done();
        account << "1130201"
                << ""
                << "IVA crédito fiscal"
                << ""
                << "";
        account.done();
        SqlInsert row(m_file, "TA_CONFIGURACION", "GRUPO,CLAVE,VALOR,valoraux,PoliticaNegocio");
        // The other-withholdings account 1130104 holds SUSS withholdings; 1130105 does not.
        row << "DATOS"
            << "CTA_RET_OTRA_1130104"
            << "SU"
            << "" << false;
        row.done();
    }

    // A payment order to supplier 2110001 for two purchase invoices, paid with an own cheque, a
    // bank debit and dollars, less withholdings of every kind; more lines than documents.
    void paymentWithWithholdings()
    {
        const QString id = receiptId(910);
        purchase(7001, "2110001", 250000, -40);
        purchase(7002, "2110001", 120000, -35);
        header("OPG", id, "2110001", 370000, 8000, 12000, 5000, 0, 2500);
        apply("OPG", id, "FCC", documentId(7001), "2110001", 250000);
        apply("OPG", id, "FCC", documentId(7002), "2110001", 120000);
        balance("FCC", documentId(7001), "2110001", 0);
        // No balance row for the second invoice.
        Line own { "1110301", "Pago a proveedor", 168500, "H" };
        own.own = true;
        own.number = "00451234";
        own.bank = "   2";
        own.dueInDays = 30;
        Line debit { "1110201", "", 100000, "H" };
        debit.number = "TR-7788";
        debit.bank = "   1";
        Line dollars { "1110501", "", 72500, "H", "   2", 1450 };
        lines("OPG", id, 6101, 370000,
            { { "2110001", "", 370000, "D" }, own, debit, dollars, { "1130101", "", 12000, "H" },
                { "1130102", "", 8000, "H" }, { "1130103", "", 5000, "H" },
                { "1130104", "", 2500, "H" }, { "1130105", "", 1500, "H" } });
    }

    // A payment order that pays two purchase invoices with more cash than they ask: an advance.
    void paymentOfPurchases()
    {
        const QString id = receiptId(911);
        purchase(7003, "2110003", 50000, -20);
        purchase(7004, "2110003", 30000, -18);
        header("OPG", id, "2110003", 110000);
        apply("OPG", id, "FCC", documentId(7003), "2110003", 50000);
        apply("OPG", id, "FCC", documentId(7004), "2110003", 30000);
        balance("FCC", documentId(7003), "2110003", 0);
        balance("FCC", documentId(7004), "2110003", 0);
        lines("OPG", id, 6102, 110000,
            { { "2110003", "Pago anticipado", 110000, "D" }, { "1110101", "", 110000, "H" } });
    }

    // A collection of three invoices from customer 1120003: a card with coupon, member and
    // instalments, cash, a discount, a gross-income withholding, and a credit note listed under
    // the receipt; the customer's own line first.
    void collectionWithCardAndCreditNote()
    {
        const QString id = receiptId(820);
        const char* customer = "1120003";
        invoice(2001, customer, 121000, -30);
        invoice(2002, customer, 60500, -25);
        invoice(2003, customer, 30250, -22);
        header("CB", id, customer, 211500);
        apply("CB", id, "FC", documentId(2001), customer, 121000);
        apply("CB", id, "FC", documentId(2002), customer, 60500);
        apply("CB", id, "FC", documentId(2003), customer, 20000);
        // The credit note settles part of the third invoice and is printed under this receipt.
        applyOther("NC", documentId(46), "CB", id, documentId(2003), customer, 10000);
        balance("FC", documentId(2001), customer, 0);
        balance("FC", documentId(2002), customer, 0);
        balance("FC", documentId(2003), customer, 250);
        Line card { "1110401", "", 100000, "D" };
        card.coupon = "ab3301";
        card.member = "4455";
        card.instalments = 3;
        lines("CB", id, 6103, 211500,
            { { customer, "Cobranza de facturas de noviembre", 201500, "H" }, card,
                { "1110101", "", 79500, "D" }, { "4110300", "", 2000, "D" },
                { "1130103", "", 20000, "D" } });
    }

    // A collection of four invoices paid with cash and a debit card in dollars: fewer lines than
    // documents.
    void collectionWithDollars()
    {
        const QString id = receiptId(821);
        const char* customer = "1120004";
        double total = 0;
        for (int k = 0; k < 4; ++k) {
            const double amount = 25000 + 5000 * k;
            invoice(2004 + k, customer, amount, -15 + k);
            apply("CB", id, "FC", documentId(2004 + k), customer, amount);
            if (k != 3)
                balance("FC", documentId(2004 + k), customer, 0);
            total += amount;
        }
        header("CB", id, customer, total);
        lines("CB", id, 6104, total,
            { { customer, "Cobranza en efectivo y dólares", total, "H" },
                { "1110101", "", total - 72500, "D" },
                { "1110501", "", 72500, "D", "   2", 1450 } });
    }

    // A collection of one invoice, partly settled with withholdings the customer made and a
    // discount: the header carries them as the journal lines do, and what was received is the
    // receipt's amount.
    void collectionWithWithholdings()
    {
        const QString id = receiptId(822);
        const char* customer = "1120005";
        invoice(2008, customer, 50000, -10);
        header("CB", id, customer, 47000, 0, 1500, 1000, 500, 0);
        apply("CB", id, "FC", documentId(2008), customer, 50000);
        balance("FC", documentId(2008), customer, 0);
        lines("CB", id, 6105, 47000,
            { { customer, "Cobranza con retenciones", 50000, "H" }, { "1110101", "", 47000, "D" },
                { "1130101", "", 1500, "D" }, { "1130103", "", 1000, "D" },
                { "4110300", "", 500, "D" } });
    }

    // 300 invoices and 300 journal lines, for timing the print buffer.
    void largeCollection()
    {
        const QString id = receiptId(899);
        const char* customer = "1120006";
        std::vector<Line> cash { { customer, "Cobranza grande", 344850, "H" } };
        for (int k = 0; k < 300; ++k) {
            invoice(3000 + k, customer, 1000 + k, -60 + k % 50);
            apply("CB", id, "FC", documentId(3000 + k), customer, 1000 + k);
            balance("FC", documentId(3000 + k), customer, 0);
            cash.push_back({ k % 2 ? "1110101" : "1110301", "", 1000.0 + k, "D" });
        }
        header("CB", id, customer, 344850);
        lines("CB", id, 6199, 344850, cash);
    }

    // A letter-A invoice to a registered customer, as the shop issued it: its VAT condition and
    // the tax authority's code of an invoice A (its lines and tax number are added later).
    void invoice(int number, const char* account, double amount, int offset)
    {
        SqlInsert insert(m_file, "V_MV_CPTE",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,CondicionIva,CodCpteAfip,Moneda,"
            "IMPORTE");
        insert << "FC" << documentId(number) << 0 << kUnit << day(offset) << account << "RI"
               << "1" << kUnit << amount;
        insert.done();
    }

    // A purchase invoice and its own journal header, which a payment order whose lines lead
    // reads its date and amount from.
    void purchase(int number, const char* account, double amount, int offset)
    {
        SqlInsert insert(
            m_file, "C_MV_CPTE", "TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,IMPORTE");
        insert << "FCC" << documentId(number) << 0 << day(offset) << account << amount;
        insert.done();
        SqlInsert entry(m_file, "MV_ASIENTOS",
            "TC,SUCURSAL,NUMERO,LETRA,FECHA,FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,Importe,"
            "[DEBE-HABER]");
        const QString id = documentId(number);
        // The purchase and its VAT credit against the supplier: a balanced entry.
        const double net = std::round(amount / 1.21 * 100) / 100;
        const struct
        {
            const char* account;
            double amount;
            const char* side;
        } lines[] = { { account, amount, "H" }, { "5110100", net, "D" },
            { "1130201", std::round((amount - net) * 100) / 100, "D" } };
        for (const auto& l : lines) {
            entry << "FCC" << id.left(4) << id.mid(4, 8) << id.right(1) << day(offset)
                  << day(offset + 2) << amount << l.account << "Compra" << l.amount << l.side;
            entry.done();
        }
    }

    void header(const char* tc, const QString& id, const char* account, double amount,
        double ganancias = 0, double iva = 0, double ingresosBrutos = 0, double descuento = 0,
        double suss = 0)
    {
        SqlInsert insert(m_file, "V_MV_CPTE",
            "TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,Moneda,IMPORTE,"
            "RetGan_Importe,RetIVA_importe,RETIBR_Importe,ImpDescuento1,retsuss_importe");
        insert << tc << id << 0 << kUnit << day(0) << account << nameOf(account) << kUnit << amount
               << ganancias << iva << ingresosBrutos << descuento << suss;
        insert.done();
    }

    void apply(const char* tc, const QString& id, const char* tco, const QString& origin,
        const char* account, double amount)
    {
        applyOther(tc, id, tc, id, origin, account, amount, tco);
    }

    void applyOther(const char* tc, const QString& id, const char* tcPrint, const QString& idPrint,
        const QString& origin, const char* account, double amount, const char* tco = "FC")
    {
        SqlInsert insert(m_file, "MV_APLICACION",
            "TC,Sucursal,Numero,Letra,IDCOMPROBANTE,TCO_ORIGEN,SUCURSAL_ORIGEN,NUMERO_ORIGEN,"
            "LETRA_ORIGEN,IDCOMPROBANTE_ORIGEN,TC_PRINT,IDCOMPROBANTE_PRINT,CUENTA,IMPORTE");
        insert << tc << id.left(4) << id.mid(4, 8) << id.right(1) << id << tco << origin.left(4)
               << origin.mid(4, 8) << origin.right(1) << origin << tcPrint << idPrint << account
               << amount;
        insert.done();
    }

    void balance(const char* tco, const QString& origin, const char* account, double amount)
    {
        SqlInsert insert(m_file, "VE_SALDOAPLICACION",
            "TCO_ORIGEN,SUCURSAL_ORIGEN,NUMERO_ORIGEN,LETRA_ORIGEN,CUENTA,SALDO");
        insert << tco << origin.left(4) << origin.mid(4, 8) << origin.right(1) << account << amount;
        insert.done();
    }

    void lines(const char* tc, const QString& id, int entryNumber, double total,
        const std::vector<Line>& all)
    {
        SqlInsert entry(m_file, "MV_ASIENTOS",
            "TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,PERIODO,FECHA,"
            "FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER],Moneda,Cotizacion,"
            "ChPropio,NROCOMPROBANTEBANCARIO,tj_observaciones,IdBanco,vencimiento,TJ_NroCupon,"
            "TJ_NroSocio,TJ_cuotas");
        for (const Line& l : all) {
            entry << tc << id.left(4) << id.mid(4, 8) << id.right(1) << entryNumber << kDate.month()
                  << kDate.year() << day(0) << day(0) << total << l.account << l.detail << l.amount
                  << l.side << l.currency << l.rate << l.own << l.number
                  << (*l.number ? "30-70845123-9" : "");
            if (l.bank)
                entry << l.bank;
            else
                entry << nullptr;
            if (l.dueInDays)
                entry << day(l.dueInDays);
            else
                entry << nullptr;
            entry << l.coupon;
            if (l.member)
                entry << l.member;
            else
                entry << nullptr;
            entry << l.instalments;
            entry.done();
        }
    }

    SqliteFile& m_file;
};

} // namespace

void write(SqliteFile& file)
{
    Receipts(file).write();
}

} // namespace DemoReceipts
