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

    // Width as the outputs draw it: the characters' own advances, with no pair kerning.
    Coord width(int font, const QString& text);
    Coord lineHeight(int font);
    // The longest start of `text` that fits `width` and ends at a word's end, trailing blanks
    // dropped; when not even the first word fits, as much of it as fits with "…" after it.
    QString cutAtWord(int font, const QString& text, Coord width);
    // '#' repeated as often as fits `width` (at least once): a number too wide for its field.
    QString overflowMarks(int font, Coord width);
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
        qreal latin[0x180] = {}; // advances in device pixels; < 0 until measured
        QHash<char16_t, qreal> other;
    };
    FontData& data(int font);
    Coord measure(FontData& d, const QString& text);
    qreal advance(FontData& d, QChar c);
    void breakWord(FontData& d, const QString& word, Coord width, QStringList& lines, QString& line,
        Coord& lineWidth);

    const DocumentResources& m_resources;
    FontSubstitution m_substitution;
    std::vector<std::unique_ptr<FontData>> m_fonts;
};
