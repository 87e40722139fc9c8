// A log sink for tests: collects everything written to the log while it is
// alive.
#ifndef NVORN_TESTS_CORE_CAPTURELOG_H
#define NVORN_TESTS_CORE_CAPTURELOG_H

#include <string>

#include "foundation/Log.h"

class CCaptureLog : public NVorn::NLog::CLogger
{
public:
    CCaptureLog() { NVorn::NLog::Attach(this); }
    ~CCaptureLog() override { NVorn::NLog::Detach(this); }

    void Write(const char* text) override { m_Text += text; }

    std::string m_Text;
};

#endif
