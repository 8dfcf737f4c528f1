#pragma once

#include <QString>

// Where report definitions live and how paths read from the suite's database are taken here.
namespace RutasReporte {

// The reports folder: "reports" inside the program folder (the build and the installation copy
// the definitions there), ending in "/".
QString carpetaReportes();

// A file path stored by the suite's Windows workstations (TA_REPORTES, ruta_reporte, the
// electronic-invoice folder): "\" becomes "/"; a drive-letter path that does not exist here stands
// for its file name in the reports folder. Anything else comes back normalized, unchanged.
QString archivoDeLaBase(const QString& path);

// The same for a folder: a drive-letter folder that does not exist here stands for the reports
// folder. Blank stays blank.
QString carpetaDeLaBase(const QString& folder);

// True for "/x", "C:/x" and "C:\x".
bool esAbsoluta(const QString& path);

} // namespace RutasReporte
