#include "app/ComprobantesImpresos.h"

#include "platform/RuntimeError.h"
#include "receipts/AuxiliarRecibo.h"
#include "receipts/TextosRecibo.h"
#include "texttools/NumerosEnLetras.h"
#include "vouchers/AuxiliarComprobantes.h"
#include "vouchers/ImprimirComprobante.h"

QString ComprobantesImpresos::llenaComprobante(
    QString& tc, const QString& suc, const QString& nro, const QString& letra)
{
    return GeneraAuxiliarComprobantes(tc, suc, nro, letra, QStringLiteral("0"), 3, QString(),
        QString(), QString(), QString(), QString(), QString(), QString(), false)
        .error;
}

bool ComprobantesImpresos::llenaRecibo(const QString& tc, const QString& suc, const QString& nro,
    const QString& letra, const QString& cuenta, QStringList& formulas, int copias, int items)
{
    InformeRecibo informe;
    const bool completo = GeneraAuxiliarRecibo_PagoCobranza(
        tc, suc, nro, letra, cuenta, formulas, copias, items, &informe);
    // The sender tells the lock as it tells the voucher buffer's, and so an amount the receipt
    // cannot print.
    for (const QString& motivo : { informe.bloqueo, informe.importeInvalido })
        if (!motivo.isEmpty())
            throw RuntimeError(RuntimeError::InvalidCall, motivo,
                QStringLiteral("GeneraAuxiliarRecibo_PagoCobranza"));
    return completo;
}

void ComprobantesImpresos::imprime(const QString& tc, const QString& id, QString& reporte,
    QStringList& orden, QString& seleccion, const QStringList& formulas, int& destino,
    QString& formulario, bool& esContable)
{
    ImpresionCpte::ImprimirComprobante(tc, id, QStringLiteral("0"), reporte, orden, seleccion,
        formulas, destino, false, QString(), formulario, esContable, true);
}

QString ComprobantesImpresos::importeEnLetras(const Currency& importe)
{
    return TextosRecibo::primeraMayuscula(
        NumerosEnLetras::NumeroEnLetras(importe, 0, QStringLiteral(" Pesos ")));
}
