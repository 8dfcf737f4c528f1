#pragma once

#include "sending/ComprobantesEnvio.h"

// The sender's documents rendered by voucher and receipt printing.
class ComprobantesImpresos final : public ComprobantesEnvio
{
public:
    QString llenaComprobante(
        QString& tc, const QString& suc, const QString& nro, const QString& letra) override;
    bool llenaRecibo(const QString& tc, const QString& suc, const QString& nro,
        const QString& letra, const QString& cuenta, QStringList& formulas, int copias,
        int items) override;
    void imprime(const QString& tc, const QString& id, QString& reporte, QStringList& orden,
        QString& seleccion, const QStringList& formulas, int& destino, QString& formulario,
        bool& esContable) override;
    QString importeEnLetras(const Currency& importe) override;
};
