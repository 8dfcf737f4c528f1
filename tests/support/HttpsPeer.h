#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The loopback document server of tests/support/https_peer.py, one per test: started on a free
// port of 127.0.0.1 with a certificate of its own, recording each request in a folder of its own
// and answering every one with the status and text it is given; `goteo` drips the answer two
// bytes every half second for minutes.
class HttpsPeer
{
public:
    explicit HttpsPeer(
        int status = 200, const QString& texto = QStringLiteral("OK"), bool goteo = false);
    ~HttpsPeer();

    bool iniciado() const { return m_puerto > 0; }
    int puerto() const { return m_puerto; }
    // "127.0.0.1:port", as "Envio.ini" names the document server.
    QString servidor() const;
    // The certificate the peer presents (PEM), to be trusted through "CertificadosCA".
    QString certificado() const;
    // Requests received, in order: the request line and header lines, and the body bytes.
    struct Peticion
    {
        QString linea;
        QStringList cabeceras;
        QByteArray cuerpo;
        QString archivoCuerpo;
        // The value of a header by name (ignoring case); empty when absent.
        QString cabecera(const QString& nombre) const;
    };
    QList<Peticion> peticiones(bool leeCuerpos = true) const;

private:
    QTemporaryDir m_dir;
    QProcess m_proceso;
    int m_puerto = 0;
};
