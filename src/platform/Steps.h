#pragma once

#include <functional>
#include <initializer_list>
#include <optional>

#include "platform/RuntimeError.h"

// How the program's procedures live with run-time errors: a procedure is a sequence of steps;
// a step that fails is handed to an error reporter and the operator's answer decides: Retry runs
// the failed step again, Ignore goes on with the next step, any other answer leaves the procedure.
// The other style skips every failing step silently.
//
//     Steps steps(reportAs(QStringLiteral("MenuExes")));   // the reporter of the caller's layer
//     if (!steps.run([&] { ... }))
//         return;
//     if (!steps.run([&] { ... }))
//         return;
//
// Only RuntimeError is trapped; anything else is a programmer error and goes on up. A reporter may
// look at the error and answer without asking anyone (a known number the procedure retries or
// skips on its own).
class Steps
{
public:
    // Receives the trapped error, returns the answer code (Msg::Answer).
    using Reporter = std::function<int(const RuntimeError&)>;
    using Step = std::function<void()>;

    explicit Steps(Reporter reporter);

    // Every failing step is skipped without a word.
    static Steps silent();

    // Runs one step until it succeeds, is ignored or the procedure is left. True: go on with the
    // next step. False: leave the procedure (lastAnswer() says what was answered).
    bool run(const Step& step);

    // Runs the steps in order; false as soon as one leaves the procedure.
    bool runAll(std::initializer_list<Step> steps);

    // The answer to the last failure reported (0 before any).
    int lastAnswer() const { return m_lastAnswer; }
    // The last error trapped, ignored or not.
    const std::optional<RuntimeError>& lastError() const { return m_lastError; }

private:
    Reporter m_reporter;
    int m_lastAnswer = 0;
    std::optional<RuntimeError> m_lastError;
};
