#include "texttools/cStringBuilder.h"

#include <functional>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"

namespace {

int errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

TEST(cStringBuilder, starts_empty_with_the_default_chunk)
{
    cStringBuilder sb;

    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    EXPECT_EQ(sb.toString(), QString());
}

TEST(cStringBuilder, grows_by_whole_chunks)
{
    struct Case
    {
        int appended;
        int capacity;
    };
    const Case cases[]
        = { { 1, 8192 }, { 8192, 8192 }, { 8193, 16384 }, { 3 * 8192 + 1, 4 * 8192 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appended);
        cStringBuilder sb;

        sb.Append(QString(c.appended, QLatin1Char('x')));

        EXPECT_EQ(sb.Length(), c.appended);
        EXPECT_EQ(sb.Capacity(), c.capacity);
    }
}

TEST(cStringBuilder, inserting_several_chunks_into_a_full_buffer)
{
    cStringBuilder sb;
    sb.setChunkSize(4);
    sb.Append(QStringLiteral("abcd"));

    sb.Insert(2, QStringLiteral("123456789"));

    EXPECT_EQ(sb.toString(), QStringLiteral("ab123456789cd"));
    EXPECT_EQ(sb.Capacity(), 16);
}

TEST(cStringBuilder, edits_text_in_place)
{
    cStringBuilder sb;
    sb.Append(QStringLiteral("mundo"));

    sb.Insert(0, QStringLiteral("hola "));
    sb.Insert(sb.Length(), QStringLiteral("!"));
    sb.AppendNL(QStringLiteral("?"));
    sb.InsertByVal(4, QStringLiteral(","));
    sb.AppendByVal(QStringLiteral("fin"));
    sb.Remove(0, 1);

    EXPECT_EQ(sb.toString(), QStringLiteral("ola, mundo!?\r\nfin"));
}

TEST(cStringBuilder, remove_keeps_the_capacity)
{
    cStringBuilder sb;
    sb.Append(QStringLiteral("abc"));

    sb.Remove(3, 0);
    EXPECT_EQ(sb.toString(), QStringLiteral("abc"));
    sb.Remove(0, sb.Length());

    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.toString(), QString());
}

TEST(cStringBuilder, positions_beyond_the_text_raise_error_9_and_change_nothing)
{
    struct Case
    {
        const char* name;
        std::function<void(cStringBuilder&)> action;
        int error;
    };
    const Case cases[] = {
        { "insert past the end", [](cStringBuilder& sb) { sb.Insert(4, QStringLiteral("x")); }, 9 },
        { "remove from past the end", [](cStringBuilder& sb) { sb.Remove(4, 0); }, 9 },
        { "remove running past the end", [](cStringBuilder& sb) { sb.Remove(1, 3); }, 9 },
        { "negative position", [](cStringBuilder& sb) { sb.Insert(-1, QStringLiteral("x")); }, 5 },
        { "negative length", [](cStringBuilder& sb) { sb.Remove(0, -1); }, 5 },
        // The byte count of the position no longer fits.
        { "huge position", [](cStringBuilder& sb) { sb.Insert(0x40000000, QStringLiteral("x")); },
            6 },
        { "huge length", [](cStringBuilder& sb) { sb.Remove(1, 0x3FFFFFFF); }, 6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cStringBuilder sb;
        sb.Append(QStringLiteral("abc"));

        EXPECT_EQ(errorOf([&] { c.action(sb); }), c.error);
        EXPECT_EQ(sb.toString(), QStringLiteral("abc"));
        EXPECT_EQ(sb.Capacity(), 8192);
    }
}

TEST(cStringBuilder, chunk_size_that_does_not_fit_raises_overflow_and_changes_nothing)
{
    cStringBuilder sb;

    EXPECT_EQ(errorOf([&] { sb.setChunkSize(0x40000000); }), 6);
    EXPECT_EQ(errorOf([&] { sb.setChunkSize(0); }), 5);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    sb.setChunkSize(0x3FFFFFFF);
    EXPECT_EQ(sb.ChunkSize(), 0x3FFFFFFF);
}

TEST(cStringBuilder, find_searches_only_the_text)
{
    cStringBuilder sb;
    sb.Append(QStringLiteral("Hola Mundo hola"));
    sb.Remove(10, 5); // leaves stale room past the text

    EXPECT_EQ(sb.Find(QStringLiteral("o")), 2);
    EXPECT_EQ(sb.Find(QStringLiteral("d"), 1, 0), 9);
    EXPECT_EQ(sb.Find(QStringLiteral("o"), sb.Length()), 10);
    EXPECT_EQ(sb.Find(QStringLiteral("MUNDO")), 6);
    EXPECT_EQ(sb.Find(QStringLiteral("MUNDO"), 1, 0), 0);
    EXPECT_EQ(sb.Find(QStringLiteral("hola"), 2), 0);
    EXPECT_EQ(sb.Find(QStringLiteral("hola"), -5), 1);
    EXPECT_EQ(sb.Find(QStringLiteral("do "), 1), 0);
    sb.setTheString(QStringLiteral("sinblancos"));
    EXPECT_EQ(sb.Find(QStringLiteral(" ")), 0);
}

TEST(cStringBuilder, heap_minimize_leaves_at_most_one_free_chunk)
{
    cStringBuilder sb;
    sb.Append(QString(5 * 8192, QLatin1Char('x')));
    sb.Remove(10, 5 * 8192 - 10);

    sb.HeapMinimize();

    EXPECT_EQ(sb.Length(), 10);
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.toString(), QString(10, QLatin1Char('x')));
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 8192);
}

TEST(cStringBuilder, the_string_replaces_the_text)
{
    cStringBuilder sb;
    sb.Append(QString(9000, QLatin1Char('x')));

    sb.setTheString(QStringLiteral("corto"));
    EXPECT_EQ(sb.toString(), QStringLiteral("corto"));
    EXPECT_EQ(sb.Capacity(), 16384);
    sb.setTheString(QString());

    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
}

TEST(cStringBuilder, clear_gives_back_the_storage)
{
    cStringBuilder sb;
    sb.Append(QStringLiteral("abc"));

    sb.Clear();

    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
    sb.Append(QStringLiteral("d"));
    EXPECT_EQ(sb.toString(), QStringLiteral("d"));
}
