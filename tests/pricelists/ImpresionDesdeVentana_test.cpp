#include <QCheckBox>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <functional>

#include <gtest/gtest.h>

#include "formhelpers/Dll_DisplayQt.h"
#include "formhelpers/EstadoFormulario.h"
#include "formhelpers/FormularioModal.h"
#include "formhelpers/FrmMsgBox.h"
#include "platform/FileNames.h"
#include "platform/qt/CurlMail.h"
#include "platform/qt/SqliteText.h"
#include "pricelists/Rp_Tarifolio.h"
#include "pricelists/TBarRep.h"
#include "reportengine/PageSink.h"
#include "reportengine/PageText.h"
#include "reportengine/XlsxTools.h"
#include "reports/DLL_Print.h"
#include "reports/RT_Crystal2.h"
#include "reports/ReportEngineControl.h"
#include "reports/ReportOutputs.h"
#include "reports/SinkReportOutputs.h"
#include "sending/EnvioCorreoFormulario.h"
#include "sending/FrmEnviar.h"
#include "sending/eMailAux.h"
#include "services/Globales.h"
#include "support/CupsPrivado.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/SmtpPeer.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include "ListaImpresa.h"
#include "VentanaDemoTest.h"

// The price list printed from the main window on a demo database, as the operator does it: the
// options set on the window's controls, a toolbar key pressed, and what comes out read back
// (the e-mail key's report file turned into a PDF and read with pdftotext; the screen and the
// printer through recorded outputs).
namespace {

using listaimpresa::codes;
using listaimpresa::pdfText;

QString money(double value)
{
    return QLocale(QLocale::Spanish, QLocale::Argentina).toString(value, 'f', 2);
}

// A quantity as the stock column shows it: decimals only when there are any.
QString unidades(double value)
{
    QString texto = money(value);
    while (texto.endsWith(u'0'))
        texto.chop(1);
    if (texto.endsWith(u','))
        texto.chop(1);
    return texto;
}

// A price with a surcharge in percent, rounded to cents half away from zero as the report does
// in decimal arithmetic.
double conRecargo(double precio, double porcentaje)
{
    const qint64 centavos = std::llround(precio * 100);
    const qint64 factor = std::llround((100 + porcentaje) * 10);
    return double((centavos * factor + 500) / 1000) / 100.0;
}

// The preview and the printer as recorded outputs: where each print went and the text of its
// pages.
class SalidasGrabadas final : public ReportOutputs
{
public:
    struct Salida
    {
        ReportOutputTarget destino;
        QString texto;
    };
    QList<Salida> salidas;

    std::unique_ptr<ReportOutput> create(const ReportOutputTarget& target, QString*) override
    {
        salidas.append({ target, QString() });
        return std::make_unique<Grabacion>(salidas.last().texto);
    }

private:
    class Grabacion final : public ReportOutput, public PageSink
    {
    public:
        explicit Grabacion(QString& texto)
            : m_texto(texto)
        {
        }
        PageSink* pageSink() override { return this; }
        bool finish(int, QString*) override { return true; }
        bool begin(const DocumentInfo&) override { return true; }
        bool page(const PageDisplayList& page, const DocumentResources&,
            const DeferredValues* deferred) override
        {
            for (const DisplayItem& item : page.items) {
                const QString t = displayText(page, item, deferred);
                if (!t.isEmpty())
                    m_texto += t + u'\n';
            }
            return true;
        }
        bool finish(const DeferredValues&) override { return true; }

    private:
        QString& m_texto;
    };
};

// The main window on the test's demo database: the start-up only opens it.
class Ventana final : public Rp_Tarifolio
{
public:
    explicit Ventana(QString archivo)
        : m_archivo(std::move(archivo))
    {
    }

    template <typename T> T* control(const char* nombre) const
    {
        T* c = findChild<T*>(QLatin1String(nombre));
        EXPECT_NE(c, nullptr) << nombre;
        return c;
    }
    void tilda(const char* nombre, bool tildada = true)
    {
        control<QCheckBox>(nombre)->setChecked(tildada);
    }
    void texto(const char* dataField, const QString& valor)
    {
        for (QLineEdit* campo : txtfields()) {
            if (campo->property("DataField")
                    .toString()
                    .compare(QLatin1String(dataField), Qt::CaseInsensitive)
                == 0) {
                campo->setText(valor);
                return;
            }
        }
        ADD_FAILURE() << "no field " << dataField;
    }
    // Ticks exactly the price columns given (0 the cost, 1 to 8 the classes).
    void columnas(std::initializer_list<int> tildadas)
    {
        for (int i = 0; i < ChkFiltro().size(); ++i)
            ChkFiltro()[i]->setChecked(
                std::find(tildadas.begin(), tildadas.end(), i) != tildadas.end());
    }
    void agrupa(int opcion) { OptGROUP()[opcion]->setChecked(true); }
    // Ticks the items of a checked list whose text starts with one of `inicios`.
    void marca(const char* lista, const QStringList& inicios)
    {
        QListWidget* l = control<QListWidget>(lista);
        for (int i = 0; i < l->count(); ++i) {
            for (const QString& inicio : inicios) {
                if (l->item(i)->text().startsWith(inicio))
                    l->item(i)->setCheckState(Qt::Checked);
            }
        }
    }
    void condicion(const QString& inicio)
    {
        QComboBox* combo = control<QComboBox>("CmbCpra_Vta");
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemText(i).startsWith(inicio))
                combo->setCurrentIndex(i);
        }
        ASSERT_TRUE(combo->currentText().startsWith(inicio));
    }
    void pulsa(const char* clave)
    {
        Q_EMIT control<TBarRep>("TBarRep1")->BotonClick(QLatin1String(clave));
    }

protected:
    void IniciaAplicacion() override { testsupport::abreBaseDemo(m_archivo); }

private:
    QString m_archivo;
};

class ImpresionDesdeVentana : public testsupport::VentanaDemoTest
{
protected:
    ImpresionDesdeVentana()
        : VentanaDemoTest(40)
    {
    }

