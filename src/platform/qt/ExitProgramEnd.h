#pragma once

#include "platform/ProgramEnd.h"

// Ends the process at once, as the original's End: nothing else runs, pending windows are not
// asked.
class ExitProgramEnd final : public ProgramEnd
{
public:
    [[noreturn]] void end(int exitCode) override;
};
