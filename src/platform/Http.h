#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// HTTPS requests of the document sender: one POST whose body is head bytes, a file read from disk
// as it is sent, and tail bytes, so a file of any size travels with memory flat. Reached through
// an HttpFactory that src/app installs (libcurl); tests use it against a loopback peer.
//
// `post` blocks on the network: the caller runs it away from the window thread. One object is
// used by one thread at a time.

// Transport security, the same settings as the mail's ("Envio.ini").
struct HttpSeguridad
{
    // Verify the server's certificate and name (system CAs, or `certificadosCA` when set).
    bool verificarCertificados = true;
    // A PEM file of trusted authorities used instead of the system's; empty for the system's.
    QString certificadosCA;
    // Seconds to reach the server.
    int segundosConexion = 30;
    // Seconds a transfer may stand still before it is given up.
    int segundosDetenido = 60;
    // Seconds the whole request may take, answer included; 0 for no limit. A server that sends a
    // byte now and then never stands still, so only this ends it.
    int segundosTotal = 0;
};

struct HttpPeticion
{
    // Sent exactly as given: nothing is re-encoded or normalised.
    QString url;
    // Header lines besides the ones the transport must write (Host, Content-Length).
    QList<QPair<QByteArray, QByteArray>> cabeceras;
    QByteArray cabeza;
    // Read from disk while the body is sent; empty for none.
    QString archivo;
    QByteArray cola;
};

enum class HttpFallo
{
    Ninguno,
    SinConexion, // no name resolution, no connection, no answer, stalled
    Demora, // the whole request took longer than `segundosTotal`
    Seguridad, // TLS could not be set up (certificate not trusted, handshake failed)
    Archivo, // the file could not be read, or changed size while it was sent
};

struct HttpRespuesta
{
    HttpFallo fallo = HttpFallo::Ninguno;
    // The reason of a failure, in the program's words with the transport's detail.
    QString descripcion;
    // When the server answered: its status and the answer's text (at most 64 KB kept).
    int status = 0;
    QString texto;
    bool respondio() const { return fallo == HttpFallo::Ninguno; }
};

class Http
{
public:
    virtual ~Http() = default;
    // Sends the request and waits for the whole answer.
    virtual HttpRespuesta post(const HttpPeticion& peticion) = 0;
};

// Creates HTTP objects; null when the program cannot make requests on this machine.
class HttpFactory
{
public:
    virtual ~HttpFactory() = default;
    virtual std::unique_ptr<Http> crear(const HttpSeguridad& seguridad) = 0;
};
