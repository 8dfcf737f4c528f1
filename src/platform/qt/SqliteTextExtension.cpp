// The program's text semantics as an SQLite loadable extension, for connections the program does
// not open itself: the SQLite ODBC driver loads it by its "LoadExt" option, so the demo file's
// TEXTO columns compare the same through ODBC as through the embedded engine.
//
// The host process uses the system's SQLite library, the same one this module is linked with, so
// the registration calls it directly.

#include <sqlite3.h>

#include "platform/qt/SqliteText.h"

extern "C" __attribute__((visibility("default"))) int sqlite3_extension_init(
    sqlite3* db, char** errorMessage, const void* api)
{
    (void)errorMessage;
    (void)api;
    registerSqliteText(db);
    return SQLITE_OK;
}
