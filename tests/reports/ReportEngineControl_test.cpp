#include "reports/ReportEngineControl.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <QLabel>

#include <gtest/gtest.h>

#include "formhelpers/Dll_DisplayQt.h"
#include "formhelpers/Lbf_CtrlDisplay.h"
#include "reportengine/PageSink.h"
#include "reportengine/PdfTools.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "reports/ReportOutputs.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/TestFiles.h"

using namespace RT_Crystal2;

namespace {

// The report table of the demo database as a report: a title and a footer the caller may
// override, one line per report name.
const char* const Definicion = R"RPT(<report version="1" name="RP_Reportes" title="Reportes">
  <page paper="A4" left="10" top="10" right="10" bottom="10"/>
  <styles><style name="default" font="Arial" size="9"/></styles>
  <data><table name="TA_REPORTES"/></data>
  <formulas>
    <formula name="Titulo" type="text">'TITULO ORIGINAL'</formula>
    <formula name="Pie" type="text">'PIE ORIGINAL'</formula>
  </formulas>
  <pageHeader height="10"><field x="0" y="0" width="190" height="6" expr="{@Titulo}"/></pageHeader>
  <detail height="5"><field name="Nombre" x="0" y="0" width="150" height="5" expr="{TA_REPORTES.NOMBRE}"/></detail>
  <reportFooter height="8"><field x="0" y="1" width="150" height="5" expr="{@Pie}"/></reportFooter>
</report>)RPT";

class ReportEngineControlTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        testsupport::messages().clear();
        QFile f(m_dir.filePath(QStringLiteral("RP_Reportes.rpt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Definicion);
        m_definicion = f.fileName();
        m_conexion = QStringLiteral("DSN=%1; UID=; PWD=").arg(m_objects.gDB.gDBName);
    }

    void imprime(const FormulaOpcional& formula1 = std::nullopt)
    {
        QString sub1;
        QString sub2;
        QString titulo;
        ImprimirReporteCrystal(m_definicion, { QStringLiteral("-{TA_REPORTES.NOMBRE}") },
            QStringLiteral("{TA_REPORTES.NOMBRE} like 'RP_ListaPreciosRubro*'"), m_conexion,
            formula1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, sub1, sub2, QString(),
            QString(), Value(qint32(0)), false, false, titulo);
    }

    void aArchivo(const QString& archivo, int formato)
    {
        m_reporte.DestinoImpresion(DLL_Print::DestinoArchivo);
        m_reporte.AsignaPropiedad(QStringLiteral("PrintFileName"), archivo);
        AsignarPropiedadReporte(QStringLiteral("PrintFileType"), Value(qint32(formato)));
    }

    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    QString m_definicion;
    QString m_conexion;
};

TEST_F(ReportEngineControlTest, prints_to_pdf_with_the_formula_list_slots_sort_and_selection)
{
    const QString pdf = m_dir.filePath(QStringLiteral("lista.pdf"));
    aArchivo(pdf, 31);
    m_reporte.AsignaFormulas({ QStringLiteral("Titulo='DESDE LA LISTA'") }, 5);

    imprime(QStringLiteral("Pie = 'PIE DEL SLOT'"));

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    const QString texto = PdfTools::text(pdf);
    EXPECT_TRUE(texto.contains(QStringLiteral("DESDE LA LISTA"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("PIE DEL SLOT")));
    EXPECT_FALSE(texto.contains(QStringLiteral("RP_ListaPreciosFamilia")));
    const qsizetype sel = texto.indexOf(QStringLiteral("RP_ListaPreciosRubro_Sel"));
    const qsizetype plain
        = texto.indexOf(QRegularExpression(QStringLiteral("RP_ListaPreciosRubro\\s")));
    ASSERT_GE(sel, 0);
    ASSERT_GE(plain, 0);
    EXPECT_LT(sel, plain); // descending
    EXPECT_EQ(m_control.paginas(), 1);
}

TEST_F(ReportEngineControlTest, each_print_is_a_fresh_job_and_a_saved_report_exports_later)
{
    const QString pdf = m_dir.filePath(QStringLiteral("primera.pdf"));
    const QString guardado = m_dir.filePath(QStringLiteral("guardado.RPT"));
    const QString exportado = m_dir.filePath(QStringLiteral("exportado.pdf"));
    aArchivo(pdf, 31);
    m_reporte.AsignaFormulas({ QStringLiteral("Titulo='DESDE LA LISTA'") }, 5);
    imprime(QStringLiteral("Pie='PIE DEL SLOT'"));
    m_reporte.Finaliza(20);
    aArchivo(guardado, 7);

    imprime();
    const bool exporto = ExportarArchivoReporte(guardado, exportado, 31);

    EXPECT_TRUE(exporto);
    const QString texto = PdfTools::text(exportado);
    EXPECT_TRUE(texto.contains(QStringLiteral("TITULO ORIGINAL"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("PIE ORIGINAL")));
    EXPECT_TRUE(texto.contains(QStringLiteral("RP_ListaPreciosRubro_Sel")));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ReportEngineControlTest, writes_spreadsheet_and_csv_from_the_records)
{
    const QString xlsx = m_dir.filePath(QStringLiteral("lista.xlsx"));
    const QString csv = m_dir.filePath(QStringLiteral("lista.csv"));
    const QString guardado = m_dir.filePath(QStringLiteral("guardado.RPT"));
    const QString csvGuardado = m_dir.filePath(QStringLiteral("guardado.csv"));
    aArchivo(xlsx, 25);
    imprime();
    aArchivo(csv, 5);
    imprime();
    aArchivo(guardado, 7);
    imprime();

    const bool exporto = ExportarArchivoReporte(guardado, csvGuardado, 5);

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    QFile libro(xlsx);
    ASSERT_TRUE(libro.open(QIODevice::ReadOnly));
    EXPECT_TRUE(libro.read(2) == "PK");
    QFile texto(csv);
    ASSERT_TRUE(texto.open(QIODevice::ReadOnly));
    const QByteArray esperado(
        "\xEF\xBB\xBFNombre\r\nRP_ListaPreciosRubro_Sel\r\nRP_ListaPreciosRubro\r\n");
    EXPECT_EQ(texto.readAll(), esperado);
    EXPECT_TRUE(exporto);
    QFile desdeGuardado(csvGuardado);
    ASSERT_TRUE(desdeGuardado.open(QIODevice::ReadOnly));
    EXPECT_EQ(desdeGuardado.readAll(), esperado);
}

// A printer that reads the banner when the last page has reached it.
class ImpresoraQueMiraElCartel final : public ReportOutputs
{
public:
    QStringList vistos;

    std::unique_ptr<ReportOutput> create(const ReportOutputTarget&, QString*) override
    {
        return std::make_unique<Salida>(vistos);
    }

private:
    class Salida final : public ReportOutput, public PageSink
    {
    public:
        explicit Salida(QStringList& vistos)
            : m_vistos(vistos)
        {
        }
        PageSink* pageSink() override { return this; }
        bool finish(int, QString*) override { return true; }
        bool begin(const DocumentInfo&) override { return true; }
        bool page(const PageDisplayList&, const DocumentResources&, const DeferredValues*) override
        {
            return true;
        }
        bool finish(const DeferredValues&) override
        {
            const Lbf_CtrlDisplay* cartel = static_cast<Dll_DisplayQt&>(gDisplay()).formulario();
            m_vistos << (cartel ? cartel->findChild<QLabel*>(QStringLiteral("LblCtrol_1"))->text()
                                : QStringLiteral("sin cartel"));
            return true;
        }

    private:
        QStringList& m_vistos;
    };
};

TEST_F(ReportEngineControlTest, the_banner_counts_the_pages_sent_to_the_printer_and_closes)
{
    Dll_DisplayQt cartel;
    const ScopedService<Dll_Display> cartelService(cartel);
    ImpresoraQueMiraElCartel impresora;
    const ScopedService<ReportOutputs> impresoraService(impresora);
    m_reporte.DestinoImpresion(DLL_Print::DestinoImpresora);

    imprime();

    EXPECT_EQ(
        impresora.vistos, QStringList { QStringLiteral("Páginas enviadas a la impresora: 1") });
    EXPECT_EQ(cartel.formulario(), nullptr);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

// The please-wait banner as the lines it showed.
class CartelAnotado final : public Dll_Display
{
public:
    void CartelInicio(const QString& titulo, int) override { lineas << u'[' + titulo; }
    bool CartelMostrar(const std::optional<Value>&, const std::optional<Value>& l2,
        const std::optional<Value>&) override
    {
        if (l2 && lineas.last() != l2->toString())
            lineas << l2->toString();
        return false;
    }
    void CartelCerrar() override { lineas << QStringLiteral("]"); }
    void Siempre_Visible(bool) override { }

    QStringList lineas;
};

// A mail's attachment is a saved report made into a PDF: both steps show the banner, as a long
// list takes seconds in each.
TEST_F(ReportEngineControlTest, making_a_file_and_its_pdf_shows_the_banner)
{
    CartelAnotado cartel;
    const ScopedService<Dll_Display> cartelService(cartel);
    const QString guardado = m_dir.filePath(QStringLiteral("adjunto.RPT"));
    const QString pdf = m_dir.filePath(QStringLiteral("adjunto.pdf"));
    aArchivo(guardado, 7);

    imprime();
    ExportarArchivo(guardado, pdf, 31);

    const QStringList unaVez { QStringLiteral("[Generando Reporte"),
        QStringLiteral("Espere Por Favor"), QStringLiteral("]") };
    EXPECT_EQ(cartel.lineas, unaVez + unaVez);
    EXPECT_EQ(PdfTools::pageCount(pdf), 1);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ReportEngineControlTest, destinations_not_installed_fail_in_the_driver_box)
{
    m_reporte.DestinoImpresion(DLL_Print::DestinoPantalla);
    testsupport::messages().answer(Msg::Ignore);

    imprime();

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown().first().text,
        QStringLiteral("Ha ocurrido el siguiente error: 5 La vista previa en pantalla todavía no "
                       "está disponible en este equipo ContErr% = 0"));
}

TEST_F(ReportEngineControlTest, another_data_source_is_opened_with_the_user_of_the_text)
{
    const QString pdf = m_dir.filePath(QStringLiteral("otra.pdf"));
    aArchivo(pdf, 31);
    m_conexion = QStringLiteral("DSN=OrigenInexistente; UID=u; PWD=p");
    testsupport::messages().answer(Msg::Abort);

    imprime();

    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_TRUE(testsupport::messages().shown().first().text.startsWith(
        QStringLiteral("Ha ocurrido el siguiente error: 5 No se pudo abrir el origen de datos "
                       "OrigenInexistente: ")))
        << testsupport::messages().shown().first().text.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportEngineControlTest, export_of_a_missing_or_unavailable_format_is_told)
{
    const QString guardado = m_dir.filePath(QStringLiteral("guardado.RPT"));
    aArchivo(guardado, 7);
    imprime();
    testsupport::messages().answer(Msg::Ok);
    testsupport::messages().answer(Msg::Retry);
    testsupport::messages().answer(Msg::Abort);

    ExportarArchivo(
        m_dir.filePath(QStringLiteral("no.RPT")), m_dir.filePath(QStringLiteral("x.pdf")), 31);
    ExportarArchivo(guardado, m_dir.filePath(QStringLiteral("x.html")), 22);

    const auto& shown = testsupport::messages().shown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].text,
        QStringLiteral("No se encontró el Reporte: \r\n")
            + m_dir.filePath(QStringLiteral("no.RPT")));
    EXPECT_EQ(shown[0].title, QStringLiteral("Aviso al Operador!!!"));
    EXPECT_EQ(shown[0].style, Msg::Information);
    EXPECT_EQ(shown[1].title, QStringLiteral("ExportarArchivo"));
    EXPECT_EQ(shown[1].style, Msg::Question + Msg::AbortRetryIgnore);
    EXPECT_EQ(shown[2].text,
        QStringLiteral("Ha ocurrido el siguiente error al intentar exportar el Archivo 5 La "
                       "exportación en el formato 22 todavía no está disponible en este equipo"));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("x.html"))));
}

} // namespace

