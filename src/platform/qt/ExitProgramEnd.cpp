#include "platform/qt/ExitProgramEnd.h"

#include <cstdio>
#include <cstdlib>

void ExitProgramEnd::end(int exitCode)
{
    std::fflush(nullptr);
    std::exit(exitCode);
}
