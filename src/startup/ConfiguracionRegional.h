#pragma once

#include <QString>

class QTranslator;

// The workstation's regional settings and the language of Qt's own texts, set once at start
// before any window is built.
namespace ConfiguracionRegional {

// The locale variables the program follows, as the environment holds them.
struct Entorno
{
    QString lcAll;
    QString lcNumeric;
    QString lcTime;
    QString lang;

    static Entorno delProceso();
};

// True when neither the numbers' nor the dates' locale names a region: unset, "C", "POSIX" or
// "C.UTF-8", as on a fresh machine or in a build service.
bool sinRegion(const Entorno& entorno);

// The default locale: the workstation's own when it names a region (Qt then follows LC_NUMERIC,
// LC_TIME and LANG by category), else Spanish (Argentina).
void aplicaLocale(const Entorno& entorno);

// Loads Qt's Spanish texts (buttons, file and print dialogs, calendar) into `traductor` and
// installs it on the application; false when the translation is not installed. `traductor`
// must outlive its use.
bool cargaTextosQt(QTranslator& traductor);

} // namespace ConfiguracionRegional
