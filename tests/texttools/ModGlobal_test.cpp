#include "texttools/ModGlobal.h"

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"
#include "support/LocalePrueba.h"

namespace {

TEST(ModGlobal, splits_lists_into_trimmed_items_ending_with_an_empty_one)
{
    const struct
    {
        const char* texto;
        QStringList elementos;
    } casos[] = {
        { "a|b|c", { "a", "b", "c", "" } },
        { "a||b", { "a", "", "b", "" } },
        { "|a|", { "a", "" } },
        { "   ", { "" } },
        { " a | b ", { "a", "b", "" } },
    };
    for (const auto& c : casos) {
        QStringList elementos { "resto" };

        ModGlobal::Cuenta_Series_Y_Lotes(QString::fromUtf8(c.texto), elementos);

        EXPECT_EQ(elementos, c.elementos) << c.texto;
    }
}

TEST(ModGlobal, lists_the_batches_with_a_positive_amount_under_both_separators)
{
    const struct
    {
        char separador;
        const char* lotes;
        const char* series;
        const char* resultado;
    } casos[] = {
        { ',', "L1|L2|L3", "2|0|5", "L1 L3 " },
        // The second batch meets the empty closing amount, the third has none.
        { ',', "L1|L2|L3", "3", "L1 " },
        { ',', " L1 | L2 ", "1|1", "L1 L2 " },
        { ',', "L1|L2", "-1|4", "L2 " },
        // The one empty batch of an empty list is taken.
        { ',', "", "5", " " },
        { ',', "L1|L2|", "1|1", "L1 L2 " },
        { ',', "L1|L2", "", "" },
        // An amount that is no number leaves its batch out; the rest still print.
        { ',', "L1|L2", "x|2", "L2 " },
        { ',', "L1|L2", "1,5|0,5", "L1 L2 " },
        { '.', "L1|L2", "1.5|0.5", "L1 L2 " },
        { '.', "L1|L2", "1,5|2", "L2 " },
    };
    for (const auto& c : casos) {
        LocalePrueba locale(c.separador);
        QString lotes = QString::fromUtf8(c.lotes);

        EXPECT_EQ(ModGlobal::Cuenta_Series_Lotes(lotes, QString::fromUtf8(c.series)),
            QString::fromUtf8(c.resultado))
            << c.separador << " " << c.lotes << " / " << c.series;
    }
}

TEST(ModGlobal, batch_list_loses_the_filler_character_even_when_nothing_is_listed)
{
    QString lotes = QStringLiteral("L1") + QChar(0xFF) + QStringLiteral("|L2");

    EXPECT_EQ(ModGlobal::Cuenta_Series_Lotes(lotes, QStringLiteral("0|0")), QString());
    EXPECT_EQ(lotes, QStringLiteral("L1|L2"));
}

TEST(ModGlobal, rich_text_accent_escapes_become_letters)
{
    const struct
    {
        const char* texto;
        const char* resultado;
    } casos[] = {
        { "Instalaci\\f3n", "Instalación" },
        { "\\E1rbol y \\e9xito", "árbol y éxito" },
        { "Ca\\edda", "Caída" },
        // "ú" is written without its accent, whatever its case.
        { "Menú ÚNICO", "Menu uNICO" },
        { "Cañería", "Cañería" },
    };
    for (const auto& c : casos) {
        QString texto = QString::fromUtf8(c.texto);

        const QString resultado = ModGlobal::ConvierteAcentosRTF(texto);

        EXPECT_EQ(resultado, QString::fromUtf8(c.resultado)) << c.texto;
        EXPECT_EQ(texto, resultado) << c.texto;
    }
}

TEST(ModGlobal, colour_numbers_become_html_colours_red_first)
{
    const struct
    {
        const char* color;
        const char* html;
    } casos[] = {
        { "255", "#FF0000" },
        { "16711680", "#0000FF" },
        { "0", "#000000" },
        { " 32768 ", "#008000" },
        // A negative colour has eight hexadecimal digits: the last six count.
        { "-16777215", "#010000" },
    };
    for (const auto& c : casos)
        EXPECT_EQ(ModGlobal::ColorAHtml(QString::fromLatin1(c.color)), QLatin1String(c.html))
            << c.color;
    EXPECT_THROW(ModGlobal::ColorAHtml(QStringLiteral("rojo")), RuntimeError);
}

} // namespace
