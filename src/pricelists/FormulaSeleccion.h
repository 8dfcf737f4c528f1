#pragma once

#include <QList>
#include <QString>

// One criteria row of a report selection: bounds as typed (a "*" makes a bound a pattern), the
// report field with its braces, the field's ADO type code, whether a text field is written bare,
// and how the row joins the rows before it ("AND"/"OR", blank meaning "AND").
struct FiltroSeleccion
{
    QString Desde;
    QString Hasta;
    QString Campo;
    qint16 TipoCampo = 200;
    qint16 SinRecorte = 0;
    QString Conector;
};

namespace FormulaSeleccion {

// Builds the record-selection formula of the rows, in order. Every row is checked first; the
// first row that fails stops the build: `MensajeError` (when given) receives the message naming
// the field and `FormulaSeleccion` keeps what the caller put in it. On success `FormulaSeleccion`
// receives the joined formula (empty when no row gives a condition) and `MensajeError` is left
// alone. Shows nothing.
void ArmaFormulaSeleccion(const QList<FiltroSeleccion>& Filtros, QString& FormulaSeleccion,
    QString* MensajeError = nullptr);

} // namespace FormulaSeleccion
