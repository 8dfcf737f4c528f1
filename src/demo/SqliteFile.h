#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A database file written by one of our tools through the sqlite3 C API. Failures raise
// RuntimeError with SQLite's message; the tool reports it and removes what it wrote.
class SqliteFile final
{
public:
    // Creates (or empties, keeping the same file) the file and registers the program's text
    // semantics on it.
    explicit SqliteFile(const QString& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    sqlite3* handle() const { return m_db; }

    // Runs one or more statements separated by ";".
    void exec(const QByteArray& sql);

    // Closes the file; further calls fail. Also done by the destructor.
    void close();

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};

// One prepared INSERT, bound value by value with <<, run by done() and ready for the next row.
class SqlInsert final
{
public:
    SqlInsert(SqliteFile& file, const char* table, const QByteArray& columns);
    ~SqlInsert();
    SqlInsert(const SqlInsert&) = delete;
    SqlInsert& operator=(const SqlInsert&) = delete;

    SqlInsert& operator<<(const QString& text);
    SqlInsert& operator<<(const char* text);
    SqlInsert& operator<<(int number);
    SqlInsert& operator<<(qint64 number);
    SqlInsert& operator<<(double number);
    SqlInsert& operator<<(bool flag);
    SqlInsert& operator<<(std::nullptr_t);

    // Inserts the row; every value must have been bound.
    void done();

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QByteArray m_table;
    int m_columns = 0;
    int m_next = 1;
};
