#pragma once

#include <QDir>
#include <QStringList>

#include "reports/DLL_Print.h"
#include "reports/RecordingControl.h"
#include "services/Globales.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/TestFiles.h"
#include "vouchers/ImpresionesAnexas.h"

namespace testsupport {

// The follow-up prints a voucher print hands on, written down in order.
class AnexasAnotadas final : public ImpresionesAnexas
{
public:
    QStringList llamadas;

    void ImprimeEnComandera(const QString& TC, const QString& IdComprobante,
        const QString& DestinoDefault, bool Cocina, bool Barra) override
    {
        llamadas << QStringLiteral("comandera %1 %2 %3 %4 %5")
                        .arg(TC, IdComprobante, DestinoDefault)
                        .arg(Cocina)
                        .arg(Barra);
    }
    void ImprimeSegunReglas(const QString& TC, const QString& IdComprobante,
        const QString& Formulario, const QStringList&, const QString&,
        const QString& Leyenda) override
    {
        llamadas << QStringLiteral("reglas %1 %2 %3 %4")
                        .arg(TC, IdComprobante, QFileInfo(Formulario).fileName(), Leyenda);
    }
    void ImprimeAsientoDelCpte(const QString& TC, const QString& IdComprobante,
        const QString& Fecha, bool ConCentroCosto) override
    {
        llamadas << QStringLiteral("asiento %1 %2 %3 %4")
                        .arg(TC, IdComprobante, Fecha)
                        .arg(ConCentroCosto);
    }
};

// Voucher prints on a demo database of their own, through the recording report control: the
// program folder holds a reports folder with (empty) forms under `formularios`.
class ImpresionDemo : public DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        messages().clear();
        QDir(m_dir.path()).mkpath(QStringLiteral("reports"));
        for (const QString& nombre : formularios())
            writeFile(carpetaReportes() + nombre, QByteArray());
        m_reporte.pPathSistema = m_dir.path() + u'/';
        m_globales.gCadenaODBC = QStringLiteral("DSN=DEMO; UID=; PWD=");
    }

    virtual QStringList formularios() const { return {}; }
    QString carpetaReportes() const { return m_dir.path() + QStringLiteral("/reports/"); }

    RecordingControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    AnexasAnotadas m_anexas;
    ScopedService<ImpresionesAnexas> m_anexasService { m_anexas };
};

} // namespace testsupport
