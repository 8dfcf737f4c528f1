// A saved report file of any bytes, opened and its pages replayed as the viewer reads a saved
// report. The reader takes a file, so each input is written to one of the run's own.

#include <cstddef>
#include <cstdint>

#include <QFile>
#include <QTemporaryDir>

#include "DiscardedPages.h"
#include "reportengine/SavedReportReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("caso.rps"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    SavedReportReader reader;
    if (!reader.open(path))
        return 0;
    DiscardedPages pages;
    reader.replay(pages);
    return 0;
}
