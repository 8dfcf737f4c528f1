#include "support/FakeSystem.h"

namespace testsupport {

QString FixedEnvironment::variable(const QString& name) const
{
    return m_variables.value(name.toUpper());
}

void FixedEnvironment::setVariable(const QString& name, const QString& value)
{
    if (value.isEmpty())
        m_variables.remove(name.toUpper());
    else
        m_variables.insert(name.toUpper(), value);
}

void FakeProgramEnd::end(int exitCode)
{
    ++m_calls;
    throw ProgramEnded { exitCode };
}

qint64 FakeLauncher::startProgram(const QString& commandLine)
{
    m_started.append(commandLine);
    return m_succeeds ? 4242 : 0;
}

bool FakeLauncher::runAndWait(const QString& commandLine)
{
    m_started.append(commandLine);
    return m_succeeds;
}

bool FakeLauncher::openDocument(const QString& target, bool minimized)
{
    m_opened.append(target);
    m_minimized.append(minimized);
    return m_succeeds;
}

} // namespace testsupport
