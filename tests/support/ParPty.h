#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSerialPort>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Two linked pseudo-terminals made by socat in a private folder: what is written to puerto()
// comes out of par(). Started by the constructor, which also opens par() for reading (ready when
// listo() is true, so nothing written is lost), ended by the destructor.
class ParPty
{
public:
    ParPty();
    ~ParPty();

    bool listo() const { return m_listo; }
    QString puerto() const; // DIR/com3
    QString par() const; // DIR/peer3

    // The bytes that came out of par() until one ending with `fin` arrived, or what came within
    // `plazoMs` of silence.
    QByteArray leeHasta(const QByteArray& fin, int plazoMs = 10000);

private:
    QTemporaryDir m_carpeta;
    QProcess m_socat;
    QSerialPort m_lector;
    bool m_listo = false;
};

} // namespace testsupport
