#include <cmath>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include "data/TurnoPuesto.h"
#include "platform/qt/SqliteText.h"
#include "reportengine/PdfTools.h"
#include "support/DemoDatabaseFiles.h"
#include "support/ToolProcess.h"

namespace {

struct Corrida
{
    int salida = -1;
    QString errores;
};

// `carpetaPrograma`, when given, is the program folder the tool reads its files from.
Corrida rpVoucher(const QStringList& argumentos, const QString& carpetaPrograma = QString())
{
    static QTemporaryDir runtime;
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (!carpetaPrograma.isEmpty())
        entorno.insert(QStringLiteral("RP_TARIFOLIO_HOME"), carpetaPrograma);
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess herramienta;
    herramienta.setProcessEnvironment(entorno);
    herramienta.start(QStringLiteral(RP_VOUCHER_EXE), argumentos);
    Corrida corrida;
    if (!herramienta.waitForFinished(120000) || herramienta.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "rp_voucher did not end";
        return corrida;
    }
    corrida.salida = herramienta.exitCode();
    corrida.errores = QString::fromUtf8(herramienta.readAllStandardError());
    return corrida;
}

QString textoPdfEnLineas(const QString& pdf)
{
    QProcess herramienta;
    herramienta.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    herramienta.waitForFinished(60000);
    return QString::fromUtf8(herramienta.readAllStandardOutput());
}

QString textoPdf(const QString& pdf)
{
    return textoPdfEnLineas(pdf).simplified();
}

// The QR symbol a reader finds on the first page of a PDF, decoded from its base64: the page
// drawn as a picture (pdftoppm) and read (zbarimg). A missing tool fails the test.
QString qrDePagina(const QString& pdf, const QString& carpeta)
{
    const QString imagen = carpeta + QStringLiteral("/pagina");
    QProcess dibuja;
    dibuja.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("150"),
            QStringLiteral("-singlefile"), pdf, imagen });
    if (!dibuja.waitForFinished(60000) || dibuja.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm no se pudo ejecutar (poppler-utils)";
        return QString();
    }
    QProcess lector;
    lector.start(QStringLiteral("zbarimg"),
        { QStringLiteral("--raw"), QStringLiteral("-q"), imagen + QStringLiteral(".png") });
    if (!lector.waitForFinished(60000)) {
        ADD_FAILURE() << "zbarimg no se pudo ejecutar (zbar-tools)";
        return QString();
    }
    // The symbol opens the authority's address with the voucher's data in base64 after "?p=".
    const QString leido = QString::fromUtf8(lector.readAllStandardOutput().trimmed());
    const qsizetype datos = leido.indexOf(QLatin1String("?p="));
    if (!leido.startsWith(QLatin1String("https://www.afip.gob.ar/fe/qr/?p=")) || datos < 0) {
        ADD_FAILURE() << "el QR no abre la dirección de la autoridad: " << leido.toStdString();
        return QString();
    }
    return QString::fromUtf8(QByteArray::fromBase64(leido.mid(datos + 3).toLatin1()));
}

class RpVoucherPrint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Until the tool's table lists them, the subcommands are not there to run; on the build
        // machine they must be.
        if (!rpVoucher({}).errores.contains(QLatin1String("print --db"))) {
            ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true"))
                << "rp_voucher no tiene el subcomando print";
            GTEST_SKIP() << "rp_voucher no tiene el subcomando print";
        }
        m_db = testsupport::writeDemoDatabases(m_dir.path(), 20);
        ASSERT_FALSE(m_db.isEmpty());
        m_pdf = m_dir.filePath(QStringLiteral("pdf"));
    }

    // One copy of each invoice from `desde` to `hasta`, printed into `carpeta`: the files.
    QStringList imprimeFacturas(
        const QString& desde, const QString& hasta, const QString& carpeta) const
    {
        const Corrida c = rpVoucher(
            { QStringLiteral("print"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
                QStringLiteral("FC"), QStringLiteral("--id"), desde, QStringLiteral("--hasta"),
                hasta, QStringLiteral("--una-copia"), QStringLiteral("--pdf"), carpeta });
        EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
        QStringList pdfs;
        for (const QString& pdf : QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files))
            pdfs << QDir(carpeta).filePath(pdf);
        return pdfs;
    }

    // The PDFs of a form printed by rp_voucher (the subcommand and its arguments, without the
    // database and the folder) or rendered by rp_render (`comando` opening with "rp_render"),
    // into `carpeta`; none when the print fails.
    QStringList imprime(const QStringList& comando, const QString& carpeta) const
    {
        if (comando[0] == u"rp_render") {
            const QString pdf = carpeta + QStringLiteral(".pdf");
            QProcess render;
            render.setProcessEnvironment(testsupport::toolEnvironment());
            render.start(QStringLiteral(RP_RENDER_EXE),
                comando.mid(1)
                    + QStringList { QStringLiteral("--db"), m_db, QStringLiteral("--format"),
                        QStringLiteral("pdf"), QStringLiteral("--out"), pdf });
            EXPECT_TRUE(render.waitForFinished(120000));
            EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
            return render.exitCode() == 0 ? QStringList { pdf } : QStringList();
        }
        const Corrida c = rpVoucher(QStringList { comando[0], QStringLiteral("--db"), m_db }
            + comando.mid(1) + QStringList { QStringLiteral("--pdf"), carpeta });
        EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
        // An order's printing rules print its lines once more.
        QStringList pdfs;
        for (const QString& pdf : QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files))
            pdfs.append(carpeta + u'/' + pdf);
        return pdfs;
    }

    QTemporaryDir m_dir;
    QString m_db;
    QString m_pdf;
};

TEST_F(RpVoucherPrint, refuses_what_it_cannot_print_with_one_line)
{
    const struct
    {
        QStringList argumentos;
        const char* mensaje;
    } filas[] = {
        { { "--tc", "ZZZ", "--id", "000200001201A" }, "Tipo de comprobante desconocido: ZZZ" },
        { { "--tc", "FC", "--id", "000200009999A" },
            "No se encontró el comprobante FC 000200009999A" },
        { { "--tc", "AS", "--id", "000200000001X" }, "Falta --fecha" },
        { { "--tc", "FC", "--id", "000200001201A", "--hasta", "000200001200A" },
            "El comprobante final (--hasta 000200001200A) es anterior al inicial" },
    };
    for (const auto& f : filas) {
        const Corrida c = rpVoucher(
            QStringList { QStringLiteral("print"), QStringLiteral("--db"), m_db } + f.argumentos);

        EXPECT_EQ(c.salida, 2);
        EXPECT_TRUE(c.errores.startsWith(QString::fromUtf8(f.mensaje))) << c.errores.toStdString();
        EXPECT_EQ(c.errores.count(u'\n'), 1) << c.errores.toStdString();
        EXPECT_FALSE(QDir(m_pdf).exists());
    }

    // A --db that is there but holds no database is told by what it is.
    const QString enlace = m_dir.filePath(QStringLiteral("ENLACE.db"));
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("NADA.db")), enlace));
    const QString tuberia = m_dir.filePath(QStringLiteral("TUBERIA.db"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(tuberia).constData(), 0644), 0);
    const struct
    {
        QString base;
        const char* mensaje;
    } bases[] = {
        { m_dir.path(), "es una carpeta, no un archivo." },
        { QStringLiteral("/dev/null"), "es un dispositivo, no un archivo." },
        { enlace, "es un enlace a un archivo que no existe." },
        { tuberia, "es una tubería con nombre (FIFO), no un archivo." },
    };
    for (const auto& b : bases) {
        const Corrida c = rpVoucher(
            { QStringLiteral("buffer"), QStringLiteral("--db"), b.base, QStringLiteral("--tc"),
                QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200001201A") });

        EXPECT_EQ(c.salida, 2);
        EXPECT_TRUE(c.errores.trimmed().endsWith(QString::fromUtf8(b.mensaje)))
            << c.errores.toStdString();
    }
}

// The invoice a customer gets: company, customer, every line, payment footer, totals, amount in
// words, CAE and the copy caption.
TEST_F(RpVoucherPrint, prints_an_invoice_as_the_customer_gets_it)
{
    const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"),
        QStringLiteral("000200001201A"), QStringLiteral("--destino"), QStringLiteral("impresora"),
        QStringLiteral("--pdf"), m_pdf });

    EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
    const QString texto = textoPdf(m_pdf + QStringLiteral("/01-FC.pdf"));
    for (const char* esperado : { "Ferretería y Almacén El Progreso S.R.L.", "FACTURA",
             "Nº 0002-00001201", "Constructora Los Álamos S.R.L.", "Responsable Inscripto",
             "Su pago: Caja", "Son ", "CAE Nº:", "Vencimiento CAE:", "TOTAL", "ORIGINAL" })
        EXPECT_TRUE(texto.contains(QString::fromUtf8(esperado))) << esperado << "\n"
                                                                 << texto.toStdString();
    // The printed QR carries the voucher's own data, its code told as a CAE.
    const QString qr = qrDePagina(m_pdf + QStringLiteral("/01-FC.pdf"), m_dir.path());
    for (const char* esperado : { "\"ptoVta\":2,", "\"nroCmp\":1201,", "\"codAut\":7",
             "\"moneda\":\"PES\"", "\"tipoCodAut\":\"E\"" })
        EXPECT_TRUE(qr.contains(QLatin1String(esperado))) << esperado << "\n" << qr.toStdString();
}

// An amount printed "1.234,56" in cents.
std::optional<qint64> centavos(const QString& texto)
{
    static const QRegularExpression forma(QStringLiteral("^-?\\d{1,3}(\\.\\d{3})*,\\d\\d$"));
    if (!forma.match(texto).hasMatch())
        return std::nullopt;
    QString digitos = texto;
    digitos.remove(u'.').remove(u',');
    return digitos.toLongLong();
}

double numero(QString texto)
{
    return texto.remove(u'.').replace(u',', u'.').toDouble();
}

// Rounded to the cent half away from zero, as an accountant rounds.
qint64 redondeo(double centavosExactos)
{
    return static_cast<qint64>(centavosExactos < 0 ? std::ceil(centavosExactos - 0.5 - 1e-6)
                                                   : std::floor(centavosExactos + 0.5 + 1e-6));
}

// What one printed sales voucher says, read from its text.
struct Impreso
{
    struct Linea
    {
        QString texto;
        double cantidad = 0; // quantity, or hours of a task
        QString unidad; // an item's unit
        double precio = 0;
        double bonificacion = 0;
        qint64 total = 0;
    };
    QString numero;
    std::vector<Linea> items;
    std::vector<Linea> tareas;
    std::vector<qint64> conceptos;
    std::map<double, qint64> netos; // letters A and M: net by rate ("No gravado", "Exento" at 0)
    qint64 exento = 0; // letters A and M: what the breakdown prints as "Exento"
    std::map<double, qint64> iva; // letters A and M: VAT by rate
    std::map<double, qint64> contenido; // other letters: VAT contained by rate
    std::map<QString, qint64> fueraDeIva; // what the breakdown lists beside the rates, by text
    std::optional<qint64> total;
    QString letras; // the amount in words, without "Son" and the cents
    std::optional<int> centavosEnLetras;
    bool sujetaARetencion = false;
    // Pages (from 0) of the last line (item, task or other concept) and of the totals block's
    // parts: the words, each line of the breakdown, the TOTAL.
    int paginaUltimaLinea = -1;
    std::set<int> paginasTotales;
};

Impreso leeImpreso(const QString& texto)
{
    const QString monto = QStringLiteral("(-?[\\d.]+,\\d\\d)");
    // A quantity is followed by its unit; a unit price prints with the site's configured
    // decimals.
    const QRegularExpression item(
        QStringLiteral("^\\s*(\\S+)\\s+(.*\\S)\\s+(\\d[\\d.]*(?:,\\d+)?)\\s+([^\\s\\d]\\S*)")
        + QStringLiteral("\\s+(-?[\\d.]+(?:,\\d+)?)\\s+(\\d+(?:[.,]\\d+)?)\\s+") + monto
        + QStringLiteral("\\s*$"));
    const QRegularExpression tarea(QStringLiteral("^\\s*(\\S+)\\s+(.*\\S)\\s+(\\d+):(\\d\\d) h\\s+")
        + QStringLiteral("(-?[\\d.]+(?:,\\d+)?)\\s+") + monto + QStringLiteral("\\s*$"));
    const QRegularExpression concepto(
        QStringLiteral("^\\s+(\\S.*\\S)\\s{2,}") + monto + QStringLiteral("\\s*$"));
    const QRegularExpression porTasa(
        QStringLiteral(
            "^\\s*(Neto gravado|IVA contenido|IVA|No gravado|Exento) ?([\\d,]*)(?: %)?\\s+")
        + monto + QStringLiteral("\\s*$"));
    const QRegularExpression total(
        QStringLiteral("^\\s*TOTAL(?: \\S+)?\\s+") + monto + QStringLiteral("\\s*$"));
    const QRegularExpression letras(QStringLiteral("^Son (.*) \\S+ con (\\d\\d)/100"));
    const QRegularExpression numeroCpte(QStringLiteral("Nº (\\d{4})-(\\d{8})"));
    // Beside the rates the breakdown lists, under their own text, what is not VAT.
    const QRegularExpression otroRenglon(
        QStringLiteral("^\\s{20,}(\\S.*\\S)\\s{2,}") + monto + QStringLiteral("\\s*$"));

    Impreso impreso;
    bool enConceptos = false;
    bool enTotales = false; // from the amount in words on
    QString enLetras; // the words, gathered over the lines they take
    int pagina = 0;
    for (QString linea : texto.split(u'\n')) {
        pagina += int(linea.count(u'\f'));
        linea.remove(u'\f');
        QRegularExpressionMatch m;
        if (impreso.numero.isEmpty() && (m = numeroCpte.match(linea)).hasMatch())
            impreso.numero = m.captured(1) + m.captured(2);
        if (!enLetras.isEmpty()) {
            enLetras += u' ' + linea.trimmed();
            linea.clear();
        } else if (linea.startsWith(QLatin1String("Son "))) {
            enLetras = linea.trimmed();
            impreso.paginasTotales.insert(pagina);
            enConceptos = false;
            enTotales = true;
        }
        if (!enLetras.isEmpty()) {
            if ((m = letras.match(enLetras)).hasMatch()) {
                impreso.letras = m.captured(1);
                impreso.centavosEnLetras = m.captured(2).toInt();
                enLetras.clear();
            } else if (enLetras.size() > 400) {
                enLetras.clear();
            }
            continue;
        }
        if (linea.contains(QString::fromUtf8("OPERACIÓN SUJETA A RETENCIÓN")))
            impreso.sujetaARetencion = true;
        if (linea.trimmed() == QLatin1String("Otros Conceptos - Observaciones - Comentarios")) {
            enConceptos = true;
        } else if ((m = tarea.match(linea)).hasMatch()) {
            impreso.tareas.push_back(
                { m.captured(2), m.captured(3).toDouble() + m.captured(4).toDouble() / 60, {},
                    numero(m.captured(5)), 0, *centavos(m.captured(6)) });
            impreso.paginaUltimaLinea = pagina;
        } else if ((m = item.match(linea)).hasMatch() && centavos(m.captured(7))) {
            impreso.items.push_back({ m.captured(2), numero(m.captured(3)), m.captured(4),
                numero(m.captured(5)), numero(m.captured(6)), *centavos(m.captured(7)) });
            impreso.paginaUltimaLinea = pagina;
        } else if (enTotales && (m = porTasa.match(linea)).hasMatch()) {
            impreso.paginasTotales.insert(pagina);
            const double tasa = m.captured(2).isEmpty() ? 0 : numero(m.captured(2));
            const qint64 importe = *centavos(m.captured(3));
            const QString rotulo = m.captured(1);
            if (rotulo == QLatin1String("IVA contenido"))
                impreso.contenido[tasa] += importe;
            else if (rotulo == QLatin1String("IVA"))
                impreso.iva[tasa] += importe;
            else
                impreso.netos[tasa] += importe;
            if (rotulo == QLatin1String("Exento"))
                impreso.exento += importe;
        } else if ((m = total.match(linea)).hasMatch()) {
            impreso.total = centavos(m.captured(1));
            impreso.paginasTotales.insert(pagina);
        } else if (enTotales && (m = otroRenglon.match(linea)).hasMatch()) {
            impreso.fueraDeIva[m.captured(1)] += *centavos(m.captured(2));
            impreso.paginasTotales.insert(pagina);
        } else if (enConceptos && (m = concepto.match(linea)).hasMatch()) {
            impreso.conceptos.push_back(*centavos(m.captured(2)));
            impreso.paginaUltimaLinea = pagina;
        }
    }
    return impreso;
}

// The demo database read with the program's text semantics.
class BaseDemo
{
public:
    explicit BaseDemo(const QString& path)
        : m_nombre(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombre);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open() && registerSqliteText(db));
    }
    void ejecuta(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(m_nombre));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    ~BaseDemo() { QSqlDatabase::removeDatabase(m_nombre); }

    std::vector<QStringList> filas(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(m_nombre));
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        std::vector<QStringList> filas;
        while (q.next()) {
            QStringList fila;
            for (int c = 0; c < q.record().count(); ++c)
                fila << q.value(c).toString();
            filas.push_back(fila);
        }
        return filas;
    }

