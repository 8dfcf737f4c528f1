#include "platform/qt/SqliteText.h"

#include <optional>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class SqliteText : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        registerSqliteText(m_db);
    }

    void TearDown() override { sqlite3_close(m_db); }

    // Runs a one-value statement with up to three bound texts; nullopt for NULL.
    std::optional<int> scalar(
        const char* sql, const std::vector<QByteArray>& texts, QByteArray* error = nullptr)
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr), SQLITE_OK)
            << sqlite3_errmsg(m_db);
        for (int k = 0; k < static_cast<int>(texts.size()); ++k) {
            if (texts[k].isNull())
                sqlite3_bind_null(statement, k + 1);
            else
                sqlite3_bind_text(statement, k + 1, texts[k].constData(),
                    static_cast<int>(texts[k].size()), SQLITE_TRANSIENT);
        }
        std::optional<int> result;
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            result = sqlite3_column_int(statement, 0);
        if (rc == SQLITE_ERROR && error != nullptr)
            *error = sqlite3_errmsg(m_db);
        sqlite3_finalize(statement);
        return result;
    }

    void exec(const char* sql)
    {
        char* message = nullptr;
        ASSERT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, &message), SQLITE_OK) << message;
    }

    sqlite3* m_db = nullptr;
};

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

TEST_F(SqliteText, collation_ignores_case_and_trailing_blanks_but_keeps_accents)
{
    struct Case
    {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        { "ABC", "abc", 0 },
        { "abc  ", "ABC", 0 }, // the server pads fixed-width codes with blanks
        { "   1", "   1 ", 0 }, // a fitted business-unit code read back with a blank
        { "", "   ", 0 },
        { "Ñandú", "ñANDÚ", 0 },
        { "Á", "á", 0 },
        { "ÄRGER", "ärger", 0 },
        { "Σοφία", "ΣΟΦΊΑ", 0 }, // beyond Latin too
        { "a", "á", -1 }, // accents count; the plain letter first
        { "é", "e", 1 },
        { "ab", "áa", 1 }, // the accent only decides when the letters tie
        { "Zapato", "ácido", 1 }, // accented letters sort with their base letter
        { "nz", "ña", -1 }, // "ñ" is a letter of its own after "n"
        { "ñ", "o", -1 },
        { " abc", "abc", -1 }, // leading blanks count
        { "abc\t", "abc", 1 }, // only the plain blank is ignored at the end
        { "abc", "abcd", -1 },
        { "CLAVO 2", "clavo 10", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);

        EXPECT_EQ(sign(compareSqliteText(QByteArray(c.a), QByteArray(c.b))), c.expected);
        EXPECT_EQ(sign(compareSqliteText(QByteArray(c.b), QByteArray(c.a))), -c.expected);
        EXPECT_EQ(scalar("SELECT ?1 = ?2 COLLATE TEXTO", { c.a, c.b }), c.expected == 0 ? 1 : 0);
        EXPECT_EQ(scalar("SELECT ?1 < ?2 COLLATE TEXTO", { c.a, c.b }), c.expected < 0 ? 1 : 0);
    }
}

