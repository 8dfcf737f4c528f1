#include "reports/ReportOutputs.h"

std::unique_ptr<ReportOutput> UnavailableReportOutputs::create(
    const ReportOutputTarget& target, QString* error)
{
    QString que;
    switch (target.kind) {
    case ReportOutputTarget::Kind::Screen:
        que = QStringLiteral("La vista previa en pantalla");
        break;
    case ReportOutputTarget::Kind::Printer:
        que = QStringLiteral("La impresión directa");
        break;
    case ReportOutputTarget::Kind::File:
        que = QStringLiteral("La exportación en el formato %1").arg(target.exportCode);
        break;
    }
    if (error)
        *error = que + QStringLiteral(" todavía no está disponible en este equipo");
    return nullptr;
}