    void SetUp() override
    {
        VentanaDemoTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("tmp")));
        testsupport::environment().setVariable(
            QStringLiteral("TEMP"), m_dir.filePath(QStringLiteral("tmp")));
        // The definitions as the program folder holds them.
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("reports")));
        const QDir share(QStringLiteral(RP_SHARE_DIR "/reports"));
        for (const QString& rpt : share.entryList({ QStringLiteral("*.rpt") }))
            ASSERT_TRUE(
                QFile::copy(share.filePath(rpt), m_dir.filePath(QStringLiteral("reports/") + rpt)));
        m_reporte.pPathSistema = m_dir.path() + u'/';
        m_globales.gCadenaODBC = QStringLiteral("DSN=") + m_file + QStringLiteral("; UID=; PWD=");
        m_sqlName = QUuid::createUuid().toString();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_sqlName);
        db.setDatabaseName(m_file);
        ASSERT_TRUE(db.open() && registerSqliteText(db));
    }

    void TearDown() override { QSqlDatabase::removeDatabase(m_sqlName); }

    std::unique_ptr<Ventana> carga(const QString& parametro = QString())
    {
        m_inicio.gParametroAdicional = parametro;
        auto ventana = std::make_unique<Ventana>(m_file);
        ventana->Form_Load();
        EXPECT_TRUE(m_objects.gDB.gOpenFlag);
        testsupport::messages().clear();
        return ventana;
    }

    // The mail work folder of a report mailed at the pinned time, and its files' base name.
    QString carpetaEnvio() const
    {
        const QDateTime ahora = testsupport::pinnedNow();
        return m_dir.filePath(QStringLiteral("tmp/E-MAILS/ENVIOS/")
            + ahora.toString(QStringLiteral("dd-MM-yyyy")) + u'/'
            + ahora.toString(QStringLiteral("HH.mm.ss")));
    }
    QString baseEnvio() const
    {
        return testsupport::pinnedNow().toString(QStringLiteral("HHmmss"));
    }

    // Presses the e-mail key and reads the report file it wrote as a PDF; empty text when no
    // file was written. With `xlsx`, the report file is exported to that spreadsheet too.
    QString porMensaje(Ventana& ventana, const QString& xlsx = QString())
    {
        ventana.pulsa("MENSAJE");
        const QString archivo = RT_Crystal2::gArchivoRptTemporal;
        EXPECT_TRUE(archivo.startsWith(m_dir.filePath(QStringLiteral("tmp/"))))
            << archivo.toStdString();
        EXPECT_TRUE(archivo.endsWith(QStringLiteral(".RPT"))) << archivo.toStdString();
        if (!QFileInfo::exists(archivo))
            return QString();
        const QString pdf = m_dir.filePath(QStringLiteral("lista.pdf"));
        QFile::remove(pdf);
        EXPECT_TRUE(RT_Crystal2::ExportarArchivoReporte(archivo, pdf, 31));
        if (!xlsx.isEmpty()) {
            QFile::remove(xlsx);
            EXPECT_TRUE(RT_Crystal2::ExportarArchivoReporte(archivo, xlsx, 25));
        }
        QFile::remove(archivo);
        return pdfText(pdf);
    }

    QStringList rows(const QString& sql) const { return listaimpresa::rows(m_sqlName, sql); }
    void exec(const QString& sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_sqlName));
        ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
    }

    static bool hasLine(const QString& text, const QString& pattern)
    {
        return QRegularExpression(pattern, QRegularExpression::MultilineOption)
            .match(text)
            .hasMatch();
    }

    QString m_sqlName;
    Dll_DisplayQt m_display;
    ScopedService<Dll_Display> m_displayService { m_display };
    SalidasGrabadas m_salidas;
    ScopedService<ReportOutputs> m_salidasService { m_salidas };
    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
};

// The articles of sales list 1 that print, in code order: code, cost, classes 1 to 4 and 8.
const char* const PreciosLista1
    = "SELECT p.IdArticulo, p.COSTO, p.PRECIO1, p.PRECIO2, p.PRECIO3, p.PRECIO4, p.PRECIO8 "
      "FROM V_MA_PRECIOS p "
      "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
      "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 %1 ORDER BY p.IdArticulo";

double columna(const QString& row, int i)
{
    return row.section(u'|', i, i).toDouble();
}

