#pragma once

#include <array>
#include <functional>
#include <initializer_list>

#include <QString>
#include <QStringList>

#include "platform/Steps.h"
#include "reports/RT_Crystal2.h"

namespace ImpresionCpte {

// One call of ImprimirComprobante: the caller's arguments, what the first half decides (type,
// company data, formulas, report, selection, printer settings) and the output of the second half.
// Every step runs under one error trap.
class ImpresionComprobante
{
public:
    ImpresionComprobante(const QString& TC, const QString& IdComprobante,
        const QString& IdComplemento, QString& Reporte, QStringList& OrdenReporte,
        QString& FormulaSeleccion, const QStringList& FormulasAdicionales, int& Destino,
        bool OmitirFiltroComprobante, const QString& Fecha, QString& Formulario, bool& EsContable,
        bool UnaCopia);

    void ejecuta();

private:
    using Formula = RT_Crystal2::FormulaOpcional;
    using Formulas5 = std::array<Formula, 5>;

    // First half: type, company, formulas, report and selection. False when the run was left.
    bool prepara();
    bool tipoDeComprobante();
    // False, after telling the operator, for a stock type whose id has no stock movement.
    bool esDeStock();
    bool datosEmpresa();
    bool formulasEmpresa();
    bool impresoraYCopias();
    void decideSegunTipo();
    bool piePago();

    // Second half: destination, printer, routing and copies. False when the run was left.
    bool salida();
    bool asignaDestino();
    bool copias();
    bool formularioUnico();
    bool imprime(const QString& reporte, const Formulas5& formulas = {},
        const std::array<QString, 3>& subreportes = {});
    bool imprimeT(const QString& formulario);
    bool imprimeE(const QString& formulario, bool enCopias);
    bool faltaFormulario(const QString& formulario);

    // Runs a step that reads figures of the voucher's data: one that is not what its column holds
    // is told as any failure, and the print does not go on whatever the answer (DatosInvalidos).
    bool leeDatos(const std::function<void()>& paso);

    void agregaFormula(const QString& formula);
    void agregaCondicion(const QString& condicion);
    void resuelve(const QString& nombre, const QString& puesto = QString(),
        const QString& idComprobante = QString());
    // Voucher types, report keys and words compare ignoring case.
    static bool esUno(const QString& texto, std::initializer_list<const char*> lista);
    bool tcEs(std::initializer_list<const char*> tipos) const;
    bool tcRecortadoEs(std::initializer_list<const char*> tipos) const;

    // The caller's arguments.
    const QString m_tc;
    const QString m_idComprobante;
    const QString m_idComplemento;
    QString& m_reporte;
    QStringList& m_orden;
    QString& m_seleccion;
    const QStringList& m_formulasAdicionales;
    int& m_destino;
    const bool m_omitirFiltro;
    const QString m_fecha;
    QString& m_formulario;
    bool& m_esContable;
    const bool m_unaCopia;

    Steps m_pasos;
    const QString m_reporteOriginal;
    QStringList m_formulas { QString() };
    bool m_esStock = false;
    bool m_esFacturaElectronica = false;

    QString m_unegocio;
    QString m_nombre;
    QString m_cuit;
    QString m_inicioActividades;
    QString m_ingresosBrutos;
    QString m_condicionIva;
    QString m_puntoVenta;
    QString m_domicilio;
    QString m_textoDireccion;
    QString m_textoLocalidad;
    QString m_textoCodigoPostal;
    QString m_textoTelefono;

    QString m_letra;
    QString m_impresora;
    int m_cantCopias = 0;
    int m_cantLineas = 0;
    QString m_destinoDefault;
    // Files of copies 1 to 4 (element 0 is not used).
    std::array<QString, 5> m_archivos;
    QString m_leyendaCopia;
};

} // namespace ImpresionCpte
