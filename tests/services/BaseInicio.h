#pragma once

#include "platform/Value.h"
#include "services/VariablesInicio.h"
#include "support/DemoDatabaseTest.h"

// The demo databases with what the start-up and the shared services reach besides the data
// objects: the start-up values and the data layer's settings. The program folder is the test's
// own.
class BaseInicio : public testsupport::DemoDatabaseTest
{
protected:
    BaseInicio();
    ~BaseInicio() override;

    // gDB() opened on the folder's DEMO.db as the suite names it (server "SQLITE", "DEMO").
    void conecta();
    // The first column of the first row ("<sin filas>" when there is none).
    Value valor(const QString& sql);
    // Rows of a statement's result, every value as text.
    QList<QStringList> filas(const QString& sql);
    // Replaces the settings table's rows by `claves` (key, value), group "DATOS".
    void configuracion(const QList<QPair<QString, QString>>& claves);

    QString carpeta() const { return m_dir.path(); }

    DataSettings m_ajustesDatos;
    ScopedService<DataSettings> m_ajustesServicio { m_ajustesDatos };
    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioServicio { m_inicio };
};
