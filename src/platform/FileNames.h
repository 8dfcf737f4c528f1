#pragma once

#include <QString>

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

} // namespace FileNames
