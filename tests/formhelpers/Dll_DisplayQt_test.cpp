#include "formhelpers/Dll_DisplayQt.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "formhelpers/Lbf_CtrlDisplay.h"

namespace {

class Dll_DisplayTest : public ::testing::Test
{
protected:
    Dll_DisplayQt display;
};

TEST_F(Dll_DisplayTest, opens_frameless_translucent_and_on_top_with_caption)
{
    display.CartelInicio(QStringLiteral("Conectando Base de Datos"), 0);

    Lbf_CtrlDisplay* cartel = display.formulario();
    ASSERT_NE(cartel, nullptr);
    EXPECT_TRUE(cartel->isVisible());
    EXPECT_TRUE(cartel->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(cartel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_NEAR(cartel->windowOpacity(), 200 / 255.0, 0.01);
    EXPECT_EQ(cartel->windowTitle(), QStringLiteral("Conectando Base de Datos"));
    EXPECT_EQ(cartel->findChild<QLabel*>(QStringLiteral("LblTitulo"))->text(),
        QStringLiteral("Conectando Base de Datos"));
    EXPECT_EQ(cartel->Timer1()->interval(), 100);
    EXPECT_TRUE(cartel->Timer1()->isActive());
}

TEST_F(Dll_DisplayTest, cancel_button_shown_only_when_allowed)
{
    const struct
    {
        int permiteCancelar;
        bool visible;
    } casos[] = { { 0, false }, { 1, true }, { -1, true }, { 7, true } };

    for (const auto& caso : casos) {
        display.CartelInicio(QStringLiteral("x"), caso.permiteCancelar);
        auto* boton
            = display.formulario()->findChild<QPushButton*>(QStringLiteral("CmdDisplayCancelar"));
        ASSERT_NE(boton, nullptr);
        EXPECT_EQ(boton->isVisible(), caso.visible) << caso.permiteCancelar;
        EXPECT_EQ(boton->text(), QStringLiteral("&Cancelar"));
        display.CartelCerrar();
    }
}

TEST_F(Dll_DisplayTest, omitted_lines_stay_and_null_shows_empty)
{
    display.CartelInicio(QStringLiteral("Generando Reporte"), 0);
    display.CartelMostrar(QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres"));

    display.CartelMostrar(QStringLiteral("otro"));
    Lbf_CtrlDisplay* cartel = display.formulario();
    EXPECT_EQ(
        cartel->findChild<QLabel*>(QStringLiteral("LblCtrol_0"))->text(), QStringLiteral("otro"));
    EXPECT_EQ(cartel->LblCtrol(1)->text(), QStringLiteral("dos"));
    EXPECT_EQ(cartel->LblCtrol(2)->text(), QStringLiteral("tres"));

    display.CartelMostrar(std::nullopt, Value::null(), Value(qint32(42)));
    EXPECT_EQ(cartel->LblCtrol(0)->text(), QStringLiteral("otro"));
    EXPECT_EQ(cartel->LblCtrol(1)->text(), QString());
    EXPECT_EQ(cartel->LblCtrol(2)->text(), QStringLiteral("42"));
}

TEST_F(Dll_DisplayTest, cancel_request_lasts_until_the_banner_is_closed)
{
    display.CartelInicio(QStringLiteral("Generando Reporte"), 1);
    EXPECT_FALSE(display.CartelMostrar());

    display.formulario()->findChild<QPushButton*>(QStringLiteral("CmdDisplayCancelar"))->click();

    EXPECT_TRUE(display.CartelMostrar(QStringLiteral("a")));
    EXPECT_TRUE(display.CartelMostrar());
    EXPECT_EQ(display.formulario()->CmdDisplayCancelar()->text(), QStringLiteral("Abortado"));

    display.CartelCerrar();
    EXPECT_EQ(display.formulario(), nullptr);
    display.CartelInicio(QStringLiteral("Generando Reporte"), 1);
    EXPECT_FALSE(display.CartelMostrar());
}

TEST_F(Dll_DisplayTest, frames_follow_one_to_twelve_and_wrap)
{
    display.CartelInicio(QStringLiteral("x"), 0);
    Lbf_CtrlDisplay* cartel = display.formulario();
    const auto& cuadros = cartel->ImageList1();
    // Twelve different pictures of our own.
    for (int i = 1; i < Lbf_CtrlDisplay::Cuadros; ++i)
        EXPECT_NE(cuadros[i].toImage(), cuadros[0].toImage()) << i;
    EXPECT_EQ(cartel->Image1()->pixmap().cacheKey(), cuadros[0].cacheKey());

    // The first tick after opening shows frame 1 again, then 2 .. 12, then 1.
    const int esperados[] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2 };
    for (int esperado : esperados) {
        cartel->Timer1_Timer();
        EXPECT_EQ(cartel->Image1()->pixmap().cacheKey(), cuadros[esperado - 1].cacheKey())
            << esperado;
        EXPECT_LT(cartel->contador(), Lbf_CtrlDisplay::Cuadros);
    }
}

TEST_F(Dll_DisplayTest, mostrar_without_inicio_creates_a_hidden_banner)
{
    display.CartelMostrar(QStringLiteral("a"));

    ASSERT_NE(display.formulario(), nullptr);
    EXPECT_FALSE(display.formulario()->isVisible());
}

TEST_F(Dll_DisplayTest, siempre_visible_switches_the_stay_on_top_hint_and_keeps_the_place)
{
    display.CartelInicio(QStringLiteral("x"), 0);
    Lbf_CtrlDisplay* cartel = display.formulario();
    const QPoint lugar = cartel->pos();

    display.Siempre_Visible(false);
    EXPECT_FALSE(cartel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(cartel->isVisible());
    EXPECT_EQ(cartel->pos(), lugar);

    display.Siempre_Visible(true);
    EXPECT_TRUE(cartel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(Dll_DisplayTest, dialogs_shown_over_the_banner_go_above_it_and_take_the_keyboard)
{
    display.CartelInicio(QStringLiteral("Conectando Base de Datos"), 0);
    Lbf_CtrlDisplay* cartel = display.formulario();
    QMessageBox caja(QMessageBox::Critical, QStringLiteral("Atencion!"), QStringLiteral("x"));
    caja.setWindowModality(Qt::ApplicationModal);

    caja.show();
    QApplication::processEvents();

    EXPECT_FALSE(cartel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(cartel->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), &caja);
    caja.hide();
    EXPECT_TRUE(cartel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(cartel->isVisible());
}

} // namespace
