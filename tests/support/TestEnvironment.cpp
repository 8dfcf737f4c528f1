#include "support/TestEnvironment.h"

namespace testsupport {

void installPinnedEnvironment()
{
}

} // namespace testsupport
