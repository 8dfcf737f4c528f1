#include "vouchers/ModImprimeEnComandera.h"

#include <gtest/gtest.h>

#include "platform/LectorIni.h"
#include "platform/MessageDialog.h"
#include "platform/Windows1252.h"
#include "platform/qt/QtPuertoSerie.h"
#include "services/RegistroComandera.h"
#include "services/VariablesInicio.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/ParPty.h"
#include "support/TestFiles.h"
#include "demo/DemoComanderas.h"
#include "vouchers/FrmMvVentas.h"

using namespace ModImprimeEnComandera;

namespace {

const QByteArray Corte("\x1D\x56\x00", 3);

QByteArray modo(char n, char m)
{
    return QByteArray("\x1B\x21", 2) + n + QByteArray("\x0D\x1B\x61", 3) + m;
}

// The ticket printer of the test's workstation ("PUESTO01|operador"), its port mapped through the
// workstation's INI section to the pty, on the seeded orders.
class ImprimeEnComanderaTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        testsupport::messages().clear();
    }

    static RegistroComandera registro()
    {
        RegistroComandera r;
        r.Puesto = QStringLiteral("puesto01|OPERADOR");
        r.Impresora = QStringLiteral("COCINA");
        r.Puerto = QStringLiteral("COM3");
        return r;
    }
    void configura(const RegistroComandera& r, const QString& dispositivo)
    {
        testsupport::writeFile(m_dir.filePath(QStringLiteral("Comanderas.cfg")), r.aBytes());
        gLectorIni().EscribeIni(
            QStringLiteral("ZR417px.INI"), ClaveEstacion(), QStringLiteral("COM3"), dispositivo);
    }

    QtPuertoSerie m_puerto;
    ScopedService<PuertoSerie> m_puertoService { m_puerto };
};

TEST_F(ImprimeEnComanderaTest, tickets_of_the_seeded_order_reach_the_peer_byte_for_byte)
{
    testsupport::ParPty par;
    ASSERT_TRUE(par.listo());
    const QByteArray cabecera = modo(0x00, 2) + "\n15/03/24 10:30\nMESA:12  Mozo:Jorge Villarrea\n";
    const QByteArray empanadas = "Empanadas de carne cortada \n      a cuchillo x6\n";
    const QByteArray milanesa = "1,00  Milanesa napolitana de tern\n"
                                "      era con papas fritas casera\n"
                                "      s, huevo frito y ensalada m\n";
    const QByteArray marcas = "\n\n" + modo(0x20, 2);
    const auto detalle = [](const char* corchete, const char* linea) {
        return modo(0x00, 0) + corchete + '\n' + linea + '\n';
    };
    struct Fila
    {
        const char* caso;
        bool cocina;
        bool barra;
        void (*ajusta)(RegistroComandera&);
        QByteArray esperado;
    };
    const Fila filas[] = {
        // A Null in Cantidadpreparada counts 0; the free text and the article without a service
        // point stay off; a port "com3" in lower case is port 3.
        { "cocina", true, false, [](RegistroComandera& r) { r.Puerto = QStringLiteral("com3 "); },
            cabecera + "1,00  Pizza muzzarella grande\n" + "1,00  " + empanadas + milanesa + marcas
                + "\n\n** COCINA **\n\n\n\n\n\n" + Corte },
        // A flag in lower case counts; the footer never goes on a ticket without prices.
        { "barra", false, true,
            [](RegistroComandera& r) {
                r.ImprimeNumero = QStringLiteral("s");
                r.ImprimePie = QStringLiteral("S");
                r.Pie = QStringLiteral("Gracias");
            },
            cabecera + modo(0x00, 2) + "PE 000300000101X\n" + "2,00  Cerveza tirada 500 cc\n"
                + "1,00  " + empanadas + marcas + "\n\n** BARRA **\n\n\n\n\n\n" + Corte },
        // A blank header prints the company's name; amounts wider than 7 take room from the
        // description, never digits.
        { "comun", false, false,
            [](RegistroComandera& r) {
                r.ImprimeEncabezado1 = QStringLiteral("S");
                r.ImprimeCliente = QStringLiteral("S");
                r.ImprimePie = QStringLiteral("S");
                r.Pie = QStringLiteral("¡Gracias!");
                r.DetallePrecio = QStringLiteral("S");
            },
            modo(0x20, 1)
                + Windows1252::encode(QStringLiteral("Ferretería y Almacén El Progreso S.R.L."))
                + "\n" + cabecera + modo(0x00, 0) + "Consumidor Final\n\n\n"
                + detalle("[2,00 X $ 9500,00]", "Pizza muzzarella grande$ 19000,00")
                + detalle("[3,00 X $ 3200,00]", "Cerveza tirada 500 cc   $ 9600,00")
                + detalle("[2,00 X $ 6600,00]", "Empanadas de carne cort$ 13200,00")
                + detalle("[1,00 X $ 0,00]", "Sin sal la ensalada, por$    0,00")
                + detalle("[2,00 X $ 1800,00]", "Agua mineral sin gas 500$ 3600,00")
                + detalle("[1,00 X $ 12500,00]", "Milanesa napolitana de $ 12500,00") + marcas
                + "TOTAL $ 57900,00\n\n\n\n" + modo(0x00, 1) + "\xA1Gracias!\n\n\n\n" + Corte },
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.caso);
        RegistroComandera r = registro();
        f.ajusta(r);
        configura(r, par.puerto());

        EXPECT_TRUE(ImprimeEnComandera(QStringLiteral("PE"),
            QString::fromLatin1(DemoComanderas::kPedidoMesa), QStringLiteral("Comandera : cocina"),
            f.cocina, f.barra));

        // Every ticket opens by choosing the code page its texts are written in.
        EXPECT_EQ(par.leeHasta(Corte), QByteArray("\x1B\x74\x10", 3) + f.esperado);
        EXPECT_FALSE(gFrmMvVentas().MSComm1.PortOpen());
    }
    EXPECT_TRUE(testsupport::messages().shown().isEmpty());
}

