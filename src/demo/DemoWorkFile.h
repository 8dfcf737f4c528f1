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

    // Takes this name's turn and checks that the work file, complete and closed, can be put at
    // the final name, holding both until putInPlace() or the object's end: one run at a time
    // places a file at one name, so the name found free stays free and no other run removes the
    // journals of a file this one has just placed. A database already there may be replaced only
    // while this run holds SQLite's exclusive lock on it: one that another program has open is
    // refused. With `keepExisting` a file already there is to be kept as it is. Raises
    // RuntimeError naming the file when it cannot be replaced; nothing is changed then.
    void takeTurn(bool keepExisting);

    // Puts the work file at the final name (after takeTurn(), which it takes when not taken yet):
    // the journals of the old file, or those beside no file, are removed first, so that none is
    // left beside the new one. A file to be kept is left as it is and the work file dropped.
    // Raises RuntimeError naming the file when it cannot be done; the file at the final name is
    // then left as it was.
    void putInPlace(bool keepExisting);

private:
    class ExclusiveLock;

    QString m_finalPath;
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_placed = false;
    // The name's turn: a lock file of the writers' own beside the final name, and what was found
    // at the name under it.
    int m_turn = -1;
    bool m_keep = false;
    std::unique_ptr<ExclusiveLock> m_lock;
};
