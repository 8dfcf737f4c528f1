#include "texttools/ErroresEjecucion.h"

#include "platform/RuntimeError.h"

namespace ErroresEjecucion {

QString Descripcion(int numero)
{
    switch (numero) {
    case RuntimeError::InvalidCall:
        return QStringLiteral("Llamada a procedimiento o argumento no válidos");
    case Desbordamiento:
        return QStringLiteral("Desbordamiento");
    case RuntimeError::SubscriptOutOfRange:
        return QStringLiteral("Subíndice fuera del intervalo");
    case RuntimeError::TypeMismatch:
        return QStringLiteral("No coinciden los tipos");
    case PilaInsuficiente:
        return QStringLiteral("Espacio de pila insuficiente");
    case EntradaPasadoFinArchivo:
        return QStringLiteral("La entrada pasó el final del archivo");
    case SeRequiereObjeto:
        return QStringLiteral("Se requiere un objeto");
    case ClaveDuplicada:
        return QStringLiteral("Esta clave ya está asociada a un elemento de esta colección");
    }
    return QString();
}

void Lanza(int numero, const QString& origen)
{
    throw RuntimeError(numero, Descripcion(numero), origen);
}

} // namespace ErroresEjecucion
