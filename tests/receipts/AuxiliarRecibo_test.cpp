#include "receipts/AuxiliarRecibo.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include "ReciboPrueba.h"
#include "support/BloqueoPrueba.h"
#include "support/QtPrinters.h"
#include "platform/ErrorLog.h"
#include "platform/Environment.h"
#include "support/FakeAdoProvider.h"
#include "support/FakeDialogs.h"
#include "support/ServidorGuion.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

namespace {

struct Documento
{
    const char* tco;
    const char* id;
    const char* importe;
};

struct Linea
{
    const char* cuenta;
    const char* importe;
    const char* debeHaber;
};

using AuxiliarRecibo = ReciboPrueba;

} // namespace

TEST_F(AuxiliarRecibo, body_pairs_documents_with_printed_lines_the_longer_list_leading)
{
    struct Caso
    {
        const char* nombre;
        QList<Documento> documentos;
        QList<Linea> lineas;
        QStringList esperado; // COLUMNA2|COLUMNA3|COLUMNA4|COLUMNA8
    };
    const QList<Caso> casos = {
        { "two documents, five media: rows 3 to 5 carry only a medium",
            { { "FC", "099900000011A", "100" }, { "FC", "099900000012A", "200" } },
            { { "1.1.01", "10", "D" }, { "1.1.02", "20", "D" }, { "1.1.03", "30", "D" },
                { "1.1.04", "40", "D" }, { "1.1.06", "50", "D" } },
            { "FC-099900000011A|100,00|Caja|10,00",
                "FC-099900000012A|200,00|Valores a depositar|20,00", "||Banco Central|30,00",
                "||Tarjeta Visa(Propio)|40,00", "||Debito bancario|50,00" } },
        { "four documents, one medium: rows 2 to 4 carry only a document",
            { { "FC", "099900000011A", "1" }, { "FC", "099900000012A", "2" },
                { "FC", "099900000013A", "3" }, { "ND", "099900000014A", "4" } },
            { { "1.1.01", "10", "D" } },
            { "FC-099900000011A|1,00|Caja|10,00", "FC-099900000012A|2,00||",
                "FC-099900000013A|3,00||", "ND-099900000014A|4,00||" } },
        { "a tie leads with the documents",
            { { "FC", "099900000011A", "1" }, { "FC", "099900000012A", "2" } },
            { { "1.1.01", "10", "D" }, { "C001", "12", "H" } },
            { "FC-099900000011A|1,00|Caja|10,00", "FC-099900000012A|2,00||" } },
        { "the holder's line first is skipped and the pairing shifts",
            { { "FC", "099900000011A", "1" }, { "FC", "099900000012A", "2" } },
            { { "C001", "30", "H" }, { "1.1.01", "10", "D" }, { "1.1.02", "20", "D" } },
            { "FC-099900000011A|1,00|Caja|10,00",
                "FC-099900000012A|2,00|Valores a depositar|20,00" } },
        { "the last line is no medium: the last row keeps only its keys",
            { { "FC", "099900000011A", "1" } },
            { { "1.1.01", "10", "D" }, { "1.1.02", "20", "D" }, { "C001", "30", "H" } },
            { "FC-099900000011A|1,00|Caja|10,00", "||Valores a depositar|20,00", "|||" } },
        { "a line without an account is skipped, not totalled as a withholding",
            { { "FC", "099900000011A", "1" } }, { { "", "5", "D" }, { "1.1.01", "10", "D" } },
            { "FC-099900000011A|1,00|Caja|10,00" } },
        { "a withholding keeps its row with the right half empty",
            { { "FC", "099900000011A", "1" } }, { { "2.1.01", "3", "D" }, { "1.1.01", "10", "D" } },
            { "FC-099900000011A|1,00||", "||Caja|10,00" } },
        { "one document applied twice prints once with the summed amount",
            { { "FC", "099900000011A", "100" }, { "FC", "099900000011A", "23.5" } },
            { { "1.1.01", "10", "D" } }, { "FC-099900000011A|123,50|Caja|10,00" } },
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        exec(QStringLiteral("DELETE FROM MV_APLICACION"));
        exec(QStringLiteral("DELETE FROM MV_ASIENTOS"));
        for (const Documento& d : caso.documentos)
            aplica(QStringLiteral("CB"), QLatin1String(d.tco), QLatin1String(d.id),
                QLatin1String(d.importe));
        for (const Linea& l : caso.lineas)
            asiento(QStringLiteral("CB"), QString::fromUtf8(l.cuenta), QLatin1String(l.importe),
                QLatin1String(l.debeHaber));

        QStringList formulas;
        EXPECT_TRUE(genera(QStringLiteral("CB"), formulas, QStringLiteral("C001")));

        EXPECT_EQ(filas({ "COLUMNA2", "COLUMNA3", "COLUMNA4", "COLUMNA8" }), caso.esperado);
    }
}

