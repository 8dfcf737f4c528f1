#include <gtest/gtest.h>

#include <random>

#include <QString>

#include <sqlite3.h>

#include "reportengine/FormulaText.h"

namespace {

struct CompareCase
{
    const char* a;
    const char* b;
    int sign;
};

class FormulaTextCompare : public ::testing::TestWithParam<CompareCase>
{
};

TEST_P(FormulaTextCompare, orders_as_the_suite_server)
{
    const CompareCase& c = GetParam();

    const int r = FormulaText::compare(QString::fromUtf8(c.a), QString::fromUtf8(c.b));

    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " / " << c.b;
}

INSTANTIATE_TEST_SUITE_P(FormulaText, FormulaTextCompare,
    ::testing::Values(CompareCase { "abc", "ABC", 0 }, CompareCase { "abc  ", "abc", 0 },
        CompareCase { " abc", "abc", -1 }, CompareCase { "Ñandú", "ñANDÚ", 0 },
        CompareCase { "a", "á", -1 }, CompareCase { "á", "b", -1 }, CompareCase { "n", "ñ", -1 },
        CompareCase { "ñ", "o", -1 }, CompareCase { "ñb", "nc", 1 },
        CompareCase { "camión", "camion", 1 }, CompareCase { "camión", "camiono", -1 },
        // The first accent difference decides, not the last.
        CompareCase { "éa", "eá", 1 }, CompareCase { "", "   ", 0 }, CompareCase { "a", "", 1 },
        CompareCase { "0002", "0010", -1 }, CompareCase { "   1", "  10", -1 }));

TEST(FormulaText, like_and_starts_with)
{
    EXPECT_TRUE(FormulaText::like(u"CAFÉ en grano", u"café*"));
    EXPECT_FALSE(FormulaText::like(u"cafe en grano", u"café*"));
    EXPECT_TRUE(FormulaText::like(u"M  ", u"m"));
    EXPECT_TRUE(FormulaText::like(u"M  ", u"m ?"));
    EXPECT_FALSE(FormulaText::like(u"M", u"m "));
    EXPECT_TRUE(FormulaText::like(u"10%A", u"10%*"));
    EXPECT_TRUE(FormulaText::startsWith(u"a*b", u"A*"));
    EXPECT_FALSE(FormulaText::startsWith(u"axb", u"a*"));
    // The same text asked as a pattern, then as a prefix, then as a pattern again, row after
    // row as a selection asks it: each keeps its own meaning.
    EXPECT_FALSE(FormulaText::like(u"CABLE 2", u"CABLE"));
    EXPECT_TRUE(FormulaText::startsWith(u"CABLE 2", u"CABLE"));
    EXPECT_FALSE(FormulaText::like(u"CABLE 2", u"CABLE"));
    EXPECT_EQ(FormulaText::quoted(u"D'Angelo"), QStringLiteral("'D''Angelo'"));
    EXPECT_EQ(FormulaText::trimmedRight(u" a \t "), QStringLiteral(" a \t"));
}

// The database's collation and LIKE (the program's SQLite extension) and FormulaText must give
// the same answer for any text: otherwise a pushed-down condition selects other rows.
class FormulaTextAgreement : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        sqlite3_enable_load_extension(m_db, 1);
        char* message = nullptr;
        ASSERT_EQ(sqlite3_load_extension(m_db, RP_SQLITE_TEXT_MODULE, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
    }
    void TearDown() override { sqlite3_close(m_db); }

    int ask(const char* sql, const QString& a, const QString& b)
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr), SQLITE_OK);
        const QByteArray ua = a.toUtf8();
        const QByteArray ub = b.toUtf8();
        sqlite3_bind_text(statement, 1, ua.constData(), int(ua.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, ub.constData(), int(ub.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
        const int r = sqlite3_column_int(statement, 0);
        sqlite3_finalize(statement);
        return r;
    }

    sqlite3* m_db = nullptr;
};

TEST_F(FormulaTextAgreement, compare_and_like_agree_with_the_database)
{
    // Letters that differ by case, by accent, the Spanish ñ, blanks, digits and wildcards.
    const QString alphabet = QStringLiteral("aAáÁbBnNñÑoOéEeüU 0 1'%_*?-");
    std::mt19937 random(20241209);
    auto text = [&](int maximum) {
        QString s;
        const int length = int(random() % (maximum + 1));
        for (int i = 0; i < length; ++i)
            s += alphabet.at(int(random() % alphabet.size()));
        return s;
    };

    for (int i = 0; i < 4000; ++i) {
        const QString a = text(6);
        const QString b = i % 3 == 0 ? a.toUpper() + QStringLiteral("  ") : text(6);
        const int local = FormulaText::compare(a, b);
        const int database = ask("SELECT CASE WHEN ?1 < ?2 COLLATE TEXTO THEN -1 "
                                 "WHEN ?1 = ?2 COLLATE TEXTO THEN 0 ELSE 1 END",
            a, b);
        ASSERT_EQ((local > 0) - (local < 0), database)
            << a.toStdString() << " / " << b.toStdString();

        // The formula's pattern as the planner hands it to the database.
        QString pattern = text(4);
        QString sqlPattern;
        for (const QChar c : pattern) {
            if (c == u'\\' || c == u'%' || c == u'_')
                sqlPattern += u'\\';
            sqlPattern += c == u'*' ? QChar(u'%') : c == u'?' ? QChar(u'_') : c;
        }
        const bool matchesLocally = FormulaText::like(a, pattern);
        ASSERT_EQ(int(matchesLocally), ask("SELECT ?1 LIKE ?2 ESCAPE '\\'", a, sqlPattern))
            << a.toStdString() << " like " << pattern.toStdString();
    }
}

TEST(FormulaText, rich_text_descriptions_read_as_plain_text)
{
    const struct
    {
        const char* rtf;
        const char* texto;
    } casos[] = {
        { "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\*\\generator Editor;}\\f0\\fs20 "
          "Instalaci\\'f3n de ca\\'f1er\\'eda\\par Segunda l\\'ednea\\par}",
            "Instalación de cañería\nSegunda línea" },
        // Left unterminated, as the work diary writes it; its line break is the source's own.
        { "{\\rtf1\\ansi Visita técnica\r\n Se revisó el tablero.",
            "Visita técnica Se revisó el tablero." },
        { "{\\rtf1\\fbidis a\\{b\\}c\\\\d\\tab e \\u8364?}", "a{b}c\\d\te €" },
        { "Sin formato {no es rtf} \\par", "Sin formato {no es rtf} \\par" },
        { "", "" },
    };
    for (const auto& c : casos)
        EXPECT_EQ(FormulaText::plainFromRtf(QString::fromUtf8(c.rtf)), QString::fromUtf8(c.texto))
            << c.rtf;
}

} // namespace
