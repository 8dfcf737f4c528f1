#pragma once

#include <QString>

#include "platform/Value.h"

// The statements of the data object's existence and lookup queries, built as the suite's other
// programs build them (their doubled blanks included, since logs and traces are compared with
// theirs). Table, column and condition texts go in as the caller wrote them; a searched text goes
// between apostrophes with its own apostrophes doubled.
namespace ConsultasDatos {

// How a searched value is written, chosen by the key type (an ADO type code).
enum class TipoClave
{
    Texto, // 8, the text "'" or no type: between apostrophes
    Fecha, // 7: the text trimmed, as the caller wrote it
    Numero, // 3, 4, 5: the leading number of the text
    Literal, // anything else: the text unchanged
};
TipoClave tipoClave(const Value& tipodato);

// A searched text as its number: the leading number written with "." ("12abc" gives "12", "1 2"
// gives "12", "abc" gives "0").
QString numeroClave(const QString& valor);

// The text between apostrophes, its own apostrophes doubled.
QString literal(const QString& texto);

// ExisteEnTabla: "SELECT TOP 1  * FROM T with(nolock)  WHERE LTRIM(RTRIM(C)) ='V'" and its
// siblings; with a condition the key is not used at all.
QString existeEnTabla(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion);
// ExisteEnTablaST: "SELECT * FROM T with(nolock)   WHERE C ='V'" (V untrimmed) and its siblings.
QString existeEnTablaST(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion);
// DatosTabla: always the key test, then " AND " and the condition when it is not blank.
QString datosTabla(const QString& tabla, const QString& valor, const QString& campo,
    const Value& tipodato, const QString& condicion, bool usaTrim);
// "SELECT MAX(F) AS MAYOR FROM T", then " WHERE " and the trimmed condition when there is one.
QString buscaMaximo(const QString& tabla, const QString& campo, const QString* condicion);
// "SELECT MIN(F) AS MENOR FROM T  with(nolock) ", or "...  with(nolock)  WHERE " and the trimmed
// condition.
QString buscaMinimo(const QString& tabla, const QString& campo, const QString* condicion);
// "SELECT MAX(F) AS MAYOR FROM T", then " WHERE " and the condition as written when it is not
// blank.
QString buscaUltimoCodigo(const QString& tabla, const QString& campo, const QString& condicion);

// The filter that keeps article codes starting with "0" out of the highest code.
QString filtroArticulosSinCero(const QString* condicion);

} // namespace ConsultasDatos
