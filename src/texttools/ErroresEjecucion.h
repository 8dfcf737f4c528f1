#pragma once

#include <QString>

// Run-time errors that the text tools and the connection registry raise with the runtime's own
// numbers and wording, which the JSON reader records verbatim in its error text.
namespace ErroresEjecucion {

// Numbers beside those RuntimeError already names (5, 9, 13).
enum Numero : int
{
    Desbordamiento = 6,
    PilaInsuficiente = 28,
    EntradaPasadoFinArchivo = 62,
    SeRequiereObjeto = 424,
    ClaveDuplicada = 457,
};

// The runtime's description of `numero` ("Desbordamiento" for 6); empty for a number not listed.
QString Descripcion(int numero);

// Throws RuntimeError with `numero`, its description and `origen` as the source.
[[noreturn]] void Lanza(int numero, const QString& origen);

} // namespace ErroresEjecucion
