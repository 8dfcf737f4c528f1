#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/Value.h"

class PuertoSerie;

// The serial-port control the sales form carries: a port number, the port opened and closed, and
// bytes sent. The line itself (9600 8N1) is the installed PuertoSerie's; the port number maps to a
// device through this workstation's section of "ZR417px.INI".
class ControlSerie
{
public:
    // Run-time error numbers the control raises.
    enum Error : int
    {
        SinControl = 429, // no serial support installed on this machine
        PuertoNoDisponible = 8002, // the device is missing or held by someone else
        PuertoCerrado = 8012, // a write with the port closed, or a write the line refused
        EnvioIncompleto = 8020, // bytes still pending when the time allowed ran out
    };

    void CommPort(int numero) { m_numero = numero; }
    int CommPort() const { return m_numero; }

    // True opens port CommPort(); False waits until everything sent has left, then closes.
    // Failures raise RuntimeError with the numbers above; the port is closed after any False.
    void PortOpen(bool abrir);
    bool PortOpen() const;

    // Sends the bytes as they are. Raises PuertoCerrado when they cannot be sent.
    void Output(const QByteArray& bytes);

private:
    PuertoSerie& puerto() const;

    int m_numero = 1;
};

// The sales form of the suite, never shown here: it only hosts the serial control that the
// kitchen tickets use and two grids. One instance, made on first use and kept (gFrmMvVentas()).
class FrmMvVentas
{
public:
    ControlSerie MSComm1;
    QList<QStringList> MSFlexGrid1;
    QList<QStringList> MSFlexGrid3;

    // Kept for the suite's callers; they do nothing.
    void AgregoRegargo(const Value& cualquierimporte);
    void AnulacionCompleta(
        const QString& TC, const QString& Sucursal, const QString& Numero, const QString& Letra);
    void ObtieneBorrador();
    void MSComm1_OnComm();
};

FrmMvVentas& gFrmMvVentas();
