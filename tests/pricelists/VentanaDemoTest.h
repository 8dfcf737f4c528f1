#pragma once

#include "data/DataObjects.h"
#include "formhelpers/Controles.h"
#include "formhelpers/EstadoFormulario.h"
#include "services/VariablesInicio.h"
#include "support/DemoDatabaseTest.h"

namespace testsupport {

// What the window's start-up does in these tests: the main connection opened on the demo file.
inline void abreBaseDemo(const QString& archivo)
{
    DB_Dll& db = gDB();
    db.gServidor = QStringLiteral("SQLITE");
    db.gDBName = archivo;
    db.OpenServerADODB(false, adUseClient, QString(), false, false);
}

// The price-list window on a demo database of its own: besides the database services, the start-up
// variables with "ADMIN" logged in, the controls, and the form-state store in the program folder.
class VentanaDemoTest : public DemoDatabaseTest
{
protected:
    explicit VentanaDemoTest(int articles = 20)
        : DemoDatabaseTest(articles)
    {
    }

    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        m_inicio.gUsuarioLogeado = QStringLiteral("ADMIN");
    }

    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
    Controles m_controles;
    ScopedService<Controles> m_controlesService { m_controles };
    EstadoFormulario m_estado { m_dir.filePath(QStringLiteral("config/EstadoFormularios.ini")) };
    ScopedService<EstadoFormulario> m_estadoService { m_estado };
};

} // namespace testsupport
