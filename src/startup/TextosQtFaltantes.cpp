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
    // The tab of the printer's properties takes its caption from its form, not its dialog.
    { "QPrintPropertiesWidget", "Advanced", "Avanzado" },
    { "QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
        "Hay conflictos en algunas opciones. Corríjalos." },
    { "QPrintSettingsOutput",
        "Specify pages or ranges separated by commas. Ranges are specified by two numbers "
        "separated by a hyphen. E.g: 3,5-7,9",
        "Indique páginas o intervalos separados por comas. Un intervalo son dos números separados "
        "por un guion. Por ejemplo: 3,5-7,9" },
    { "QPrintDialog", "Invalid Pages Definition", "Definición de páginas no válida" },
    { "QPrintDialog",
        "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' "
        "to define ranges and make sure ranges do not intersect with each other.",
        "%1 no sigue la sintaxis correcta. Separe páginas e intervalos con ',', indique los "
        "intervalos con '-' y cuide que no se superpongan." },
    { "QPrintDialog", "Duplex Settings Conflicts", "Conflictos en la impresión a doble cara" },
    { "QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
        "Hay conflictos en la impresión a doble cara. ¿Desea corregirlos?" },
    { "QPrintPropertiesDialog", "Page Setup Conflicts",
        "Conflictos en la configuración de página" },
    { "QPrintPropertiesDialog",
        "There are conflicts in page setup options. Do you want to fix them?",
        "Hay conflictos en la configuración de página. ¿Desea corregirlos?" },
    { "QPrintPropertiesDialog", "Advanced Option Conflicts",
        "Conflictos en las opciones avanzadas" },
    { "QPrintPropertiesDialog",
        "There are conflicts in some advanced options. Do you want to fix them?",
        "Hay conflictos en algunas opciones avanzadas. ¿Desea corregirlos?" },
    { "QPrintPropertiesDialog", "Borderless", "Sin márgenes" },
    { "QPrintPropertiesDialog", "On", "Sí" },
    { "QPrintPropertiesDialog", "Off", "No" },
    { "QCupsJobWidget", "Day (06:00 to 16:59)", "Día (06:00 a 16:59)" },
    { "QAbstractFileIconProvider", "File", "Archivo" },
    { "QAbstractFileIconProvider", "%1 File", "Archivo %1" },
    { "QAbstractFileIconProvider", "File Folder", "Carpeta de archivos" },
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