TEST_F(AuxiliarRecibo, document_date_and_amount_come_from_the_table_the_leading_list_chooses)
{
    // FCC is a purchase document of the demo's voucher types.
    documento(QStringLiteral("C_MV_CPTE"), QStringLiteral("FCC"), QStringLiteral("099900000055B"),
        QStringLiteral("2024-02-10"), QStringLiteral("1500"));
    exec(QStringLiteral("INSERT INTO MV_ASIENTOS (TC, SUCURSAL, NUMERO, LETRA, FECHA, "
                        "FECHASUBDIARIO, CABIMPORTE, CUENTA, Importe) VALUES ('FCC', '0999', "
                        "'00000055', 'B', '2024-02-01', '2024-02-05', 1499, 'C001', 0)"));
    exec(QStringLiteral("INSERT INTO VE_SALDOAPLICACION (TCO_ORIGEN, SUCURSAL_ORIGEN, "
                        "NUMERO_ORIGEN, LETRA_ORIGEN, CUENTA, SALDO) VALUES ('FCC', '0999', "
                        "'00000055', 'B', 'C001', 250)"));
    aplica(QStringLiteral("OPG"), QStringLiteral("FCC"), QStringLiteral("099900000055B"),
        QStringLiteral("1250"));
    asiento(QStringLiteral("OPG"), QStringLiteral("1.1.01"), QStringLiteral("1250"),
        QStringLiteral("H"));
    const QStringList columnas { "COLUMNA1", "COLUMNA9", "COLUMNA11" };

    genera(QStringLiteral("OPG"));
    const QStringList documentosLideran = filas(columnas);
    asiento(
        QStringLiteral("OPG"), QStringLiteral("1.1.02"), QStringLiteral("1"), QStringLiteral("H"));
    genera(QStringLiteral("OPG"));
    const QStringList asientosLideran = filas(columnas);

    EXPECT_EQ(documentosLideran.value(0), QStringLiteral("10/02/2024|1500,00|250,00"));
    // Journal lines leading look in the sales headers, then in the journal's own header columns.
    EXPECT_EQ(asientosLideran.value(0), QStringLiteral("05/02/2024|1499,00|250,00"));
}

TEST_F(AuxiliarRecibo, a_document_without_balance_row_shows_zero)
{
    documento(QStringLiteral("V_MV_CPTE"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("2024-03-01"), QStringLiteral("80"));
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("80"));

    genera(QStringLiteral("CB"));

    EXPECT_EQ(filas({ "COLUMNA1", "COLUMNA9", "COLUMNA11" }),
        QStringList { QStringLiteral("01/03/2024|80,00|0") });
}

