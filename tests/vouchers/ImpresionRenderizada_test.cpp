#include <cmath>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "ImpresionDemo.h"
#include "receipts/ImprimeAsiento.h"
#include "reportengine/PdfTools.h"
#include "reports/ReportEngineControl.h"
#include "support/QtPrinters.h"
#include "vouchers/ImprimirComprobante.h"

namespace {

// Prints of the demo vouchers through the engine and the shipped forms, captured as PDF files.
class ImpresionRenderizadaTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        testsupport::messages().clear();
        const QString reportes = m_dir.filePath(QStringLiteral("reports"));
        QDir().mkpath(reportes);
        for (const char* nombre :
            { "CpteCompras.rpt", "Asientos.rpt", "Asientos_80mm.rpt", "AsientoCCosto.rpt" })
            QFile::copy(QStringLiteral(RP_SHARE_DIR "/reports/") + QLatin1String(nombre),
                reportes + u'/' + QLatin1String(nombre));
        m_reporte.pPathSistema = m_dir.path() + u'/';
        m_globales.gCadenaODBC = QStringLiteral("DSN=%1; UID=; PWD=").arg(m_file);
        m_capturas = m_dir.filePath(QStringLiteral("capturas"));
        QDir().mkpath(m_capturas);
        m_control.capturaEn(m_capturas);
    }

    QString texto(int numero) const
    {
        const QStringList archivos
            = QDir(m_capturas)
                  .entryList({ QStringLiteral("%1-*.pdf").arg(numero, 2, 10, QLatin1Char('0')) });
        return archivos.isEmpty() ? QString()
                                  : PdfTools::text(m_capturas + u'/' + archivos.first());
    }

    // Prints the purchase invoice `id` on every form, as the voucher printing does.
    static void imprimeCompra(const QString& id)
    {
        QString reporte = QStringLiteral("FCC");
        QStringList orden { QString() };
        QString seleccion;
        int destino = DLL_Print::DestinoImpresora;
        QString formulario = QStringLiteral("Todos");
        bool esContable = false;
        ImpresionCpte::ImprimirComprobante(QStringLiteral("FCC"), id, QStringLiteral("0"), reporte,
            orden, seleccion, {}, destino, false, QString(), formulario, esContable, true);
    }

    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    QString m_capturas;
};

TEST_F(ImpresionRenderizadaTest, a_purchase_invoice_shows_supplier_lines_and_total)
{
    imprimeCompra(QStringLiteral("000100005500A"));

    const QString pagina = texto(1);
    const QString pdf = pagina.simplified();
    EXPECT_TRUE(pdf.contains(QStringLiteral("FACTURA DE COMPRA"))) << pdf.toStdString();
    EXPECT_TRUE(pdf.contains(QStringLiteral("Nº 0001-00005500 A")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Ferretería y Almacén El Progreso S.R.L.")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Proveedor: 2110001 - ")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Series: S-1001 S-1002")));
    EXPECT_EQ(pagina.count(QRegularExpression(
                  QStringLiteral("^0000\\d\\d "), QRegularExpression::MultilineOption)),
        3);
    // The voucher's amount is the sum of its lines: 2.997,17 + 11.115,63 + 33.974,59.
    EXPECT_TRUE(pdf.contains(QStringLiteral("TOTAL 48.087,39")));
    EXPECT_EQ(m_control.capturas().size(), 1);
}

// A purchase voucher of many lines: every page carries the voucher, the supplier, the column
// titles and its number of pages; each line prints its quantity and price as stored, so that
// they give its amount, and the TOTAL on the last page is the sum of the lines.
TEST_F(ImpresionRenderizadaTest, a_long_purchase_voucher_heads_every_page_and_adds_up)
{
    qint64 suma = 0;
    for (int k = 1; k <= 150; ++k) {
        // Line 75 is 2,375 KG at 1.493,8333: 3.547,85.
        const double cantidad = k == 75 ? 2.375 : (k % 7) + 0.125 * (k % 5) + 1;
        const double precio = k == 75 ? 1493.8333 : 100 + k + 0.0625 * (k % 3);
        const qint64 centavos = std::llround(cantidad * precio * 100);
        suma += centavos;
        exec(QStringLiteral("INSERT INTO C_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                            "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total) VALUES "
                            "('FCC', '000100005600A', 0, '000001', 'Renglón %1', 'KG', %2, %3, "
                            "%4)")
                 .arg(k)
                 .arg(cantidad, 0, 'f', 3)
                 .arg(precio, 0, 'f', 4)
                 .arg(double(centavos) / 100, 0, 'f', 2));
    }
    exec(QStringLiteral("INSERT INTO C_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,"
                        "IMPORTE) SELECT TC, '000100005600A', 0, FECHA, CUENTA, %1 FROM C_MV_CPTE "
                        "WHERE TC = 'FCC' AND IDCOMPROBANTE = '000100005500A'")
             .arg(double(suma) / 100, 0, 'f', 2));
    imprimeCompra(QStringLiteral("000100005600A"));

    const QStringList paginas = texto(1).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(paginas.size(), 3);
    const auto numero = [](QString t) { return t.remove(u'.').replace(u',', u'.').toDouble(); };
    static const QRegularExpression linea(
        QStringLiteral("^\\s*000001\\s+Renglón (\\d+)\\s+"
                       "([\\d.,]+)\\s+KG\\s+([\\d.,]+)\\s+([\\d.,]+)\\s*$"),
        QRegularExpression::MultilineOption);
    QList<int> renglones;
    qint64 impreso = 0;
    for (int n = 1; n <= paginas.size(); ++n) {
        SCOPED_TRACE(n);
        const QString pagina = paginas.at(n - 1);
        for (const QString& esperado : { QStringLiteral("FACTURA DE COMPRA"),
                 QStringLiteral("Nº 0001-00005600 A"), QStringLiteral("Proveedor: 2110001 - "),
                 QStringLiteral("Código Descripción Cantidad Unidad Precio Total"),
                 QStringLiteral("Página %1 de %2").arg(n).arg(paginas.size()) })
            EXPECT_TRUE(pagina.simplified().contains(esperado)) << esperado.toStdString() << "\n"
                                                                << pagina.toStdString();
        for (auto m = linea.globalMatch(pagina); m.hasNext();) {
            const QRegularExpressionMatch r = m.next();
            renglones << r.captured(1).toInt();
            const qint64 total = std::llround(numero(r.captured(4)) * 100);
            EXPECT_EQ(std::llround(numero(r.captured(2)) * numero(r.captured(3)) * 100), total)
                << r.captured(0).toStdString();
            impreso += total;
        }
    }
    EXPECT_TRUE(
        texto(1).simplified().contains(QStringLiteral("Renglón 75 2,375 KG 1.493,8333 3.547,85")));
    ASSERT_EQ(renglones.size(), 150);
    for (int k = 0; k < 150; ++k)
        EXPECT_EQ(renglones.at(k), k + 1);
    EXPECT_EQ(impreso, suma);
    EXPECT_TRUE(
        paginas.last().simplified().contains(QStringLiteral("TOTAL %1,%2")
                                                 .arg(QLocale(QLocale::German).toString(suma / 100))
                                                 .arg(suma % 100, 2, 10, QLatin1Char('0'))))
        << paginas.last().toStdString();
}

