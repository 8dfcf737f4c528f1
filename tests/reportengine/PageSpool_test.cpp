#include "reportengine/PageSpool.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "reportengine/PdfWriters.h"

namespace {

// Keeps what it is handed; refuses the page numbered `refuse`.
class KeptPages final : public PageSink
{
public:
    explicit KeptPages(int refuse = 0)
        : m_refuse(refuse)
    {
    }

    bool begin(const DocumentInfo& info) override
    {
        title = info.title;
        return true;
    }
    bool page(const PageDisplayList& page, const DocumentResources& resources,
        const DeferredValues*) override
    {
        if (page.number == m_refuse)
            return false;
        QStringList texts;
        for (const DisplayItem& d : page.items)
            texts << page.strings[std::size_t(d.ref)] + u'@' + resources.font(d.font).family;
        pages << texts.join(u'|');
        return true;
    }
    bool finish(const DeferredValues&) override
    {
        finished = true;
        return true;
    }
    QString errorString() const override { return QStringLiteral("Impresora sin papel"); }

    QString title;
    QStringList pages;
    bool finished = false;

private:
    int m_refuse;
};

// Lays out `count` pages of two texts each into the spool: a plain one and "Página n de \x01",
// the second page bringing a second font.
void layOut(PageSpool& spool, int count)
{
    DocumentInfo info;
    info.title = QStringLiteral("Lista ñandú");
    ASSERT_TRUE(spool.begin(info));
    DocumentResources resources;
    resources.addFont(FontSpec { QStringLiteral("Arial"), 8 });
    PageDisplayList page;
    for (int n = 1; n <= count; ++n) {
        if (n == 2)
            resources.addFont(FontSpec { QStringLiteral("Courier New"), 10 });
        page.clear();
        page.number = n;
        page.addText(QStringLiteral("Artículo %1").arg(n)).font = quint16(n >= 2 ? 1 : 0);
        page.addText(QStringLiteral("Página %1 de ").arg(n) + DeferredMark).slot = 0;
        ASSERT_TRUE(spool.page(page, resources, nullptr));
    }
    DeferredValues deferred;
    deferred.slots = { QString::number(count) };
    ASSERT_TRUE(spool.finish(deferred));
}

} // namespace

TEST(PageSpool, hands_on_every_page_in_order_with_the_page_count_filled_in)
{
    PageSpool spool;
    layOut(spool, 40);
    KeptPages kept;

    ASSERT_TRUE(spool.replay(kept)) << spool.errorString().toStdString();

    EXPECT_EQ(kept.title, QStringLiteral("Lista ñandú"));
    ASSERT_EQ(kept.pages.size(), 40);
    EXPECT_EQ(kept.pages[0], QStringLiteral("Artículo 1@Arial|Página 1 de 40@Arial"));
    EXPECT_EQ(kept.pages[39], QStringLiteral("Artículo 40@Courier New|Página 40 de 40@Arial"));
    EXPECT_TRUE(kept.finished);
}

TEST(PageSpool, stops_with_the_destinations_error_when_it_refuses_a_page)
{
    PageSpool spool;
    layOut(spool, 40);
    KeptPages refusing(3);

    EXPECT_FALSE(spool.replay(refusing));

    EXPECT_EQ(spool.errorString(), QStringLiteral("Impresora sin papel"));
    EXPECT_EQ(refusing.pages.size(), 2);
    EXPECT_FALSE(refusing.finished);
}

// A run's writers finish every file handed over, and a file that cannot be written comes back
// once, under the name of its document, while the others are written whole.
TEST(PdfWriters, finish_every_file_and_keep_the_failure_under_its_documents_name)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList paths { dir.filePath(QStringLiteral("01.pdf")),
        dir.filePath(QStringLiteral("falta/02.pdf")), dir.filePath(QStringLiteral("03.pdf")) };
    std::vector<PdfWriters::Failure> failures;
    {
        PdfWriters writers(1);
        for (int i = 0; i < 3; ++i) {
            auto spool = std::make_unique<PageSpool>();
            layOut(*spool, 3);
            writers.add(std::move(spool), paths[i], QStringLiteral("FC %1").arg(i + 1));
        }
        failures = writers.takeFailures(true);
        EXPECT_TRUE(writers.takeFailures(true).empty());
    }

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].name, QStringLiteral("FC 2"));
    EXPECT_TRUE(failures[0].error.contains(paths[1])) << failures[0].error.toStdString();
    for (const QString& written : { paths[0], paths[2] }) {
        QFile pdf(written);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << written.toStdString();
        const QByteArray bytes = pdf.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
    }
}

// Several writers, two files held back in the middle of their drawing: no third file is taken on
// while both are held, and the run's last look waits for the held files and brings their failure.
TEST(PdfWriters, hold_no_more_files_than_their_limit_and_wait_for_the_last_ones)
{
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    bool released = false;
    const auto write = [&](PageSpool&, const QString& path, QString* error) {
        std::unique_lock lock(mutex);
        ++started;
        changed.notify_all();
        if (path.startsWith(u"retenido"))
            changed.wait(lock, [&] { return released; });
        *error = QStringLiteral("No se pudo escribir ") + path;
        return !path.endsWith(u"falla");
    };
    using namespace std::chrono_literals;
    PdfWriters writers(2, write);
    writers.add(
        std::make_unique<PageSpool>(), QStringLiteral("retenido-falla"), QStringLiteral("FC 1"));
    writers.add(std::make_unique<PageSpool>(), QStringLiteral("retenido"), QStringLiteral("FC 2"));
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return started == 2; }));
    }
    auto third = std::async(std::launch::async, [&] {
        writers.add(std::make_unique<PageSpool>(), QStringLiteral("libre"), QStringLiteral("FC 3"));
    });
    auto last = std::async(std::launch::async, [&] { return writers.takeFailures(true); });

    EXPECT_EQ(third.wait_for(300ms), std::future_status::timeout);
    EXPECT_EQ(last.wait_for(300ms), std::future_status::timeout);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(started, 2);
        released = true;
    }
    changed.notify_all();
    third.get();
    std::vector<PdfWriters::Failure> failures = last.get();
    for (const PdfWriters::Failure& f : writers.takeFailures(true))
        failures.push_back(f);

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].name, QStringLiteral("FC 1"));
    EXPECT_EQ(started, 3);
}
