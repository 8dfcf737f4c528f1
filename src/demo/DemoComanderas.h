#pragma once

#include <QString>

class SqliteFile;

// The demo's restaurant side: articles served by the kitchen, the bar, both or neither; table
// orders ("PE") and an order note ("NP") partly prepared and invoiced, with a free-text item and
// long descriptions; the print settings that send orders to the ticket printer; and the ticket
// printer of the workstation that generates the demo. The order note's printing rule is the one
// the configuration already holds ("NPS_IMPRESION_COCINA").
namespace DemoComanderas {

// The orders the demo holds.
inline constexpr const char* kPedidoMesa = "000300000101X";
inline constexpr const char* kPedidoLargo = "000300000102X";
inline constexpr const char* kNotaPedido = "000300000201X";

void seed(SqliteFile& file, int articles);

// "Comanderas.cfg" in `folder`: printer "COCINA" on COM3 for this machine and login, with both
// headers, the number, the customer, the footer and priced detail. Empty on success, else why.
QString escribeComanderas(const QString& folder);

} // namespace DemoComanderas
