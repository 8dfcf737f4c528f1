#include "reportengine/PageText.h"

QString displayText(
    const PageDisplayList& page, const DisplayItem& item, const DeferredValues* deferred)
{
    if (item.kind != DisplayKind::Text || item.ref < 0
        || std::size_t(item.ref) >= page.strings.size())
        return QString();
    QString text = page.strings[std::size_t(item.ref)];
    if (item.slot >= 0) {
        if (deferred)
            text = deferred->resolve(text, item.slot);
        else
            text = DeferredValues::pending(text);
    }
    return text;
}