// An applied amount money cannot hold, or a text that is no amount, stops the receipt and the
// payment order naming the voucher, the field and the document, and leaves nothing to print
// (an engine's sum would take the text as 0). The largest amount money holds, stored as a
// number, prints whole.
TEST_F(AuxiliarRecibo, an_applied_amount_that_is_no_amount_stops_the_receipt)
{
    const struct
    {
        const char* tc;
        const char* importe; // as an SQL literal
        const char* motivo; // the end of the message; nullptr: the receipt is written
        const char* aplicado = nullptr;
    } casos[] = {
        { "CB", "1234.5", nullptr, "1234,50" },
        { "CB", "922337203685477.58", nullptr, "922337203685477,58" },
        // A sum of texts would read 1234.
        { "CB", "'1234,5'", "'1234,5' no es un importe" },
        { "CB", "1e15",
            "Desbordamiento: el importe 1000000000000000 excede el rango de la moneda" },
        { "OPG", "-1e15",
            "Desbordamiento: el importe -1000000000000000 excede el rango de la "
            "moneda" },
        { "CB", "9e999", "Desbordamiento: el importe inf excede el rango de la moneda" },
        // The money column keeps a text that reads as a number as that number.
        { "CB", "'1e15'",
            "Desbordamiento: el importe 1000000000000000 excede el rango de la moneda" },
        { "PG", "'NaN'", "'NaN' no es un importe" },
        { "CB", "'abc'", "'abc' no es un importe" },
        { "CB", "''", "'' no es un importe" },
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.importe);
        exec(QStringLiteral("DELETE FROM MV_APLICACION"));
        exec(QStringLiteral("DELETE FROM MV_ASIENTOS"));
        aplica(QLatin1String(c.tc), QStringLiteral("FC"), QStringLiteral("099900000011A"),
            QLatin1String(c.importe));
        asiento(QLatin1String(c.tc), QStringLiteral("1.1.01"), QStringLiteral("10"),
            QStringLiteral("D"));
        QStringList formulas;
        InformeRecibo informe;

        const bool escrito = genera(QLatin1String(c.tc), formulas, QString(), 1, -1, &informe);

        if (!c.motivo) {
            EXPECT_TRUE(escrito);
            EXPECT_EQ(filas({ "COLUMNA3" }).value(0), QLatin1String(c.aplicado));
            continue;
        }
        EXPECT_FALSE(escrito);
        EXPECT_EQ(informe.importeInvalido,
            QStringLiteral("No se imprimió el comprobante %1 000100000099X: MV_APLICACION.IMPORTE "
                           "de FC 099900000011A: %2")
                .arg(QLatin1String(c.tc), QString::fromUtf8(c.motivo)));
        EXPECT_TRUE(filas({ "TC" }).isEmpty());
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

TEST_F(AuxiliarRecibo, media_columns_by_kind_and_leading_list_under_both_separators)
{
    struct Caso
    {
        const char* nombre;
        const char* tc;
        bool documentoDelante; // one applied document: the documents lead
        Linea linea;
        QStringList extra;
        const char* esperado; // COLUMNA4|5|6|7|8|10|12|13, written with ","
    };
    const QList<Caso> casos = {
        { "cash on the credit side of a collection is negated", "CB", true,
            { "1.1.01", "150", "H" }, { "Moneda='1'" }, "Caja||||-150,00|1|1|" },
        { "CBCT never negates", "CBCT", true, { "1.1.01", "150", "H" }, { "Moneda='1'" },
            "Caja||||150,00|1|1|" },
        { "a payment's debit cash line is negated when the documents lead", "PG", true,
            { "1.1.01", "80", "D" }, { "Moneda='1'" }, "Caja||||-80,00|1|1|" },
        { "and kept when the lines lead", "PG", false, { "1.1.01", "80", "D" }, { "Moneda='1'" },
            "Caja||||80,00|1|1|80" },
        { "foreign cash with the lines leading shows rate and quantity", "CB", false,
            { "1.1.01", "35000", "D" }, { "Moneda='2'", "Cotizacion=350" },
            "Caja||Cotiz: 350 Cant: 100||35000,00|2|350|100" },
        { "foreign cash with the documents leading does not", "CB", true,
            { "1.1.01", "35000", "D" }, { "Moneda='2'", "Cotizacion=350" },
            "Caja||||35000,00|2|350|" },
        { "a rate of 0 divides nothing", "CB", false, { "1.1.01", "35000", "D" },
            { "Moneda='2'", "Cotizacion=0" }, "Caja||Cotiz:  Cant: ||35000,00|2||" },
        { "a quotient keeps its decimals with the workstation's separator", "CB", false,
            { "1.1.05", "1000", "D" }, { "Moneda='2'", "Cotizacion=312.5" },
            "Caja dolares||Cotiz: 312,5 Cant: 3,2||1000,00|2|312,5|3,2" },
        { "own cheque with the drawer's identification", "CB", true, { "1.1.02", "500", "H" },
            { "ChPropio=1", "NROCOMPROBANTEBANCARIO='ab-12'", "tj_observaciones=' 20-12345678/9 '",
                "IdBanco='7'", "vencimiento='2024-04-30'" },
            "Valores a depositar(Propio)|AB-12 (20123456789)|7-Banco Siete|30/04/2024|500,00|   "
            "1||" },
        { "a cheque without bank or due date", "CB", true, { "1.1.02", "500", "H" },
            { "NROCOMPROBANTEBANCARIO='77'" }, "Valores a depositar|77|-||500,00|   1||" },
        { "a bank account prints as a cheque", "PG", true, { "1.1.03", "90", "D" },
            { "NROCOMPROBANTEBANCARIO='T1'", "IdBanco='7'" },
            "Banco Central|T1|7-Banco Siete||90,00|   1||" },
        { "a bank debit prints as a cheque", "PG", false, { "1.1.06", "60", "D" },
            { "NROCOMPROBANTEBANCARIO='DB9'", "Moneda='2'" },
            "Debito bancario|DB9|-||60,00|   1||" },
        { "card with coupon, member and instalments", "CB", true, { "1.1.04", "1200", "H" },
            { "TJ_NroCupon='ab123'", "TJ_NroSocio='4455'", "TJ_cuotas=3", "Moneda='2'" },
            "Tarjeta Visa(Propio)|AB123|Socio: 4455| Nº Cuotas 3|1200,00|   1||" },
        { "a card without member number leaves its label out", "CB", true, { "1.1.04", "10", "D" },
            { "TJ_NroCupon='c1'", "TJ_cuotas=1" },
            "Tarjeta Visa(Propio)|C1|| Nº Cuotas 1|10,00|   1||" },
        { "a DC line in dollars with the lines leading", "CB", false, { "1.1.05", "70000", "D" },
            { "Moneda='2'", "Cotizacion=350" },
            "Caja dolares||Cotiz: 350 Cant: 200||70000,00|2|350|200" },
        { "a DC line on the credit side of a CBFP is negated", "CBFP", true,
            { "1.1.05", "500", "H" }, { "Moneda='1'", "Cotizacion=1" },
            "Caja dolares||||-500,00|1|1|" },
    };
    for (const QLocale& locale : { QLocale(QLocale::Spanish, QLocale::Argentina),
             QLocale(QLocale::English, QLocale::UnitedStates) }) {
        QLocale::setDefault(locale);
        const bool punto = locale.decimalPoint() == QLatin1String(".");
        for (const Caso& caso : casos) {
            SCOPED_TRACE(std::string(caso.nombre) + (punto ? " (.)" : " (,)"));
            exec(QStringLiteral("DELETE FROM MV_APLICACION"));
            exec(QStringLiteral("DELETE FROM MV_ASIENTOS"));
            configura(QStringLiteral("IncluirCuitLibrador"), QStringLiteral("si"));
            if (caso.documentoDelante)
                aplica(QLatin1String(caso.tc), QStringLiteral("FC"),
                    QStringLiteral("099900000011A"), QStringLiteral("1"));
            asiento(QLatin1String(caso.tc), QLatin1String(caso.linea.cuenta),
                QLatin1String(caso.linea.importe), QLatin1String(caso.linea.debeHaber), caso.extra);
            QString esperado = QString::fromUtf8(caso.esperado);
            if (punto)
                esperado.replace(u',', u'.');

            genera(QLatin1String(caso.tc));

            EXPECT_EQ(filas({ "COLUMNA4", "COLUMNA5", "COLUMNA6", "COLUMNA7", "COLUMNA8",
                                "COLUMNA10", "COLUMNA12", "COLUMNA13" })
                          .value(0),
                esperado);
        }
    }
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
}

TEST_F(AuxiliarRecibo, other_vouchers_blank_rows_and_copies_stay_within_this_workstation)
{
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("100"));
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000012A"),
        QStringLiteral("50"));
    notaDeCreditoListada();
    asiento(
        QStringLiteral("CB"), QStringLiteral("1.1.01"), QStringLiteral("120"), QStringLiteral("D"));
    exec(QStringLiteral("INSERT INTO AUX_MV_CPTE (TC, USUARIO, TIPO, IDCOMPROBANTE, COLUMNA4) "
                        "VALUES ('CB', 'OTRO|PUESTO', '1', '%1', 'ajeno')")
             .arg(QLatin1String(Id)));
    exec(QStringLiteral("INSERT INTO AUX_MV_CPTE (TC, USUARIO, TIPO, IDCOMPROBANTE, COLUMNA4) "
                        "VALUES ('FC', '%1', '1', '099900000001A', 'viejo')")
             .arg(QLatin1String(Puesto)));
    QStringList formulas;

    genera(QStringLiteral("CB"), formulas, QString(), 3, 10);

    const QStringList todas
        = filas({ "TIPO", "COLUMNA4", "COLUMNA6", "COLUMNA8", "COLUMNA10", "COLUMNA13" });
    ASSERT_EQ(todas.size(), 30);
    const QStringList primera { "1|Caja||120,00||", "1|||||", "1|||||",
        "1|NC|NC 099900000007A|30,00|   1|", "1|  ||||", "1|  ||||", "1|  ||||", "1|  ||||",
        "1|  ||||", "1|  ||||" };
    for (int copia = 1; copia <= 3; ++copia) {
        QStringList esperado = primera;
        esperado.replaceInStrings(QRegularExpression(QStringLiteral("^1")), QString::number(copia));
        EXPECT_EQ(todas.mid((copia - 1) * 10, 10), esperado) << copia;
    }
    EXPECT_EQ(filas({ "COLUMNA4" }, QStringLiteral("OTRO|PUESTO")), QStringList { "ajeno" });
    // The other voucher counts as a payment medium.
    EXPECT_EQ(formulas.value(5), QStringLiteral("Prm_ImporteMP = '150,00'"));
}

