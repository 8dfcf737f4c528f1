#pragma once

#include <QProcessEnvironment>

namespace testsupport {

// The environment for a tool of ours that a test runs: the test process's own, with the locale
// pinned to one that names no region (LC_ALL=C.UTF-8), so the tool writes amounts and dates in the
// program's own Spanish (Argentina) conventions whatever the developer's or the machine's locale,
// and XDG_DATA_HOME at the pinned dataHome().
QProcessEnvironment toolEnvironment();

} // namespace testsupport
