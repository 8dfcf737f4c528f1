#pragma once

#include <QByteArray>
#include <QString>

// A serial line to a ticket printer: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control. One port is open at a time; the caller opens, writes and closes within one ticket.
class PuertoSerie
{
public:
    enum class Falla
    {
        Ninguna,
        NoDisponible, // the device is missing or held by someone else
        Escritura, // the line refused the bytes
        TiempoAgotado, // bytes were still pending when the drain time-out ran out
    };

    virtual ~PuertoSerie() = default;

    // Opens `dispositivo` (a device path such as "/dev/ttyS2"). NoDisponible when it cannot.
    virtual Falla abre(const QString& dispositivo) = 0;
    // Queues the bytes in order. Escritura when the port is closed or the write fails.
    virtual Falla escribe(const QByteArray& bytes) = 0;
    // Waits until every byte written has left (a time-out that grows with the bytes pending, at
    // the line's speed), then closes. The port is closed on return whatever the answer.
    virtual Falla cierra() = 0;
    virtual bool abierto() const = 0;
    // The device a line fixed to one opens whatever it is asked (a tool's --puerto); empty for a
    // line that opens the device asked.
    virtual QString dispositivoFijo() const { return QString(); }
};

namespace PuertosSerie {

// The device of port number `numero`: key "COM<numero>" of `seccion` in "ZR417px.INI" (program
// folder), otherwise "/dev/ttyS<numero - 1>".
QString dispositivo(const QString& seccion, int numero);

// Milliseconds allowed for `pendientes` bytes to leave at 9600 baud (ten bits a byte), with a
// margin for the printer's own pauses.
int tiempoDrenado(qint64 pendientes);

} // namespace PuertosSerie
