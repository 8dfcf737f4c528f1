#pragma once

#include <QString>

namespace testsupport {

// Writes the demo databases (DEMO.db and KZQ_ESTADISTICAS.db, `articles` articles) into `folder`
// by running the built rp_demo_db tool, so a test needs no link to the tool's code. Returns the
// path of DEMO.db; on failure records a test failure and returns an empty text.
QString writeDemoDatabases(const QString& folder, int articles = 300);

} // namespace testsupport
