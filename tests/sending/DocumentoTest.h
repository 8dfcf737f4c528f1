#pragma once

// Header only: the fixture of the tests that render demo documents for mail, on a demo database
// of their own, with the shipped report definitions in the test's program folder and the real
// report engine behind the report object.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/ComprobantesImpresos.h"
#include "reportengine/PdfTools.h"
#include "reports/DLL_Print.h"
#include "reports/ReportEngineControl.h"
#include "reports/SinkReportOutputs.h"
#include "sending/CorreoTest.h"

class DocumentoTest : public CorreoTest
{
protected:
    void SetUp() override
    {
        CorreoTest::SetUp();
        m_globales.gCantidadDecimales = QStringLiteral("2");
        m_globales.gCadenaODBC = QStringLiteral("DSN=%1; UID=; PWD=").arg(m_file);
        const QString reportes = m_dir.filePath(QStringLiteral("reports"));
        QDir().mkpath(reportes);
        QDirIterator it(QStringLiteral(RP_SHARE_DIR "/reports"), { QStringLiteral("*.rpt") });
        while (it.hasNext()) {
            it.next();
            QFile::copy(it.filePath(), reportes + u'/' + it.fileName());
        }
        m_reporte.pPathSistema = m_dir.path() + u'/';
        testsupport::messages().clear();
    }

    // The names of the ";"-joined paths, each checked to lie in `carpeta`.
    static QStringList nombres(const QString& lista, const QString& carpeta)
    {
        QStringList resultado;
        for (const QString& ruta : lista.split(u';', Qt::SkipEmptyParts)) {
            EXPECT_EQ(QFileInfo(ruta).absolutePath(), carpeta) << ruta.toStdString();
            resultado << QFileInfo(ruta).fileName();
        }
        return resultado;
    }

    // Every fragment is in the text (line breaks and runs of blanks read as one blank).
    static void contiene(const QString& texto, const QStringList& partes)
    {
        const QString simple = texto.simplified();
        for (const QString& parte : partes)
            EXPECT_TRUE(simple.contains(parte)) << parte.toStdString() << "\n"
                                                << simple.toStdString();
    }

    SinkReportOutputs m_salidas;
    ScopedService<ReportOutputs> m_salidasService { m_salidas };
    ReportEngineControl m_control;
    ScopedService<ReportControl> m_controlService { m_control };
    DLL_Print m_reporte;
    ScopedService<DLL_Print> m_reporteService { m_reporte };
    ComprobantesImpresos m_comprobantes;
    ScopedService<ComprobantesEnvio> m_comprobantesService { m_comprobantes };
};
