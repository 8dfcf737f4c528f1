#include "support/ToolProcess.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace testsupport {

QProcessEnvironment toolEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // LC_ALL overrides every category; LANG and the others stay as they are, unread.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    // What the tool writes to its data folder stays in the test's.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    return environment;
}

void expectPassAsAnotherAccount(const char* untried)
{
    if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        if (qEnvironmentVariable("CI") == u"true")
            ADD_FAILURE() << "setpriv is needed to run the test as another account";
        GTEST_SKIP() << "setpriv is missing: " << untried;
    }
    QTemporaryDir home;
    QFile::setPermissions(home.path(), QFile::Permissions(0x7777));
    QProcessEnvironment environment = toolEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("TMPDIR"), home.path());
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);

    run.start(QStringLiteral("setpriv"),
        { QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
            QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
            QStringLiteral("--gtest_filter=%1.%2")
                .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name())) });

    ASSERT_TRUE(run.waitForFinished(120000));
    const QString output = QString::fromUtf8(run.readAll());
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test."))) << output.toStdString();
}

bool mayPlayAnotherAccount()
{
    return ::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
}

bool runAsAnotherAccount(const char* command, const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("setpriv"),
               QStringList { QStringLiteral("--reuid=1235"), QStringLiteral("--regid=1235"),
                   QStringLiteral("--clear-groups"), QStringLiteral("/bin/sh"),
                   QStringLiteral("-c"), QString::fromLatin1(command), QStringLiteral("sh") }
                   + arguments)
        == 0;
}

} // namespace testsupport
