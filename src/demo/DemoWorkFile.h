#pragma once

#include <memory>

#include <QString>

class QTemporaryFile;

// A demo database written under a name of its own beside the file it becomes
// ("DEMO.db.Ab12Cd.nuevo"), and put in place in one step when whole. The run holds a lock on its
// work file for as long as it lives, which tells the work files of live runs from those a killed
// run left behind.
class DemoWorkFile final
{
public:
    // Removes the work files of `finalPath` that no live run holds, then makes this run's own,
    // empty and locked. Raises RuntimeError when it cannot be made.
    explicit DemoWorkFile(const QString& finalPath);
    // Removes the work file unless it was put in place.
    ~DemoWorkFile();
    DemoWorkFile(const DemoWorkFile&) = delete;
    DemoWorkFile& operator=(const DemoWorkFile&) = delete;

    QString path() const;

    // Puts the work file, complete and closed, at the final name. A database already there is
    // replaced only while this run holds SQLite's exclusive lock on it: one that another program
    // has open is refused, and its write-ahead journal is taken into it first, so that no journal
    // of the old file is left beside the new one. With `keepExisting` a file already there is kept
    // as it is and the work file dropped. Raises RuntimeError naming the file when it cannot be
    // done; the file at the final name is then left as it was.
    void putInPlace(bool keepExisting);

private:
    QString m_finalPath;
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_placed = false;
};
