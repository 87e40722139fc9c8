// NLog: fans every diagnostic line out to the attached sinks.
//
// The log adds nothing to the text (no time stamp, no level, no line break);
// callers end their own lines with "\n". Sinks form a singly linked list,
// most recently attached first. The list does not own its sinks: whoever
// creates a sink attaches it and detaches it before destroying it.
#ifndef NVORN_FOUNDATION_LOG_H
#define NVORN_FOUNDATION_LOG_H

namespace NVorn
{
    namespace NLog
    {
        // A sink for log text.
        class CLogger
        {
        public:
            virtual void Write(const char* text) = 0;
            virtual ~CLogger() {}

            CLogger* m_pNext = nullptr; // next sink in the list; set by Attach
        };

        extern CLogger* m_pFirst; // head of the list of attached sinks

        // Makes logger the head of the list. A logger already in the list
        // stays where it is, so the list can never loop.
        void Attach(CLogger* logger);
        // Unlinks logger; a logger not in the list leaves it unchanged.
        void Detach(CLogger* logger);

        void Write(const char* text);
        // Formats into a 4096-byte buffer (longer text is truncated), then
        // hands it to every sink as Write does.
        void WriteF(const char* format, ...) __attribute__((format(printf, 1, 2)));
    }
}

#endif
