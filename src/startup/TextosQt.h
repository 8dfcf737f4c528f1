#pragma once

#include <QTranslator>

#include "startup/TextosQtFaltantes.h"

// Qt's own texts (buttons, file and print dialogs) in Spanish for the whole run of a program that
// opens windows: Qt's translation, and over it the texts that translation lacks. Build it after
// the application object and before the first window; its end takes both out again.
class TextosQt final
{
public:
    TextosQt();
    ~TextosQt();
    TextosQt(const TextosQt&) = delete;
    TextosQt& operator=(const TextosQt&) = delete;

    // False when Qt's translation is not installed: only the texts it lacks are Spanish then.
    bool cargados() const { return m_cargados; }

private:
    QTranslator m_qt;
    TextosQtFaltantes m_faltantes;
    bool m_cargados = false;
};
