#pragma once

// Header only, for tests that link the data and services libraries.
#include <QString>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/AdoTypes.h"
#include "services/Globales.h"
#include "support/FakeAdoProvider.h"
#include "support/TestEnvironment.h"

namespace testsupport {

// The program's data objects open on the scripted connection, as on the suite's server (server
// "SRV", database "GESTION", an administrator), installed for the object's lifetime. A query no
// script answers returns no rows; the log starts empty once open.
struct ServidorGuion
{
    explicit ServidorGuion(const QString& programFolder)
    {
        environment().setExecutableFolder(programFolder);
        DB_Dll& db = objects.gDB;
        db.gServidor = QStringLiteral("SRV");
        db.gDBName = QStringLiteral("GESTION");
        db.OpenServerADODB(false, adUseClient, QString(), false, false);
        EXPECT_TRUE(db.gOpenFlag);
        db.gEsAdmin = true;
        cnn().unscriptedQueriesAnswerEmpty = true;
        cnn().clearLog();
    }

    FakeAdoConnection& cnn() const { return *provider.connections().first(); }

    FakeAdoProvider provider;
    ScopedService<AdoProvider> providerService { provider };
    DataObjects objects;
    ScopedService<DataObjects> objectsService { objects };
    Globales globales;
    ScopedService<Globales> globalesService { globales };
};

} // namespace testsupport
