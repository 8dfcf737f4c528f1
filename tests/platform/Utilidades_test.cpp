#include "platform/Utilidades.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "platform/DialogoArchivo.h"
#include "platform/Entorno.h"
#include "platform/MessageDialog.h"
#include "platform/RuntimeError.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

Utilidades& u()
{
    return gUtilidades();
}

int errorNumberOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

TEST(Utilidades, FormateaCodigo_right_aligns_numbers_and_keeps_other_codes)
{
    struct Row
    {
        const char* code;
        int width;
        const char* expected;
    };
    const Row rows[] = {
        { "1", 4, "   1" },
        { " 12 ", 4, "  12" },
        { "1234", 4, "1234" },
        { "12345", 4, "1234" },
        // Voucher types are compared with "FC", "RM": they must come back as typed.
        { "FC", 4, "FC" },
        { " RM ", 4, "RM" },
        { "A1", 4, "A1" },
        { "ABCDE", 4, "ABCD" },
        { "", 4, "" },
        { "   ", 4, "" },
        // Article ids are fitted to 25.
        { "7790001", 25, "                  7790001" },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(u().FormateaCodigo(QString::fromUtf8(row.code), row.width),
            QString::fromUtf8(row.expected))
            << row.code;
    }
}

TEST(Utilidades, ValorMoneda_reads_the_workstation_separator_and_a_point)
{
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    struct Row
    {
        const char* text;
        qint64 raw;
    };
    const Row rows[] = {
        { "", 0 },
        { "   ", 0 },
        { "12", 120000 },
        { "12,5", 125000 },
        { "12.5", 125000 },
        { "-0,0025", -25 },
        { " 1234,56789 ", 12345679 }, // rounded to four decimals
        { "922337203685477,5807", 9223372036854775807LL },
    };
    for (const Row& row : rows)
        EXPECT_EQ(u().ValorMoneda(QString::fromUtf8(row.text)).raw(), row.raw) << row.text;

    for (const char* bad : { "abc", "1.234,56", "12,5,1", "1e3" }) {
        EXPECT_EQ(errorNumberOf([&] { u().ValorMoneda(QString::fromUtf8(bad)); }), 13) << bad;
    }
}

TEST(Utilidades, ValorEntero_rounds_half_to_even)
{
    struct Row
    {
        const char* text;
        qint32 expected;
    };
    const Row rows[] = {
        { "", 0 },
        { "7", 7 },
        { " -7 ", -7 },
        { "2,5", 2 },
        { "3,5", 4 },
        { "-2,5", -2 },
        { "2.6", 3 },
        { "2147483647", 2147483647 },
    };
    for (const Row& row : rows)
        EXPECT_EQ(u().ValorEntero(QString::fromUtf8(row.text)), row.expected) << row.text;

    EXPECT_EQ(errorNumberOf([] { u().ValorEntero(QStringLiteral("SI")); }), 13);
    EXPECT_EQ(errorNumberOf([] { u().ValorEntero(QStringLiteral("2147483648")); }), 6);
}

TEST(Utilidades, ValorCampo_gives_null_and_empty_as_empty_text)
{
    EXPECT_EQ(u().ValorCampo(Value::null()), QString());
    EXPECT_EQ(u().ValorCampo(Value()), QString());
    EXPECT_EQ(u().ValorCampo(Value(QStringLiteral(" x "))), QStringLiteral(" x "));
    EXPECT_EQ(u().ValorCampo(Value(qint32(42))), QStringLiteral("42"));
    EXPECT_EQ(u().ValorCampo(Value(Currency::fromRaw(12345))), QStringLiteral("1.2345"));
}

