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
#include "startup/TextosQtFaltantes.h"
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

TEST_F(ConfiguracionRegionalTest, the_file_dialog_says_carpeta_where_qts_translation_says_nothing)
{
    QTranslator traductor;
    ASSERT_TRUE(ConfiguracionRegional::cargaTextosQt(traductor));
    TextosQtFaltantes faltantes;
    QCoreApplication::installTranslator(&faltantes);

    const QString tipo = QFileIconProvider().type(QFileInfo(QDir::tempPath()));

    QCoreApplication::removeTranslator(&faltantes);
    QCoreApplication::removeTranslator(&traductor);
    EXPECT_EQ(tipo, QStringLiteral("Carpeta"));
    // Texts Qt's translation has are still Qt's.
    EXPECT_EQ(faltantes.translate("QPlatformTheme", "&Yes", nullptr, -1), QString());
}
