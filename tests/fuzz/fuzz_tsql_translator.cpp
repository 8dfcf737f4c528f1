// A batch of any bytes in the SQL Server dialect, turned into SQLite's as the SQLite provider
// does for a command and for a recordset.

#include <cstddef>
#include <cstdint>

#include <QString>

#include "platform/qt/TsqlTranslator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)TsqlTranslator::translate(text);
    (void)TsqlTranslator::translateQuery(text, QStringLiteral("rp_rowid"));
    (void)TsqlTranslator::baseTable(text);
    return 0;
}