TEST_F(AuxiliarRecibo, formulas_fill_entries_1_to_12_and_keep_entry_0)
{
    struct Caso
    {
        const char* nombre;
        const char* tc;
        QList<Documento> documentos;
        QList<Linea> lineas;
        QStringList esperado; // entries 1..12
    };
    const QList<Caso> casos = {
        { "a collection closes with TOTAL, even when negative", "cbct",
            { { "FC", "099900000011A", "1234.5" } },
            { { "1.1.01", "1000", "D" }, { "2.1.01", "100", "D" }, { "2.1.05", "20", "D" },
                { "2.1.04", "5", "D" }, { "4.1.01", "9.5", "D" } },
            { "Prm_ImporteCpte = '0,00'", "Prm_ImporteAplicado = '1234.50'",
                "Prm_ImporteSaldo = '0,00'", "Prm_ImporteEnLetras = 'Mil Pesos Con 00/100'",
                "Prm_ImporteMP = '1.000,00'", "Prm_RetGanancias = '0,00'", "Prm_RetIVA = '105,00'",
                "Prm_RetIBrtos = '0,00'", "Prm_RetSUSS = '20,00'",
                "Prm_DescuentosOtorgados = '9,50'", "Prm_Concepto = 'Cobro de D''Angelo'",
                "TOTAL =  '-100,00'" } },
        { "a payment order paying more than it applies has an advance", "OPG",
            { { "FC", "099900000011A", "100" } }, { { "1.1.01", "250", "H" } },
            { "Prm_ImporteCpte = '0,00'", "Prm_ImporteAplicado = '100.00'",
                "Prm_ImporteSaldo = '0,00'",
                "Prm_ImporteEnLetras = 'Doscientos Cincuenta Pesos Con 00/100'",
                "Prm_ImporteMP = '250,00'", "Prm_RetGanancias = '0,00'", "Prm_RetIVA = '0,00'",
                "Prm_RetIBrtos = '0,00'", "Prm_RetSUSS = '0,00'",
                "Prm_DescuentosOtorgados = '0,00'", "Prm_Concepto = ''", "Anticipo =  '150,00'" } },
        { "one paying less has none", "PG", { { "FC", "099900000011A", "100" } },
            { { "1.1.01", "60", "H" } },
            { "Prm_ImporteCpte = '0,00'", "Prm_ImporteAplicado = '100.00'",
                "Prm_ImporteSaldo = '0,00'", "Prm_ImporteEnLetras = 'Sesenta Pesos Con 00/100'",
                "Prm_ImporteMP = '60,00'", "Prm_RetGanancias = '0,00'", "Prm_RetIVA = '0,00'",
                "Prm_RetIBrtos = '0,00'", "Prm_RetSUSS = '0,00'",
                "Prm_DescuentosOtorgados = '0,00'", "Prm_Concepto = ''", "Anticipo =  '0'" } },
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        exec(QStringLiteral("DELETE FROM MV_APLICACION"));
        exec(QStringLiteral("DELETE FROM MV_ASIENTOS"));
        for (const Documento& d : caso.documentos)
            aplica(QLatin1String(caso.tc), QLatin1String(d.tco), QLatin1String(d.id),
                QLatin1String(d.importe));
        bool primera = true;
        for (const Linea& l : caso.lineas) {
            // The concept is the first text among the lines, whatever their kind.
            asiento(QLatin1String(caso.tc), QLatin1String(l.cuenta), QLatin1String(l.importe),
                QLatin1String(l.debeHaber),
                { primera ? QStringLiteral("Detalle=''")
                          : QStringLiteral("Detalle=' Cobro de D''Angelo '") });
            primera = false;
        }
        QStringList formulas(21, QStringLiteral("x"));
        formulas[0] = QStringLiteral("propia = 'si'");

        genera(QLatin1String(caso.tc), formulas);

        EXPECT_EQ(formulas.value(0), QStringLiteral("propia = 'si'"));
        EXPECT_EQ(formulas.mid(1), caso.esperado);
    }
}

