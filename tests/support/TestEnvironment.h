#pragma once

#include <QDateTime>
#include <QString>

namespace testsupport {

class FakeDatePicker;
class FakeFileDialog;
class FakeInputDialog;
class FakeLauncher;
class FakeMessageDialog;
class FakePrintDialog;
class FakeProgramEnd;
class FixedClock;
class FixedEnvironment;

// Pins what every test expects of the machine before any test runs, and puts it back before each
// test: the clock stands at pinnedNow(); the machine is "PUESTO01", user "operador", with no
// TEMP or TMP, a system temporary folder and an executable folder of its own inside a temporary
// folder of this test process, and XDG_DATA_HOME at dataHome(), emptied before each test; every
// dialog, the launcher and the end-of-program hook are the scripted fakes below (an unscripted
// dialog fails the test); the utility library's objects (Utilidades, Entorno, LectorIni) are
// installed.
void installPinnedEnvironment();

// The XDG data home of the pinned machine (the program's data folder is its "Rp_Tarifolio").
QString dataHome();

// 15/03/2024 10:30:45, local time.
QDateTime pinnedNow();

// The pinned instances, reset before each test. A test changes them freely (or installs its own
// with ScopedService).
FixedClock& clock();
FixedEnvironment& environment();
FakeMessageDialog& messages();
FakeInputDialog& inputs();
FakeFileDialog& fileDialogs();
FakePrintDialog& printDialogs();
FakeDatePicker& datePickers();
FakeLauncher& launcher();
FakeProgramEnd& programEnd();

} // namespace testsupport