private:
    QString m_nombre;
};

// What the database says a sales voucher charges: the rate of each item line, task and other
// concept in their order, the text the breakdown gives an other concept without VAT, and the
// internal taxes of the item lines.
struct Cargos
{
    std::vector<double> items;
    std::vector<double> tareas;
    std::vector<double> conceptos;
    std::vector<QString> textosConceptos;
    qint64 internos = 0;
};

Cargos cargosDe(const BaseDemo& base, const QString& tc, const QString& id)
{
    const QString cpte = QStringLiteral(" WHERE TC = '%1' AND IDCOMPROBANTE = '%2' ").arg(tc, id);
    const auto columna = [&](const QString& sql) {
        std::vector<double> valores;
        for (const QStringList& f : base.filas(sql + cpte + QStringLiteral("ORDER BY ID")))
            valores.push_back(f[0].toDouble());
        return valores;
    };
    Cargos c;
    c.items = columna(QStringLiteral("SELECT alicIva FROM V_MV_CPTEINSUMOS"));
    c.tareas = columna(
        QStringLiteral("SELECT CASE WHEN valorHora_S_Iva = 0 THEN 0 ELSE ROUND((ValorHora - "
                       "valorHora_S_Iva) * 100.0 / valorHora_S_Iva, 1) END FROM V_MV_CPTETAREAS"));
    const QString conceptos = QStringLiteral(" FROM V_MV_CPTE_Observ") + cpte
        + QStringLiteral("AND Tipo_Obs = 'OC' ORDER BY ID");
    for (const QStringList& f :
        base.filas(QStringLiteral("SELECT CASE WHEN Importe_S_IVA = 0 THEN 0 ELSE "
                                  "ROUND((Importe - Importe_S_IVA) * 100.0 / "
                                  "Importe_S_IVA, 1) END, TRIM(REPLACE(Observacion, "
                                  "'''', ''))")
            + conceptos)) {
        c.conceptos.push_back(f[0].toDouble());
        c.textosConceptos.push_back(f[1]);
    }
    for (const double impuestos : columna(QStringLiteral("SELECT Impuestos FROM V_MV_CPTEINSUMOS")))
        c.internos += std::llround(impuestos * 100);
    return c;
}

// A printed sales voucher adds up as a shop's accountant adds it: each line is its quantity by
// its price less its discount; on letters A and M the nets of each rate are its lines, tasks
// and taxed concepts, each rate's VAT is worked out once on its net, and the nets, VAT, internal
// taxes and concepts without VAT (each under its own text) make up the TOTAL; on the other
// letters the lines, tasks, concepts and internal taxes make up the TOTAL and each rate's VAT
// contained comes from what is charged at that rate; the words say the TOTAL's cents.
void compruebaSumas(const Impreso& p, const Cargos& cargos, bool discrimina, const QString& texto)
{
    SCOPED_TRACE(texto.toStdString());
    ASSERT_TRUE(p.total.has_value());
    ASSERT_EQ(p.items.size(), cargos.items.size());
    ASSERT_EQ(p.tareas.size(), cargos.tareas.size());
    ASSERT_EQ(p.conceptos.size(), cargos.conceptos.size());

    std::map<double, qint64> porTasa;
    std::map<QString, qint64> fueraDeIva;
    for (std::size_t i = 0; i < p.items.size(); ++i) {
        const Impreso::Linea& l = p.items[i];
        EXPECT_EQ(redondeo(l.cantidad * l.precio * (100 - l.bonificacion)), l.total)
            << l.texto.toStdString();
        porTasa[cargos.items[i]] += l.total;
    }
    for (std::size_t i = 0; i < p.tareas.size(); ++i) {
        const Impreso::Linea& l = p.tareas[i];
        EXPECT_EQ(redondeo(l.cantidad * l.precio * 100), l.total) << l.texto.toStdString();
        porTasa[cargos.tareas[i]] += l.total;
    }
    for (std::size_t i = 0; i < p.conceptos.size(); ++i) {
        if (discrimina && cargos.conceptos[i] == 0)
            fueraDeIva[cargos.textosConceptos[i]] += p.conceptos[i];
        else
            porTasa[cargos.conceptos[i]] += p.conceptos[i];
    }
    fueraDeIva[QStringLiteral("Impuestos internos")] += cargos.internos;
    std::erase_if(porTasa, [](const auto& par) { return par.second == 0; });
    std::erase_if(fueraDeIva, [](const auto& par) { return par.second == 0; });
    EXPECT_EQ(p.fueraDeIva, fueraDeIva);

    qint64 suma = cargos.internos;
    if (discrimina) {
        EXPECT_EQ(p.netos, porTasa);
        for (const auto& [rotulo, importe] : p.fueraDeIva) {
            if (rotulo != QLatin1String("Impuestos internos"))
                suma += importe;
        }
        for (const auto& [tasa, neto] : p.netos) {
            suma += neto;
            if (tasa == 0)
                continue;
            EXPECT_EQ(p.iva.count(tasa) ? p.iva.at(tasa) : -1, redondeo(double(neto) * tasa / 100))
                << tasa;
            suma += p.iva.count(tasa) ? p.iva.at(tasa) : 0;
        }
        EXPECT_TRUE(p.contenido.empty());
    } else {
        std::map<double, qint64> contenido;
        for (const auto& [tasa, bruto] : porTasa) {
            suma += bruto;
            if (tasa != 0)
                contenido[tasa] = redondeo(double(bruto) * tasa / (100 + tasa));
        }
        EXPECT_EQ(p.contenido, contenido);
        for (const auto& [tasa, iva] : p.contenido)
            EXPECT_LE(iva, redondeo(double(*p.total) * tasa / (100 + tasa)));
        EXPECT_TRUE(p.netos.empty() && p.iva.empty());
    }
    EXPECT_EQ(suma, *p.total);
    ASSERT_TRUE(p.centavosEnLetras.has_value());
    EXPECT_EQ(*p.centavosEnLetras, std::abs(*p.total) % 100);
}

// Every sales voucher of the demo, printed one copy to PDF and read back as text, adds up; each
// names the customer's VAT condition and, on the letter's box, the tax authority's code; each
// item line its unit; a credit or debit note the voucher it corrects, when its header names one.
void sinCortesNiEncimados(const QString& pdf, const std::map<QString, int>& palabras);

TEST_F(RpVoucherPrint, every_sales_voucher_of_the_demo_adds_up)
{
    const BaseDemo base(m_db);
    int vistos = 0;
    for (const QStringList& tipo : base.filas(QStringLiteral(
             "SELECT TC, MIN(IDCOMPROBANTE), MAX(IDCOMPROBANTE) FROM V_MV_CPTE WHERE TC IN "
             "('FC', 'NC', 'ND', 'FP', 'NCFP', 'FCE', 'PR', 'OT') GROUP BY TC ORDER BY TC"))) {
        const QString tc = tipo[0];
        const QString carpeta = m_dir.filePath(QStringLiteral("sumas-") + tc);
        const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
            QStringLiteral("--tc"), tc, QStringLiteral("--id"), tipo[1], QStringLiteral("--hasta"),
            tipo[2], QStringLiteral("--una-copia"), QStringLiteral("--pdf"), carpeta });
        ASSERT_EQ(c.salida, 0) << tc.toStdString() << ": " << c.errores.toStdString();
        const auto ids = base.filas(QStringLiteral("SELECT IDCOMPROBANTE FROM V_MV_CPTE WHERE "
                                                   "TC = '%1' ORDER BY IDCOMPROBANTE")
                                        .arg(tc));
        QStringList pdfs = QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files);
        std::sort(pdfs.begin(), pdfs.end(), [](const QString& a, const QString& b) {
            return a.section(u'-', 0, 0).toInt() < b.section(u'-', 0, 0).toInt();
        });
        ASSERT_EQ(pdfs.size(), qsizetype(ids.size())) << tc.toStdString();

        for (std::size_t k = 0; k < ids.size(); ++k) {
            const QString id = ids[k][0];
            SCOPED_TRACE((tc + u' ' + id).toStdString());
            ++vistos;
            const QString texto = textoPdfEnLineas(QDir(carpeta).filePath(pdfs[int(k)]));
            sinCortesNiEncimados(QDir(carpeta).filePath(pdfs[int(k)]), {});
            const Impreso p = leeImpreso(texto);
            ASSERT_EQ(p.numero, id.left(12)) << texto.toStdString();
            // The customer's VAT condition, and the tax authority's code of the letter.
            static const QRegularExpression condicion(
                QStringLiteral("^\\s*IVA:\\s+\\S"), QRegularExpression::MultilineOption);
            EXPECT_TRUE(condicion.match(texto).hasMatch()) << texto.toStdString();
            static const std::map<QString, const char*> codigos = { { "FCA", "1" }, { "NDA", "2" },
                { "NCA", "3" }, { "FCB", "6" }, { "NDB", "7" }, { "NCB", "8" } };
            if (const auto codigo = codigos.find(tc + id.right(1)); codigo != codigos.end()) {
                EXPECT_TRUE(texto.contains(QStringLiteral("Cód. ") + QLatin1String(codigo->second)))
                    << texto.toStdString();
            }
            compruebaSumas(
                p, cargosDe(base, tc, id), id.endsWith(u'A') || id.endsWith(u'M'), texto);

            const QString cpte
                = QStringLiteral(" WHERE TC = '%1' AND IDCOMPROBANTE = '%2' ").arg(tc, id);
            const auto unidades = base.filas(QStringLiteral("SELECT IdUnidad FROM V_MV_CPTEINSUMOS")
                + cpte + QStringLiteral("ORDER BY ID"));
            ASSERT_EQ(unidades.size(), p.items.size());
            for (std::size_t i = 0; i < p.items.size(); ++i)
                EXPECT_EQ(p.items[i].unidad, unidades[i][0]) << p.items[i].texto.toStdString();
            // "FC A 0002-00001201": type, letter, point of sale and number of the origin.
            const QStringList origen = base.filas(
                QStringLiteral("SELECT TcOrigen, ComprobanteOrigen FROM V_MV_CPTE") + cpte)[0];
            const QString asociado = QStringLiteral("Comprobante asociado: %1 %2 %3-%4")
                                         .arg(origen[0].trimmed(), origen[1].right(1),
                                             origen[1].left(4), origen[1].mid(4, 8));
            if ((tc == u"NC" || tc == u"ND") && !origen[1].trimmed().isEmpty()) {
                EXPECT_TRUE(texto.contains(asociado)) << texto.toStdString();
            } else {
                EXPECT_FALSE(texto.contains(QLatin1String("Comprobante asociado")));
            }
        }
    }
    EXPECT_GT(vistos, 20);
}

// Half away from zero: `numerador` / `divisor`, both positive.
qint64 divideRedondeando(qint64 numerador, qint64 divisor)
{
    return (2 * numerador + divisor) / (2 * divisor);
}

// Invoices whose quantities have three decimals and prices four, at three rates with an exempt
// line and line discounts, letters A (prices without VAT) and B (prices with VAT), of six lines
// and of 150: printed with two and with four configured decimals, every line prints the stored
// line total, the lines make up the breakdown and the breakdown the stored TOTAL, to the cent;
// with four decimals the page's quantity by price less discount gives each line's total.
TEST_F(RpVoucherPrint, invoices_with_four_decimal_prices_add_up_to_the_cent)
{
    struct Linea
    {
        qint64 milesimos; // quantity, in thousandths
        qint64 precioNeto; // unit price without VAT, in ten-thousandths
        int tasa; // VAT rate, in tenths of a percent
        int bonificacion; // discount, in hundredths of a percent
    };
    const std::vector<Linea> seis {
        { 7125, 3333, 210, 0 },
        { 2375, 12345678, 210, 500 },
        { 3500, 1999990, 105, 0 },
        { 12750, 151234, 270, 250 },
        { 1333, 1000050, 0, 0 },
        { 150000, 12345678, 210, 1000 },
    };
    std::vector<Linea> cientoCincuenta;
    for (int k = 0; k < 150; ++k)
        cientoCincuenta.push_back({ 1000 + 1375 * (k % 9), 3333 + 7919 * k % 2000000,
            (k % 4 == 3) ? 0 : (k % 4 == 1 ? 105 : (k % 4 == 2 ? 270 : 210)), (k % 5) * 125 });

    const BaseDemo base(m_db);
    struct Esperado
    {
        std::vector<qint64> totales; // cents
        std::vector<double> tasas;
        std::vector<qint64> precios; // as stored, in ten-thousandths
        std::vector<qint64> tareas; // cents, all at 21 %
        qint64 total = 0;
    };
    std::map<QString, Esperado> esperados;
    int numero = 7000;
    for (const std::vector<Linea>* lineas :
        std::initializer_list<const std::vector<Linea>*> { &seis, &cientoCincuenta }) {
        for (const char letra : { 'A', 'B' }) {
            const QString id = QStringLiteral("00020000%1%2").arg(++numero).arg(QChar(letra));
            Esperado& e = esperados[id];
            std::map<int, qint64> porTasa;
            for (std::size_t i = 0; i < lineas->size(); ++i) {
                const Linea& l = (*lineas)[i];
                const qint64 precio = letra == 'A'
                    ? l.precioNeto
                    : divideRedondeando(l.precioNeto * (1000 + l.tasa), 1000);
                // In units of 1e-11: thousandths by ten-thousandths by ten-thousandths.
                const qint64 exacto = l.milesimos * precio * (10000 - l.bonificacion);
                const qint64 centavos = divideRedondeando(exacto, 1000000000);
                e.totales.push_back(centavos);
                e.tasas.push_back(l.tasa / 10.0);
                e.precios.push_back(precio);
                porTasa[l.tasa] += centavos;
                const auto decimal = [](qint64 v, int escala) {
                    return QString::number(double(v) / escala, 'f', 4);
                };
                base.ejecuta(QStringLiteral(
                    "INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,"
                    "DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,alicIva,PorcDto,"
                    "Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,CANTIDAD_ORIGEN) VALUES "
                    "('FC', '%1', 0, '%2', 'Artículo fraccionado %3', 'UN', %4, %5, %6, %7, "
                    "%8, %9, 0, %4, 'UN', 1, %4)")
                                 .arg(id, QString::number(1 + i % 20).rightJustified(6, u'0'))
                                 .arg(i + 1)
                                 .arg(QString::number(double(l.milesimos) / 1000, 'f', 3),
                                     decimal(precio, 10000), decimal(centavos, 100),
                                     decimal(l.precioNeto, 10000), QString::number(l.tasa / 10.0),
                                     QString::number(l.bonificacion / 100.0)));
            }
            // Ten hours of a task at a four-decimal hour price with VAT (a letter A task has no
            // net total in the buffer).
            if (letra == 'B' && lineas == &seis) {
                const qint64 precioHora = 14938261;
                e.tareas.push_back(divideRedondeando(600 * precioHora, 60 * 100));
                porTasa[210] += e.tareas.back();
                base.ejecuta(QStringLiteral("INSERT INTO V_MV_CPTETAREAS (TC,IDCOMPROBANTE,"
                                            "IDCOMPLEMENTO,IDTAREA,Descripcion,Horas,ValorHora,"
                                            "Total,valorHora_S_Iva) VALUES ('FC', '%1', 0, '   1', "
                                            "'Colocación', 600, 1493.8261, %2, 1234.567)")
                                 .arg(id, QString::number(double(e.tareas.back()) / 100, 'f', 2)));
            }
            for (const auto& [tasa, importe] : porTasa)
                e.total += importe + (letra == 'A' ? divideRedondeando(importe * tasa, 1000) : 0);
            base.ejecuta(QStringLiteral(
                "INSERT INTO V_MV_CPTE "
                "(TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
                "CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,IdVendedor) SELECT TC, "
                "'%1', 0, UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, documentotipo, "
                "DOCUMENTONUMERO, Moneda, %2, IdVendedor FROM V_MV_CPTE WHERE TC = 'FC' AND "
                "IDCOMPROBANTE = '%3'")
                             .arg(id, QString::number(double(e.total) / 100, 'f', 2),
                                 letra == 'A' ? QStringLiteral("000200002001A")
                                              : QStringLiteral("000200002002B")));
        }
    }

    for (const int decimales : { 2, 4 }) {
        SCOPED_TRACE(decimales);
        base.ejecuta(QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = "
                                    "'CantidadDecimales'")
                         .arg(decimales));
        const QStringList pdfs
            = imprimeFacturas(esperados.begin()->first, esperados.rbegin()->first,
                m_dir.filePath(QStringLiteral("decimales-%1").arg(decimales)));
        ASSERT_EQ(pdfs.size(), qsizetype(esperados.size()));

        for (const QString& pdf : pdfs) {
            const QString texto = textoPdfEnLineas(pdf);
            const Impreso p = leeImpreso(texto);
            const auto it = std::find_if(esperados.begin(), esperados.end(),
                [&](const auto& par) { return par.first.left(12) == p.numero; });
            ASSERT_NE(it, esperados.end()) << texto.toStdString();
            SCOPED_TRACE(it->first.toStdString());
            const Esperado& e = it->second;
            const bool letraA = it->first.endsWith(u'A');
            ASSERT_EQ(p.items.size(), e.totales.size()) << texto.toStdString();
            ASSERT_TRUE(p.total.has_value());
            EXPECT_EQ(*p.total, e.total);

            std::map<double, qint64> porTasa;
            for (std::size_t i = 0; i < p.items.size(); ++i) {
                const Impreso::Linea& l = p.items[i];
                EXPECT_EQ(l.total, e.totales[i]) << l.texto.toStdString();
                if (decimales == 4) {
                    EXPECT_EQ(std::llround(l.precio * 10000), e.precios[i])
                        << l.texto.toStdString();
                    EXPECT_EQ(redondeo(l.cantidad * l.precio * (100 - l.bonificacion)), l.total)
                        << l.texto.toStdString();
                }
                porTasa[e.tasas[i]] += l.total;
            }
            ASSERT_EQ(p.tareas.size(), e.tareas.size()) << texto.toStdString();
            for (std::size_t i = 0; i < p.tareas.size(); ++i) {
                const Impreso::Linea& l = p.tareas[i];
                EXPECT_EQ(l.total, e.tareas[i]) << l.texto.toStdString();
                if (decimales == 4) {
                    EXPECT_EQ(redondeo(l.cantidad * l.precio * 100), l.total);
                }
                porTasa[21] += l.total;
            }
            qint64 suma = 0;
            if (letraA) {
                EXPECT_EQ(p.netos, porTasa) << texto.toStdString();
                for (const auto& [tasa, neto] : p.netos) {
                    suma += neto + (p.iva.count(tasa) ? p.iva.at(tasa) : 0);
                    if (tasa != 0) {
                        EXPECT_EQ(p.iva.count(tasa) ? p.iva.at(tasa) : -1,
                            redondeo(double(neto) * tasa / 100));
                    }
                }
            } else {
                for (const auto& [tasa, bruto] : porTasa) {
                    suma += bruto;
                    if (tasa != 0) {
                        EXPECT_EQ(p.contenido.count(tasa) ? p.contenido.at(tasa) : -1,
                            redondeo(double(bruto) * tasa / (100 + tasa)))
                            << tasa;
                    }
                }
            }
            EXPECT_EQ(suma, *p.total) << texto.toStdString();
        }
    }
}

