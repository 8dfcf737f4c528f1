#include "support/ToolProcess.h"

namespace testsupport {

QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // LC_ALL overrides every category; LANG and the others stay as they are, unread.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return environment;
}

} // namespace testsupport
