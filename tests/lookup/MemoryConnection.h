#pragma once

#include "support/FakeAdoProvider.h"

namespace lookuptest {

// Lookup statements answered from memory: the connection is open from the start, the test
// scripts each statement whole (scriptStatement) and one nobody scripted fails as the engine
// fails on an unknown table. Every statement run is in statements().
inline void memoryDatabase(testsupport::FakeAdoConnection& cnn)
{
    cnn.unscriptedQueriesFail = true;
    cnn.Open(QStringLiteral("memoria"));
}

} // namespace lookuptest
