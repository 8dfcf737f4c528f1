#include "reportengine/Paginator.h"

#include <algorithm>
#include <iterator>

Paginator::Paginator(const Geometry& geometry, Host& host)
    : m_geometry(geometry)
    , m_host(host)
    , m_headerBottom(geometry.top)
{
}

void Paginator::place(Band band, bool withNext)
{
    if (m_breakRequested) {
        m_breakRequested = false;
        flushPending();
        if (pageHasBody())
            breakPage();
    }
    const std::size_t index = m_pending.size();
    if (m_holdNext && index > 0)
        m_pending.back().unitEnd = std::max(m_pending.back().unitEnd, index + 1);
    m_pendingHeight += band.height;
    m_pending.push_back({ std::move(band), index + 1, -1 });
    m_holdNext = withNext;
    if (!holding())
        flushPending();
    else if (m_pendingHeight > capacity())
        letGoTooTall();
}

void Paginator::beginKeep()
{
    m_keeps.push_back({ true, m_pending.size() });
}

void Paginator::endKeep()
{
    if (m_keeps.empty())
        return;
    const Keep keep = m_keeps.back();
    m_keeps.pop_back();
    if (!holding()) {
        flushPending();
    } else if (keep.held && keep.start < m_pending.size()) {
        // Still held by an outer block: should that one be let go, this one stays whole.
        Held& first = m_pending[keep.start];
        first.unitEnd = std::max(first.unitEnd, m_pending.size());
    }
}

bool Paginator::holding() const
{
    if (m_holdNext)
        return true;
    for (const Keep& keep : m_keeps) {
        if (keep.held)
            return true;
    }
    return false;
}

// The room a block has on a fresh page: below the page header and the group headers that
// page would repeat.
Coord Paginator::capacity() const
{
    Coord repeated = 0;
    for (const Band& band : m_repeat)
        repeated += band.height;
    return m_geometry.bodyBottom - m_headerBottom - repeated;
}

// The held bands no longer fit on one page: the outermost block held is let go. What it holds
// before the next block held inside it is placed; that inner block is held on.
void Paginator::letGoTooTall()
{
    while (!m_pending.empty() && m_pendingHeight > capacity()) {
        auto outer = std::find_if(
            m_keeps.begin(), m_keeps.end(), [](const Keep& keep) { return keep.held; });
        if (outer == m_keeps.end()) {
            flushPending();
            return;
        }
        outer->held = false;
        const auto inner
            = std::find_if(outer + 1, m_keeps.end(), [](const Keep& keep) { return keep.held; });
        std::size_t upTo = inner == m_keeps.end() ? m_pending.size() : inner->start;
        // A unit reaching past that point (a header with the band after it) waits with it.
        std::size_t unit = 0;
        while (unit < upTo) {
            const std::size_t end = unitEnd(m_pending, unit);
            if (end > upTo || (end == m_pending.size() && m_holdNext)) {
                upTo = unit;
                break;
            }
            unit = end;
        }
        placeHeld(upTo, false);
    }
}

void Paginator::flushPending()
{
    placeHeld(m_pending.size(), true);
}

// Places the first `count` held bands: as one block when `whole` and they fit on a page, else
// from where the page stands, each unit as a block.
void Paginator::placeHeld(std::size_t count, bool whole)
{
    if (count == 0)
        return;
    // Moved out first: placing may open a page whose header the host builds meanwhile.
    std::vector<Held> bands;
    bands.swap(m_spare);
    bands.clear();
    const auto cut = m_pending.begin() + std::ptrdiff_t(count);
    std::move(m_pending.begin(), cut, std::back_inserter(bands));
    m_pending.erase(m_pending.begin(), cut);
    m_pendingHeight = 0;
    for (Held& held : m_pending) {
        held.unitEnd -= count;
        m_pendingHeight += held.band.height;
    }
    for (Keep& keep : m_keeps)
        keep.start = keep.start > count ? keep.start - count : 0;

    ensurePage();
    Coord total = 0;
    for (const Held& held : bands)
        total += held.band.height;
    if (whole && total <= capacity()) {
        placeUnit(bands, 0, bands.size());
    } else {
        std::size_t unit = 0;
        while (unit < bands.size()) {
            const std::size_t end = std::min(unitEnd(bands, unit), bands.size());
            placeUnit(bands, unit, end);
            unit = end;
        }
    }
    bands.clear();
    m_spare.swap(bands);
}

// One past the last band of the unit that starts at `first`: the bands that must share a page
// with it, and those that must share one with them. Past the end of `bands` when the unit
// reaches bands not among them.
std::size_t Paginator::unitEnd(const std::vector<Held>& bands, std::size_t first)
{
    std::size_t end = first + 1;
    for (std::size_t i = first; i < end && i < bands.size(); ++i)
        end = std::max(end, bands[i].unitEnd);
    return end;
}

