#pragma once

#include <QString>

#include "reportengine/PageSink.h"

class Dll_Display;

// What the page-counting banners share: the please-wait banner (when one is installed) under
// `titulo`, open with the object and closed when it is destroyed, and every call passed on to
// `destino` (none: the pages go nowhere, as if taken). The banner serves pending events when it
// is shown: the caller keeps its window from being used meanwhile.
class AvisoPaginas : public PageSink
{
public:
    ~AvisoPaginas() override;
    AvisoPaginas(const AvisoPaginas&) = delete;
    AvisoPaginas& operator=(const AvisoPaginas&) = delete;

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    bool wantsResolvedPages() const override;
    QString errorString() const override;

protected:
    AvisoPaginas(const QString& titulo, PageSink* destino);

    bool hayCartel() const { return m_cartel != nullptr; }
    // The banner's lines under the title.
    void muestra(const QString& linea, const QString& otraLinea = QString());

    PageSink* const m_destino;

private:
    const QString m_titulo;
    Dll_Display* const m_cartel;
};