TEST_F(ImpresionDesdeVentana, sales_lists_print_what_the_window_asks_for)
{
    const QStringList lista1 = rows(QString::fromLatin1(PreciosLista1).arg(QString()));
    ASSERT_GT(lista1.size(), 10);
    QStringList codigos1;
    for (const QString& row : lista1)
        codigos1 << row.section(u'|', 0, 0);
    const QString empresa = QString::fromUtf8("Ferretería y Almacén El Progreso S.R.L.");
    // Two offers in list 1: the first article's in March, the second's from February to March.
    exec(QStringLiteral("UPDATE MA_PRECIOS SET FhOfertaDesde = NULL, FhOfertaHasta = NULL"));
    exec(QStringLiteral(
        "UPDATE MA_PRECIOS SET FhOfertaDesde = '2024-03-01 00:00:00', FhOfertaHasta = "
        "'2024-03-31 00:00:00' WHERE IdLista = '   1' AND IdArticulo = '%1'")
             .arg(codigos1[0]));
    exec(QStringLiteral(
        "UPDATE MA_PRECIOS SET FhOfertaDesde = '2024-02-01 00:00:00', FhOfertaHasta = "
        "'2024-03-31 00:00:00' WHERE IdLista = '   1' AND IdArticulo = '%1'")
             .arg(codigos1[1]));
    const auto ofertas = [](const char* desde, const char* hasta) {
        return [=](Ventana& v) {
            v.texto("ListaDesde", QStringLiteral("1"));
            v.texto("ListaHasta", QStringLiteral("1"));
            v.columnas({ 1 });
            v.tilda("chkIncluirEnCero");
            v.tilda("ChkArticulosEnOferta");
            v.texto("OfDesde", QLatin1String(desde));
            v.texto("OfHasta", QLatin1String(hasta));
        };
    };

    const struct
    {
        const char* caso;
        std::function<void(Ventana&)> prepara;
        std::function<void(const QString& texto, const Ventana& ventana)> revisa;
    } casos[] = {
        { "cost and class 1 of list 1, closing up the hidden columns",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 0, 1 });
                v.tilda("chkIncluirEnCero");
            },
            [&](const QString& t, const Ventana& v) {
                EXPECT_TRUE(t.contains(empresa));
                EXPECT_TRUE(t.contains(QStringLiteral("Lista de Precios")));
                EXPECT_TRUE(hasLine(t, QStringLiteral("^\\s*1\\s+Lista Minorista")));
                EXPECT_TRUE(t.contains(QStringLiteral("Costo")));
                EXPECT_TRUE(t.contains(v.ChkFiltro()[1]->text()));
                EXPECT_FALSE(t.contains(v.ChkFiltro()[2]->text()));
                EXPECT_FALSE(t.contains(QStringLiteral("Stock")));
                EXPECT_EQ(codes(t), codigos1);
                // Cost and class 1 side by side at the end of the line.
                for (const QString& row : lista1.mid(0, 8))
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s+%3\\s*$")
                            .arg(row.section(u'|', 0, 0),
                                QRegularExpression::escape(money(columna(row, 1))),
                                QRegularExpression::escape(money(columna(row, 2))))))
                        << row.toStdString();
            } },
        { "grouped by section with a condition's surcharge on class 2",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 2 });
                v.tilda("chkIncluirEnCero");
                v.agrupa(0);
                v.condicion(QStringLiteral("Tarjeta de crédito 3 cuotas"));
            },
            [&](const QString& t, const Ventana&) {
                EXPECT_TRUE(
                    t.contains(QStringLiteral("Condición: Tarjeta de crédito 3 cuotas (12.5%)")))
                    << t.left(2000).toStdString();
                // The description already carries the percentage: the header says it once.
                EXPECT_FALSE(t.contains(QStringLiteral("recargo")));
                // Every section of the list's articles heads its group.
                for (const QString& rubro :
                    rows(QStringLiteral("SELECT DISTINCT TRIM(r.Descripcion) FROM V_MA_PRECIOS p "
                                        "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
                                        "JOIN V_TA_RUBROS r ON r.IdRubro = a.idrubro "
                                        "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0")))
                    EXPECT_TRUE(t.contains(rubro)) << rubro.toStdString();
                QStringList ordenados = codes(t);
                std::sort(ordenados.begin(), ordenados.end());
                EXPECT_EQ(ordenados, codigos1);
                for (const QString& row : lista1.mid(0, 8))
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s*$")
                            .arg(row.section(u'|', 0, 0),
                                QRegularExpression::escape(
                                    money(conRecargo(columna(row, 3), 12.5))))))
                        << row.toStdString();
            } },
        { "a warehouse found adds its stock",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 1 });
                v.tilda("chkIncluirEnCero");
                v.texto("Deposito", QStringLiteral("2"));
                v.control<QLabel>("lblDescDep")->setText(QString::fromUtf8("Salón de Ventas"));
            },
            [&](const QString& t, const Ventana&) {
                EXPECT_TRUE(t.contains(QStringLiteral("Stock")));
                const QStringList stock = rows(QStringLiteral(
                    "SELECT p.IdArticulo, s.Stock, p.PRECIO1 FROM V_MA_PRECIOS p "
                    "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
                    "LEFT JOIN STK_MA_ARTICULOS s ON s.IDARTICULO = a.IDARTICULO "
                    "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 AND (s.DEPOSITO = '   2' OR "
                    "s.DEPOSITO = '' OR s.DEPOSITO IS NULL) ORDER BY p.IdArticulo"));
                QStringList conStock;
                for (const QString& row : stock)
                    conStock << row.section(u'|', 0, 0);
                EXPECT_EQ(codes(t), conStock);
                for (const QString& row : stock.mid(0, 8)) {
                    if (row.section(u'|', 1, 1).isEmpty())
                        continue;
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s+%3\\s*$")
                            .arg(row.section(u'|', 0, 0),
                                QRegularExpression::escape(unidades(columna(row, 1))),
                                QRegularExpression::escape(money(columna(row, 2))))))
                        << row.toStdString();
                }
            } },
        { "selective by supplier: class 4 and one column per condition",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 4 });
                v.tilda("chkIncluirEnCero");
                v.tilda("ChkSelectivo");
                v.agrupa(2);
                v.marca("lstCondiciones",
                    { QStringLiteral("Contado efectivo"),
                        QStringLiteral("Tarjeta de crédito 3 cuotas") });
            },
            [&](const QString& t, const Ventana& v) {
                EXPECT_TRUE(t.contains(v.ChkFiltro()[4]->text()));
                // The captions wrap in their columns rather than being cut.
                EXPECT_TRUE(
                    t.contains(QRegularExpression(QStringLiteral("Contado efectivo\\s.*\\(-5%\\)"),
                        QRegularExpression::DotMatchesEverythingOption)));
                EXPECT_TRUE(t.contains(QRegularExpression(
                    QStringLiteral("Tarjeta de\\s.*crédito 3 cuotas\\s+.*\\(12\\.5%\\)"),
                    QRegularExpression::DotMatchesEverythingOption)));
                QStringList ordenados = codes(t);
                std::sort(ordenados.begin(), ordenados.end());
                EXPECT_EQ(ordenados, codigos1);
                for (const QString& row : lista1.mid(0, 8)) {
                    const double p4 = columna(row, 5);
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s+%3\\s+%4\\s*$")
                            .arg(row.section(u'|', 0, 0), QRegularExpression::escape(money(p4)),
                                QRegularExpression::escape(money(conRecargo(p4, -5))),
                                QRegularExpression::escape(money(conRecargo(p4, 12.5))))))
                        << row.toStdString();
                }
            } },
        { "zero prices left out, margins over cost",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 0, 3 });
                v.tilda("chkIncluirEnCero", false);
                v.tilda("chkIncluirMargen");
            },
            [&](const QString& t, const Ventana&) {
                QStringList conPrecio;
                for (const QString& row : lista1) {
                    if (columna(row, 1) != 0 || columna(row, 4) != 0)
                        conPrecio << row.section(u'|', 0, 0);
                }
                EXPECT_EQ(codes(t), conPrecio);
                // Under each price its margin over cost.
                for (const QString& row : lista1.mid(0, 8)) {
                    const double costo = columna(row, 1);
                    if (costo <= 0)
                        continue;
                    const double margen = (columna(row, 4) - costo) * 100.0 / costo;
                    EXPECT_TRUE(t.contains(
                        QRegularExpression(QStringLiteral("^\\s*%1 .*\\n\\s+%2\\s*$")
                                               .arg(row.section(u'|', 0, 0),
                                                   QRegularExpression::escape(money(margen))),
                            QRegularExpression::MultilineOption)))
                        << row.toStdString();
                }
            } },
        { "one list per page",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("2"));
                v.columnas({ 1 });
                v.tilda("chkIncluirEnCero");
                v.tilda("ChkListaPPagina");
            },
            [&](const QString& t, const Ventana&) {
                bool primera = false;
                bool segunda = false;
                for (const QString& pagina : t.split(u'\f', Qt::SkipEmptyParts)) {
                    const bool l1 = hasLine(pagina, QStringLiteral("^\\s*1\\s+Lista Minorista"));
                    const bool l2 = hasLine(pagina, QStringLiteral("^\\s*2\\s+Lista Mayorista"));
                    EXPECT_FALSE(l1 && l2);
                    primera = primera || l1;
                    segunda = segunda || l2;
                }
                EXPECT_TRUE(primera && segunda);
            } },
        // The summary margin is one more column right after the shown prices, ten at most.
        { "summary margin after the shown prices",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 0, 3 });
                v.tilda("chkIncluirEnCero");
                v.tilda("chkIncluirMargen");
                v.tilda("chkMargenResumido");
            },
            [&](const QString& t, const Ventana&) {
                EXPECT_TRUE(hasLine(t, QStringLiteral("Costo\\s+\\S.*\\s+Margen %\\s*$")));
                for (const QString& row : lista1.mid(0, 8)) {
                    const double costo = columna(row, 1);
                    const double margen = costo > 0 ? (columna(row, 4) - costo) * 100.0 / costo : 0;
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s+%3\\s+%4\\s*$")
                            .arg(row.section(u'|', 0, 0), QRegularExpression::escape(money(costo)),
                                QRegularExpression::escape(money(columna(row, 4))),
                                QRegularExpression::escape(money(margen)))))
                        << row.toStdString();
                }
            } },
        { "summary margin after all nine columns",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 0, 1, 2, 3, 4, 5, 6, 7, 8 });
                v.tilda("chkIncluirEnCero");
                v.tilda("chkIncluirMargen");
                v.tilda("chkMargenResumido");
            },
            [&](const QString& t, const Ventana&) {
                for (const QString& row : lista1.mid(0, 8)) {
                    const double costo = columna(row, 1);
                    const double margen = costo > 0 ? (columna(row, 2) - costo) * 100.0 / costo : 0;
                    EXPECT_TRUE(hasLine(t,
                        QStringLiteral("^\\s*%1 .*\\s%2\\s+%3\\s*$")
                            .arg(row.section(u'|', 0, 0),
                                QRegularExpression::escape(money(columna(row, 6))),
                                QRegularExpression::escape(money(margen)))))
                        << row.toStdString();
                }
            } },
        { "offers within both dates", ofertas("01/03/2024", "31/03/2024"),
            [&](const QString& t, const Ventana&) {
                EXPECT_EQ(codes(t), QStringList { codigos1[0] });
            } },
        { "offers starting on a date", ofertas("01/02/2024", ""),
            [&](const QString& t, const Ventana&) {
                EXPECT_EQ(codes(t), QStringList { codigos1[1] });
            } },
        { "offers with no dates: every article with an offer period", ofertas("", ""),
            [&](const QString& t, const Ventana&) { EXPECT_EQ(codes(t), codigos1.mid(0, 2)); } },
        { "labels with the first ticked class",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 2, 5 });
                v.tilda("chkIncluirEnCero");
                v.tilda("ChkEtiquetas");
            },
            [&](const QString& t, const Ventana&) {
                EXPECT_TRUE(hasLine(t,
                    QStringLiteral("Cód\\. %1\\s+Cód\\. %2\\s+Cód\\. %3")
                        .arg(codigos1[0], codigos1[1], codigos1[2])));
                EXPECT_TRUE(hasLine(t,
                    QStringLiteral("\\$ %1\\s+\\$ %2\\s+\\$ %3")
                        .arg(QRegularExpression::escape(money(columna(lista1[0], 3))),
                            QRegularExpression::escape(money(columna(lista1[1], 3))),
                            QRegularExpression::escape(money(columna(lista1[2], 3))))));
            } },
        // Warehouse 2 is no article's first: its rows must not be taken for repeats.
        { "labels of a warehouse found: each of its articles",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("1"));
                v.columnas({ 1 });
                v.tilda("chkIncluirEnCero");
                v.tilda("ChkEtiquetas");
                v.texto("Deposito", QStringLiteral("2"));
                v.control<QLabel>("lblDescDep")->setText(QString::fromUtf8("Salón de Ventas"));
            },
            [&](const QString& t, const Ventana&) {
                const QStringList deposito = rows(QStringLiteral(
                    "SELECT p.IdArticulo FROM V_MA_PRECIOS p "
                    "JOIN V_MA_ARTICULOS a ON a.IDARTICULO = p.IdArticulo "
                    "LEFT JOIN STK_MA_ARTICULOS s ON s.IDARTICULO = a.IDARTICULO "
                    "WHERE p.IdLista = '   1' AND a.SUSPENDIDO = 0 AND (s.DEPOSITO = '   2' OR "
                    "s.DEPOSITO = '' OR s.DEPOSITO IS NULL) ORDER BY p.IdArticulo"));
                QStringList etiquetas;
                static const QRegularExpression codigo(QStringLiteral("Cód\\. (\\S+)"));
                for (auto it = codigo.globalMatch(t); it.hasNext();)
                    etiquetas << it.next().captured(1);
                ASSERT_FALSE(deposito.isEmpty());
                EXPECT_EQ(etiquetas, deposito);
            } },
    };

    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.caso);
        const auto ventana = carga();
        caso.prepara(*ventana);

        const QString texto = porMensaje(*ventana);

        ASSERT_FALSE(texto.trimmed().isEmpty());
        caso.revisa(texto, *ventana);
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