// An entry in each layout: its accounts, the balanced totals, period, month and entry number.
TEST_F(ImpresionRenderizadaTest, an_entry_prints_in_each_layout)
{
    const struct
    {
        bool centroCosto;
        bool en80mm;
        const char* propio;
    } filas[] = {
        { false, false, "Depósito de la recaudación" },
        { false, true, "Asiento contable" },
        { true, false, "Centro de costo ADM - Administración" },
    };
    int numero = 0;
    for (const auto& f : filas) {
        ImpresionAsientos::ImprimeAsiento(QStringLiteral("AS"), QStringLiteral("0002"),
            QStringLiteral("00000001"), QStringLiteral("X"), QStringLiteral("11"),
            QStringLiteral("5002"), QString(), f.centroCosto, true, f.en80mm);

        const QString pdf = texto(++numero).simplified();
        EXPECT_TRUE(pdf.contains(QStringLiteral("Ferretería y Almacén El Progreso S.R.L.")))
            << pdf.toStdString();
        EXPECT_TRUE(pdf.contains(QStringLiteral("Período 2026")));
        EXPECT_TRUE(pdf.contains(QStringLiteral("Asiento Nº 5001")));
        EXPECT_TRUE(pdf.contains(QStringLiteral("Totales 312.750,50 312.750,50")));
        EXPECT_TRUE(pdf.contains(QString::fromUtf8(f.propio)));
    }
}

// An entry longer than a page: every page carries the voucher's line and the column headings
// above its accounts, and its number of pages.
TEST_F(ImpresionRenderizadaTest, a_long_entry_repeats_its_heading_on_every_page)
{
    for (int linea = 0; linea < 61; ++linea)
        exec(QStringLiteral(
            "INSERT INTO MV_ASIENTOS (TC,SUCURSAL,NUMERO,LETRA,[NUMERO ASIENTO],MES_OPERATIVO,"
            "PERIODO,FECHA,FECHASUBDIARIO,CABIMPORTE,CUENTA,Detalle,Importe,[DEBE-HABER]) VALUES "
            "('AS', '0002', '00000001', 'X', 5003, 11, 2026, '2026-11-20 00:00:00', "
            "'2026-11-20 00:00:00', 30000, '%1', 'Renglón %2', %3, '%4')")
                 .arg(linea < 60 ? QStringLiteral("5110100") : QStringLiteral("1110101"))
                 .arg(linea + 1)
                 .arg(linea < 60 ? 500 : 30000)
                 .arg(linea < 60 ? QStringLiteral("D") : QStringLiteral("H")));

    ImpresionAsientos::ImprimeAsiento(QStringLiteral("AS"), QStringLiteral("0002"),
        QStringLiteral("00000001"), QStringLiteral("X"), QStringLiteral("11"),
        QStringLiteral("5003"), QString(), false, true, false);

    const QStringList paginas = texto(1).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(paginas.size(), 2);
    for (int n = 1; n <= paginas.size(); ++n) {
        SCOPED_TRACE(n);
        const QString pagina = paginas.at(n - 1).simplified();
        for (const QString& esperado :
            { QStringLiteral("Asiento contable"), QStringLiteral("Comprobante AS 0002-00000001 X"),
                QStringLiteral("Asiento Nº 5003"),
                QStringLiteral("Cuenta Descripción Detalle Debe Haber"),
                QStringLiteral("Página %1 de %2").arg(n).arg(paginas.size()) })
            EXPECT_TRUE(pagina.contains(esperado)) << esperado.toStdString() << "\n"
                                                   << pagina.toStdString();
    }
    EXPECT_TRUE(paginas.last().simplified().contains(QStringLiteral("Totales 30.000,00 30.000,00")))
        << paginas.last().toStdString();
}

} // namespace
