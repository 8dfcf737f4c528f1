#include "reports/AvisoImpresora.h"

// A long list takes a while on its way to the printer (84 pages, some 20 seconds): the banner
// tells the pages laid out, then the pages sent, so the operator sees the print is under way.
AvisoImpresora::AvisoImpresora(PageSink& destino)
    : AvisoPaginas(QStringLiteral("Imprimiendo"), &destino)
{
}

void AvisoImpresora::preparada(int pagina)
{
    if (m_enviadas == 0)
        muestra(QStringLiteral("Preparando la página %1").arg(pagina));
}

bool AvisoImpresora::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    const bool ok = AvisoPaginas::page(page, resources, deferred);
    ++m_enviadas;
    const QString total = deferred && !deferred->slots.empty() ? deferred->slots[0] : QString();
    muestra(total.isEmpty() ? QStringLiteral("Páginas enviadas a la impresora: %1").arg(m_enviadas)
                            : QStringLiteral("Páginas enviadas a la impresora: %1 de %2")
                                  .arg(m_enviadas)
                                  .arg(total));
    return ok;
}

bool AvisoImpresora::wantsPages() const
{
    return m_destino->wantsPages();
}
