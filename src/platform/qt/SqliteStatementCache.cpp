#include "platform/qt/SqliteStatementCache.h"

#include <sqlite3.h>

namespace {

// Past this many shapes the program is not writing rows of a few shapes over and over: the
// statements are let go rather than kept without bound.
constexpr qsizetype MaxStatements = 128;

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() > 0x7f;
}

bool isNamePart(QChar c)
{
    return isNameStart(c) || c.isDigit() || c == u'$';
}

} // namespace

namespace {

enum class Kind
{
    Write,
    Query
};

std::optional<SqliteStatementCache::Shape> shapeFor(const QString& sql, Kind kind)
{
    using Shape = SqliteStatementCache::Shape;
    Shape shape;
    QString text;
    text.reserve(sql.size());
    bool first = true;
    // Literals of a query become parameters only past its own WHERE.
    bool values = kind == Kind::Write;
    int depth = 0;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            text.append(QStringView(sql).mid(i, stop - i));
            i = stop;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            text.append(QStringView(sql).mid(i, stop - i));
            i = stop;
        } else if (c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? u']' : c;
            qsizetype j = i + 1;
            while (j < n && sql.at(j) != close)
                ++j;
            j = qMin(j + 1, n);
            text.append(QStringView(sql).mid(i, j - i));
            i = j;
        } else if (c == u'\'') {
            QString value;
            qsizetype j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    return std::nullopt;
                if (sql.at(j) == u'\'') {
                    if (j + 1 < n && sql.at(j + 1) == u'\'') {
                        value.append(u'\'');
                        ++j;
                        continue;
                    }
                    break;
                }
                value.append(sql.at(j));
            }
            if (values) {
                shape.values.append(Value(value));
                text.append(u'?');
            } else {
                text.append(QStringView(sql).mid(i, j + 1 - i));
            }
            i = j + 1;
        } else if (isNameStart(c)) {
            qsizetype j = i;
            while (j < n && isNamePart(sql.at(j)))
                ++j;
            const QStringView name = QStringView(sql).mid(i, j - i);
            if (first) {
                first = false;
                bool known = false;
                if (kind == Kind::Query)
                    known = name.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0;
                else
                    for (const char* verb : { "INSERT", "UPDATE", "DELETE", "REPLACE" })
                        known
                            = known || name.compare(QLatin1String(verb), Qt::CaseInsensitive) == 0;
                if (!known)
                    return std::nullopt;
            }
            if (kind == Kind::Write
                && (name.compare(QLatin1String("ORDER"), Qt::CaseInsensitive) == 0
                    || name.compare(QLatin1String("GROUP"), Qt::CaseInsensitive) == 0))
                return std::nullopt;
            if (depth == 0 && name.compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0)
                values = true;
            // A blob (X'0A') is left as written.
            if (name.size() == 1 && (c == u'x' || c == u'X') && j < n && sql.at(j) == u'\'') {
                const qsizetype end = sql.indexOf(u'\'', j + 1);
                j = end < 0 ? n : end + 1;
            }
            text.append(QStringView(sql).mid(i, j - i));
            i = j;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql.at(i + 1).isDigit())) {
            qsizetype j = i;
            while (j < n
                && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'.' || sql.at(j) == u'_'
                    || ((sql.at(j) == u'+' || sql.at(j) == u'-')
                        && (sql.at(j - 1) == u'e' || sql.at(j - 1) == u'E'))))
                ++j;
            const QStringView number = QStringView(sql).mid(i, j - i);
            bool whole = true;
            for (QChar d : number)
                whole = whole && d.isDigit();
            bool fits = false;
            const qint64 value = whole ? number.toLongLong(&fits) : 0;
            if (fits && kind == Kind::Write) {
                shape.values.append(Value(value));
                text.append(u'?');
            } else {
                text.append(number);
            }
            i = j;
        } else if (c == u'?' || c == u':' || c == u'@' || c == u'$') {
            return std::nullopt;
        } else {
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            text.append(c);
            ++i;
        }
    }
    if (first)
        return std::nullopt;
    shape.sql = text.toUtf8();
    return shape;
}

} // namespace

std::optional<SqliteStatementCache::Shape> SqliteStatementCache::shapeOf(const QString& sql)
{
    return shapeFor(sql, Kind::Write);
}

std::optional<SqliteStatementCache::Shape> SqliteStatementCache::shapeOfQuery(const QString& sql)
{
    return shapeFor(sql, Kind::Query);
}

SqliteStatementCache::~SqliteStatementCache()
{
    clear();
}

sqlite3_stmt* SqliteStatementCache::take(const QByteArray& sql)
{
    const auto kept = m_statements.find(sql);
    if (kept == m_statements.end())
        return nullptr;
    sqlite3_stmt* stmt = kept.value();
    m_statements.erase(kept);
    return stmt;
}

void SqliteStatementCache::keep(const QByteArray& sql, sqlite3_stmt* stmt)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (m_statements.size() >= MaxStatements)
        clear();
    m_statements.insert(sql, stmt);
}

void SqliteStatementCache::clear()
{
    for (sqlite3_stmt* stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    m_refused.clear();
}
