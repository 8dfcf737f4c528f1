#pragma once

#include <QProcessEnvironment>
#include <QStringList>

namespace testsupport {

// The environment for a tool of ours that a test runs: the test process's own, with the locale
// pinned to one that names no region (LC_ALL=C.UTF-8), so the tool writes amounts and dates in the
// program's own Spanish (Argentina) conventions whatever the developer's or the machine's locale,
// and XDG_DATA_HOME at the pinned dataHome().
QProcessEnvironment toolEnvironment();

// Runs the current test once more, in a process of its own, as another account (uid and gid
// 65534) through setpriv, with a home and temporary folder that account may write, and fails the
// test unless that run passes: for the cases root cannot see, since root writes anywhere. Where
// setpriv is missing the test is skipped saying what went untried (and fails on CI).
void expectPassAsAnotherAccount(const char* untried);

// Whether another account (uid 1235) can be played through setpriv: as root only. A test that
// needs it skips without, and fails on CI, which runs as root.
bool mayPlayAnotherAccount();

// Runs the shell command `command` as uid 1235 (gid 1235, no other groups) with `arguments` as $1,
// $2, ...; true when it ends well.
bool runAsAnotherAccount(const char* command, const QStringList& arguments);

} // namespace testsupport
