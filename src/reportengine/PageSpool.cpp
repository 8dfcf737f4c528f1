#include "reportengine/PageSpool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <type_traits>

#include <unistd.h>

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

// Reads the spool from a given offset through its own buffer with pread, so that several
// readers share one descriptor.
class SpoolReader
{
public:
    SpoolReader(int fd, qint64 offset)
        : m_fd(fd)
        , m_offset(offset)
    {
    }

    bool read(void* data, qint64 size)
    {
        char* to = static_cast<char*>(data);
        while (size > 0) {
            if (m_at == m_buffer.size()) {
                m_buffer.resize(BlockSize);
                const ssize_t got = ::pread(m_fd, m_buffer.data(), BlockSize, off_t(m_offset));
                if (got <= 0)
                    return false;
                m_buffer.resize(got);
                m_offset += got;
                m_at = 0;
            }
            const qint64 n = std::min<qint64>(size, m_buffer.size() - m_at);
            std::memcpy(to, m_buffer.constData() + m_at, std::size_t(n));
            m_at += n;
            to += n;
            size -= n;
        }
        return true;
    }

private:
    static constexpr qsizetype BlockSize = 1 << 18;
    int m_fd;
    qint64 m_offset;
    QByteArray m_buffer;
    qsizetype m_at = 0;
};

// Reads `count` pages from `offset` of the spool, resolving the deferred texts, into `queue`.
void readPages(
    int fd, qint64 offset, qint64 count, const DeferredValues& deferred, PageQueue& queue)
{
    SpoolReader file(fd, offset);
    bool whole = fd >= 0;
    for (qint64 n = 0; whole && n < count; ++n) {
        PageHeader header;
        if (!file.read(&header, sizeof header)) {
            whole = false;
            break;
        }
        PageDisplayList page;
        page.number = header.number;
        page.items.resize(header.items);
        page.strings.resize(header.strings);
        whole = file.read(page.items.data(), qint64(header.items * sizeof(DisplayItem)));
        for (QString& s : page.strings) {
            qint32 length = 0;
            if (!whole || !file.read(&length, sizeof length) || length < 0) {
                whole = false;
                break;
            }
            s.resize(length);
            whole = file.read(s.data(), qint64(length) * qint64(sizeof(QChar)));
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
        return fail(
            QStringLiteral("No se pudo crear el archivo temporal del informe: %1").arg(why));
    return true;
}

bool PageSpool::page(
    const PageDisplayList& page, const DocumentResources& resources, const DeferredValues*)
{
    // Fonts and images only grow: the new ones keep their indexes here.
    for (; m_fontsKept < resources.fonts().size(); ++m_fontsKept)
        m_resources.addFont(resources.fonts()[m_fontsKept]);
    for (; m_imagesKept < resources.images().size(); ++m_imagesKept)
        m_resources.addImage(resources.images()[m_imagesKept]);

    const PageHeader header { qint32(page.number), quint32(page.items.size()),
        quint32(page.strings.size()) };
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
        return fail(
            QStringLiteral("No se pudo escribir el archivo temporal del informe: %1").arg(why));
    m_offsets.push_back(m_written);
    m_written += m_buffer.size();
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
    return replay(std::vector<PageSink*> { &sink });
}

bool PageSpool::replay(const std::vector<PageSink*>& sinks)
{
    const qint64 parts = qint64(sinks.size());
    const qint64 pages = qint64(m_offsets.size());
    std::vector<QString> errors(sinks.size());
    std::atomic<bool> stopped = false;
    // Part `i`: pages from `first` on, read on a thread of their own while the sink draws.
    const auto replayPart = [&](std::size_t i) {
        PageSink& sink = *sinks[i];
        const qint64 first = pages * qint64(i) / parts;
        const qint64 count = pages * qint64(i + 1) / parts - first;
        if (!sink.begin(m_info)) {
            errors[i] = sink.errorString();
            stopped = true;
            return;
        }
        PageQueue queue;
        std::thread reader(readPages, m_readBack.handle(),
            count > 0 ? m_offsets[std::size_t(first)] : 0, count, std::cref(m_deferred),
            std::ref(queue));
        PageDisplayList page;
        bool whole = false;
        while (queue.pop(page, whole)) {
            if (stopped || !sink.page(page, m_resources, &m_deferred)) {
                if (!stopped)
                    errors[i] = sink.errorString();
                stopped = true;
                queue.stop();
                break;
            }
        }
        reader.join();
        if (stopped)
            return;
        if (!whole) {
            errors[i] = QStringLiteral("No se pudo leer el archivo temporal del informe");
            stopped = true;
        } else if (!sink.finish(m_deferred)) {
            errors[i] = sink.errorString();
            stopped = true;
        }
    };
    // The first part on the calling thread: a sink that must stay there (a printer, the
    // screen) is always given alone.
    std::vector<std::thread> others;
    for (std::size_t i = 1; i < sinks.size(); ++i)
        others.emplace_back(replayPart, i);
    replayPart(0);
    for (std::thread& t : others)
        t.join();
    for (const QString& e : errors) {
        if (!e.isEmpty())
            return fail(e);
    }
    return !stopped || fail(QStringLiteral("No se pudo leer el archivo temporal del informe"));
}
