#include "receipts/AuxiliarRecibo.h"

#include <QProcess>
#include <QRegularExpression>

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

// The words of a PDF with their boxes, as pdftotext -bbox finds them.
struct Palabra
{
    QString texto;
    double x0, y0, x1, y1;
};

std::vector<Palabra> palabras(const QString& pdf)
{
    QProcess herramienta;
    herramienta.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    herramienta.waitForFinished(60000);
    const QString html = QString::fromUtf8(herramienta.readAllStandardOutput());
    static const QRegularExpression palabra(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Palabra> lista;
    for (auto it = palabra.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        lista.push_back({ m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
            m.captured(3).toDouble(), m.captured(4).toDouble() });
    }
    return lista;
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

// Amounts up to 999.999.999,99 print whole in every amount column of the payment-order and the
// receipt forms, each apart from its neighbours.
TEST_F(ReciboImpreso, amounts_of_nine_hundred_million_print_whole_in_their_columns)
{
    // The documents' totals come from their journal entries.
    exec(QStringLiteral("UPDATE MV_ASIENTOS SET CABIMPORTE = CASE NUMERO WHEN '00007001' THEN "
                        "999999999.99 ELSE 2044444 END WHERE TC = 'FCC' AND NUMERO IN "
                        "('00007001', '00007002')"));
    exec(QStringLiteral("UPDATE MV_APLICACION SET IMPORTE = CASE IDCOMPROBANTE_ORIGEN WHEN "
                        "'000300007001A' THEN 999999999.99 ELSE 1500000 END WHERE IDCOMPROBANTE = "
                        "'000200000910X'"));
    exec(QStringLiteral("UPDATE VE_SALDOAPLICACION SET SALDO = 999999999.99 WHERE "
                        "NUMERO_ORIGEN = '00007001'"));
    exec(QStringLiteral("UPDATE MV_ASIENTOS SET Importe = 999999999.99 WHERE TC = 'OPG' AND "
                        "NUMERO = '00000910' AND CUENTA IN ('1110301', '1110201')"));

    for (const char* definicion : { "LiqOPG.rpt", "CB.rpt" }) {
        SCOPED_TRACE(definicion);
        const QString texto = imprime(QStringLiteral("OPG"), QStringLiteral("000200000910X"),
            QLatin1String(definicion), 1,
            QStringLiteral("{AUX_MV_CPTE.TC} = 'OPG' AND {AUX_MV_CPTE.IDCOMPROBANTE} = "
                           "'000200000910X' AND {AUX_MV_CPTE.USUARIO} = 'PUESTO01|OPERADOR'"));
        const std::vector<Palabra> lista = palabras(m_pdf);
        const auto cuantas = [&](const QString& t) {
            return std::count_if(
                lista.begin(), lista.end(), [&](const Palabra& p) { return p.texto == t; });
        };
        // The document's total, what is paid of it and its balance; the cheque and the debit;
        // the documents' balance in the totals.
        EXPECT_EQ(cuantas(QStringLiteral("999.999.999,99")), 6) << texto.toStdString();
        EXPECT_EQ(cuantas(QStringLiteral("2.044.444,00")), 1) << texto.toStdString();
        EXPECT_EQ(cuantas(QStringLiteral("1.500.000,00")), 1) << texto.toStdString();
        EXPECT_FALSE(texto.contains(QStringLiteral("...")) || texto.contains(QChar(0x2026)));
        for (std::size_t i = 0; i < lista.size(); ++i)
            for (std::size_t j = i + 1; j < lista.size(); ++j) {
                const Palabra& a = lista[i];
                const Palabra& b = lista[j];
                const bool tocan
                    = a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 - 0.5 && b.y0 < a.y1 - 0.5;
                EXPECT_FALSE(tocan) << a.texto.toStdString() << " / " << b.texto.toStdString();
            }
    }
}
