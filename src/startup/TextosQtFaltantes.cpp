#include "startup/TextosQtFaltantes.h"

#include <cstring>

namespace {

struct Texto
{
    const char* contexto;
    const char* original;
    const char* espanol;
};

const Texto Textos[] = {
    { "QAbstractFileIconProvider", "Folder", "Carpeta" },
    { "QAbstractFileIconProvider", "Drive", "Unidad" },
    { "QPrintSettingsOutput", "Pages", "Páginas" },
    { "QPrintSettingsOutput", "Double Sided Printing", "Impresión a doble cara" },
    { "QPrintSettingsOutput", "Off", "No" },
    { "QPrintSettingsOutput", "Long side binding", "Encuadernado por el lado largo" },
    { "QPrintSettingsOutput", "Short side binding", "Encuadernado por el lado corto" },
    { "QPrintPropertiesDialog", "Advanced", "Avanzado" },
};

} // namespace

QString TextosQtFaltantes::translate(
    const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText)
        return QString();
    for (const Texto& t : Textos) {
        if (std::strcmp(context, t.contexto) == 0 && std::strcmp(sourceText, t.original) == 0)
            return QString::fromUtf8(t.espanol);
    }
    return QString();
}
