#pragma once

#include <QString>

#include "reportengine/FontSubstitution.h"
#include "reportengine/OutputFile.h"
#include "reportengine/PageSink.h"

// Writes the pages as one HTML file that looks like the printed report: each page is a box of
// the paper's size, every text, line, box and image placed where it is on paper (in mm). Images
// are inline (data: URLs), so the file stands alone. Printing it from a browser gives one sheet
// per page. The file is written under a temporary name and only appears when finished.
class HtmlSink final : public PageSink
{
public:
    explicit HtmlSink(const QString& path);

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    QString errorString() const override { return m_error; }

private:
    bool flush();
    void addStyles(const DocumentResources& resources);

    QString m_path;
    OutputFile m_file;
    FontSubstitution m_fonts;
    DocumentInfo m_info;
    std::size_t m_fontsStyled = 0;
    QHash<int, QByteArray> m_imageUrls; // resource index -> data: URL, made once
    QByteArray m_out;
    QString m_error;
};
