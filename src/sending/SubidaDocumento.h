#pragma once

#include <functional>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include "platform/Http.h"

// The pieces of an upload to the document server that need no window: the document's name on the
// server, its folder and link, the request the upload page takes, and the command file of the
// suite's FTP client, and the post itself. The sender form (uploadAdjuntoWeb, SubirArchivoHTTPS)
// puts them together and shows what went wrong.
namespace SubidaDocumento {

// "yyyyMMddHHmmss" of the server's clock, zero-padded so two moments never share a stamp.
QString sello(const QDateTime& momento);

// The document's name on the server. Default `nombre` + "_" + stamp + "." + `extension`; with
// `mantenerNombre` `nombre` + "." + `extension`; a file whose path holds ".html" or ".css"
// (any case) keeps its own name and extension, which `extension` then receives.
QString nombreSubida(const QString& archivo, const QString& nombre, QString& extension,
    bool mantenerNombre, const QDateTime& servidor);

// True when `nombre` can be a file of the data folder and a line of the command file: not empty,
// not "." or "..", no folder separator, no control character.
bool nombreValido(const QString& nombre);

struct Destino
{
    QString ruta; // the server path handed to the upload page, starting with "/"
    QString link; // "https://" + host + ruta
};
// Contract: "/Clientes/<code>/CONTRATOS/<name>"; budget: ".../PRESUPUESTOS/<name>"; otherwise the
// month's folder "/Clientes/<code>/<yyyyMM of the workstation's date>/<name>". A contract wins
// over a budget. Host and code are trimmed.
Destino destino(const QString& host, const QString& codigo, const QString& nombre, bool contrato,
    bool presupuesto, const QDate& fechaPuesto);

// Percent-encoding of the upload page's query: digits, ASCII letters and "-_.!" stay, a blank is
// "+", anything else "%XX" of its Windows-1252 byte; a character that code page lacks is "_".
QString URLEncode(const QString& texto);

// "---------------------------" and the upper-case hexadecimal milliseconds since midnight.
QString limite(int milisegundosDelDia);

// The multipart request of the upload page: field "archivo" carrying the file under its own name.
// A double quote, CR, LF or other control character of the name goes as "%XX", so the name can
// neither end the quoted value nor start a header of its own.
HttpPeticion peticion(
    const QString& url, const QString& archivo, const QString& rutaDestino, const QString& limite);

// The longest an upload of `bytes` may take: two minutes, and a second for every 8 KB beyond
// that, so a large document on a slow line gets through and a server that never finishes does not
// hold the sender for ever.
int segundosMaximos(qint64 bytes);

// Runs the transfer; the sender runs it on a worker thread while its window keeps painting.
using Ejecutor = std::function<void(const std::function<void()>&)>;

// Posts `archivo` to `url` to be stored as `rutaDestino`, with `seguridad` and at most
// `segundos` (0: as many as its size gives), through the HttpFactory service. Empty when the
// server answered 200; otherwise the text that tells what went wrong.
QString sube(const QString& url, const QString& archivo, const QString& rutaDestino,
    HttpSeguridad seguridad, int segundos, const Ejecutor& ejecuta);

// Writes `dato` and CR LF in Windows-1252 to `ruta`, replacing the file with `noAgrega`,
// appending (creating it) otherwise. Failures are silent: the command file is a courtesy to the
// FTP client, never a reason to stop an upload.
void crearArchivo(const QString& ruta, const QString& dato, bool noAgrega = false);

// "ComandosI.txt" in the data folder.
QString archivoComandos();

} // namespace SubidaDocumento
