#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// The bytes of a file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Writes `bytes` as the whole file; a file that cannot be written fails the test.
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace testsupport