TEST(Utilidades, padding_fits_text_to_the_width)
{
    EXPECT_EQ(u().RellenaDerecha(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
    EXPECT_EQ(u().RellenaDerecha(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(u().RellenaDerecha(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(u().RellenaIzquierda(QStringLiteral("12"), 5), QStringLiteral("   12"));
    EXPECT_EQ(u().RellenaIzquierda(QStringLiteral("123456"), 4), QStringLiteral("1234"));
    EXPECT_EQ(u().RellenaIzquierda(QString(), 3), QStringLiteral("   "));
}

TEST(Utilidades, text_helpers)
{
    const QChar nul(0);
    const QChar y255(0xFF);
    // Mask records carry NULs and character 255 as fill.
    EXPECT_EQ(u().QuitaCaracteres(QStringLiteral("ab") + nul + y255 + QStringLiteral("c"),
                  QString(nul), QString(y255)),
        QStringLiteral("abc"));
    EXPECT_EQ(
        u().QuitaCaracteres(QStringLiteral("1,2,3"), QStringLiteral(",")), QStringLiteral("123"));
    EXPECT_EQ(u().QuitaCaracteres(QStringLiteral("a|b") + y255, QString(y255), QStringLiteral("|")),
        QStringLiteral("ab"));
    EXPECT_EQ(u().Reemplaza(QStringLiteral("V_MA_ARTICULOS a, V_MA_ARTICULOS"),
                  QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS")),
        QStringLiteral("VT_MA_ARTICULOS a, VT_MA_ARTICULOS"));
    EXPECT_EQ(u().ReemplazaCadena(QStringLiteral("abc"), QString(), QStringLiteral("x")),
        QStringLiteral("abc"));
    EXPECT_EQ(u().ReemplazaCadena(QStringLiteral("aAa"), QStringLiteral("a"), QStringLiteral("b")),
        QStringLiteral("bAb"));
    EXPECT_EQ(
        u().LimpiaCadenaFija(QStringLiteral("PC|JUAN   ") + nul + nul), QStringLiteral("PC|JUAN"));
    EXPECT_EQ(u().LimpiaCadenaFija(QString(4, nul)), QString());
    EXPECT_EQ(u().LimpiaTexto(QStringLiteral("D'Angelo\x01 12")), QStringLiteral("D'Angelo 12"));
    EXPECT_EQ(u().LimpiaTexto(QStringLiteral("5493415551234")), QStringLiteral("5493415551234"));
    EXPECT_EQ(u().LimpiaTexto(QStringLiteral("\x02")), QString());
    EXPECT_EQ(
        u().AjustaDescripcion(QStringLiteral("  Lote\r\n12   A\t ")), QStringLiteral("Lote 12 A"));
}

TEST(Utilidades, ClasificaTexto_counts_words)
{
    EXPECT_EQ(u().ClasificaTexto(QString()), 0);
    EXPECT_EQ(u().ClasificaTexto(QStringLiteral(" LEN ")), 1);
    EXPECT_EQ(u().ClasificaTexto(QStringLiteral("SELECT *\tFROM\nT")), 4);
}

TEST(Utilidades, RutaConBarra_ends_with_exactly_one_separator)
{
    EXPECT_EQ(u().RutaConBarra(QStringLiteral("/tmp")), QStringLiteral("/tmp/"));
    EXPECT_EQ(u().RutaConBarra(QStringLiteral("/tmp/")), QStringLiteral("/tmp/"));
    EXPECT_EQ(u().RutaConBarra(QStringLiteral("/tmp//")), QStringLiteral("/tmp/"));
    EXPECT_EQ(u().RutaConBarra(QStringLiteral("datos\\")), QStringLiteral("datos/"));
    EXPECT_EQ(u().RutaConBarra(QStringLiteral("/")), QStringLiteral("/"));
    // Never the root for nothing.
    EXPECT_EQ(u().RutaConBarra(QString()), QString());
}

TEST(Utilidades, FechaFormula_gives_the_formula_date_literal)
{
    struct Row
    {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        { "05/03/2024", "Date(2024,03,05)" },
        { "5/3/2024", "Date(2024,03,05)" },
        { " 31-12-2023 ", "Date(2023,12,31)" },
        { "01/02/29", "Date(2029,02,01)" },
        { "01/02/30", "Date(1930,02,01)" },
        { "2024-03-05", "Date(2024,03,05)" },
        { "2024-03-05 10:30:00", "Date(2024,03,05)" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(u().FechaFormula(QString::fromUtf8(row.text)), QString::fromUtf8(row.expected));

    // The caller decides what a blank or impossible date means.
    for (const char* bad : { "", "  /  /    ", "31/02/2024", "hoy", "2024" }) {
        EXPECT_EQ(errorNumberOf([&] { u().FechaFormula(QString::fromUtf8(bad)); }), 13) << bad;
    }
}

TEST(Utilidades, Encripta_is_one_printable_line_and_reversible)
{
    const QString samples[] = {
        QString(),
        QStringLiteral("rozadev"),
        QStringLiteral("Corvane"),
        QStringLiteral("a,b;c \"d\" 'e' ñandú €"),
        QStringLiteral("línea\r\notra\ttab"),
        QStringLiteral("~0041~"),
        QStringLiteral("aaaaaaaa"),
    };
    for (const QString& plain : samples) {
        const QString scrambled = u().Encripta(plain);

        EXPECT_EQ(u().Desencripta(scrambled), plain) << plain.toStdString();
        for (const QChar c : scrambled) {
            EXPECT_TRUE(c.unicode() > 32 && c.unicode() < 127) << scrambled.toStdString();
            EXPECT_FALSE(QStringLiteral(",;'\"=").contains(c)) << scrambled.toStdString();
        }
    }
    EXPECT_NE(u().Encripta(QStringLiteral("rozadev")), QStringLiteral("rozadev"));
    EXPECT_EQ(u().Encripta(QStringLiteral("rozadev")).size(), 7);
    // A malformed escape is not ours: it comes back as it is.
    EXPECT_EQ(u().Desencripta(QStringLiteral("ab~zz")), QStringLiteral("ab~zz"));
}

TEST(Utilidades, lists_and_control_arrays)
{
    EXPECT_TRUE(u().EstaEnLista(QStringLiteral("ID"), { "Codigo", "ID" }));
    EXPECT_TRUE(u().EstaEnLista(QStringLiteral("id"), { "Codigo", "ID" }));
    EXPECT_FALSE(u().EstaEnLista(QStringLiteral("IDs"), { "Codigo", "ID" }));
    EXPECT_TRUE(u().EstaEnLista(Value(qint32(3)), { Value(qint64(1)), Value(3.0) }));
    EXPECT_TRUE(u().EstaEnLista(Value(QStringLiteral("FC")), { Value(QStringLiteral("FC")) }));
    EXPECT_FALSE(u().EstaEnLista(Value::null(), { Value(QString()) }));

    QObject member;
    member.setObjectName(QStringLiteral("txtfields_3"));
    QObject single;
    single.setObjectName(QStringLiteral("CmdAceptar"));
    QObject indexed;
    indexed.setObjectName(QStringLiteral("Opcion"));
    indexed.setProperty("Index", 0);
    EXPECT_TRUE(u().EsArregloControles(&member));
    EXPECT_FALSE(u().EsArregloControles(&single));
    EXPECT_TRUE(u().EsArregloControles(&indexed));
    EXPECT_FALSE(u().EsArregloControles(nullptr));
}

TEST(Utilidades, DescomponeRuta_splits_folder_name_and_extension)
{
    struct Row
    {
        const char* path;
        const char* folder;
        const char* name;
        const char* extension;
        const char* base;
    };
    const Row rows[] = {
        { "/tmp/informes/lista.pdf", "/tmp/informes/", "lista.pdf", "pdf", "lista" },
        { "C:\\Datos\\estilo.min.css", "C:/Datos/", "estilo.min.css", "css", "estilo.min" },
        { "sin_extension", "", "sin_extension", "", "sin_extension" },
        { "/tmp/.oculto", "/tmp/", ".oculto", "", ".oculto" },
    };
    for (const Row& row : rows) {
        QString folder, name, extension, base;

        u().DescomponeRuta(QString::fromUtf8(row.path), folder, name, extension, base);

        EXPECT_EQ(folder, QString::fromUtf8(row.folder)) << row.path;
        EXPECT_EQ(name, QString::fromUtf8(row.name)) << row.path;
        EXPECT_EQ(extension, QString::fromUtf8(row.extension)) << row.path;
        EXPECT_EQ(base, QString::fromUtf8(row.base)) << row.path;
    }
}

TEST(Utilidades, SeleccionaFecha_returns_the_picked_date_or_keeps_the_text)
{
    QString text = QStringLiteral("05/03/2024");
    testsupport::datePickers().answer(QDate(2024, 4, 1));
    testsupport::datePickers().answer(std::nullopt);

    EXPECT_EQ(u().SeleccionaFecha(text), QStringLiteral("01/04/2024"));
    EXPECT_EQ(text, QStringLiteral("01/04/2024"));
    EXPECT_EQ(u().SeleccionaFecha(text), QStringLiteral("01/04/2024"));

    ASSERT_EQ(testsupport::datePickers().initialDates().size(), 2);
    EXPECT_EQ(testsupport::datePickers().initialDates()[0], QDate(2024, 3, 5));
}

TEST(Utilidades, PreguntaError_asks_abort_retry_ignore)
{
    testsupport::messages().answer(Msg::Retry);

    const RuntimeError error(3704, QStringLiteral(" Objeto cerrado "), QStringLiteral("x"));

    const int answer = u().PreguntaError(error);

    EXPECT_EQ(answer, Msg::Retry);
    ASSERT_EQ(testsupport::messages().shown().size(), 1);
    EXPECT_EQ(testsupport::messages().shown()[0].text,
        QStringLiteral("Ha ocurrido el Siguiente Error (3704) Objeto cerrado"));
    EXPECT_EQ(testsupport::messages().shown()[0].style, 18);
}

TEST(Entorno, names_folders_and_opening_files)
{
    testsupport::environment().setSystemTempFolder(QStringLiteral("/var/tmp"));
    int outcome = 0;

    gEntorno().AbrirArchivo(0, QString(), QStringLiteral("\"/tmp/a b.pdf\""), QString(), QString(),
        Entorno::MinimizedNoActivate, outcome);

    EXPECT_EQ(gEntorno().NombrePC(), QStringLiteral("PUESTO01"));
    EXPECT_EQ(gEntorno().UsuarioWindows(), QStringLiteral("operador"));
    EXPECT_EQ(gEntorno().CarpetaTemporal(), QStringLiteral("/var/tmp"));
    EXPECT_GT(outcome, 32);
    EXPECT_EQ(testsupport::launcher().opened(), QStringList { "/tmp/a b.pdf" });
    EXPECT_EQ(testsupport::launcher().openedMinimized(), QList<bool> { true });
}

TEST(DialogoArchivo, keeps_the_choice_or_the_cancel)
{
    testsupport::fileDialogs().answer(QStringLiteral("/tmp/foto.jpg"));
    testsupport::fileDialogs().answer(std::nullopt);
    DialogoArchivo dialogo;
    dialogo.TituloDialogo = QStringLiteral("Adjuntar");
    dialogo.Filtro = QStringLiteral("Imagenes|*.jpg");

    dialogo.MostrarAbrir();
    EXPECT_EQ(dialogo.ArchivoElegido(), QStringLiteral("/tmp/foto.jpg"));
    EXPECT_FALSE(dialogo.Cancelado());
    dialogo.MostrarAbrir();
    EXPECT_EQ(dialogo.ArchivoElegido(), QString());
    EXPECT_TRUE(dialogo.Cancelado());

    EXPECT_EQ(testsupport::fileDialogs().requests()[0].title, QStringLiteral("Adjuntar"));
    EXPECT_EQ(testsupport::fileDialogs().requests()[0].filter, QStringLiteral("Imagenes|*.jpg"));
}
