// A log sink for tests: attaches itself for its lifetime and keeps every
// line it receives.
#ifndef NVORN_TESTS_FOUNDATION_CAPTURELOGGER_H
#define NVORN_TESTS_FOUNDATION_CAPTURELOGGER_H

#include <string>

#include "foundation/Log.h"

class CCaptureLogger : public NVorn::NLog::CLogger
{
public:
    CCaptureLogger() { NVorn::NLog::Attach(this); }
    ~CCaptureLogger() override { NVorn::NLog::Detach(this); }
    void Write(const char* text) override { m_Text += text; }

    std::string m_Text;
};

#endif
