#pragma once

#include <QElapsedTimer>
#include <QString>

#include "reportengine/PageSink.h"

class Dll_Display;

// The please-wait banner (when one is installed) over work that makes a file of a report, such
// as an export or the attachment of a mail: "Generando Reporte" / "Espere Por Favor" and the
// page at hand. Opens with the object and closes when it is destroyed. As a page sink it passes
// everything on to `destino` (none: the pages go nowhere) and counts the pages. The banner serves
// pending events, so the windows repaint: the caller keeps its window from being used meanwhile.
class AvisoEspera final : public PageSink
{
public:
    explicit AvisoEspera(PageSink* destino = nullptr);
    ~AvisoEspera() override;
    AvisoEspera(const AvisoEspera&) = delete;
    AvisoEspera& operator=(const AvisoEspera&) = delete;

    // Work goes on at page `pagina` (0: not yet at a page). Refreshes the banner at once the
    // first time, then at most every tenth of a second.
    void avanza(int pagina = 0);
    // Pages passed on so far.
    int paginas() const { return m_paginas; }

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override;
    QString errorString() const override;

private:
    PageSink* m_destino;
    Dll_Display* m_cartel;
    QElapsedTimer m_reloj;
    int m_paginas = 0;
};