// Every definition the window chooses, on articles priced from a cent to the largest amount the
// lists hold and described in 60 characters: each amount printed whole (as the database has it),
// no margin line starting a page without its article, the group headers on continued pages.
TEST_F(
    ImpresionDesdeVentana, every_definition_prints_amounts_whole_and_keeps_its_records_and_headers)
{
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'RETAIL'"));
    exec(QStringLiteral("UPDATE V_MA_ARTICULOS SET Descripcion = CASE WHEN rowid % 2 = 0 THEN "
                        "'Taladro percutor inalambrico 18 V con bateria y maletin azul' ELSE "
                        "'Amoladora angular profesional 115 mm con disco y llave cinco' END"));
    const QStringList extremos = rows(QStringLiteral(
        "SELECT a.IDARTICULO FROM V_MA_ARTICULOS a WHERE SUSPENDIDO = 0 AND SUSPENDIDOC = 0 "
        "AND (SELECT COUNT(*) FROM MA_PRECIOS p WHERE p.IdArticulo = a.IDARTICULO "
        "AND p.IdLista IN ('   1', '   4', '  20')) = 3 ORDER BY 1 LIMIT 3"));
    ASSERT_EQ(extremos.size(), 3);
    const char* const importes[] = { "999999999.99", "0.01", "1234567.89" };
    for (int i = 0; i < 3; ++i)
        exec(QStringLiteral(
            "UPDATE MA_PRECIOS SET COSTO = %1, PRECIO1 = %1, PRECIO2 = %1, PRECIO3 = %1, "
            "PRECIO4 = %1, PRECIO5 = %1, PRECIO6 = %1, PRECIO7 = %1, PRECIO8 = %1 "
            "WHERE IdArticulo = '%2'")
                 .arg(QLatin1String(importes[i]), extremos[i]));

    // Every column of one list; the sales lists with their margin lines.
    const auto lista = [](const char* codigo) {
        return [codigo](Ventana& v) {
            v.texto("ListaDesde", QLatin1String(codigo));
            v.texto("ListaHasta", QLatin1String(codigo));
            v.columnas({ 0, 1, 2, 3, 4, 5, 6, 7, 8 });
            v.tilda("chkIncluirEnCero");
            v.tilda("chkIncluirMargen");
        };
    };
    const auto ventas = lista("1");
    const auto compras = lista("20");
    const auto selectiva = [&](Ventana& v) {
        ventas(v);
        v.columnas({ 4 });
        v.tilda("ChkSelectivo");
        v.marca("lstCondiciones", { QStringLiteral("Contado efectivo") });
    };
    const struct
    {
        const char* reporte;
        const char* parametro;
        int agrupamiento; // 3: none
        std::function<void(Ventana&)> prepara;
        const char* precio; // the database's column the list shows for the seeded articles
    } casos[] = {
        { "RP_ListaPrecios", "", 3, ventas, "PRECIO1" },
        { "RP_ListaPreciosRubro", "", 0, ventas, "PRECIO1" },
        { "RP_ListaPreciosFamilia", "", 1, ventas, "PRECIO1" },
        { "RP_ListaPreciosProveedor", "", 2, ventas, "PRECIO1" },
        { "RP_ListaPrecios_Sel", "", 3, selectiva, "PRECIO4" },
        { "RP_ListaPreciosRubro_Sel", "", 0, selectiva, "PRECIO4" },
        { "RP_ListaPreciosFamilia_Sel", "", 1, selectiva, "PRECIO4" },
        { "RP_ListaPreciosProveedor_Sel", "", 2, selectiva, "PRECIO4" },
        { "RP_ListaPreciosDescRecPN", "C", 3, compras, "PRECIO1" },
        { "RP_ListaPreciosDescRecPNRubro", "C", 0, compras, "PRECIO1" },
        { "RP_ListaPreciosDescRecPNFamilia", "C", 1, compras, "PRECIO1" },
        { "RP_ListaPreciosDescRecPNProveedor", "C", 2, compras, "PRECIO1" },
        { "RP_LISTAPRECIOSAC", "C", 3,
            [](Ventana& v) {
                v.tilda("chkAnalisisCostos");
                v.marca("LstListas", { QStringLiteral("   4") });
            },
            "PRECIO4" },
        { "MA_PRE2", "", 3,
            [&](Ventana& v) {
                ventas(v);
                v.columnas({ 1 });
                v.tilda("ChkEtiquetas");
            },
            "PRECIO1" },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.reporte);
        const auto ventana = carga(QLatin1String(caso.parametro));
        ventana->agrupa(caso.agrupamiento);
        caso.prepara(*ventana);

        const QString texto = porMensaje(*ventana);

        ASSERT_FALSE(texto.isEmpty());
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
        const bool etiquetas = QLatin1String(caso.reporte) == QLatin1String("MA_PRE2");
        const bool analisis = QLatin1String(caso.reporte) == QLatin1String("RP_LISTAPRECIOSAC");
        for (const QString& articulo : extremos) {
            const QString precio
                = rows(QStringLiteral("SELECT %1 FROM MA_PRECIOS WHERE IdArticulo = '%2' "
                                      "AND IdLista = '%3'")
                           .arg(QLatin1String(caso.precio), articulo,
                               QLatin1String(caso.parametro[0] ? "  20" : "   1")))
                      .value(0);
            // Labels show their code and price on lines of their own.
            const QString patron = etiquetas
                ? QStringLiteral("\\$ %1(\\s|$)")
                      .arg(QRegularExpression::escape(money(precio.toDouble())))
                : QStringLiteral("^\\s*%1 .*\\s%2(\\s|$)")
                      .arg(articulo, QRegularExpression::escape(money(precio.toDouble())));
            if (!analisis) {
                EXPECT_TRUE(hasLine(texto, patron))
                    << articulo.toStdString() << " " << precio.toStdString();
            }
        }
        EXPECT_FALSE(texto.contains(QStringLiteral("##"))) << "an amount did not fit its column";
        // A description is cut between words, never inside one.
        static const QRegularExpression palabras(QStringLiteral("(Taladro|Amoladora)( \\S+)*"));
        for (auto it = palabras.globalMatch(texto); it.hasNext();) {
            const QString impreso = it.next().captured(0);
            EXPECT_TRUE(
                QStringLiteral("Taladro percutor inalambrico 18 V con bateria y maletin azul")
                    .startsWith(impreso)
                || QStringLiteral("Amoladora angular profesional 115 mm con disco y llave cinco")
                       .startsWith(impreso))
                << impreso.toStdString();
        }
        if (etiquetas)
            continue;
        const QStringList paginas = texto.split(u'\f', Qt::SkipEmptyParts);
        for (int p = 0; p < paginas.size(); ++p) {
            const QStringList lineas = paginas[p].split(u'\n');
            // Above the page's first article, no line of numbers alone: a margin line there
            // would have left its article on the page before. (The analysis has none, and its
            // heading names lists by code.)
            for (const QString& linea : analisis ? QStringList() : lineas) {
                if (QRegularExpression(QStringLiteral("^\\s*\\d{6}\\s")).match(linea).hasMatch())
                    break;
                EXPECT_FALSE(
                    QRegularExpression(QStringLiteral("^[\\s\\d.,-]+$")).match(linea).hasMatch()
                    && !linea.trimmed().isEmpty())
                    << "page " << p + 1 << ": " << linea.toStdString();
            }
            if (p > 0) {
                EXPECT_TRUE(paginas[p].contains(
                    analisis ? QStringLiteral("P. Venta") : QStringLiteral("(continuación)")))
                    << "page " << p + 1;
            }
        }
    }
}

