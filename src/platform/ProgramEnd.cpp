#include "platform/ProgramEnd.h"

#include "platform/Service.h"

void endProgram(int exitCode)
{
    Service<ProgramEnd>::get().end(exitCode);
}