void Paginator::placeUnit(std::vector<Held>& bands, std::size_t from, std::size_t to)
{
    ensurePage();
    Coord height = 0;
    for (std::size_t i = from; i < to; ++i)
        height += bands[i].band.height;
    if (m_y + height > m_geometry.bodyBottom && pageHasBody() && height <= capacity())
        breakPage();
    for (std::size_t i = from; i < to; ++i) {
        placeNow(bands[i].band);
        if (bands[i].closes >= 0)
            closeGroups(bands[i].closes);
    }
}

void Paginator::placeNow(const Band& band)
{
    ensurePage();
    if (m_y + band.height > m_geometry.bodyBottom && pageHasBody())
        breakPage();
    append(band, 0, m_y);
    m_y += band.height;
    if (band.repeatLevel >= 0) {
        m_repeat.resize(std::size_t(band.repeatLevel) + 1);
        m_repeat[std::size_t(band.repeatLevel)] = band.repeatAs ? *band.repeatAs : band;
    }
}

void Paginator::groupClosed(int level)
{
    if (level < 0)
        return;
    if (m_pending.empty()) {
        closeGroups(level);
        return;
    }
    int& closes = m_pending.back().closes;
    closes = closes < 0 ? level : std::min(closes, level);
}

void Paginator::closeGroups(int level)
{
    if (std::size_t(level) < m_repeat.size())
        m_repeat.resize(std::size_t(level));
}

void Paginator::append(const Band& band, Coord dx, Coord dy)
{
    const qint32 base = qint32(m_page.strings.size());
    m_page.strings.insert(m_page.strings.end(), band.strings.begin(), band.strings.end());
    for (DisplayItem item : band.items) {
        item.x += dx;
        item.y += dy;
        if (item.kind == DisplayKind::Text)
            item.ref += base;
        m_page.items.push_back(item);
    }
}

void Paginator::placeFixed(const Band& band)
{
    append(band, 0, m_y);
    m_y += band.height;
}

void Paginator::placeFooter(const Band& band, Coord footerTop)
{
    append(band, 0, footerTop);
}

void Paginator::placeLabel(Band band, const LabelSheet& sheet)
{
    if (m_breakRequested) {
        m_breakRequested = false;
        if (m_open && m_labelIndex > 0)
            breakPage();
    }
    ensurePage();
    const int perPage = sheet.columns * sheet.rows;
    if (m_labelIndex >= perPage)
        breakPage();
    int column = 0;
    int row = 0;
    if (sheet.direction == LabelDirection::Across) {
        column = m_labelIndex % sheet.columns;
        row = m_labelIndex / sheet.columns;
    } else {
        row = m_labelIndex % sheet.rows;
        column = m_labelIndex / sheet.rows;
    }
    const Coord dx = column * mmToCoord(sheet.labelWidthMm + sheet.gapXMm);
    const Coord dy = m_bodyTop + row * mmToCoord(sheet.labelHeightMm + sheet.gapYMm);
    append(band, dx, dy);
    ++m_labelIndex;
    m_y = std::max(m_y, dy + mmToCoord(sheet.labelHeightMm));
}

void Paginator::ensurePage()
{
    if (m_open)
        return;
    m_page.clear();
    m_page.number = m_pagesDone + 1;
    m_open = true;
    if (m_restartPending) {
        m_restartPending = false;
        if (m_numberingPages.back() > 0)
            m_numberingPages.push_back(0);
        m_numberingFirstPage = m_page.number;
    }
    m_y = m_geometry.top;
    m_labelIndex = 0;
    m_host.pageOpened(*this);
    m_headerBottom = m_y;
    for (const Band& band : m_repeat)
        placeFixed(band);
    m_bodyTop = m_y;
}

void Paginator::closePage()
{
    if (!m_open)
        return;
    m_host.pageClosing(*this);
    m_open = false;
    ++m_pagesDone;
    ++m_numberingPages.back();
    m_host.pageDone(m_page);
}

void Paginator::breakPage()
{
    closePage();
    ensurePage();
}

void Paginator::finish()
{
    m_keeps.clear();
    m_holdNext = false;
    m_breakRequested = false;
    flushPending();
    if (!m_open && m_pagesDone == 0)
        ensurePage();
    closePage();
}

void Paginator::restartNumbering()
{
    if (!m_open) {
        m_restartPending = true;
    } else if (pageHasBody() || !m_pending.empty()) {
        m_restartPending = true;
        m_breakRequested = true;
    }
}

int Paginator::displayPageNumber() const
{
    const int page = m_open ? m_page.number : m_pagesDone + 1;
    return page - (m_restartPending && !m_open ? page : m_numberingFirstPage) + 1;
}

int Paginator::numbering() const
{
    const bool next = m_restartPending && !m_open && m_numberingPages.back() > 0;
    return int(m_numberingPages.size()) - (next ? 0 : 1);
}
