#include "startup/ConfiguracionRegional.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

#include "platform/Utilidades.h"
#include "services/Formatos.h"
#include "startup/TextosQt.h"
#include "support/QtPrinters.h"

namespace {

// Puts the pinned locale of the tests back, whatever a case set.
class ConfiguracionRegionalTest : public ::testing::Test
{
protected:
    ~ConfiguracionRegionalTest() override
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    }
};

} // namespace

TEST_F(ConfiguracionRegionalTest, a_locale_that_names_no_region_is_spanish_argentina)
{
    using ConfiguracionRegional::Entorno;
    const struct
    {
        Entorno entorno;
        bool sinRegion;
    } casos[] = {
        { {}, true }, // nothing set: a fresh machine
        { { {}, {}, {}, QStringLiteral("C") }, true },
        { { {}, {}, {}, QStringLiteral("C.UTF-8") }, true },
        { { QStringLiteral("POSIX"), {}, {}, QStringLiteral("es_AR.UTF-8") }, true },
        { { {}, {}, {}, QStringLiteral("es_AR.UTF-8") }, false },
        // Numbers from one locale, dates from another: either naming a region is the user's.
        { { {}, QStringLiteral("de_DE.UTF-8"), {}, QStringLiteral("C") }, false },
        { { {}, {}, QStringLiteral("en_GB.UTF-8"), QStringLiteral("C") }, false },
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.entorno.lang.toStdString() + "/" + caso.entorno.lcAll.toStdString());
        EXPECT_EQ(ConfiguracionRegional::sinRegion(caso.entorno), caso.sinRegion);
    }
}

TEST_F(ConfiguracionRegionalTest, amounts_and_dates_under_a_c_locale_read_as_in_argentina)
{
    QLocale::setDefault(QLocale::c());

    ConfiguracionRegional::aplicaLocale({ {}, {}, {}, QStringLiteral("C") });

    EXPECT_EQ(FmtMoneda(QStringLiteral("1234.5"), 2, true), QStringLiteral("1.234,50"));
    EXPECT_EQ(Utilidades::FormatoFechaCorta(), QStringLiteral("dd/MM/yyyy"));
}

TEST_F(ConfiguracionRegionalTest, dates_follow_the_order_of_the_users_locale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Utilidades u;

    EXPECT_EQ(Utilidades::FormatoFechaCorta(), QStringLiteral("MM/dd/yyyy"));
    EXPECT_EQ(u.LeeFecha(QStringLiteral("03/15/2024")), QDate(2024, 3, 15));
    EXPECT_EQ(u.LeeFecha(QStringLiteral("15/03/2024")), QDate());
}

TEST_F(ConfiguracionRegionalTest, qt_own_buttons_speak_spanish)
{
    QTranslator traductor;

    ASSERT_TRUE(ConfiguracionRegional::cargaTextosQt(traductor));

    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sí"));
    QCoreApplication::removeTranslator(&traductor);
}

// Texts Debian's translation lacks come from the program's own list; the rest stay Qt's.
TEST_F(ConfiguracionRegionalTest, qts_dialogs_speak_spanish_where_qts_translation_says_nothing)
{
    const TextosQt textos;
    ASSERT_TRUE(textos.cargados());

    const QString tipo = QFileIconProvider().type(QFileInfo(QDir::tempPath()));

    EXPECT_EQ(tipo, QStringLiteral("Carpeta"));
    const struct
    {
        const char* contexto;
        const char* original;
        const char* espanol;
    } filas[] = {
        // The print dialog's refusal of a page list, its title and its text.
        { "QPrintDialog", "Invalid Pages Definition", "Definición de páginas no válida" },
        { "QPrintDialog",
            "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, "
            "'-' to define ranges and make sure ranges do not intersect with each other.",
            "%1 no sigue la sintaxis correcta. Separe páginas e intervalos con ',', indique los "
            "intervalos con '-' y cuide que no se superpongan." },
        // The printer properties' tab: its caption belongs to the form, not the dialog.
        { "QPrintPropertiesWidget", "Advanced", "Avanzado" },
        { "QPlatformTheme", "&Yes", "&Sí" },
    };
    for (const auto& f : filas)
        EXPECT_EQ(QCoreApplication::translate(f.contexto, f.original), QString::fromUtf8(f.espanol))
            << f.original;
}
