#pragma once

#include <array>

#include <QString>

// Which report file prints a report: the report table TA_REPORTES (a workstation's own row before
// the shared one), the default forms in the reports folder, the delivery-note form and the
// electronic-invoice forms.
namespace ArchivosReporte {

// The report files of the four copies of a voucher: elements 1 to 4 (element 0 is not used, so
// the numbers read as the suite's copy numbers).
using ArchivosCopias = std::array<QString, 5>;

// The full path of the report file for `NombreRep` (a report name such as "RP_ListaPrecios", or a
// voucher report name such as "FC-A"). `NombreRep` changes in place: "EEFC-E", "EENC-E" and
// "EEND-E" lose their first two characters, and with a blank `Puesto` the workstation prefix
// (machine, "|", login, "|") is put in front. With `Archivos` the four copy files are written into
// its elements 1 to 4. `IdComprobante` is the voucher id (empty for other reports). A failing step
// goes to ManejoErrores as "NombreReporte$": Retry runs it again, Ignore goes on, anything else
// answers what was reached so far. A missing file is warned about by ResuelveArchivoReporte.
QString NombreReporte(QString& NombreRep, const QString& Puesto, ArchivosCopias* Archivos = nullptr,
    const QString& IdComprobante = QString());

// The file named by the report table made a full path that exists: blank means the default form
// (reports folder + `NombreBase` + ".rpt", or its voucher-type or purchase-voucher substitute); a
// name without ".rpt" gets it; a relative name is taken inside the reports folder. A missing file
// is warned about ("No se encuentra el Archivo ...") and the default form is answered, existing or
// not. `ArchivoRep` receives the answer. Never fails: a failing look-up is skipped.
QString ResuelveArchivoReporte(QString& ArchivoRep, const QString& NombreBase);

} // namespace ArchivosReporte
