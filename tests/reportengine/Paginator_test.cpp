#include "reportengine/Paginator.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Records which page each band landed on and where. Bands are told apart by their one text.
class RecordingHost final : public Paginator::Host
{
public:
    Coord headerHeight = 0;
    Coord footerHeight = 0;
    std::vector<std::vector<std::pair<QString, Coord>>> pages; // per page: (band, y)
    std::vector<std::vector<Coord>> xs; // per page: x of each band

    void pageOpened(Paginator& p) override
    {
        if (headerHeight > 0)
            p.placeFixed(band(QStringLiteral("PH"), headerHeight));
    }
    void pageClosing(Paginator& p) override
    {
        if (footerHeight > 0)
            p.placeFooter(band(QStringLiteral("PF"), footerHeight), p.geometry().bodyBottom);
    }
    void pageDone(const PageDisplayList& page) override
    {
        std::vector<std::pair<QString, Coord>> placed;
        std::vector<Coord> x;
        for (const DisplayItem& d : page.items) {
            placed.emplace_back(page.strings[std::size_t(d.ref)], d.y);
            x.push_back(d.x);
        }
        pages.push_back(placed);
        xs.push_back(x);
    }

    static Band band(const QString& name, Coord height, int repeatLevel = -1)
    {
        Band b;
        b.height = height;
        b.repeatLevel = repeatLevel;
        b.strings.push_back(name);
        DisplayItem d;
        d.ref = 0;
        b.items.push_back(d);
        return b;
    }

    // "A B | C" : the bands of each page, page header and footer left out.
    QString layout() const
    {
        QStringList out;
        for (const auto& page : pages) {
            QStringList names;
            for (const auto& [name, y] : page) {
                if (name != u"PH" && name != u"PF")
                    names << name;
            }
            out << names.join(u' ');
        }
        return out.join(QStringLiteral(" | "));
    }
};

Paginator::Geometry smallPage()
{
    // A body of 100 units between the top margin and the page footer.
    Paginator::Geometry g;
    g.pageWidth = 1000;
    g.pageHeight = 140;
    g.left = 10;
    g.top = 10;
    g.bodyBottom = 110;
    return g;
}

// Runs of details counted: "H d d d | H d" reads "H 3d | H 1d".
QString countingDetails(QString layout)
{
    static const QRegularExpression runs(QStringLiteral("\\bd( d)*\\b"));
    for (auto m = runs.match(layout); m.hasMatch(); m = runs.match(layout))
        layout.replace(m.capturedStart(), m.capturedLength(),
            QStringLiteral("%1d").arg(m.capturedLength() / 2 + 1));
    return layout;
}

} // namespace

TEST(Paginator, breaks_pages_by_band_height)
{
    struct Row
    {
        std::vector<Coord> heights;
        const char* layout;
    };
    const Row rows[] = {
        { { 40, 40, 20 }, "b0 b1 b2" }, // exactly full: 100 of 100
        { { 40, 40, 21 }, "b0 b1 | b2" }, { { 100, 1 }, "b0 | b1" },
        { { 150, 10 }, "b0 | b1" }, // taller than a page: alone, not split
        { {}, "" }, // nothing at all still gives one (empty) page
        { { 0, 0, 60, 60 }, "b0 b1 b2 | b3" }, // zero-height bands take no room
    };
    for (const Row& row : rows) {
        RecordingHost host;
        Paginator p(smallPage(), host);
        for (std::size_t i = 0; i < row.heights.size(); ++i)
            p.place(RecordingHost::band(QStringLiteral("b%1").arg(i), row.heights[i]));
        p.finish();

        EXPECT_EQ(host.layout(), QString::fromLatin1(row.layout)) << row.layout;
    }
}

TEST(Paginator, page_header_takes_room_and_footer_sits_at_body_bottom)
{
    RecordingHost host;
    host.headerHeight = 20;
    host.footerHeight = 30;
    Paginator p(smallPage(), host);

    for (int i = 0; i < 5; ++i)
        p.place(RecordingHost::band(QStringLiteral("d%1").arg(i), 30));
    p.finish();

    ASSERT_EQ(host.pages.size(), 3u);
    EXPECT_EQ(host.layout(), QStringLiteral("d0 d1 | d2 d3 | d4"));
    // page 1: header at the top margin, d0 below it, footer at the body's bottom.
    EXPECT_EQ(host.pages[0][0], std::make_pair(QStringLiteral("PH"), Coord(10)));
    EXPECT_EQ(host.pages[0][1], std::make_pair(QStringLiteral("d0"), Coord(30)));
    EXPECT_EQ(host.pages[0].back(), std::make_pair(QStringLiteral("PF"), Coord(110)));
    EXPECT_EQ(p.pageCount(), 3);
}