TEST_F(AuxiliarRecibo, a_receipt_without_lines_takes_its_withholdings_from_the_header)
{
    exec(QStringLiteral("INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, RetGan_Importe, "
                        "RetIVA_importe, RETIBR_Importe, ImpDescuento1, retsuss_importe) VALUES "
                        "('CB', '%1', 1, 2, 3, 4, 5)")
             .arg(QLatin1String(Id)));
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("15"));
    QStringList formulas;

    genera(QStringLiteral("CB"), formulas);

    EXPECT_EQ(formulas.mid(6, 5),
        (QStringList { "Prm_RetGanancias = '1,00'", "Prm_RetIVA = '2,00'", "Prm_RetIBrtos = '3,00'",
            "Prm_RetSUSS = '5,00'", "Prm_DescuentosOtorgados = '4,00'" }));
}

TEST_F(AuxiliarRecibo, a_receipt_with_nothing_to_print_clears_the_buffer_and_says_so)
{
    exec(QStringLiteral("INSERT INTO AUX_MV_CPTE (TC, USUARIO, IDCOMPROBANTE) VALUES ('FC', "
                        "'%1', 'x')")
             .arg(QLatin1String(Puesto)));
    QStringList formulas { QStringLiteral("a") };
    InformeRecibo informe;

    EXPECT_TRUE(genera(QStringLiteral("CB"), formulas, QString(), 2, 10, &informe));

    EXPECT_TRUE(informe.sinMovimientos);
    EXPECT_TRUE(filas({ "TC" }).isEmpty());
    EXPECT_EQ(formulas, QStringList { QStringLiteral("a") });
}

