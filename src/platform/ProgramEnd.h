#pragma once

// "End the program at once". The real hook leaves the process without running anything else;
// a test's hook records the call and throws, so the code after the call never runs either.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;

    // Never returns.
    [[noreturn]] virtual void end(int exitCode) = 0;
};

// Shorthand for Service<ProgramEnd>::get().end(exitCode).
[[noreturn]] void endProgram(int exitCode = 0);
