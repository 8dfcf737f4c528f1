#pragma once

#include <QByteArray>
#include <QString>

// Appending to a file whose folder others may write (the temporary folder, a capture folder). The
// name is opened without following a link and without waiting for a reader, and the bytes go only
// to a regular file of this account, so a link, a FIFO or another user's file planted at the name
// is neither written through, nor waited on, nor fed.
namespace AppendFile {

// Appends `bytes` to `path`, creating it with `createMode` (before the umask) when missing. False
// with the reason, in the program's words, in `why` when the file cannot be used or written.
bool append(
    const QString& path, const QByteArray& bytes, QString* why = nullptr, int createMode = 0666);

} // namespace AppendFile
