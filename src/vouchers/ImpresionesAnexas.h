#pragma once

#include <QString>
#include <QStringList>

#include "platform/Service.h"

// The prints a voucher print hands on to others: the kitchen and bar tickets of an order, the
// order's printing rules after each copy and the journal entries of an accounting voucher. The
// kitchen-ticket module installs the implementation (Service<ImpresionesAnexas>); while none is
// installed these prints are not made. Failures reach the caller as RuntimeError: they belong to
// the voucher print's own error trap.
class ImpresionesAnexas
{
public:
    virtual ~ImpresionesAnexas() = default;

    // The voucher's items on the workstation's kitchen-ticket printer. `TC` is "PE" for every
    // order type; `Cocina` and `Barra` select the kitchen or the bar items.
    virtual void ImprimeEnComandera(const QString& TC, const QString& IdComprobante,
        const QString& DestinoDefault, bool Cocina, bool Barra)
        = 0;

    // After one copy of an order: the copy's form printed again on each rule's printer for the
    // items of the rule's sections and units. `Formulario` is the copy's form, `Leyenda` its
    // caption; the sort list and the selection are the voucher print's.
    virtual void ImprimeSegunReglas(const QString& TC, const QString& IdComprobante,
        const QString& Formulario, const QStringList& OrdenReporte, const QString& FormulaSeleccion,
        const QString& Leyenda)
        = 0;

    // Every journal entry of an accounting voucher of date `Fecha`, previewed one after the other.
    virtual void ImprimeAsientoDelCpte(
        const QString& TC, const QString& IdComprobante, const QString& Fecha, bool ConCentroCosto)
        = 0;
};
