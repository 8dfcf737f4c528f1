#pragma once

#include <optional>

#include <QString>

#include "platform/Steps.h"

class RuntimeError;

// The program-wide error reporter: every procedure outside the data layer that traps a run-time
// error hands it here with its own routine name. The operator sees the error's number and text in
// a box titled "<source> - <routine> Aviso al operador!!! - 2 " (Abort, Retry, Ignore and the
// critical icon unless other buttons are given), and the answered error is appended to
// "KZQERR.LOG" in the temporary folder (TEMP, else TMP, else the system's temporary folder).
// Returns the answer; 0, with nothing shown or logged, when the error number is 0. Never throws: a
// log that cannot be written loses the line and the answer is still returned.
//
// What callers do with it: 4 (Retry) runs the failed step again, 5 (Ignore) goes on with the next
// step, anything else leaves the routine. Steps (platform/Steps.h) does that for them; see
// reportAs().
int ManejoErrores(const RuntimeError& error, std::optional<int> buttons = std::nullopt,
    const std::optional<QString>& routine = std::nullopt);
// Default buttons, routine given.
int ManejoErrores(const RuntimeError& error, const QString& routine);

// The step runner that reports failures to ManejoErrores under `routine`.
Steps reportAs(const QString& routine);

// The log file ManejoErrores writes: the folder as described above, then "KZQERR.LOG".
QString archivoErroresPrograma();
