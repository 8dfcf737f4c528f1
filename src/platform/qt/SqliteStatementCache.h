#pragma once

#include <optional>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include "platform/Value.h"

struct sqlite3;
struct sqlite3_stmt;

// Prepared statements kept per connection by their shape: the statement with its literals taken
// out as parameters. The program writes its rows and asks for its records with literal
// statements; compiling each one again (with the connection's column triggers, or the views it
// reads) cost more than running it, and statements of one shape differ only in those literals.
class SqliteStatementCache final
{
public:
    struct Shape
    {
        QByteArray sql;
        QList<Value> values;
    };

    // The shape of an INSERT, UPDATE, DELETE or REPLACE; nothing for any other statement, one
    // that already has parameters, or one where a number may mean a column (ORDER BY, GROUP BY).
    // A literal whose value the parameter would not keep exactly (a decimal number, a blob, a
    // number past 64 bits) stays in the text.
    static std::optional<Shape> shapeOf(const QString& sql);
    // The shape of a SELECT: only the texts after its own WHERE become parameters, so its
    // columns keep their names and a number in ORDER BY still names a column.
    static std::optional<Shape> shapeOfQuery(const QString& sql);

    SqliteStatementCache() = default;
    SqliteStatementCache(const SqliteStatementCache&) = delete;
    SqliteStatementCache& operator=(const SqliteStatementCache&) = delete;
    ~SqliteStatementCache();

    // A statement kept for the shape, reset and without bindings, or null. The caller owns it
    // until it gives it back with keep() (a statement in use is never in the cache, so two open
    // cursors of one shape each have their own).
    sqlite3_stmt* take(const QByteArray& sql);
    // Keeps a statement prepared from `sql` (reset and its bindings cleared here); the cache owns
    // it.
    void keep(const QByteArray& sql, sqlite3_stmt* stmt);
    // A shape SQLite would not prepare with parameters (a number in a type name, a text as a
    // name): it is prepared from its own text from then on.
    void refuse(const QByteArray& sql) { m_refused.insert(sql); }
    bool refused(const QByteArray& sql) const { return m_refused.contains(sql); }
    // Finalizes every statement kept; done before the connection closes.
    void clear();

private:
    QMultiHash<QByteArray, sqlite3_stmt*> m_statements;
    QSet<QByteArray> m_refused;
};
