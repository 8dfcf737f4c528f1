#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "reportengine/DisplayList.h"
#include "reportengine/ReportDefinition.h"

// One laid-out band: its height and its primitives, x on the page, y from the band's top.
struct Band
{
    Coord height = 0;
    int repeatLevel = -1; // a group header to repeat on each page while its group lasts
    std::shared_ptr<const Band> repeatAs; // what is repeated instead of the band, when set
    std::vector<DisplayItem> items;
    std::vector<QString> strings;
};

// Places bands on pages. Band heights are known when a band arrives, so a page break is plain
// arithmetic: a band that does not fit below the last one starts a new page. A band is never
// split; one taller than a page gets a page of its own and is clipped by the outputs.
//
// Keeping together: bands placed between beginKeep() and endKeep(), and a band placed with
// `withNext` together with the band after it, are held back and placed as one block: on the
// current page when it fits, else at the top of a new page. A block that cannot fit on one page
// is let go as soon as that is known: it starts where the page stands and breaks where each page
// ends, its group header repeated on the pages it continues on. Blocks inside it (a record's
// sections, an inner group kept together, a header with its first band) still keep together.
// So the bands held never exceed one page.
class Paginator
{
public:
    struct Geometry
    {
        Coord pageWidth = mmToCoord(210);
        Coord pageHeight = mmToCoord(297);
        Coord left = mmToCoord(10);
        Coord top = mmToCoord(10);
        Coord bodyBottom = mmToCoord(287); // page height less bottom margin and page footer
    };

    class Host
    {
    public:
        virtual ~Host() = default;
        // A page was opened: place its page header with placeFixed(); the repeated group
        // headers follow it.
        virtual void pageOpened(Paginator& paginator) = 0;
        // The page is full: place the page footer with placeFooter(), then hand the page on.
        virtual void pageClosing(Paginator& paginator) = 0;
        virtual void pageDone(const PageDisplayList& page) = 0;
    };

    Paginator(const Geometry& geometry, Host& host);

    void place(Band band, bool withNext = false);
    void beginKeep();
    void endKeep();
    // The next band starts a new page (unless the page has no body yet).
    void requestBreak() { m_breakRequested = true; }
    // Group `level` (and those inside it) ended: its header is no longer repeated once the
    // bands placed so far are on their pages.
    void groupClosed(int level);
    // One label of a label sheet, in the next free cell.
    void placeLabel(Band band, const LabelSheet& sheet);
    // Places what is held and closes the last page; a report with nothing at all still has one.
    void finish();
    // Page numbers start again at 1 on the next page, which the next band opens: a page with a
    // body is broken first. Called before anything of the page's body is placed it changes
    // nothing, as the page is then the first of its numbering already.
    void restartNumbering();

    // For the host, while a page opens or closes.
    void placeFixed(const Band& band);
    void placeFooter(const Band& band, Coord footerTop);

    int pageNumber() const { return m_page.number; }
    int pageCount() const { return m_pagesDone; }
    // The number printed on the open page (the next one when none is open), counted from the
    // page its numbering started on, and which numbering that is (0 the first).
    int displayPageNumber() const;
    int numbering() const;
    // Pages of each numbering, once finished.
    const std::vector<int>& numberingPages() const { return m_numberingPages; }
    const Geometry& geometry() const { return m_geometry; }

private:
    // A band held back; `unitEnd` is one past the last held band that must share its page.
    struct Held
    {
        Band band;
        std::size_t unitEnd = 0;
        int closes = -1; // the group level that ends once the band is placed
    };
    struct Keep
    {
        bool held = true; // false once the block was found taller than a page
        std::size_t start = 0; // its first band in m_pending, while held
    };

    void ensurePage();
    void breakPage();
    void closePage();
    bool holding() const;
    Coord capacity() const;
    void letGoTooTall();
    void flushPending();
    void placeHeld(std::size_t count, bool whole);
    static std::size_t unitEnd(const std::vector<Held>& bands, std::size_t first);
    void placeUnit(std::vector<Held>& bands, std::size_t from, std::size_t to);
    void placeNow(const Band& band);
    void closeGroups(int level);
    void append(const Band& band, Coord dx, Coord dy);
    bool pageHasBody() const { return m_open && m_y > m_bodyTop; }

    Geometry m_geometry;
    Host& m_host;
    PageDisplayList m_page;
    bool m_open = false;
    int m_pagesDone = 0;
    Coord m_y = 0;
    Coord m_bodyTop = 0;
    Coord m_headerBottom = 0; // below the page header, above the repeated group headers
    std::vector<Held> m_pending;
    std::vector<Held> m_spare; // keeps its buffer from one held block to the next
    Coord m_pendingHeight = 0;
    std::vector<Keep> m_keeps;
    bool m_holdNext = false;
    bool m_breakRequested = false;
    int m_labelIndex = 0;
    std::vector<Band> m_repeat; // by group level; height 0 and no items when none
    std::vector<int> m_numberingPages { 0 };
    int m_numberingFirstPage = 1;
    bool m_restartPending = false;
};
