#pragma once

#include <QFile>
#include <QString>

// An export's file. It is written under a temporary name beside its target and renamed over the
// target only when whole, so a failure or a crash at any moment leaves either the old file or the
// new one, never half of one, and nothing else beside it. A target that exists and is not a
// regular file (a folder, a FIFO, a device) is refused before anything is written. A link at the
// target's name is replaced like a file, never followed: in a folder others write, what it points
// at is not theirs to have overwritten.
class OutputFile final : public QFile
{
public:
    explicit OutputFile(const QString& target);
    ~OutputFile() override;

    // False with reason() when the target is refused or its temporary cannot be made.
    bool create();
    // Renames the written file over the target; false with reason() when anything written was
    // lost. Without it (a failure, the object destroyed) the temporary goes away.
    bool finish();
    // Why the last step failed, in the program's words.
    QString reason() const;
    // Closes and removes the temporary; the target is left as it was.
    void cancelWriting();
    // Whether a write has failed already (the rest would be lost).
    bool failed() const { return !m_reason.isEmpty() || error() != QFileDevice::NoError; }

    // Why a target that exists and is not a regular file is refused; empty when it may be written.
    static QString refusal(const QString& target);
    // A file error in the program's words ("No queda espacio en el disco"), from the error number
    // or from the text Qt made of it.
    static QString reasonFor(int error);
    static QString reasonFor(const QFileDevice& file);
    // Writes the whole of `data` to a file opened unbuffered; false with the reason in `why`.
    static bool writeAll(QFileDevice& file, const QByteArray& data, QString* why);
    // Renames `temporary` over `target` in one step; false with the reason in `why`.
    static bool replace(const QString& temporary, const QString& target, QString* why);

    // A scratch file of this process: `file` opened to read and write, by default unbuffered (see
    // writeAll), `readBack` when given opened on it to read, then its name removed at once, so it
    // vanishes with the process however that ends. False with the reason in `why`. `mode`
    // Unbuffered by default; empty for a file written in small pieces.
    static bool createScratch(const QString& kind, QFile& file, QFile* readBack, QString* why,
        QIODevice::OpenMode mode = QIODevice::Unbuffered);
    // A name template for a scratch file of this process in the program's own temporary folder
    // ("<private folder in TMPDIR>/Rp_Tarifolio/<kind>-<pid>-XXXXXX", see privateFolderIn). The
    // first call removes what processes that are gone left there.
    static QString scratchTemplate(const QString& kind);

protected:
    // Kept in a buffer of our own and written through unbuffered, so a failing write is caught
    // with the system's error number (Qt's buffer reports a short write as "Unknown error").
    qint64 writeData(const char* data, qint64 length) override;

private:
    bool writeThrough(const char* data, qint64 length);
    bool flushBuffer();
    bool linkUnnamed();

    QString m_target;
    QString m_temporary; // while being written
    bool m_unnamed = false; // m_temporary is only the folder's name, the file has none yet
    QByteArray m_buffer;
    QString m_reason;
};
