// The core's platform side over SDL2: the key pump and the quit request.
#include "core/Core.h"

#include <SDL.h>

int g_QuitRequest = 0;

void QuitEventHandler()
{
    g_QuitRequest = 1;
}

namespace NVorn {
namespace NCore {

// Engine key codes that are not a character code.
static const int32_t KEY_LEFT  = 37;
static const int32_t KEY_UP    = 38;
static const int32_t KEY_RIGHT = 39;
static const int32_t KEY_DOWN  = 40;
static const int32_t KEY_F1    = 112;

// Translates an SDL key into the engine key code and the character it types.
// Letters give their upper-case code, and type their lower-case character
// unless shift (or caps lock, but not both) is on; arrows and F1..F12 type no
// character. Any other key with a character code gives that code for both.
// Keys with no character code (modifiers, keypad, navigation block, ...) have
// no engine code: the result is false.
static bool TranslateKey(const SDL_Keysym& keysym, int32_t& key, int32_t& character)
{
    const SDL_Keycode sym = keysym.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) {
        const bool shift = (keysym.mod & KMOD_SHIFT) != 0;
        const bool caps = (keysym.mod & KMOD_CAPS) != 0;
        key = sym - 'a' + 'A';
        character = shift != caps ? key : sym;
        return true;
    }
    character = 0;
    switch (sym) {
    case SDLK_LEFT:  key = KEY_LEFT;  return true;
    case SDLK_RIGHT: key = KEY_RIGHT; return true;
    case SDLK_UP:    key = KEY_UP;    return true;
    case SDLK_DOWN:  key = KEY_DOWN;  return true;
    default: break;
    }
    if (sym >= SDLK_F1 && sym <= SDLK_F12) {
        key = KEY_F1 + (sym - SDLK_F1);
        return true;
    }
    if (sym <= 0 || (sym & SDLK_SCANCODE_MASK))
        return false;
    key = sym;
    character = sym;
    return true;
}

static void PostKey(CCore* core, const SDL_KeyboardEvent& event)
{
    int32_t key, character;
    if (!TranslateKey(event.keysym, key, character))
        return;
    CMessage* message = new CMessage();
    message->m_Type = event.type == SDL_KEYDOWN ? MSG_KEYDOWN : MSG_KEYUP;
    message->m_aParam[0] = key;
    message->m_aParam[1] = character;
    core->AddMessage(message);
}

bool CCore::OSPreUpdate()
{
    if (g_QuitRequest) {
        g_QuitRequest = 0;
        CMessage* message = new CMessage();     // parameters zeroed
        message->m_Type = MSG_QUIT;
        AddMessage(message);
    }
    // Without SDL's event system there is nothing to pump.
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return true;

    SDL_PumpEvents();
    // Only key events are taken; every other event stays queued for the
    // display device's own fetch.
    SDL_Event aEvents[32];
    int count;
    while ((count = SDL_PeepEvents(aEvents, 32, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP)) > 0) {
        for (int i = 0; i < count; i++)
            if (!aEvents[i].key.repeat)
                PostKey(this, aEvents[i].key);
    }
    return true;
}

} // namespace NCore
} // namespace NVorn
