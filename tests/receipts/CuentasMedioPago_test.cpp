#include "receipts/CuentasMedioPago.h"

#include <gtest/gtest.h>

#include "ReciboPrueba.h"
#include "support/QtPrinters.h"

using namespace CuentasMedioPago;

namespace {

using CuentasMedioPagoTest = ReciboPrueba;

} // namespace

TEST_F(CuentasMedioPagoTest, account_checks_find_by_code_or_alternative_code_and_test_the_medium)
{
    exec(
        QStringLiteral("INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, Descripcion, "
                       "MedioDePago, TipoVista) VALUES ('9.9', 'ALT', ' Cheques x ', 'ch', 'XX')"));
    enum class Chequeo
    {
        Efectivo,
        Cheque,
        Tarjeta,
        Banco,
        DC,
        DB
    };
    struct Caso
    {
        const char* nombre;
        Chequeo chequeo;
        const char* opcional;
        const char* codigo;
        bool acepta;
        const char* descripcion; // "?" untouched
        const char* codigoDevuelto; // for the checks that give it back
    };
    const QList<Caso> casos = {
        { "cash by code", Chequeo::Efectivo, "", "1.1.01", true, "Caja", "" },
        { "withholding media count as cash", Chequeo::Efectivo, "", " 2.1.01 ", true,
            "Retencion IVA", "" },
        { "cash by alternative code", Chequeo::Efectivo, "CJ", "", true, "Caja", "" },
        { "cash falls back from alternative code to code", Chequeo::Efectivo, "1.1.01", "", true,
            "Caja", "" },
        { "a cheque account is no cash but gives its description", Chequeo::Efectivo, "", "9.9",
            false, "Cheques x", "" },
        { "cash with nothing to look up empties the description", Chequeo::Efectivo, "", "", false,
            "", "" },
        { "cheque, medium in any case", Chequeo::Cheque, "", "9.9", true, "Cheques x", "" },
        { "cheque by alternative code has no fallback", Chequeo::Cheque, "1.1.01", "", false, "?",
            "" },
        { "card", Chequeo::Tarjeta, "", "1.1.04", true, "Tarjeta Visa", "" },
        { "bank needs both BC and CH", Chequeo::Banco, "", "1.1.03", true, "Banco Central",
            "1.1.03" },
        { "a cheque account of another kind is no bank", Chequeo::Banco, "ALT", "x", false,
            "Cheques x", "9.9" },
        { "DB by code", Chequeo::DB, "", "1.1.06", true, "Debito bancario", "1.1.06" },
        { "DB with both codes empty looks nothing up", Chequeo::DB, "", "", false, "?", "" },
        { "DC", Chequeo::DC, "", "1.1.05", true, "Caja dolares", "1.1.05" },
        { "an unknown account leaves the outputs alone", Chequeo::DC, "", "nada", false, "?",
            "nada" },
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        QString descripcion = QStringLiteral("?");
        QString codigo = QLatin1String(caso.codigo);
        const QString opcional = QLatin1String(caso.opcional);
        bool acepta = false;
        switch (caso.chequeo) {
        case Chequeo::Efectivo:
            acepta = ValidaCuentaEfectivo(opcional, descripcion, codigo);
            break;
        case Chequeo::Cheque:
            acepta = ValidaCuentaCheque(opcional, descripcion, codigo);
            break;
        case Chequeo::Tarjeta:
            acepta = ValidaCuentaTarjeta(opcional, descripcion, codigo);
            break;
        case Chequeo::Banco:
            acepta = ValidaCuentaBancaria(opcional, codigo, QString(), descripcion);
            break;
        case Chequeo::DC:
            acepta = ValidaCuentaMedioDC(opcional, codigo, QString(), descripcion);
            break;
        case Chequeo::DB:
            acepta = ValidaCuentaMedioDB(opcional, codigo, QString(), descripcion);
            break;
        }

        EXPECT_EQ(acepta, caso.acepta);
        EXPECT_EQ(descripcion, QLatin1String(caso.descripcion));
        if (caso.chequeo == Chequeo::Banco || caso.chequeo == Chequeo::DB
            || caso.chequeo == Chequeo::DC) {
            EXPECT_EQ(codigo, QLatin1String(caso.codigoDevuelto));
        }
    }
}

TEST_F(CuentasMedioPagoTest, withholding_tests_give_back_the_code_of_their_medium_only)
{
    EXPECT_EQ(CuentaRetencionIVA(QStringLiteral("2.1.01")), QStringLiteral("2.1.01"));
    EXPECT_EQ(CuentaRetencionGanancias(QStringLiteral("2.1.02")), QStringLiteral("2.1.02"));
    EXPECT_EQ(CuentaRetencionIBrutos(QStringLiteral("2.1.03")), QStringLiteral("2.1.03"));
    EXPECT_EQ(CuentaRetencionOtras(QStringLiteral("2.1.04")), QStringLiteral("2.1.04"));
    EXPECT_EQ(CuentaRetencionIVA(QStringLiteral("2.1.02")), QString());
    EXPECT_EQ(CuentaRetencionOtras(QString()), QString());
    // An apostrophe in a code is matched as part of the code, not read as the statement's quote.
    EXPECT_EQ(CuentaRetencionIVA(QStringLiteral("2.1'01")), QString());
}

TEST_F(CuentasMedioPagoTest, withholding_and_discount_accounts_by_direction_with_fallbacks)
{
    struct Caso
    {
        const char* nombre;
        const char* fila; // values for the table's 11 columns, or nullptr for an empty table
        bool cobranza;
        const char* esperado; // IVA|IIBB|Ganancias|Descuento
    };
    const QList<Caso> casos = {
        { "collection columns", "'a','b','c','d','e','f','g','h','x','y','z'", true, "a|c|b|d" },
        { "payment columns, never the collection's", "'a','b','c','d','e','f','g','h','x','y','z'",
            false, "e|g|f|h" },
        { "blank columns fall back to the common ones and the setting",
            "' ',NULL,'','  ',' ','','','','x','y','z'", true, "x|z|y|otorgado" },
        { "payments fall back to their own setting", "' ',NULL,'','  ',' ','','','','x','y','z'",
            false, "x|z|y|obtenido" },
        { "an empty table: a collection still gets the discounts it grants", nullptr, true,
            "|||otorgado" },
        { "an empty table for a payment", nullptr, false, "|||obtenido" },
    };
    configura(QStringLiteral("CuentaDesCuentosOtorgados"), QStringLiteral("otorgado"));
    configura(QStringLiteral("CuentaDesCuentosObtenidos"), QStringLiteral("obtenido"));
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        exec(QStringLiteral("DELETE FROM TA_CUENTASIVA"));
        if (caso.fila)
            exec(QStringLiteral("INSERT INTO TA_CUENTASIVA VALUES (%1)")
                     .arg(QLatin1String(caso.fila)));
        QString iva = QStringLiteral("?"), iibb = iva, ganancias = iva, descuento = iva;

        CuentaIVADF(iva, iibb, ganancias, descuento, caso.cobranza);

        EXPECT_EQ(QStringList({ iva, iibb, ganancias, descuento }).join(u'|'),
            QLatin1String(caso.esperado));
    }
}
