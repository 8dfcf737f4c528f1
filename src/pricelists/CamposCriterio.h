#pragma once

#include <QColor>
#include <QString>

// What the criteria fields of the price-list window decide, apart from the fields themselves: the
// lookup a field's Tag stands for, the starts-with pattern of a family field, the warehouse
// field, and the focus colours as the suite stores them.
namespace CamposCriterio {

// The lookup behind a criteria field.
struct Consulta
{
    enum class Clase
    {
        Ninguna, // the Tag names no lookup
        Tabla, // the lookup object, on `origen`
        Fecha, // the date picker
    };
    Clase clase = Clase::Ninguna;
    // The column whose value comes back (the lookup object's CampoDevuelto).
    QString campoDevuelto;
    // A whole statement, or a table name the lookup object turns into one.
    QString origen;
    // Families are picked in the tree dialog, everything else in the grid.
    bool arbol = false;
};

// The lookup of a field by its Tag (any case). The list and name lookups offer the lists of
// `tipoLista` ("V" or "C") only.
Consulta consultaDe(const QString& tag, const QString& tipoLista);

// The family fields, whose Enter turns their code into a starts-with pattern.
bool esFamilia(const QString& dataField);
// The warehouse field, whose code is checked when it is left.
bool esDeposito(const QString& dataField);

// The text of a family field after Enter: an "*" appended when the text, trimmed, is not empty and
// holds no "*" yet; otherwise the text unchanged.
QString patronFamilia(const QString& texto);

// The warehouse description label when no warehouse is chosen or found.
inline constexpr const char* SinDeposito = "...";

// A colour as the suite stores it (&HBBGGRR).
QColor color(qint32 valor);

} // namespace CamposCriterio