TEST_F(AuxiliarRecibo, a_rejected_statement_is_passed_over_with_a_log_line)
{
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("15"));
    exec(QStringLiteral("ALTER TABLE VE_SALDOAPLICACION RENAME COLUMN SALDO TO OTRO"));
    InformeRecibo informe;
    QStringList formulas;

    EXPECT_TRUE(genera(QStringLiteral("CB"), formulas, QString(), 1, -1, &informe));

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_EQ(filas({ "COLUMNA3", "COLUMNA11" }), QStringList { QStringLiteral("15,00|") });
    EXPECT_EQ(informe.erroresOmitidos.size(), 1);
    const QByteArray log = testsupport::readFile(
        QDir(temporaryFolder()).filePath(QString::fromLatin1(ErrorLog::FileName)));
    EXPECT_TRUE(log.contains("GeneraAuxiliarRecibo_PagoCobranza")) << log.toStdString();
    EXPECT_EQ(formulas.size(), 13);
}

TEST_F(AuxiliarRecibo, other_errors_are_answered_by_the_operator)
{
    struct Caso
    {
        const char* nombre;
        QList<int> respuestas;
        bool completo;
        int filasEsperadas;
        int formulasEsperadas;
    };
    const QList<Caso> casos = {
        { "ignore goes on with the next blank row", { Msg::Ignore, Msg::Ignore }, true, 2, 13 },
        { "retry runs the same insert again, abort leaves", { Msg::Retry, Msg::Abort }, false, 2,
            0 },
    };
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("15"));
    // The second blank row and every later one break a unique key.
    exec(QStringLiteral("CREATE UNIQUE INDEX UX_BLANCOS ON AUX_MV_CPTE (USUARIO, COLUMNA4)"));
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        testsupport::messages().clear();
        for (int respuesta : caso.respuestas)
            testsupport::messages().answer(respuesta);
        QStringList formulas;

        EXPECT_EQ(genera(QStringLiteral("CB"), formulas, QString(), 1, 4), caso.completo);

        EXPECT_EQ(testsupport::messages().shown().size(), caso.respuestas.size());
        EXPECT_TRUE(testsupport::messages().shown().value(0).title.contains(
            QStringLiteral("GeneraAuxiliarRecibo_PagoCobranza")));
        EXPECT_EQ(filas({ "TC" }).size(), caso.filasEsperadas);
        EXPECT_EQ(formulas.size(), caso.formulasEsperadas);
    }
}

