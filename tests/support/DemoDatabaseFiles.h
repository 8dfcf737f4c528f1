#pragma once

#include <QString>
#include <QStringList>

namespace testsupport {

// Writes the demo databases (DEMO.db and KZQ_ESTADISTICAS.db, `articles` articles) into `folder`
// by running the built rp_demo_db tool, so a test needs no link to the tool's code; `options` are
// further options of the tool ("--voucher-invoices", "100"). Returns the path of DEMO.db; on
// failure records a test failure and returns an empty text.
QString writeDemoDatabases(
    const QString& folder, int articles = 300, const QStringList& options = {});

} // namespace testsupport
