#include "services/FechaServidor.h"

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/AdoTypes.h"
#include "platform/MessageDialog.h"
#include "services/Globales.h"
#include "support/FakeAdoProvider.h"
#include "support/FakeDialogs.h"
#include "support/TestEnvironment.h"

namespace {

// A server that answers nothing to the date statement: the operating date or the clock.
class FechaServidorSinRespuesta : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gDB().gServidor = QStringLiteral("SRV");
        gDB().OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(gDB().gOpenFlag);
        m_globales.gUtilizarFechaDia = true;
        // The server's date read answers no row.
        m_proveedor.connections().at(0)->script(QStringLiteral("getDate()"), {});
    }

    void operativa(const QString& valor)
    {
        testsupport::FakeAdoConnection::Result fila;
        fila.columns = { { QStringLiteral("VALOR"), adVarChar, 255 },
            { QStringLiteral("valoraux"), adVarChar, 255 } };
        fila.rows = { { Value(valor), Value(QString()) } };
        m_proveedor.connections().at(0)->script(QStringLiteral("FECHAOPERHASTA"), fila);
    }

    testsupport::FakeAdoProvider m_proveedor;
    ScopedService<AdoProvider> m_proveedorServicio { m_proveedor };
    DataObjects m_datos;
    ScopedService<DataObjects> m_datosServicio { m_datos };
    Globales m_globales;
    ScopedService<Globales> m_globalesServicio { m_globales };
};

} // namespace

TEST_F(FechaServidorSinRespuesta, takes_a_valid_operating_date_at_midnight)
{
    operativa(QStringLiteral("31/12/2024"));

    EXPECT_EQ(FechaServidor(), QDateTime(QDate(2024, 12, 31), QTime(0, 0)));
}

TEST_F(FechaServidorSinRespuesta, takes_the_clock_otherwise)
{
    operativa(QStringLiteral("no es fecha"));

    EXPECT_EQ(FechaServidor(), testsupport::pinnedNow());

    m_globales.gUtilizarFechaDia = false;
    operativa(QStringLiteral("31/12/2024"));

    EXPECT_EQ(FechaServidor(), testsupport::pinnedNow());
}

TEST_F(FechaServidorSinRespuesta, a_failing_statement_takes_the_fallback_too)
{
    operativa(QStringLiteral("31/12/2024"));
    m_proveedor.connections().at(0)->failNextWith(
        testsupport::FakeAdoConnection::Command::Query, 3709, QStringLiteral("cerrada"));
    testsupport::messages().answer(Msg::Abort);

    const QDateTime fecha = FechaServidor();

    EXPECT_EQ(fecha, QDateTime(QDate(2024, 12, 31), QTime(0, 0)));
    EXPECT_EQ(testsupport::messages().shown().size(), 1); // the data layer's own report
}
