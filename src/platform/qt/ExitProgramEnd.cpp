#include "platform/qt/ExitProgramEnd.h"

#include <cstdio>
#include <cstdlib>

#include "platform/qt/QtAdoConnection.h"

void ExitProgramEnd::end(int exitCode)
{
    QtAdoConnection::closeAll();
    std::fflush(nullptr);
    std::exit(exitCode);
}
