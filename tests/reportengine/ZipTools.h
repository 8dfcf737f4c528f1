#pragma once

#include <QByteArray>
#include <QString>

namespace ZipTools {

// One member of a ZIP archive (stored or deflated), read whole; empty when missing.
QByteArray member(const QString& zipFile, const QString& name);

} // namespace ZipTools
