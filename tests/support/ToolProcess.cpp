#include "support/ToolProcess.h"

#include "support/TestEnvironment.h"

namespace testsupport {

QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // LC_ALL overrides every category; LANG and the others stay as they are, unread.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // What the tool writes to its data folder stays in the test's.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    return environment;
}

} // namespace testsupport
