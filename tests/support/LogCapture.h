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

    void Write(const char* text) override { m_Text += text; }
    // How many lines begin with prefix.
    long Count(const std::string& prefix) const
    {
        long count = 0;
        for (size_t at = m_Text.find(prefix); at != std::string::npos; at = m_Text.find(prefix, at + 1))
            count += at == 0 || m_Text[at - 1] == '\n';
        return count;
    }

    std::string m_Text;
};

} // namespace NTest
} // namespace NVorn

#endif
