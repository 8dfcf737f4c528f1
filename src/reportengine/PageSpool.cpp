#include "reportengine/PageSpool.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <type_traits>

#include "reportengine/OutputFile.h"

namespace {

static_assert(std::is_trivially_copyable_v<DisplayItem>);

struct PageHeader
{
    qint32 number = 0;
    quint32 items = 0;
    quint32 strings = 0;
};

// Pages read ahead of the sink, at most Depth of them: enough to keep the reader busy while the
// sink draws, little enough for memory to stay flat.
class PageQueue
{
public:
    static constexpr std::size_t Depth = 8;

    // False when the consumer has stopped.
    bool push(PageDisplayList&& page)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_pages.size() < Depth || m_stopped; });
        if (m_stopped)
            return false;
        m_pages.push_back(std::move(page));
        m_changed.notify_all();
        return true;
    }
    // The reader's last word: true when every page was read.
    void close(bool whole)
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_whole = whole;
        m_changed.notify_all();
    }
    // False when there is no page left; `whole` then says whether the reader read them all.
    bool pop(PageDisplayList& page, bool& whole)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_pages.empty() || m_closed; });
        if (m_pages.empty()) {
            whole = m_whole;
            return false;
        }
        page = std::move(m_pages.front());
        m_pages.pop_front();
        m_changed.notify_all();
        return true;
    }
    void stop()
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PageDisplayList> m_pages;
    bool m_closed = false;
    bool m_whole = false;
    bool m_stopped = false;
};

bool readExactly(QFile& file, void* data, qint64 size)
{
    return size == 0 || file.read(static_cast<char*>(data), size) == size;
}

// Reads `count` pages from `file`, resolving the deferred texts, into `queue`.
void readPages(QFile& file, qint64 count, const DeferredValues& deferred, PageQueue& queue)
{
    bool whole = file.isOpen() && file.seek(0);
    for (qint64 n = 0; whole && n < count; ++n) {
        PageHeader header;
        if (!readExactly(file, &header, sizeof header)) {
            whole = false;
            break;
        }
        PageDisplayList page;
        page.number = header.number;
        page.items.resize(header.items);
        page.strings.resize(header.strings);
        whole = readExactly(file, page.items.data(), qint64(header.items * sizeof(DisplayItem)));
        for (QString& s : page.strings) {
            qint32 length = 0;
            if (!whole || !readExactly(file, &length, sizeof length) || length < 0) {
                whole = false;
                break;
            }
            s.resize(length);
            whole = readExactly(file, s.data(), qint64(length) * qint64(sizeof(QChar)));
        }
        if (!whole)
            break;
        for (DisplayItem& d : page.items) {
            if (d.slot >= 0 && d.ref >= 0 && std::size_t(d.ref) < page.strings.size()) {
                QString& text = page.strings[std::size_t(d.ref)];
                text = deferred.resolve(text, d.slot);
                d.slot = -1;
            }
        }
        if (!queue.push(std::move(page)))
            return;
    }
    queue.close(whole);
}

} // namespace

PageSpool::PageSpool() = default;

PageSpool::~PageSpool() = default;

bool PageSpool::fail(const QString& message)
{
    m_error = message;
    return false;
}

bool PageSpool::begin(const DocumentInfo& info)
{
    m_info = info;
    // Opened twice, to write and to read back on the reader's thread.
    QString why;
    if (!OutputFile::createScratch(QStringLiteral("spool"), m_file, &m_readBack, &why))
        return fail(QStringLiteral("No se pudo crear el archivo temporal del informe: %1").arg(why));
    return true;
}

bool PageSpool::page(const PageDisplayList& page, const DocumentResources& resources,
    const DeferredValues*)
{
    // Fonts and images only grow: the new ones keep their indexes here.
    for (; m_fontsKept < resources.fonts().size(); ++m_fontsKept)
        m_resources.addFont(resources.fonts()[m_fontsKept]);
    for (; m_imagesKept < resources.images().size(); ++m_imagesKept)
        m_resources.addImage(resources.images()[m_imagesKept]);

    const PageHeader header {qint32(page.number), quint32(page.items.size()),
        quint32(page.strings.size())};
    m_buffer.resize(0);
    m_buffer.append(reinterpret_cast<const char*>(&header), sizeof header);
    m_buffer.append(reinterpret_cast<const char*>(page.items.data()),
        qsizetype(page.items.size() * sizeof(DisplayItem)));
    for (const QString& s : page.strings) {
        const qint32 length = qint32(s.size());
        m_buffer.append(reinterpret_cast<const char*>(&length), sizeof length);
        m_buffer.append(reinterpret_cast<const char*>(s.constData()),
            qsizetype(s.size()) * qsizetype(sizeof(QChar)));
    }
    QString why;
    if (!OutputFile::writeAll(m_file, m_buffer, &why))
        return fail(QStringLiteral("No se pudo escribir el archivo temporal del informe: %1").arg(why));
    ++m_pages;
    return true;
}

bool PageSpool::finish(const DeferredValues& deferred)
{
    m_deferred = deferred;
    m_file.close();
    return true;
}

bool PageSpool::replay(PageSink& sink)
{
    if (!sink.begin(m_info))
        return fail(sink.errorString());
    PageQueue queue;
    std::thread reader(readPages, std::ref(m_readBack), m_pages, std::cref(m_deferred),
        std::ref(queue));
    PageDisplayList page;
    bool whole = false;
    bool ok = true;
    while (queue.pop(page, whole)) {
        if (!sink.page(page, m_resources, &m_deferred)) {
            ok = fail(sink.errorString());
            queue.stop();
            break;
        }
    }
    reader.join();
    if (!ok)
        return false;
    if (!whole)
        return fail(QStringLiteral("No se pudo leer el archivo temporal del informe"));
    if (!sink.finish(m_deferred))
        return fail(sink.errorString());
    return true;
}
