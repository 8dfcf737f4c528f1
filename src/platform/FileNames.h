#pragma once

#include <sys/types.h>

#include <QString>

struct stat;

// File names as the suite uses them: written in any case ("ZR417px.INI", "zr417px.ini") and with
// "\" or "/" as separator. On this system names are case-sensitive, so every name the program
// builds is resolved against what is really on disk.
namespace FileNames {

// "\" becomes "/".
QString normalized(const QString& path);

// The existing file or folder that matches `path` component by component ignoring case (an exact
// match wins over a match in another case). When some component has no match, the path is returned
// normalized with the components found so far resolved, so a file about to be created keeps the
// spelling the program gave it.
QString resolve(const QString& path);

// `name` inside `folder` (relative names only; an absolute `name` is resolved on its own).
QString inFolder(const QString& folder, const QString& name);

// `name` inside the program folder.
QString inProgramFolder(const QString& name);

// A helper file the program reads from the program folder and also writes (query masks, column
// widths, the connection registry, the INI file, the data layer's error log). The program folder
// is read-only in an installation, so what the program writes goes to the data folder, and the
// data folder's file is the one read when both hold one.

// The file `name` to read: in the data folder when it is there, else in the program folder when
// it is there, else the data folder's (where it would be written). An absolute `name` is itself.
QString helperFileToRead(const QString& name);

enum class FirstWrite
{
    // The file starts empty in the data folder (an appended log, a file made whole at once).
    Empty,
    // A file updated in place starts as a copy of the program folder's, so that what the program
    // adds keeps what the suite put there.
    CopyOfProgramFolder
};

// The file `name` to write, in the data folder, which is made when missing. When it cannot be made
// (or the copy fails) the path is still returned: the writer then fails naming it. A first copy
// of the program folder's file is one this account may write, whatever the installation's mode.
// An absolute `name` is itself.
QString helperFileToWrite(const QString& name, FirstWrite firstWrite = FirstWrite::Empty);

// As helperFileToWrite(), for a writer that reports its failures: raises RuntimeError saying that
// the data folder cannot be written, naming it, when it cannot be made, or when the file is not
// there yet and this account may not make it there (the write would otherwise fail as if the
// file were not there).
QString checkedHelperFileToWrite(const QString& name, FirstWrite firstWrite = FirstWrite::Empty);

// Whether this process may write the file at `path` and make files in its folder (as SQLite makes
// a database's journals beside it).
bool mayWriteFileAndFolder(const QString& path);

// Whether `account` may write the file whose status is `file`: root, its owner (who may change its
// mode anyway), and whom its mode lets. Whoever made a file beside another may be told by it: a
// file beside a database that its journal or a lock is kept in is used only when its owner may
// write the database.
bool accountMayWrite(uid_t account, const struct stat& file);

} // namespace FileNames
