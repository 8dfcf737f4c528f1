#pragma once

// Header only: the fixture reaches the data layer and the real provider, which the support
// library does not link; the test executables that include it do.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataObjects.h"
#include "platform/qt/QtAdoProvider.h"
#include "services/Globales.h"
#include "support/DemoDatabaseFiles.h"
#include "support/FakeSystem.h"
#include "support/TestEnvironment.h"

namespace testsupport {

// Tests on demo databases of their own: DEMO.db and KZQ_ESTADISTICAS.db with `articles` articles,
// written into a temporary folder that is also the program folder, reached through the real
// provider; the data objects and the global settings installed are the test's own. Nothing is
// opened until the test asks (abrePrincipal, abreEstadisticas).
class DemoDatabaseTest : public ::testing::Test
{
protected:
    explicit DemoDatabaseTest(int articles = 20)
        : m_articles(articles)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        environment().setExecutableFolder(m_dir.path());
        m_file = writeDemoDatabases(m_dir.path(), m_articles);
        ASSERT_FALSE(m_file.isEmpty());
        m_globales.gTablaConfiguracion = QStringLiteral("ta_configuracion");
    }

public:
    // Opens `db` on a database file as the program does (server "SQLITE"), without the
    // administrator check, so the user counts as one.
    static void abre(DB_Dll& db, const QString& file)
    {
        db.gServidor = QStringLiteral("SQLITE");
        db.gDBName = file;
        db.OpenServerADODB(false, adUseClient, QString(), false, false);
        ASSERT_TRUE(db.gOpenFlag) << db.gCnn().LastError().description().toStdString();
    }

protected:
    void abrePrincipal() { abre(m_objects.gDB, m_file); }
    void abreEstadisticas()
    {
        abre(m_objects.gDBEstadisticas, m_dir.filePath(QStringLiteral("KZQ_ESTADISTICAS.db")));
    }
    // Runs a statement on gDB() that must succeed.
    void exec(const QString& sql)
    {
        QString statement = sql;
        m_objects.gDB.EjecutaConsultaSQL(statement);
        ASSERT_EQ(m_objects.gDB.gCnn().Errors().Count(), 0) << sql.toStdString();
    }

    const int m_articles;
    QTemporaryDir m_dir;
    QString m_file;
    QtAdoProvider m_provider { QtAdoProvider::Settings { m_dir.path() } };
    ScopedService<AdoProvider> m_providerService { m_provider };
    DataObjects m_objects;
    ScopedService<DataObjects> m_objectsService { m_objects };
    Globales m_globales;
    ScopedService<Globales> m_globalesService { m_globales };
};

} // namespace testsupport
