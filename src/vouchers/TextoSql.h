#pragma once

#include <QString>

namespace ImpresionCpte {

// A value placed between apostrophes in a statement: its own apostrophes doubled, so a code or a
// name holding one neither breaks nor alters the statement.
inline QString literal(QString texto)
{
    return texto.replace(u'\'', QStringLiteral("''"));
}

} // namespace ImpresionCpte
