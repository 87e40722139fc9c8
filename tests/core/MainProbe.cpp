// A stand-in application for testing the process entry: reports on the log how
// main called it and leaves a message queued for the core to delete.
#include <climits>
#include <unistd.h>

#include "core/Core.h"
#include "foundation/Log.h"

using namespace NVorn;

int VornMain(char* argument)
{
    char aDirectory[PATH_MAX];
    NLog::WriteF("PROBE: VornMain(%s) in %s with %s\n", argument, getcwd(aDirectory, sizeof(aDirectory)) ? aDirectory : "",
                 NCore::m_pCore ? "a core" : "no core");
    if (NCore::m_pCore)
        NCore::m_pCore->AddMessage(new NCore::CMessage());
    return 0;
}
