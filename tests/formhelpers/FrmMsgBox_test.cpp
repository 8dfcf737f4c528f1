#include "formhelpers/FrmMsgBox.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(FrmMsgBox, shows_the_fields_set_before_showing_and_waits_with_a_timer)
{
    FrmMsgBox aviso;
    aviso.Titulo = QStringLiteral("Aviso del mail");
    aviso.Mensaje = QStringLiteral("Mensaje Enviado correctamente");
    aviso.Espera = 2;

    aviso.show();

    EXPECT_EQ(aviso.windowTitle(), QStringLiteral("Aviso del mail"));
    EXPECT_EQ(aviso.findChild<QLabel*>(QStringLiteral("LblMensaje"))->text(),
        QStringLiteral("Mensaje Enviado correctamente"));
    EXPECT_TRUE(aviso.TmrEspera()->isActive());
    EXPECT_TRUE(aviso.TmrEspera()->isSingleShot());
    EXPECT_EQ(aviso.TmrEspera()->interval(), 2000);

    aviso.TmrEspera_Timer();
    EXPECT_FALSE(aviso.isVisible());
}

TEST(FrmMsgBox, no_wait_for_zero_or_negative_seconds)
{
    for (int espera : { 0, -3 }) {
        FrmMsgBox aviso;
        aviso.Espera = espera;
        aviso.show();
        EXPECT_FALSE(aviso.TmrEspera()->isActive()) << espera;
        EXPECT_TRUE(aviso.isVisible());
    }
}

TEST(FrmMsgBox, long_waits_are_honoured)
{
    // Beyond 32 seconds and up to the timer's range.
    FrmMsgBox aviso;
    aviso.Espera = 40;
    aviso.show();
    EXPECT_EQ(aviso.TmrEspera()->interval(), 40000);
}

TEST(FrmMsgBox, aceptar_dismisses_and_clears)
{
    FrmMsgBox aviso;
    aviso.Titulo = QStringLiteral("t");
    aviso.Mensaje = QStringLiteral("m");
    aviso.Espera = 5;
    aviso.show();

    aviso.findChild<QPushButton*>(QStringLiteral("CmdAceptar"))->click();

    EXPECT_FALSE(aviso.isVisible());
    EXPECT_FALSE(aviso.TmrEspera()->isActive());
    EXPECT_EQ(aviso.windowTitle(), QStringLiteral("ATENCION"));
    EXPECT_EQ(aviso.findChild<QLabel*>(QStringLiteral("LblMensaje"))->text(), QString());
}

TEST(FrmMsgBox, actualizar_leyenda_refreshes_an_open_notice)
{
    FrmMsgBox aviso;
    aviso.show();
    aviso.Titulo = QStringLiteral("Nuevo");
    aviso.Mensaje = QStringLiteral("Texto");

    aviso.ActualizarLeyenda();

    EXPECT_EQ(aviso.windowTitle(), QStringLiteral("Nuevo"));
    EXPECT_EQ(
        aviso.findChild<QLabel*>(QStringLiteral("LblMensaje"))->text(), QStringLiteral("Texto"));
}

} // namespace
