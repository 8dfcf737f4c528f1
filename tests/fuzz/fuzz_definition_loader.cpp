// A report definition file of any bytes, read as the program reads a .rpt file; one that loads
// is made ready to print over tables with no rows.

#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "MemoryDataSource.h"
#include "reportengine/DefinitionLoader.h"
#include "reportengine/ReportRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    DefinitionError error;
    const auto definition = DefinitionLoader::loadData(bytes, QStringLiteral("fuzz.rpt"), &error);
    if (!definition)
        return 0;
    ReportRenderer renderer(*definition, RenderOptions());
    MemoryDataSource rows;
    renderer.prepare(rows);
    return 0;
}
