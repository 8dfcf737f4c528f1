#include "reports/RutasReporte.h"

#include <QFileInfo>

#include "platform/Environment.h"
#include "platform/FileNames.h"
#include "platform/Utilidades.h"

namespace RutasReporte {

namespace {

bool tieneUnidad(const QString& path)
{
    return path.size() >= 3 && path.at(0).isLetter() && path.at(1) == u':'
        && (path.at(2) == u'/' || path.at(2) == u'\\');
}

bool existe(const QString& path)
{
    return QFileInfo::exists(FileNames::resolve(path));
}

} // namespace

QString carpetaReportes()
{
    return gUtilidades().RutaConBarra(FileNames::inProgramFolder(QStringLiteral("reports")));
}

bool esAbsoluta(const QString& path)
{
    return path.startsWith(u'/') || path.startsWith(u'\\') || tieneUnidad(path);
}

QString archivoDeLaBase(const QString& path)
{
    const QString normal = FileNames::normalized(path);
    if (!tieneUnidad(normal) || existe(normal))
        return normal;
    // The definitions of a site are copied into our reports folder under their own names.
    return carpetaReportes() + normal.mid(normal.lastIndexOf(u'/') + 1);
}

QString carpetaDeLaBase(const QString& folder)
{
    const QString normal = FileNames::normalized(folder);
    if (!tieneUnidad(normal) || existe(normal))
        return normal;
    return carpetaReportes();
}

} // namespace RutasReporte
