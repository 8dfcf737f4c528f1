#pragma once

#include <QList>
#include <QStringList>

#include "receipts/AuxiliarRecibo.h"
#include "services/Configuracion.h"
#include "support/DemoDatabaseTest.h"

// Receipts on a demo database of their own: the chart of accounts, withholding accounts,
// applications, journal lines, balances and banks are the test's own (the demo's are cleared), so
// each case writes exactly the receipt it prints. The receipt is always 0001 00000099 X.
class ReciboPrueba : public testsupport::DemoDatabaseTest
{
protected:
    static constexpr const char* Puesto = "PUESTO01|OPERADOR";
    static constexpr const char* Id = "000100000099X";

    void SetUp() override;

    // A chart every case shares: cash, cheque, bank, card, DC, DB, the four withholdings (2.1.05
    // is a SUSS account), a discount account and the customer C001, with no medium.
    void planDeCuentas();
    void configura(const QString& clave, const QString& valor);

    // One application of this receipt (type `tc`) to a document, stored as the suite stores it.
    void aplica(const QString& tc, const QString& tco, const QString& idOrigen,
        const QString& importe, const QString& cuenta = QStringLiteral("C001"));
    // A credit note of 30 listed under this collection: an applied document and an other voucher.
    void notaDeCreditoListada();
    // A document header in V_MV_CPTE (or C_MV_CPTE for a purchase).
    void documento(const QString& tabla, const QString& tc, const QString& id, const QString& fecha,
        const QString& importe, const QString& cuenta = QStringLiteral("C001"));
    // A journal line of this receipt; `extra` are further "column=SQL literal" pairs.
    void asiento(const QString& tc, const QString& cuenta, const QString& importe,
        const QString& debeHaber, const QStringList& extra = {});

    // Runs the buffer for this receipt.
    bool genera(const QString& tc, QStringList& formulas, const QString& cuenta = QString(),
        int copias = 1, int items = -1, InformeRecibo* informe = nullptr);
    bool genera(const QString& tc)
    {
        QStringList formulas;
        return genera(tc, formulas);
    }

    // This workstation's rows (or `usuario`'s) in the order they were written, each the listed
    // columns joined by "|".
    QStringList filas(const QStringList& columnas, const QString& usuario = Puesto);
};
