#pragma once

#include <QString>

// Codes of the electronic-invoice data that this program does not look up.
namespace Stuff10 {

// The voucher-type code for the QR data: always 0.
int FuncionVaciaTres(const QString& TC, const QString& Letra, bool EsMiPyME);

// The recipient's document-type code for the QR data: always 0.
int FuncionVaciaUno(const QString& DocumentoTipo);

} // namespace Stuff10
