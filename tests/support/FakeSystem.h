#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Launcher.h"
#include "platform/ProgramEnd.h"

namespace testsupport {

// A clock that stands still at the time it is given.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime now)
        : m_now(std::move(now))
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }

private:
    QDateTime m_now;
};

// A machine with the names, variables and folders a test gives it. Variables match ignoring case.
class FixedEnvironment final : public Environment
{
public:
    QString computerName() const override { return m_computer; }
    QString userName() const override { return m_user; }
    QString variable(const QString& name) const override;
    QString systemTempFolder() const override { return m_tempFolder; }
    QString executableFolder() const override { return m_executableFolder; }

    void setComputerName(const QString& name) { m_computer = name; }
    void setUserName(const QString& name) { m_user = name; }
    void setVariable(const QString& name, const QString& value);
    void setSystemTempFolder(const QString& folder) { m_tempFolder = folder; }
    void setExecutableFolder(const QString& folder) { m_executableFolder = folder; }

private:
    QString m_computer = QStringLiteral("PUESTO01");
    QString m_user = QStringLiteral("operador");
    QHash<QString, QString> m_variables; // keys upper-cased
    QString m_tempFolder;
    QString m_executableFolder;
};

// Thrown by FakeProgramEnd so the code after "end the program" never runs in a test.
struct ProgramEnded
{
    int exitCode = 0;
};

// Records the end of the program and throws ProgramEnded.
class FakeProgramEnd final : public ProgramEnd
{
public:
    [[noreturn]] void end(int exitCode) override;
    int calls() const { return m_calls; }

private:
    int m_calls = 0;
};

// Records what would have been started or opened; answers as told (started by default).
class FakeLauncher final : public Launcher
{
public:
    qint64 startProgram(const QString& commandLine) override;
    bool runAndWait(const QString& commandLine) override;
    bool openDocument(const QString& target, bool minimized) override;

    void setSucceeds(bool succeeds) { m_succeeds = succeeds; }
    const QStringList& started() const { return m_started; }
    const QStringList& opened() const { return m_opened; }
    const QList<bool>& openedMinimized() const { return m_minimized; }

private:
    bool m_succeeds = true;
    QStringList m_started;
    QStringList m_opened;
    QList<bool> m_minimized;
};

} // namespace testsupport
