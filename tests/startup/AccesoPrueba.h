#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/AdoTypes.h"
#include "services/VariablesInicio.h"
#include "support/FakeAdoProvider.h"
#include "support/TestEnvironment.h"

// The login dialogs' ground: a provider whose connections open only with the texts a test
// accepts (proveedor.acceptedOpens(); any other is a refused login), the data objects and the
// start-up values of the test's own, and a folder of its own for the registry "BASES.TXT".
class AccesoPrueba : public ::testing::Test
{
protected:
    AccesoPrueba() { proveedor.refuseUnknownOpens(); }

    void SetUp() override
    {
        testsupport::environment().setVariable(QStringLiteral("RP_TARIFOLIO_HOME"), dir.path());
    }

    // The connection of gDB(), made on first use.
    testsupport::FakeAdoConnection& conexion()
    {
        return static_cast<testsupport::FakeAdoConnection&>(datos.gDB.gCnn());
    }

    // The schema lists these tables.
    static testsupport::FakeAdoConnection::Result tablas(const QStringList& nombres)
    {
        testsupport::FakeAdoConnection::Result result;
        result.columns = adoSchemaColumns(adSchemaTables);
        for (const QString& nombre : nombres)
            result.rows.append({ Value(), Value(), Value(nombre), Value(QStringLiteral("TABLE")) });
        return result;
    }

    QTemporaryDir dir;
    testsupport::FakeAdoProvider proveedor;
    ScopedService<AdoProvider> proveedorInstalado { proveedor };
    DataObjects datos;
    ScopedService<DataObjects> datosInstalados { datos };
    VariablesInicio inicio;
    ScopedService<VariablesInicio> inicioInstalado { inicio };
};
