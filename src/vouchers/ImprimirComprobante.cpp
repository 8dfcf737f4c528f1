#include "vouchers/ImprimirComprobante.h"

#include "vouchers/ImpresionComprobante.h"

namespace ImpresionCpte {

void ImprimirComprobante(const QString& TC, const QString& IdComprobante,
    const QString& IdComplemento, QString& Reporte, QStringList& OrdenReporte,
    QString& FormulaSeleccion, const QStringList& FormulasAdicionales, int& Destino,
    bool OmitirFiltroComprobante, const QString& Fecha, QString& Formulario, bool& EsContable,
    bool UnaCopia)
{
    ImpresionComprobante(TC, IdComprobante, IdComplemento, Reporte, OrdenReporte, FormulaSeleccion,
        FormulasAdicionales, Destino, OmitirFiltroComprobante, Fecha, Formulario, EsContable,
        UnaCopia)
        .ejecuta();
}

} // namespace ImpresionCpte