// A price list of two lists with stock and a cost analysis, mailed as spreadsheets, show what
// their printed pages show: the columns named as the heading names them (a list's name over its
// columns included), each group's heading and count, every line's code and amounts, whole
// quantities without a decimal separator, columns as wide as their values, and no key of the
// program's own.
TEST_F(ImpresionDesdeVentana, mailed_spreadsheets_show_what_the_printed_pages_show)
{
    const struct
    {
        const char* caso;
        const char* parametro;
        std::function<void(Ventana&)> prepara;
        QStringList encabezados; // the first ones of the sheet's heading row
    } casos[] = {
        { "lists 1 and 2 with stock", "",
            [](Ventana& v) {
                v.texto("ListaDesde", QStringLiteral("1"));
                v.texto("ListaHasta", QStringLiteral("2"));
                v.columnas({ 1, 2 });
                v.texto("Deposito", QStringLiteral("2"));
                v.control<QLabel>("lblDescDep")->setText(QString::fromUtf8("Salón de Ventas"));
            },
            { QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Stock") } },
        { "cost analysis", "C",
            [](Ventana& v) {
                v.tilda("chkAnalisisCostos");
                v.marca("LstListas", { QStringLiteral("Mostrador"), QStringLiteral("   4") });
            },
            { QStringLiteral("Código"), QStringLiteral("Descripción"),
                QStringLiteral("Mostrador P. Venta"), QStringLiteral("Mostrador Util. %"),
                QStringLiteral("Mostrador Oferta"), QStringLiteral("4 P. Venta"),
                QStringLiteral("4 Util. %"), QStringLiteral("4 Oferta") } },
    };
    const QLocale pesos(QLocale::Spanish, QLocale::Argentina);
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.caso);
        const auto ventana = carga(QLatin1String(caso.parametro));
        caso.prepara(*ventana);
        const QString xlsx = m_dir.filePath(QStringLiteral("lista.xlsx"));

        const QString texto = porMensaje(*ventana, xlsx);

        ASSERT_FALSE(texto.isEmpty());
        QStringList lineas;
        for (const QString& linea : texto.split(u'\n'))
            lineas << linea.simplified();
        const XlsxTools::SheetCells hoja = XlsxTools::readSheet(xlsx);
        // The cells by row, "A" -> "text" or "number [format]".
        std::map<int, std::map<QString, QString>> filas;
        static const QRegularExpression celda(QStringLiteral("^([A-Z]+)(\\d+)=(.*)$"),
            QRegularExpression::DotMatchesEverythingOption);
        for (const QString& c : hoja.cells) {
            const QRegularExpressionMatch m = celda.match(c);
            ASSERT_TRUE(m.hasMatch()) << c.toStdString();
            filas[m.captured(2).toInt()][m.captured(1)] = m.captured(3);
        }
        QStringList encabezados;
        for (const auto& [columna, nombre] : filas[1])
            encabezados << nombre;
        EXPECT_EQ(encabezados.mid(0, caso.encabezados.size()), caso.encabezados);
        for (const QString& nombre : encabezados)
            for (const QString& palabra : nombre.split(u' '))
                EXPECT_TRUE(texto.contains(palabra)) << nombre.toStdString();

        // Group headings and counts are rows of their own; every other row is an article's,
        // whose code starts a printed line holding each of its amounts as printed.
        std::map<QString, qsizetype> anchos; // column -> characters of its widest value
        int grupos = 0;
        int cuentas = 0;
        int articulos = 0;
        int delGrupo = 0;
        static const QRegularExpression numero(QStringLiteral("^(-?[\\d.E+-]+) \\[(.*)\\]$"));
        for (const auto& [fila, celdas] : filas) {
            if (fila == 1)
                continue;
            const QString primera = celdas.begin()->second;
            static const QRegularExpression codigo(QStringLiteral("^\\d{6}$"));
            if (celdas.size() == 1 && !codigo.match(primera).hasMatch()) {
                if (primera.endsWith(QStringLiteral(" artículos"))) {
                    ++cuentas;
                    EXPECT_EQ(primera, QStringLiteral("%1 artículos").arg(delGrupo));
                } else {
                    ++grupos;
                    delGrupo = 0;
                }
                EXPECT_TRUE(lineas.contains(primera)) << primera.toStdString();
                continue;
            }
            ++articulos;
            ++delGrupo;
            const QStringList impresas = lineas.filter(QRegularExpression(u'^' + primera + u' '));
            ASSERT_FALSE(impresas.isEmpty()) << primera.toStdString();
            for (const auto& [columna, valor] : celdas) {
                QString mostrado = valor;
                if (const QRegularExpressionMatch m = numero.match(valor); m.hasMatch()) {
                    const double v = m.captured(1).toDouble();
                    const QString formato = m.captured(2);
                    // Optional decimals show a whole number with a separator and nothing after.
                    EXPECT_FALSE(formato.contains(QStringLiteral(".#")) && v == std::floor(v))
                        << primera.toStdString() << " " << valor.toStdString();
                    mostrado = pesos.toString(v, 'f', formato.contains(u'.') ? 2 : 0);
                    if (formato.contains(QStringLiteral(".#")) && mostrado.endsWith(u'0'))
                        mostrado.chop(mostrado.endsWith(QStringLiteral(",00")) ? 3 : 1);
                    EXPECT_FALSE(impresas.filter(u' ' + mostrado).isEmpty())
                        << primera.toStdString() << " " << mostrado.toStdString();
                }
                anchos[columna] = std::max(anchos[columna], mostrado.size());
            }
        }
        EXPECT_GT(articulos, 10);
        EXPECT_EQ(grupos, cuentas);
        for (const QString& c : hoja.cells)
            EXPECT_FALSE(c.contains(QStringLiteral("ADMIN/"))) << c.toStdString();
        // Each column at least as wide as its widest value (and no wider than a screen's part).
        ASSERT_EQ(hoja.widths.size(), qsizetype(filas[1].size()));
        for (const QString& ancho : hoja.widths) {
            const QString columna = ancho.section(u'=', 0, 0);
            EXPECT_GE(
                ancho.section(u'=', 1).toDouble(), std::min<double>(double(anchos[columna]), 58))
                << ancho.toStdString();
        }
    }
}

