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