TEST(Paginator, keeps_a_block_together_when_it_fits_on_a_fresh_page)
{
    struct Row
    {
        const char* name;
        std::vector<Coord> before; // bands placed normally first
        std::vector<Coord> kept; // bands between beginKeep and endKeep
        const char* layout;
    };
    const Row rows[] = {
        { "fits where it is", { 30 }, { 30, 30 }, "a0 k0 k1" },
        { "moves whole to the next page", { 50 }, { 30, 30 }, "a0 | k0 k1" },
        // Taller than a page: given up, placed band by band from where the page stands.
        { "too tall is split", { 50 }, { 40, 40, 40 }, "a0 k0 | k1 k2" },
        { "at the top of a page it stays", {}, { 60, 30 }, "k0 k1" },
    };
    for (const Row& row : rows) {
        RecordingHost host;
        Paginator p(smallPage(), host);
        for (std::size_t i = 0; i < row.before.size(); ++i)
            p.place(RecordingHost::band(QStringLiteral("a%1").arg(i), row.before[i]));
        p.beginKeep();
        for (std::size_t i = 0; i < row.kept.size(); ++i)
            p.place(RecordingHost::band(QStringLiteral("k%1").arg(i), row.kept[i]));
        p.endKeep();
        p.finish();

        EXPECT_EQ(host.layout(), QString::fromLatin1(row.layout)) << row.name;
    }
}

TEST(Paginator, group_header_never_ends_a_page_alone)
{
    RecordingHost host;
    Paginator p(smallPage(), host);

    p.place(RecordingHost::band(QStringLiteral("d0"), 80));
    p.place(RecordingHost::band(QStringLiteral("H"), 10), true); // fits, but its detail does not
    p.place(RecordingHost::band(QStringLiteral("d1"), 20));
    p.finish();

    EXPECT_EQ(host.layout(), QStringLiteral("d0 | H d1"));
}

TEST(Paginator, requested_break_applies_before_the_next_band_only)
{
    RecordingHost host;
    Paginator p(smallPage(), host);

    p.place(RecordingHost::band(QStringLiteral("a"), 10));
    p.requestBreak();
    p.place(RecordingHost::band(QStringLiteral("b"), 10));
    p.place(RecordingHost::band(QStringLiteral("c"), 10));
    p.requestBreak(); // nothing follows: no empty page at the end
    p.finish();

    EXPECT_EQ(host.layout(), QStringLiteral("a | b c"));
}

TEST(Paginator, repeats_the_open_group_header_on_each_new_page)
{
    RecordingHost host;
    host.headerHeight = 10;
    Paginator p(smallPage(), host);

    p.place(RecordingHost::band(QStringLiteral("G"), 10, 0), true);
    for (int i = 0; i < 4; ++i)
        p.place(RecordingHost::band(QStringLiteral("d%1").arg(i), 30));
    p.groupClosed(0);
    p.place(RecordingHost::band(QStringLiteral("x"), 80));
    p.finish();

    // The header comes back on page 2; once its group has ended it does not on page 3.
    EXPECT_EQ(host.layout(), QStringLiteral("G d0 d1 | G d2 d3 | x"));
}

TEST(Paginator, fills_label_sheets_across_or_down)
{
    struct Row
    {
        LabelDirection direction;
        // (x, y) of labels 0..4 on a 2 x 2 sheet of 100 x 20 labels with gaps 5 and 3.
        std::vector<std::pair<Coord, Coord>> cells;
        int pages;
    };
    const Row rows[] = {
        { LabelDirection::Across,
            { { 0, 10 }, { 10500, 10 }, { 0, 2310 }, { 10500, 2310 }, { 0, 10 } }, 2 },
        { LabelDirection::Down,
            { { 0, 10 }, { 0, 2310 }, { 10500, 10 }, { 10500, 2310 }, { 0, 10 } }, 2 },
    };
    for (const Row& row : rows) {
        LabelSheet sheet;
        sheet.columns = 2;
        sheet.rows = 2;
        sheet.labelWidthMm = 100;
        sheet.labelHeightMm = 20;
        sheet.gapXMm = 5;
        sheet.gapYMm = 3;
        sheet.direction = row.direction;
        RecordingHost host;
        Paginator::Geometry g = smallPage();
        g.pageHeight = 30000;
        g.bodyBottom = 29000;
        Paginator p(g, host);

        for (int i = 0; i < 5; ++i)
            p.placeLabel(RecordingHost::band(QStringLiteral("L%1").arg(i), 2000), sheet);
        p.finish();

        ASSERT_EQ(int(host.pages.size()), row.pages);
        std::vector<std::pair<Coord, Coord>> cells;
        for (std::size_t page = 0; page < host.pages.size(); ++page) {
            for (std::size_t i = 0; i < host.pages[page].size(); ++i)
                cells.emplace_back(host.xs[page][i], host.pages[page][i].second);
        }
        EXPECT_EQ(cells, row.cells);
    }
}