TEST_F(ImpresionDesdeVentana, screen_and_printer_keys_reach_their_outputs)
{
    const auto ventana = carga();
    ventana->texto("ListaDesde", QStringLiteral("2"));
    ventana->texto("ListaHasta", QStringLiteral("2"));
    ventana->columnas({ 1 });
    ventana->agrupa(1);

    ventana->pulsa("PANTALLA");
    ventana->pulsa("IMPRESORA");

    ASSERT_EQ(m_salidas.salidas.size(), 2);
    EXPECT_EQ(m_salidas.salidas[0].destino.kind, ReportOutputTarget::Kind::Screen);
    EXPECT_EQ(m_salidas.salidas[1].destino.kind, ReportOutputTarget::Kind::Printer);
    for (const auto& salida : m_salidas.salidas) {
        EXPECT_EQ(salida.destino.title, QStringLiteral("RP_ListaPreciosFamilia"));
        EXPECT_TRUE(salida.texto.contains(QStringLiteral("Lista Mayorista")));
        EXPECT_TRUE(salida.texto.contains(ventana->ChkFiltro()[1]->text()));
    }
    EXPECT_EQ(m_salidas.salidas[0].texto, m_salidas.salidas[1].texto);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ImpresionDesdeVentana, the_printer_key_prints_on_the_default_queue_of_the_print_server)
{
    testsupport::CupsPrivado cups;
    if (!cups.iniciado()) {
        // A build service has its print server: a missing one there is a failure, not a skip.
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true"))
            << cups.motivo().toStdString();
        GTEST_SKIP() << "no print server here: " << cups.motivo().toStdString();
    }
    SinkReportOutputs impresoras;
    const ScopedService<ReportOutputs> impresorasService(impresoras);
    const auto ventana = carga();
    ventana->texto("ListaDesde", QStringLiteral("2"));
    ventana->texto("ListaHasta", QStringLiteral("2"));
    ventana->columnas({ 1 });

    ventana->pulsa("IMPRESORA");

    const QString pdf = cups.esperaPdf();
    ASSERT_FALSE(pdf.isEmpty());
    const QString texto = pdfText(pdf);
    EXPECT_TRUE(texto.contains(QStringLiteral("Lista Mayorista"))) << texto.left(400).toStdString();
    EXPECT_FALSE(codes(texto).isEmpty());
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

TEST_F(ImpresionDesdeVentana, every_sort_grouping_and_layout_prints_on_the_screen_in_its_order)
{
    const struct
    {
        const char* parametro;
        const char* lista;
        bool selectivo;
        bool analisis;
        const char* reporte; // ungrouped
    } modos[] = {
        { "", "1", false, false, "RP_ListaPrecios" },
        { "", "1", true, false, "RP_ListaPrecios_Sel" },
        { "C", "20", false, false, "RP_ListaPrecios" },
        { "C", "20", false, true, "RP_LISTAPRECIOSAC" },
    };
    static const char* const agrupamientos[] = { "Rubro", "Familia", "Proveedor", "" };
    for (const auto& modo : modos) {
        const auto ventana = carga(QLatin1String(modo.parametro));
        ventana->texto("ListaDesde", QLatin1String(modo.lista));
        ventana->texto("ListaHasta", QLatin1String(modo.lista));
        ventana->columnas({ 1, 4 });
        ventana->tilda("chkIncluirEnCero");
        ventana->tilda("ChkSelectivo", modo.selectivo);
        if (modo.analisis) {
            ventana->tilda("chkAnalisisCostos");
            ventana->marca("LstListas", { QStringLiteral("   4") });
        }
        // The articles the list holds, and the order key of an article for each sort field.
        const QString tabla
            = modo.analisis ? QStringLiteral("AUX_ANALISISCOSTOS") : QStringLiteral("V_MA_PRECIOS");
        const QString filtro = modo.analisis
            ? QStringLiteral("x.USUARIO = 'ADMIN/PUESTO01'")
            : QStringLiteral("x.IdLista = '%1'%2")
                  .arg(QString::fromLatin1(modo.lista).rightJustified(4),
                      modo.parametro[0] ? QStringLiteral(" AND a.SUSPENDIDOC = 0") : QString());
        // Each grouping with the first sort; ungrouped, every sort. The analysis has no grouping.
        for (int grupo = modo.analisis ? 3 : 0; grupo < 4; ++grupo) {
            ventana->agrupa(grupo);
            for (int orden = 0; orden < (grupo == 3 ? ventana->OptOrden().size() : 1); ++orden) {
                SCOPED_TRACE(QStringLiteral("%1 %2 %3")
                                 .arg(QLatin1String(modo.reporte))
                                 .arg(grupo)
                                 .arg(orden)
                                 .toStdString());
                ventana->OptOrden()[orden]->setChecked(true);
                m_salidas.salidas.clear();

                ventana->pulsa("PANTALLA");

                ASSERT_EQ(m_salidas.salidas.size(), 1);
                QString nombre = QLatin1String(modo.reporte);
                if (!modo.analisis)
                    nombre.insert(modo.selectivo ? nombre.size() - 4 : nombre.size(),
                        QLatin1String(agrupamientos[grupo]));
                EXPECT_EQ(m_salidas.salidas[0].destino.title, nombre);
                if (grupo != 3 && !modo.analisis)
                    continue;
                // Ungrouped, the articles come in the chosen order (ties in any order).
                const QString campo = ventana->OptOrden()[orden]
                                          ->property("Tag")
                                          .toString()
                                          .section(u'.', 1)
                                          .chopped(1);
                QStringList esperadas;
                QHash<QString, QString> claves;
                for (const QString& f :
                    rows(QStringLiteral("SELECT a.IDARTICULO, a.%1 FROM V_MA_ARTICULOS a JOIN %2 x "
                                        "ON x.IdArticulo = a.IDARTICULO WHERE %3 AND a.SUSPENDIDO "
                                        "= 0 ORDER BY 2, 1")
                             .arg(campo, tabla, filtro))) {
                    esperadas << f.section(u'|', 1);
                    claves.insert(f.section(u'|', 0, 0), f.section(u'|', 1));
                }
                QStringList impresas;
                for (const QString& c : codes(m_salidas.salidas[0].texto))
                    impresas << claves.value(c, QStringLiteral("?"));
                EXPECT_EQ(impresas, esperadas);
            }
        }
        EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    }
}

TEST_F(ImpresionDesdeVentana, a_refused_request_prints_nothing_after_its_message)
{
    const struct
    {
        const char* caso;
        std::function<void(Ventana&)> prepara;
        const char* titulo;
        const char* mensaje;
    } casos[] = {
        { "section bounds the wrong way round",
            [](Ventana& v) {
                v.texto("RubroDesde", QStringLiteral("Z"));
                v.texto("RubroHasta", QStringLiteral("A"));
            },
            "Aviso al Operador", "Desde Mayor que Hasta, Campo : {v_ma_articulos.idrubro}" },
        { "an offer start that is no date",
            [](Ventana& v) {
                v.tilda("ChkArticulosEnOferta");
                v.texto("OfDesde", QStringLiteral("31/02/2024"));
            },
            "Aviso al Operador", "Fecha Desde de Articulos en Oferta incorrecta: \"31/02/2024\"" },
        { "an offer end that is no date",
            [](Ventana& v) {
                v.tilda("ChkArticulosEnOferta");
                v.texto("OfDesde", QString());
                v.texto("OfHasta", QStringLiteral("mañana"));
            },
            "Aviso al Operador", "Fecha Hasta de Articulos en Oferta incorrecta: \"mañana\"" },
        { "no grouping chosen",
            [](Ventana& v) {
                for (QRadioButton* opcion : v.OptGROUP()) {
                    opcion->setAutoExclusive(false);
                    opcion->setChecked(false);
                }
            },
            "Error", "DEBE seleccionar un tipo de listado" },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.caso);
        const auto ventana = carga();
        caso.prepara(*ventana);
        testsupport::messages().answer(Msg::Ok);

        EXPECT_TRUE(porMensaje(*ventana).isEmpty());

        ASSERT_EQ(testsupport::messages().shown().size(), 1);
        EXPECT_EQ(testsupport::messages().shown()[0].title, QLatin1String(caso.titulo));
        EXPECT_EQ(testsupport::messages().shown()[0].text, QString::fromUtf8(caso.mensaje));
    }
    EXPECT_TRUE(m_salidas.salidas.isEmpty());
}

