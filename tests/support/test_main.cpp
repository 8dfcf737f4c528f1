#include <QApplication>
#include <QLocale>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

// Shared main() of every test executable: offscreen platform unless told otherwise, the Fusion
// style and a pinned locale, so widget geometry and number formats are the same on every machine.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::installPinnedEnvironment();
    return RUN_ALL_TESTS();
}
