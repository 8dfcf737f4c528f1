#pragma once

// Header only, for tests on a demo database (support/DemoDatabaseTest.h) that link Qt6::Sql.
#include <QSqlDatabase>
#include <QSqlQuery>

#include "support/DemoDatabaseTest.h"

namespace testsupport {

// The same program whose provider waits 5 ms for a lock instead of 30 s: its provider and data
// objects installed and open on `file` for the object's lifetime.
struct EsperaCorta
{
    EsperaCorta(const QString& folder, const QString& file)
        : provider(QtAdoProvider::Settings { .programFolder = folder, .lockWaitMs = 5 })
    {
        DemoDatabaseTest::abre(objects.gDB, file);
    }

    QtAdoProvider provider;
    ScopedService<AdoProvider> providerService { provider };
    DataObjects objects;
    ScopedService<DataObjects> objectsService { objects };
};

// Another process holding `file` with `begin` ("BEGIN IMMEDIATE", "BEGIN EXCLUSIVE") until the
// object goes; holds() says whether it took the lock.
class OtroProceso
{
public:
    OtroProceso(const QString& file, const char* begin)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(file);
        m_holds = db.open() && QSqlQuery(db).exec(QLatin1String(begin));
    }
    ~OtroProceso()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(Name);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }
    OtroProceso(const OtroProceso&) = delete;
    OtroProceso& operator=(const OtroProceso&) = delete;

    bool holds() const { return m_holds; }

private:
    static constexpr const char* NameText = "otro proceso";
    inline static const QString Name = QString::fromLatin1(NameText);
    bool m_holds = false;
};

} // namespace testsupport