TEST_F(ImpresionDesdeVentana,
    purchase_lists_of_a_retail_business_leave_out_what_is_suspended_for_purchases)
{
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = 'RETAIL'"));
    const QStringList esperados
        = rows(QStringLiteral("SELECT p.IdArticulo FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a ON "
                              "a.IDARTICULO = p.IdArticulo "
                              "WHERE p.IdLista = '  20' AND a.SUSPENDIDO = 0 AND a.SUSPENDIDOC = 0 "
                              "AND (p.COSTO <> 0 OR p.PRECIO1 <> 0) ORDER BY p.IdArticulo"));
    ASSERT_FALSE(esperados.isEmpty());
    ASSERT_FALSE(rows(QStringLiteral("SELECT IDARTICULO FROM V_MA_ARTICULOS WHERE SUSPENDIDOC <> 0 "
                                     "AND SUSPENDIDO = 0"))
                     .isEmpty());
    const auto ventana = carga(QStringLiteral("C"));
    ventana->texto("ListaDesde", QStringLiteral("20"));
    ventana->texto("ListaHasta", QStringLiteral("20"));
    ventana->columnas({ 0, 1 });
    ventana->agrupa(2);

    const QString texto = porMensaje(*ventana);

    EXPECT_TRUE(texto.contains(QStringLiteral("Lista de Precios de Compra por Proveedor")));
    EXPECT_TRUE(hasLine(texto, QStringLiteral("^\\s*20\\s+Compras Generales")));
    QStringList impresos = codes(texto);
    std::sort(impresos.begin(), impresos.end());
    EXPECT_EQ(impresos, esperados);
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

// The cost analysis in purchase mode: the work table filled for the chosen lists and printed
// with its rows.
TEST_F(ImpresionDesdeVentana, cost_analysis_prints_each_lists_price_utility_and_offer)
{
    // An offer in list 4 that the print must show, and a row of another user that it must not.
    const QString articulo
        = rows(QStringLiteral(
                   "SELECT p.IdArticulo FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a ON a.IDARTICULO "
                   "= p.IdArticulo "
                   "WHERE p.IdLista = '   4' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo LIMIT 1"))
              .value(0);
    ASSERT_FALSE(articulo.isEmpty());
    exec(QStringLiteral(
        "UPDATE MA_PRECIOS SET FhOfertaDesde = '2024-03-10 00:00:00', "
        "FhOfertaHasta = '2024-03-20 00:00:00' WHERE IdLista = '   4' AND IdArticulo = '%1'")
             .arg(articulo));
    exec(QStringLiteral("INSERT INTO AUX_ANALISISCOSTOS (IDARTICULO, USUARIO, L1, L1_PVENTA) "
                        "VALUES ('%1', 'otro/PC9', 'Ajena', 99999)")
             .arg(articulo));
    const auto ventana = carga(QStringLiteral("C"));
    ventana->tilda("chkAnalisisCostos");
    ventana->marca("LstListas", { QStringLiteral("Mostrador"), QStringLiteral("   4") });

    const QString texto = porMensaje(*ventana);

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    const QStringList filas = rows(QStringLiteral(
        "SELECT x.IDARTICULO, x.L1, x.L1_PVENTA, x.L1_UTL, x.L2, x.L2_PVENTA, x.L2_UTL "
        "FROM AUX_ANALISISCOSTOS x JOIN V_MA_ARTICULOS a ON a.IDARTICULO = x.IDARTICULO "
        "WHERE x.USUARIO = 'ADMIN/PUESTO01' AND a.SUSPENDIDO = 0 ORDER BY x.IDARTICULO"));
    ASSERT_GT(filas.size(), 10);
    EXPECT_TRUE(texto.contains(QStringLiteral("Análisis de Costos")));
    EXPECT_TRUE(hasLine(texto, QStringLiteral("Mostrador\\s+4\\s*$")));
    EXPECT_FALSE(texto.contains(QStringLiteral("Ajena")));
    QStringList impresos;
    for (const QString& f : filas)
        impresos << f.section(u'|', 0, 0);
    EXPECT_EQ(codes(texto), impresos);
    // Each list's price and utility where the article has a price there, blank where not.
    int enAmbas = 0;
    for (const QString& f : filas) {
        const QString codigo = f.section(u'|', 0, 0);
        QString patron = QStringLiteral("^\\s*%1 .*").arg(codigo);
        for (int n : { 0, 1 }) {
            if (f.section(u'|', 1 + 3 * n, 1 + 3 * n).isEmpty())
                continue;
            patron += QStringLiteral("\\s+%1\\s+%2")
                          .arg(QRegularExpression::escape(money(columna(f, 2 + 3 * n))),
                              QRegularExpression::escape(money(columna(f, 3 + 3 * n))));
            if (n == 1 && codigo == articulo)
                patron += QStringLiteral("\\s+10/03/24 al 20/03/24");
            else
                patron += QStringLiteral("(\\s+\\d\\d/\\d\\d/\\d\\d al \\d\\d/\\d\\d/\\d\\d)?");
        }
        EXPECT_TRUE(hasLine(texto, patron + QStringLiteral("\\s*$"))) << f.toStdString();
        if (!f.section(u'|', 1, 1).isEmpty() && !f.section(u'|', 4, 4).isEmpty())
            ++enAmbas;
    }
    EXPECT_GT(enAmbas, 0);
}

TEST_F(ImpresionDesdeVentana,
    cost_analysis_with_offers_keeps_the_articles_on_offer_in_the_first_list_that_prices_them)
{
    // Three articles of list 6: one on offer in list 1, one on offer only in list 6 but with
    // no price in list 1, one on offer in list 6 but not in list 1's period.
    const QStringList lista6 = rows(QStringLiteral(
        "SELECT p.IdArticulo FROM MA_PRECIOS p JOIN V_MA_ARTICULOS a ON a.IDARTICULO = "
        "p.IdArticulo "
        "WHERE p.IdLista = '   6' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo LIMIT 3"));
    ASSERT_EQ(lista6.size(), 3);
    exec(QStringLiteral("UPDATE MA_PRECIOS SET FhOfertaDesde = NULL, FhOfertaHasta = NULL"));
    const auto oferta = [&](const char* lista, const QString& articulo, const char* desde) {
        exec(QStringLiteral(
            "UPDATE MA_PRECIOS SET FhOfertaDesde = '%1 00:00:00', "
            "FhOfertaHasta = '2024-04-30 00:00:00' WHERE IdLista = '%2' AND IdArticulo = '%3'")
                 .arg(QLatin1String(desde), QLatin1String(lista), articulo));
    };
    oferta("   1", lista6[0], "2024-03-01");
    exec(QStringLiteral("DELETE FROM MA_PRECIOS WHERE IdLista = '   1' AND IdArticulo = '%1'")
             .arg(lista6[1]));
    oferta("   6", lista6[1], "2024-03-01");
    oferta("   6", lista6[2], "2024-03-01");
    oferta("   1", lista6[2], "2023-12-01");
    const auto ventana = carga(QStringLiteral("C"));
    ventana->tilda("chkAnalisisCostos");
    ventana->tilda("ChkArticulosEnOferta");
    ventana->texto("OfDesde", QStringLiteral("01/01/2024"));
    ventana->texto("OfHasta", QStringLiteral("31/12/2024"));
    // Group "Mostrador" stands for list 1; list 5 holds the offers.
    ventana->marca("LstListas", { QStringLiteral("   6"), QStringLiteral("Mostrador") });

    const QString texto = porMensaje(*ventana);

    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
    EXPECT_EQ(codes(texto), (QStringList { lista6[0], lista6[1] }));
}

TEST_F(ImpresionDesdeVentana, a_cost_analysis_that_fails_prints_nothing_and_leaves_no_rows)
{
    // The database refuses the rows of one article.
    const QString articulo = rows(
        QStringLiteral(
            "SELECT p.IdArticulo FROM V_MA_PRECIOS p JOIN V_MA_ARTICULOS a ON a.IDARTICULO = "
            "p.IdArticulo "
            "WHERE p.IdLista = '   4' AND a.SUSPENDIDO = 0 ORDER BY p.IdArticulo LIMIT 1 OFFSET 3"))
                                 .value(0);
    ASSERT_FALSE(articulo.isEmpty());
    exec(QStringLiteral(
        "CREATE TRIGGER rechaza BEFORE INSERT ON AUX_ANALISISCOSTOS "
        "WHEN NEW.IDARTICULO = '%1' BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END")
             .arg(articulo));
    const auto ventana = carga(QStringLiteral("C"));
    ventana->tilda("chkAnalisisCostos");
    ventana->marca("LstListas", { QStringLiteral("   4") });
    testsupport::messages().answer(Msg::Retry);
    testsupport::messages().answer(Msg::Abort);

    EXPECT_TRUE(porMensaje(*ventana).isEmpty());

    ASSERT_EQ(testsupport::messages().shown().size(), 2);
    for (const auto& caja : testsupport::messages().shown()) {
        EXPECT_EQ(caja.title, QStringLiteral("Aviso al Operador"));
        EXPECT_TRUE(caja.text.contains(QStringLiteral("fila rechazada")))
            << caja.text.toStdString();
        EXPECT_EQ(caja.style, Msg::AbortRetryIgnore + Msg::Critical);
    }
    EXPECT_TRUE(rows(QStringLiteral("SELECT IDARTICULO FROM AUX_ANALISISCOSTOS "
                                    "WHERE USUARIO = 'ADMIN/PUESTO01'"))
                    .isEmpty());
    EXPECT_EQ(m_display.formulario(), nullptr);
}

} // namespace

