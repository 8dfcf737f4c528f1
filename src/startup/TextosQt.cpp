#include "startup/TextosQt.h"

#include <QCoreApplication>

#include "startup/ConfiguracionRegional.h"

TextosQt::TextosQt()
    : m_cargados(ConfiguracionRegional::cargaTextosQt(m_qt))
{
    // Installed last, the missing texts are asked first and answer only for what they hold.
    QCoreApplication::installTranslator(&m_faltantes);
}

TextosQt::~TextosQt()
{
    QCoreApplication::removeTranslator(&m_faltantes);
    QCoreApplication::removeTranslator(&m_qt);
}
