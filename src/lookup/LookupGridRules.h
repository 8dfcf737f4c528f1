#pragma once

#include <optional>

#include <QColor>
#include <QString>

#include "platform/Value.h"

// The lookup grid's rules that do not need a window: which table a statement looks up, how wide a
// column starts, which stock level an article row is at, and how quantity cells are read and
// written. Names follow the grid dialog Lib_FrmCons3.
namespace LookupGridRules {

// Widest column in characters before the "@10" widening.
inline constexpr int MaxColumnChars = 60;
// Width in characters of currency and numeric columns, whatever their defined size.
inline constexpr int NumericColumnChars = 12;
// Caption of the column that carries typed quantities.
inline const QString QuantityCaption = QStringLiteral("**Cantidad**");

// The table the statement reads: the word after the first "from" (any case), up to the next
// blank. The statement is expected to end in a blank, as the dialog's load leaves it. Empty when
// the statement holds no "from".
QString tablaConsulta(const QString& sql);

// An article lookup: the statement mentions "articulos" anywhere (any case).
bool esConsultaArticulos(const QString& sql);

// The statement reads the article tables whose PRECIO1..PRECIO8 columns take the configured
// price-class names: it mentions "V_MA_ARTICULOS" or "STK_MA_ARTICULOS" (any case).
bool usaNombresDeListas(const QString& sql);

// The configuration key that names the price class of a column ("PRECIO3" -> "NOM_PCLASE3"), or
// empty when the field is none of PRECIO1..PRECIO8 (any case).
QString clavePrecio(const QString& fieldName);

// A column of numbers (integers, floating, currency, decimal, numeric): sorted by value and
// aligned right.
bool esColumnaNumerica(int adoType);

// The starting width of a column in characters: currency and numeric columns 12, others their
// defined size; when the database gives no size (0 or less, or a long text whose size is the
// largest there is), the longer of the caption and the longest value. At most 60; the "@10"
// widening of non-article lookups adds 10 afterwards.
int anchoCaracteres(
    int adoType, qint64 definedSize, int captionLength, int longestValue, bool widen10);

// Stock level 1..4 of an article row from its reorder point and stock (the fields' values), or
// nothing when either is Null, blank or not a number:
//   P = 0 and S > 0 -> 1;  P > 0 and S > P -> 2;  P > 0 and S < P -> 3;  otherwise -> 4.
std::optional<int> nivelStock(const Value& puntoPedido, const Value& stock);

// A stock colour member (StkNivel1..4) as a colour: a whole number in the suite's colour order
// (red in the low byte, then green, then blue), given as a number or as text. Nothing when it is
// empty or blank, or is no number.
std::optional<QColor> colorDeNivel(const Value& nivel);

// The leading number of a cell: digits with one decimal separator, which may be `decimalPoint`
// or "."; an optional sign. 0 when the text does not start with a number.
double leeCantidad(const QString& text, QChar decimalPoint);

// A quantity with the given number of decimals, no grouping, `decimalPoint` as separator.
QString formatoCantidad(double value, int decimals, QChar decimalPoint);

} // namespace LookupGridRules
