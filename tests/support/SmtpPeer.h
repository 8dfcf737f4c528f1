#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The loopback SMTP server of tests/support/smtp_peer.py, one per test: started on a free port of
// 127.0.0.1, writing each message it accepts into a folder of its own. A certificate for
// 127.0.0.1 is made in the same folder when TLS is asked for.
class SmtpPeer
{
public:
    struct Opciones
    {
        QString usuario;
        QString clave;
        bool tls = false; // STARTTLS offered
        bool tlsInmediato = false; // TLS from the start
        bool authSinTls = false; // AUTH offered without TLS
        QStringList rechaza = {};
        bool rechazaMensajes = false; // every message refused once its data is in
    };

    explicit SmtpPeer(const Opciones& opciones);
    ~SmtpPeer();

    bool iniciado() const { return m_puerto > 0; }
    int puerto() const { return m_puerto; }
    // The certificate the peer presents (PEM), to be trusted through "CertificadosCA".
    QString certificado() const;
    // Messages received, in order.
    QStringList mensajes() const;
    // Headers and parts of a received message, as tests/support/eml_summary.py reads them.
    static QJsonObject resumen(const QString& eml);
    // The envelope beside a message: "MAIL FROM:", "RCPT TO:", "AUTH:", "TLS:" lines.
    static QStringList sobre(const QString& eml);
    // A port nobody listens on.
    static int puertoCerrado();

private:
    QTemporaryDir m_dir;
    QProcess m_proceso;
    int m_puerto = 0;
};
