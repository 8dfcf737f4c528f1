#pragma once

#include <functional>

#include <QHash>
#include <QString>
#include <QStringList>

class FrmEnviar;
class QTextStream;

// The rp_send commands of documents mailed on their own:
//
//   documento --tc TC --id ID [--cuenta C] [--forzar] [--para A] [--pantalla]
//       renders the voucher and mails it by its type's rule (--forzar: without one; --para: the
//       fixed recipients); prints the work folder, the attachments, what a shown sender held and
//       the log rows
//   especial --cuenta C --archivo F    the text file F as message and attachment to the account
//   exportar ORIGEN DESTINO CODIGO     a saved report exported in the format CODIGO (31 PDF, ...)
//   enlace --tc PR --id ID --cuenta C [--para A] [--cambiar] [--documentos HOST:PORT]
//       the budget rendered, uploaded and recorded, its link written into the message (--cambiar:
//       only the message's link replaced); prints the message, the attachment and the upload
namespace ComandosDocumento {

// The usage lines of these commands.
const char* uso();

// Command words, options with a value and flags these commands add to rp_send.
const QStringList& comandos();
const QStringList& opciones();
const QStringList& banderas();

// True when `comando`'s required options (or positional arguments) are there.
bool completo(const QString& comando, const QHash<QString, QStringList>& valores,
    const QStringList& posicionales);

// Runs `comando`. `prepara` points a new sender at the tool's server and settings; `registro`
// prints the log rows written since the command started and tells whether the last one is "OK".
// Exit status as rp_send's: 0 done, 1 not sent or failed.
int ejecuta(const QString& comando, const QHash<QString, QStringList>& valores,
    const QStringList& posicionales, const std::function<void(FrmEnviar&)>& prepara,
    const std::function<bool()>& registro, QTextStream& salida);

} // namespace ComandosDocumento