// Each type printed on the sales form says what the document is: an electronic credit invoice
// and a proforma credit note are told apart from a plain invoice and credit note.
TEST_F(RpVoucherPrint, each_sales_voucher_type_prints_its_own_title)
{
    const BaseDemo base(m_db);
    const struct
    {
        const char* tc;
        const char* desde; // the demo voucher whose data it takes
        const char* id;
        const char* titulo;
    } filas[] = {
        { "FCE", "000200002005A", "000200002905A", "FACTURA DE CRÉDITO ELECTRÓNICA" },
        { "NCFP", "000200002004X", "000200002904X", "NOTA DE CRÉDITO PROFORMA" },
        { "FP", "000200002004X", "000200002004X", "FACTURA PROFORMA" },
        { "NC", "000200002003B", "000200002003B", "NOTA DE CRÉDITO" },
    };
    const QString cabecera = QStringLiteral(
        "UNEGOCIO,FECHA,CUENTA,nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,"
        "CodCpteAfip,IdVendedor");
    const QString lineas = QStringLiteral(
        "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,alicIva,PorcDto,"
        "Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,CANTIDAD_ORIGEN");
    for (const auto& f : filas) {
        SCOPED_TRACE(f.tc);
        if (QLatin1String(f.desde) != QLatin1String(f.id)) {
            for (const auto& [tabla, columnas] :
                { std::pair { QStringLiteral("V_MV_CPTE"), cabecera },
                    std::pair { QStringLiteral("V_MV_CPTEINSUMOS"), lineas } })
                base.ejecuta(QStringLiteral("INSERT INTO %1 (TC,IDCOMPROBANTE,IDCOMPLEMENTO,%2) "
                                            "SELECT '%3', '%4', 0, %2 FROM %1 WHERE "
                                            "IDCOMPROBANTE = '%5' ORDER BY ID")
                                 .arg(tabla, columnas, QLatin1String(f.tc), QLatin1String(f.id),
                                     QLatin1String(f.desde)));
        }
        const QString carpeta = m_dir.filePath(QStringLiteral("titulo-") + QLatin1String(f.tc));
        const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
            QStringLiteral("--tc"), QLatin1String(f.tc), QStringLiteral("--id"),
            QLatin1String(f.id), QStringLiteral("--una-copia"), QStringLiteral("--pdf"), carpeta });
        ASSERT_EQ(c.salida, 0) << c.errores.toStdString();
        const QStringList pdfs = QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files);
        ASSERT_EQ(pdfs.size(), 1);
        const QString texto = textoPdfEnLineas(QDir(carpeta).filePath(pdfs.first()));
        const QString primera = texto.split(u'\n').value(0).simplified();
        EXPECT_TRUE(primera.endsWith(QString::fromUtf8(f.titulo))) << texto.toStdString();
    }
}

// The value Spanish words give ("Ciento Noventa Mil Novecientos Sesenta Y Cinco"), or -1 when a
// word is no number.
qint64 valorEnLetras(const QString& letras)
{
    static const std::map<QString, int> valores = { { "cero", 0 }, { "un", 1 }, { "uno", 1 },
        { "una", 1 }, { "dos", 2 }, { "tres", 3 }, { "cuatro", 4 }, { "cinco", 5 }, { "seis", 6 },
        { "siete", 7 }, { "ocho", 8 }, { "nueve", 9 }, { "diez", 10 }, { "once", 11 },
        { "doce", 12 }, { "trece", 13 }, { "catorce", 14 }, { "quince", 15 }, { "dieciseis", 16 },
        { "diecisiete", 17 }, { "dieciocho", 18 }, { "diecinueve", 19 }, { "veinte", 20 },
        { "veintiun", 21 }, { "veintiuno", 21 }, { "veintidos", 22 }, { "veintitres", 23 },
        { "veinticuatro", 24 }, { "veinticinco", 25 }, { "veintiseis", 26 }, { "veintisiete", 27 },
        { "veintiocho", 28 }, { "veintinueve", 29 }, { "treinta", 30 }, { "cuarenta", 40 },
        { "cincuenta", 50 }, { "sesenta", 60 }, { "setenta", 70 }, { "ochenta", 80 },
        { "noventa", 90 }, { "cien", 100 }, { "ciento", 100 }, { "doscientos", 200 },
        { "trescientos", 300 }, { "cuatrocientos", 400 }, { "quinientos", 500 },
        { "seiscientos", 600 }, { "setecientos", 700 }, { "ochocientos", 800 },
        { "novecientos", 900 } };
    QString llano;
    for (const QChar c : letras.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            llano += c.toLower();
    }
    qint64 total = 0;
    qint64 grupo = 0;
    for (const QString& palabra : llano.split(u' ', Qt::SkipEmptyParts)) {
        if (palabra == u"y")
            continue;
        if (palabra == u"mil") {
            total += std::max<qint64>(grupo, 1) * 1000;
            grupo = 0;
        } else if (palabra == u"millon" || palabra == u"millones") {
            total += std::max<qint64>(grupo, 1) * 1000000;
            grupo = 0;
        } else if (const auto v = valores.find(palabra); v != valores.end()) {
            grupo += v->second;
        } else {
            return -1;
        }
    }
    return total + grupo;
}

// An amount printed with or without thousands separators ("190965,42", "1.234,50"), in cents.
std::optional<qint64> centavosSueltos(const QString& texto)
{
    static const QRegularExpression sinPuntos(QStringLiteral("^-?\\d+,\\d\\d$"));
    if (!sinPuntos.match(texto).hasMatch())
        return centavos(texto);
    return QString(texto).remove(u',').toLongLong();
}

// The amount after a label that starts a column of the page ("Total aplicado  211.500,00").
std::optional<qint64> importeRotulado(const QString& texto, const QString& rotulo)
{
    const QRegularExpression forma(QStringLiteral("(?:^|\\s{2,})")
            + QRegularExpression::escape(rotulo)
            + QStringLiteral("\\s+(-?[\\d.]+,\\d\\d)(?:\\s|$)"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = forma.match(texto);
    return m.hasMatch() ? centavos(m.captured(1)) : std::nullopt;
}

// The words of a PDF, page by page, with their top and bottom in points (pdftotext -bbox).
struct Palabra
{
    QString texto;
    double arriba = 0;
    double abajo = 0;
};

std::vector<std::vector<Palabra>> palabrasPorPagina(const QString& pdf)
{
    QProcess herramienta;
    herramienta.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    herramienta.waitForFinished(60000);
    static const QRegularExpression palabra(
        QStringLiteral("<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<std::vector<Palabra>> paginas;
    for (const QString& linea :
        QString::fromUtf8(herramienta.readAllStandardOutput()).split(u'\n')) {
        if (linea.contains(QLatin1String("<page ")))
            paginas.emplace_back();
        const QRegularExpressionMatch m = palabra.match(linea);
        if (m.hasMatch() && !paginas.empty())
            paginas.back().push_back(
                { m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble() });
    }
    return paginas;
}

// Vouchers of every letter a shop issues, of one line to three hundred, each with internal taxes
// on some lines, an exempt line, a taxed freight and a perception without VAT, printed and read
// back: each adds up to its TOTAL, its words say the TOTAL, a letter M carries its withholding
// legend, and its totals block prints whole on one page: on the page of its last lines when it
// fits there, else at the top of the next page, the last lines' page having had no room for it.
TEST_F(RpVoucherPrint, vouchers_of_every_letter_and_length_add_up_and_keep_their_totals_together)
{
    const BaseDemo base(m_db);
    struct Esperado
    {
        char letra;
        qint64 total = 0; // cents
    };
    std::map<QString, Esperado> esperados;
    int numero = 8100;
    for (const auto& [letra, codigo] :
        { std::pair { 'A', "1" }, { 'B', "6" }, { 'C', "11" }, { 'M', "51" }, { 'E', "19" } }) {
        // A and M discriminate VAT; C (a small taxpayer's) and E (an export) charge none.
        const bool discrimina = letra == 'A' || letra == 'M';
        const bool sinIva = letra == 'C' || letra == 'E';
        for (const int lineas : { 1, 30, 45, 300 }) {
            const QString id = QStringLiteral("00020000%1%2").arg(++numero).arg(QChar(letra));
            std::map<int, qint64> netos; // cents by rate in tenths of a percent
            qint64 total = 0;
            for (int k = 0; k < lineas; ++k) {
                const bool exenta = lineas > 1 && k == lineas - 1;
                const int tasa = exenta || sinIva ? 0 : (k % 3 == 2 ? 105 : 210);
                const int cantidad = 1 + k % 4;
                // Whole hundreds: a letter B price with VAT added stays exact to the cent.
                const int precio = 100 * (3 + k * 7 % 40);
                const int bonificacion = tasa == 210 && k % 4 == 1 ? 5 : 0;
                const qint64 neto = qint64(cantidad) * precio * (100 - bonificacion);
                const qint64 internos = k % 5 == 0 && !exenta ? 8LL * cantidad * precio + 37 : 0;
                netos[tasa] += neto;
                total += internos + (discrimina ? 0 : neto * (1000 + tasa) / 1000);
                base.ejecuta(QStringLiteral(
                    "INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,"
                    "DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,alicIva,PorcDto,"
                    "Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,CANTIDAD_ORIGEN) VALUES "
                    "('FC', '%1', 0, '%2', '%3', 'UN', %4, %5, %6, %5, %7, %8, %9, %4, 'UN', 1, "
                    "%4)")
                                 .arg(id, QString::number(1 + k % 20).rightJustified(6, u'0'),
                                     exenta ? QStringLiteral("Libro de texto (exento)")
                                            : QStringLiteral("Bebida %1").arg(k + 1))
                                 .arg(cantidad)
                                 .arg(precio)
                                 .arg(QString::number(double(neto) / 100, 'f', 2))
                                 .arg(tasa / 10.0)
                                 .arg(bonificacion)
                                 .arg(QString::number(double(internos) / 100, 'f', 2)));
            }
            // Freight at 21 % (without VAT where the letter charges none) and a perception.
            const qint64 flete = 1000000;
            const qint64 percepcion = 123456;
            for (const auto& [texto, bruto, neto] :
                { std::tuple { "Flete a domicilio", sinIva ? flete : flete * 121 / 100, flete },
                    { "Percepción IIBB 3 %", percepcion, percepcion } }) {
                base.ejecuta(QStringLiteral("INSERT INTO V_MV_CPTE_Observ (TC,IDCOMPROBANTE,"
                                            "IDCOMPLEMENTO,Tipo_Obs,Observacion,Importe,"
                                            "Importe_S_IVA) VALUES ('FC', '%1', 0, 'OC', '%2', "
                                            "%3, %4)")
                                 .arg(id, QString::fromUtf8(texto),
                                     QString::number(double(bruto) / 100, 'f', 2),
                                     QString::number(double(neto) / 100, 'f', 2)));
                if (discrimina && bruto != neto)
                    netos[210] += neto;
                else
                    total += discrimina ? neto : bruto;
            }
            if (discrimina) {
                for (const auto& [tasa, neto] : netos)
                    total += neto + divideRedondeando(neto * tasa, 1000);
            }
            esperados[id] = { letra, total };
            base.ejecuta(QStringLiteral(
                "INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,"
                "nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,CodCpteAfip,"
                "IdVendedor) SELECT TC, '%1', 0, UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, "
                "documentotipo, DOCUMENTONUMERO, Moneda, %2, '%3', IdVendedor FROM V_MV_CPTE "
                "WHERE TC = 'FC' AND IDCOMPROBANTE = '000200002001A'")
                             .arg(id, QString::number(double(total) / 100, 'f', 2),
                                 QLatin1String(codigo)));
        }
    }

    const QStringList pdfs = imprimeFacturas(esperados.begin()->first, esperados.rbegin()->first,
        m_dir.filePath(QStringLiteral("letras")));
    ASSERT_EQ(pdfs.size(), qsizetype(esperados.size()));

    const double mm = 72 / 25.4;
    int conLasLineas = 0; // blocks on the page of their last lines, and on the next one
    int enLaSiguiente = 0;
    for (const QString& pdf : pdfs) {
        const QString texto = textoPdfEnLineas(pdf);
        const Impreso p = leeImpreso(texto);
        const auto it = std::find_if(esperados.begin(), esperados.end(),
            [&](const auto& par) { return par.first.left(12) == p.numero; });
        ASSERT_NE(it, esperados.end()) << texto.toStdString();
        const QString& id = it->first;
        const Esperado& e = it->second;
        SCOPED_TRACE(id.toStdString());

        compruebaSumas(
            p, cargosDe(base, QStringLiteral("FC"), id), e.letra == 'A' || e.letra == 'M', texto);
        ASSERT_TRUE(p.total.has_value());
        EXPECT_EQ(*p.total, e.total);
        EXPECT_EQ(valorEnLetras(p.letras), e.total / 100) << p.letras.toStdString();
        EXPECT_EQ(p.sujetaARetencion, e.letra == 'M');

        // The words, the breakdown and the TOTAL on one page, that of the last lines or the next.
        ASSERT_EQ(p.paginasTotales.size(), 1u) << texto.toStdString();
        const int paginaTotales = *p.paginasTotales.begin();
        ASSERT_GE(p.paginaUltimaLinea, 0);
        if (paginaTotales == p.paginaUltimaLinea) {
            ++conLasLineas;
            continue;
        }
        ++enLaSiguiente;
        ASSERT_EQ(paginaTotales, p.paginaUltimaLinea + 1) << texto.toStdString();
        const auto paginas = palabrasPorPagina(pdf);
        ASSERT_GT(paginas.size(), std::size_t(paginaTotales));
        // Heights on a page: from the page footer's top ("Página N de M") up.
        const auto pie = [](const std::vector<Palabra>& pagina) {
            double arriba = 1e9;
            for (const Palabra& w : pagina)
                if (w.texto == QString::fromUtf8("Página"))
                    arriba = std::min(arriba, w.arriba);
            return arriba;
        };
        const auto fondo = [](const std::vector<Palabra>& pagina, double desde, double hasta) {
            double abajo = desde;
            for (const Palabra& w : pagina)
                if (w.arriba >= desde && w.abajo < hasta)
                    abajo = std::max(abajo, w.abajo);
            return abajo;
        };
        const std::vector<Palabra>& lineas = paginas[std::size_t(p.paginaUltimaLinea)];
        const std::vector<Palabra>& bloque = paginas[std::size_t(paginaTotales)];
        const auto son = std::find_if(bloque.begin(), bloque.end(),
            [](const Palabra& w) { return w.texto == QLatin1String("Son"); });
        ASSERT_NE(son, bloque.end());
        // Right below the page header (8 mm of margin and 68 mm of header)...
        EXPECT_LT(fondo(bloque, 0, son->arriba), 77 * mm);
        EXPECT_LT(son->arriba, 80 * mm);
        // ...because it did not fit below the last lines, where the payment footer's band
        // (6 mm) stays, empty here.
        const double libre = pie(lineas) - fondo(lineas, 0, pie(lineas));
        const double alto = fondo(bloque, son->arriba, pie(bloque)) - son->arriba;
        EXPECT_LT(libre, alto + 8 * mm) << texto.toStdString();
    }
    EXPECT_GT(conLasLineas, 0);
    EXPECT_GT(enLaSiguiente, 0);
}

// Letter B invoices, electronic credit invoices, credit and debit notes, each with a line stored
// without VAT (internal taxes on it), one stored with VAT and a perception: printed and read
// back, the lines and taxes add up to the TOTAL and the VAT contained is the VAT the TOTAL holds.
TEST_F(RpVoucherPrint, letter_b_vouchers_of_every_kind_add_their_vat_to_a_line_stored_without_it)
{
    const BaseDemo base(m_db);
    const QString id = QStringLiteral("000200007005B");
    const struct
    {
        const char* tc;
        const char* codigo;
    } tipos[] = { { "FC", "6" }, { "NC", "8" }, { "ND", "7" }, { "FCE", "206" } };
    for (const auto& t : tipos) {
        const QString tc = QLatin1String(t.tc);
        SCOPED_TRACE(t.tc);
        // 1.500,00 + 21 % and 390,00 of internal taxes; 1.210,00 with its VAT; 123,45.
        for (const QString& sql :
            { QStringLiteral("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,"
                             "FECHA,CUENTA,nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,"
                             "Moneda,IMPORTE,CodCpteAfip,IdVendedor) SELECT '%1', '%2', 0, "
                             "UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, documentotipo, "
                             "DOCUMENTONUMERO, Moneda, 3538.45, '%3', IdVendedor FROM "
                             "V_MV_CPTE WHERE TC = 'FC' AND IDCOMPROBANTE = '000200002002B'")
                    .arg(tc, id, QLatin1String(t.codigo)),
                QStringLiteral("INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                               "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,"
                               "IMPORTE_S_IVA,alicIva,PorcDto,Impuestos,CantidadUd,IdUnidadBase,"
                               "Equiv_UDBase,CANTIDAD_ORIGEN) VALUES ('%1', '%2', 0, '000001', "
                               "'Vino tinto', 'UN', 1, 1500, 1500, 1500, 21, 0, 390, 1, 'UN', 1, "
                               "1), ('%1', '%2', 0, '000002', 'Aceite', 'UN', 1, 1210, 1210, "
                               "1000, 21, 0, 0, 1, 'UN', 1, 1)")
                    .arg(tc, id),
                QStringLiteral("INSERT INTO V_MV_CPTE_Observ (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                               "Tipo_Obs,Observacion,Importe,Importe_S_IVA) VALUES ('%1', '%2', 0, "
                               "'OC', 'Percepción IIBB 3 %', 123.45, 123.45)")
                    .arg(tc, id) })
            base.ejecuta(sql);
        const QString carpeta = m_dir.filePath(QStringLiteral("letra-b-") + tc);

        const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
            QStringLiteral("--tc"), tc, QStringLiteral("--id"), id, QStringLiteral("--una-copia"),
            QStringLiteral("--pdf"), carpeta });

        ASSERT_EQ(c.salida, 0) << c.errores.toStdString();
        const QStringList pdfs = QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files);
        ASSERT_EQ(pdfs.size(), 1);
        const QString texto = textoPdfEnLineas(QDir(carpeta).filePath(pdfs.first()));
        const Impreso p = leeImpreso(texto);
        compruebaSumas(p, cargosDe(base, tc, id), false, texto);
        EXPECT_EQ(p.total, 353845);
        EXPECT_EQ(p.contenido, (std::map<double, qint64> { { 21, 52500 } })) << texto.toStdString();
    }
}

// A letter A invoice with a line of an article marked exempt and one of an article that is not,
// both without VAT: the breakdown prints the first as "Exento" and the second as "No gravado".
TEST_F(RpVoucherPrint, an_exempt_article_prints_as_exempt_apart_from_what_is_not_taxed)
{
    const BaseDemo base(m_db);
    const QString id = QStringLiteral("000200007101A");
    for (const QString& sql :
        { QStringLiteral("UPDATE V_MA_ARTICULOS SET EXENTO = CASE WHEN IDARTICULO = '000003' "
                         "THEN 1 ELSE 0 END"),
            QStringLiteral("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,"
                           "FECHA,CUENTA,nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,"
                           "Moneda,IMPORTE,CodCpteAfip,IdVendedor) SELECT TC, '%1', 0, "
                           "UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, documentotipo, "
                           "DOCUMENTONUMERO, Moneda, 2710, CodCpteAfip, IdVendedor FROM "
                           "V_MV_CPTE WHERE TC = 'FC' AND IDCOMPROBANTE = '000200002001A'")
                .arg(id),
            QStringLiteral("INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                           "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,"
                           "IMPORTE_S_IVA,alicIva,PorcDto,Impuestos,CantidadUd,IdUnidadBase,"
                           "Equiv_UDBase,CANTIDAD_ORIGEN) VALUES ('FC', '%1', 0, '000003', "
                           "'Libro de texto', 'UN', 1, 1000, 1000, 1000, 0, 0, 0, 1, 'UN', 1, 1), "
                           "('FC', '%1', 0, '000004', 'Flete propio', 'UN', 1, 500, 500, 500, 0, "
                           "0, 0, 1, 'UN', 1, 1), ('FC', '%1', 0, '000005', 'Tornillos', 'UN', 1, "
                           "1000, 1000, 1000, 21, 0, 0, 1, 'UN', 1, 1)")
                .arg(id) })
        base.ejecuta(sql);
    const QString carpeta = m_dir.filePath(QStringLiteral("exento"));

    const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"), id,
        QStringLiteral("--una-copia"), QStringLiteral("--pdf"), carpeta });

    ASSERT_EQ(c.salida, 0) << c.errores.toStdString();
    const QString texto = textoPdfEnLineas(carpeta + QStringLiteral("/01-FC.pdf"));
    const Impreso p = leeImpreso(texto);
    compruebaSumas(p, cargosDe(base, QStringLiteral("FC"), id), true, texto);
    EXPECT_EQ(p.exento, 100000) << texto.toStdString();
    EXPECT_EQ(p.netos, (std::map<double, qint64> { { 0, 150000 }, { 21, 100000 } }));
}

