#pragma once

namespace testsupport {

// Pins what every test expects of the machine (clock, environment) before any test runs.
void installPinnedEnvironment();

} // namespace testsupport
