#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "sending/SubidaDocumento.h"
#include "support/TestFiles.h"

namespace {

const QDateTime Servidor(QDate(2025, 3, 7), QTime(9, 4, 5));

TEST(SubidaDocumento, upload_name_folder_and_link)
{
    struct Caso
    {
        const char* nombre;
        QString archivo;
        QString base;
        QString extension;
        bool mantener;
        bool contrato;
        bool presupuesto;
        QString subida;
        QString extensionFinal;
        QString ruta;
    };
    const Caso casos[] = {
        // The stamp is zero-padded: 7 March and 9:04:05 never read as another moment.
        { "monthly", QStringLiteral("/t/a.pdf"), QStringLiteral("DOCUMENTO_TMP"),
            QStringLiteral("pdf"), false, false, false,
            QStringLiteral("DOCUMENTO_TMP_20250307090405.pdf"), QStringLiteral("pdf"),
            QStringLiteral("/Clientes/C01/202412/DOCUMENTO_TMP_20250307090405.pdf") },
        { "keep name", QStringLiteral("/t/a.pdf"), QStringLiteral("FC0001"), QStringLiteral("PDF"),
            true, false, false, QStringLiteral("FC0001.PDF"), QStringLiteral("PDF"),
            QStringLiteral("/Clientes/C01/202412/FC0001.PDF") },
        // A contract wins over a budget.
        { "contract", QStringLiteral("/t/a.pdf"), QStringLiteral("K1"), QStringLiteral("pdf"), true,
            true, true, QStringLiteral("K1.pdf"), QStringLiteral("pdf"),
            QStringLiteral("/Clientes/C01/CONTRATOS/K1.pdf") },
        { "budget", QStringLiteral("/t/a.pdf"), QStringLiteral("0001"), QStringLiteral("PDF"), true,
            false, true, QStringLiteral("0001.PDF"), QStringLiteral("PDF"),
            QStringLiteral("/Clientes/C01/PRESUPUESTOS/0001.PDF") },
        // A page keeps its own name even without keep-name; its extension comes back too.
        { "html", QStringLiteral("/t/Pagina.HTML"), QStringLiteral("X"), QStringLiteral("pdf"),
            false, false, false, QStringLiteral("Pagina.HTML"), QStringLiteral("HTML"),
            QStringLiteral("/Clientes/C01/202412/Pagina.HTML") },
        { "style sheet in the folder name", QStringLiteral("/t/x.css/e.pdf"), QStringLiteral("X"),
            QStringLiteral("pdf"), false, false, false, QStringLiteral("e.pdf"),
            QStringLiteral("pdf"), QStringLiteral("/Clientes/C01/202412/e.pdf") },
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QString extension = c.extension;

        const QString subida
            = SubidaDocumento::nombreSubida(c.archivo, c.base, extension, c.mantener, Servidor);
        const SubidaDocumento::Destino d = SubidaDocumento::destino(QStringLiteral(" docs.x:8443 "),
            QStringLiteral(" C01 "), subida, c.contrato, c.presupuesto, QDate(2024, 12, 31));

        EXPECT_EQ(subida, c.subida);
        EXPECT_EQ(extension, c.extensionFinal);
        EXPECT_EQ(d.ruta, c.ruta);
        EXPECT_EQ(d.link, QStringLiteral("https://docs.x:8443") + c.ruta);
    }
}

TEST(SubidaDocumento, url_encoding_in_windows_1252)
{
    const struct
    {
        QString texto;
        QString codificado;
    } casos[] = {
        { QStringLiteral("/a b.pdf"), QStringLiteral("%2Fa+b.pdf") },
        { QStringLiteral("Az09-_.!~"), QStringLiteral("Az09-_.!%7E") },
        // Accented letters are encoded too: raw bytes are not valid in an address.
        { QStringLiteral("Año€"), QStringLiteral("A%F1o%80") },
        // Not in the code page at all.
        { QStringLiteral("a\u0142b"), QStringLiteral("a_b") },
        { QStringLiteral("&?=%\n"), QStringLiteral("%26%3F%3D%25%0A") },
    };
    for (const auto& c : casos)
        EXPECT_EQ(SubidaDocumento::URLEncode(c.texto), c.codificado) << c.texto.toStdString();
}

TEST(SubidaDocumento, boundary_is_the_hexadecimal_milliseconds_of_the_day)
{
    EXPECT_EQ(SubidaDocumento::limite(255), QString(27, u'-') + QStringLiteral("FF"));
    // Through a single-precision number, as the suite's client took it: 86,399,999 is not exact.
    EXPECT_EQ(SubidaDocumento::limite(86399999), QString(27, u'-') + QStringLiteral("5265C00"));
}

// The upload's name becomes a file of the data folder and a line of the command file: only a
// plain name in that folder will do.
TEST(SubidaDocumento, only_a_plain_file_name_is_a_valid_upload_name)
{
    const struct
    {
        QString nombre;
        bool valido;
    } casos[] = {
        { QStringLiteral("DOC_20250307090405.pdf"), true },
        { QStringLiteral("..pdf"), true }, // dots in a name are only dots
        { QString(), false },
        { QStringLiteral("."), false },
        { QStringLiteral(".."), false }, // the folder above the data folder
        { QStringLiteral("../DOC.pdf"), false },
        { QStringLiteral("a\\b.pdf"), false },
        { QStringLiteral("a\nb.pdf"), false },
        { QStringLiteral("a") + QChar(0x7f) + QStringLiteral("b.pdf"), false },
    };
    for (const auto& c : casos)
        EXPECT_EQ(SubidaDocumento::nombreValido(c.nombre), c.valido) << c.nombre.toStdString();
}

// What stops an upload before anything is posted is told in words, and nothing is transferred.
TEST(SubidaDocumento, an_upload_that_cannot_start_says_why)
{
    QTemporaryDir dir;
    const QString vacio = dir.filePath(QStringLiteral("vacio.pdf"));
    const QString lleno = dir.filePath(QStringLiteral("lleno.pdf"));
    testsupport::writeFile(vacio, "");
    testsupport::writeFile(lleno, "%PDF");
    const struct
    {
        QString archivo;
        QString fallo;
    } casos[] = {
        { dir.filePath(QStringLiteral("no.pdf")),
            QStringLiteral("Error: El archivo especificado no existe: ")
                + dir.filePath(QStringLiteral("no.pdf")) },
        { vacio, QStringLiteral("Se produjo un error: El archivo está vacío: ") + vacio },
        // No HTTP service on this machine.
        { lleno,
            QStringLiteral("Se produjo un error: No se pueden hacer envíos por HTTPS en este "
                           "equipo") },
    };
    int transferencias = 0;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.archivo.toStdString());
        EXPECT_EQ(SubidaDocumento::sube(QStringLiteral("https://x.example/u"), c.archivo,
                      QStringLiteral("/Clientes/1/a.pdf"), HttpSeguridad(), 0,
                      [&](const std::function<void()>&) { ++transferencias; }),
            c.fallo);
    }
    EXPECT_EQ(transferencias, 0);
}

} // namespace
