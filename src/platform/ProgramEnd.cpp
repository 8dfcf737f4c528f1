#include "platform/ProgramEnd.h"

#include <cstdlib>

#include "platform/Service.h"

void endProgram(int exitCode)
{
    Service<ProgramEnd>::get().end(exitCode);
    std::abort(); // an installed hook that returns is a programmer error
}
