#include "reports/AvisoPaginas.h"

#include "platform/Service.h"
#include "services/Dll_Display.h"

AvisoPaginas::AvisoPaginas(const QString& titulo, PageSink* destino)
    : m_destino(destino)
    , m_titulo(titulo)
    , m_cartel(Service<Dll_Display>::tryGet())
{
    if (m_cartel)
        m_cartel->CartelInicio(m_titulo, 0);
}

AvisoPaginas::~AvisoPaginas()
{
    if (m_cartel)
        m_cartel->CartelCerrar();
}

void AvisoPaginas::muestra(const QString& linea, const QString& otraLinea)
{
    if (m_cartel)
        m_cartel->CartelMostrar(Value(m_titulo), Value(linea), Value(otraLinea));
}

bool AvisoPaginas::begin(const DocumentInfo& info)
{
    return !m_destino || m_destino->begin(info);
}

bool AvisoPaginas::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    return !m_destino || m_destino->page(page, resources, deferred);
}

bool AvisoPaginas::finish(const DeferredValues& deferred)
{
    return !m_destino || m_destino->finish(deferred);
}

bool AvisoPaginas::wantsResolvedPages() const
{
    return m_destino && m_destino->wantsResolvedPages();
}

QString AvisoPaginas::errorString() const
{
    return m_destino ? m_destino->errorString() : QString();
}