namespace {

// Captured, every print becomes the next numbered PDF, whatever its destination; the file
// destination also writes its own file, and each print is noted with destination and printer.
TEST_F(ReportEngineControlTest, capture_numbers_every_print_and_notes_destination_and_printer)
{
    const QString carpeta = m_dir.filePath(QStringLiteral("capturas"));
    ASSERT_TRUE(QDir().mkpath(carpeta));
    m_control.capturaEn(carpeta);
    const QString propio = m_dir.filePath(QStringLiteral("propio.pdf"));

    m_reporte.DestinoImpresion(DLL_Print::DestinoPantalla);
    imprime();
    m_reporte.DestinoImpresion(DLL_Print::DestinoImpresora);
    m_reporte.NombreImpresora(QStringLiteral("PDF"));
    imprime();
    aArchivo(propio, 31);
    imprime();

    const QStringList esperado { QStringLiteral("01\tRP_Reportes.rpt\tPantalla\t"),
        QStringLiteral("02\tRP_Reportes.rpt\tImpresora\tPDF"),
        QStringLiteral("03\tRP_Reportes.rpt\tArchivo\t") };
    EXPECT_EQ(m_control.capturas(), esperado);
    EXPECT_EQ(
        QString::fromUtf8(testsupport::readFile(carpeta + QStringLiteral("/impresiones.txt"))),
        esperado.join(u'\n') + u'\n');
    for (const char* nombre : { "01-RP_Reportes.pdf", "02-RP_Reportes.pdf", "03-RP_Reportes.pdf" })
        EXPECT_TRUE(PdfTools::text(carpeta + u'/' + QLatin1String(nombre))
                        .contains(QStringLiteral("RP_ListaPreciosRubro")))
            << nombre;
    EXPECT_TRUE(PdfTools::text(propio).contains(QStringLiteral("RP_ListaPreciosRubro")));
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());

    // A link planted at the list's name in a capture folder is not written through.
    const QString otra = m_dir.filePath(QStringLiteral("capturas2"));
    const QString ajeno = m_dir.filePath(QStringLiteral("ajeno.txt"));
    ASSERT_TRUE(QDir().mkpath(otra));
    testsupport::writeFile(ajeno, "ajeno\n");
    ASSERT_TRUE(QFile::link(ajeno, otra + QStringLiteral("/impresiones.txt")));
    m_control.capturaEn(otra);
    m_reporte.DestinoImpresion(DLL_Print::DestinoPantalla);
    imprime();
    EXPECT_EQ(m_control.capturas().size(), 1);
    EXPECT_EQ(testsupport::readFile(ajeno), QByteArray("ajeno\n"));
}

} // namespace
