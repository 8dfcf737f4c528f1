// Sections of the voucher whose rows come with the QR, task, other-concept and pending-order
// printing; the frame already calls them in their place.

#include "vouchers/GeneradorAuxiliar.h"

void GeneradorAuxiliar::AgregaQRFactura()
{
}

void GeneradorAuxiliar::AgregaTareas()
{
}

void GeneradorAuxiliar::AgregaInsumosOrigenNP()
{
}

void GeneradorAuxiliar::AgregaOtrosConceptos()
{
}
