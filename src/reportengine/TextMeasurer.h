#pragma once

#include <memory>
#include <vector>

#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QStringList>

#include "reportengine/DisplayList.h"
#include "reportengine/FontSubstitution.h"

// Measures text for the layout in hundredths of a millimetre, independent of any screen: fonts
// are measured at a fixed high resolution. Word widths are cached per font, since a price list
// repeats the same words (brands, units, section names) on every page.
class TextMeasurer
{
public:
    TextMeasurer(const DocumentResources& resources, FontSubstitution substitution);
    ~TextMeasurer();

    Coord width(int font, const QString& text);
    Coord lineHeight(int font);
    // Breaks `text` into lines no wider than `width`: at line ends, then between words, and
    // inside a word only when the word alone is too wide.
    QStringList wrap(int font, const QString& text, Coord width);

private:
    struct FontData
    {
        std::unique_ptr<QFontMetricsF> metrics;
        QHash<QString, Coord> widths;
        Coord lineHeight = 0;
        Coord space = 0;
    };
    FontData& data(int font);
    Coord measure(FontData& d, const QString& text);
    void breakWord(FontData& d, const QString& word, Coord width, QStringList& lines,
        QString& line, Coord& lineWidth);

    const DocumentResources& m_resources;
    FontSubstitution m_substitution;
    std::vector<std::unique_ptr<FontData>> m_fonts;
};
