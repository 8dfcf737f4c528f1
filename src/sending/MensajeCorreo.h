#pragma once

#include <QString>
#include <QStringList>

// What the sender checks in a message before anything goes to the server, and the body rules.
namespace MensajeCorreo {

enum class Problema
{
    Ninguno,
    Remitente, // "De" holds "@" but is no single address, or no reply-to address at all
    Destinatarios, // a recipient is no single address, or there is none
    Adjuntos, // an attachment is missing or cannot be read
};

struct Revision
{
    Problema problema = Problema::Ninguno;
    QString item; // the offending entry, for the message
    QString responderA;
    QStringList destinatarios;
    QStringList adjuntos; // as found on disk (names matched ignoring case)
};

// One address: something "@" something, without blanks, line breaks or list punctuation.
bool esDireccion(const QString& texto);

// Checks "De" (a text with "@" is the reply-to address, else `emailDe`, the "email_de" setting),
// "Para" and the attachment list (both ";"-separated; empty pieces are skipped). The first
// problem found stops the check.
Revision revisa(
    const QString& de, const QString& emailDe, const QString& para, const QString& adjuntos);

// The line that names the offending entry under a message; empty when there is none.
QString nombraItem(const QString& item);

struct Cuerpos
{
    QString texto;
    QString html;
};

// The bodies of the typed message (CR LF line ends): the text and its HTML without accents, both
// without the control characters a mail cannot carry.
Cuerpos cuerpos(const QString& mensaje);

// Whether a message whose box is hidden, on an account whose server is `servidorTipo`, goes as the
// link to its uploaded attachments: only on "Otro".
bool enlazaAdjuntos(const QString& servidorTipo);

// The bodies of a message whose box is hidden: the message as it is, unless enlazaAdjuntos; then
// the link to the attachments (`enlace`) when there is one, else the typed bodies.
Cuerpos cuerposOcultos(const QString& mensaje, const QString& servidorTipo, const QString& enlace);

// The HTML body goes without the accented small vowels of either case (á é í ó ú).
QString sinAcentos(QString html);

} // namespace MensajeCorreo