// The sender as the operator uses it from the window: the modal sender gets its automatic box
// ticked and is sent; the timed notice is passed over.
class EnvioDesdeVentana final : public FormularioModal
{
public:
    int modales = 0;
    QStringList titulos;
    QStringList avisos;
    int muestra(QDialog& form) override
    {
        if (auto* aviso = qobject_cast<FrmMsgBox*>(&form)) {
            avisos << aviso->Mensaje;
            return QDialog::Accepted;
        }
        auto* sender = qobject_cast<FrmEnviar*>(&form);
        EXPECT_NE(sender, nullptr);
        if (!sender)
            return QDialog::Rejected;
        ++modales;
        titulos << sender->windowTitle();
        sender->control<QCheckBox>("ChkAutomatico")->setChecked(true);
        sender->control<QPushButton>("cmdSend")->click();
        return sender->result();
    }
};

TEST_F(ImpresionDesdeVentana,
    mailed_lists_reach_the_mail_server_modal_first_then_at_once_in_each_format)
{
    SmtpPeer peer({});
    ASSERT_TRUE(peer.iniciado());
    exec(QStringLiteral("UPDATE TA_USUARIOS SET email_ServerOtro = '127.0.0.1'"));
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = 'EMAIL_PUERTO'")
             .arg(peer.puerto()));
    exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'clientes@example.com' "
                        "WHERE CLAVE = 'EMAIL_PARARP_TARIFOLIO'"));
    // Files in every format, as the program writes them.
    SinkReportOutputs archivos;
    ScopedService<ReportOutputs> archivosService(archivos);
    CurlMailFactory correo;
    ScopedService<MailFactory> correoService(correo);
    EnvioCorreoFormulario envio;
    ScopedService<EnvioCorreo> envioService(envio);
    EnvioDesdeVentana modales;
    ScopedService<FormularioModal> modalesService(modales);
    eMailAux::gResultadoEnvio = 0;
    const struct
    {
        const char* palabra;
        const char* extension; // of the file attached
    } formatos[] = {
        { "PDF", "PDF" }, { "", "PDF" }, { "pdf", "pdf" }, { "HTML", "HTML" }, { "htm", "htm" },
        { "RTF", "RTF" }, { "XLS", "xlsx" }, { "RPT", "RPT" },
        { "DOC", "PDF" }, // unknown: told, and mailed as PDF
    };

    for (const auto& f : formatos) {
        SCOPED_TRACE(f.palabra);
        exec(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = "
                            "'EMAIL_FORMATOADJUNTO'")
                 .arg(QLatin1String(f.palabra)));
        const auto ventana = carga();
        if (QLatin1String(f.palabra) == QLatin1String("DOC"))
            testsupport::messages().answer(Msg::Ok);
        ventana->texto("ListaDesde", QStringLiteral("1"));
        ventana->texto("ListaHasta", QStringLiteral("1"));
        const int antes = peer.mensajes().size();

        ventana->pulsa("MENSAJE");

        ASSERT_EQ(peer.mensajes().size(), antes + 1);
        // Every send of the test shares one work folder (the clock stands still), so "pdf"
        // finds the "PDF" written before it.
        const QString adjunto = FileNames::resolve(
            carpetaEnvio() + u'/' + baseEnvio() + u'.' + QLatin1String(f.extension));
        const QJsonObject eml = SmtpPeer::resumen(peer.mensajes().last());
        EXPECT_EQ(eml[QStringLiteral("To")].toString(), QStringLiteral("clientes@example.com"));
        EXPECT_EQ(eml[QStringLiteral("Subject")].toString(), QStringLiteral("Lista de precios"));
        const QJsonObject parte = eml[QStringLiteral("parts")].toArray().last().toObject();
        EXPECT_EQ(parte[QStringLiteral("filename")].toString(), QFileInfo(adjunto).fileName());
        EXPECT_EQ(parte[QStringLiteral("sha256")].toString(),
            QString::fromLatin1(
                QCryptographicHash::hash(testsupport::readFile(adjunto), QCryptographicHash::Sha256)
                    .toHex()));
        EXPECT_GT(parte[QStringLiteral("size")].toInt(), 0);
    }

    // Only the first send asked; after it the box stayed ticked and the rest went at once.
    EXPECT_EQ(modales.modales, 1);
    EXPECT_EQ(modales.titulos, QStringList { executableName() });
    EXPECT_EQ(modales.avisos.size(), 9);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_TRUE(
        testsupport::messages().shown()[0].text.contains(QStringLiteral("eMail_formatoadjunto")));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT Status, CuentaEmail, Tipo FROM v_ma_emailmov")).size(), 9);
    EXPECT_EQ(rows(QStringLiteral("SELECT DISTINCT Status || '|' || CuentaEmail || '|' || Tipo "
                                  "FROM v_ma_emailmov")),
        QStringList { QStringLiteral("OK|ventas@elprogreso.example|E") });
    EXPECT_EQ(rows(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = "
                                  "'EMAIL_PARARP_TARIFOLIO'")),
        QStringList { QStringLiteral("clientes@example.com") });
}
