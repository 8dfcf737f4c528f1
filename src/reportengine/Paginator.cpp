#include "reportengine/Paginator.h"

Paginator::Paginator(const Geometry& geometry, Host& host)
    : m_geometry(geometry)
    , m_host(host)
    , m_freshBodyTop(geometry.top)
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
    m_pendingHeight += band.height;
    m_pending.push_back(std::move(band));
    m_holdNext = withNext;
    const Coord capacity = m_geometry.bodyBottom - m_freshBodyTop;
    if ((m_keepDepth == 0 && !m_holdNext) || m_pendingHeight > capacity)
        flushPending();
}

void Paginator::beginKeep()
{
    ++m_keepDepth;
}

void Paginator::endKeep()
{
    if (m_keepDepth > 0)
        --m_keepDepth;
    if (m_keepDepth == 0 && !m_holdNext)
        flushPending();
}

void Paginator::flushPending()
{
    if (m_pending.empty())
        return;
    ensurePage();
    const Coord capacity = m_geometry.bodyBottom - m_freshBodyTop;
    if (m_y + m_pendingHeight > m_geometry.bodyBottom && pageHasBody()
        && m_pendingHeight <= capacity)
        breakPage();
    // Moved out first: placing may open a page whose header the host builds meanwhile.
    std::vector<Band> bands;
    bands.swap(m_spare);
    bands.swap(m_pending);
    m_pendingHeight = 0;
    for (const Band& band : bands)
        placeNow(band);
    bands.clear();
    m_spare.swap(bands);
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
    if (level >= 0 && std::size_t(level) < m_repeat.size())
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
    for (const Band& band : m_repeat)
        placeFixed(band);
    m_bodyTop = m_y;
    m_freshBodyTop = m_y;
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
    m_keepDepth = 0;
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
