#include "reports/AvisoEspera.h"

// An export of a long list takes seconds (11,360 pages, about five): without the banner the
// window showed nothing, not even the file dialog gone, until the file was written.
AvisoEspera::AvisoEspera(PageSink* destino)
    : AvisoPaginas(QStringLiteral("Generando Reporte"), destino)
{
    avanza();
}

void AvisoEspera::avanza(int pagina)
{
    // A repaint per page would cost more than the page itself.
    if (!hayCartel() || (m_reloj.isValid() && m_reloj.elapsed() < 100))
        return;
    m_reloj.start();
    muestra(QStringLiteral("Espere Por Favor"),
        pagina > 0 ? QStringLiteral("Página %1").arg(pagina) : QString());
}

bool AvisoEspera::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    ++m_paginas;
    avanza(m_paginas);
    return AvisoPaginas::page(page, resources, deferred);
}
