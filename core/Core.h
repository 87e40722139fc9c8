// The application core: a process-wide singleton that updates every registered
// subsystem once per frame and keeps a first-in, first-out message queue.
//
// The core does not own its subsystems; it owns every queued message and
// deletes those still queued when it is destroyed, and it empties the class
// registry on the way out. main creates the core before calling VornMain and
// deletes it afterwards.
//
// Once per frame the application calls Update() and then drains the queue with
// GotMessages / GetCurrentMessage / DiscardCurrentMessage, or calls
// UpdateAndPump() when it does not look at the messages.
#ifndef NVORN_CORE_CORE_H
#define NVORN_CORE_CORE_H

#include "core/Message.h"
#include "foundation/DynamicArray.h"

namespace NVorn {
namespace NCore {

class CSubSystem;

class CCore
{
public:
    CCore();
    ~CCore();

    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // One frame: the platform pump, then every subsystem from the last
    // registered to the first, then the post-update hook. False as soon as
    // any of them returns false.
    bool Update();
    // Update(), then discards queued messages up to the first MSG_QUIT, which
    // stays queued. False when Update() failed or a quit is pending.
    bool UpdateAndPump();

    // Queue access; the queue takes ownership of an added message.
    void      AddMessage(CMessage* message);
    bool      GotMessages();
    CMessage* GetCurrentMessage();
    void      DiscardCurrentMessage();

    // Hooks around the frame.
    void Init();
    void Shutdown();
    // Platform pump: posts a pending quit request, then the key events.
    bool OSPreUpdate();
    bool OSPostUpdate();

    TDynamicArray<CSubSystem*> m_lSubSystems;   // in order of registration; not owned
    TDynamicArray<CMessage*>   m_lMessages;     // index 0 is the oldest; owned
};

// The singleton, set by the constructor. main clears it after deleting the core.
extern CCore* m_pCore;

} // namespace NCore
} // namespace NVorn

// Set by QuitEventHandler, turned into one MSG_QUIT by the next pump.
extern int g_QuitRequest;

// Called when the platform asks the application to quit.
void QuitEventHandler();

// The application's entry function, called by main once the core exists.
int VornMain(char* argument);

#endif
