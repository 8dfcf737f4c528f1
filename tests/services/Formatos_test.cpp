#include "services/Formatos.h"

#include <QLocale>

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"
#include "services/Globales.h"
#include "support/FakeDialogs.h"
#include "support/QtPrinters.h"
#include "support/TestEnvironment.h"

namespace {

// Every test runs with the pinned regional settings (es_AR: decimal comma, thousands point, two
// currency decimals) and puts them back when it changes them.
class Formatos : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina)); }
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina)); }

    Globales m_globales;
    ScopedService<Globales> m_globalesService { m_globales };
};

} // namespace

TEST_F(Formatos, formats_amounts_with_the_regional_separators)
{
    struct Fila
    {
        const char16_t* importe;
        int decimales;
        bool miles;
        const char16_t* configurados; // gCantidadDecimales
        const char16_t* esperado;
    };
    const Fila filas[] = {
        { u"1234.5", 2, true, u"", u"1.234,50" },
        { u"1234,5", 2, false, u"", u"1234,50" },
        { u"1234.5", -2, true, u"",
            u"1.234" }, // no decimals and no separator; the tie goes to even
        { u"1234567890.125", 2, true, u"", u"1.234.567.890,12" }, // a tie goes to the even digit
        { u"0.135", 2, false, u"", u"0,14" },
        { u"-1234.5", 2, true, u"", u"-1.234,50" },
        { u"-1,236", 2, false, u"", u"-1,24" }, // a negative amount rounds away from zero
        { u"-0.5", -2, false, u"", u"0" },
        { u"2.5", -2, false, u"", u"2" },
        { u"3.5", -2, false, u"", u"4" },
        { u"0.05", 1, false, u"", u"0,0" },
        { u"12", 6, false, u"", u"12,000000" },
        { u"", 2, false, u"", u"0,00" },
        { u"7", -1, false, u"3", u"7,000" },
        // A configured 0 (and a blank setting) means the regional currency decimals; no decimals
        // is asked for with -2.
        { u"7", -1, false, u"0", u"7,00" },
        { u"7", -1, false, u" ", u"7,00" },
        { u"7", 0, false, u"", u"7,00" },
        // Untouched, even when it is no amount.
        { u"doce pesos", -3, true, u"", u"doce pesos" },
    };
    for (const Fila& fila : filas) {
        m_globales.gCantidadDecimales = QString::fromUtf16(fila.configurados);

        const QString texto
            = FmtMoneda(QString::fromUtf16(fila.importe), fila.decimales, fila.miles);

        EXPECT_EQ(texto, QString::fromUtf16(fila.esperado))
            << QString::fromUtf16(fila.importe).toStdString() << " " << fila.decimales;
    }
}

TEST_F(Formatos, follows_a_change_of_the_regional_settings)
{
    EXPECT_EQ(SeparadorDecimal(), QStringLiteral(","));

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    EXPECT_EQ(SeparadorDecimal(), QStringLiteral("."));
    EXPECT_EQ(FmtMoneda(QStringLiteral("1234.5"), 2, true), QStringLiteral("1,234.50"));
}

TEST_F(Formatos, aligns_to_a_width_of_at_most_25)
{
    int ancho = 40;

    const QString texto = FmtMoneda(QStringLiteral("1234.5"), 2, true, ancho);

    EXPECT_EQ(ancho, 25);
    EXPECT_EQ(texto, QString(17, u' ') + QStringLiteral("1.234,50"));
    int doce = 12;
    EXPECT_EQ(FmtMoneda(QStringLiteral("5"), 2, false, doce), QStringLiteral("        5,00"));
    EXPECT_EQ(doce, 12);
}

TEST_F(Formatos, an_amount_that_is_no_number_is_reported_and_answered)
{
    auto& boxes = testsupport::messages();
    boxes.answer(Msg::Abort);
    boxes.answer(Msg::Ignore);

    const QString abortado = FmtMoneda(QStringLiteral("doce"), 2, false);
    const QString ignorado = FmtMoneda(QStringLiteral("doce"), 2, false);

    EXPECT_EQ(abortado, QString());
    // Ignore goes on with nothing read: the amount stays 0.
    EXPECT_EQ(ignorado, QStringLiteral("0,00"));
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_TRUE(boxes.shown().at(0).title.contains(QStringLiteral("FmtMoneda")));
    EXPECT_TRUE(
        boxes.shown().at(0).text.startsWith(QStringLiteral("Ha ocurrido el Siguiente Error (13)")));
}

TEST_F(Formatos, writes_dates_and_times_with_the_program_patterns)
{
    const QDateTime momento(QDate(2024, 3, 5), QTime(9, 7, 3));

    EXPECT_EQ(FormateaMomento(momento, FmtFechaHora()), QStringLiteral("05/03/24 09:07"));
    EXPECT_EQ(
        FormateaMomento(momento, FmtFecha() + u' ' + FmtHora()), QStringLiteral("05/03/24 09:07"));
    EXPECT_EQ(FormateaMomento(momento, QStringLiteral("dd/mm/yyyy hh:mm:ss")),
        QStringLiteral("05/03/2024 09:07:03"));
    EXPECT_EQ(FmtFechaHora(), QStringLiteral("dd/mm/yy hh:mm"));
    EXPECT_EQ(FmtFecha(), QStringLiteral("dd/mm/yy"));
    EXPECT_EQ(FmtHora(), QStringLiteral("hh:mm"));
}
