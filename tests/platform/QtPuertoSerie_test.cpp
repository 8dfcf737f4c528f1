#include "platform/qt/QtPuertoSerie.h"

#include <gtest/gtest.h>

#include "platform/LectorIni.h"
#include "support/ParPty.h"

namespace {

const QString Puesto = QStringLiteral("PUESTO01");

TEST(QtPuertoSerie, port_number_maps_through_the_workstation_section_or_to_ttyS)
{
    gLectorIni().EscribeIni(
        QStringLiteral("ZR417px.INI"), Puesto, QStringLiteral("COM3"), QStringLiteral("/tmp/x3"));

    EXPECT_EQ(PuertosSerie::dispositivo(Puesto, 3), QStringLiteral("/tmp/x3"));
    EXPECT_EQ(PuertosSerie::dispositivo(Puesto, 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PuertosSerie::dispositivo(QStringLiteral("OTRO"), 3), QStringLiteral("/dev/ttyS2"));
}

// QSerialPort::close alone drops what is still queued: every byte must reach the peer.
TEST(QtPuertoSerie, close_waits_until_every_byte_has_left)
{
    testsupport::ParPty par;
    ASSERT_TRUE(par.listo());
    QByteArray ticket;
    for (int i = 0; i < 60; ++i)
        ticket += QByteArray("Linea de ticket numero ") + QByteArray::number(i) + '\n';
    ticket += QByteArray("\x1D\x56\x00", 3);
    QtPuertoSerie puerto;

    ASSERT_EQ(puerto.abre(par.puerto()), PuertoSerie::Falla::Ninguna);
    EXPECT_EQ(puerto.escribe(ticket), PuertoSerie::Falla::Ninguna);
    EXPECT_EQ(puerto.cierra(), PuertoSerie::Falla::Ninguna);

    EXPECT_FALSE(puerto.abierto());
    EXPECT_EQ(par.leeHasta(QByteArray("\x1D\x56\x00", 3)), ticket);
}

TEST(QtPuertoSerie, missing_or_busy_device_is_not_available)
{
    testsupport::ParPty par;
    ASSERT_TRUE(par.listo());
    QtPuertoSerie primero;
    ASSERT_EQ(primero.abre(par.puerto()), PuertoSerie::Falla::Ninguna);
    QtPuertoSerie segundo;

    EXPECT_EQ(segundo.abre(par.puerto()), PuertoSerie::Falla::NoDisponible);
    EXPECT_EQ(segundo.abre(par.puerto() + QStringLiteral("x")), PuertoSerie::Falla::NoDisponible);
    EXPECT_FALSE(segundo.abierto());
    EXPECT_EQ(segundo.escribe("x"), PuertoSerie::Falla::Escritura);
}

} // namespace
