#pragma once

#include "reports/AvisoPaginas.h"

// The pages on their way to a printer, told in the please-wait banner (when one is installed):
// "Preparando la página N" while the pages wait for their count, then "Páginas enviadas a la
// impresora: N de M" (M once the count is known). Passes everything on to `destino`, which must
// outlive it; the banner opens with it and closes when it is destroyed. The banner serves
// pending events at each page: the caller keeps its window from being closed meanwhile.
class AvisoImpresora final : public AvisoPaginas
{
public:
    explicit AvisoImpresora(PageSink& destino);

    // A page laid out; told only while the pages wait for their count before going out.
    void preparada(int pagina);

    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool wantsPages() const override;

private:
    int m_enviadas = 0;
};
