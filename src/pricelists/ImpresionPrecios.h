#pragma once

#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

#include "reports/DLL_Print.h"

// A check box of the price columns (index 0 the cost, 1 to 8 the price classes).
struct CasillaPrecio
{
    int Value = 0; // 0 unticked, 1 ticked
    QString Tag; // the index as text
    QString Caption; // the class's name
};

// A sort option: selected or not, and the report field it sorts on (its Tag, with braces).
struct OpcionOrden
{
    bool Value = false;
    QString Tag;
};

// An item of the purchase/sales conditions: the text the list shows (description and surcharge,
// the last ten characters holding the bare surcharge) and the surcharge as read from the database.
struct CondicionCpraVta
{
    QString Texto;
    double Porcentaje = 0;
    bool Selected = false;
};

// The state of the price-list window that the printing reads, filled by the window from its
// controls. Check boxes hold their Value (0 unticked, 1 ticked, 2 greyed).
struct EstadoImpresion
{
    QString TablaPrecios = QStringLiteral("V_MA_PRECIOS");
    bool ModoCompras = false;
    QString TipoLista = QStringLiteral("V");
    bool UsaRetail = false;

    // Criteria fields, by their DataField.
    QString ListaDesde;
    QString ListaHasta;
    QString NombreDesde;
    QString NombreHasta;
    QString RubroDesde;
    QString RubroHasta;
    QString ProveedorDesde;
    QString ProveedorHasta;
    QString FamiliaDesde;
    QString FamiliaHasta;
    QString OfDesde;
    QString OfHasta;
    QString Deposito;
    // Caption of the warehouse's description label: "..." until a typed warehouse is found.
    QString lblDescDep = QStringLiteral("...");

    int chkAnalisisCostos = 0;
    int ChkArticulosEnOferta = 0;
    int ChkListaPPagina = 0;
    int ChkSelectivo = 0;
    int chkIncluirEnCero = 0;
    int chkIncluirMargen = 0;
    int chkMargenResumido = 0;
    int ChkEtiquetas = 0;

    QList<CasillaPrecio> ChkFiltro; // indexes 0 to 8
    QList<OpcionOrden> OptOrden;
    QList<bool> OptGROUP; // 0 section, 1 family, 2 supplier, 3 none
    // The chosen condition of CmbCpra_Vta (its text; empty when none) and its surcharge.
    QString CmbCpra_Vta;
    double PorcentajeCpra_Vta = 0;
    QList<CondicionCpraVta> lstCondiciones;
    // Cost analysis: the selected entries of LstListas, in list order.
    QStringList ListasAnalisis;

    // Where the print goes (the report object's destination) and whether the report driver hands
    // the price list to the document sender.
    int Destino = DLL_Print::DestinoPantalla;
    bool EnviarPorMail = false;
};

// What one print of a price list hands to the report: the record selection, the sort list (one
// element), the five formula texts, the formula list and the report name. Labels (`Etiquetas`)
// go through the report object with the list of eleven entries; price lists through the report
// driver with sixteen.
struct TrabajoImpresion
{
    QString Seleccion;
    QStringList CamposOrden;
    QString Formula1;
    QString Formula2;
    QString Formula3;
    QString Formula4;
    QString Formula5;
    QStringList ListaFormulasReporte;
    QString NombreReporte;
    bool Etiquetas = false;
    bool AnalisisCostos = false;
    // The window's destination and e-mail switch, as EstadoImpresion has them.
    int Destino = DLL_Print::DestinoPantalla;
    bool EnviarPorMail = false;
};

// The price-list printing: turns the window's state into the selection, sort, formulas and
// report name, fills the cost analysis when that report is chosen, and hands the job to the
// report output.
class ImpresionPrecios
{
public:
    // Prints a job: resolves the report name to its file and prints it (report driver for price
    // lists, report object for labels). Installed by whoever wires the window to the report output.
    using Salida = std::function<void(const TrabajoImpresion&)>;

    // The Tags of the unticked price-column boxes, each followed by " - ", in index order.
    static QString ColumnasOcultas(const QList<CasillaPrecio>& chkFiltro);

    // A condition item's description: the item without its last ten characters, trimmed.
    static QString DescripcionCondicion(const QString& texto);
    // A surcharge as a formula number: "." for decimals, no thousands separator, no trailing zeros.
    static QString NumeroFormula(double valor);

    // The job for `estado`. `empresa` is the company name (setting NOMBRE) and `claveAnalisis` the
    // cost analysis's user key. Fails with `mensaje` (the builder's message for a rejected
    // criteria row) when the criteria cannot be turned into a selection.
    struct Resultado
    {
        bool ok = true;
        QString mensaje;
        // No grouping option was selected (the report name comes from labels or the analysis,
        // or stays empty).
        bool sinAgrupamiento = false;
        TrabajoImpresion trabajo;
    };
    static Resultado armaTrabajo(
        const EstadoImpresion& estado, const QString& empresa, const QString& claveAnalisis);

    // The program's output: the report object's options, the formula list, the report file from
    // the report table, then the report driver (price lists) or the report object (labels), on
    // the job's destination; its e-mail switch goes with the price lists.
    static void imprimeConReportes(const TrabajoImpresion& trabajo);

    // A surcharge as the conditions lists hold it in an item's last ten characters ("." for
    // decimals); 0 when it holds no number.
    static double PorcentajeCondicion(const QString& texto);

    // The company's address, tax number and telephone for the lists' heading, from the logged
    // business unit's data (the company's settings where the unit has none); parts that are
    // empty are left out, and so are all when they cannot be read.
    static QString DatosEmpresa();

    explicit ImpresionPrecios(Salida salida = &ImpresionPrecios::imprimeConReportes);

    // The whole print: builds the job, tells the operator of a rejected criteria row or offer
    // date ("Aviso al Operador") or of a missing grouping ("DEBE seleccionar un tipo de listado",
    // title "Error"), fills the cost analysis for its report, then prints. Any other failure goes
    // to the error reporter. False when nothing was printed.
    bool ImprimirReportePrecios(const EstadoImpresion& estado);

private:
    bool imprime(const EstadoImpresion& estado);

    Salida m_salida;
};
