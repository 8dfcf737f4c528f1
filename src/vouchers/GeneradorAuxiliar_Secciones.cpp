// The voucher's QR row; the frame already calls it in its place.

#include "vouchers/GeneradorAuxiliar.h"

void GeneradorAuxiliar::AgregaQRFactura()
{
}
