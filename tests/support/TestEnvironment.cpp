#include "support/TestEnvironment.h"

#include <cstdlib>
#include <memory>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Entorno.h"
#include "platform/LectorIni.h"
#include "platform/Service.h"
#include "platform/Utilidades.h"
#include "support/FakeDialogs.h"
#include "support/FakeSystem.h"

namespace testsupport {

namespace {

struct Pinned
{
    QTemporaryDir folder;
    FixedClock clock { pinnedNow() };
    FixedEnvironment environment;
    FakeMessageDialog messages;
    FakeInputDialog inputs;
    FakeFileDialog fileDialogs;
    FakePrintDialog printDialogs;
    FakeDatePicker datePickers;
    FakeLauncher launcher;
    FakeProgramEnd programEnd;
    Utilidades utilidades;
    Entorno entorno;
    LectorIni lectorIni;

    void reset()
    {
        clock.set(pinnedNow());
        environment = FixedEnvironment();
        environment.setSystemTempFolder(folder.filePath(QStringLiteral("systemp")));
        environment.setExecutableFolder(folder.filePath(QStringLiteral("program")));
        environment.setVariable(QStringLiteral("XDG_DATA_HOME"), dataHome());
        messages = FakeMessageDialog();
        inputs = FakeInputDialog();
        fileDialogs = FakeFileDialog();
        printDialogs = FakePrintDialog();
        datePickers = FakeDatePicker();
        launcher = FakeLauncher();
        programEnd = FakeProgramEnd();
    }

    QString dataHome() const { return folder.filePath(QStringLiteral("datos")); }

    void install()
    {
        QDir(folder.path()).mkpath(QStringLiteral("systemp"));
        QDir(folder.path()).mkpath(QStringLiteral("program"));
        // What a test wrote to the data folder must not reach the next one.
        QDir(dataHome()).removeRecursively();
        reset();
        Service<Clock>::install(&clock);
        Service<Environment>::install(&environment);
        Service<MessageDialog>::install(&messages);
        Service<InputDialog>::install(&inputs);
        Service<FileDialog>::install(&fileDialogs);
        Service<PrintDialog>::install(&printDialogs);
        Service<DatePicker>::install(&datePickers);
        Service<Launcher>::install(&launcher);
        Service<ProgramEnd>::install(&programEnd);
        Service<Utilidades>::install(&utilidades);
        Service<Entorno>::install(&entorno);
        Service<LectorIni>::install(&lectorIni);
    }
};

Pinned* pinned()
{
    static Pinned* instance = new Pinned; // lives until the process ends, like the services
    return instance;
}

class ResetBeforeEachTest final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { pinned()->install(); }
};

} // namespace

void installPinnedEnvironment()
{
    pinned()->install();
    // The services outlive every test, so the instance is never destroyed; its folder goes at
    // exit all the same.
    std::atexit([] { pinned()->folder.remove(); });
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeEachTest);
}

QDateTime pinnedNow()
{
    return QDateTime(QDate(2024, 3, 15), QTime(10, 30, 45));
}

FixedClock& clock()
{
    return pinned()->clock;
}

QString dataHome()
{
    return pinned()->dataHome();
}

FixedEnvironment& environment()
{
    return pinned()->environment;
}

FakeMessageDialog& messages()
{
    return pinned()->messages;
}

FakeInputDialog& inputs()
{
    return pinned()->inputs;
}

FakeFileDialog& fileDialogs()
{
    return pinned()->fileDialogs;
}

FakePrintDialog& printDialogs()
{
    return pinned()->printDialogs;
}

FakeDatePicker& datePickers()
{
    return pinned()->datePickers;
}

FakeLauncher& launcher()
{
    return pinned()->launcher;
}

FakeProgramEnd& programEnd()
{
    return pinned()->programEnd;
}

} // namespace testsupport
