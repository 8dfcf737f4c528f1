#pragma once

#include <QString>
#include <QStringList>

#include "vouchers/ImpresionesAnexas.h"

// The follow-up prints of a voucher print as the program makes them: the kitchen and bar tickets
// on the serial ticket printer, the order's printing rules ("NPS_IMPRESION_%" settings) and the
// journal entries of an accounting voucher. src/app installs one.
class AnexasComprobante final : public ImpresionesAnexas
{
public:
    void ImprimeEnComandera(const QString& TC, const QString& IdComprobante,
        const QString& DestinoDefault, bool Cocina, bool Barra) override;
    void ImprimeSegunReglas(const QString& TC, const QString& IdComprobante,
        const QString& Formulario, const QStringList& OrdenReporte, const QString& FormulaSeleccion,
        const QString& Leyenda) override;
    void ImprimeAsientoDelCpte(const QString& TC, const QString& IdComprobante,
        const QString& Fecha, bool ConCentroCosto) override;
};

namespace ReglasPedido {

// The condition on the order's items of one printing rule, from its `valoraux` "sections|units"
// (each list separated by ","; either may be empty). Blank when the rule selects nothing: no
// "|", or no section and no unit.
QString CondicionReglas(const QString& valoraux);

// The voucher's selection narrowed to the buffer rows of the articles `ids`: the item terms in
// one group joined with " OR ", after " AND " when the selection is not blank. Callers skip a
// rule that matched no article.
QString SeleccionArticulos(const QString& FormulaSeleccion, const QStringList& ids);

// `Fecha` (dd/mm/yyyy, or ISO with or without the time) as the ISO day the statements compare
// with; the text itself when it reads as no date.
QString DiaIso(const QString& Fecha);

} // namespace ReglasPedido
