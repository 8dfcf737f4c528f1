#include "platform/qt/QtPuertoSerie.h"

#include <QDeadlineTimer>
#include <QSerialPort>

QtPuertoSerie::QtPuertoSerie()
    : m_puerto(std::make_unique<QSerialPort>())
{
}

QtPuertoSerie::~QtPuertoSerie()
{
    if (m_puerto->isOpen())
        cierra();
}

PuertoSerie::Falla QtPuertoSerie::abre(const QString& dispositivo)
{
    if (m_puerto->isOpen())
        cierra();
    m_puerto->setPortName(dispositivo);
    if (!m_puerto->open(QIODevice::ReadWrite))
        return Falla::NoDisponible;
    const bool configurado = m_puerto->setBaudRate(QSerialPort::Baud9600)
        && m_puerto->setDataBits(QSerialPort::Data8) && m_puerto->setParity(QSerialPort::NoParity)
        && m_puerto->setStopBits(QSerialPort::OneStop)
        && m_puerto->setFlowControl(QSerialPort::NoFlowControl);
    if (!configurado) {
        m_puerto->close();
        return Falla::NoDisponible;
    }
    return Falla::Ninguna;
}

PuertoSerie::Falla QtPuertoSerie::escribe(const QByteArray& bytes)
{
    if (!m_puerto->isOpen() || m_puerto->write(bytes) != bytes.size())
        return Falla::Escritura;
    return Falla::Ninguna;
}

PuertoSerie::Falla QtPuertoSerie::cierra()
{
    if (!m_puerto->isOpen())
        return Falla::Ninguna;
    // The time-out is set once from what is pending now: a printer that stops taking bytes must
    // not hold the program for longer than the whole ticket would take.
    QDeadlineTimer plazo(PuertosSerie::tiempoDrenado(m_puerto->bytesToWrite()));
    bool drenado = true;
    while (m_puerto->bytesToWrite() > 0) {
        if (plazo.hasExpired() || !m_puerto->waitForBytesWritten(int(plazo.remainingTime()))) {
            drenado = m_puerto->bytesToWrite() == 0;
            break;
        }
    }
    m_puerto->close();
    return drenado ? Falla::Ninguna : Falla::TiempoAgotado;
}

bool QtPuertoSerie::abierto() const
{
    return m_puerto->isOpen();
}