// Every receipt and payment order of the demo, printed and read back, adds up as an accountant
// adds it: its documents' totals, applied amounts and means of payment make up the footer's
// totals; the means of payment, withholdings and discounts settle what was applied (a payment
// order's surplus is its advance) and the difference printed is that surplus; the words say the
// means of payment.
// Every numbered journal entry of the demo prints its debits equal to its credits, the lines
// making up both totals.
TEST_F(RpVoucherPrint, every_receipt_payment_order_and_entry_of_the_demo_adds_up)
{
    const BaseDemo base(m_db);
    // The text of the one PDF a subcommand prints into its own folder; empty when it fails.
    const auto unaImpresion = [&](const QStringList& subcomando, const QString& carpeta) {
        const QString pdf = m_dir.filePath(carpeta);
        const Corrida c = rpVoucher(QStringList { subcomando[0], QStringLiteral("--db"), m_db }
            + subcomando.mid(1) + QStringList { QStringLiteral("--pdf"), pdf });
        const QStringList pdfs = QDir(pdf).entryList({ QStringLiteral("*.pdf") }, QDir::Files);
        EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
        EXPECT_EQ(pdfs.size(), 1);
        if (c.salida != 0 || pdfs.size() != 1)
            return QString();
        sinCortesNiEncimados(pdf + u'/' + pdfs[0], {});
        return textoPdfEnLineas(pdf + u'/' + pdfs[0]);
    };
    int recibos = 0;
    for (const QStringList& fila : base.filas(QStringLiteral(
             "SELECT TC, IDCOMPROBANTE FROM V_MV_CPTE WHERE TC IN ('CB', 'CBFP', 'CBCT', 'PG', "
             "'PGFP', 'OPG') ORDER BY TC, IDCOMPROBANTE"))) {
        const QString tc = fila[0];
        const QString id = fila[1];
        SCOPED_TRACE((tc + u' ' + id).toStdString());
        const QString texto = unaImpresion(
            { QStringLiteral("recibo"), QStringLiteral("--tc"), tc, QStringLiteral("--id"), id },
            QStringLiteral("recibo-") + tc + id);
        ASSERT_FALSE(texto.isEmpty());
        ++recibos;

        // The lines: each document's total, applied and balance, each means of payment's amount
        // last on its line.
        static const QRegularExpression documento(
            QStringLiteral("^\\s*\\d\\d/\\d\\d/\\d{4}\\s+\\S+\\s+(-?[\\d.]+,\\d\\d)\\s+"
                           "(-?[\\d.]+,\\d\\d)\\s+-?[\\d.]+(?:,\\d\\d)?(.*)$"));
        static const QRegularExpression alFinal(QStringLiteral("\\s(-?[\\d.]+,\\d\\d)\\s*$"));
        qint64 totales = 0;
        qint64 aplicados = 0;
        qint64 medios = 0;
        bool enLineas = false;
        for (const QString& linea : texto.split(u'\n')) {
            if (linea.contains(QLatin1String("Medio de pago"))) {
                enLineas = true;
                continue;
            }
            if (linea.trimmed().startsWith(QLatin1String("Total comprobantes")))
                break;
            if (!enLineas)
                continue;
            QString resto = linea;
            if (const QRegularExpressionMatch m = documento.match(linea); m.hasMatch()) {
                totales += centavosSueltos(m.captured(1)).value_or(-1);
                aplicados += centavosSueltos(m.captured(2)).value_or(-1);
                resto = m.captured(3);
            }
            if (const QRegularExpressionMatch m = alFinal.match(resto); m.hasMatch())
                medios += centavosSueltos(m.captured(1)).value_or(-1);
        }

        const auto rotulado
            = [&](const char* rotulo) { return importeRotulado(texto, QString::fromUtf8(rotulo)); };
        const std::optional<qint64> totalComprobantes = rotulado("Total comprobantes");
        const std::optional<qint64> aplicado
            = tc.startsWith(u'C') ? rotulado("Total aplicado") : rotulado("Total pagado");
        const std::optional<qint64> totalMedios = rotulado("Total medios de pago");
        const std::optional<qint64> diferencia = rotulado("Diferencia");
        ASSERT_TRUE(totalComprobantes && aplicado && totalMedios && diferencia)
            << texto.toStdString();
        EXPECT_EQ(totales, *totalComprobantes) << texto.toStdString();
        EXPECT_EQ(aplicados, *aplicado) << texto.toStdString();
        EXPECT_EQ(medios, *totalMedios) << texto.toStdString();
        qint64 cancelado = *totalMedios;
        for (const char* rotulo : { "Retenciones de IVA y otras", "Retenciones de Ganancias",
                 "Retenciones de Ingresos Brutos", "Retenciones SUSS", "Descuentos otorgados",
                 "Impuesto a las Ganancias", "IVA y otras", "Ingresos Brutos", "SUSS",
                 "Descuentos obtenidos" })
            cancelado += rotulado(rotulo).value_or(0);
        // What was handed over beyond what it settles stays as the supplier's advance; a
        // receipt has none.
        EXPECT_EQ(cancelado - *aplicado, *diferencia) << texto.toStdString();
        EXPECT_EQ(*diferencia, rotulado("Anticipo").value_or(0)) << texto.toStdString();
        static const QRegularExpression letras(QStringLiteral(
            "(?:Recibimos|Pagamos) la suma de\\s+(.*\\S)\\s+Pesos Con (\\d\\d)/100"));
        const QRegularExpressionMatch enLetras = letras.match(texto);
        ASSERT_TRUE(enLetras.hasMatch()) << texto.toStdString();
        EXPECT_EQ(
            valorEnLetras(enLetras.captured(1)) * 100 + enLetras.captured(2).toInt(), *totalMedios)
            << enLetras.captured(0).toStdString();
    }
    EXPECT_GT(recibos, 10);

    int asientos = 0;
    for (const QStringList& fila : base.filas(QStringLiteral(
             "SELECT DISTINCT TC, SUCURSAL || NUMERO || LETRA, MES_OPERATIVO, [NUMERO ASIENTO], "
             "PERIODO FROM MV_ASIENTOS WHERE [NUMERO ASIENTO] IS NOT NULL ORDER BY 1, 2, 4"))) {
        SCOPED_TRACE(fila.join(u' ').toStdString());
        const QString texto = unaImpresion(
            { QStringLiteral("asiento"), QStringLiteral("--tc"), fila[0], QStringLiteral("--id"),
                fila[1], QStringLiteral("--mes"), fila[2], QStringLiteral("--numero"), fila[3],
                QStringLiteral("--periodo"), fila[4] },
            QStringLiteral("asiento-") + fila.join(u'-'));
        ASSERT_FALSE(texto.isEmpty());
        ++asientos;
        static const QRegularExpression totales(
            QStringLiteral("^\\s*Totales\\s+(-?[\\d.]+,\\d\\d)\\s+(-?[\\d.]+,\\d\\d)\\s*$"));
        static const QRegularExpression importe(
            QStringLiteral("(?:^|\\s)(-?[\\d.]+,\\d\\d)(?=\\s|$)"));
        std::optional<qint64> debe;
        std::optional<qint64> haber;
        qint64 lineas = 0;
        for (const QString& linea : texto.split(u'\n')) {
            if (const QRegularExpressionMatch m = totales.match(linea); m.hasMatch()) {
                debe = centavos(m.captured(1));
                haber = centavos(m.captured(2));
                continue;
            }
            // Each line's amount, on the debit or the credit side.
            if (QRegularExpression(QStringLiteral("^\\s*\\d{7}\\s")).match(linea).hasMatch()) {
                for (auto it = importe.globalMatch(linea); it.hasNext();)
                    lineas += centavosSueltos(it.next().captured(1)).value_or(-1);
            }
        }
        ASSERT_TRUE(debe && haber) << texto.toStdString();
        EXPECT_GT(*debe, 0);
        EXPECT_EQ(*debe, *haber) << texto.toStdString();
        EXPECT_EQ(lineas, *debe + *haber) << texto.toStdString();
    }
    EXPECT_GT(asientos, 10);
}

// A printed page's words: each of `palabras` stands there as often as said; none holds a '#'
// fill, leaves its page or touches another word.
void sinCortesNiEncimados(const QString& pdf, const std::map<QString, int>& palabras)
{
    SCOPED_TRACE(pdf.toStdString());
    const PdfTools::Words leidas = PdfTools::words(pdf);
    ASSERT_FALSE(leidas.words.empty());
    const QString texto = textoPdfEnLineas(pdf);
    for (const auto& [palabra, veces] : palabras)
        EXPECT_EQ(std::count_if(leidas.words.begin(), leidas.words.end(),
                      [&](const PdfTools::Word& w) { return w.text == palabra; }),
            veces)
            << palabra.toStdString() << "\n"
            << texto.toStdString();
    for (std::size_t i = 0; i < leidas.words.size(); ++i) {
        const PdfTools::Word& a = leidas.words[i];
        const PdfTools::Page& pagina = leidas.pages[std::size_t(a.page)];
        EXPECT_FALSE(a.text.contains(u'#')) << texto.toStdString();
        EXPECT_TRUE(a.x0 >= 0 && a.y0 >= 0 && a.x1 <= pagina.width && a.y1 <= pagina.height)
            << a.text.toStdString();
        for (std::size_t j = i + 1; j < leidas.words.size(); ++j) {
            const PdfTools::Word& b = leidas.words[j];
            const bool tocan = a.page == b.page && a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 - 0.5
                && b.y0 < a.y1 - 0.5;
            EXPECT_FALSE(tocan) << a.text.toStdString() << " / " << b.text.toStdString();
        }
    }
}

namespace {

// The commands of imprime(): a voucher's print, a receipt's or payment order's, and a
// withholding certificate of the demo's payment order, rendered as voucher printing selects it.
QStringList print(const char* tc, const char* id)
{
    return QStringList { QStringLiteral("print"), QStringLiteral("--tc"), QLatin1String(tc),
        QStringLiteral("--id"), QLatin1String(id), QStringLiteral("--una-copia") };
}

QStringList recibo(const char* tc, const char* id)
{
    return QStringList { QStringLiteral("recibo"), QStringLiteral("--tc"), QLatin1String(tc),
        QStringLiteral("--id"), QLatin1String(id) };
}

QStringList certificado(const char* definicion)
{
    return QStringList { QStringLiteral("rp_render"), QStringLiteral("--definition"),
        QStringLiteral(RP_SOURCE_DIR "/share/reports/") + QLatin1String(definicion),
        QStringLiteral("--selection"),
        QStringLiteral("{V_MV_CPTE.TC} = 'OPG' AND {V_MV_CPTE.IDCOMPROBANTE} = "
                       "'000200000910X'") };
}

} // namespace

