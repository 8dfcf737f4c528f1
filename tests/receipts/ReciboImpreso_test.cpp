#include "receipts/AuxiliarRecibo.h"

#include <gtest/gtest.h>

#include "reportengine/PdfTools.h"
#include "reports/DLL_Print.h"
#include "reports/ReportEngineControl.h"
#include "services/Configuracion.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"

// The receipt and payment-order definitions printed to PDF through the report object, as the
// voucher printing hands them the buffer's formulas, on the demo's receipts.
namespace {

class ReciboImpreso : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_globales.gCantidadDecimales = QStringLiteral("2");
        testsupport::messages().clear();
    }

    // Fills the buffer for the demo receipt and prints it with `definicion`; the PDF's text.
    QString imprime(const QString& tc, const QString& id, const QString& definicion, int copias,
        const QString& seleccion)
    {
        QStringList formulas;
        EXPECT_TRUE(GeneraAuxiliarRecibo_PagoCobranza(
            tc, id.left(4), id.mid(4, 8), id.mid(12), QString(), formulas, copias, 10));
        m_pdf = m_dir.filePath(id + QStringLiteral(".pdf"));
        m_reporte.DestinoImpresion(DLL_Print::DestinoArchivo);
        m_reporte.AsignaPropiedad(QStringLiteral("PrintFileName"), m_pdf);
        m_reporte.AsignaPropiedad(QStringLiteral("PrintFileType"), Value(qint32(31)));
        m_reporte.AsignaFormulas(formulas + QStringList { QString() });
        m_reporte.Imprimir(QStringLiteral(RP_SHARE_DIR "/reports/") + definicion, {}, seleccion,
            QStringLiteral("DSN=%1; UID=; PWD=").arg(m_objects.gDB.gDBName));
        m_reporte.FinalizaImpresion(30);
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
        return PdfTools::text(m_pdf);
    }

    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    QString m_pdf;
};

void contiene(const QString& texto, const QStringList& partes)
{
    for (const QString& parte : partes)
        EXPECT_TRUE(texto.contains(parte) || texto.simplified().contains(parte))
            << parte.toStdString() << "\n"
            << texto.toStdString();
}

} // namespace

TEST_F(ReciboImpreso, a_collection_prints_two_copies_to_a_page)
{
    const QString texto = imprime(QStringLiteral("CB"), QStringLiteral("000200000820X"),
        QStringLiteral("CB.rpt"), 2,
        QStringLiteral("{AUX_MV_CPTE.TC} = 'CB' AND {AUX_MV_CPTE.IDCOMPROBANTE} = '000200000820X' "
                       "AND {AUX_MV_CPTE.IDCOMPLEMENTO} = 0 AND {AUX_MV_CPTE.USUARIO} = "
                       "'PUESTO01|OPERADOR'"));

    EXPECT_EQ(PdfTools::pageCount(m_pdf), 1);
    contiene(texto,
        { "RECIBO", "0002-00000820 X", "ORIGINAL", "DUPLICADO", "Municipalidad de Villa Nueva",
            "FC-000300002001A", "121.000,00", "(Propio)", "AB3301", "Socio: 4455", "000300000046",
            "189.500,00", "20.000,00", "Total aplicado 211.500,00", "Recibimos la suma de",
            "Ciento Ochenta Y Nueve Mil Quinientos Pesos", "Cobranza de facturas de noviembre" });
    EXPECT_EQ(texto.count(QStringLiteral("Recibimos la suma de")), 2);
}

TEST_F(ReciboImpreso, a_payment_order_shows_its_withholdings_by_tax_and_the_header_ones)
{
    Configuracion::GrabaDfg(
        QStringLiteral("ImpresionPagosConSubReporte"), Value(QStringLiteral("SI")));

    const QString texto = imprime(QStringLiteral("OPG"), QStringLiteral("000200000910X"),
        QStringLiteral("LiqOPG.rpt"), 1,
        QStringLiteral("{V_MV_CPTE.TC} = 'OPG' AND {V_MV_CPTE.IDCOMPROBANTE} = '000200000910X' "
                       "and {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'"));

    contiene(texto,
        { "ORDEN DE PAGO", "Pagamos a:", "Distribuidora Ferretera del Centro S.A.",
            "FCC-000300007001A", "250.000,00", "(Propio)", "30708451239", "Cant: 50", "8.000,00",
            "13.500,00", "5.000,00", "2.500,00", "Anticipo", "Total pagado 370.000,00",
            "Diferencia 0,00", "Trescientos Cuarenta Y Un Mil Pesos", "Retenciones de la cabecera",
            "Confeccionó" });
}

// A receipt longer than a page repeats its heading on every page and numbers the pages.
TEST_F(ReciboImpreso, a_long_receipt_repeats_its_heading_on_every_page)
{
    const QStringList texto = imprime(QStringLiteral("CB"), QStringLiteral("000200000899X"),
        QStringLiteral("CB.rpt"), 1,
        QStringLiteral("{AUX_MV_CPTE.TC} = 'CB' AND {AUX_MV_CPTE.IDCOMPROBANTE} = '000200000899X' "
                       "AND {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'"))
                                  .split(u'\f', Qt::SkipEmptyParts);

    const int paginas = PdfTools::pageCount(m_pdf);
    ASSERT_GT(paginas, 1);
    ASSERT_EQ(texto.size(), paginas);
    for (int pagina = 1; pagina <= paginas; ++pagina) {
        SCOPED_TRACE(pagina);
        contiene(texto.at(pagina - 1).simplified(),
            { "RECIBO", "Nº 0002-00000899 X", "ORIGINAL", "1120006 - Electricidad Ñandú",
                "Comprobante Total Aplicado Saldo Medio de pago",
                QStringLiteral("Página %1 de %2").arg(pagina).arg(paginas) });
    }
}

// A concept that fills its whole column (100 characters) prints whole, on more lines.
TEST_F(ReciboImpreso, a_concept_of_a_hundred_characters_prints_whole)
{
    QStringList palabras;
    for (int k = 1; k <= 12; ++k)
        palabras << QStringLiteral("cuota%1").arg(k, 2, 10, QLatin1Char('0'));
    palabras << QStringLiteral("fin1");
    const QString concepto = palabras.join(u' ');
    ASSERT_EQ(concepto.size(), 100);
    exec(QStringLiteral("UPDATE MV_ASIENTOS SET Detalle = '%1' WHERE TC = 'CB' AND SUCURSAL = "
                        "'0002' AND NUMERO = '00000820'")
             .arg(concepto));

    const QString texto = imprime(QStringLiteral("CB"), QStringLiteral("000200000820X"),
        QStringLiteral("CB.rpt"), 1,
        QStringLiteral("{AUX_MV_CPTE.TC} = 'CB' AND {AUX_MV_CPTE.IDCOMPROBANTE} = '000200000820X' "
                       "AND {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'"));

    contiene(texto, palabras);
    contiene(texto, { "Firma y aclaración" });
}
