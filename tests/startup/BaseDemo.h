#pragma once

// The demo-database fixture under the name the price-list tests still use; new tests derive from
// testsupport::DemoDatabaseTest directly.
#include "support/DemoDatabaseTest.h"

using BaseDemo = testsupport::DemoDatabaseTest;
