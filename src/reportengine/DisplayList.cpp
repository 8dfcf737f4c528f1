#include "reportengine/DisplayList.h"

void PageDisplayList::clear()
{
    number = 0;
    items.clear();
    strings.clear();
}

DisplayItem& PageDisplayList::addText(const QString& text)
{
    strings.push_back(text);
    DisplayItem& item = items.emplace_back();
    item.kind = DisplayKind::Text;
    item.ref = qint32(strings.size() - 1);
    return item;
}

QString DeferredValues::resolve(const QString& templ, qint32 slot) const
{
    const QString value
        = slot >= 0 && std::size_t(slot) < slots.size() ? slots[std::size_t(slot)] : QString();
    QString text = templ;
    text.replace(DeferredMark, value);
    return text;
}

QString DeferredValues::pending(const QString& templ)
{
    QString text = templ;
    text.replace(DeferredMark, QStringLiteral("..."));
    return text;
}

int DocumentResources::addFont(const FontSpec& font)
{
    for (std::size_t i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i] == font)
            return int(i);
    }
    m_fonts.push_back(font);
    return int(m_fonts.size() - 1);
}

int DocumentResources::addImage(const QImage& image)
{
    // The same logo or QR image on every page is stored once: QImage copies share a cache key.
    const auto found = m_imageByKey.constFind(image.cacheKey());
    if (found != m_imageByKey.constEnd())
        return found.value();
    m_images.push_back(image);
    const int index = int(m_images.size() - 1);
    m_imageByKey.insert(image.cacheKey(), index);
    return index;
}
