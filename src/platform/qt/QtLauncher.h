#pragma once

#include "platform/Launcher.h"

// Starts programs with QProcess (detached) and opens documents and addresses with the desktop's
// associated program through xdg-open (run directly: Qt's desktop services do nothing on a
// session without a desktop, and say so to nobody).
class QtLauncher final : public Launcher
{
public:
    qint64 startProgram(const QString& commandLine) override;
    bool runAndWait(const QString& commandLine) override;
    bool openDocument(const QString& target, bool minimized) override;
};