// Every amount field of the sales, order, purchase, receipt, payment-order, withholding and
// entry forms holds 999.999.999.999,99 whole: each figure is one word of its page, apart from
// every other word and inside the page; no field fills with '#', and the amount in words ends
// with its cents.
TEST_F(RpVoucherPrint, amounts_up_to_a_trillion_print_whole_on_every_form)
{
    const BaseDemo base(m_db);
    const QString importe = QStringLiteral("999999999999.99");
    const auto cabecera = [&](const char* tc, const char* id, const char* desde) {
        return QStringLiteral(
            "INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,CUENTA,nombre,"
            "CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,IMPORTE,CodCpteAfip,IdVendedor,"
            "transporte) SELECT '%1', '%2', 0, UNEGOCIO, FECHA, CUENTA, nombre, CondicionIva, "
            "documentotipo, DOCUMENTONUMERO, Moneda, %3, CodCpteAfip, IdVendedor, transporte FROM "
            "V_MV_CPTE WHERE IDCOMPROBANTE = '%4'")
            .arg(QLatin1String(tc), QLatin1String(id), importe, QLatin1String(desde));
    };
    // One line of quantity 1, exempt: its price and total are the voucher's TOTAL.
    const auto linea = [&](const char* tc, const char* id) {
        return QStringLiteral(
            "INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,"
            "IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,alicIva,PorcDto,Impuestos,CantidadUd,"
            "IdUnidadBase,Equiv_UDBase,CANTIDAD_ORIGEN) VALUES ('%1', '%2', 0, '000001', 'Planta "
            "llave en mano', 'UN', 1, %3, %3, %3, 0, 0, 0, 1, 'UN', 1, 1)")
            .arg(QLatin1String(tc), QLatin1String(id), importe);
    };
    for (const QString& sql :
        { cabecera("FC", "000200008001B", "000200002002B"), linea("FC", "000200008001B"),
            cabecera("FC", "000200008002A", "000200002001A"), linea("FC", "000200008002A"),
            cabecera("FC", "000200008003B", "000200002002B"),
            QStringLiteral("INSERT INTO V_MV_CPTETAREAS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,"
                           "Descripcion,Horas,ValorHora,Total,valorHora_S_Iva) VALUES ('FC', "
                           "'000200008003B', 0, '   1', 'Montaje', 60, %1, %1, %1)")
                .arg(importe),
            cabecera("FC", "000200008004B", "000200002002B"),
            QStringLiteral("INSERT INTO V_MV_CPTE_Observ (TC,IDCOMPROBANTE,IDCOMPLEMENTO,Tipo_Obs,"
                           "Observacion,Importe,Importe_S_IVA) VALUES ('FC', '000200008004B', 0, "
                           "'OC', 'Flete internacional', %1, %1)")
                .arg(importe),
            cabecera("NP", "000200008005X", "000200003001X"), linea("NP", "000200008005X"),
            QStringLiteral("INSERT INTO C_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,"
                           "IMPORTE) SELECT 'FCC', '000100008006A', 0, FECHA, CUENTA, %1 FROM "
                           "C_MV_CPTE WHERE IDCOMPROBANTE = '000100005500A'")
                .arg(importe),
            QStringLiteral("INSERT INTO C_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                           "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,alicIva) VALUES "
                           "('FCC', '000100008006A', 0, '000001', 'Planta llave en mano', 'UN', "
                           "1, %1, %1, 0)")
                .arg(importe),
            // The collection settles one invoice, in cash.
            QStringLiteral("UPDATE V_MV_CPTE SET IMPORTE = %1 WHERE IDCOMPROBANTE = "
                           "'000200001201A'")
                .arg(importe),
            QStringLiteral("UPDATE MV_APLICACION SET IMPORTE = %1 WHERE IDCOMPROBANTE = "
                           "'000200000800X'")
                .arg(importe),
            QStringLiteral("UPDATE VE_SALDOAPLICACION SET SALDO = %1 WHERE NUMERO_ORIGEN IN "
                           "('00001201', '00007001')")
                .arg(importe),
            QStringLiteral("DELETE FROM MV_ASIENTOS WHERE TC = 'CB' AND NUMERO = '00000800' AND "
                           "CUENTA = '1110301'"),
            QStringLiteral("UPDATE MV_ASIENTOS SET Importe = %1 WHERE TC = 'CB' AND NUMERO = "
                           "'00000800'")
                .arg(importe),
            // The payment order pays one purchase invoice by cheque, and its header carries
            // every withholding.
            QStringLiteral("DELETE FROM MV_APLICACION WHERE IDCOMPROBANTE = '000200000910X' AND "
                           "NUMERO_ORIGEN = '00007002'"),
            QStringLiteral("UPDATE MV_APLICACION SET IMPORTE = %1 WHERE IDCOMPROBANTE = "
                           "'000200000910X'")
                .arg(importe),
            QStringLiteral("UPDATE MV_ASIENTOS SET CABIMPORTE = %1 WHERE TC = 'FCC' AND NUMERO = "
                           "'00007001'")
                .arg(importe),
            QStringLiteral("UPDATE MV_ASIENTOS SET Importe = CASE WHEN CUENTA IN ('2110001', "
                           "'1110301') THEN %1 ELSE 0 END, LIVA_Ret_IBtos = %1, "
                           "LIVA_Ret_Ganancias = %1, LIVA_Ret_Perc = %1 WHERE TC = 'OPG' AND "
                           "NUMERO = '00000910'")
                .arg(importe),
            QStringLiteral("UPDATE V_MV_CPTE SET RetGan_Importe = %1, RetIVA_importe = %1, "
                           "RETIBR_Importe = %1, retsuss_importe = %1 WHERE IDCOMPROBANTE = "
                           "'000200000910X'")
                .arg(importe),
            QStringLiteral("UPDATE TA_CONFIGURACION SET VALOR = 'SI' WHERE CLAVE = "
                           "'ImpresionPagosConSubReporte'"),
            QStringLiteral("UPDATE MV_ASIENTOS SET Importe = %1 WHERE TC = 'AS' AND [NUMERO "
                           "ASIENTO] = 5001")
                .arg(importe) })
        base.ejecuta(sql);

    const QStringList asiento { QStringLiteral("asiento"), QStringLiteral("--tc"),
        QStringLiteral("AS"), QStringLiteral("--id"), QStringLiteral("000200000001X"),
        QStringLiteral("--mes"), QStringLiteral("11"), QStringLiteral("--numero"),
        QStringLiteral("5001"), QStringLiteral("--periodo"), QStringLiteral("2026") };
    const QString cifra = QStringLiteral("999.999.999.999,99");
    const QString centavos = QStringLiteral("99/100");
    const struct
    {
        const char* forma;
        QStringList comando;
        std::map<QString, int> palabras; // how often each word stands on the page
    } filas[] = {
        // Price, line total and TOTAL.
        { "factura B", print("FC", "000200008001B"), { { cifra, 3 }, { centavos, 1 } } },
        // Price, line total, its exempt net and TOTAL.
        { "factura A", print("FC", "000200008002A"), { { cifra, 4 }, { centavos, 1 } } },
        { "tarea", print("FC", "000200008003B"), { { cifra, 3 }, { centavos, 1 } } },
        { "otro concepto", print("FC", "000200008004B"), { { cifra, 2 }, { centavos, 1 } } },
        // The line's price and amount, and the TOTAL.
        { "nota de pedido", print("NP", "000200008005X"), { { cifra, 3 } } },
        { "compra", print("FCC", "000100008006A"), { { cifra, 3 } } },
        // The invoice's total, applied and balance; the cash; the footer's four totals.
        { "recibo", recibo("CB", "000200000800X"), { { cifra, 8 }, { centavos, 1 } } },
        // The invoice's total, paid and balance; the cheque; the footer's four totals, the SUSS
        // of the header and the advance and difference it leaves; the header's four
        // withholdings.
        { "orden de pago", recibo("OPG", "000200000910X"), { { cifra, 15 }, { centavos, 1 } } },
        { "certificado IIBB", certificado("RETIBR.rpt"), { { cifra, 1 } } },
        { "certificado Ganancias", certificado("RETIGAN.rpt"), { { cifra, 1 } } },
        { "certificado IVA", certificado("RETIVA.rpt"), { { cifra, 1 } } },
        { "certificado SUSS", certificado("RETSUSS.rpt"), { { cifra, 1 } } },
        // Each line's debit or credit and both totals.
        { "asiento", asiento, { { cifra, 4 } } },
        { "asiento 80 mm", asiento + QStringList { QStringLiteral("--80mm") }, { { cifra, 4 } } },
        { "asiento con centros de costo", asiento + QStringList { QStringLiteral("--cc") },
            { { cifra, 4 } } },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.forma);
        const QStringList pdfs = imprime(
            f.comando, m_dir.filePath(QStringLiteral("billon-") + QLatin1String(f.forma)));
        ASSERT_FALSE(pdfs.isEmpty());
        for (const QString& pdf : pdfs)
            sinCortesNiEncimados(pdf, f.palabras);
    }
}

namespace {

// A text of `largo` characters of numbered words ("Razón01 Razón02 ..."), the last one cut where
// the length ends.
QString textoDePalabras(const QString& palabra, int largo)
{
    QString texto;
    for (int i = 1; texto.size() < largo; ++i)
        texto += (texto.isEmpty() ? QString() : QStringLiteral(" ")) + palabra
            + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return texto.left(largo);
}

// The whole words of `texto` within its first `ancho` characters: what a column that wide keeps.
QStringList palabrasHasta(const QString& texto, int ancho)
{
    const QString guardado = texto.left(ancho);
    QStringList palabras = guardado.split(u' ', Qt::SkipEmptyParts);
    if (guardado.size() < texto.size() && texto.at(guardado.size()) != u' ')
        palabras.removeLast();
    return palabras;
}

} // namespace

// A customer's or supplier's name and address of 40, 100 and 255 characters print whole on every
// form that prints one: each word the database's columns hold is on the page, and no word covers
// another (the tax number beside the name, the lines below it).
TEST_F(RpVoucherPrint, names_and_addresses_print_whole_on_every_form)
{
    const BaseDemo base(m_db);
    const struct
    {
        const char* forma;
        QStringList comando;
        bool domicilio; // whether the form prints the address
    } formas[] = {
        // Invoices, credit and debit notes share their form.
        { "factura", print("FC", "000200002001A"), true },
        { "remito", print("RM", "000200000300R"), true },
        { "nota de pedido", print("NP", "000200003001X"), false },
        { "compra", print("FCC", "000100005500A"), true },
        { "recibo", recibo("CB", "000200000800X"), false },
        { "orden de pago", recibo("OPG", "000200000910X"), false },
        { "certificado IIBB", certificado("RETIBR.rpt"), true },
        { "certificado Ganancias", certificado("RETIGAN.rpt"), true },
        { "certificado IVA", certificado("RETIVA.rpt"), true },
        { "certificado SUSS", certificado("RETSUSS.rpt"), true },
    };
    // The payment order withholds every tax, so that each certificate prints.
    base.ejecuta(QStringLiteral("UPDATE MV_ASIENTOS SET LIVA_Ret_IBtos = 100, LIVA_Ret_Ganancias "
                                "= 100, LIVA_Ret_Perc = 100 WHERE TC = 'OPG' AND NUMERO = "
                                "'00000910'"));
    for (const int largo : { 40, 100, 255 }) {
        const QString nombre = textoDePalabras(QStringLiteral("Razón"), largo);
        const QString domicilio = textoDePalabras(QStringLiteral("Calle"), largo);
        const QString localidad = textoDePalabras(QStringLiteral("Pueblo"), largo);
        for (const char* tabla : { "VT_CLIENTES", "VT_PROVEEDORES" })
            base.ejecuta(QStringLiteral("UPDATE %1 SET RAZON_SOCIAL = '%2', Domicilio = '%3', "
                                        "Localidad = '%4'")
                             .arg(QLatin1String(tabla), nombre, domicilio, localidad));
        base.ejecuta(QStringLiteral("UPDATE V_MV_CPTE SET nombre = '%1'").arg(nombre));
        // The columns' widths: name and address 100 characters, locality 50.
        QStringList esperadas = palabrasHasta(nombre, 100);
        const QStringList direccion = palabrasHasta(domicilio, 100) + palabrasHasta(localidad, 50);
        for (const auto& f : formas) {
            SCOPED_TRACE(QStringLiteral("%1, %2 caracteres")
                             .arg(QLatin1String(f.forma))
                             .arg(largo)
                             .toStdString());
            const QStringList pdfs = imprime(
                f.comando, m_dir.filePath(QStringLiteral("nombres-%1-%2").arg(largo).arg(f.forma)));
            ASSERT_FALSE(pdfs.isEmpty());
            const PdfTools::Words leidas = PdfTools::words(pdfs[0]);
            std::set<QString> enLaPagina;
            for (const PdfTools::Word& w : leidas.words)
                enLaPagina.insert(w.text);
            for (const QString& palabra : esperadas + (f.domicilio ? direccion : QStringList()))
                EXPECT_TRUE(enLaPagina.count(palabra)) << palabra.toStdString() << "\n"
                                                       << textoPdfEnLineas(pdfs[0]).toStdString();
            sinCortesNiEncimados(pdfs[0], {});
        }
    }
}

// A figure of the money range that its column cannot hold stops the print naming the voucher,
// the field and the figure, and leaves no file.
TEST_F(RpVoucherPrint, a_figure_wider_than_its_column_stops_the_print_naming_it)
{
    const BaseDemo base(m_db);
    // A voucher copied from another with one line: by default a thousand units at
    // 922.337.203.685,47, whose price fits and whose line total does not.
    const auto lineaEnorme = [](const char* tc, const char* id, const char* desde,
                                 const char* cantidad = "1000",
                                 const char* precio = "922337203685.47",
                                 const char* total = "922337203685470") {
        return QStringList {
            QStringLiteral("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,"
                           "CUENTA,nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,"
                           "IMPORTE) SELECT '%1', '%2', 0, UNEGOCIO, FECHA, CUENTA, nombre, "
                           "CondicionIva, documentotipo, DOCUMENTONUMERO, Moneda, %4 "
                           "FROM V_MV_CPTE WHERE IDCOMPROBANTE = '%3'")
                .arg(QLatin1String(tc), QLatin1String(id), QLatin1String(desde),
                    QLatin1String(total)),
            QStringLiteral("INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                           "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,"
                           "alicIva,PorcDto,Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,"
                           "CANTIDAD_ORIGEN) VALUES ('%1', '%2', 0, '000001', 'Planta llave en "
                           "mano', 'UN', %3, %4, %5, %4, 0, 0, 0, %3, 'UN', 1, %3)")
                .arg(QLatin1String(tc), QLatin1String(id), QLatin1String(cantidad),
                    QLatin1String(precio), QLatin1String(total)),
        };
    };
    const auto print = [](const char* tc, const char* id) {
        return QStringList { QStringLiteral("print"), QStringLiteral("--tc"), QLatin1String(tc),
            QStringLiteral("--id"), QLatin1String(id), QStringLiteral("--una-copia") };
    };
    const struct
    {
        const char* forma;
        QStringList cambios;
        QStringList comando;
        const char* campo;
        const char* cifra;
    } filas[] = {
        { "línea de factura", lineaEnorme("FC", "000200008101A", "000200002001A"),
            print("FC", "000200008101A"), "Total", "922.337.203.685.470,00" },
        { "línea de nota de pedido", lineaEnorme("NP", "000200008102X", "000200003001X"),
            print("NP", "000200008102X"), "Importe", "922.337.203.685.470,00" },
        // A price too wide for its column, on a line whose amount fits.
        { "precio de nota de pedido",
            lineaEnorme("NP", "000200008103X", "000200003001X", "0.001", "922337203685470",
                "922337203685.47"),
            print("NP", "000200008103X"), "Precio", "922.337.203.685.470,00" },
        // A quantity too wide for its column, on a line whose price and amount fit.
        { "cantidad de factura",
            lineaEnorme("FC", "000200008104A", "000200002001A", "9999999.999", "0.01", "100000"),
            print("FC", "000200008104A"), "Cantidad", "9999999,999" },
        { "cantidad de compra",
            { QStringLiteral("INSERT INTO C_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,FECHA,CUENTA,"
                             "IMPORTE) SELECT TC, '000100008106A', 0, FECHA, CUENTA, 100000 FROM "
                             "C_MV_CPTE WHERE TC = 'FCC' AND IDCOMPROBANTE = '000100005500A'"),
                QStringLiteral("INSERT INTO C_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                               "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total) VALUES "
                               "('FCC', '000100008106A', 0, '000001', 'Planta llave en mano', "
                               "'UN', 9999999.999, 0.01, 100000)") },
            print("FCC", "000100008106A"), "Cantidad", "9.999.999,999" },
        { "aplicado de un recibo",
            { QStringLiteral("UPDATE MV_APLICACION SET IMPORTE = 1500000000000.25 WHERE "
                             "IDCOMPROBANTE = '000200000800X'") },
            { QStringLiteral("recibo"), QStringLiteral("--tc"), QStringLiteral("CB"),
                QStringLiteral("--id"), QStringLiteral("000200000800X") },
            "Aplicado", "1.500.000.000.000,25" },
        { "línea de asiento",
            { QStringLiteral("UPDATE MV_ASIENTOS SET Importe = 922337203685470 WHERE TC = 'AS' "
                             "AND [NUMERO ASIENTO] = 5001") },
            { QStringLiteral("asiento"), QStringLiteral("--tc"), QStringLiteral("AS"),
                QStringLiteral("--id"), QStringLiteral("000200000001X"), QStringLiteral("--mes"),
                QStringLiteral("11"), QStringLiteral("--numero"), QStringLiteral("5001"),
                QStringLiteral("--periodo"), QStringLiteral("2026") },
            "Debe", "922.337.203.685.470,00" },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.forma);
        for (const QString& sql : f.cambios)
            base.ejecuta(sql);
        const QString carpeta = m_dir.filePath(QLatin1String(f.forma));

        const Corrida c = rpVoucher(QStringList { f.comando[0], QStringLiteral("--db"), m_db }
            + f.comando.mid(1) + QStringList { QStringLiteral("--pdf"), carpeta });

        EXPECT_EQ(c.salida, 1) << c.errores.toStdString();
        EXPECT_TRUE(c.errores.contains(f.comando[2] + u' ' + f.comando[4]))
            << c.errores.toStdString();
        EXPECT_TRUE(c.errores.contains(QStringLiteral("El importe %1 no cabe en el campo «%2»")
                                           .arg(QLatin1String(f.cifra), QLatin1String(f.campo))))
            << c.errores.toStdString();
        EXPECT_TRUE(QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files).isEmpty());
    }
}

