#pragma once

#include <QHash>
#include <QSaveFile>
#include <QFile>

#include "reportengine/FontSubstitution.h"
#include "reportengine/PageSink.h"

// Writes the pages as an RTF document a word processor can edit: each band of a page (the
// texts and images that share a line on paper) becomes a table row whose cells sit at the
// items' columns, with exact row heights and the vertical gaps kept, one page per printed page.
// Lines and boxes are not carried over: they would pin the text in drawing objects.
class RtfSink final : public PageSink
{
public:
    explicit RtfSink(const QString& path);

    bool begin(const DocumentInfo& info) override;
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues* deferred) override;
    bool finish(const DeferredValues& deferred) override;
    QString errorString() const override { return m_error; }

    // Text in RTF: control characters escaped, anything outside ASCII as \u.
    static QByteArray escaped(const QString& text);

private:
    int colorIndex(QRgb color);
    bool fail(const QString& what);

    QString m_path;
    QFile m_body; // the document's body; the font and colour tables are only known at the end
    FontSubstitution m_fonts;
    std::vector<FontSpec> m_fontSpecs;
    QHash<QRgb, int> m_colors;
    std::vector<QRgb> m_colorOrder;
    DocumentInfo m_info;
    bool m_firstPage = true;
    QString m_error;
};
