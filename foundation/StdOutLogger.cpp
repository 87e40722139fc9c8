#include "foundation/StdOutLogger.h"

#include <cstdio>

CStdOutLogger::CStdOutLogger()
{
    NVorn::NLog::Attach(this);
    NVorn::NLog::Write("CStdOutLogger attached\n");
}

void CStdOutLogger::Write(const char* text)
{
    printf("%s", text);
}

CStdOutLogger::~CStdOutLogger()
{
    NVorn::NLog::Write("CStdOutLogger deattching\n");
    NVorn::NLog::Detach(this);
    fflush(stdout);
}
