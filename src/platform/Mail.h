#pragma once

#include <memory>

#include <QString>
#include <QStringList>

// How mail leaves the program: one SMTP session per message, in the order the sender form
// calls it (Conectar, Crear, the message's parts, Enviar). Reached through a MailFactory that
// src/app installs; the real one speaks SMTP with libcurl, tests use it against a loopback peer.
//
// Every call may block on the network: the caller runs Conectar and Enviar away from the window
// thread. One object is used by one thread at a time.

// Transport security of every session; read by the sender from "Envio.ini".
struct MailSeguridad
{
    // Verify the server's certificate and name (system CAs, or `certificadosCA` when set).
    bool verificarCertificados = true;
    // A PEM file of trusted authorities used instead of the system's; empty for the system's.
    QString certificadosCA;
    // Send the password even when the server offers no TLS.
    bool permitirSinTls = false;
    // The port that speaks TLS from the start (no STARTTLS).
    int puertoTlsInmediato = 465;
    // Seconds to reach the server and get its greeting.
    int segundosConexion = 30;
    // Seconds a transfer may stand still before it is given up; there is no limit on the whole.
    int segundosDetenido = 60;
};

// Why the last call failed.
enum class MailFallo
{
    Ninguno,
    SinConexion, // no name resolution, no connection, no answer
    Autenticacion, // the server refused the login
    SinTls, // a password would have gone without encryption
    Seguridad, // TLS could not be set up (certificate not trusted, handshake failed)
    Rechazo, // the server refused the sender, a recipient or the message
    Datos, // a part of the message is unusable (a file that cannot be read, an address)
};

class Mail
{
public:
    virtual ~Mail() = default;

    // Connects to host:puerto and logs in with `usuario`/`clave` (no login without a password).
    // The TLS port (465) speaks TLS from the start; any other port upgrades with STARTTLS when
    // offered, and must when a password is sent. True once the server accepted the session; the
    // session is kept for Enviar.
    virtual bool Conectar(
        const QString& host, const QString& usuario, const QString& clave, int puerto)
        = 0;

    // Starts a new empty message.
    virtual bool Crear() = 0;

    virtual void setRemitente(const QString& direccion) = 0;
    virtual void setNombreRemitente(const QString& nombre) = 0;
    virtual void setResponderA(const QString& direccion) = 0;
    virtual void setMotivo(const QString& asunto) = 0;
    virtual void setMensajeTexto(const QString& texto) = 0;
    virtual void setMensajeHTML(const QString& html) = 0;

    // Adds one recipient: one address, no blanks or line breaks. False (nothing added) otherwise.
    virtual bool AgregarDestinatario(const QString& direccion) = 0;

    // Adds a file as an attachment, read from disk while the message is sent. False (nothing
    // added) when the file cannot be read.
    virtual bool Adjuntar(const QString& ruta) = 0;

    // Sends the message over the session opened by Conectar. True when the server took it.
    virtual bool Enviar() = 0;

    // The failure of the last call that returned false, a description in the program's words and
    // the server's last reply (may be empty).
    virtual MailFallo fallo() const = 0;
    virtual QString descripcionFallo() const = 0;
    virtual QString respuestaServidor() const = 0;
};

// Creates mail objects; null when mail cannot be sent at all on this machine.
class MailFactory
{
public:
    virtual ~MailFactory() = default;
    virtual std::unique_ptr<Mail> crear(const MailSeguridad& seguridad) = 0;
};
