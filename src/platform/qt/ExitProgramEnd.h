#pragma once

#include "platform/ProgramEnd.h"

// Ends the process at once, as the original's End: nothing else runs, pending windows are not
// asked. The database connections are closed first: the original's went with the process, but an
// SQLite file left open keeps its last changes in the journal beside it, where a copy of the file
// alone misses them.
class ExitProgramEnd final : public ProgramEnd
{
public:
    [[noreturn]] void end(int exitCode) override;
};
