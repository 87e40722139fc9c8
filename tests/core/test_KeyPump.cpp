#include <gtest/gtest.h>

#include <SDL.h>

#include <tuple>
#include <vector>

#include "core/Core.h"

using namespace NVorn::NCore;

namespace {

// One engine message as (type, key code, typed character).
typedef std::tuple<int32_t, int32_t, int32_t> SKey;
typedef std::vector<SKey> Keys;

const int32_t DOWN = MSG_KEYDOWN;
const int32_t UP = MSG_KEYUP;

// The key pump over SDL's real event queue; events are fed with SDL_PushEvent.
class KeyPump : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        g_QuitRequest = 0;
        m_pTestCore = new CCore;
    }
    void TearDown() override
    {
        delete m_pTestCore;
        m_pCore = nullptr;
        SDL_Quit();
    }

    static void PushKey(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
    {
        SDL_Event event = {};
        event.key.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        ASSERT_EQ(1, SDL_PushEvent(&event)) << SDL_GetError();
    }

    static void Press(SDL_Keycode sym, Uint16 mod = KMOD_NONE)
    {
        PushKey(SDL_KEYDOWN, sym, mod);
        PushKey(SDL_KEYUP, sym, mod);
    }

    // Runs one pump and takes every queued message out.
    Keys Pump()
    {
        EXPECT_TRUE(m_pTestCore->OSPreUpdate());
        Keys keys;
        while (CMessage* message = m_pTestCore->GetCurrentMessage()) {
            keys.emplace_back(message->m_Type, message->m_aParam[0], message->m_aParam[1]);
            m_pTestCore->DiscardCurrentMessage();
        }
        return keys;
    }

    CCore* m_pTestCore = nullptr;
};

// Letters give the upper-case code and the typed character; other keys give
// their engine code and, where they type one, their character.
TEST_F(KeyPump, KeysMapToEngineCodesAndTypedCharacters)
{
    Press(SDLK_q);
    Press(SDLK_q, KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_a, KMOD_CAPS);
    PushKey(SDL_KEYDOWN, SDLK_z, KMOD_CAPS | KMOD_RSHIFT);
    for (SDL_Keycode sym : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_F1, SDLK_F4, SDLK_F12})
        PushKey(SDL_KEYDOWN, sym);
    PushKey(SDL_KEYDOWN, SDLK_SPACE, KMOD_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_7);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    // Keys that type no character and have no engine code give nothing.
    for (SDL_Keycode sym : {SDLK_LSHIFT, SDLK_HOME, SDLK_UNKNOWN})
        PushKey(SDL_KEYDOWN, sym);
    const Keys expected = {
        {DOWN, 81, 113}, {UP, 81, 113}, {DOWN, 81, 81}, {UP, 81, 81},
        {DOWN, 65, 65},  {DOWN, 90, 122},
        {DOWN, 37, 0},  {DOWN, 39, 0},  {DOWN, 38, 0},  {DOWN, 40, 0},
        {DOWN, 112, 0}, {DOWN, 115, 0}, {DOWN, 123, 0},
        {DOWN, 32, 32}, {DOWN, 55, 55}, {DOWN, 27, 27},
    };
    EXPECT_EQ(expected, Pump());
}

TEST_F(KeyPump, HeldKeyGivesOneDownMessage)
{
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    PushKey(SDL_KEYDOWN, SDLK_SPACE, KMOD_NONE, 1);
    PushKey(SDL_KEYDOWN, SDLK_SPACE, KMOD_NONE, 1);
    EXPECT_EQ(Keys({{DOWN, 32, 32}}), Pump());
    PushKey(SDL_KEYDOWN, SDLK_SPACE, KMOD_NONE, 1);
    PushKey(SDL_KEYUP, SDLK_SPACE);
    EXPECT_EQ(Keys({{UP, 32, 32}}), Pump());
    EXPECT_TRUE(Pump().empty());
}

TEST_F(KeyPump, QuitComesAheadOfPendingKeysOnce)
{
    Press(SDLK_LEFT);
    QuitEventHandler();
    EXPECT_EQ(Keys({{MSG_QUIT, 0, 0}, {DOWN, 37, 0}, {UP, 37, 0}}), Pump());
    EXPECT_EQ(0, g_QuitRequest);
    EXPECT_TRUE(Pump().empty());
}

TEST_F(KeyPump, OtherEventsStayInSdlQueueAndManyKeysFitOnePump)
{
    SDL_Event user = {};
    user.type = SDL_USEREVENT;
    user.user.code = 7;
    ASSERT_EQ(1, SDL_PushEvent(&user));
    for (int i = 0; i < 50; i++)
        Press(SDLK_a + i % 26);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    ASSERT_EQ(1, SDL_PushEvent(&quit));

    const Keys keys = Pump();
    ASSERT_EQ(100u, keys.size());
    for (int i = 0; i < 50; i++) {
        EXPECT_EQ(SKey(DOWN, 65 + i % 26, 97 + i % 26), keys[2 * i]);
        EXPECT_EQ(SKey(UP, 65 + i % 26, 97 + i % 26), keys[2 * i + 1]);
    }

    SDL_Event left[4];
    ASSERT_EQ(2, SDL_PeepEvents(left, 4, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT));
    EXPECT_EQ(SDL_USEREVENT, left[0].type);
    EXPECT_EQ(7, left[0].user.code);
    EXPECT_EQ(SDL_QUIT, left[1].type);
    // The pump leaves the quit event to the display device: no request yet.
    EXPECT_EQ(0, g_QuitRequest);
}

} // namespace
