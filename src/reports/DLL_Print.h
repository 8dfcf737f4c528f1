#pragma once

#include <QString>
#include <QStringList>

#include "platform/Service.h"
#include "platform/Value.h"
#include "reports/ReportControl.h"
#include "reports/RT_Crystal2.h"

// The utility library's report-printing object. It prints through the same report control as
// ImprimirReporteCrystal, so its destination, export file and formula list reach a report printed
// by either. One program-wide instance, gReporte().
class DLL_Print
{
public:
    // Destination constants (read only).
    static constexpr int DestinoPantalla = ReportControl::DestinoPantalla;
    static constexpr int DestinoImpresora = ReportControl::DestinoImpresora;
    static constexpr int DestinoArchivo = ReportControl::DestinoArchivo;
    static constexpr int DestinoMail = ReportControl::DestinoMail;

    // The program folder with its trailing "/"; written at start-up (it starts as the program
    // folder). A blank one refuses every print.
    QString pPathSistema;

    // Options the suite sets before printing; kept, no effect on our engine.
    bool OpcionA = false;
    bool OpcionB = false;
    bool OpcionC = false;
    bool OpcionEspecial = false;

    DLL_Print();

    // The destination of the following prints (one of the constants).
    void DestinoImpresion(int destino);
    int DestinoImpresion() const;
    // The destination last set.
    int DestinoPredeterminado() const { return DestinoImpresion(); }

    // The printer of DestinoImpresora: name, the suite's selection text (the same name) and the
    // complement; set in that order.
    void NombreImpresora(const QString& nombre);
    QString NombreImpresora() const { return m_nombreImpresora; }
    void SeleccionaImpresora(const QString& nombre);
    QString SeleccionaImpresora() const { return m_seleccionaImpresora; }
    void ComplementoImpresora(const QString& complemento);
    QString ComplementoImpresora() const { return m_complementoImpresora; }

    // "PrintFileName" and "PrintFileType" of the report control. Failures reach the caller.
    void AsignaPropiedad(const QString& nombre, const Value& valor);

    // Formulas "Name=value" for the following prints, until Finaliza. `cantidad` is accepted and
    // not used.
    void AsignaFormulas(const QStringList& formulas, int cantidad = 5);

    // Prints one report on the destination set before: the driver's print sequence with
    // destination 0. Failures are shown in the driver's box.
    void Imprimir(const QString& reporte, const QStringList& orden, const QString& seleccion,
        const QString& conexion, const RT_Crystal2::FormulaOpcional& formula1 = std::nullopt,
        const RT_Crystal2::FormulaOpcional& formula2 = std::nullopt,
        const RT_Crystal2::FormulaOpcional& formula3 = std::nullopt,
        const RT_Crystal2::FormulaOpcional& formula4 = std::nullopt,
        const RT_Crystal2::FormulaOpcional& formula5 = std::nullopt,
        const QString& subreporte1 = QString(), const QString& subreporte2 = QString(),
        const QString& subreporte3 = QString());

    // End of a run of prints (the code is the caller's and not used): the formula list is
    // dropped. Both names are used by the suite.
    void Finaliza(int codigo);
    void FinalizaImpresion(int codigo) { Finaliza(codigo); }

private:
    QString m_nombreImpresora;
    QString m_seleccionaImpresora;
    QString m_complementoImpresora;
};

// The program-wide report object (installed by src/app, by a test for itself).
inline DLL_Print& gReporte()
{
    return Service<DLL_Print>::get();
}
