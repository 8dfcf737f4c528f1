#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QString>

#include "reportengine/BandContext.h"
#include "reportengine/CompiledReport.h"
#include "reportengine/LayoutShared.h"
#include "reportengine/Paginator.h"

// TotalPageCount is unknown while pages are laid out. A field that reads it is printed as a
// deferred text worked out when pagination ends (BandContext::deferPageCountText); what else
// reads it meanwhile (a switch, the record stream) reads this stand-in.
inline constexpr qint64 TotalPagesStandIn = 987654321;

enum class Role
{
    Body,
    ReportHeader,
    GroupHeader,
    PageHeader,
    PageFooter
};

// Builds the band of one section for the record being printed: evaluates and formats its items,
// fits their texts, places snapped items and leaves deferred texts for what is known later.
// What the band shows of the run comes through its BandContext.
class BandBuilder
{
public:
    BandBuilder(const CompiledReport& report, LayoutShared& shared, Coord dx, BandContext& context)
        : m_report(report)
        , m_shared(shared)
        , m_dx(dx)
        , m_context(context)
    {
    }

    // The section's band; none when the section is hidden. `headerLevel`: the group a group
    // header opens (its totals, and the report's, are deferred).
    std::optional<Band> buildBand(const CompiledSection& s, Role role, int headerLevel = -1);

private:
    static bool isText(const ReportItem& item);

    // Whether a field's value is worked out while its band is built.
    static bool wanted(const CompiledItem& ci, const std::vector<Value>* record, bool suppressed);

    // buildBand() for a section whose items meet their right neighbours (items beside them, on
    // the same height): which items show is known first, then the snapped ones are placed from
    // the right, then the band is built.
    std::optional<Band> buildSnappedBand(const CompiledSection& s, Role role, int headerLevel);

    DisplayItem baseItem(const CompiledItem& ci) const;

    // A text that does not fit its item loses whole words; a number never loses a digit: it
    // shows '#' marks across its field instead.
    QString fitted(const CompiledItem& ci, const QString& text, Coord width, bool number);

    void addText(Band& band, const CompiledItem& ci, const QString& text, qint32 slot = -1,
        bool number = false);

    int imageFromBytes(const QByteArray& bytes);

    void addItem(
        Band& band, const CompiledItem& ci, Role role, int headerLevel, const Value& fieldValue);

    void addSpecial(Band& band, const CompiledItem& ci);

    // Where an item stands in its section, how far its text grew past its height, and which of
    // the band's display items it made.
    struct Span
    {
        Coord top = 0;
        Coord bottom = 0;
        Coord grown = 0;
        std::size_t first = 0;
        std::size_t last = 0;
        Coord shift = 0;
    };
    void noteGrowth(const Band& band, const CompiledItem& ci, std::size_t first);
    // Moves the items below grown texts down and makes the band as much taller.
    void pushBelowGrown(Band& band, const CompiledSection& s);

    const CompiledReport& m_report;
    LayoutShared& m_shared;
    Coord m_dx;
    BandContext& m_context;
    const std::pair<Coord, Coord>* m_placement = nullptr; // a snapped item's x and width
    std::vector<Span> m_spans; // of the band being built
};
