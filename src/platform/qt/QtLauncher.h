#pragma once

#include "platform/Launcher.h"

// Starts programs with QProcess (detached) and opens documents and addresses with the desktop's
// associated program.
class QtLauncher final : public Launcher
{
public:
    qint64 startProgram(const QString& commandLine) override;
    bool runAndWait(const QString& commandLine) override;
    bool openDocument(const QString& target, bool minimized) override;
};
