#include "pricelists/TBarRep.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "formhelpers/Controles.h"

TEST(TBarRep, each_button_raises_its_key)
{
    TBarRep barra;
    QSignalSpy pulsados(&barra, &TBarRep::BotonClick);

    for (const char* clave : { "PANTALLA", "IMPRESORA", "MENSAJE", "CONSULTAR", "CERRAR" }) {
        auto* boton = barra.findChild<QToolButton*>(QStringLiteral("boton") + clave);
        ASSERT_NE(boton, nullptr) << clave;
        boton->click();
    }

    ASSERT_EQ(pulsados.size(), 5);
    QStringList claves;
    for (const QList<QVariant>& pulso : pulsados)
        claves << pulso.at(0).toString();
    EXPECT_EQ(claves, (QStringList { "PANTALLA", "IMPRESORA", "MENSAJE", "CONSULTAR", "CERRAR" }));
}

TEST(TBarRep, hot_keys_press_usable_buttons_and_are_shown_in_the_tool_tips)
{
    TBarRep barra;
    QSignalSpy pulsados(&barra, &TBarRep::BotonClick);
    barra.setConsultaHabilitada(false);
    const struct
    {
        int tecla;
        const char* clave; // "" nothing pressed
    } filas[] = {
        { VbKey::F5, "PANTALLA" },
        { VbKey::F6, "IMPRESORA" },
        { VbKey::F7, "MENSAJE" },
        { VbKey::F3, "" }, // the lookup button is not usable
        { VbKey::F10, "CERRAR" },
        { VbKey::Return, "" },
        { 'A', "" },
    };
    for (const auto& fila : filas) {
        pulsados.clear();
        int tecla = fila.tecla;

        const bool pulsado = barra.ProcesaTecla(tecla);

        const bool espera = *fila.clave != '\0';
        EXPECT_EQ(pulsado, espera) << fila.tecla;
        EXPECT_EQ(tecla, espera ? 0 : fila.tecla);
        EXPECT_EQ(pulsados.size(), espera ? 1 : 0);
        if (espera && pulsados.size() == 1) {
            EXPECT_EQ(pulsados.at(0).at(0).toString(), QLatin1String(fila.clave));
        }
    }
    EXPECT_TRUE(
        barra.boton(QStringLiteral("pantalla"))->toolTip().endsWith(QStringLiteral("(F5)")));
    EXPECT_TRUE(barra.boton(QStringLiteral("CERRAR"))->toolTip().endsWith(QStringLiteral("(F10)")));

    barra.setConsultaHabilitada(true);
    int f3 = VbKey::F3;
    EXPECT_TRUE(barra.ProcesaTecla(f3));
    EXPECT_TRUE(barra.ConsultaHabilitada());
}

TEST(TBarRep, style_bar_zero_gives_standard_buttons_other_values_flat_ones)
{
    TBarRep barra;
    auto* boton = barra.findChild<QToolButton*>(QStringLiteral("botonPANTALLA"));
    ASSERT_NE(boton, nullptr);

    // The form look sets the property by name, with the workstation's setting.
    barra.setProperty("StyleBar", QVariant::fromValue<qint64>(0));
    EXPECT_EQ(barra.StyleBar(), 0);
    EXPECT_FALSE(boton->autoRaise());

    barra.setProperty("StyleBar", QVariant::fromValue<qint64>(1));
    EXPECT_EQ(barra.StyleBar(), 1);
    EXPECT_TRUE(boton->autoRaise());
}

TEST(TBarRep, every_look_shows_which_button_the_keyboard_is_on)
{
    // Space presses the button that has the focus ("CERRAR" ends the program at once): the
    // operator must see which one it is, under every look a workstation may have.
    QDir estilos(QStringLiteral(RP_SHARE_DIR "/styles"));
    QStringList hojas { QString() }; // no look at all
    for (const QString& nombre : estilos.entryList({ QStringLiteral("*.cjstyles") }, QDir::Files))
        hojas << estilos.filePath(nombre);
    hojas << estilos.filePath(QStringLiteral("iTunes/Normalitunes.ini"));
    for (const QString& hoja : hojas) {
        QWidget ventana;
        if (!hoja.isEmpty()) {
            QFile archivo(hoja);
            ASSERT_TRUE(archivo.open(QIODevice::ReadOnly)) << hoja.toStdString();
            ventana.setStyleSheet(QString::fromUtf8(archivo.readAll()));
        }
        auto* capa = new QHBoxLayout(&ventana);
        auto* barra = new TBarRep(&ventana);
        auto* aceptar = new QPushButton(QStringLiteral("Aceptar"), &ventana);
        auto* campo = new QLineEdit(&ventana);
        capa->addWidget(barra);
        capa->addWidget(aceptar);
        capa->addWidget(campo);
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));

        QList<QWidget*> botones { aceptar };
        for (const char* clave : { "PANTALLA", "CERRAR" })
            botones << barra->findChild<QToolButton*>(QStringLiteral("boton") + clave);
        for (QWidget* boton : botones) {
            campo->setFocus();
            const QImage sinFoco = boton->grab().toImage();
            // Reached with the keyboard, as the operator does: Shift+Tab from the field.
            for (int i = 0; i < 10 && !boton->hasFocus(); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            ASSERT_TRUE(boton->hasFocus()) << boton->objectName().toStdString();

            EXPECT_NE(boton->grab().toImage(), sinFoco)
                << hoja.toStdString() << " " << boton->objectName().toStdString();
        }
    }
}
