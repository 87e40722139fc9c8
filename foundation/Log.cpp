#include "foundation/Log.h"

#include "foundation/Utils.h"

namespace NVorn
{
    namespace NLog
    {
        CLogger* m_pFirst = nullptr;

        static bool IsAttached(const CLogger* logger)
        {
            for (const CLogger* it = m_pFirst; it; it = it->m_pNext)
                if (it == logger)
                    return true;
            return false;
        }

        void Attach(CLogger* logger)
        {
            if (!logger || IsAttached(logger))
                return;
            logger->m_pNext = m_pFirst;
            m_pFirst = logger;
        }

        void Detach(CLogger* logger)
        {
            CLogger** link = &m_pFirst;
            while (*link && *link != logger)
                link = &(*link)->m_pNext;
            if (*link)
                *link = logger->m_pNext;
        }

        void Write(const char* text)
        {
            // Read the next link only after the call: a sink may print
            // through other sinks but must not detach its successor.
            if (!text)
                return;
            CLogger* logger = m_pFirst;
            while (logger)
            {
                logger->Write(text);
                logger = logger->m_pNext;
            }
        }

        void WriteF(const char* format, ...)
        {
            char buffer[4096];
            va_list args;
            va_start(args, format);
            StringCFormatArgList(buffer, sizeof buffer, format, args);
            va_end(args);
            Write(buffer);
        }
    }
}
