#include "reportengine/PageSpool.h"

#include <gtest/gtest.h>

namespace {

// Keeps what it is handed; refuses the page numbered `refuse`.
class KeptPages final : public PageSink
{
public:
    explicit KeptPages(int refuse = 0) : m_refuse(refuse) { }

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
    resources.addFont(FontSpec {QStringLiteral("Arial"), 8});
    PageDisplayList page;
    for (int n = 1; n <= count; ++n) {
        if (n == 2)
            resources.addFont(FontSpec {QStringLiteral("Courier New"), 10});
        page.clear();
        page.number = n;
        page.addText(QStringLiteral("Artículo %1").arg(n)).font = quint16(n >= 2 ? 1 : 0);
        page.addText(QStringLiteral("Página %1 de ").arg(n) + DeferredMark).slot = 0;
        ASSERT_TRUE(spool.page(page, resources, nullptr));
    }
    DeferredValues deferred;
    deferred.slots = {QString::number(count)};
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
