#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/Service.h"
#include "platform/Value.h"

class RuntimeError;

// The utility library's text, value and path services. One program-wide instance, reached
// through gUtilidades(); it keeps no state, so a test may use the one the test main installs.
// Failures reach the caller as RuntimeError, as the program expects of the library.
class Utilidades
{
public:
    // The value as text: Null and Empty give "", otherwise Value::toString() (numbers with ".",
    // dates "yyyy-MM-dd", so the text stays usable in statements and converts back).
    QString ValorCampo(const Value& value) const;

    // Text to a money amount. Blank gives 0. Read with the workstation's decimal separator; when
    // that is "," a "." is accepted as the separator too. Thousands separators are not accepted.
    // Anything else raises run-time error 13.
    Currency ValorMoneda(const QString& text) const;

    // Text to a 32-bit integer, rounded half to even as the original's conversion did. Blank gives
    // 0; unreadable text raises 13, a number out of range 6.
    qint32 ValorEntero(const QString& text) const;

    // Right-aligned in `width` characters: blanks in front; a longer text is cut to its first
    // `width` characters.
    QString RellenaIzquierda(const QString& text, int width) const;
    // Left-aligned in `width` characters: blanks behind, a longer text cut to `width`.
    QString RellenaDerecha(const QString& text, int width) const;

    // A code fitted to its column: a code of digits only (after trimming) is right-aligned with
    // blanks ("1" at 4 gives "   1"); any other code comes back trimmed, cut to the width when
    // longer ("FC" stays "FC"); a blank code gives "".
    QString FormateaCodigo(const QString& code, int width = 4) const;

    // The text without any occurrence of the characters in `characters` (and in the optional
    // further sets).
    QString QuitaCaracteres(const QString& text, const QString& characters,
        const QString& more = QString(), const QString& evenMore = QString()) const;

    // Every occurrence of `search` replaced, letter case significant; an empty `search` changes
    // nothing.
    QString Reemplaza(const QString& text, const QString& search, const QString& replacement) const;
    QString ReemplazaCadena(
        const QString& text, const QString& search, const QString& replacement) const;

    // The number of words (runs of characters between blanks, tabs and line breaks); callers only
    // rely on 1 or less meaning a single word.
    int ClasificaTexto(const QString& text) const;

    // The folder ending in exactly one "/" (a trailing "\" counts as a separator too). An empty
    // folder stays empty, never the root.
    QString RutaConBarra(const QString& folder) const;

    // A fixed-width field's text without its fill: cut at the first NUL, trailing blanks dropped.
    QString LimpiaCadenaFija(const QString& text) const;

    // Scrambles a stored credential into one line of printable text without blanks, commas,
    // quotes or semicolons, and back (the scramble is described in Utilidades.cpp). Not
    // encryption: it only keeps a password from being read at a glance. Letters and digits keep
    // their count, so a scrambled password fits where the plain one did; other characters take
    // five. Desencripta(Encripta(x)) == x for any text; Desencripta of a malformed text returns
    // it unchanged.
    QString Encripta(const QString& text) const;
    QString Desencripta(const QString& text) const;

    // A date text (the workstation's short date with any of "/", ".", "-" and a two- or four-digit
    // year, or "yyyy-mm-dd", with or without a time) as a date literal of the report formula
    // language: "Date(2024,03,05)". A blank or invalid date raises run-time error 13, so callers
    // decide.
    QString FechaFormula(const QString& dateText) const;

    // Reads a date text in the forms FechaFormula accepts; an invalid QDate when it is none. Day,
    // month and year are in the order of the workstation's short date (day first in Spanish).
    QDate LeeFecha(const QString& dateText) const;

    // The workstation's short date (the default locale's order and separator) with two-digit day
    // and month and a four-digit year: "dd/MM/yyyy" in Spanish (Argentina), "MM/dd/yyyy" in
    // English (United States). A Qt date format.
    static QString FormatoFechaCorta();

    // True when `value` is one of the elements: texts compare ignoring case, numbers by value.
    bool EstaEnLista(const QString& value, const QStringList& list) const;
    bool EstaEnLista(const Value& value, const QList<Value>& list) const;

    // True when the control belongs to a control array: it carries an "Index" property, or its
    // name is a control-array member's ("txtfields_3").
    bool EsArregloControles(const QObject* control) const;

    // Shows the date picker starting on the date in `text` (today when it holds none). The chosen
    // date comes back as the workstation's short date (FormatoFechaCorta) and is also left in
    // `text`; when the operator cancels, `text` is returned unchanged.
    QString SeleccionaFecha(QString& text) const;

    // The library's own error dialog: the error's number and description with Abort, Retry and
    // Ignore. Returns the answer: 4 repeat the statement, 5 go on, anything else leave.
    int PreguntaError(const RuntimeError& error) const;

    // Text without control characters other than CR, LF and tab. Digits, apostrophes and every
    // other character pass unchanged; "" when nothing is left.
    QString LimpiaTexto(const QString& text) const;

    // A description for a printed line: line breaks and tabs become blanks, runs of blanks become
    // one, trimmed.
    QString AjustaDescripcion(const QString& text) const;

    // Splits a path ("/" or "\" separators) into its folder (with its trailing "/"), its name with
    // extension, its extension without the dot and its name without extension. A name whose only
    // dot is its first character has no extension.
    void DescomponeRuta(const QString& path, QString& folder, QString& fileName, QString& extension,
        QString& baseName) const;
};

// The program-wide instance (installed by src/app, by the test main in tests).
inline Utilidades& gUtilidades()
{
    return Service<Utilidades>::get();
}
