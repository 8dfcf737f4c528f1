#pragma once

#include <QString>

// The texts of a send through the messaging web client: the message composed from the mail's
// fields and the document links, the number as the client wants it, and the address opened.
namespace EnvioWhatsapp {

// The message from the mail's "Mensaje" and "Asunto" and the links of the uploaded documents:
// the mail's anchors stripped to their bare links, a cash-balance report's body left out, then the
// subject and "Link del documento : " with the links. Lines end with CR LF.
QString componeMensaje(const QString& mensaje, const QString& asunto, const QString& links);

// The digits typed (blanks, "-", "/", "+" and anything else dropped), "549" put in front unless
// they start with it, then "+".
QString numero(const QString& tecleado);

// "https://<host>/send?phone=<number>&text=<text>", the text percent-encoded whole as UTF-8, each
// line break (CR LF, CR or LF) as "%0A".
QString direccion(const QString& host, const QString& numero, const QString& texto);

} // namespace EnvioWhatsapp
