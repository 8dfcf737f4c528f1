#include "support/DemoDatabaseFiles.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include "support/ToolProcess.h"

namespace testsupport {

QString writeDemoDatabases(const QString& folder, int articles, const QStringList& options)
{
    QProcess tool;
    tool.setProcessEnvironment(toolEnvironment());
    tool.start(QStringLiteral(RP_DEMO_DB_EXE),
        QStringList { QStringLiteral("--out"), folder, QStringLiteral("--articles"),
            QString::number(articles) }
            + options);
    const bool finished = tool.waitForFinished(120000);
    if (!finished || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        ADD_FAILURE() << "rp_demo_db failed: " << tool.readAllStandardError().toStdString();
        return QString();
    }
    return QDir(folder).filePath(QStringLiteral("DEMO.db"));
}

} // namespace testsupport
