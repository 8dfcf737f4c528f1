#include "services/VariablesInicio.h"

#include "platform/Entorno.h"

QString ClaveEstacion()
{
    // The suite's other programs build the same key to find this workstation's rows and sections,
    // so the cut at 50 stays even when it shortens a long login.
    const Entorno& entorno = gEntorno();
    return (entorno.NombrePC().toUpper() + u'|' + entorno.UsuarioWindows().toUpper()).left(50);
}
