#pragma once

#include <functional>

#include <QString>

// Links to the maker's web site: the budget-file link through which a customer views and signs a
// budget.
namespace modHelpDeskWeb {

// Draws the next digit, 1 to 9, of the masking.
using GeneradorDigitos = std::function<int()>;

// Replaces the generator EnmascararId draws from and returns the one it replaced. The program's
// own, seeded once when first used, stands when none was installed; tests install fixed digits.
GeneradorDigitos setGeneradorDigitos(GeneradorDigitos generador);

// `id` with two random digits beside each character: the characters in turn first, in the middle
// and last of their triple ("A" "B" "C" "D" -> "Axx" "xBx" "xxC" "Dxx"), so they stand at
// positions 1, 5, 9, 10, 14, 18, 19 ... of a text three times as long. Never a 0 among the digits.
QString EnmascararId(const QString& id);

// "https://<sitio>/ac/budget_file?id=<masked id>&ib=<database number>&idc=<trimmed idc>". The
// database number is the configuration's DATABASE_ID_WEB, trimmed, 106 when empty.
QString LinkPresupuestoWeb(const QString& id, const QString& idc, const QString& sitio);

} // namespace modHelpDeskWeb