TEST_F(SqliteText, column_collation_orders_like_a_dictionary_and_keeps_keys_unique)
{
    exec("CREATE TABLE T (Codigo TEXT COLLATE TEXTO PRIMARY KEY)");
    exec("INSERT INTO T VALUES ('Ñandú'),('nube'),('Óleo'),('oca'),('ácido'),('Azufre'),('abc')");

    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(m_db, "SELECT Codigo FROM T ORDER BY Codigo", -1, &statement, nullptr),
        SQLITE_OK);
    QStringList order;
    while (sqlite3_step(statement) == SQLITE_ROW)
        order << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);

    EXPECT_EQ(order, QStringList({ "abc", "ácido", "Azufre", "nube", "Ñandú", "oca", "Óleo" }));
    EXPECT_NE(
        sqlite3_exec(m_db, "INSERT INTO T VALUES ('ABC  ')", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(
        sqlite3_exec(m_db, "INSERT INTO T VALUES ('abç')", nullptr, nullptr, nullptr), SQLITE_OK);
}

TEST_F(SqliteText, like_folds_case_beyond_ascii_and_honours_escape)
{
    struct Case
    {
        const char* text;
        const char* pattern;
        const char* escape; // nullptr: no ESCAPE clause
        int expected;
    };
    const Case cases[] = {
        { "ÑANDÚ", "ñand%", nullptr, 1 },
        { "canción", "%CIÓN", nullptr, 1 },
        { "cancion", "%ción", nullptr, 0 }, // accents count
        { "Ωmega", "ω%", nullptr, 1 },
        { "añc", "a_c", nullptr, 1 }, // "_" is one character, not one byte
        { "abc   ", "abc", nullptr, 1 }, // the text's trailing blanks do not count
        { "abc", "abc ", nullptr, 0 }, // the pattern's do
        { "abc  ", "abc ", nullptr, 1 },
        { "xa ", "%a %", nullptr, 1 },
        { "abcabd", "%ab_", nullptr, 1 },
        { "abcabd", "%abc", nullptr, 0 },
        { "", "%", nullptr, 1 },
        { "a_c", "a!_c", "!", 1 },
        { "abc", "a!_c", "!", 0 },
        { "50%", "50!%", "!", 1 },
        { "500", "50!%", "!", 0 },
        { "abc", "abc!", "!", 0 }, // a dangling escape matches nothing
        { "Ñ%", "ñ\\%", "\\", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " LIKE " + c.pattern);

        const auto result = c.escape == nullptr
            ? scalar("SELECT ?1 LIKE ?2", { c.text, c.pattern })
            : scalar("SELECT ?1 LIKE ?2 ESCAPE ?3", { c.text, c.pattern, c.escape });

        EXPECT_EQ(result, c.expected);
    }
}

TEST_F(SqliteText, like_with_a_constant_pattern_filters_a_table)
{
    exec("CREATE TABLE A (Descripcion TEXT COLLATE TEXTO)");
    exec("INSERT INTO A VALUES ('Ñoquis secos'),('ñoquis de papa'),('Noquis'),('Piñón')");

    EXPECT_EQ(scalar("SELECT COUNT(*) FROM A WHERE Descripcion LIKE 'ÑOQUIS%'", {}), 2);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM A WHERE Descripcion NOT LIKE '%ñ%'", {}), 1);
}

TEST_F(SqliteText, like_gives_null_for_null_and_rejects_a_long_escape)
{
    QByteArray error;

    EXPECT_EQ(scalar("SELECT ?1 LIKE ?2", { QByteArray(), "a%" }), std::nullopt);
    EXPECT_EQ(scalar("SELECT 'a' LIKE 'a' ESCAPE ?1", { "ab" }, &error), std::nullopt);
    EXPECT_EQ(error, "ESCAPE expression must be a single character");
}

TEST(SqliteTextOnQt, registers_on_an_open_qsqlite_connection_only)
{
    const QString name = QStringLiteral("SqliteTextOnQt");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        EXPECT_FALSE(registerSqliteText(db));
        ASSERT_TRUE(db.open());

        ASSERT_TRUE(registerSqliteText(db));

        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(
            QStringLiteral("SELECT 'ÁRBOL ' = 'árbol' COLLATE TEXTO, 'ÁRBOL' LIKE 'árb%'")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toInt(), 1);
        EXPECT_EQ(query.value(1).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(SqliteTextExtension, loads_into_a_plain_connection)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_enable_load_extension(db, 1);
    char* message = nullptr;

    const int rc = sqlite3_load_extension(db, RP_SQLITE_TEXT_MODULE, nullptr, &message);

    EXPECT_EQ(rc, SQLITE_OK) << (message != nullptr ? message : "");
    sqlite3_free(message);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT 'Ñandú  ' = 'ñANDÚ' COLLATE TEXTO, 'ÑU' LIKE 'ñ%'", -1,
                  &statement, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 1);
    EXPECT_EQ(sqlite3_column_int(statement, 1), 1);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

// The ODBC path reaches a SQLite file through the driver, which loads the extension itself.
TEST(SqliteTextExtension, gives_the_odbc_driver_the_same_comparisons)
{
    ASSERT_TRUE(QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("odbc.db"));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        registerSqliteText(db);
        ASSERT_EQ(sqlite3_exec(db,
                      "CREATE TABLE T (Codigo varchar(10) COLLATE TEXTO PRIMARY KEY);"
                      "INSERT INTO T VALUES ('Ñandú'),('nube')",
                      nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    const QString name = QStringLiteral("SqliteTextOdbc");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(QStringLiteral("DRIVER={SQLite3};Database=%1;LoadExt=%2")
                               .arg(file, QStringLiteral(RP_SQLITE_TEXT_MODULE)));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();

        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*) FROM T WHERE Codigo = 'ÑANDÚ '")))
            << query.lastError().text().toStdString();
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(name);
}
