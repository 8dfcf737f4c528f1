#pragma once

#include <QString>

struct sqlite3;

// The database file under one SQLite connection, and what keeps it whole and usable by its owner:
// before SQLite touches it, whether it is opened at all and whether to write or only to read; the
// first read, which tells a damaged or unreadable file at once; its write-ahead journal while it
// is open to write, and the file put back in its own journal when the last connection closes.
class SqliteDatabaseFile final
{
public:
    // Looks at the file before SQLite opens it and decides how it is opened. Empty when it may be
    // opened; otherwise why not, in the user's words, naming the file. SQLite takes an empty file
    // for a new database and writes its header into it, another file fails only at the first
    // statement, and a file this process may only read is refused where reading it would make
    // files beside it. A file with more than one name on the disk (hard links) is only read.
    QString refusal(const QString& path);
    // Whether the file is opened to write (decided by refusal()).
    bool writable() const { return m_writable; }
    // The name and the connect options QSQLITE opens the file by.
    QString databaseName() const;
    QString connectOptions() const;

    // The first read on the newly opened connection `db` (its schema): empty when the file can be
    // read, or is held locked by another process (its statements wait for it as any does);
    // otherwise why not. A file that fails it has no journal to put back on close.
    QString firstReadRefusal(sqlite3* db);
    // Gives a file opened to write its write-ahead journal.
    void openJournal(sqlite3* db) const;
    // Just before `db` closes: puts the file back in its own journal when this is the last
    // connection on it. Nothing is done to the file after it.
    void closeJournal(sqlite3* db);

    // SQLite's text for a failure of the file itself, in the program's words, saying why a file
    // opened only to read was; empty for the failures of a statement.
    QString failureText(int rc) const;

private:
    QString m_path;
    bool m_writable = false;
    bool m_otherNames = false;
};