// Two hundred priced lines (about 14 KB, some 15 s on a real printer) leave before the port
// closes.
TEST_F(ImprimeEnComanderaTest, a_long_order_arrives_whole)
{
    testsupport::ParPty par;
    ASSERT_TRUE(par.listo());
    RegistroComandera r = registro();
    r.DetallePrecio = QStringLiteral("S");
    configura(r, par.puerto());

    ASSERT_TRUE(ImprimeEnComandera(QStringLiteral("PE"),
        QString::fromLatin1(DemoComanderas::kPedidoLargo), QString(), false, false));

    const QByteArray recibido = par.leeHasta(Corte);
    EXPECT_EQ(recibido.count(modo(0x00, 0)), 200);
    EXPECT_GT(recibido.size(), 12000);
    EXPECT_TRUE(recibido.contains(
        "[1,00 X $ 3000,00]\n" + Windows1252::encode(QStringLiteral("Plato del menú de even"))));
    EXPECT_TRUE(recibido.endsWith(Corte));
}

TEST_F(ImprimeEnComanderaTest, failures_tell_the_operator_and_leave_the_port_closed)
{
    testsupport::ParPty par;
    ASSERT_TRUE(par.listo());
    const QString puertoMalo = QStringLiteral("Error de Comunicacion con el Puerto seleccionado "
                                              "(COM3 ) verifiquelo y vuelva a intentarlo. EL "
                                              "COMPROBANTE NO SE HA IMPRESO");
    struct Fila
    {
        const char* caso;
        QString comandera;
        QString dispositivo;
        QString id;
        bool ocupado;
        bool sinPuerto;
        QString titulo;
        QString texto;
    };
    const QString mesa = QString::fromLatin1(DemoComanderas::kPedidoMesa);
    const Fila filas[] = {
        { "otra comandera", QStringLiteral("Comandera : BARRA"), par.puerto(), mesa, false, false,
            QStringLiteral("Aviso al operador!!! - 7"),
            QStringLiteral("No se ha configurado una comandera en este equipo, verifiquelo y "
                           "vuelva a intentarlo!!!") },
        // "Comandera:" without the blank is not taken off: no printer has that name.
        { "sin blanco", QStringLiteral("Comandera:COCINA"), par.puerto(), mesa, false, false,
            QStringLiteral("Aviso al operador!!! - 7"), QString() },
        { "dispositivo inexistente", QString(), m_dir.filePath(QStringLiteral("tty-nada")), mesa,
            false, false, QStringLiteral("Aviso al operador!!"), puertoMalo },
        { "ocupado", QString(), par.puerto(), mesa, true, false,
            QStringLiteral("Aviso al operador!!"), puertoMalo },
        { "sin puerto serie", QString(), par.puerto(), mesa, false, true,
            QStringLiteral("Aviso al operador!!"),
            QStringLiteral("No se pudo crear el objeto MSCOMM o la version que tiene no es "
                           "compatible con el sistema, por favor, verifiquelo y vuelva a "
                           "intentarlo, EL COMPROBANTE NO SE HA IMPRESO") },
        // Answered Abort: the port that was opened is closed again.
        { "comprobante inexistente", QString(), par.puerto(), QStringLiteral("0003999999'9X"),
            false, false, QStringLiteral(" - ImprimeEnComandera Aviso al operador!!! - 2 "),
            QStringLiteral("Ha ocurrido el Siguiente Error (3021) ") },
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.caso);
        testsupport::messages().clear();
        configura(registro(), f.dispositivo);
        QtPuertoSerie otro;
        if (f.ocupado) {
            ASSERT_EQ(otro.abre(par.puerto()), PuertoSerie::Falla::Ninguna);
        }
        std::optional<ScopedService<PuertoSerie>> sinPuerto;
        if (f.sinPuerto)
            sinPuerto.emplace(nullptr);
        testsupport::messages().answer(
            f.texto.startsWith(QLatin1String("Ha ocurrido")) ? Msg::Abort : Msg::Ok);

        EXPECT_FALSE(ImprimeEnComandera(QStringLiteral("PE"), f.id, f.comandera, true, false));

        ASSERT_EQ(testsupport::messages().shown().size(), 1);
        const testsupport::ShownBox& caja = testsupport::messages().shown().first();
        EXPECT_TRUE(caja.title.endsWith(f.titulo)) << caja.title.toStdString();
        EXPECT_TRUE(caja.text.startsWith(f.texto)) << caja.text.toStdString();
        EXPECT_EQ(caja.style & Msg::Critical, Msg::Critical);
        EXPECT_FALSE(m_puerto.abierto());
    }
}

} // namespace