// A delivery note numbers its pages, and a line drawn from several batches prints each batch
// with its own quantity, however long the list.
TEST_F(RpVoucherPrint, a_delivery_note_numbers_its_pages_and_prints_each_batch_s_quantity)
{
    const BaseDemo base(m_db);
    base.ejecuta(QStringLiteral(
        "UPDATE V_MV_CPTEINSUMOS SET Nro_Lote = 'LT-2611A|D26-0101|D26-0102|PRT-2026-1101|"
        "PRT-2026-1102|PRT-2026-1103', Nro_Serie = '2|0|5|1|3|4', CANTIDAD = 15 WHERE ID = (SELECT "
        "MIN(ID) FROM V_MV_CPTEINSUMOS WHERE TC = 'RM' "
        "AND IDCOMPROBANTE = '000200000300R')"));
    for (int i = 0; i < 100; ++i)
        base.ejecuta(QStringLiteral(
            "INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,"
            "IdUnidad,CANTIDAD) VALUES ('RM', '000200000300R', 0, '000004', 'Cinta aisladora', "
            "'UN', 1)"));

    const QStringList pdfs
        = imprime({ QStringLiteral("print"), QStringLiteral("--tc"), QStringLiteral("RM"),
                      QStringLiteral("--id"), QStringLiteral("000200000300R"),
                      QStringLiteral("--una-copia") },
            m_dir.filePath(QStringLiteral("remito")));

    ASSERT_EQ(pdfs.size(), 1);
    const int paginas = PdfTools::pageCount(pdfs[0]);
    ASSERT_GE(paginas, 2);
    const QString texto = textoPdf(pdfs[0]);
    for (int k = 1; k <= paginas; ++k)
        EXPECT_TRUE(texto.contains(QStringLiteral("Página %1 de %2").arg(k).arg(paginas)))
            << k << "\n"
            << texto.toStdString();
    // The list passes the 50 characters of a lot key: every batch prints.
    EXPECT_TRUE(texto.contains(QStringLiteral(
        "LT-2611A: 2, D26-0102: 5, PRT-2026-1101: 1, PRT-2026-1102: 3, PRT-2026-1103: 4")))
        << texto.toStdString();
    EXPECT_FALSE(texto.contains(QStringLiteral("D26-0101"))) << texto.toStdString();
    sinCortesNiEncimados(pdfs[0], {});
}

// The order note prints each line as the buffer holds it: its quantity, its unit and its price
// and amount grouped as every other form prints them ("205.000,00").
TEST_F(RpVoucherPrint, an_order_note_prints_each_line_s_unit_and_grouped_amounts)
{
    const BaseDemo base(m_db);
    const QString id = QStringLiteral("000200003001X");
    const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("NP"), QStringLiteral("--id"), id,
        QStringLiteral("--una-copia"), QStringLiteral("--pdf"), m_pdf });
    ASSERT_EQ(c.salida, 0) << c.errores.toStdString();

    const auto agrupado = [](const QString& buffer) {
        QString entero = buffer.section(u',', 0, 0);
        for (qsizetype k = entero.size() - 3; k > 0; k -= 3)
            entero.insert(k, u'.');
        return entero + u',' + buffer.section(u',', 1);
    };
    QStringList esperadas;
    for (const QStringList& f : base.filas(QStringLiteral(
             "SELECT COLUMNA4, COLUMNA3, COLUMNA5, COLUMNA6 FROM AUX_MV_CPTE WHERE TC = 'NP' AND "
             "IDCOMPROBANTE = '%1' AND TIPO = 'IN' ORDER BY ID")
                                               .arg(id)))
        esperadas << QStringList { f[0], f[1], agrupado(f[2]), agrupado(f[3]) }.join(u'|');
    ASSERT_FALSE(esperadas.isEmpty());
    // Quantity, unit, description, price, amount.
    static const QRegularExpression linea(QStringLiteral(
        "^\\s*(\\d[\\d.,]*)\\s+(\\S+)\\s+\\S.*\\S\\s+(-?[\\d.]+,\\d+)\\s+(-?[\\d.]+,\\d+)\\s*$"));
    const QString texto = textoPdfEnLineas(m_pdf + QStringLiteral("/01-NP.pdf"));
    QStringList impresas;
    for (const QString& l : texto.split(u'\n')) {
        const QRegularExpressionMatch m = linea.match(l);
        if (m.hasMatch())
            impresas << QStringList { m.captured(1), m.captured(2), m.captured(3), m.captured(4) }
                            .join(u'|');
    }
    EXPECT_EQ(impresas, esperadas) << texto.toStdString();
}

// What a shop's office writes longer or finer than the buffer's columns print whole and add up:
// an other concept's note and a task's rich-text description of more than a column's 255
// characters (every word on the page), and a quantity of six decimals (printed with them, not
// as "2,5e-05", so that it gives its line's amount); an order note of many lines numbers its
// pages; the header and footer notes of an order and a delivery note print whole.
TEST_F(RpVoucherPrint, long_notes_and_small_quantities_print_whole_and_add_up)
{
    const BaseDemo base(m_db);
    QStringList renglones;
    for (int k = 1; k <= 120; ++k)
        renglones << QStringLiteral(
            "INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDARTICULO,DESCRIPCION,"
            "IdUnidad,CANTIDAD,IMPORTE,Total) VALUES ('NP', '000200003001X', 0, '000004', "
            "'Cinta aisladora', 'UN', 1, 450, 450)");
    const QString nota = textoDePalabras(QStringLiteral("Flete"), 1200);
    const QString tarea = textoDePalabras(QStringLiteral("Tablero"), 1500);
    const QString entrega = textoDePalabras(QStringLiteral("Portón"), 1000);
    const QString retiro = textoDePalabras(QStringLiteral("Retira"), 300);
    // The voucher's header note ('EN') and footer note ('PP').
    const auto notas = [&](const char* tc, const char* id) {
        return QStringLiteral("INSERT INTO V_MV_CPTE_Observ (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                              "Tipo_Obs,Observacion) VALUES ('%1', '%2', 0, 'EN', '%3'), ('%1', "
                              "'%2', 0, 'PP', '%4')")
            .arg(QLatin1String(tc), QLatin1String(id), entrega, retiro);
    };
    // A letter A invoice copied from the demo's with one line of `cantidad` units at `precio`
    // (21 %), and its TOTAL.
    const auto factura = [](const char* id, const char* cantidad, const char* precio,
                             const char* neto, const char* total) {
        return QStringList {
            QStringLiteral("INSERT INTO V_MV_CPTE (TC,IDCOMPROBANTE,IDCOMPLEMENTO,UNEGOCIO,FECHA,"
                           "CUENTA,nombre,CondicionIva,documentotipo,DOCUMENTONUMERO,Moneda,"
                           "IMPORTE,CodCpteAfip,IdVendedor) SELECT TC, '%1', 0, UNEGOCIO, FECHA, "
                           "CUENTA, nombre, CondicionIva, documentotipo, DOCUMENTONUMERO, Moneda, "
                           "%2, CodCpteAfip, IdVendedor FROM V_MV_CPTE WHERE TC = 'FC' AND "
                           "IDCOMPROBANTE = '000200002001A'")
                .arg(QLatin1String(id), QLatin1String(total)),
            QStringLiteral("INSERT INTO V_MV_CPTEINSUMOS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,"
                           "IDARTICULO,DESCRIPCION,IdUnidad,CANTIDAD,IMPORTE,Total,IMPORTE_S_IVA,"
                           "alicIva,PorcDto,Impuestos,CantidadUd,IdUnidadBase,Equiv_UDBase,"
                           "CANTIDAD_ORIGEN) VALUES ('FC', '%1', 0, '000001', 'Azafrán en hebras', "
                           "'KG', %2, %3, %4, %3, 21, 0, 0, %2, 'KG', 1, %2)")
                .arg(QLatin1String(id), QLatin1String(cantidad), QLatin1String(precio),
                    QLatin1String(neto)),
        };
    };
    const struct
    {
        const char* forma;
        QStringList cambios;
        const char* tc;
        const char* id;
        QStringList palabras; // on the page, each of them
        int paginas; // at least
        bool sumas; // printed on the sales form, it adds up
    } filas[] = {
        { "nota de otro concepto",
            factura("000200008201A", "1", "1000", "1000", "2420")
                + QStringList { QStringLiteral(
                    "INSERT INTO V_MV_CPTE_Observ (TC,IDCOMPROBANTE,IDCOMPLEMENTO,Tipo_Obs,"
                    "Observacion,Importe,Importe_S_IVA) VALUES ('FC', '000200008201A', 0, 'OC', "
                    "'%1', 1210, 1000)")
                                    .arg(nota) },
            "FC", "000200008201A", palabrasHasta(nota, nota.size()), 1, true },
        { "descripción de tarea",
            { QStringLiteral("INSERT INTO V_MV_CPTETAREAS (TC,IDCOMPROBANTE,IDCOMPLEMENTO,IDTAREA,"
                             "Descripcion,Horas,ValorHora,Total,valorHora_S_Iva,"
                             "descripcionadicional) VALUES ('OT', '000200002007X', 0, '   5', "
                             "'Montaje de tablero', 60, 12100, 12100, 10000, "
                             "'{\\rtf1\\ansi\\deff0 %1\\par}')")
                    .arg(tarea),
                QStringLiteral("UPDATE V_MV_CPTE SET IMPORTE = IMPORTE + 12100 WHERE TC = 'OT' "
                               "AND IDCOMPROBANTE = '000200002007X'") },
            "OT", "000200002007X", palabrasHasta(tarea, tarea.size()), 1, true },
        // 0,000025 KG at 4.000.000,00: 100,00.
        { "cantidad de seis decimales",
            factura("000200008202A", "0.000025", "4000000", "100", "121"), "FC", "000200008202A",
            { QStringLiteral("0,000025") }, 1, true },
        { "nota de pedido de varias páginas",
            renglones + QStringList { notas("NP", "000200003001X") }, "NP", "000200003001X",
            palabrasHasta(entrega, entrega.size()) + palabrasHasta(retiro, retiro.size()), 3,
            false },
        { "remito con notas", { notas("RM", "000200000300R") }, "RM", "000200000300R",
            palabrasHasta(entrega, entrega.size()) + palabrasHasta(retiro, retiro.size()), 1,
            false },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.forma);
        for (const QString& sql : f.cambios)
            base.ejecuta(sql);
        const QStringList pdfs = imprime(print(f.tc, f.id), m_dir.filePath(QLatin1String(f.forma)));
        ASSERT_FALSE(pdfs.isEmpty());

        const QString texto = textoPdfEnLineas(pdfs[0]);
        std::set<QString> enLaPagina;
        for (const PdfTools::Word& w : PdfTools::words(pdfs[0]).words)
            enLaPagina.insert(w.text);
        for (const QString& palabra : f.palabras)
            EXPECT_TRUE(enLaPagina.count(palabra)) << palabra.toStdString() << "\n"
                                                   << texto.toStdString();
        sinCortesNiEncimados(pdfs[0], {});
        const int paginas = PdfTools::pageCount(pdfs[0]);
        EXPECT_GE(paginas, f.paginas);
        for (int k = 1; k <= paginas; ++k)
            EXPECT_TRUE(
                texto.simplified().contains(QStringLiteral("Página %1 de %2").arg(k).arg(paginas)))
                << k << "\n"
                << texto.toStdString();
        const QString id = QLatin1String(f.id);
        if (f.sumas)
            compruebaSumas(leeImpreso(texto), cargosDe(base, QLatin1String(f.tc), id),
                id.endsWith(u'A'), texto);
    }
}

// The prints of another stored type find the voucher where the buffer finds it and fill the
// buffer under the type their form reads; a print that finds nothing to print fails.
TEST_F(RpVoucherPrint, prints_stored_under_another_type_and_fails_when_nothing_printed)
{
    const struct
    {
        const char* tc;
        const char* id;
        const char* archivo;
        const char* texto; // nullptr: nothing printed
        QStringList extra;
    } filas[] = {
        // The third-party print of a work order, stored as "OT".
        { "T3", "000200002007X", "01-RP_MV_3ros.pdf", "Flexible mallado 40 cm", {} },
        // The second bar's print of an order, stored as "PE".
        { "PEBR", "000300000101X", "01-COMANDA_BAR2.pdf", "COMANDA BAR 2", {} },
        // Without the buffer filled the form has no rows: "No hay datos" is no print.
        { "FC", "000200002002B", "01-FC.pdf", nullptr, { QStringLiteral("--sin-buffer") } },
        // A sales voucher's id under a stock type runs no report at all.
        { "RM", "000200003002R", "01-RM.pdf", nullptr, {} },
    };
    for (const auto& f : filas) {
        SCOPED_TRACE(f.tc);
        const QString carpeta = m_dir.filePath(QLatin1String(f.tc));

        const Corrida c
            = rpVoucher(QStringList { QStringLiteral("print"), QStringLiteral("--db"), m_db,
                            QStringLiteral("--tc"), QLatin1String(f.tc), QStringLiteral("--id"),
                            QLatin1String(f.id), QStringLiteral("--una-copia"),
                            QStringLiteral("--pdf"), carpeta }
                + f.extra);

        const QString texto = textoPdf(carpeta + u'/' + QLatin1String(f.archivo));
        if (f.texto) {
            EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
            EXPECT_TRUE(texto.contains(QString::fromUtf8(f.texto))) << texto.toStdString();
            EXPECT_FALSE(texto.contains(QLatin1String("No hay datos")));
        } else {
            EXPECT_EQ(c.salida, 1);
            EXPECT_TRUE(c.errores.trimmed().endsWith(
                QStringLiteral("No se imprimió el comprobante %1 %2: no hay datos para los "
                               "criterios elegidos")
                    .arg(QLatin1String(f.tc), QLatin1String(f.id))))
                << c.errores.toStdString();
        }
    }
}

// A print the engine could not make was told to the operator; the tool still ends with a failure.
TEST_F(RpVoucherPrint, a_print_that_fails_ends_with_a_failure)
{
    const QString malo = m_dir.filePath(QStringLiteral("malo.rpt"));
    QFile archivo(malo);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("<no es xml");
    archivo.close();

    const Corrida c
        = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
            QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200001201A"),
            QStringLiteral("--formulario"), malo, QStringLiteral("--pdf"), m_pdf });

    EXPECT_EQ(c.salida, 1);
    EXPECT_TRUE(c.errores.contains(QStringLiteral("XML mal formado"))) << c.errores.toStdString();
}

