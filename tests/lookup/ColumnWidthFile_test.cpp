#include "lookup/ColumnWidthFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/RuntimeError.h"

namespace {

class ColumnWidthFileTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("CONSULTASLEN.qzk")); }
    void write(const QByteArray& bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QList<std::optional<double>> widths(std::initializer_list<std::optional<double>> l)
    {
        return QList<std::optional<double>>(l);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ColumnWidthFileTest, no_file_keeps_every_width)
{
    EXPECT_EQ(ColumnWidthFile::leer(path(), QStringLiteral("T"), 2),
        widths({ std::nullopt, std::nullopt }));
}

TEST_F(ColumnWidthFileTest, reading_applies_the_tables_lines_in_turn)
{
    write("\"OTRA\",\"1|2|3|\"\r\n"
          "\"vt_ma_articulos\",\"1440|4500|1200|\"\r\n"
          "\"VT_MA_ARTICULOS\",\"1000|2000|\"\r\n");

    const struct
    {
        int columns;
        QList<std::optional<double>> expected;
    } cases[] = {
        // The last line gives two widths and then fails: the third stays from the line before.
        { 3, widths({ 1000, 2000, 1200 }) },
        // More widths than columns: the first ones apply.
        { 1, widths({ 1000 }) },
        // Fewer widths than columns: what they give, then the reading stops, so the last line
        // is never reached.
        { 4, widths({ 1440, 4500, 1200, std::nullopt }) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            ColumnWidthFile::leer(path(), QStringLiteral("VT_MA_ARTICULOS"), c.columns), c.expected)
            << c.columns;
}

TEST_F(ColumnWidthFileTest, a_width_that_is_no_number_ends_the_reading)
{
    write("\"T\",\"100|x|300|\"\r\n\"T\",\"7|8|9|\"\r\n");

    EXPECT_EQ(ColumnWidthFile::leer(path(), QStringLiteral("T"), 3),
        widths({ 100, std::nullopt, std::nullopt }));
}

TEST_F(ColumnWidthFileTest, writing_keeps_other_tables_in_place_and_moves_this_one_last)
{
    write("\"A\",\"1|\"\r\n\"t\",\"5|5|\"\r\n\"B\",\"2|\"\r\n");

    ColumnWidthFile::grabar(path(), QStringLiteral("T"), { 1440, 4500, 1200 });

    EXPECT_EQ(contents(),
        QByteArray("\"A\",\"1|\"\r\n\"B\",\"2|\"\r\n"
                   "\"T\",\"1440|4500|1200|\"\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("CONSULTASLEN.AUX"))));
}

TEST_F(ColumnWidthFileTest, writing_without_a_file_creates_it_with_one_line)
{
    ColumnWidthFile::grabar(path(), QStringLiteral("Stk_ma_articulos"), { 900 });

    EXPECT_EQ(contents(), QByteArray("\"Stk_ma_articulos\",\"900|\"\r\n"));
}

TEST_F(ColumnWidthFileTest, writing_into_a_missing_folder_raises_and_names_the_file)
{
    const QString missing = dir.filePath(QStringLiteral("no/existe/CONSULTASLEN.qzk"));

    try {
        ColumnWidthFile::grabar(missing, QStringLiteral("T"), { 1 });
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("CONSULTASLEN.AUX")))
            << e.description().toStdString();
    }
}
