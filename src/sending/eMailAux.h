#pragma once

#include <QString>
#include <QStringList>

// The mail module: the outcome the sender form leaves for its callers, and the HTML and address
// helpers of the mails the program writes.
namespace eMailAux {

// 1: the last send was started with "ENVIO AUTOMATICO" ticked, 0: without it, 2: the operator
// left the sender with its exit button. 0 at program start; not kept across runs.
inline int gResultadoEnvio = 0;
// Recipients, subject and message of the sender's fields at its last unload.
inline QString gEmailPara;
inline QString gEmailAsunto;
inline QString gEmailMensaje;
// Recipients chosen in the multiple-choice lookup; one empty element after the sender loads.
inline QStringList gDestinatarios;

// Writes the footer page "PiePag.htm" (company name in bold) into the temporary folder and
// leaves its path in `RutaPie`. Failures go to ManejoErrores ("GeneraArchivoPie").
void GeneraArchivoPie(QString& RutaPie);

// Writes "Style_CtrlDIFF.css" into `Carpeta`, with one row class per classification colour.
// Failures (a folder that cannot be written) reach the caller as RuntimeError.
void GenerarEstiloCtrlDiff(const QString& Carpeta);

// A plain text as a minimal HTML page: every CR becomes "<BR>" (in the caller's variable too; the
// LF stays). Nothing is escaped: callers put HTML of their own into messages.
QString TextoAHtml(QString& Texto);

// The addresses of the account's contacts flagged for the voucher type `TC` (";"-joined, in the
// order read), else the account's additional mail address, without a trailing ";".
QString ObtieneMailsContactos(const QString& TC, const QString& Cuenta);

} // namespace eMailAux