// The receipt's own applications are left out of the other vouchers whatever the letter case of
// its type, as the suite's server compares.
TEST_F(AuxiliarRecibo, the_type_in_any_letter_case_leaves_out_the_receipts_own_applications)
{
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("100"));
    asiento(
        QStringLiteral("CB"), QStringLiteral("1.1.01"), QStringLiteral("100"), QStringLiteral("D"));
    for (const char* tc : { "cb", "Cb", "CB" }) {
        SCOPED_TRACE(tc);
        QStringList formulas;

        ASSERT_TRUE(genera(QLatin1String(tc), formulas));

        EXPECT_EQ(formulas.value(5), QStringLiteral("Prm_ImporteMP = '100,00'"));
        EXPECT_EQ(formulas.value(12), QStringLiteral("TOTAL =  '0,00'"));
    }
}

// Retry runs again only the statement that failed: the other voucher is stored once and its
// amount counted once.
TEST_F(AuxiliarRecibo, retry_stores_the_failed_row_once_and_counts_its_amount_once)
{
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("100"));
    notaDeCreditoListada();
    asiento(
        QStringLiteral("CB"), QStringLiteral("1.1.01"), QStringLiteral("70"), QStringLiteral("D"));
    // The other voucher's row is refused until the operator answers.
    exec(QStringLiteral("CREATE TABLE RECHAZO (X int)"));
    exec(QStringLiteral("INSERT INTO RECHAZO (X) VALUES (1)"));
    {
        QSqlDatabase directa
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("disparador"));
        directa.setDatabaseName(m_file);
        ASSERT_TRUE(directa.open());
        ASSERT_TRUE(QSqlQuery(directa).exec(QStringLiteral(
            "CREATE TRIGGER rechaza BEFORE INSERT ON AUX_MV_CPTE WHEN NEW.COLUMNA4 = 'NC' AND "
            "EXISTS (SELECT 1 FROM RECHAZO) BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("disparador"));
    testsupport::messages().answer(Msg::Retry);
    testsupport::messages().onShow = [&] { exec(QStringLiteral("DELETE FROM RECHAZO")); };
    QStringList formulas;

    EXPECT_TRUE(genera(QStringLiteral("CB"), formulas));

    testsupport::messages().onShow = nullptr;
    EXPECT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(filas({ "COLUMNA4", "COLUMNA8" }).filter(QStringLiteral("NC|")),
        QStringList { QStringLiteral("NC|30,00") });
    EXPECT_EQ(formulas.value(5), QStringLiteral("Prm_ImporteMP = '100,00'"));
}

TEST_F(AuxiliarRecibo, a_database_another_process_holds_stops_the_run_at_the_first_wait)
{
    aplica(QStringLiteral("CB"), QStringLiteral("FC"), QStringLiteral("099900000011A"),
        QStringLiteral("100"));
    asiento(
        QStringLiteral("CB"), QStringLiteral("1.1.01"), QStringLiteral("100"), QStringLiteral("D"));
    QStringList formulas;
    ASSERT_TRUE(genera(QStringLiteral("CB"), formulas));
    const QStringList antes = filas({ "TIPO", "COLUMNA2", "COLUMNA3" });
    testsupport::EsperaCorta espera(m_dir.path(), m_file);
    testsupport::messages().clear();
    InformeRecibo informe;
    {
        const testsupport::OtroProceso otro(m_file, "BEGIN IMMEDIATE");
        ASSERT_TRUE(otro.holds());

        EXPECT_FALSE(genera(QStringLiteral("CB"), formulas, QString(), 2, 10, &informe));
    }
    EXPECT_EQ(informe.bloqueo,
        QStringLiteral("La base de datos %1 está bloqueada por otro proceso: se esperó 30 s y no "
                       "se liberó.")
            .arg(m_file));
    // Waited once, asked nobody, passed nothing over, kept the earlier rows.
    EXPECT_EQ(espera.objects.gDB.gCnn().timeoutCount(), 1);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_TRUE(informe.erroresOmitidos.isEmpty())
        << informe.erroresOmitidos.join(u'\n').toStdString();
    EXPECT_EQ(filas({ "TIPO", "COLUMNA2", "COLUMNA3" }), antes);
}

namespace {

// The buffer on the scripted connection, which answers as the suite's server does: a receipt
// applied to two documents, so its body is two rows.
class AuxiliarReciboGuion : public ::testing::Test
{
protected:
    using Conexion = testsupport::FakeAdoConnection;

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QList<AdoColumn> buffer;
        for (const char* c : { "ID", "USUARIO", "TC", "IDCOMPROBANTE", "IDCOMPLEMENTO", "TIPO" })
            buffer.append({ QString::fromLatin1(c), adVarChar, 50 });
        for (int i = 1; i <= 13; ++i)
            buffer.append({ QStringLiteral("COLUMNA%1").arg(i), adVarChar, 100 });
        cnn().script(QStringLiteral("SELECT TOP 1 * FROM AUX_MV_CPTE"),
            { buffer, {}, 0, QStringLiteral("AUX_MV_CPTE") });
        QList<AdoColumn> aplicaciones;
        for (const char* c : { "CUENTA", "TCO_ORIGEN", "IDCOMPROBANTE_ORIGEN", "TC_PRINT",
                 "IDCOMPROBANTE_PRINT", "SUCURSAL_ORIGEN", "NUMERO_ORIGEN", "LETRA_ORIGEN" })
            aplicaciones.append({ QString::fromLatin1(c), adVarChar, 20 });
        aplicaciones.append({ QStringLiteral("IMPORTE"), adCurrency, 8 });
        const auto aplicacion = [](const char* numero, int importe) {
            const QString n = QString::fromLatin1(numero);
            return QList<Value> { Value(QStringLiteral("C001")), Value(QStringLiteral("FC")),
                Value(QStringLiteral("0999") + n + u'A'), Value(QStringLiteral("CB  ")),
                Value(QStringLiteral("000100000099X")), Value(QStringLiteral("0999")), Value(n),
                Value(QStringLiteral("A")), Value(Currency::fromInteger(importe)) };
        };
        cnn().script(QStringLiteral("GROUP BY CUENTA, TCO_ORIGEN"),
            { aplicaciones, { aplicacion("00000011", 100), aplicacion("00000012", 50) } });
        m_servidor.globales.gCantidadDecimales = QStringLiteral("2");
    }

    Conexion& cnn() { return m_servidor.cnn(); }

    QTemporaryDir m_dir;
    testsupport::ServidorGuion m_servidor { m_dir.path() };
};

// On a server another session may hold a row the buffer needs after some of the receipt's rows
// went in: those rows go back with the rest, and nobody is asked.
TEST_F(AuxiliarReciboGuion, a_lock_met_after_the_first_rows_rolls_them_back)
{
    int filas = 0;
    cnn().onCommand = [&](const QString& linea) {
        if (linea.startsWith(QLatin1String("Insert AUX_MV_CPTE")) && ++filas == 2)
            cnn().failNext(Conexion::Command::Write, { Conexion::lockTimeout() });
    };
    InformeRecibo informe;
    QStringList formulas;

    EXPECT_FALSE(GeneraAuxiliarRecibo_PagoCobranza(QStringLiteral("CB"), QStringLiteral("0001"),
        QStringLiteral("00000099"), QStringLiteral("X"), QString(), formulas, 1, -1, &informe));

    cnn().onCommand = nullptr;
    QStringList transaccion = cnn().log();
    transaccion.erase(transaccion.begin(),
        std::find(transaccion.begin(), transaccion.end(), QStringLiteral("BeginTrans")));
    transaccion = transaccion.filter(QRegularExpression(QStringLiteral("^(Insert|\\w+Trans)")));
    ASSERT_EQ(transaccion.size(), 4) << transaccion.join(u'\n').toStdString();
    EXPECT_EQ(transaccion[0], QStringLiteral("BeginTrans"));
    EXPECT_TRUE(transaccion[1].contains(QLatin1String("COLUMNA2=FC-099900000011A")));
    EXPECT_TRUE(transaccion[2].contains(QLatin1String("COLUMNA2=FC-099900000012A")));
    EXPECT_EQ(transaccion[3], QStringLiteral("RollbackTrans"));
    EXPECT_TRUE(informe.bloqueo.startsWith(QLatin1String("La base de datos")))
        << informe.bloqueo.toStdString();
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

} // namespace
