// VornMain's ends: no device that starts, and a quit request, each leaving
// nothing behind.
#include "GameHarness.h"

#include "game/Globals.h"
#include "core/ClassRegistry.h"
#include "core/Core.h"
#include "render/Device.h"

#include "LogCapture.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace NVorn;

namespace
{
void NeedCore()
{
	if (!NCore::m_pCore)
		new NCore::CCore;
}

// A device that offers no display mode, so Init fails; it counts its
// shutdowns and destruction.
class CFailingDevice : public NTest::CRecordingDevice
{
public:
	~CFailingDevice() override { g_Destroyed++; }
	bool Shutdown() override
	{
		g_Shutdowns++;
		return CRecordingDevice::Shutdown();
	}

	static int g_Destroyed;
	static int g_Shutdowns;
};
int CFailingDevice::g_Destroyed = 0;
int CFailingDevice::g_Shutdowns = 0;

NClassRegistry::CClass* CreateFailingDevice()
{
	return new CFailingDevice;
}

char g_aArgument[] = "Empty";
}

// No device registered as "3D Device", then one that fails to start: each
// gives -1 with its log line and leaves no device and no subsystem behind.
TEST(Setup, WithoutADeviceThatStartsVornMainReturnsMinusOne)
{
	NeedCore();
	long subsystems = NCore::m_pCore->m_lSubSystems.m_Length;
	NClassRegistry::CHandle* registered = NClassRegistry::m_pFirstClass;
	NClassRegistry::m_pFirstClass = nullptr;
	NTest::CLogCapture log;
	EXPECT_EQ(VornMain(g_aArgument), -1);
	NClassRegistry::m_pFirstClass = registered;
	EXPECT_EQ(log.m_Text, "VornMain: no render device is registered as \"3D Device\"\n");
	EXPECT_EQ(g_pDevice, nullptr);

	NClassRegistry::Register("CFailingDevice", N3D::aDeviceClassTag, CreateFailingDevice);
	EXPECT_EQ(VornMain(g_aArgument), -1);
	// Unregister it again: the entry is the head of the list.
	NClassRegistry::CHandle* added = NClassRegistry::m_pFirstClass;
	NClassRegistry::m_pFirstClass = added->m_pNext;
	delete added;
	EXPECT_NE(log.m_Text.find("Bum, the device didn't init it self correctly\n"), std::string::npos);
	EXPECT_EQ(CFailingDevice::g_Shutdowns, 1);
	EXPECT_EQ(CFailingDevice::g_Destroyed, 1);
	EXPECT_EQ(g_pDevice, nullptr);
	EXPECT_EQ(NCore::m_pCore->m_lSubSystems.m_Length, subsystems);
}

TEST(Setup, AQuitRequestEndsTheLoopAndVornMainReturnsZero)
{
	if (!NGameTest::HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	NeedCore();
	ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
	ASSERT_EQ(chdir(NVORN_ASSET_DIR), 0);
	long subsystems = NCore::m_pCore->m_lSubSystems.m_Length;
	// The window system's quit event, as closing the window or a signal
	// gives it: seen by the device in the first frame, handled in the second.
	SDL_Event quit = {};
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
	EXPECT_EQ(VornMain(g_aArgument), 0);
	EXPECT_EQ(g_pDevice, nullptr);
	EXPECT_EQ(NCore::m_pCore->m_lSubSystems.m_Length, subsystems);
	EXPECT_EQ(g_lObjects.m_Length, 0) << "the world is released at shutdown";
	EXPECT_EQ(g_pPlayer, nullptr);
	EXPECT_GT(g_Time, 0);
	// SDL stays initialised, as in the other game tests.
}
