// CLogCapture: a log sink that keeps everything written to the log while it
// exists.
#ifndef NVORN_TESTS_SUPPORT_LOGCAPTURE_H
#define NVORN_TESTS_SUPPORT_LOGCAPTURE_H

#include <string>

#include "foundation/Log.h"

namespace NVorn {
namespace NTest {

class CLogCapture : public NLog::CLogger
{
public:
    CLogCapture() { NLog::Attach(this); }
    ~CLogCapture() override { NLog::Detach(this); }
    CLogCapture(const CLogCapture&) = delete;
    CLogCapture& operator=(const CLogCapture&) = delete;

    void Write(const char* text) override { m_Text += text; }
    // Whether a line begins with prefix.
    bool Has(const std::string& prefix) const
    {
        return m_Text.compare(0, prefix.size(), prefix) == 0 || m_Text.find("\n" + prefix) != std::string::npos;
    }

    std::string m_Text;
};

} // namespace NTest
} // namespace NVorn

#endif
