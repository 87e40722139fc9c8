// The game run from a folder where textures are missing or corrupt: those
// sprites stay invisible and the game runs on.
#include "GameHarness.h"

#include "game/Globals.h"
#include "game/Player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

using namespace NGameTest;

namespace
{
class CGameEnvironment : public ::testing::Environment
{
public:
	void TearDown() override { StopGame(); }
};
::testing::Environment* const g_pEnvironment = ::testing::AddGlobalTestEnvironment(new CGameEnvironment);

// The first bytes of a good file: a header and part of the pixels.
void CopyTruncated(const std::string& from, const std::string& to, size_t bytes)
{
	std::string data(bytes, 0);
	FILE* in = std::fopen(from.c_str(), "rb");
	ASSERT_NE(in, nullptr);
	ASSERT_EQ(std::fread(&data[0], 1, bytes, in), bytes);
	std::fclose(in);
	FILE* out = std::fopen(to.c_str(), "wb");
	ASSERT_NE(out, nullptr);
	std::fwrite(data.data(), 1, bytes, out);
	std::fclose(out);
}

void Write(const std::string& path, const std::string& bytes)
{
	FILE* out = std::fopen(path.c_str(), "wb");
	ASSERT_NE(out, nullptr);
	std::fwrite(bytes.data(), 1, bytes.size(), out);
	std::fclose(out);
}
}

TEST(Textures, MissingOrCorruptTexturesLeaveTheirSpritesInvisible)
{
	if (!HaveDisplay())
		GTEST_SKIP() << "no display: run under xvfb-run";
	// The ship's and the font's files are cut short, the rocks' are not
	// pictures, the star's and the shot's are missing.
	const std::string folder = testing::TempDir() + "/vorn-bad-textures";
	std::remove((folder + "/star.tga").c_str());
	std::remove((folder + "/ball.tga").c_str());
	mkdir(folder.c_str(), 0755);
	CopyTruncated(std::string(NVORN_ASSET_DIR) + "/text.tga", folder + "/text.tga", 5000);
	Write(folder + "/tree.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x30\0\x30\0\x20\x28\xff\xff", 20));
	for (const char* name : {"tessik_1.tga", "tessik_2.tga", "tessik_3.tga"})
		Write(folder + "/" + name, "not a picture");

	ASSERT_TRUE(StartGame(folder.c_str()));
	EXPECT_EQ(g_iTex_Ship, -1);
	EXPECT_EQ(g_iTex_Star, -1);
	EXPECT_EQ(g_iTex_Roid[0], -1);
	EXPECT_EQ(g_iTex_Roid[1], -1);
	EXPECT_EQ(g_iTex_Roid[2], -1);
	EXPECT_EQ(g_iTex_Bullet, -1);
	EXPECT_EQ(g_iTex_Text, -1);

	// Play on for a while, firing: nothing at all is drawn.
	for (int i = 0; i < 120; i++)
	{
		PushKey(SDLK_SPACE, i % 10 < 5);
		RunFrame();
	}
	SFrame frame = ReadFront();
	for (int y = 0; y < 480; y++)
		for (int x = 0; x < 640; x++)
			ASSERT_LE(frame.Distance(x, y, 13, 13, 26), 1) << x << "," << y;
	EXPECT_GT(g_lObjects.m_Length, 1);
}
