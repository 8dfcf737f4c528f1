#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// The tests' own print server (cupsd_privado.sh) for the life of the object: cupsd on a loopback
// port with its folders in a temporary one, a cups-pdf queue "PDF" as its default, and
// CUPS_SERVER pointing at it, so Qt's printing reaches it as a site's printers. Stopped, and
// CUPS_SERVER put back, on destruction.
class CupsPrivado
{
public:
    CupsPrivado();
    ~CupsPrivado();
    CupsPrivado(const CupsPrivado&) = delete;
    CupsPrivado& operator=(const CupsPrivado&) = delete;

    // False when no print server can run on this machine; motivo() says why.
    bool iniciado() const { return !m_servidor.isEmpty(); }
    const QString& motivo() const { return m_motivo; }

    // Waits, serving events, until the queue has written a whole PDF file, at most `ms`
    // milliseconds. Its path, or empty when none came.
    QString esperaPdf(int ms = 120000) const;

private:
    QTemporaryDir m_carpeta;
    QString m_servidor;
    QString m_motivo;
    QByteArray m_servidorAnterior;
};

} // namespace testsupport
