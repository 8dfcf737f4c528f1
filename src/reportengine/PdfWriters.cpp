#include "reportengine/PdfWriters.h"

#include <algorithm>
#include <exception>

#include <QThread>

#include "reportengine/PageSpool.h"
#include "reportengine/PdfSink.h"

PdfWriters::PdfWriters(int limit, Write write)
    : m_limit(limit > 0 ? limit : std::max(1, QThread::idealThreadCount()))
    , m_write(std::move(write))
{
    if (!m_write)
        m_write = [](PageSpool& spool, const QString& path, QString* error) {
            return PdfSink::writeSpool(spool, path, error, 1);
        };
}

PdfWriters::~PdfWriters()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

void PdfWriters::add(std::unique_ptr<PageSpool> spool, const QString& path, const QString& name)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pending < m_limit; });
    m_waiting.push_back({ std::move(spool), path, name });
    ++m_pending;
    // A thread is started only when every one there is busy: a short run keeps few.
    if (m_threads.size() < std::size_t(m_limit) && m_pending > int(m_threads.size()))
        m_threads.emplace_back([this] { work(); });
    lock.unlock();
    m_changed.notify_all();
}

std::vector<PdfWriters::Failure> PdfWriters::takeFailures(bool all)
{
    std::unique_lock lock(m_mutex);
    if (all)
        m_changed.wait(lock, [this] { return m_pending == 0; });
    return std::exchange(m_failures, {});
}

void PdfWriters::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_waiting.empty())
            return;
        Document document = std::move(m_waiting.front());
        m_waiting.pop_front();
        lock.unlock();
        QString error;
        bool ok = false;
        try {
            ok = m_write(*document.spool, document.path, &error);
        } catch (const std::exception& e) {
            error = QStringLiteral("No se pudo escribir el archivo PDF %1: %2")
                        .arg(document.path, QString::fromLocal8Bit(e.what()));
        }
        document.spool.reset();
        lock.lock();
        if (!ok)
            m_failures.push_back({ document.name, error });
        --m_pending;
        m_changed.notify_all();
    }
}
