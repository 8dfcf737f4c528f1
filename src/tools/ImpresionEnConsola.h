#pragma once

#include <QString>

#include "platform/Service.h"
#include "reports/DLL_Print.h"
#include "reports/ReportEngineControl.h"
#include "reports/SinkReportOutputs.h"
#include "reportpreview/ReportPreview.h"

// The report object of the program for an rp_voucher print: the engine's control with the
// preview, printer and file outputs and the report object over it, installed for the object's
// lifetime. With a capture folder every print is also written there as "NN-<report>.pdf" instead
// of going to the screen or the printer.
class ImpresionEnConsola final
{
public:
    // `capturas` empty: no capture. False from listo() when the folder cannot be made.
    explicit ImpresionEnConsola(const QString& capturas);

    bool listo() const { return m_listo; }
    // Reports printed so far and the records they read: a report that found nothing to print
    // adds to the first and not to the second.
    int impresionesHechas() const { return m_control.impresionesHechas(); }
    qint64 registrosImpresos() const { return m_control.registrosImpresos(); }
    // After the prints: waits until the operator closes the previews that were opened.
    void esperaVistasPrevias();
    // A run of many prints: see ReportEngineControl::capturaEnParalelo and capturasFallidas.
    void capturaEnParalelo(const QString& nombre) { m_control.capturaEnParalelo(nombre); }
    QStringList capturasFallidas(bool todas) { return m_control.capturasFallidas(todas); }
    // Prints that failed so far: the operator saw the error, the tool must still end with one.
    int fallas() const { return m_control.fallidas(); }
    QString ultimaFalla() const { return m_control.ultimaFalla(); }

private:
    SinkReportOutputs m_salidas;
    ScopedService<ReportOutputs> m_salidasServicio { m_salidas };
    ReportPreviewWindows m_vistas;
    ScopedService<ReportPreviews> m_vistasServicio { m_vistas };
    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlServicio { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteServicio { m_reporte };
    bool m_listo = true;
};
