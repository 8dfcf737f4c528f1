#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/ToolProcess.h"

namespace {

// Every test process makes a temporary folder of its own for the pinned machine; thousands of
// runs must not leave thousands of folders behind.
TEST(TestEnvironment, a_test_process_leaves_nothing_in_the_temporary_folder)
{
    QTemporaryDir temporal;
    QTemporaryDir runtime;
    ASSERT_TRUE(temporal.isValid() && runtime.isValid());
    QProcessEnvironment entorno = testsupport::toolEnvironment();
    entorno.insert(QStringLiteral("TMPDIR"), temporal.path());
    entorno.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess prueba;
    prueba.setProcessEnvironment(entorno);

    prueba.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_filter=Service.scoped_guard_restores_the_previous_instance") });

    ASSERT_TRUE(prueba.waitForFinished(60000));
    EXPECT_EQ(prueba.exitCode(), 0) << prueba.readAllStandardOutput().toStdString();
    EXPECT_EQ(
        QDir(temporal.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
}

// Failure messages show Qt texts as text, in every test file, not as the bytes of their
// characters.
TEST(TestEnvironment, failure_messages_show_qt_texts_as_text)
{
    EXPECT_EQ(::testing::PrintToString(QStringLiteral("Ñandú")), "\"Ñandú\"");
    EXPECT_EQ(::testing::PrintToString(QStringList { QStringLiteral("a"), QStringLiteral("b") }),
        "{\"a\", \"b\"}");
}

} // namespace
