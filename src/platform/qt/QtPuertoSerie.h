#pragma once

#include <memory>

#include "platform/PuertoSerie.h"

class QSerialPort;

// The serial line on QSerialPort. QSerialPort::close drops what is still queued, so cierra()
// drains first.
class QtPuertoSerie final : public PuertoSerie
{
public:
    QtPuertoSerie();
    ~QtPuertoSerie() override;

    Falla abre(const QString& dispositivo) override;
    Falla escribe(const QByteArray& bytes) override;
    Falla cierra() override;
    bool abierto() const override;

private:
    std::unique_ptr<QSerialPort> m_puerto;
};