// A group kept together with a repeated header (H, 10), details of 10 and a footer (F, 10), on
// a body of 100, after a band of `lead` (if any) and before a tall one (x, 80) if asked. One
// that fits goes whole onto one page; one that cannot starts where it is, fills every page and
// carries its header onto each page it continues on. Runs of details are counted ("4d").
TEST(Paginator, keeps_a_group_together_or_breaks_it_at_each_page_end)
{
    struct Row
    {
        Coord lead;
        int details;
        bool pairs; // each record's two sections kept together, as a record of two sections
        bool tallAfter;
        const char* layout;
    };
    const Row rows[] = {
        { 50, 3, false, false, "a H 3d F" },
        { 50, 4, false, false, "a | H 4d F" },
        { 50, 8, false, false, "a | H 8d F" },
        { 50, 9, false, false, "a H 4d | H 5d F" },
        { 50, 12, false, false, "a H 4d | H 8d F" },
        { 50, 13, false, false, "a H 4d | H 9d | H F" },
        // The header fits below the lead but its first detail does not: it goes with it.
        { 90, 10, false, false, "a | H 9d | H 1d F" },
        { 0, 8, false, false, "H 8d F" },
        { 0, 9, false, false, "H 9d | H F" },
        { 0, 10, false, false, "H 9d | H 1d F" },
        { 0, 17, false, false, "H 9d | H 8d F" },
        { 0, 18, false, false, "H 9d | H 9d | H F" },
        { 0, 19, false, false, "H 9d | H 9d | H 1d F" },
        { 0, 26, false, false, "H 9d | H 9d | H 8d F" },
        { 0, 27, false, false, "H 9d | H 9d | H 9d | H F" },
        // A record never splits, even in a group taller than a page.
        { 0, 10, true, false, "H 8d | H 2d F" },
        // An ended group's header is not repeated above what follows it.
        { 0, 3, false, true, "H 3d F | x" },
    };
    for (const Row& row : rows) {
        RecordingHost host;
        Paginator p(smallPage(), host);
        if (row.lead > 0)
            p.place(RecordingHost::band(QStringLiteral("a"), row.lead));
        p.beginKeep();
        p.place(RecordingHost::band(QStringLiteral("H"), 10, 0), true);
        for (int i = 0; i < row.details; ++i) {
            if (row.pairs && i % 2 == 0)
                p.beginKeep();
            p.place(RecordingHost::band(QStringLiteral("d"), 10));
            if (row.pairs && i % 2 == 1)
                p.endKeep();
        }
        p.place(RecordingHost::band(QStringLiteral("F"), 10));
        p.groupClosed(0);
        p.endKeep();
        if (row.tallAfter)
            p.place(RecordingHost::band(QStringLiteral("x"), 80));
        p.finish();

        EXPECT_EQ(countingDetails(host.layout()), QString::fromLatin1(row.layout))
            << row.lead << " + " << row.details << (row.pairs ? " in pairs" : "");
    }
}

// An inner group kept together inside an outer group whose header (G, 20) repeats: a fresh page
// has room for 80 of it, so a group of 90 cannot be kept whole; it starts where the page stands
// rather than leaving that room blank and breaking on the next page anyway.
TEST(Paginator, room_on_a_fresh_page_leaves_out_the_repeated_headers)
{
    RecordingHost host;
    Paginator p(smallPage(), host);

    p.place(RecordingHost::band(QStringLiteral("G"), 20, 0), true);
    p.place(RecordingHost::band(QStringLiteral("a"), 30));
    p.beginKeep();
    p.place(RecordingHost::band(QStringLiteral("H"), 10, 1), true);
    for (int i = 0; i < 8; ++i)
        p.place(RecordingHost::band(QStringLiteral("d"), 10));
    p.groupClosed(1);
    p.endKeep();
    p.groupClosed(0);
    p.finish();

    EXPECT_EQ(countingDetails(host.layout()), QStringLiteral("G a H 4d | G H 4d"));
}

// A kept group found too tall when an inner group's header (H, 20) arrives is let go, but that
// header still waits for its first detail: placed at once it would end the page alone.
TEST(Paginator, letting_a_tall_group_go_keeps_its_last_header_with_the_next_band)
{
    RecordingHost host;
    Paginator p(smallPage(), host);

    p.place(RecordingHost::band(QStringLiteral("a"), 80));
    p.beginKeep();
    p.place(RecordingHost::band(QStringLiteral("G"), 10, 0), true);
    for (int i = 0; i < 8; ++i)
        p.place(RecordingHost::band(QStringLiteral("d"), 10));
    p.place(RecordingHost::band(QStringLiteral("H"), 20, 1), true);
    p.place(RecordingHost::band(QStringLiteral("d"), 10));
    p.groupClosed(1);
    p.place(RecordingHost::band(QStringLiteral("F"), 10));
    p.groupClosed(0);
    p.endKeep();
    p.finish();

    EXPECT_EQ(countingDetails(host.layout()), QStringLiteral("a G 1d | G 7d | G H 1d F"));
}
