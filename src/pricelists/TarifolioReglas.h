#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "platform/Value.h"

// What the price-list window decides, apart from its controls: the mode it opens in and what each
// mode shows, the captions of the price columns, the statements that fill its lists, the text of
// a purchase/sales condition, the window height in sales mode, the list picker's limit and what a
// report toolbar key does. The window reads its controls, asks this class and writes back.
class TarifolioReglas
{
public:
    // The mode is fixed by the start-up parameter "@ParametroAdicional" and RETAIL for the run.
    TarifolioReglas(bool modoCompras, bool usaRetail);

    // "C" in any case, and nothing else, opens the purchase lists.
    static bool esModoCompras(const QString& parametroAdicional);
    // The setting RETAIL as read: "SI" in any case; not trimmed, so "SI " does not count.
    static bool esRetail(const QString& valorRetail);

    bool ModoCompras() const { return m_modoCompras; }
    bool UsaRetail() const { return m_usaRetail; }

    // "Listas de Precios de Compras" or "Listas de Precios de Ventas".
    QString titulo() const;
    // The TIPOLISTA the window works on: "C" or "V".
    QString TipoLista() const;

    // Sales mode offers the purchase/sales conditions and the selective box; purchase mode the
    // cost analysis with its list picker.
    bool muestraCondiciones() const { return !m_modoCompras; }
    bool muestraSelectivo() const { return !m_modoCompras; }
    bool muestraAnalisis() const { return m_modoCompras; }

    // Whether price class `clase` (1..8) is left out with RETAIL: classes 4 to 8 in purchase mode,
    // 1 to 3 in sales mode. The cost (0) is never left out.
    bool claseOculta(int clase) const;

    // Caption of price class `clase` from its setting NOM_PCLASE<clase>; a blank setting (the
    // reader gives one blank for a missing key) gives "CLASE <clase>".
    static QString tituloClase(int clase, const QString& valorConfigurado);
    static QString claveTituloClase(int clase);

    // Window height in sales mode, in twips: twice the conditions frame's height plus its top,
    // less 500, worked in single precision as the window always did (7150 for the design frame).
    static int alturaVentas(
        float topeCondiciones = TopeCondiciones, float altoCondiciones = AltoCondiciones);
    static constexpr float TopeCondiciones = 5820.0F;
    static constexpr float AltoCondiciones = 915.0F;

    // The statements of the cost-analysis list picker, in order: the groups of sales lists, then
    // the sales lists in no group. Both read sales lists, also in purchase mode, because the
    // analysis compares purchase costs with sales lists.
    static QStringList sentenciasListasAnalisis();
    // The field each statement of sentenciasListasAnalisis() gives.
    static QStringList camposListasAnalisis();

    // The purchase/sales conditions (trailing blank kept).
    static QString sentenciaCondiciones();
    // An item of the conditions lists: "<description> (<surcharge>%)", 60 blanks, then the bare
    // surcharge again, out of sight, where the printing reads it back.
    static QString textoCondicion(const Value& descripcion, const Value& porcentaje);
    // What the operator reads of such an item: the text before the blanks that hide the bare
    // surcharge; an item without them is shown whole.
    static QString textoVisibleCondicion(const QString& item);

    // The list picker accepts this many ticked entries at most.
    static constexpr int MaximoListas = 4;
    static bool excedeListas(int tildadas) { return tildadas > MaximoListas; }
    static QString avisoMaximoListas();

    // The starting date of offers as the workstation writes a short date.
    static QString fechaCorta(const QDate& fecha);

    // What a report toolbar key asks for; the key in any case.
    enum class Accion
    {
        Ninguna,
        Pantalla,
        Impresora,
        Mensaje,
        Consultar,
        Cerrar,
    };
    static Accion accionBarra(const QString& clave);

private:
    bool m_modoCompras;
    bool m_usaRetail;
};
