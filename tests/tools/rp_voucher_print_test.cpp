#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/DemoDatabaseFiles.h"

namespace {

struct Corrida
{
    int salida = -1;
    QString errores;
};

Corrida rpVoucher(const QStringList& argumentos)
{
    static QTemporaryDir runtime;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
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

QString textoPdf(const QString& pdf)
{
    QProcess herramienta;
    herramienta.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf,
                                                       QStringLiteral("-") });
    herramienta.waitForFinished(60000);
    return QString::fromUtf8(herramienta.readAllStandardOutput()).simplified();
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
    lector.start(QStringLiteral("zbarimg"), { QStringLiteral("--raw"), QStringLiteral("-q"),
                                                 imagen + QStringLiteral(".png") });
    if (!lector.waitForFinished(60000)) {
        ADD_FAILURE() << "zbarimg no se pudo ejecutar (zbar-tools)";
        return QString();
    }
    return QString::fromUtf8(QByteArray::fromBase64(lector.readAllStandardOutput().trimmed()));
}

class RpVoucherPrint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Until the tool's table lists them, the subcommands are not there to run.
        if (!rpVoucher({}).errores.contains(QLatin1String("print --db")))
            GTEST_SKIP() << "rp_voucher no tiene el subcomando print";
        m_db = testsupport::writeDemoDatabases(m_dir.path(), 20);
        ASSERT_FALSE(m_db.isEmpty());
        m_pdf = m_dir.filePath(QStringLiteral("pdf"));
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
    };
    for (const auto& f : filas) {
        const Corrida c = rpVoucher(QStringList { QStringLiteral("print"), QStringLiteral("--db"),
                                        m_db }
            + f.argumentos);

        EXPECT_EQ(c.salida, 2);
        EXPECT_TRUE(c.errores.startsWith(QString::fromUtf8(f.mensaje))) << c.errores.toStdString();
        EXPECT_EQ(c.errores.count(u'\n'), 1) << c.errores.toStdString();
        EXPECT_FALSE(QDir(m_pdf).exists());
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
    // The printed QR carries the voucher's own data.
    const QString qr = qrDePagina(m_pdf + QStringLiteral("/01-FC.pdf"), m_dir.path());
    for (const char* esperado :
        { "\"ptoVta\":2,", "\"nroCmp\":1201,", "\"codAut\":7", "\"moneda\":\"PES\"" })
        EXPECT_TRUE(qr.contains(QLatin1String(esperado))) << esperado << "\n" << qr.toStdString();
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

    const Corrida f = rpVoucher({ QStringLiteral("recibo"), QStringLiteral("--db"), m_db,
        QStringLiteral("--tc"), QStringLiteral("FC"), QStringLiteral("--id"),
        QStringLiteral("000200001201A") });
    EXPECT_EQ(f.salida, 2);
    EXPECT_EQ(f.errores.count(u'\n'), 1) << f.errores.toStdString();
}
