// CStdOutLogger: the log sink that prints to standard output.
//
// It attaches itself on construction and detaches on destruction, so its
// owner (main, on its stack) only has to keep it alive. Text is printed
// exactly as given; a '%' in it is never interpreted.
#ifndef NVORN_FOUNDATION_STDOUTLOGGER_H
#define NVORN_FOUNDATION_STDOUTLOGGER_H

#include "foundation/Log.h"

class CStdOutLogger : public NVorn::NLog::CLogger
{
public:
    CStdOutLogger();
    void Write(const char* text) override;
    ~CStdOutLogger() override;
};

#endif
