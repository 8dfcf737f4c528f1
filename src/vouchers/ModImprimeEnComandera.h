#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include "platform/Value.h"

// Kitchen, bar and plain order tickets for the small serial ticket printers: the ticket's bytes
// (text in Windows-1252 mixed with the printer's control sequences), built without a port.
namespace ModImprimeEnComandera {

enum class TipoTicket
{
    Comun, // every item, with prices and the total
    Cocina, // what the kitchen still has to prepare, no prices
    Barra, // what the bar still has to serve, no prices
};

// How the workstation's kitchen-printer record wants its tickets, texts already resolved (a
// blank header replaced by the company's name or address).
struct DisenoTicket
{
    bool imprimeEncabezado1 = false;
    QString encabezado1;
    bool imprimeEncabezado2 = false;
    QString encabezado2;
    bool imprimeNumero = false;
    bool imprimeCliente = false;
    bool imprimePie = false;
    QString pie;
    bool detallePrecio = false;
};

// One item row of the order. A Null column arrives as 0.
struct ItemTicket
{
    QString descripcion;
    Currency cantidad;
    Currency cantidadPreparada;
    Currency cantidadAFacturar;
    Currency importe; // unit price
    QString talledefault; // "C" kitchen, "B" bar, both, or blank
};

struct DatosTicket
{
    QString TC;
    QString IdComprobante;
    QString momento; // the date line, already formatted
    QString mesa;
    QString mozo;
    QString cliente;
    Currency total;
    QList<ItemTicket> items;
};

// A number with at least one integer digit and exactly two decimals, no grouping, rounded half
// away from zero ("###0.00").
QString FormatoDosDecimales(Currency valor, QChar separador);

// One priced line of exactly `Ancho` characters: the description fitted left, "$ " and the amount
// right-aligned in 7. An amount wider than 7 is never cut: the description gives up the room.
QString FormateaLineaComandera(
    const QString& Descripcion, Currency Importe, double Ancho, QChar separador);

// The ticket as the writes to send, in order; each write goes out whole. The last one ends in
// the paper cut.
QList<QByteArray> EscriturasTicket(
    const DisenoTicket& diseno, const DatosTicket& datos, TipoTicket tipo, QChar separador);

} // namespace ModImprimeEnComandera

namespace ModImprimeEnComandera {

// Prints one ticket of the order `TC` `IdComprobante` on this workstation's ticket printer (its
// record in "Comanderas.cfg"; `Comandera` is the voucher's print destination, "Comandera :" and
// the printer's name, or blank for any): a kitchen ticket (`Cocina`), a bar ticket (`Barra`) or a
// plain priced ticket. Says so in a box when the workstation has no printer or the port cannot be
// opened; other failures go to ManejoErrores under "ImprimeEnComandera" (Retry, Ignore; any other
// answer closes the port and gives up). True when the whole ticket left and nothing failed.
bool ImprimeEnComandera(const QString& TC, const QString& IdComprobante, const QString& Comandera,
    bool Cocina, bool Barra);

} // namespace ModImprimeEnComandera
