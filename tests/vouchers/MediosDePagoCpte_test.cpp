#include "vouchers/MediosDePagoCpte.h"

#include <gtest/gtest.h>

#include "support/DemoDatabaseTest.h"
#include "support/QtPrinters.h"

using namespace ImpresionCpte;

namespace {

class MediosDePagoCpteTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        const char* cuentas[]
            = { "('9EF1', 'Caja Mostrador', 'EF')", "('9EF2', 'Caja Fuerte', 'EF')",
                  "('9TJ1', 'Tarjeta Visa', 'TJ')", "('9CH1', 'Cheques de terceros', 'CH')",
                  "('9DC1', 'Débito', 'DC')", "('9RI1', 'Retención IVA', 'RI')" };
        for (const char* cuenta : cuentas)
            exec(QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, Descripcion, MedioDePago) VALUES ")
                + QLatin1String(cuenta));
    }

    // A receipt of type `tipo` applied to invoice 0009 00000077 A, with its journal lines
    // ("account amount side", the amount "NULL" for none).
    void recibo(const char* tipo, std::initializer_list<const char*> lineas)
    {
        exec(QStringLiteral("DELETE FROM MV_APLICACION WHERE NUMERO_ORIGEN = '00000077'"));
        exec(QStringLiteral("DELETE FROM MV_ASIENTOS WHERE SUCURSAL = '0009'"));
        exec(QStringLiteral("INSERT INTO MV_APLICACION (TC, Sucursal, Numero, Letra, "
                            "SUCURSAL_ORIGEN, NUMERO_ORIGEN, LETRA_ORIGEN) VALUES ('%1', '0009', "
                            "'00000500', 'X', '0009', '00000077', 'A')")
                 .arg(QLatin1String(tipo)));
        for (const char* linea : lineas) {
            const QStringList partes = QString::fromUtf8(linea).split(u' ');
            exec(QStringLiteral("INSERT INTO MV_ASIENTOS (TC, SUCURSAL, NUMERO, LETRA, CUENTA, "
                                "Importe, [DEBE-HABER]) VALUES ('%1', '0009', '00000500', 'X', "
                                "'%2', %3, '%4')")
                     .arg(QLatin1String(tipo), partes[0], partes[1], partes[2]));
        }
    }
};

TEST_F(MediosDePagoCpteTest, totals_the_receipt_lines_by_payment_medium)
{
    const struct
    {
        const char* tc;
        const char* tipoRecibo;
        std::initializer_list<const char*> lineas;
        // "cash|card|other|cheque", each "label=total"
        const char* esperado;
    } filas[] = {
        { "FC", "CBCT", { "9EF1 100.5 D", "9EF1 20 D" }, "Caja Mostrador=120.5|=0|=0|=0" },
        { "FC", "CBCT", { "9EF1 100 D", "9EF2 50 D" }, "EFECTIVO=150|=0|=0|=0" },
        // A, B, A again: the first account's name comes back.
        { "FC", "CBCT", { "9EF1 1 D", "9EF2 1 D", "9EF1 1 D" }, "Caja Mostrador=3|=0|=0|=0" },
        { "FC", "CBCT", { "9TJ1 300 H", "9TJ1 50 d" }, "=0|Tarjeta Visa=-250|=0|=0" },
        { "FC", "CBCT", { "9DC1 10 D", "9RI1 5 D" }, "=0|=0|OTROS=15|=0" },
        { "FC", "CBCT", { "9CH1 999.99 D" }, "=0|=0|=0|Cheques de terceros=999.99" },
        // A line with no amount counts as 0.
        { "FC", "CBCT", { "9CH1 NULL D" }, "=0|=0|=0|Cheques de terceros=0" },
        // A proforma is paid by CBFP receipts, an invoice by CBCT ones only.
        { "FP", "CBFP", { "9EF1 7 D" }, "Caja Mostrador=7|=0|=0|=0" },
        { "FP", "CBCT", { "9EF1 7 D" }, "=0|=0|=0|=0" },
        { "FC", "CB", { "9EF1 7 D" }, "=0|=0|=0|=0" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(std::string(f.tc) + " " + f.tipoRecibo + " " + f.esperado);
        recibo(f.tipoRecibo, f.lineas);

        const MediosDePago m
            = ObtieneMediosDePagoCpte(QString::fromLatin1(f.tc), QStringLiteral("000900000077A"));

        const auto par = [](const QString& etiqueta, Currency total) {
            return etiqueta + u'=' + total.toString();
        };
        EXPECT_EQ(
            QStringList({ par(m.DescEfectivo, m.TotalEfectivo), par(m.DescTarjeta, m.TotalTarjeta),
                            par(m.DescOtros, m.TotalOtros), par(m.DescCheque, m.TotalCheque) })
                .join(u'|'),
            QString::fromUtf8(f.esperado));
    }
}

} // namespace
