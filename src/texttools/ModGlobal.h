#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The suite's shared helpers: the mail HTML's colours and the texts of voucher printing. One
// module for the sender and the vouchers, so the program links one definition of each.
namespace ModGlobal {

// A colour number as text (red in the low byte) as an HTML colour "#RRGGBB". Longer hexadecimal
// forms (negative numbers) keep their last six digits. Text that is no number raises run-time
// error 13.
QString ColorAHtml(const QString& Color);

// Splits a "|"-separated list into its items, each trimmed, always followed by one empty item.
// One "|" at the very start is ignored; an empty item between two "|" counts. A blank text gives
// the single empty item.
void Cuenta_Series_Y_Lotes(const QString& Texto, QStringList& Elementos);

// The batches of an item line that carry a positive amount, in order, each followed by one blank
// ("" when none). `Lotes` and `Series` are the line's batch and amount lists; every character of
// code 255 is removed from the caller's `Lotes`. An amount that is no number counts as zero.
QString Cuenta_Series_Lotes(QString& Lotes, const QString& Series);

// A batch of an item line that Cuenta_Series_Lotes lists, with its amount as the line wrote it.
struct LoteConCantidad
{
    QString lote;
    QString cantidad;
};

// The batches Cuenta_Series_Lotes lists, in order, each with its own amount. `Lotes` is taken as
// it is (the caller removes the filler character).
QList<LoteConCantidad> lotesConCantidad(const QString& Lotes, const QString& Series);

// The batches of an item line that carry a positive amount, each with its amount, as a delivery
// note prints them: "LT-2611A: 2, D26-0102: 5". A batch without a name is left out.
QString textoLotesConCantidad(const QList<LoteConCantidad>& lotes);

// The accent escapes of a rich-text description as letters ("\e1" á, "\e9" é, "\ed" í, "\f3" ó,
// ignoring case) and every "ú" or "Ú" as "u", in the caller's text too; returns the result.
QString ConvierteAcentosRTF(QString& Texto);

} // namespace ModGlobal
