// A report definition file of any bytes, read as the program reads a .rpt file.

#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "reportengine/DefinitionLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    DefinitionError error;
    (void)DefinitionLoader::loadData(bytes, QStringLiteral("fuzz.rpt"), &error);
    return 0;
}
