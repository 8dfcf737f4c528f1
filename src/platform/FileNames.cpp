#include "platform/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Environment.h"

namespace FileNames {

QString normalized(const QString& path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

namespace {

// The entry of `folder` named `name` ignoring case; `name` itself when there is none.
QString matchInFolder(const QString& folder, const QString& name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return name;
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

} // namespace

QString resolve(const QString& path)
{
    const QString normal = normalized(path);
    if (normal.isEmpty() || QFileInfo::exists(normal))
        return normal;

    const bool absolute = normal.startsWith(u'/');
    const QStringList parts = normal.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool found = true;
    for (const QString& part : parts) {
        QString name = part;
        if (found && part != u"." && part != u"..") {
            name = matchInFolder(current, part);
            const QString candidate = current.isEmpty() ? name : QDir(current).filePath(name);
            found = QFileInfo::exists(candidate);
        }
        if (current.isEmpty())
            current = name;
        else if (current.endsWith(u'/'))
            current += name;
        else
            current += u'/' + name;
    }
    if (normal.endsWith(u'/') && !current.endsWith(u'/'))
        current += u'/';
    return current;
}

QString inFolder(const QString& folder, const QString& name)
{
    const QString normalName = normalized(name);
    if (normalName.startsWith(u'/'))
        return resolve(normalName);
    QString base = normalized(folder);
    if (!base.isEmpty() && !base.endsWith(u'/'))
        base += u'/';
    return resolve(base + normalName);
}

QString inProgramFolder(const QString& name)
{
    return inFolder(programFolder(), name);
}

} // namespace FileNames