// The demo's kitchen printer on a device given with --puerto that does not open: the operator is
// told that device, not the port the printer is set up on.
TEST_F(RpVoucherPrint, a_ticket_port_that_does_not_open_is_named_as_given)
{
    const QString dispositivo = m_dir.filePath(QStringLiteral("tty-nada"));
    const Corrida c = rpVoucher(
        { QStringLiteral("ticket"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
            QStringLiteral("PE"), QStringLiteral("--id"), QStringLiteral("000300000101X"),
            QStringLiteral("--cocina"), QStringLiteral("--puerto"), dispositivo },
        m_dir.path());

    EXPECT_EQ(c.salida, 1);
    EXPECT_TRUE(c.errores.contains(
        QStringLiteral("Error de Comunicacion con el Puerto seleccionado (%1) verifiquelo y "
                       "vuelva a intentarlo. EL COMPROBANTE NO SE HA IMPRESO")
            .arg(dispositivo)))
        << c.errores.toStdString();
}

TEST_F(RpVoucherPrint, prints_an_entry_to_the_capture_folder)
{
    const Corrida c = rpVoucher({ QStringLiteral("asiento"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("AS"), QStringLiteral("--id"),
        QStringLiteral("000200000001X"), QStringLiteral("--mes"), QStringLiteral("11"),
        QStringLiteral("--numero"), QStringLiteral("5001"), QStringLiteral("--periodo"),
        QStringLiteral("2026"), QStringLiteral("--80mm"), QStringLiteral("--pdf"), m_pdf });

    EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
    const QString texto = textoPdf(m_pdf + QStringLiteral("/01-Asientos_80mm.pdf"));
    EXPECT_TRUE(texto.contains(QStringLiteral("Asiento Nº 5001"))) << texto.toStdString();
    EXPECT_FALSE(texto.contains(QStringLiteral("5002")));
}

} // namespace

// A collection receipt from the demo: the buffer's formulas reach the printed receipt, with the
// customer's name beside the account; a type that is no receipt is refused in one line.
TEST_F(RpVoucherPrint, prints_a_receipt_with_its_formulas)
{
    const Corrida c = rpVoucher({ QStringLiteral("recibo"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("CB"), QStringLiteral("--id"),
        QStringLiteral("000200000800X"), QStringLiteral("--pdf"), m_pdf });

    EXPECT_EQ(c.salida, 0) << c.errores.toStdString();
    const QString texto = textoPdf(m_pdf + QStringLiteral("/01-CB.pdf"));
    for (const char* esperado : { "RECIBO", "Nº 0002-00000800 X",
             "Recibimos de: 1120002 - Constructora Los Álamos S.R.L.", "Recibimos la suma de" })
        EXPECT_TRUE(texto.contains(QString::fromUtf8(esperado))) << esperado << "\n"
                                                                 << texto.toStdString();

    const Corrida f = rpVoucher(
        { QStringLiteral("recibo"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
            QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200001201A") });
    EXPECT_EQ(f.salida, 2);
    EXPECT_EQ(f.errores.count(u'\n'), 1) << f.errores.toStdString();

    // Counts below zero are refused; zero and ordinary counts fill the buffer.
    const struct
    {
        const char* opcion;
        const char* valor;
        int salida;
    } cuentas[] = {
        { "--copias-por-pagina", "-5", 2 },
        { "--items", "-2147483648", 2 },
        { "--copias-por-pagina", "0", 0 },
        { "--items", "20", 0 },
    };
    for (const auto& k : cuentas) {
        const Corrida r = rpVoucher({ QStringLiteral("recibo"), QStringLiteral("--db"), m_db,
            QStringLiteral("--tc"), QStringLiteral("CB"), QStringLiteral("--id"),
            QStringLiteral("000200000800X"), QLatin1String(k.opcion), QLatin1String(k.valor) });
        EXPECT_EQ(r.salida, k.salida) << k.opcion << " " << k.valor << r.errores.toStdString();
        if (k.salida != 0) {
            EXPECT_EQ(r.errores,
                QStringLiteral("El valor de %1 no puede ser negativo: %2\n")
                    .arg(QLatin1String(k.opcion), QLatin1String(k.valor)));
        }
    }
}

// A receipt whose applied amount is no amount stops naming the voucher and the field, and
// prints nothing, as a sales voucher does.
TEST_F(RpVoucherPrint, a_receipt_whose_applied_amount_is_no_amount_prints_nothing)
{
    BaseDemo(m_db).ejecuta(QStringLiteral(
        "UPDATE MV_APLICACION SET IMPORTE = 'abc' WHERE IDCOMPROBANTE = '000200000800X'"));

    const Corrida c = rpVoucher({ QStringLiteral("recibo"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("CB"), QStringLiteral("--id"),
        QStringLiteral("000200000800X"), QStringLiteral("--pdf"), m_pdf });

    EXPECT_EQ(c.salida, 1);
    EXPECT_TRUE(
        c.errores.contains(QString::fromUtf8("No se imprimió el comprobante CB "
                                             "000200000800X: MV_APLICACION.IMPORTE de FC ")))
        << c.errores.toStdString();
    EXPECT_TRUE(c.errores.contains(QLatin1String("'abc' no es un importe")))
        << c.errores.toStdString();
    EXPECT_TRUE(QDir(m_pdf).entryList({ QStringLiteral("*.pdf") }, QDir::Files).isEmpty());
}

namespace {

// The PDFs of a capture folder, each by its name, as text.
std::map<QString, QString> textosDeCarpeta(const QString& carpeta)
{
    std::map<QString, QString> textos;
    for (const QString& pdf : QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files))
        textos[pdf] = textoPdfEnLineas(carpeta + u'/' + pdf);
    return textos;
}

// The first and the last of the first `cuantas` invoices of the demo database `base`.
QStringList primerasFacturas(const QString& base, int cuantas)
{
    const auto ids = BaseDemo(base).filas(
        QStringLiteral("SELECT MIN(IDCOMPROBANTE), MAX(IDCOMPROBANTE) FROM (SELECT IDCOMPROBANTE "
                       "FROM V_MV_CPTE WHERE TC = 'FC' ORDER BY IDCOMPROBANTE LIMIT %1)")
            .arg(cuantas));
    EXPECT_EQ(ids.size(), 1u);
    return ids.empty() ? QStringList { QString(), QString() } : ids.front();
}

// The arguments that print one copy of each invoice of `rango` (the first and the last) of the
// database `base` into `carpeta`, as workstation CAJA1 of user ANA.
QStringList imprimeComoCaja1(const QString& base, const QStringList& rango, const QString& carpeta)
{
    return { QStringLiteral("print"), QStringLiteral("--db"), base, QStringLiteral("--tc"),
        QStringLiteral("FC"), QStringLiteral("--id"), rango.at(0), QStringLiteral("--hasta"),
        rango.at(1), QStringLiteral("--una-copia"), QStringLiteral("--equipo"),
        QStringLiteral("CAJA1"), QStringLiteral("--usuario"), QStringLiteral("ANA"),
        QStringLiteral("--pdf"), carpeta };
}

} // namespace

// Two runs of the same vouchers for the same workstation and user, started together, print what a
// lone run prints: the second waits for the first instead of clearing the rows under its prints.
TEST_F(RpVoucherPrint, two_runs_for_the_same_workstation_print_what_a_lone_run_prints)
{
    const QStringList rango = primerasFacturas(m_db, 20);
    const auto argumentos
        = [&](const QString& carpeta) { return imprimeComoCaja1(m_db, rango, carpeta); };
    const QString sola = m_dir.filePath(QStringLiteral("sola"));
    ASSERT_EQ(rpVoucher(argumentos(sola)).salida, 0);
    const std::map<QString, QString> esperado = textosDeCarpeta(sola);
    ASSERT_EQ(esperado.size(), 20u);

    // Each run has folders of its own: the turn is the database's, not the environment's.
    QProcess corridas[2];
    for (int i = 0; i < 2; ++i) {
        const QString propia = m_dir.filePath(QStringLiteral("entorno%1").arg(i));
        ASSERT_TRUE(QDir().mkpath(propia));
        QProcessEnvironment entorno = testsupport::toolEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const char* variable : { "TMPDIR", "HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME" })
            entorno.insert(QString::fromLatin1(variable), propia);
        corridas[i].setProcessEnvironment(entorno);
        corridas[i].setWorkingDirectory(propia);
        corridas[i].start(QStringLiteral(RP_VOUCHER_EXE),
            argumentos(m_dir.filePath(QStringLiteral("junta%1").arg(i))));
    }
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(corridas[i].waitForFinished(300000));
        const QString errores = QString::fromUtf8(corridas[i].readAllStandardError());
        EXPECT_EQ(corridas[i].exitCode(), 0) << errores.toStdString();
        EXPECT_LE(errores.count(QStringLiteral("se espera a que termine")), 1)
            << errores.toStdString();
        const std::map<QString, QString> textos
            = textosDeCarpeta(m_dir.filePath(QStringLiteral("junta%1").arg(i)));
        ASSERT_EQ(textos.size(), esperado.size());
        for (const auto& [pdf, texto] : esperado)
            EXPECT_EQ(textos.at(pdf), texto) << "corrida " << i << ", " << pdf.toStdString();
    }
}

// A voucher that failed is named and leaves no file under its name: one whose rows could not all
// be written, and the run's last one, whose file could not be written and whose failure comes
// after the run's last voucher.
TEST_F(RpVoucherPrint, a_voucher_that_failed_is_named_and_leaves_no_file)
{
    const BaseDemo base(m_db);
    const auto ids = base.filas(QStringLiteral(
        "SELECT IDCOMPROBANTE FROM V_MV_CPTE WHERE TC = 'FC' ORDER BY IDCOMPROBANTE LIMIT 3"));
    ASSERT_EQ(ids.size(), 3u);
    const auto corre = [&](const QString& carpeta) {
        return rpVoucher(
            { QStringLiteral("print"), QStringLiteral("--db"), m_db, QStringLiteral("--tc"),
                QStringLiteral("FC"), QStringLiteral("--id"), ids[0][0], QStringLiteral("--hasta"),
                ids[2][0], QStringLiteral("--una-copia"), QStringLiteral("--pdf"), carpeta });
    };
    const QString sola = m_dir.filePath(QStringLiteral("sola"));
    ASSERT_EQ(corre(sola).salida, 0);
    const QStringList nombres
        = QDir(sola).entryList({ QStringLiteral("*.pdf") }, QDir::Files, QDir::Name);
    ASSERT_EQ(nombres.size(), 3);

    {
        SCOPED_TRACE("no file can be written, the last one's failure coming after the run");
        // A form whose name makes the file's too long for the folder: that is found out only
        // when its writer makes the file.
        const QString formulario = m_dir.filePath(QString(250, u'F') + QStringLiteral(".rpt"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(RP_SOURCE_DIR "/share/reports/FC.rpt"), formulario));
        const QString carpeta = m_dir.filePath(QStringLiteral("largo"));
        const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
            QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"), ids[0][0],
            QStringLiteral("--hasta"), ids[2][0], QStringLiteral("--una-copia"),
            QStringLiteral("--formulario"), formulario, QStringLiteral("--pdf"), carpeta });
        EXPECT_EQ(c.salida, 1);
        for (const auto& id : ids)
            EXPECT_TRUE(
                c.errores.contains(QStringLiteral("No se pudo guardar el comprobante FC ") + id[0]))
                << c.errores.toStdString();
        EXPECT_TRUE(QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files).isEmpty());
    }
    {
        SCOPED_TRACE("a row of the second voucher is refused");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("t"));
        db.setDatabaseName(m_db);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
            "CREATE TRIGGER rechaza BEFORE INSERT ON AUX_MV_CPTE WHEN NEW.IDCOMPROBANTE = '%1' AND "
            "NEW.TIPO = 'IN' BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END")
                                           .arg(ids[1][0])));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("t"));
        const QString carpeta = m_dir.filePath(QStringLiteral("incompleto"));
        const Corrida c = corre(carpeta);
        EXPECT_EQ(c.salida, 1);
        EXPECT_TRUE(c.errores.contains(
            QStringLiteral("No se imprimió el comprobante FC ") + ids[1][0] + QStringLiteral(": ")))
            << c.errores.toStdString();
        const QStringList hechos
            = QDir(carpeta).entryList({ QStringLiteral("*.pdf") }, QDir::Files, QDir::Name);
        ASSERT_EQ(hechos.size(), 2);
        EXPECT_EQ(textoPdf(carpeta + u'/' + hechos[1]), textoPdf(sola + u'/' + nombres[2]));
    }
}

namespace {

// Whether some process holds the flock on `archivo`.
bool bloqueado(const QString& archivo)
{
    const int descriptor = ::open(QFile::encodeName(archivo).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool libre = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    ::close(descriptor);
    return !libre;
}

} // namespace

// Another account's run left in a preview holds the workstation's next run only up to the
// time-out, which then stops naming it and touches nothing; killed with kill -9, it leaves
// nothing that blocks.
TEST_F(RpVoucherPrint, another_account_s_run_holds_the_workstation_up_to_the_time_out_only)
{
    if (::geteuid() != 0) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true"))
            << "the other account's run needs root";
        GTEST_SKIP() << "the other account's run needs root (setpriv)";
    }
    // A folder every account may write, as /tmp, with a database every account may write.
    QTemporaryDir compartida;
    ASSERT_TRUE(compartida.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(compartida.path()).constData(), 01777), 0);
    const QString base = compartida.filePath(QStringLiteral("DEMO.db"));
    ASSERT_TRUE(QFile::copy(m_db, base));
    ASSERT_EQ(::chmod(QFile::encodeName(base).constData(), 0666), 0);
    const QStringList puesto { QStringLiteral("--equipo"), QStringLiteral("CAJA1"),
        QStringLiteral("--usuario"), QStringLiteral("ANA") };
    const auto comprobantes = [&] {
        return BaseDemo(base).filas(
            QStringLiteral("SELECT DISTINCT IDCOMPROBANTE FROM AUX_MV_CPTE ORDER BY 1"));
    };

    QProcess titular;
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    entorno.insert(QStringLiteral("HOME"), compartida.path());
    entorno.insert(QStringLiteral("TMPDIR"), compartida.path());
    titular.setProcessEnvironment(entorno);
    titular.start(QStringLiteral("setpriv"),
        QStringList { QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
            QStringLiteral("--clear-groups"), QStringLiteral(RP_VOUCHER_EXE),
            QStringLiteral("print"), QStringLiteral("--db"), base, QStringLiteral("--tc"),
            QStringLiteral("FC"), QStringLiteral("--id"), QStringLiteral("000200001201A"),
            QStringLiteral("--destino"), QStringLiteral("pantalla") }
            + puesto);
    ASSERT_TRUE(titular.waitForStarted());
    QString turno;
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 60000 && titular.state() == QProcess::Running) {
        const QStringList hechos
            = QDir(compartida.path()).entryList({ QStringLiteral("DEMO.db-turno-*") });
        if (hechos.size() == 1 && bloqueado(compartida.filePath(hechos[0]))
            && !comprobantes().empty()) {
            turno = compartida.filePath(hechos[0]);
            break;
        }
        QThread::msleep(100);
    }
    ASSERT_FALSE(turno.isEmpty()) << titular.readAllStandardError().toStdString();
    const auto antes = comprobantes();

    reloj.restart();
    const Corrida esperada
        = rpVoucher(QStringList { QStringLiteral("buffer"), QStringLiteral("--db"), base,
                        QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"),
                        QStringLiteral("000200002001A") }
            + puesto);
    const qint64 espera = reloj.elapsed();

    EXPECT_EQ(esperada.salida, 1);
    EXPECT_GE(espera, 30000);
    EXPECT_LT(espera, 60000);
    EXPECT_EQ(esperada.errores.count(QStringLiteral("se espera a que termine")), 1)
        << esperada.errores.toStdString();
    for (const QString& parte : { QStringLiteral("(proceso %1 rp_voucher del usuario nobody, "
                                                 "iniciado el ")
                                      .arg(titular.processId()),
             QStringLiteral("se esperó 30 s y no se hizo nada") })
        EXPECT_TRUE(esperada.errores.contains(parte)) << esperada.errores.toStdString();
    EXPECT_EQ(comprobantes(), antes);

    titular.kill();
    ASSERT_TRUE(titular.waitForFinished(30000));
    EXPECT_EQ(QFileInfo(turno).ownerId(), 65534u);

    const Corrida libre = rpVoucher(QStringList { QStringLiteral("buffer"), QStringLiteral("--db"),
                                        base, QStringLiteral("--tc"), QStringLiteral("FC"),
                                        QStringLiteral("--id"), QStringLiteral("000200002001A") }
        + puesto);

    EXPECT_EQ(libre.salida, 0) << libre.errores.toStdString();
    EXPECT_FALSE(libre.errores.contains(QStringLiteral("se espera")))
        << libre.errores.toStdString();
    EXPECT_NE(comprobantes(), antes);
}

