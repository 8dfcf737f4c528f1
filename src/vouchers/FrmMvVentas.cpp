#include "vouchers/FrmMvVentas.h"

#include "platform/PuertoSerie.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "services/VariablesInicio.h"

namespace {

const QString Fuente = QStringLiteral("MSComm1");

} // namespace

PuertoSerie& ControlSerie::puerto() const
{
    PuertoSerie* puerto = Service<PuertoSerie>::tryGet();
    if (!puerto)
        throw RuntimeError(
            SinControl, QStringLiteral("No hay puerto serie en este equipo"), Fuente);
    return *puerto;
}

void ControlSerie::PortOpen(bool abrir)
{
    PuertoSerie& p = puerto();
    if (!abrir) {
        if (p.cierra() == PuertoSerie::Falla::TiempoAgotado)
            throw RuntimeError(EnvioIncompleto,
                QStringLiteral("El puerto COM%1 no terminó de enviar los datos").arg(m_numero),
                Fuente);
        return;
    }
    const QString dispositivo = PuertosSerie::dispositivo(ClaveEstacion(), m_numero);
    if (p.abre(dispositivo) != PuertoSerie::Falla::Ninguna)
        throw RuntimeError(PuertoNoDisponible,
            QStringLiteral("No se puede abrir el puerto COM%1 (%2)").arg(m_numero).arg(dispositivo),
            Fuente);
}

bool ControlSerie::PortOpen() const
{
    const PuertoSerie* p = Service<PuertoSerie>::tryGet();
    return p && p->abierto();
}

void ControlSerie::Output(const QByteArray& bytes)
{
    if (puerto().escribe(bytes) != PuertoSerie::Falla::Ninguna)
        throw RuntimeError(PuertoCerrado,
            QStringLiteral("No se pudo escribir en el puerto COM%1").arg(m_numero), Fuente);
}

void FrmMvVentas::AgregoRegargo(const Value&) { }

void FrmMvVentas::AnulacionCompleta(const QString&, const QString&, const QString&, const QString&)
{
}

void FrmMvVentas::ObtieneBorrador() { }

void FrmMvVentas::MSComm1_OnComm() { }

FrmMvVentas& gFrmMvVentas()
{
    // The form holds no connection or window: a plain object kept for the program's life.
    static FrmMvVentas formulario;
    return formulario;
}
