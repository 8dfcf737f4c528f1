// A formula of any bytes: parsed, and written back as text when it parses.

#include <cstddef>
#include <cstdint>

#include <QString>

#include "reportengine/FormulaParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const FormulaParseResult r = FormulaParser::parse(QStringLiteral("F"), text);
    if (r.ok() && r.tree)
        (void)r.tree->toText();
    else if (!r.ok())
        (void)r.error.message();
    return 0;
}
