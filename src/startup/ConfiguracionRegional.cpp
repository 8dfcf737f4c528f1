#include "startup/ConfiguracionRegional.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ConfiguracionRegional {

namespace {

// The first variable set wins, as the C library reads them.
QString efectivo(std::initializer_list<const QString*> variables)
{
    for (const QString* v : variables) {
        if (!v->isEmpty())
            return *v;
    }
    return QString();
}

bool nombraRegion(const QString& nombre)
{
    const QString base = nombre.section(u'.', 0, 0).section(u'@', 0, 0);
    return !base.isEmpty() && base != QStringLiteral("C") && base != QStringLiteral("POSIX");
}

} // namespace

Entorno Entorno::delProceso()
{
    return { qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_NUMERIC"),
        qEnvironmentVariable("LC_TIME"), qEnvironmentVariable("LANG") };
}

bool sinRegion(const Entorno& e)
{
    return !nombraRegion(efectivo({ &e.lcAll, &e.lcNumeric, &e.lang }))
        && !nombraRegion(efectivo({ &e.lcAll, &e.lcTime, &e.lang }));
}

void aplicaLocale(const Entorno& entorno)
{
    // Left alone, the default locale is the system's, which Qt reads category by category.
    if (sinRegion(entorno))
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
}

bool cargaTextosQt(QTranslator& traductor)
{
    if (!traductor.load(QLocale(QLocale::Spanish), QStringLiteral("qt"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&traductor);
}

} // namespace ConfiguracionRegional
