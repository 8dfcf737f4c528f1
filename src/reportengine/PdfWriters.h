#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QString>

class PageSpool;

// Draws laid-out documents into their PDF files on threads of their own while the caller lays
// out the next one (a run of vouchers). At most `limit` documents wait or draw at once: add()
// waits for a place, so memory stays at that many spools. A file that could not be written is
// kept as a failure, under the name the caller gave the document, until takeFailures().
class PdfWriters
{
public:
    // Draws one document into its file; false with the reason in the error.
    using Write = std::function<bool(PageSpool& spool, const QString& path, QString* error)>;

    // `limit` 0: the machine's cores. `write` empty: PdfSink::writeSpool in one part.
    explicit PdfWriters(int limit = 0, Write write = {});
    // Finishes every document handed over.
    ~PdfWriters();
    PdfWriters(const PdfWriters&) = delete;
    PdfWriters& operator=(const PdfWriters&) = delete;

    // `spool` finished (its finish() called); `name` tells the document in a failure.
    void add(std::unique_ptr<PageSpool> spool, const QString& path, const QString& name);

    struct Failure
    {
        QString name;
        QString error;
    };
    // The failures of the documents finished so far, oldest first, each handed over once. With
    // `all`, waits until every document handed over is finished.
    std::vector<Failure> takeFailures(bool all);

private:
    struct Document
    {
        std::unique_ptr<PageSpool> spool;
        QString path;
        QString name;
    };
    void work();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Document> m_waiting;
    int m_pending = 0; // waiting or drawing
    int m_limit;
    Write m_write;
    bool m_stopping = false;
    std::vector<Failure> m_failures;
    std::vector<std::thread> m_threads;
};
