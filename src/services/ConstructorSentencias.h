#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

class AdoField;

// INSERT and UPDATE statements built from a list of columns and values, the query text adapted to
// the connected engine, and files loaded into binary columns. The program-wide lists the builders
// work on are gGlobales().gCamposValores and gGlobales().gSentenciasSQL.
namespace ConstructorSentencias {

// One column of a statement and its value, already written as SQL ("'abc'", "12", "Null").
struct CampoValor
{
    QString Campo;
    QString Valor;
};

// A field/value list. nullopt: no list started yet (or emptied by ArmaListaValores); adding to it
// without starting a new one raises run-time error 9.
using ListaCamposValores = std::optional<QList<CampoValor>>;

// Adds a column to gCamposValores (a new list of just this column when `NuevaLista`). The
// value's apostrophes are removed first, also in the caller's variable; "NULL" in any case is
// written Null, anything else through gDB().SQLValue with `Tipo` ("'" text, "@" amount, ...).
void AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Tipo, bool NuevaLista);

// Appends to `Sentencias` "UPDATE T SET a = 1,b = 'x' " + condition (" WHERE " put in front of a
// condition that has none, also in the caller's variable) or "INSERT INTO T (a,b) VALUES
// (1,'x')", then one empty element, so statements come separated by empty elements. Unless
// `ConservarLista`, the list is left with one empty entry. Raises 9 when no list was started.
void ArmaSentenciaSQL(ListaCamposValores& Lista, QStringList& Sentencias, const QString& Tabla,
    bool EsUpdate, QString& Condicion, bool ConservarLista);

// Appends "(a,b) VALUES (1,'x')" to `Sentencia` (the caller has put "INSERT INTO T " in it). With
// `Limpiar` the list is emptied: the next one must be started anew. Raises 9 when no list was
// started.
void ArmaListaValores(QString& Sentencia, ListaCamposValores& Lista, bool Limpiar);

// The text for the connected engine: unchanged unless gDB()'s connection text names Oracle; there
// a single word "LEN" becomes "LENGTH" and "SELECT TOP n * FROM ..." becomes
// "SELECT  * FROM ... WHERE ROWNUM <= n" (only that shape comes out valid). Raises run-time error
// 5 for a text with "top " and no "*" after it.
QString AdaptaSQLMotor(const QString& Sql);

// True when the text holds an apostrophe.
bool ContieneApostrofe(const QString& Texto);

// The field of the current row gets the file's bytes. A file that cannot be read leaves the field
// as it was; nothing is reported.
void CargaArchivoEnCampo(AdoField& Campo, const QString& Archivo);
// The same in pieces through AppendChunk: the remainder of the length over 1,024 bytes first, then
// the whole 1,024-byte chunks, in file order.
void CargaArchivoEnCampoPorPartes(AdoField& Campo, const QString& Archivo);

} // namespace ConstructorSentencias
