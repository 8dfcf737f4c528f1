#pragma once

#include <QElapsedTimer>

#include "reports/AvisoPaginas.h"

// The please-wait banner (when one is installed) over work that makes a file of a report, such
// as an export or the attachment of a mail: "Generando Reporte" / "Espere Por Favor" and the
// page at hand. Opens with the object and closes when it is destroyed. As a page sink it passes
// everything on to `destino` (none: the pages go nowhere) and counts the pages. The banner serves
// pending events, so the windows repaint: the caller keeps its window from being used meanwhile.
class AvisoEspera final : public AvisoPaginas
{
public:
    explicit AvisoEspera(PageSink* destino = nullptr);

    // Work goes on at page `pagina` (0: not yet at a page). Refreshes the banner at once the
    // first time, then at most every tenth of a second.
    void avanza(int pagina = 0);
    // Pages passed on so far.
    int paginas() const { return m_paginas; }

    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;

private:
    QElapsedTimer m_reloj;
    int m_paginas = 0;
};