// Another account that may not write the database (uid 1235) may make files in its shared folder.
// It makes the workstation's turn file first, and while the owner's first run (uid 1234) holds the
// turn it renames that file and makes a new one, or makes it unreadable: the owner's second run of
// the same workstation still waits for the first, and both print what a lone run prints.
TEST_F(RpVoucherPrint, another_account_in_a_shared_folder_cannot_part_two_runs_of_a_workstation)
{
    if (::geteuid() != 0) {
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true"))
            << "the accounts' runs need root";
        GTEST_SKIP() << "the runs as uids 1234 and 1235 need root (setpriv)";
    }
    const QStringList rango = primerasFacturas(m_db, 10);
    const QString sola = m_dir.filePath(QStringLiteral("sola"));
    ASSERT_EQ(rpVoucher(imprimeComoCaja1(m_db, rango, sola)).salida, 0);
    const std::map<QString, QString> esperado = textosDeCarpeta(sola);
    ASSERT_EQ(esperado.size(), 10u);

    // A root's folder every account may make files in, as /tmp, and a database of 1234's alone.
    QTemporaryDir compartida;
    ASSERT_TRUE(compartida.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(compartida.path()).constData(), 01777), 0);
    const QString base = compartida.filePath(QStringLiteral("DEMO.db"));
    ASSERT_TRUE(QFile::copy(m_db, base));
    ASSERT_EQ(::chown(QFile::encodeName(base).constData(), 1234, 1234), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(base).constData(), 0644), 0);
    const QString casa = compartida.filePath(QStringLiteral("casa"));
    ASSERT_TRUE(QDir().mkpath(casa));
    ASSERT_EQ(::chown(QFile::encodeName(casa).constData(), 1234, 1234), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(casa).constData(), 0700), 0);
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* variable : { "HOME", "TMPDIR", "XDG_RUNTIME_DIR", "XDG_DATA_HOME" })
        entorno.insert(QString::fromLatin1(variable), casa);
    const auto comoCuenta = [&](QProcess& proceso, int cuenta, const QStringList& orden) {
        proceso.setProcessEnvironment(entorno);
        proceso.start(QStringLiteral("setpriv"),
            QStringList { QStringLiteral("--reuid=%1").arg(cuenta),
                QStringLiteral("--regid=%1").arg(cuenta), QStringLiteral("--clear-groups") }
                + orden);
    };
    const QString turno = TurnoPuesto::archivoTurno(base, QStringLiteral("CAJA1|ANA"));
    const auto otraCuenta = [&](const char* orden) {
        QProcess sh;
        comoCuenta(sh, 1235,
            { QStringLiteral("/bin/sh"), QStringLiteral("-c"), QString::fromLatin1(orden),
                QStringLiteral("sh"), turno });
        return sh.waitForFinished(30000) && sh.exitCode() == 0;
    };
    const struct
    {
        const char* caso;
        const char* orden;
    } ataques[] = {
        { "renamed and made anew", "mv \"$1\" \"$1.viejo\" && touch \"$1\"" },
        { "made unreadable", "chmod 000 \"$1\"" },
    };
    for (const auto& ataque : ataques) {
        SCOPED_TRACE(ataque.caso);
        ASSERT_EQ(QProcess::execute(QStringLiteral("rm"),
                      { QStringLiteral("-f"), turno, turno + QStringLiteral(".viejo") }),
            0);
        ASSERT_TRUE(otraCuenta("touch \"$1\""));
        // The database held by the test keeps the first run at work, with the turn, until the
        // second one has come to wait or has gone by.
        const QString conexion = QUuid::createUuid().toString();
        QSqlDatabase retiene = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
        retiene.setDatabaseName(base);
        ASSERT_TRUE(retiene.open() && QSqlQuery(retiene).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QProcess corridas[2];
        const QString carpetas[2] = { casa + QStringLiteral("/%1a").arg(&ataque - ataques),
            casa + QStringLiteral("/%1b").arg(&ataque - ataques) };
        comoCuenta(corridas[0], 1234,
            QStringList { QStringLiteral(RP_VOUCHER_EXE) }
                + imprimeComoCaja1(base, rango, carpetas[0]));
        QElapsedTimer reloj;
        reloj.start();
        while (!bloqueado(compartida.path()) && !bloqueado(turno) && reloj.elapsed() < 60000
            && corridas[0].state() != QProcess::NotRunning)
            QThread::msleep(50);

        ASSERT_TRUE(otraCuenta(ataque.orden));
        comoCuenta(corridas[1], 1234,
            QStringList { QStringLiteral(RP_VOUCHER_EXE) }
                + imprimeComoCaja1(base, rango, carpetas[1]));
        corridas[1].setReadChannel(QProcess::StandardError);
        QString errores;
        while (!errores.contains(QStringLiteral("se espera a que termine"))
            && corridas[1].waitForReadyRead(20000))
            errores += QString::fromUtf8(corridas[1].readAllStandardError());
        QSqlQuery(retiene).exec(QStringLiteral("ROLLBACK"));
        retiene.close();
        retiene = QSqlDatabase();
        QSqlDatabase::removeDatabase(conexion);

        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(corridas[i].waitForFinished(300000));
            const QString resto = QString::fromUtf8(corridas[i].readAllStandardError());
            EXPECT_EQ(corridas[i].exitCode(), 0) << resto.toStdString();
            if (i == 1)
                errores += resto;
            const std::map<QString, QString> textos = textosDeCarpeta(carpetas[i]);
            ASSERT_EQ(textos.size(), esperado.size()) << resto.toStdString();
            for (const auto& [pdf, texto] : esperado)
                EXPECT_EQ(textos.at(pdf), texto) << "corrida " << i << ", " << pdf.toStdString();
        }
        EXPECT_EQ(errores.count(QStringLiteral("se espera a que termine")), 1)
            << errores.toStdString();
    }
}

// A voucher date that is no date is named with its voucher and field; the voucher is not
// printed and the run fails, never aborts.
TEST_F(RpVoucherPrint, a_voucher_date_that_is_no_date_is_named_and_prints_nothing)
{
    const BaseDemo base(m_db);
    for (const char* fecha : { "''", "'abc'", "'0000-00-00'", "'1900-02-29'" }) {
        base.ejecuta(QStringLiteral("UPDATE V_MV_CPTE SET FECHA = %1 WHERE TC = 'FC' AND "
                                    "IDCOMPROBANTE = '000200001201A'")
                         .arg(QLatin1String(fecha)));
        for (const char* subcomando : { "print", "buffer" }) {
            QStringList argumentos { QLatin1String(subcomando), QStringLiteral("--db"), m_db,
                QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"),
                QStringLiteral("000200001201A") };
            if (QByteArray(subcomando) == "print")
                argumentos << QStringLiteral("--pdf") << m_pdf;
            const Corrida c = rpVoucher(argumentos);

            EXPECT_EQ(c.salida, 1) << fecha << " " << subcomando << c.errores.toStdString();
            EXPECT_TRUE(c.errores.contains(QStringLiteral("V_MV_CPTE.FECHA")))
                << fecha << " " << subcomando << c.errores.toStdString();
            if (QByteArray(subcomando) == "print") {
                EXPECT_TRUE(c.errores.contains(
                    QStringLiteral("No se imprimió el comprobante FC 000200001201A")))
                    << c.errores.toStdString();
            }
        }
    }
    EXPECT_TRUE(QDir(m_pdf).isEmpty());
    // Nor is its QR row written: it would carry no day, and the authority's logo of none.
    EXPECT_EQ(base.filas(QStringLiteral("SELECT COUNT(*) FROM AUX_MV_CPTEQR WHERE "
                                        "IDCOMPROBANTE = '000200001201A'")),
        std::vector<QStringList> { { QStringLiteral("0") } });

    // A table the print reads that is not there: told, and the tool ends with a status.
    base.ejecuta(QStringLiteral("UPDATE V_MV_CPTE SET FECHA = '2026-11-20' WHERE TC = 'FC' AND "
                                "IDCOMPROBANTE = '000200001201A'"));
    base.ejecuta(QStringLiteral("DROP TABLE V_MV_CPTEINSUMOS"));
    const Corrida c = rpVoucher({ QStringLiteral("print"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"),
        QStringLiteral("000200001201A"), QStringLiteral("--pdf"), m_pdf });
    EXPECT_GT(c.salida, 0) << c.errores.toStdString();
    EXPECT_TRUE(c.errores.contains(QStringLiteral("V_MV_CPTEINSUMOS"))) << c.errores.toStdString();
    EXPECT_TRUE(QDir(m_pdf).isEmpty());
}

namespace {

// A run of rp_voucher that reads a damaged table: the subcommand and its arguments (without the
// database and the folder), and the voucher its messages must name.
struct Lectura
{
    QStringList argumentos;
    QString id;
};

// One damaged copy of the demo database and the runs still to make on it.
struct CasoDanado
{
    QString caso;
    // What a failure must name besides the voucher: "TABLE.FIELD", or the table dropped.
    QString nombrado;
    // For a figure or date that is none, what a print that ended well must not show for it:
    // "abc", "nan" or "inf" in place of a quantity, an amount or a date.
    QString delator;
    QString carpeta;
    QList<Lectura> pendientes;
    Lectura actual;
    std::unique_ptr<QProcess> proceso;
};

} // namespace

// Every column of the tables a voucher, a receipt or an entry print reads, set in turn to a blank,
// a text, NaN, infinity and NULL, and each of those tables dropped: no run ends on a signal or in
// the last handler; one that ends well printed its file, one that does not names its voucher and
// the field (or the table) on one line. A text column prints as it is; the columns that find the
// voucher itself are left alone (damaged, the voucher is another one, not found).
TEST_F(RpVoucherPrint, every_damaged_field_of_a_voucher_is_named_or_prints_right)
{
    const auto lectura = [](const char* id, std::initializer_list<const char*> argumentos) {
        QStringList lista;
        for (const char* a : argumentos)
            lista << QLatin1String(a);
        return Lectura { lista << QStringLiteral("--id") << QLatin1String(id), QLatin1String(id) };
    };
    const Lectura fc = lectura("000200001201A", { "print", "--tc", "FC", "--una-copia" });
    const Lectura fcTareas = lectura("000200001202A", { "print", "--tc", "FC", "--una-copia" });
    const Lectura fcNotas = lectura("000200001200B", { "print", "--tc", "FC", "--una-copia" });
    const Lectura ot = lectura("000200002007X", { "print", "--tc", "OT", "--una-copia" });
    const Lectura fcc = lectura("000100005500A", { "print", "--tc", "FCC", "--una-copia" });
    const Lectura rm = lectura("000200000300R", { "print", "--tc", "RM", "--una-copia" });
    const Lectura np = lectura("000200003001X", { "print", "--tc", "NP", "--una-copia" });
    const Lectura buffer = lectura("000200001201A", { "buffer", "--tc", "FC" });
    const Lectura cb = lectura("000200000800X", { "recibo", "--tc", "CB" });
    const Lectura opg = lectura("000200000910X", { "recibo", "--tc", "OPG" });
    const Lectura asiento = lectura("000200000001X",
        { "asiento", "--tc", "AS", "--mes", "11", "--numero", "5001", "--periodo", "2026" });
    const struct
    {
        const char* tabla;
        QList<Lectura> lecturas;
        QStringList claves;
    } tablas[] = {
        { "V_MV_CPTE", { fc, buffer, cb, opg }, { "TC", "IDCOMPROBANTE", "IDCOMPLEMENTO" } },
        // Letter B adds the VAT to a line stored without it; a delivery note and an order note
        // print their lines their own way.
        { "V_MV_CPTEINSUMOS", { fc, fcNotas, rm, np }, {} },
        { "V_MV_CPTETAREAS", { fcTareas, ot }, {} },
        { "V_MV_CPTE_Observ", { fcNotas, fcc }, {} },
        { "V_MV_CPTE_ELECTRONICOS", { fc, rm }, {} },
        { "C_MV_CPTE", { fcc, opg }, { "TC", "IDCOMPROBANTE", "IDCOMPLEMENTO" } },
        { "C_MV_CPTEINSUMOS", { fcc }, {} },
        // An invoice prints the payment its collection applied.
        { "MV_ASIENTOS", { fc, cb, opg, asiento }, {} },
        { "MV_APLICACION", { fc, cb, opg }, {} },
        { "VE_SALDOAPLICACION", { cb, opg }, {} },
    };
    // A text column takes any text alike: one word is enough there (a code read as a number
    // reads a blank as none, as the demo's vouchers without one print); a number or date column
    // gets a blank, NaN and infinity too.
    const QStringList textos { QStringLiteral("'abc'"), QStringLiteral("NULL") };
    const QStringList cifras = textos
        + QStringList { QStringLiteral("''"), QStringLiteral("'NaN'"), QStringLiteral("9e999") };

    std::vector<CasoDanado> casos;
    const BaseDemo base(m_db);
    for (const auto& t : tablas) {
        const QString tabla = QLatin1String(t.tabla);
        casos.push_back(
            { QStringLiteral("DROP TABLE ") + tabla, tabla, {}, {}, t.lecturas, {}, {} });
        for (const QStringList& columna :
            base.filas(QStringLiteral("SELECT name, type FROM pragma_table_info('%1') WHERE pk = 0")
                           .arg(tabla))) {
            if (t.claves.contains(columna[0], Qt::CaseInsensitive))
                continue;
            const bool texto = columna[1].startsWith(QLatin1String("varchar"), Qt::CaseInsensitive)
                || columna[1].compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0;
            for (const QString& valor : texto ? textos : cifras) {
                const QString delator = texto || valor == u"NULL" || valor == u"''" ? QString()
                    : valor == u"9e999" ? QStringLiteral("inf")
                                        : valor.mid(1, valor.size() - 2).toLower();
                casos.push_back(
                    { QStringLiteral("UPDATE %1 SET \"%2\" = %3").arg(tabla, columna[0], valor),
                        tabla + u'.' + columna[0], delator, {}, t.lecturas, {}, {} });
            }
        }
    }

    static QTemporaryDir runtime;
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList archivos = QDir(m_dir.path()).entryList(QDir::Files);
    // Each case on a copy of its own; false when the damage cannot be stored (NULL in a column
    // that refuses it, a text in a row id).
    const auto prepara = [&](CasoDanado& c, int numero) {
        c.carpeta = m_dir.filePath(QStringLiteral("caso%1").arg(numero));
        EXPECT_TRUE(QDir().mkpath(c.carpeta));
        for (const QString& archivo : archivos)
            QFile::copy(m_dir.filePath(archivo), c.carpeta + u'/' + archivo);
        const QString conexion = QUuid::createUuid().toString();
        bool danado = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conexion);
            db.setDatabaseName(c.carpeta + QStringLiteral("/DEMO.db"));
            danado = db.open() && registerSqliteText(db) && QSqlQuery(db).exec(c.caso);
        }
        QSqlDatabase::removeDatabase(conexion);
        return danado;
    };
    const auto arranca = [&](CasoDanado& c) {
        c.actual = c.pendientes.takeFirst();
        QStringList argumentos = QStringList { c.actual.argumentos.first(), QStringLiteral("--db"),
            c.carpeta + QStringLiteral("/DEMO.db") }
            + c.actual.argumentos.mid(1);
        if (c.actual.argumentos.first() != u"buffer")
            argumentos << QStringLiteral("--pdf") << c.carpeta + QStringLiteral("/pdf");
        c.proceso = std::make_unique<QProcess>();
        c.proceso->setProcessEnvironment(entorno);
        c.proceso->start(QStringLiteral(RP_VOUCHER_EXE), argumentos);
    };
    const auto comprueba = [&](CasoDanado& c) {
        const QString corrida = c.caso + QStringLiteral(" / ") + c.actual.argumentos.join(u' ');
        QProcess& p = *c.proceso;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << corrida.toStdString() << ": no terminó por sí mismo";
            return;
        }
        const QString errores = QString::fromUtf8(p.readAllStandardError());
        QDir pdf(c.carpeta + QStringLiteral("/pdf"));
        const QStringList impresos = pdf.entryList({ QStringLiteral("*.pdf") }, QDir::Files);
        if (p.exitCode() == 0) {
            EXPECT_TRUE(!impresos.isEmpty() || c.actual.argumentos.first() == u"buffer")
                << corrida.toStdString() << ": terminó bien sin imprimir";
            const QRegularExpression dato(QStringLiteral("\\b%1\\b").arg(c.delator),
                QRegularExpression::CaseInsensitiveOption);
            for (const QString& impreso : impresos)
                EXPECT_FALSE(!c.delator.isEmpty() && textoPdf(pdf.filePath(impreso)).contains(dato))
                    << corrida.toStdString() << ": imprimió «" << c.delator.toStdString() << "»";
            pdf.removeRecursively();
            return;
        }
        pdf.removeRecursively();
        EXPECT_NE(p.exitCode(), 3) << corrida.toStdString() << ": " << errores.toStdString();
        bool nombrado = false;
        for (const QString& linea : errores.split(u'\n'))
            nombrado = nombrado
                || (linea.contains(c.actual.id) && linea.contains(c.nombrado, Qt::CaseInsensitive));
        EXPECT_TRUE(nombrado) << corrida.toStdString() << ": " << p.exitCode() << " "
                              << errores.toStdString();
    };

    // A few runs at a time, each case's runs one after another on its copy: the oldest run is
    // waited for, then the next of its case starts or another case takes its place.
    const std::size_t enParalelo = 6;
    std::deque<CasoDanado*> activos;
    std::size_t siguiente = 0;
    while (siguiente < casos.size() || !activos.empty()) {
        while (activos.size() < enParalelo && siguiente < casos.size()) {
            CasoDanado& c = casos[siguiente];
            if (prepara(c, int(siguiente))) {
                arranca(c);
                activos.push_back(&c);
            } else
                QDir(c.carpeta).removeRecursively();
            ++siguiente;
        }
        if (activos.empty())
            continue;
        CasoDanado& c = *activos.front();
        activos.pop_front();
        comprueba(c);
        if (c.pendientes.isEmpty())
            QDir(c.carpeta).removeRecursively();
        else {
            arranca(c);
            activos.push_back(&c);
        }
    }
}
