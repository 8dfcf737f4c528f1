#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "reportengine/ReportDefinition.h"

// Where and why a definition file was refused. line and column count from 1 (0 when the file
// could not be read at all).
struct DefinitionError
{
    QString file;
    qint64 line = 0;
    qint64 column = 0;
    QString message;

    // "file:line:column: message", the form the log and the operator see.
    QString toString() const;
};

// Reads report definition files, the XML format described by share/reports/report.xsd. Unknown
// elements and attributes are refused rather than skipped, so a misspelt attribute never prints a
// report silently different from what its author meant.
namespace DefinitionLoader {

// The format version this build reads and writes.
inline constexpr int CurrentVersion = 1;

std::optional<ReportDefinition> loadFile(const QString& path, DefinitionError* error);
// `fileName` is used in messages and to resolve image files relative to the definition.
std::optional<ReportDefinition> loadData(
    const QByteArray& xml, const QString& fileName, DefinitionError* error);

} // namespace DefinitionLoader
