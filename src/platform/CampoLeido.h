#pragma once

#include <QString>

#include "platform/RuntimeError.h"
#include "platform/Value.h"

class AdoRecordset;

// Reading a stored value as what its column holds, for the prints: a figure or a date the print
// needs that cannot be read from its field stops that print naming the field, where it would print
// "inf", the text itself or 0 in its place. `campo` names the field in the message, "TABLE.FIELD",
// followed by what the row belongs to where that helps ("MV_APLICACION.IMPORTE de FC ...").
//
// NULL is data: it is handed back as it is and the caller prints it as the suite does. A blank in
// a number, money or date column is no figure and no date (the suite's engines never store one
// there), and stops the print as any other text does.
namespace CampoLeido {

// What a value that is not what its column holds raises: run-time error 13 (6 for an amount
// money cannot hold) whose description is "<campo>: '<value>' no es un número" (an amount, a
// date, true or false alike). Callers that stop the whole print on it tell it apart from the
// other run-time errors by its type.
class Invalido final : public RuntimeError
{
public:
    Invalido(int number, const QString& description);
};

// `valor` checked against the class of its column's ADO type `tipoAdo`: a finite number for a
// number column (within what money holds for a money one), a date for a date column (a text the
// program reads as a date comes back as that date), true or false for a boolean one; any other
// column's value as it is. Raises Invalido otherwise.
Value comoColumna(const Value& valor, int tipoAdo, const QString& campo);

// The value of field `nombre` of the current row of `rs`, which reads table `tabla`, checked
// against its column's type as comoColumna() does and named "tabla.FIELD" (the field as the
// statement names it).
Value valor(AdoRecordset& rs, const QString& tabla, const QString& nombre);

// An amount of a number or money column (comoColumna() already checked): NULL reads 0, a number
// money cannot hold raises Invalido (error 6, "Desbordamiento: el importe ... excede el rango de
// la moneda").
Currency importe(const Value& valor, const QString& campo);

// A figure kept in a text column (a code of the authority's, a currency code): NULL and a blank
// read 0, as a row without it stores it; any other text reads as the workstation writes numbers
// (Utilidades::ValorMoneda) or raises Invalido.
Currency numeroDeTexto(const Value& valor, const QString& campo);

} // namespace CampoLeido
