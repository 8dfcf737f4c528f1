#pragma once

#include <QString>

// Starts programs and opens documents or addresses with their associated programs. Reached
// through Service<Launcher>; tests record the calls.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Starts a command line (program, then its arguments, as the suite writes them; a program path
    // holding blanks is quoted). Returns the process id, or 0 when it could not be started. The
    // program is never waited for.
    virtual qint64 startProgram(const QString& commandLine) = 0;

    // Starts a command line as startProgram does and returns when the program has ended, serving
    // window events meanwhile. False when it could not be started.
    virtual bool runAndWait(const QString& commandLine) = 0;

    // Opens a file or an address with its associated program; `minimized` asks for a minimised
    // window where the system supports it. Returns false when nothing could open it.
    virtual bool openDocument(const QString& target, bool minimized) = 0;
};
