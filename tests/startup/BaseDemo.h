#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/qt/QtAdoProvider.h"
#include "startup/Globales.h"
#include "support/DemoDatabaseFiles.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

// Tests on demo databases of their own (DEMO.db and KZQ_ESTADISTICAS.db in a temporary program
// folder), opened through the real provider as gDB() and gDBEstadisticas().
class BaseDemo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        testsupport::environment().setExecutableFolder(m_dir.path());
        m_file = testsupport::writeDemoDatabases(m_dir.path(), 20);
        ASSERT_FALSE(m_file.isEmpty());
        m_globales.gTablaConfiguracion = QStringLiteral("ta_configuracion");
    }

    static void abre(DB_Dll& db, const QString& file)
    {
        db.gServidor = QStringLiteral("SQLITE");
        db.gDBName = file;
        db.OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void abrePrincipal() { abre(m_objects.gDB, m_file); }
    void abreEstadisticas()
    {
        abre(m_objects.gDBEstadisticas, m_dir.filePath(QStringLiteral("KZQ_ESTADISTICAS.db")));
    }
    void exec(const QString& sql)
    {
        QString statement = sql;
        m_objects.gDB.EjecutaConsultaSQL(statement);
        ASSERT_EQ(m_objects.gDB.gCnn().Errors().Count(), 0) << sql.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_file;
    QtAdoProvider m_provider { QtAdoProvider::Settings { m_dir.path() } };
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
    Globales m_globales;
    ScopedService<Globales> m_globalesService { m_globales };
};
