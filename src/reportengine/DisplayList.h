#pragma once

#include <vector>

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>

#include "reportengine/ReportDefinition.h"

// Page display lists: what the layout hands to every output. A page is a flat list of positioned
// primitives in hundredths of a millimetre from the page's top-left corner, with its texts in a
// page-local pool. Fonts and images live once per document in DocumentResources. Every output
// (PDF, preview, printer, HTML, RTF, saved report) paints the same lists, so what is on paper is
// what is on screen.

using Coord = qint32; // 1/100 mm

constexpr Coord mmToCoord(double mm)
{
    return Coord(mm * 100.0 + (mm >= 0 ? 0.5 : -0.5));
}

constexpr double coordToMm(Coord c)
{
    return c / 100.0;
}

enum class DisplayKind : quint8
{
    Text,
    Line,
    Rect,
    Image
};

// Bits of DisplayItem::flags.
namespace DisplayFlag {
inline constexpr quint8 AlignLeft = 0x00;
inline constexpr quint8 AlignCenter = 0x01;
inline constexpr quint8 AlignRight = 0x02;
inline constexpr quint8 AlignMask = 0x03;
inline constexpr quint8 VAlignMiddle = 0x04;
inline constexpr quint8 VAlignBottom = 0x08;
inline constexpr quint8 VAlignMask = 0x0C;
inline constexpr quint8 Filled = 0x10; // Rect: fill with fillColor
inline constexpr quint8 Stroked = 0x20; // Rect: draw the outline
} // namespace DisplayFlag

// One primitive. Text is one line, already broken by the layout: outputs draw it unwrapped,
// aligned and clipped in its rectangle. A Line runs from (x, y) to (x + w, y + h).
struct DisplayItem
{
    DisplayKind kind = DisplayKind::Text;
    quint8 flags = 0;
    quint16 font = 0; // Text: index into DocumentResources::fonts
    QRgb color = 0xff000000;
    QRgb fillColor = 0;
    Coord x = 0, y = 0, w = 0, h = 0;
    Coord pen = 20; // Line, Rect: pen width
    qint32 ref = -1; // Text: index into PageDisplayList::strings; Image: resource index
    qint32 slot = -1; // Text: deferred value slot, -1 when the text is final

    bool operator==(const DisplayItem&) const = default;
};

// The character a deferred text's template holds where its slot's value goes ("Página 3 de \x01").
inline constexpr QChar DeferredMark = QChar(0x01);

struct PageDisplayList
{
    int number = 0; // 1-based
    std::vector<DisplayItem> items;
    std::vector<QString> strings;

    void clear();
    // Adds a one-line text and returns its item for the caller to finish.
    DisplayItem& addText(const QString& text);
};

// Values known only when the layout ends (total pages, group summaries printed in headers).
// Slot 0 is always the total page count.
struct DeferredValues
{
    std::vector<QString> slots;

    // Text of a deferred item: its template with the mark replaced by the slot's value.
    QString resolve(const QString& templ, qint32 slot) const;
    // The same while the layout runs: "..." where the value will go ("Página 1 de ...").
    static QString pending(const QString& templ);
};

struct DocumentInfo
{
    QString title;
    QString creator;
    QString reportName;
    Coord pageWidth = mmToCoord(210);
    Coord pageHeight = mmToCoord(297);
    bool landscape = false;
};

// Fonts and images of a document; indexes only grow, so a page refers to resources added before
// or while it was laid out.
class DocumentResources
{
public:
    // Font as written in the definition; outputs substitute the family when they build a QFont.
    int addFont(const FontSpec& font);
    int addImage(const QImage& image);

    const std::vector<FontSpec>& fonts() const { return m_fonts; }
    const std::vector<QImage>& images() const { return m_images; }
    const FontSpec& font(int index) const { return m_fonts.at(std::size_t(index)); }
    const QImage& image(int index) const { return m_images.at(std::size_t(index)); }

private:
    std::vector<FontSpec> m_fonts;
    std::vector<QImage> m_images;
    QHash<qint64, int> m_imageByKey;
};
