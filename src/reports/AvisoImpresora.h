#pragma once

#include <QString>

#include "reportengine/PageSink.h"

class Dll_Display;

// The pages on their way to a printer, told in the please-wait banner (when one is installed):
// "Preparando la página N" while the pages wait for their count, then "Páginas enviadas a la
// impresora: N de M" (M once the count is known). Passes everything on to `destino`, which must
// outlive it; the banner opens with it and closes when it is destroyed. The banner serves
// pending events at each page: the caller keeps its window from being closed meanwhile.
class AvisoImpresora final : public PageSink
{
public:
    explicit AvisoImpresora(PageSink& destino);
    ~AvisoImpresora() override;
    AvisoImpresora(const AvisoImpresora&) = delete;
    AvisoImpresora& operator=(const AvisoImpresora&) = delete;

    // A page laid out; told only while the pages wait for their count before going out.
    void preparada(int pagina);

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override;
    bool wantsPages() const override;
    QString errorString() const override;

private:
    void muestra(const QString& linea);

    PageSink& m_destino;
    Dll_Display* m_cartel;
    int m_enviadas = 0;
};
