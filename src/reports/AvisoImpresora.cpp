#include "reports/AvisoImpresora.h"

#include "platform/Service.h"
#include "services/Dll_Display.h"

namespace {

const QString Titulo = QStringLiteral("Imprimiendo");

} // namespace

// A long list takes a while on its way to the printer (84 pages, some 20 seconds): the banner
// tells the pages laid out, then the pages sent, so the operator sees the print is under way.
AvisoImpresora::AvisoImpresora(PageSink& destino)
    : m_destino(destino)
    , m_cartel(Service<Dll_Display>::tryGet())
{
    if (m_cartel)
        m_cartel->CartelInicio(Titulo, 0);
}

AvisoImpresora::~AvisoImpresora()
{
    if (m_cartel)
        m_cartel->CartelCerrar();
}

void AvisoImpresora::preparada(int pagina)
{
    if (m_enviadas == 0)
        muestra(QStringLiteral("Preparando la página %1").arg(pagina));
}

bool AvisoImpresora::begin(const DocumentInfo& info)
{
    return m_destino.begin(info);
}

bool AvisoImpresora::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues* deferred)
{
    const bool ok = m_destino.page(page, resources, deferred);
    ++m_enviadas;
    const QString total = deferred && !deferred->slots.empty() ? deferred->slots[0] : QString();
    muestra(total.isEmpty() ? QStringLiteral("Páginas enviadas a la impresora: %1").arg(m_enviadas)
                            : QStringLiteral("Páginas enviadas a la impresora: %1 de %2")
                                  .arg(m_enviadas)
                                  .arg(total));
    return ok;
}

bool AvisoImpresora::finish(const DeferredValues& deferred)
{
    return m_destino.finish(deferred);
}

bool AvisoImpresora::wantsResolvedPages() const
{
    return m_destino.wantsResolvedPages();
}

bool AvisoImpresora::wantsPages() const
{
    return m_destino.wantsPages();
}

QString AvisoImpresora::errorString() const
{
    return m_destino.errorString();
}

void AvisoImpresora::muestra(const QString& linea)
{
    if (m_cartel)
        m_cartel->CartelMostrar(Value(Titulo), Value(linea), Value(QString()));
}
