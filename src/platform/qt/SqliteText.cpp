#include "platform/qt/SqliteText.h"

#include <QChar>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include "platform/TextWeight.h"

namespace {

// Decodes one UTF-8 sequence at s[i] and advances i. A malformed byte stands for itself (read as
// Latin-1), so a text written by some old tool still compares and matches deterministically.
inline char32_t decodeUtf8(const unsigned char* s, int n, int& i)
{
    const unsigned char lead = s[i++];
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return lead;
    }
    if (i + extra > n)
        return lead;
    for (int k = 0; k < extra; ++k) {
        if ((s[i + k] & 0xC0) != 0x80)
            return lead;
    }
    for (int k = 0; k < extra; ++k)
        cp = (cp << 6) | (s[i + k] & 0x3F);
    i += extra;
    return cp;
}

int collateTexto(void*, int aLength, const void* a, int bLength, const void* b)
{
    return compareSqliteText(
        static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

// ---- LIKE ----

struct LikePattern
{
    TextPattern pattern;
    char32_t escape = 0;
    bool hasEscape = false;
    bool valid = true; // false when the pattern ends with the escape character: matches nothing
};

LikePattern compileLike(const unsigned char* p, int n, bool hasEscape, char32_t escape)
{
    LikePattern like;
    like.escape = escape;
    like.hasEscape = hasEscape;
    like.pattern.reserve(static_cast<std::size_t>(n));
    int i = 0;
    while (i < n) {
        const char32_t cp = decodeUtf8(p, n, i);
        if (hasEscape && cp == escape) {
            if (i >= n) {
                like.valid = false;
                break;
            }
            like.pattern.addLiteral(decodeUtf8(p, n, i));
        } else if (cp == '%') {
            like.pattern.addAnyRun();
        } else if (cp == '_') {
            like.pattern.addAnyOne();
        } else {
            like.pattern.addLiteral(cp);
        }
    }
    return like;
}

bool likeMatches(const LikePattern& like, sqlite3_value* text)
{
    return like.valid
        && like.pattern.matches(sqlite3_value_text(text), sqlite3_value_bytes(text), &decodeUtf8);
}

void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    for (int k = 0; k < argc; ++k) {
        if (sqlite3_value_type(argv[k]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    bool hasEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        const int eLength = sqlite3_value_bytes(argv[2]);
        int pos = 0;
        if (e != nullptr && eLength > 0)
            escape = decodeUtf8(e, eLength, pos);
        if (e == nullptr || eLength == 0 || pos != eLength) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        hasEscape = true;
    }

    // The pattern is nearly always a constant of the statement: compile it once per statement.
    // SQLite keeps the compiled pattern while the argument stays the same and frees it otherwise.
    auto* cached = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (cached != nullptr && cached->hasEscape == hasEscape && cached->escape == escape) {
        sqlite3_result_int(context, likeMatches(*cached, argv[1]) ? 1 : 0);
        return;
    }
    const auto* p = sqlite3_value_text(argv[0]);
    const int pLength = sqlite3_value_bytes(argv[0]);
    auto* compiled = new LikePattern(compileLike(p, pLength, hasEscape, escape));
    sqlite3_result_int(context, likeMatches(*compiled, argv[1]) ? 1 : 0);
    sqlite3_set_auxdata(
        context, 0, compiled, [](void* data) { delete static_cast<LikePattern*>(data); });
}

} // namespace

int compareSqliteText(const char* a, int aLength, const char* b, int bLength)
{
    return compareTextWeights(reinterpret_cast<const unsigned char*>(a), aLength,
        reinterpret_cast<const unsigned char*>(b), bLength, &decodeUtf8);
}

int compareSqliteText(const QByteArray& a, const QByteArray& b)
{
    return compareSqliteText(
        a.constData(), static_cast<int>(a.size()), b.constData(), static_cast<int>(b.size()));
}

void registerSqliteText(sqlite3* db)
{
    if (db == nullptr)
        return;
    // The Bloom filters SQLite builds for a join hash the key's bytes, not its collation: a price
    // row keyed "000008 " was dropped against the article "000008" although the join's TEXTO
    // comparison says they are equal. Turning them off costs little (the join still uses the
    // index or an automatic index, both of which honour the collation). The bits are SQLite's
    // own optimisation flags for the Bloom filter and its push-down.
    constexpr int bloomFilter = 0x00080000;
    constexpr int bloomPulldown = 0x00100000;
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, db, bloomFilter | bloomPulldown);
    sqlite3_create_collation_v2(
        db, kSqliteTextCollation, SQLITE_UTF8, nullptr, &collateTexto, nullptr);
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(
        db, "like", 2, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(
        db, "like", 3, flags, nullptr, &likeFunction, nullptr, nullptr, nullptr);
}

bool registerSqliteText(const QSqlDatabase& db)
{
    if (!db.isOpen() || db.driver() == nullptr)
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3* raw = *static_cast<sqlite3* const*>(handle.constData());
    if (raw == nullptr)
        return false;
    registerSqliteText(raw);
    return true;
}
