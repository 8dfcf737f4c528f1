#include <gtest/gtest.h>

#include "sending/Rt_ImgThumbs.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace {

TEST(Rt_ImgThumbs, fit_rule_shrinks_in_proportion_and_rounds_half_to_even)
{
    const struct
    {
        float ancho, alto;
        int nuevoAncho, nuevoAlto;
    } casos[] = {
        { 2000, 1000, 1100, 550 },
        { 800, 600, 800, 600 },
        { 1000, 2000, 475, 950 },
        // Square and over both: by width first, then by height.
        { 2000, 2000, 950, 950 },
        { 2000, 0, 1100, 0 },
        { 1500, 10, 1100, 7 },
        // 1100 x 1/2200 x 100 = 0.5 exactly: to the even 0.
        { 2200, 1, 1100, 0 },
        // 1100 x 3/2200 = 1.5 exactly: to the even 2.
        { 2200, 3, 1100, 2 },
    };
    for (const auto& c : casos) {
        float ancho = 0;
        float alto = 0;
        Rt_ImgThumbs::AjustarMedidasMiniatura(c.ancho, c.alto, 1100, 950, ancho, alto);
        EXPECT_EQ(Rt_ImgThumbs::aPixeles(ancho), c.nuevoAncho) << c.ancho << 'x' << c.alto;
        EXPECT_EQ(Rt_ImgThumbs::aPixeles(alto), c.nuevoAlto) << c.ancho << 'x' << c.alto;
    }
}

TEST(Rt_ImgThumbs, absolute_path_against_the_data_folder)
{
    testsupport::environment().setVariable(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/d"));
    const struct
    {
        QString ruta;
        QString absoluta;
    } casos[] = {
        { QStringLiteral("IMAGENES\\thumbs5\\1.bmp"),
            QStringLiteral("/d/Rp_Tarifolio/IMAGENES/thumbs5/1.bmp") },
        { QStringLiteral("IMAGENES"), QStringLiteral("/d/Rp_Tarifolio/IMAGENES/") },
        { QStringLiteral("/srv/fotos/a.jpg"), QStringLiteral("/srv/fotos/a.jpg") },
        { QStringLiteral("/srv/fotos"), QStringLiteral("/srv/fotos/") },
        { QStringLiteral("\\\\servidor\\a.jpg"), QStringLiteral("//servidor/a.jpg") },
        { QStringLiteral("C:\\a.jpg"), QStringLiteral("C:/a.jpg") },
        { QStringLiteral("ab"), QString() },
    };
    for (const auto& c : casos)
        EXPECT_EQ(Rt_ImgThumbs::RutaAbsoluta(c.ruta), c.absoluta) << c.ruta.toStdString();
}

} // namespace
