#include "reports/AvisoEspera.h"

#include "platform/Service.h"
#include "services/Dll_Display.h"

namespace {

const QString Titulo = QStringLiteral("Generando Reporte");

} // namespace

// An export of a long list takes seconds (11,360 pages, about five): without the banner the
// window showed nothing, not even the file dialog gone, until the file was written.
AvisoEspera::AvisoEspera(PageSink* destino)
    : m_destino(destino)
    , m_cartel(Service<Dll_Display>::tryGet())
{
    if (m_cartel)
        m_cartel->CartelInicio(Titulo, 0);
    avanza();
}

AvisoEspera::~AvisoEspera()
{
    if (m_cartel)
        m_cartel->CartelCerrar();
}

void AvisoEspera::avanza(int pagina)
{
    // A repaint per page would cost more than the page itself.
    if (!m_cartel || (m_reloj.isValid() && m_reloj.elapsed() < 100))
        return;
    m_reloj.start();
    m_cartel->CartelMostrar(Value(Titulo), Value(QStringLiteral("Espere Por Favor")),
        Value(pagina > 0 ? QStringLiteral("Página %1").arg(pagina) : QString()));
}

bool AvisoEspera::begin(const DocumentInfo& info)
{
    return !m_destino || m_destino->begin(info);
}

bool AvisoEspera::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    ++m_paginas;
    avanza(m_paginas);
    return !m_destino || m_destino->page(page, resources, deferred);
}

bool AvisoEspera::finish(const DeferredValues& deferred)
{
    return !m_destino || m_destino->finish(deferred);
}

bool AvisoEspera::wantsResolvedPages() const
{
    return m_destino && m_destino->wantsResolvedPages();
}

QString AvisoEspera::errorString() const
{
    return m_destino ? m_destino->errorString() : QString();
}
